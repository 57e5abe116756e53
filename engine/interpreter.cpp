// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/interpreter.h"

#include <array>
#include <bitset>
#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "engine/draw_net.h"
#include "engine/engine_error.h"
#include "engine/host.h"
#include "engine/init_weights.h"
#include "engine/number_text.h"
#include "engine/stepping.h"
#include "engine/text_lines.h"
#include "engine/training.h"
#include "engine/visible_text.h"
#include "engine/whole_number.h"
#include "engine/workspace.h"

namespace backprop {

namespace {

enum class Action { None, Train, Step, InitWeights };

// What one line's keywords share while it executes.
struct LineContext {
  Workspace& ws;
  Host* host;              // nullptr when the line's values are only looked at
  const std::string line;  // a copy: loading a data set overwrites CurrentLine
  Action action = Action::None;
  bool stepShown = false;
};

// A number read from program text; one too large for a double is an
// arithmetic overflow, a run error.
double CheckedNumber(std::string_view text) {
  const double value = ReadLeadingNumber(text);
  if (!std::isfinite(value)) throw EngineError("a number on the line is too large (overflow)");
  return value;
}

double Value(const LineContext& c) { return CheckedNumber(ValueText(c.line)); }
double Item(const Workspace& ws, int index) { return CheckedNumber(ws.LineItems(index)); }

void Train(LineContext& c) {
  c.ws.SelectedSet = Value(c);
  c.action = Action::Train;
}
void Display(LineContext& c) {
  if (c.host) RedrawNet(c.ws, *c.host);
}
void Epsilon(LineContext& c) { c.ws.Epsilon = Value(c); }
void Threshold(LineContext& c) { c.ws.AnalogThreshold = Value(c); }
void Step(LineContext& c) {
  c.action = Action::Step;
  c.stepShown = true;
  c.ws.SelectedSet = (c.ws.RunMode == kStepTest) ? kTestSetT1 : Value(c);
}
void OutputRange(LineContext& c) {
  SplitLineItems(c.ws);
  c.ws.OutputRangeHigh = Item(c.ws, 3);
  c.ws.OutputRangeLow = Item(c.ws, 2);
}
void WeightSeed(LineContext& c) {
  c.ws.WeightSeed = static_cast<std::int16_t>(
      CheckedWhole(Value(c), std::numeric_limits<std::int16_t>::min(),
                   std::numeric_limits<std::int16_t>::max(), "the seed (WSEED)"));
}
void ShowRate(LineContext& c) { c.ws.ShowRate = Value(c); }
void UpdateMode(LineContext& c) { c.ws.UpdateMode = Value(c); }
void TrainingLimit(LineContext& c) { c.ws.TrainingLimit = Value(c); }
void TransferFunction(LineContext& c) { c.ws.TransferFunction = Value(c); }
void InputRange(LineContext& c) {
  SplitLineItems(c.ws);
  c.ws.InputRangeHigh = Item(c.ws, 3);
  c.ws.InputRangeLow = Item(c.ws, 2);
}
void ShowTest(LineContext& c) { c.ws.ShowTest = Value(c); }
void InitWeightsAction(LineContext& c) { c.action = Action::InitWeights; }
void NetList(LineContext& c) {
  Workspace& ws = c.ws;
  SplitLineItems(ws);
  const int lastItem = static_cast<int>(ws.ItemCount) - 1;
  // Geometry must fit the tables before any of it is stored, so no later
  // loop or index can reach past them.
  const double count = Item(ws, 2);
  CheckedWhole(count, 0, kMaxLayers, "the layer count");
  std::vector<double> sizes;
  for (int k = 1; k + 2 <= lastItem; ++k) {
    if (k > kMaxLayers) {
      throw EngineError("the line lists more than " + std::to_string(kMaxLayers) + " layer sizes");
    }
    sizes.push_back(Item(ws, k + 2));
    CheckedWhole(sizes.back(), 0, kMaxNeurodes, "the size of layer " + std::to_string(k));
  }
  ws.LayerCount = count;
  ws.LayerSizes(0) = count;
  for (std::size_t k = 1; k <= sizes.size(); ++k) ws.LayerSizes(static_cast<int>(k)) = sizes[k - 1];
}
void BiasList(LineContext& c) {
  Workspace& ws = c.ws;
  SplitLineItems(ws);
  const int lastItem = static_cast<int>(ws.ItemCount) - 1;
  if (lastItem - 1 > kMaxLayers) {
    throw EngineError("the line lists more than " + std::to_string(kMaxLayers) + " bias flags");
  }
  std::vector<double> flags;
  for (int k = 0; k + 1 <= lastItem; ++k) flags.push_back(Item(ws, k + 1));
  for (std::size_t k = 0; k < flags.size(); ++k) ws.BiasFlags(static_cast<int>(k)) = flags[k];
}
void ErrorTest(LineContext& c) { c.ws.ErrorTest = Value(c); }
void OutputMode(LineContext& c) { c.ws.OutputMode = Value(c); }

// The effect of each keyword: every one found on a line takes effect, in
// the order of kProgramKeywords.
struct KeywordEffect {
  std::string_view keyword;
  void (*apply)(LineContext&);
};
constexpr std::array<KeywordEffect, kKeywordCount> kEffects{{
    {"TRAIN=", Train},
    {"DISPLAY", Display},
    {"EPSILON", Epsilon},
    {"THRESHOLD", Threshold},
    {"STEP", Step},
    {"ORANGE", OutputRange},
    {"WSEED", WeightSeed},
    {"SHOW=", ShowRate},
    {"UPDATE", UpdateMode},
    {"TRAINMAX", TrainingLimit},
    {"FUNCTION", TransferFunction},
    {"IRANGE", InputRange},
    {"SHOWTEST", ShowTest},
    {"INITW", InitWeightsAction},
    {"NETLIST", NetList},
    {"BIASLIST", BiasList},
    {"ERRTEST", ErrorTest},
    {"ANALOG", OutputMode},
}};

constexpr bool EffectsFollowTheKeywords() {
  for (int k = 0; k < kKeywordCount; ++k) {
    if (kEffects[k].keyword != kProgramKeywords[k].text) return false;
  }
  return true;
}
static_assert(EffectsFollowTheKeywords(), "one effect per keyword, in scan order");

void ApplyKeywords(LineContext& c, const std::bitset<kKeywordCount>& found) {
  for (int k = 0; k < kKeywordCount; ++k) {
    if (found[k]) kEffects[k].apply(c);
  }
}

// Runs one line; false when training was interrupted and the run must end.
bool ExecuteLine(LineContext& c) {
  ApplyKeywords(c, KeywordsIn(c.line));
  switch (c.action) {
    case Action::Train:
      return TrainNet(c.ws, *c.host) == TrainOutcome::Finished;
    case Action::Step:
      StepDataSet(c.ws, *c.host);
      return true;
    case Action::InitWeights:
      InitWeights(c.ws, ValueText(c.line));
      return true;
    case Action::None:
      return true;
  }
  return true;
}

// The line of a run error that says where and why: "Line 4 (TRAIN=1): the
// show rate is 0", the line as written, trimmed, and cut when long.
std::string RunErrorLine(const ProgramLine& line, const std::string& reason) {
  // At most 40 characters with the "..." of a cut.
  constexpr std::size_t kShownLength = 40;
  const std::string cut = CutShort(TrimBlanks(line.text), kShownLength, kShownLength - 3);
  return "Line " + std::to_string(line.number) + " (" + VisibleText(cut) + "): " + reason;
}

}  // namespace

void SplitLineItems(Workspace& ws) {
  const std::vector<std::string_view> pieces = LinePieces(ws.CurrentLine);
  ws.ItemCount = 1;
  // The items up to the limit are stored before the one past it fails.
  for (const std::string_view piece : pieces) {
    if (ws.ItemCount > kMaxLineItems) {
      throw EngineError("the line has more than " + std::to_string(kMaxLineItems) + " items");
    }
    ws.LineItems(ws.ItemCount) = std::string(piece);
    ws.ItemCount = ws.ItemCount + 1;
  }
}

double ApplyLineValues(Workspace& ws, std::string_view upperLine,
                       const std::bitset<kKeywordCount>& keywords) {
  ws.CurrentLine = std::string(upperLine);
  LineContext context{ws, nullptr, ws.CurrentLine};
  ApplyKeywords(context, keywords);
  return context.action == Action::Train || context.action == Action::Step
             ? static_cast<double>(ws.SelectedSet)
             : 0.0;
}

void RunProgram(Workspace& ws, Host& host) {
  // The step commands run a fixed one-line program. Upper-casing keeps every
  // character in its place, so the lines as written and as read line up.
  std::string text = "STEP=1";
  if (ws.RunMode < kRunProgramS2) {
    text = ws.TextBuffer(BufferId::ProgramS1);
  } else if (ws.RunMode < kStepTraining) {
    text = ws.TextBuffer(BufferId::ProgramS2);
  }

  bool stepShown = false;
  const std::vector<ProgramLine> lines = RunningLines(text);
  const ProgramLine* current = nullptr;
  // Whatever way the run ends, no line runs after it.
  struct LineCleared {
    int& line;
    ~LineCleared() { line = 0; }
  } cleared{ws.RunningLine};
  try {
    for (const ProgramLine& line : lines) {
      current = &line;
      ws.RunningLine = line.number;
      ws.CurrentLine = UpperCaseProgram(line.text);
      LineContext context{ws, &host, ws.CurrentLine};
      const bool goOn = ExecuteLine(context);
      stepShown = stepShown || context.stepShown;
      if (!goOn) break;
    }
  } catch (const EngineError& error) {
    ws.Busy = 0;
    host.ShowWarning(std::string(kRunErrorMessage) + "\n\r" + RunErrorLine(*current, error.what()));
    return;
  }
  if (!stepShown) RedrawNet(ws, host);
  ws.Busy = 0;
}

}  // namespace backprop
