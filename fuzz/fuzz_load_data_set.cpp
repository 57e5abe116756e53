// SPDX-License-Identifier: GPL-3.0-or-later
// Loads an arbitrary data-set text with an arbitrary geometry, mode and
// ranges. A load either succeeds with at most 300 patterns and marks its
// set loaded, or fails with the engine's error and changes nothing.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "engine/workspace.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace backprop;
  fuzzing::FuzzInput input(data, size);
  Workspace ws;
  ApplyDefaults(ws);
  ws.LayerCount = input.Byte() % 13;  // a few beyond the tables too
  for (int k = 1; k <= kMaxLayers; ++k) ws.LayerSizes(k) = input.Byte() % 12;
  ws.RunMode = 1 + input.Byte() % 4;
  ws.SelectedSet = input.Byte() % 6;
  const auto range = [&input]() {
    return static_cast<double>(static_cast<std::int8_t>(input.Byte()));
  };
  ws.InputRangeLow = range();
  ws.InputRangeHigh = range();
  ws.OutputRangeLow = range();
  ws.OutputRangeHigh = range();
  const std::string text = input.Texts(1)[0];
  ws.TextBuffer(BufferId::TrainingDataD1) = text;
  ws.TextBuffer(BufferId::TrainingDataD2) = text;
  ws.TextBuffer(BufferId::TestSetT1) = text;

  ws.PatternCount = 7;
  ws.LoadedSet = 9;
  ws.RawInputs(1, 1) = 0.25;
  try {
    LoadDataSet(ws);
  } catch (const EngineError&) {
    // A failed load leaves everything as it was.
    if (ws.PatternCount != 7 || ws.LoadedSet != 9 || ws.RawInputs(1, 1) != 0.25) std::abort();
    return 0;
  }
  if (ws.LoadedSet != ws.SelectedSet) std::abort();
  if (!(ws.PatternCount <= kMaxPatterns + 0.5)) std::abort();
  const int patterns = ws.PatternCount >= 1 ? static_cast<int>(ws.PatternCount) : 0;
  for (int p = 1; p <= patterns; ++p) {
    if (!std::isfinite(ws.ScaledInputs(1, p))) std::abort();
  }
  return 0;
}
