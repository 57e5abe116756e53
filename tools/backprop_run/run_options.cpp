#include "tools/backprop_run/run_options.h"

#include <algorithm>

#include "files/text_file.h"
#include "files/weights_file.h"

namespace backprop {

namespace {

void SetProgram(RunOptions& options, const std::string& value) {
  if (value != "1" && value != "2") {
    throw UsageError("--program takes 1 or 2, not \"" + value + "\"");
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
    throw UsageError("--explain takes SET:P, a training set 1 or 2 and a pattern from 1, not \"" +
                     value + "\"");
  }
  options.explainSet = set == "1" ? 1 : 2;
  options.explainPattern = std::stoi(pattern);
}

// A value as a message quotes it: a very long one is cut short.
std::string Quoted(const std::string& value) {
  constexpr std::size_t kShown = 40;
  return "\"" + (value.size() > kShown ? value.substr(0, kShown) + "..." : value) + "\"";
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
      {"--load-weights", "FILE",
       "read geometry, weights and six parameters from the weights file FILE before the run",
       SetFile<&RunOptions::loadWeightsFile>},
      {"--save-weights", "FILE",
       "write geometry, weights and six parameters to the weights file FILE after the run",
       SetFile<&RunOptions::saveWeightsFile>},
      {"--curve", "FILE", "write every training cycle's error to FILE as CSV: train,trial,error",
       SetFile<&RunOptions::curveFile>},
      {"--map", "FILE",
       "write the decision map of the final net (two inputs) to FILE as a 100x100 PNG",
       SetFile<&RunOptions::mapFile>},
      {"--explain", "SET:P",
       "print the arithmetic of pattern P of training set SET for the final weights", SetExplain},
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
  // Only a summary takes several sets; without one the second name is
  // refused where it stands.
  const bool summary = std::find(args.begin(), args.end(), "--summary") != args.end();
  for (std::size_t n = 0; n < args.size(); ++n) {
    const std::string& arg = args[n];
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      if (!summary && !options.bases.empty()) {
        throw UsageError("more than one base name: \"" + arg + "\"");
      }
      if (arg.empty()) throw UsageError("the base name is empty");
      options.bases.push_back(arg);
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const OptionRow* row = FindOption(name);
    if (row == nullptr) throw UsageError("unknown option " + name);
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
    std::string left = "  " + std::string(row.name);
    if (!row.valueName.empty()) left += " " + std::string(row.valueName);
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
      "the bottom to high at the top), one pixel per point of a 100x100 grid:\n"
      "pure red at the low end of the output range, white at its middle, pure\n"
      "blue at its high end, linear between. A net without exactly two inputs\n"
      "is a usage error.\n"
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
      "Each output (--png, --save-weights, --curve, --map) is written on its own\n"
      "to a new file beside its target, which is then renamed over the old one:\n"
      "an output that fails leaves its old file as it was, and the others are\n"
      "still written. A target that is not a regular file (a folder, a device, a\n"
      "FIFO, a link to nothing) is refused and left untouched.\n"
      "\n"
      "Exit status: 0 when the program ran to its end (or was stopped) and\n"
      "every output and standard output were written; 1 for a usage or file\n"
      "error, or when an output or standard output could not be written (each\n"
      "is said on standard error); 2 when the run ended with a run error. Its\n"
      "three lines then go to standard error: \"UNABLE TO EXECUTE TASK\",\n"
      "\"TASK HAS BEEN TERMINATED\" and the program line with the reason, such\n"
      "as \"Line 4 (TRAIN=1): the show rate is 0\". A weights file that cannot\n"
      "be read (\"FILE NOT FOUND\") stops before the run and changes nothing.\n"
      "The weights are saved only after a run that ended without a run error;\n"
      "the picture, the curve and the map after any run.\n";
  return text;
}

}  // namespace backprop
