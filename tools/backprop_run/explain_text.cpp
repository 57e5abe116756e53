// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/backprop_run/explain_text.h"

#include <initializer_list>

#include "engine/number_text.h"
#include "engine/pattern_arithmetic.h"

namespace backprop {

namespace {

// One line: a word, whole numbers, then real numbers, tab-separated.
void AddLine(std::string& text, const char* word, std::initializer_list<int> whole,
             std::initializer_list<double> real) {
  text += word;
  for (const int n : whole) text += '\t' + std::to_string(n);
  for (const double x : real) text += '\t' + RoundTripText(x);
  text += '\n';
}

}  // namespace

std::string ExplainText(const PatternArithmetic& a) {
  const NetGeometry& g = a.geometry;
  const int last = g.OutputLayer();
  std::string text;
  AddLine(text, "explain", {a.set, a.pattern}, {});
  for (int k = 2; k <= last; ++k) {
    for (int j = 1; j <= g.Size(k); ++j) {
      AddLine(text, "node", {k, j}, {a.net[k][j], a.output[k][j], a.slope[k][j], a.delta[k][j]});
    }
  }
  for (int j = 1; j <= g.OutputSize(); ++j)
    AddLine(text, "output", {j}, {a.targets[j], a.errors[j]});
  for (int h = 1; h < last; ++h) {
    for (int i = 0; i <= g.Size(h); ++i) {
      for (int j = 1; j <= g.Size(h + 1); ++j) {
        AddLine(text, "weight", {h, i, j},
                {a.weight[h][i][j], a.change[h][i][j], a.newWeight[h][i][j]});
      }
    }
  }
  return text;
}

}  // namespace backprop
