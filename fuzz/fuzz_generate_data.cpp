// SPDX-License-Identifier: GPL-3.0-or-later
// Generates data sets from arbitrary settings: any shape number, count,
// noise, seed and ranges, NaN and infinities among them. Settings are
// either refused with the engine's error or give a text whose every value
// loads, as the loader reads and scales it, as the value generated, each
// within its range, one pattern per line.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "engine/data_generator.h"
#include "engine/data_set.h"
#include "engine/engine_error.h"
#include "fuzz/fuzz_input.h"
#include "tests/support/generated_data.h"

namespace {

using namespace backprop;

// A number of one of the kinds that break arithmetic, chosen by a byte so
// that the fuzzer reaches each of them quickly.
double Number(fuzzing::FuzzInput& input) {
  constexpr double kSpecial[] = {
      0.0,         -0.0,     1.0,       -1.0,
      DBL_MAX,     -DBL_MAX, DBL_MIN,   5e-324,
      1e-300,      1e300,    1e15,      1e-10,
      DBL_MAX / 4, INFINITY, -INFINITY, std::numeric_limits<double>::quiet_NaN()};
  const std::uint8_t kind = input.Byte();
  const auto small = static_cast<std::int8_t>(input.Byte());
  switch (kind % 4) {
    case 0:
      return input.Value<double>();
    case 1:
      return small;
    case 2:
      return kSpecial[static_cast<std::uint8_t>(small) % std::size(kSpecial)];
    default:
      return small * std::pow(10.0, static_cast<std::int8_t>(input.Byte()) % 40);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  GeneratorSettings s;
  s.shape = static_cast<DataShape>(static_cast<std::int8_t>(input.Byte()) % 9);
  const std::uint8_t count = input.Byte();
  s.patterns = count < 250 ? count + 1 : input.Value<std::int32_t>();
  s.noisePercent = Number(input);
  s.seed = input.Value<std::uint32_t>();
  s.inputLow = Number(input);
  s.inputHigh = Number(input);
  s.outputLow = Number(input);
  s.outputHigh = Number(input);

  GeneratedData generated;
  try {
    generated = GenerateData(s);
  } catch (const EngineError&) {
    return 0;
  }
  const int width = generated.inputs + 1;
  if (generated.values.size() != static_cast<std::size_t>(s.patterns) * width) std::abort();
  if (std::count(generated.text.begin(), generated.text.end(), '\n') != s.patterns + 1) {
    std::abort();
  }

  // A value that could not be read or scaled would throw here.
  const DataSetValues read = testing::LoadGenerated(s, generated);
  if (read.patterns != s.patterns) std::abort();
  for (std::size_t n = 0; n < generated.values.size(); ++n) {
    const double value = read.values[n].raw;
    if (value != generated.values[n]) std::abort();
    const bool target = static_cast<int>(n % width) == generated.inputs;
    const double low = target ? s.outputLow : s.inputLow;
    const double high = target ? s.outputHigh : s.inputHigh;
    if (!(value >= std::min(low, high) && value <= std::max(low, high))) std::abort();
  }
  return 0;
}
