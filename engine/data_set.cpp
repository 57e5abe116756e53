#include "engine/data_set.h"

#include <cmath>
#include <string>
#include <vector>

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

// Maps a value from low..high to -1..1.
class RangeScaling {
 public:
  RangeScaling(double low, double high, const char* what) : low_(low), span_(high - low) {
    if (span_ == 0.0) throw EngineError(std::string("the ") + what + " range has equal ends");
  }
  double operator()(double value) const {
    const double scaled = 2.0 * (value - low_) / span_ - 1.0;
    if (!std::isfinite(scaled)) {
      throw EngineError("a data value scaled to -1..1 is too large (overflow)");
    }
    return scaled;
  }

 private:
  double low_;
  double span_;
};

// One pattern value as read and as scaled.
struct PatternValue {
  double raw;
  double scaled;
};

}  // namespace

std::string_view DataSetText(const Workspace& ws, double set) {
  if (set == kDataSetD1) return ws.TextBuffer(BufferId::TrainingDataD1);
  if (set == kDataSetD2) return ws.TextBuffer(BufferId::TrainingDataD2);
  if (set == kTestSetT1) return ws.TextBuffer(BufferId::TestSetT1);
  return {};
}

void LoadDataSet(Workspace& ws) {
  DataFieldReader reader(DataSetText(ws, ws.SelectedSet));
  std::string lastField;
  bool anyField = false;
  double count = 0.0;
  if (!reader.AtEnd()) {
    anyField = true;
    lastField = reader.Next();
    count = FieldValue(lastField);
  }
  const int patterns = LoopCount(count);
  if (patterns > kMaxPatterns) {
    throw EngineError("the data set has more than " + std::to_string(kMaxPatterns) + " patterns");
  }

  // Everything is read, scaled and checked before the tables change.
  int inputs = 0;
  int targets = 0;
  std::vector<PatternValue> values;
  if (patterns > 0) {
    const NetGeometry geometry = ValidatedGeometry(ws);
    inputs = geometry.Size(1);
    targets = (ws.RunMode == kStepTest) ? 0 : geometry.OutputSize();
    values.reserve(static_cast<std::size_t>(patterns * (inputs + targets)));
    double value = FieldValue(lastField);
    auto nextValue = [&]() {
      if (!reader.AtEnd()) {
        lastField = reader.Next();
        value = FieldValue(lastField);
      }
      return value;
    };
    for (int p = 1; p <= patterns; ++p) {
      if (inputs > 0) {
        const RangeScaling scale(ws.InputRangeLow, ws.InputRangeHigh, "input");
        for (int i = 1; i <= inputs; ++i) {
          const double raw = nextValue();
          values.push_back({raw, scale(raw)});
        }
      }
      if (targets > 0) {
        const RangeScaling scale(ws.OutputRangeLow, ws.OutputRangeHigh, "output");
        for (int k = 1; k <= targets; ++k) {
          const double raw = nextValue();
          values.push_back({raw, scale(raw)});
        }
      }
    }
  }

  ws.PatternCount = count;
  auto stored = values.cbegin();
  for (int p = 1; p <= patterns; ++p) {
    for (int i = 1; i <= inputs; ++i, ++stored) {
      ws.RawInputs(i, p) = stored->raw;
      ws.ScaledInputs(i, p) = stored->scaled;
    }
    for (int k = 1; k <= targets; ++k, ++stored) {
      ws.RawTargets(k, p) = stored->raw;
      ws.ScaledTargets(k, p) = stored->scaled;
    }
  }
  if (anyField) ws.CurrentLine = lastField;
  ws.LoadedSet = ws.SelectedSet;
}

}  // namespace backprop
