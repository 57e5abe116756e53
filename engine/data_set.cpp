// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/data_set.h"

#include <cmath>
#include <string>

#include "engine/data_fields.h"
#include "engine/engine_error.h"
#include "engine/net_geometry.h"
#include "engine/number_text.h"
#include "engine/workspace.h"

namespace backprop {

namespace {

double FieldValue(std::string_view field) {
  const double value = ReadLeadingNumber(field);
  if (!std::isfinite(value)) {
    throw EngineError("the data set holds a number that is too large (overflow)");
  }
  return value;
}

// Maps a value from low..high to -1..1; equal ends are an error.
class RangeScaling {
 public:
  RangeScaling(double low, double high, const char* what) : low_(low), high_(high) {
    if (high - low == 0.0) throw EngineError(std::string("the ") + what + " range has equal ends");
  }
  double operator()(double value) const {
    const double scaled = ScaledValue(value, low_, high_);
    if (!std::isfinite(scaled)) {
      throw EngineError("a data value scaled to -1..1 is too large (overflow)");
    }
    return scaled;
  }

 private:
  double low_;
  double high_;
};

}  // namespace

double ScaledValue(double value, double low, double high) {
  return 2.0 * (value - low) / (high - low) - 1.0;
}

std::string_view DataSetText(const Workspace& ws, double set) {
  if (set == kDataSetD1) return ws.TextBuffer(BufferId::TrainingDataD1);
  if (set == kDataSetD2) return ws.TextBuffer(BufferId::TrainingDataD2);
  if (set == kTestSetT1) return ws.TextBuffer(BufferId::TestSetT1);
  return {};
}

DataSetValues ReadDataSet(const Workspace& ws, double set, bool withTargets) {
  DataFieldReader reader(DataSetText(ws, set));
  DataSetValues data;
  if (!reader.AtEnd()) {
    data.anyField = true;
    data.lastField = reader.Next();
    data.count = FieldValue(data.lastField);
  }
  data.patterns = LoopCount(data.count);
  if (data.patterns > kMaxPatterns) {
    throw EngineError("the data set has more than " + std::to_string(kMaxPatterns) + " patterns");
  }
  if (data.patterns == 0) return data;

  const NetGeometry geometry = ValidatedGeometry(ws);
  data.inputs = geometry.Size(1);
  data.targets = withTargets ? geometry.OutputSize() : 0;
  data.values.reserve(static_cast<std::size_t>(data.patterns) *
                      static_cast<std::size_t>(data.inputs + data.targets));
  double value = FieldValue(data.lastField);
  auto nextValue = [&]() {
    if (!reader.AtEnd()) {
      data.lastField = reader.Next();
      value = FieldValue(data.lastField);
    }
    return value;
  };
  for (int p = 1; p <= data.patterns; ++p) {
    if (data.inputs > 0) {
      const RangeScaling scale(ws.InputRangeLow, ws.InputRangeHigh, "input");
      for (int i = 1; i <= data.inputs; ++i) {
        const double raw = nextValue();
        data.values.push_back({raw, scale(raw)});
      }
    }
    if (data.targets > 0) {
      const RangeScaling scale(ws.OutputRangeLow, ws.OutputRangeHigh, "output");
      for (int k = 1; k <= data.targets; ++k) {
        const double raw = nextValue();
        data.values.push_back({raw, scale(raw)});
      }
    }
  }
  return data;
}

void LoadDataSet(Workspace& ws) { LoadDataSet(ws, ws.RunMode != kStepTest); }

void LoadDataSet(Workspace& ws, bool withTargets) {
  // Everything is read, scaled and checked before the tables change.
  const DataSetValues data = ReadDataSet(ws, ws.SelectedSet, withTargets);
  ws.PatternCount = data.count;
  for (int p = 1; p <= data.patterns; ++p) {
    for (int i = 1; i <= data.inputs; ++i) {
      ws.RawInputs(i, p) = data.Input(p, i).raw;
      ws.ScaledInputs(i, p) = data.Input(p, i).scaled;
    }
    for (int k = 1; k <= data.targets; ++k) {
      ws.RawTargets(k, p) = data.Target(p, k).raw;
      ws.ScaledTargets(k, p) = data.Target(p, k).scaled;
    }
  }
  if (data.anyField) ws.CurrentLine = data.lastField;
  ws.LoadedSet = ws.SelectedSet;
}

}  // namespace backprop
