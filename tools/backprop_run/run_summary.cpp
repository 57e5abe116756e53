// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/backprop_run/run_summary.h"

#include <cmath>

#include "engine/number_text.h"

namespace backprop {

namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string Number(double value) { return std::isfinite(value) ? RoundTripText(value) : ""; }

std::string Trimmed(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

std::string SummaryHeader() { return "base,exit,trains,last_trial,last_error,test_error,right,total\n"; }

std::string SummaryLine(const RunSummary& s) {
  std::string line = CsvField(s.base) + ',' + std::to_string(s.exit) + ',' +
                     std::to_string(s.trains) + ',';
  if (s.last) line += Number(s.last->trial) + ',' + Number(s.last->error);
  else line += ',';
  line += ',';
  if (s.test) {
    line += Number(s.test->error) + ',';
    if (s.test->counting != RightCounting::None) {
      line += std::to_string(s.test->right) + ',' + std::to_string(s.test->patterns);
    } else {
      line += ',';
    }
  } else {
    line += ",,";
  }
  return line + '\n';
}

std::string TestLines(const TestError& test, bool digital) {
  std::string lines =
      "Test=" + Trimmed(digital ? PrintForm(test.error) : FormatPattern(test.error, " ##.######")) +
      '\n';
  if (test.counting != RightCounting::None) {
    lines += "Right= " + std::to_string(test.right) + " of " + std::to_string(test.patterns) + '\n';
  }
  return lines;
}

}  // namespace backprop
