// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/stepping.h"

#include <cmath>
#include <string>

#include "engine/canvas.h"
#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "engine/forward_pass.h"
#include "engine/host.h"
#include "engine/net_geometry.h"
#include "engine/number_text.h"
#include "engine/workspace.h"

namespace backprop {

namespace {

constexpr const char* kStepPattern = "0.00  ";

// Writes one text at (x, y) and ends its line.
void WriteAt(Canvas& canvas, double x, double y, std::string_view text) {
  canvas.MoveTo(x, y);
  canvas.Print(text);
  canvas.EndLine();
}

// A value in the step pattern, after the one blank most step writes carry.
std::string BlankAndValue(double value) { return " " + FormatPattern(value, kStepPattern); }

// The footer's name of the set shown.
const char* SetName(const Workspace& ws) {
  if (ws.RunMode == kStepTest || ws.SelectedSet == kTestSetT1) return ".  TEST SET 1";
  if (ws.SelectedSet == kDataSetD2) return ". TRAINING DATA SET 2";
  return ". TRAINING DATA SET 1";
}

}  // namespace

void StepDataSet(Workspace& ws, Host& host) {
  if (ws.SelectedSet != ws.LoadedSet) LoadDataSet(ws);
  const int patterns = LoopCount(ws.PatternCount);
  if (patterns > kMaxPatterns) {
    throw EngineError("the data set has more than " + std::to_string(kMaxPatterns) + " patterns");
  }
  if (patterns < 1) return;  // an empty set shows nothing
  const NetGeometry geometry = ValidatedGeometry(ws);

  if (!(ws.StepPosition >= 1 && ws.StepPosition <= patterns)) ws.StepPosition = 1;
  const int pos = LoopCount(ws.StepPosition);
  const bool testSet = ws.RunMode == kStepTest;
  const int last = geometry.OutputLayer();
  Canvas& canvas = host.MainCanvas();

  for (int i = 1; i <= geometry.Size(1); ++i) {
    ws.NodeValues(i, 1) = ws.ScaledInputs(i, pos);
    WriteAt(canvas, 0.8, i, BlankAndValue(ws.RawInputs(i, pos)));
  }

  for (int k = 1; k <= geometry.layerCount; ++k) ws.NodeValues(0, k) = ws.BiasFlags(k);
  double slope = 0.0;
  ForwardPass(ws, geometry, false, slope);
  // An output too large for the user's range is a run error, never a text
  // such as "inf", and it comes before the step writes its values.
  for (int j = 1; j <= geometry.OutputSize(); ++j) {
    if (!std::isfinite(OutputToUserRange(ws, ws.NodeValues(j, last)))) {
      throw EngineError("output neurode " + std::to_string(j) +
                        " is too large in the output range (overflow)");
    }
  }

  canvas.MoveTo(ws.LayerCount - 0.1, 0);
  canvas.Print("OUT          ");
  if (!testSet) {
    canvas.Print("DESIRED");
    canvas.EndLine();
  }

  for (int k = 1; k <= geometry.layerCount; ++k) {
    for (int j = (ws.BiasFlags(k) == 0 ? 1 : 0); j <= geometry.Size(k); ++j) {
      const double value = ws.NodeValues(j, k);
      WriteAt(canvas, k - 0.2, j - 0.4, BlankAndValue(value));
      if (k == last) WriteAt(canvas, k - 0.2, j, BlankAndValue(OutputToUserRange(ws, value)));
    }
  }

  if (!testSet) {
    const double x = ws.LayerCount + 1;
    for (int j = 1; j <= geometry.OutputSize(); ++j) {
      WriteAt(canvas, x, j - 0.4, FormatPattern(ws.ScaledTargets(j, pos), kStepPattern));
    }
    for (int j = 1; j <= geometry.OutputSize(); ++j) {
      WriteAt(canvas, x, j, FormatPattern(ws.RawTargets(j, pos), kStepPattern));
    }
  }

  canvas.MoveTo(4, 9);
  canvas.Print("STEP ");
  canvas.Print(PrintForm(pos));
  canvas.Print(" OF ");
  canvas.Print(PrintForm(ws.PatternCount));
  canvas.Print(SetName(ws));
  canvas.EndLine();

  ws.StepPosition = ws.StepPosition + 1;
}

}  // namespace backprop
