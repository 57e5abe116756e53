// SPDX-License-Identifier: GPL-3.0-or-later
// The data checks of text_check.h, and how a data set will be read: the
// geometry and ranges come from the programs that run before it is read,
// found by walking them on a copy of the workspace.

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/data_fields.h"
#include "engine/engine_error.h"
#include "engine/net_geometry.h"
#include "engine/number_text.h"
#include "engine/program_walk.h"
#include "engine/text_check.h"
#include "engine/text_check_support.h"
#include "engine/workspace.h"

namespace backprop {

namespace {

// One field of a pattern, kept for the value checks.
struct Field {
  int line;
  std::string_view text;
};

std::string RangeText(double low, double high) { return Shown(low) + ".." + Shown(high); }

// What one pattern holds, for the count warning: "2 inputs and 1 desired output".
std::string PatternText(int inputs, int outputs) {
  std::string text = Counted(inputs, "input");
  if (outputs > 0) text += " and " + Counted(outputs, "desired output");
  return text;
}

class DataChecker {
 public:
  DataChecker(std::string_view text, const DataLayout& layout) : reader_(text), layout_(layout) {}

  std::vector<TextWarning> Check() {
    if (reader_.AtEnd()) return {};
    const std::string_view countField = reader_.Next();
    const int countLine = reader_.Line();
    if (!BeginsWithNumber(countField)) {
      warnings_.Add(countLine,
                    "the count " + Quoted(countField) + " is not a number, so no pattern is read");
      return warnings_.Take();
    }
    const double count = ReadLeadingNumber(countField);
    patterns_ = LoopCount(count);
    if (patterns_ > kMaxPatterns) {
      warnings_.Add(countLine, "declares " + Shown(count) + " patterns; at most " +
                                   std::to_string(kMaxPatterns) +
                                   " fit, so the run would stop here");
      return warnings_.Take();
    }
    const long long fields = ReadFields();
    const int outputs = ChooseOutputs(fields);
    CheckCount(countLine, count, fields, outputs);
    CheckRanges(countLine, outputs);
    CheckValues(outputs);
    return warnings_.Take();
  }

 private:
  int FullPattern() const { return layout_.inputs + layout_.outputs; }

  // Counts every field and keeps those the patterns can use.
  long long ReadFields() {
    const auto kept = static_cast<std::size_t>(patterns_) * static_cast<std::size_t>(FullPattern());
    long long count = 0;
    while (!reader_.AtEnd()) {
      const std::string_view text = reader_.Next();
      if (fields_.size() < kept) fields_.push_back({reader_.Line(), text});
      ++count;
    }
    return count;
  }

  // The outputs a pattern holds: the test set may go without them, and is
  // taken in whichever form its fields fit better.
  int ChooseOutputs(long long fields) const {
    if (!layout_.outputsOptional || layout_.inputs == 0) return layout_.outputs;
    const auto misfit = [&](int per) {
      return std::abs(static_cast<double>(fields) / per - patterns_);
    };
    const long long full = static_cast<long long>(patterns_) * FullPattern();
    if (fields == full) return layout_.outputs;
    return misfit(layout_.inputs) <= misfit(FullPattern()) ? 0 : layout_.outputs;
  }

  void CheckCount(int line, double count, long long fields, int outputs) {
    const int per = layout_.inputs + outputs;
    if (per == 0) return;
    const long long whole = fields / per;
    const long long rest = fields % per;
    if (whole == patterns_ && rest == 0) return;
    std::string text = "declares " + Shown(count) + (patterns_ == 1 ? " pattern" : " patterns") +
                       ", holds " + Counted(whole, "whole pattern");
    if (rest > 0) text += " and " + Counted(rest, "field");
    text += "; a pattern is " + PatternText(layout_.inputs, outputs);
    if (layout_.outputsOptional && outputs == 0 && layout_.outputs > 0) {
      text += ", or " + PatternText(layout_.inputs, layout_.outputs);
    }
    warnings_.Add(line, text);
  }

  // A range with equal ends cannot be scaled; loading stops there.
  void CheckRanges(int line, int outputs) {
    if (layout_.inputs > 0 && layout_.inputLow == layout_.inputHigh) {
      warnings_.Add(line, "the input range " + RangeText(layout_.inputLow, layout_.inputHigh) +
                              " has equal ends, so the run would stop here");
    }
    if (outputs > 0 && layout_.outputLow == layout_.outputHigh) {
      warnings_.Add(line, "the output range " + RangeText(layout_.outputLow, layout_.outputHigh) +
                              " has equal ends, so the run would stop here");
    }
  }

