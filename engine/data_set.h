// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace backprop {

struct Workspace;

// A value mapped from low..high to -1..1, as a load scales every value.
double ScaledValue(double value, double low, double high);

// The text a set number selects: 1 Training Data D1, 2 Training Data D2,
// 4 Test Set T1; any other number selects an empty text.
std::string_view DataSetText(const Workspace& ws, double set);

// One value of a pattern as read and as scaled to -1..1.
struct PatternValue {
  double raw;
  double scaled;
};

// The patterns of a data set text, read and scaled as a load reads them.
struct DataSetValues {
  double count = 0.0;                // the first field
  int patterns = 0;                  // patterns read: the whole part of a count of at least 1
  int inputs = 0;                    // values per pattern: the inputs,
  int targets = 0;                   // then the desired outputs
  std::vector<PatternValue> values;  // pattern by pattern
  bool anyField = false;
  std::string lastField;

  // Input i (1..inputs) and target k (1..targets) of pattern p (1..patterns).
  const PatternValue& Input(int p, int i) const { return values[Index(p) + i - 1]; }
  const PatternValue& Target(int p, int k) const { return values[Index(p) + inputs + k - 1]; }

 private:
  std::size_t Index(int p) const {
    return static_cast<std::size_t>(p - 1) * static_cast<std::size_t>(inputs + targets);
  }
};

// Reads the text of data set `set` as LoadDataSet does, with or without the
// desired outputs, and changes nothing. Throws as LoadDataSet does.
DataSetValues ReadDataSet(const Workspace& ws, double set, bool withTargets);

// Loads the text of SelectedSet into the pattern tables: the first field is
// the pattern count, then each pattern's inputs (LayerSizes(1) of them) and,
// except when stepping through the test set (RunMode 4), its desired outputs
// (as many as the last layer has neurodes), each scaled from its range to
// -1..1. Missing fields repeat the last field read. Sets PatternCount,
// CurrentLine (the last field read) and LoadedSet. More than 300 patterns, a
// layer of more than 10 neurodes, a number too large for a double, equal
// range ends and a scaled value that is not finite are run errors
// (EngineError), found before anything is stored.
void LoadDataSet(Workspace& ws);

// The same with or without the desired outputs, whatever RunMode says.
void LoadDataSet(Workspace& ws, bool withTargets);

}  // namespace backprop
