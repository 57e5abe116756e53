// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/workspace.h"

namespace backprop {

void ApplyDefaults(Workspace& ws) {
  ws.AnalogThreshold = 0.001;
  ws.ShowTest = 1;
  ws.LayerCount = 2;
  ws.LayerSizes(1) = 2;
  ws.ProgramName = "Unsaved.prg";
  ws.TrainingSetName = "Unsaved.trn";
  ws.RunSetName = "Unsaved.run";
  ws.LayerSizes(2) = 2;
  ws.TransferFunctionName = "Sigmoid/TANH";
  ws.TransferFunction = 2;
  ws.OutputRangeLow = -1;
  ws.OutputRangeHigh = 1;
  ws.WeightSeed = 1;
  ws.ShowRate = 10;
  ws.UpdateMode = 1;
  ws.TrainingLimit = 1000;
  ws.InputRangeHigh = 1;
  ws.InputRangeLow = -1;
  ws.OutputMode = 1;
  ws.Epsilon = 0.05;
  ws.ErrorTest = 1;
}

const char* TransferFunctionNameOf(double code) {
  if (code == 1) return "Linear";
  if (code == 2) return "Sigmoid/TANH";
  if (code == 3) return "Arctangent";
  if (code == 4) return "SGN";
  return "";
}

}  // namespace backprop