  void CheckValues(int outputs) {
    const int per = layout_.inputs + outputs;
    if (per == 0) return;
    const std::size_t used = std::min(
        fields_.size(), static_cast<std::size_t>(patterns_) * static_cast<std::size_t>(per));
    for (std::size_t f = 0; f < used && !warnings_.Full(); ++f) {
      const int pattern = static_cast<int>(f) / per + 1;
      const int place = static_cast<int>(f) % per;
      const bool input = place < layout_.inputs;
      const std::string what =
          "pattern " + std::to_string(pattern) + ", " +
          (input ? "input " + std::to_string(place + 1)
                 : "desired output " + std::to_string(place - layout_.inputs + 1));
      const Field& field = fields_[f];
      if (!BeginsWithNumber(field.text)) {
        warnings_.Add(field.line,
                      what + ": " +
                          (field.text.empty() ? std::string("the field is empty")
                                              : Quoted(field.text) + " is not a number") +
                          ", so it reads as 0");
        continue;
      }
      const double value = ReadLeadingNumber(field.text);
      const double low = input ? layout_.inputLow : layout_.outputLow;
      const double high = input ? layout_.inputHigh : layout_.outputHigh;
      if (low != high && (value < std::min(low, high) || value > std::max(low, high))) {
        warnings_.Add(field.line, what + ": " + Shown(value) + " is outside the " +
                                      (input ? "input" : "output") + " range " +
                                      RangeText(low, high));
      }
    }
  }

  DataFieldReader reader_;
  const DataLayout& layout_;
  int patterns_ = 0;
  std::vector<Field> fields_;
  WarningList warnings_;
};

// The layout of the workspace's net and ranges, when its geometry fits.
std::optional<DataLayout> LayoutNow(const Workspace& ws, bool outputsOptional) {
  try {
    const NetGeometry geometry = ValidatedGeometry(ws);
    DataLayout layout;
    layout.inputs = geometry.Size(1);
    layout.outputs = geometry.OutputSize();
    layout.outputsOptional = outputsOptional;
    layout.inputLow = ws.InputRangeLow;
    layout.inputHigh = ws.InputRangeHigh;
    layout.outputLow = ws.OutputRangeLow;
    layout.outputHigh = ws.OutputRangeHigh;
    return layout;
  } catch (const EngineError&) {
    return std::nullopt;
  }
}

}  // namespace

std::vector<TextWarning> CheckDataSet(std::string_view text, const DataLayout& layout) {
  return DataChecker(text, layout).Check();
}

std::optional<DataLayout> LayoutOf(const Workspace& ws, int set,
                                   const std::vector<BufferId>& runs) {
  auto copy = std::make_unique<Workspace>(ws);
  std::optional<DataLayout> layout;
  bool read = false;
  for (const BufferId program : runs) {
    const int runMode = program == BufferId::ProgramS2 ? kRunProgramS2 : kRunProgramS1;
    // The walk changes the copy, so the program's text is taken first.
    const std::string text = copy->TextBuffer(program);
    WalkProgram(*copy, text, runMode, [&](const WalkedLine& line, const Workspace& after) {
      if (!line.error.empty() || line.readSet != set) return true;
      // A program trains and steps on a set with its desired outputs.
      layout = LayoutNow(after, false);
      read = true;
      return false;
    });
    if (read) break;
  }
  return read ? layout : LayoutNow(*copy, set == kTestSetT1);
}

std::vector<TextWarning> CheckBuffer(const Workspace& ws, BufferId id, std::string_view text,
                                     const std::vector<BufferId>& runs) {
  if (id == BufferId::ProgramS1 || id == BufferId::ProgramS2) return CheckProgram(text);
  const int set = id == BufferId::TrainingDataD1   ? kDataSetD1
                  : id == BufferId::TrainingDataD2 ? kDataSetD2
                                                   : kTestSetT1;
  const std::optional<DataLayout> layout = LayoutOf(ws, set, runs);
  return layout ? CheckDataSet(text, *layout) : std::vector<TextWarning>{};
}

}  // namespace backprop
