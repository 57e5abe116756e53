// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/backprop_run/run_options.h"

#include <algorithm>
#include <cstddef>
#include <set>

#include "engine/neurode_maps.h"
#include "engine/visible_text.h"
#include "engine/workspace.h"
#include "files/text_file.h"
#include "files/weights_file.h"

namespace backprop {

namespace {

// A value as a usage error quotes it: a very long one is cut short.
constexpr std::size_t kShownValue = 40;
std::string Quoted(const std::string& value) { return QuotedShort(value, kShownValue); }

void SetProgram(RunOptions& options, const std::string& value) {
  if (value != "1" && value != "2") {
    throw UsageError("--program takes 1 or 2, not " + Quoted(value));
  }
  options.program = value == "1" ? 1 : 2;
}

// The options that name a file; the parser refuses an empty name for each.
template <std::string RunOptions::*kFile>
void SetFile(RunOptions& options, const std::string& value) {
  options.*kFile = value;
}

// SET:P, a training set (1 or 2) and a pattern number from 1.
void SetExplain(RunOptions& options, const std::string& value) {
  const std::size_t colon = value.find(':');
  const std::string set = value.substr(0, colon);
  const std::string pattern = colon == std::string::npos ? "" : value.substr(colon + 1);
  const bool digits = !pattern.empty() && pattern.size() <= 9 &&
                      pattern.find_first_not_of("0123456789") == std::string::npos;
  if ((set != "1" && set != "2") || !digits || std::stoi(pattern) < 1) {
    throw UsageError("--explain takes SET:P, a training set 1 or 2 and a pattern from 1, not " +
                     Quoted(value));
  }
  options.explainSet = set == "1" ? 1 : 2;
  options.explainPattern = std::stoi(pattern);
}

// A whole number of at most `digits` digits, or -1.
int WholeNumber(const std::string& text, std::size_t digits) {
  if (text.empty() || text.size() > digits ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return -1;
  }
  return std::stoi(text);
}

// The two whole numbers of "AsepB", or -1 for either that is not one.
std::pair<int, int> NumberPair(const std::string& value, char separator) {
  const std::size_t at = value.find(separator);
  if (at == std::string::npos) return {-1, -1};
  return {WholeNumber(value.substr(0, at), 5), WholeNumber(value.substr(at + 1), 5)};
}

constexpr int kSmallestPicture = 64;
constexpr int kLargestPicture = 8192;

// WxH, each side from 64 to 8192 pixels.
void SetPngSize(RunOptions& options, const std::string& value) {
  const auto [width, height] = NumberPair(value, 'x');
  const auto fits = [](int side) { return side >= kSmallestPicture && side <= kLargestPicture; };
  if (!fits(width) || !fits(height)) {
    throw UsageError("--png-size takes WxH, a width and a height from " +
                     std::to_string(kSmallestPicture) + " to " + std::to_string(kLargestPicture) +
                     " pixels such as 1280x800, not " + Quoted(value));
  }
  options.pngWidth = width;
  options.pngHeight = height;
}

// K:J, a layer 2..10 and a neurode 1..10 of it.
void SetMapNeurode(RunOptions& options, const std::string& value) {
  const auto [layer, neurode] = NumberPair(value, ':');
  if (layer < 2 || layer > kMaxLayers || neurode < 1 || neurode > kMaxNeurodes) {
    throw UsageError("--map-neurode takes K:J, a layer K from 2 to " + std::to_string(kMaxLayers) +
                     " and a neurode J from 1 to " + std::to_string(kMaxNeurodes) + ", not " +
                     Quoted(value));
  }
  options.mapLayer = layer;
  options.mapNeurode = neurode;
}

template <bool RunOptions::*kFlag>
void SetFlag(RunOptions& options, const std::string&) {
  options.*kFlag = true;
}


// An option that shapes another's output needs that other option.
void NeedOption(const RunOptions& options, const std::set<std::string, std::less<>>& seen,
                const char* option, const char* needed, bool present) {
  if (seen.contains(option) && !present && !options.help) {
    throw UsageError(std::string(option) + " needs " + needed);
  }
}

// "100x100": the decision map's size in pixels.
std::string MapSizeText() {
  return std::to_string(kDecisionMapPoints) + "x" + std::to_string(kDecisionMapPoints);
}

void SetTest(RunOptions& options, const std::string& value) {
  if (options.testSet != 0) throw UsageError("--test is given more than once");
  if (value != "2" && value != "4") {
    throw UsageError("--test takes 2 (D2) or 4 (T1), not " + Quoted(value));
  }
  options.testSet = value == "2" ? 2 : 4;
}

void SetSummary(RunOptions& options, const std::string&) {
  if (options.summary) throw UsageError("--summary is given more than once");
  options.summary = true;
}

void SetHelp(RunOptions& options, const std::string&) { options.help = true; }

// With --summary, BASE.pr1 names the set BASE.
std::string WithoutProgramExtension(std::string base) {
  if (base.size() > 4 && base.ends_with(".pr1")) base.resize(base.size() - 4);
  return base;
}

// The options whose output names one file, or that explain one set.
void CheckOneSetOptions(const RunOptions& options) {
  const struct {
    bool given;
    const char* name;
  } single[] = {{!options.pngFile.empty(), "--png"},
                {!options.saveWeightsFile.empty(), "--save-weights"},
                {!options.curveFile.empty(), "--curve"},
                {!options.mapFile.empty(), "--map"},
                {options.explainSet != 0, "--explain"}};
  for (const auto& option : single) {
    if (option.given) {
      throw UsageError(std::string(option.name) + " takes one base name, not " +
                       std::to_string(options.bases.size()));
    }
  }
}

const OptionRow* FindOption(std::string_view name) {
  const std::vector<OptionRow>& table = RunOptionTable();
  const auto row = std::find_if(table.begin(), table.end(),
                                [name](const OptionRow& r) { return r.name == name; });
  return row == table.end() ? nullptr : &*row;
}

}  // namespace

const std::vector<OptionRow>& RunOptionTable() {
  static const std::vector<OptionRow> table = {
      {"--program", "1|2", "run Program S1 (BASE.pr1, the default) or Program S2 (BASE.pr2)",
       SetProgram},
      {"--png", "FILE", "also paint the run and write the final drawing to FILE as a PNG",
       SetFile<&RunOptions::pngFile>},
      {"--png-size", "WxH", "the --png picture's width and height in pixels (default 1280x800)",
       SetPngSize},
      {"--fit", "", "--png draws the net as large as the picture allows, as View > Fit Net",
       SetFlag<&RunOptions::fit>},
      {"--neurode-maps", "",
       "--png draws every neurode's map of its output (two inputs), as View > Neurode Maps",
       SetFlag<&RunOptions::neurodeMaps>},
      {"--load-weights", "FILE",
       "read geometry, weights and six parameters from the weights file FILE before the run",
       SetFile<&RunOptions::loadWeightsFile>},
      {"--save-weights", "FILE",
       "write geometry, weights and six parameters to the weights file FILE after the run",
       SetFile<&RunOptions::saveWeightsFile>},
      {"--curve", "FILE", "write every training cycle's error to FILE as CSV: train,trial,error",
       SetFile<&RunOptions::curveFile>},
      {"--map", "FILE",
       "write the decision map of the final net (two inputs) to FILE as a " + MapSizeText() +
           " PNG",
       SetFile<&RunOptions::mapFile>},
      {"--map-neurode", "K:J", "--map shows neurode J of layer K (default: output neurode 1)",
       SetMapNeurode},
      {"--explain", "SET:P",
       "print the arithmetic of pattern P of training set SET for the final weights", SetExplain},
      {"--check", "", "print the warnings of the program and data checks, run nothing",
       SetFlag<&RunOptions::check>},
      {"--test", "SET",
       "measure test set SET (2 for D2, 4 for T1, with desired outputs) under the weights",
       SetTest},
      {"--summary", "",
       "print one CSV line per set instead of the run's text; takes several BASEs", SetSummary},
      {"--help", "", "show this text and exit", SetHelp},
  };
  return table;
}

RunOptions ParseRunOptions(const std::vector<std::string>& args) {
  RunOptions options;
  std::set<std::string, std::less<>> seen;
  for (std::size_t n = 0; n < args.size(); ++n) {
    const std::string& arg = args[n];
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      if (arg.empty()) throw UsageError("the base name is empty");
      options.bases.push_back(arg);
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionRow* row = FindOption(name);
    if (row == nullptr) throw UsageError("unknown option " + CutShort(name, kShownValue));
    if (!seen.insert(name).second) throw UsageError(name + " is given more than once");
    std::string value;
    if (row->valueName.empty()) {
      if (equals != std::string::npos) throw UsageError(name + " takes no value");
    } else if (equals != std::string::npos) {
      value = arg.substr(equals + 1);
    } else if (n + 1 < args.size()) {
      value = args[++n];
    } else {
      throw UsageError(name + " needs a value (" + std::string(row->valueName) + ")");
    }
    if (row->valueName == "FILE" && value.empty()) throw UsageError(name + " needs a file name");
    row->apply(options, value);
  }
  if (!options.help && options.bases.empty()) throw UsageError("no base name given");
  // Only a summary takes several sets (a "--summary" that is another
  // option's value does not count).
  if (!options.summary && options.bases.size() > 1) {
    throw UsageError("more than one base name: " + Quoted(options.bases[1]));
  }
  const bool png = !options.pngFile.empty();
  NeedOption(options, seen, "--png-size", "--png", png);
  NeedOption(options, seen, "--fit", "--png", png);
  NeedOption(options, seen, "--neurode-maps", "--png", png);
  NeedOption(options, seen, "--map-neurode", "--map", !options.mapFile.empty());
  if (options.check && options.summary) {
    throw UsageError("--check and --summary do not go together");
  }
  if (options.summary) {
    for (std::string& base : options.bases) base = WithoutProgramExtension(base);
    if (options.bases.size() > 1) CheckOneSetOptions(options);
  }
  if (!options.bases.empty()) options.base = options.bases.front();
  return options;
}

std::string UsageText() {
  std::string text =
      "Usage: backprop-run BASE [options]\n"
      "       backprop-run --summary [options] BASE...\n"
      "\n"
      "Runs a network program without the window. The texts of the file set\n"
      "BASE are read from whichever of BASE.pr1, BASE.pr2, BASE.ds1, BASE.ds2\n"
      "and BASE.qs1 exist (a missing one stays empty); the program then runs\n"
      "with the start-up parameters, as Run(S1) or Run(S2) does in the window.\n"
      "\n"
      "Every text the run writes on the main window is printed on standard\n"
      "output, one line per text, in the order written: a text written at a\n"
      "new position starts a new line, and trailing blanks are removed. So\n"
      "training prints a \"Trial=\" and an \"Error=\" line per cycle, stepping a\n"
      "line per value, and every drawing of the net its labels \"Bias\" and\n"
      "\"Active\". Pressing Ctrl+C during training stops it as a key press in\n"
      "the window does.\n"
      "\n"
      "Options:\n";
  for (const OptionRow& row : RunOptionTable()) {
    std::string left("  ");
    left.append(row.name);
    if (!row.valueName.empty()) left.append(" ").append(row.valueName);
    if (left.size() < 22) left.resize(22, ' ');
    text += left + " " + std::string(row.help) + "\n";
  }
  text +=
      "\n"
      "Files: only regular files (or links to them) are read; a folder, device,\n"
      "FIFO or socket is refused at once. A text of the set may hold at most\n" +
      std::to_string(kMaxTextFileBytes / 1024) + " KiB, a weights file " +
      std::to_string(kMaxWeightsFileBytes / 1024) +
      " KiB; a larger file is refused before it is read.\n"
      "\n"
      "--curve writes a header line \"train,trial,error\", then one line per\n"
      "training cycle of every TRAIN line of the run: train counts the TRAIN\n"
      "lines from 1, trial is the cycle as reported, error the cycle's error sum\n"
      "(the digital count in digital mode) in the shortest form that reads back\n"
      "to the same number; rounded as the report rounds, it is the \"Error=\" line.\n"
      "--map paints output neurode 1 of the final net over the input square\n"
      "(input 1 from low at the left to high at the right, input 2 from low at\n"
      "the bottom to high at the top), one pixel per point of a " +
      MapSizeText() +
      " grid:\n"
      "pure red at the low end of the output range, white at its middle, pure\n"
      "blue at its high end, linear between. A net without exactly two inputs\n"
      "is a usage error. With --map-neurode K:J it paints neurode J of layer K\n"
      "instead: a hidden neurode's own output f(net), red at -1, white at 0,\n"
      "blue at 1. A neurode the final net does not have is a usage error.\n"
      "--png draws the net at --png-size as the window does, with its\n"
      "whole user scale on the picture; --fit draws whatever the run left on\n"
      "the picture, texts included, as large as it allows, centred, pens and\n"
      "texts grown with it. --neurode-maps draws each neurode of layers 2..L\n"
      "as a small field of its own output over the input square, coloured as\n"
      "--map-neurode colours it, at every drawing of the net (two inputs; a\n"
      "final net without them is a usage error). An option given twice, or\n"
      "one of these without the option it shapes, is a usage error.\n"
      "--explain prints, after the run's own output, tab-separated lines:\n"
      "\"explain SET P\"; \"node k j net out slope delta\" for every neurode of\n"
      "layers 2..L; \"output j target e\" for every output neurode (the target\n"
      "scaled to -1..1); \"weight h i j w change new\" for every weight, the\n"
      "bias row i = 0 included. Numbers read back exactly; whole numbers have no\n"
      "point. A pattern outside the set, or an empty set, is a usage error.\n"
      "--test measures a test set with desired outputs under the net's weights:\n"
      "after the run's own output it prints \"Test=\" and the set's error, summed\n"
      "as a training cycle sums it and written as \"Error=\" is, and, where the\n"
      "targets are one-of-N or two values either side of the middle of the\n"
      "output range, \"Right= R of N\", the patterns the net gets right. With\n"
      "--curve, each line gets a fourth column test_error (the header reads\n"
      "\"train,trial,error,test_error\"): the test set's error after that cycle.\n"
      "A test set that cannot be read or holds no pattern is a usage error.\n"
      "--summary prints, instead of the run's text, a header line\n"
      "\"base,exit,trains,last_trial,last_error,test_error,right,total\" and one\n"
      "line per BASE: its exit status as a run of it alone, the TRAIN lines\n"
      "run, the last cycle and its error, and with --test the test error and\n"
      "the patterns right of the total; a field that does not apply is empty.\n"
      "Here a BASE may end in .pr1 (so shell patterns such as */*.pr1 work),\n"
      "messages name the set they belong to, and the exit status is the\n"
      "highest of the sets'. With several BASEs, --png, --save-weights,\n"
      "--curve, --map and --explain cannot be used.\n"
      "\n"
      "Checks: before a run, the program that runs (BASE.pr1, or BASE.pr2 with\n"
      "--program 2) and the data sets are checked for what the run would quietly\n"
      "make of them: a line such as EPSILN=.5 that holds no keyword (\"EPSILN: not\n"
      "a keyword; did you mean EPSILON?\"), a value that is not a number and so\n"
      "reads as 0, a list of more than 20 items, a NETLIST beyond 10 layers or 10\n"
      "neurodes, a pattern count above 300 or one that disagrees with the fields\n"
      "of the net this run reads the set with (\"declares 4 patterns, holds 2\n"
      "whole patterns and 1 field\"), and values outside the input or output\n"
      "range. Each warning is one line, \"warning: FILE line N: text\", written to\n"
      "standard error before the run; standard output and the exit status stay\n"
      "as they are. --check writes the same lines to standard output instead,\n"
      "runs nothing, writes no output file, and exits with 0 when there is no\n"
      "warning and 3 when there is any.\n"
      "\n"
      "Each output (--png, --save-weights, --curve, --map) is written on its own\n"
      "to a new file beside its target, which is then renamed over the old one:\n"
      "an output that fails leaves its old file as it was, and the others are\n"
      "still written. A target that is not a regular file (a folder, a device, a\n"
      "FIFO, a link to nothing), or whose name holds a line break or another\n"
      "control character, is refused and left untouched. Two outputs that name\n"
      "one file, or an output that names a file the run reads (a text of the\n"
      "set; the --load-weights file, which only --save-weights may update), are\n"
      "a usage error found before the run: nothing runs, nothing is written.\n"
      "\n"
      "Exit status: 0 when the program ran to its end (or was stopped) and\n"
      "every output and standard output were written; 1 for a usage or file\n"
      "error, or when an output or standard output could not be written (each\n"
      "is said on standard error); 2 when the run ended with a run error; 3\n"
      "when --check found a warning. The three lines of a run error go to\n"
      "standard error: \"UNABLE TO EXECUTE TASK\",\n"
      "\"TASK HAS BEEN TERMINATED\" and the program line with the reason, such\n"
      "as \"Line 4 (TRAIN=1): the show rate is 0\". A weights file that cannot\n"
      "be read (\"FILE NOT FOUND\") stops before the run and changes nothing.\n"
      "The weights are saved only after a run that ended without a run error;\n"
      "the picture, the curve and the map after any run.\n";
  return text;
}

}  // namespace backprop
