#include "engine/interpreter.h"

#include <array>
#include <cctype>
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
  Host& host;
  const std::string line;  // a copy: loading a data set overwrites CurrentLine
  Action action = Action::None;
  bool stepShown = false;
};

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// A number read from program text; one too large for a double is an
// arithmetic overflow, a run error.
double CheckedNumber(std::string_view text) {
  const double value = ReadLeadingNumber(text);
  if (!std::isfinite(value)) throw EngineError("a number on the line is too large (overflow)");
  return value;
}

// The text after the first "=" of the line, or the whole line.
std::string_view ValueText(const std::string& line) {
  const std::size_t equals = line.find('=');
  return TrimBlanks(equals == std::string::npos ? std::string_view(line)
                                                : std::string_view(line).substr(equals + 1));
}

double Value(const LineContext& c) { return CheckedNumber(ValueText(c.line)); }
double Item(const Workspace& ws, int index) { return CheckedNumber(ws.LineItems(index)); }

void Train(LineContext& c) {
  c.ws.SelectedSet = Value(c);
  c.action = Action::Train;
}
void Display(LineContext& c) { RedrawNet(c.ws, c.host); }
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

struct Keyword {
  const char* text;
  void (*apply)(LineContext&);
};

// Searched in this order as plain substrings; every one found takes effect.
constexpr std::array<Keyword, 18> kKeywords{{
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

// Runs one line; false when training was interrupted and the run must end.
bool ExecuteLine(LineContext& c) {
  for (const Keyword& keyword : kKeywords) {
    if (c.line.find(keyword.text) != std::string::npos) keyword.apply(c);
  }
  switch (c.action) {
    case Action::Train:
      return TrainNet(c.ws, c.host) == TrainOutcome::Finished;
    case Action::Step:
      StepDataSet(c.ws, c.host);
      return true;
    case Action::InitWeights:
      InitWeights(c.ws, ValueText(c.line));
      return true;
    case Action::None:
      return true;
  }
  return true;
}

// One line of a program as written, with its 1-based number.
struct ProgramLine {
  int number;
  std::string text;
};

// Lines end at CR LF, LF or CR, and every line counts for the numbering;
// lines of fewer than two characters are never executed.
std::vector<ProgramLine> ProgramLines(const std::string& text) {
  std::vector<ProgramLine> lines;
  std::size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    ++number;
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    if (end - start >= 2) lines.push_back({number, text.substr(start, end - start)});
    start = end;
    if (start < text.size() && text[start] == '\r') ++start;
    if (start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

// The line of a run error that says where and why: "Line 4 (TRAIN=1): the
// show rate is 0", the line as written, trimmed, and cut when long.
std::string RunErrorLine(const ProgramLine& line, const std::string& reason) {
  constexpr std::size_t kShownLength = 40;
  std::string_view shown = line.text;
  const std::size_t first = shown.find_first_not_of(" \t");
  shown = first == std::string_view::npos
              ? std::string_view()
              : shown.substr(first, shown.find_last_not_of(" \t") - first + 1);
  std::string cut;
  if (shown.size() > kShownLength) {
    std::size_t length = kShownLength - 3;
    // Never cut a character of several bytes in two.
    while (length > 0 && (static_cast<unsigned char>(shown[length]) & 0xC0) == 0x80) --length;
    cut = std::string(shown.substr(0, length)) + "...";
  } else {
    cut = std::string(shown);
  }
  return "Line " + std::to_string(line.number) + " (" + VisibleText(cut) + "): " + reason;
}

}  // namespace

std::string UpperCaseProgram(const std::string& text) {
  std::string upper = text;
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return upper;
}

void SplitLineItems(Workspace& ws) {
  const std::string& line = ws.CurrentLine;
  ws.ItemCount = 1;
  std::size_t pieceStart = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const bool last = (i + 1 == line.size());
    if (line[i] == '=' || line[i] == ',' || last) {
      if (ws.ItemCount > kMaxLineItems) {
        throw EngineError("the line has more than " + std::to_string(kMaxLineItems) + " items");
      }
      const std::size_t cut = last ? line.size() : i;
      const std::size_t length = cut > pieceStart ? cut - pieceStart : 0;
      ws.LineItems(ws.ItemCount) =
          std::string(TrimBlanks(std::string_view(line).substr(pieceStart, length)));
      ws.ItemCount = ws.ItemCount + 1;
      pieceStart = cut + 1;
    }
  }
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
  const std::vector<ProgramLine> lines = ProgramLines(text);
  const ProgramLine* current = nullptr;
  try {
    for (const ProgramLine& line : lines) {
      current = &line;
      ws.CurrentLine = UpperCaseProgram(line.text);
      LineContext context{ws, host, ws.CurrentLine};
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
