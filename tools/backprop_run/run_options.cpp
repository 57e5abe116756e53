#include "tools/backprop_run/run_options.h"

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

void SetPng(RunOptions& options, const std::string& value) {
  if (value.empty()) throw UsageError("--png needs a file name");
  options.pngFile = value;
}

void SetLoadWeights(RunOptions& options, const std::string& value) {
  if (value.empty()) throw UsageError("--load-weights needs a file name");
  options.loadWeightsFile = value;
}

void SetSaveWeights(RunOptions& options, const std::string& value) {
  if (value.empty()) throw UsageError("--save-weights needs a file name");
  options.saveWeightsFile = value;
}

void SetHelp(RunOptions& options, const std::string&) { options.help = true; }

const OptionRow* FindOption(std::string_view name) {
  for (const OptionRow& row : RunOptionTable()) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

}  // namespace

const std::vector<OptionRow>& RunOptionTable() {
  static const std::vector<OptionRow> table = {
      {"--program", "1|2", "run Program S1 (BASE.pr1, the default) or Program S2 (BASE.pr2)",
       SetProgram},
      {"--png", "FILE", "also paint the run and write the final drawing to FILE as a PNG", SetPng},
      {"--load-weights", "FILE",
       "read geometry, weights and six parameters from the weights file FILE before the run",
       SetLoadWeights},
      {"--save-weights", "FILE",
       "write geometry, weights and six parameters to the weights file FILE after the run",
       SetSaveWeights},
      {"--help", "", "show this text and exit", SetHelp},
  };
  return table;
}

RunOptions ParseRunOptions(const std::vector<std::string>& args) {
  RunOptions options;
  bool baseSeen = false;
  for (std::size_t n = 0; n < args.size(); ++n) {
    const std::string& arg = args[n];
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      if (baseSeen) throw UsageError("more than one base name: \"" + arg + "\"");
      if (arg.empty()) throw UsageError("the base name is empty");
      options.base = arg;
      baseSeen = true;
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
    row->apply(options, value);
  }
  if (!options.help && !baseSeen) throw UsageError("no base name given");
  return options;
}

std::string UsageText() {
  std::string text =
      "Usage: backprop-run BASE [options]\n"
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
      "Each output (--png, --save-weights) is written on its own to a new file\n"
      "beside its target, which is then renamed over the old one: an output that\n"
      "fails leaves its old file as it was, and the others are still written. A\n"
      "target that is not a regular file (a folder, a device, a FIFO, a link to\n"
      "nothing) is refused and left untouched.\n"
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
      "the picture after any run.\n";
  return text;
}

}  // namespace backprop
