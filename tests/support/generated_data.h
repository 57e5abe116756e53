// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "engine/data_generator.h"
#include "engine/data_set.h"
#include "engine/workspace.h"

namespace backprop::testing {

// Generated data as training set D1 of a workspace with the settings'
// ranges and a net of the data's inputs and one output: loaded as training
// loads it, then read back. A value the load cannot read or scale throws,
// as it would at the start of training.
inline DataSetValues LoadGenerated(const GeneratorSettings& s, const GeneratedData& data) {
  auto ws = std::make_unique<Workspace>();
  ApplyDefaults(*ws);
  ws->InputRangeLow = s.inputLow;
  ws->InputRangeHigh = s.inputHigh;
  ws->OutputRangeLow = s.outputLow;
  ws->OutputRangeHigh = s.outputHigh;
  ws->LayerCount = 2;
  ws->LayerSizes(1) = data.inputs;
  ws->LayerSizes(2) = 1;
  ws->TextBuffer(BufferId::TrainingDataD1) = data.text;
  ws->SelectedSet = kDataSetD1;
  LoadDataSet(*ws, true);
  return ReadDataSet(*ws, kDataSetD1, true);
}

}  // namespace backprop::testing
