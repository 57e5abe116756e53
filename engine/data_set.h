#pragma once

#include <string_view>

namespace backprop {

struct Workspace;

// The text a set number selects: 1 Training Data D1, 2 Training Data D2,
// 4 Test Set T1; any other number selects an empty text.
std::string_view DataSetText(const Workspace& ws, double set);

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

}  // namespace backprop
