#include "tools/backprop_run/run_options.h"

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
      "Exit status: 0 when the program ran to its end (or was stopped), 1 for a\n"
      "usage or file error, 2 when the run ended with a run error; the two\n"
      "lines of its message, \"UNABLE TO EXECUTE TASK\" and \"TASK HAS BEEN\n"
      "TERMINATED\", then go to standard error. A weights file that cannot be\n"
      "read (\"FILE NOT FOUND\") stops before the run and changes nothing; one\n"
      "that cannot be written (\"UNABLE TO SAVE FILE\") leaves any old file as\n"
      "it was. The weights are saved only after a run that ended without a run\n"
      "error.\n";
  return text;
}

}  // namespace backprop
