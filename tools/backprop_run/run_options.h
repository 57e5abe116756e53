// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace backprop {

// What the command line of backprop-run asks for.
struct RunOptions {
  std::string base;                // the (first) file set's base name, without extension
  std::vector<std::string> bases;  // every base name, in order (several only with --summary)
  int program = 1;              // 1 runs Program S1 as Run(S1), 2 Program S2 as Run(S2)
  std::string pngFile;          // where to write the final drawing; empty for none
  std::string loadWeightsFile;  // weights file read before the run; empty for none
  std::string saveWeightsFile;  // weights file written after the run; empty for none
  std::string curveFile;        // every training cycle's error, as CSV; empty for none
  std::string mapFile;          // the decision map of the final net, as PNG; empty for none
  int mapLayer = 0;             // --map-neurode K:J: the map's layer K; 0 for the output layer
  int mapNeurode = 1;           // and its neurode J
  int pngWidth = 1280;          // --png-size WxH: the picture's size in pixels
  int pngHeight = 800;
  bool fit = false;             // --fit: the picture fitted to what it draws
  bool neurodeMaps = false;     // --neurode-maps: every neurode's map in the picture
  int explainSet = 0;           // --explain SET:P: the training set, 1 or 2; 0 for none
  int explainPattern = 0;       // and the pattern, from 1
  bool check = false;           // print the warnings of the text checks instead of running
  int testSet = 0;              // --test SET: 2 (D2) or 4 (T1); 0 for none
  bool summary = false;         // --summary: one CSV line per set instead of the run's text
  bool help = false;
};

// A command line that cannot be understood; its text says why.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

// One option of the command line; a new option is one more row of the
// table in run_options.cpp and, usually, one more field of RunOptions.
struct OptionRow {
  std::string_view name;       // "--png"
  std::string_view valueName;  // "FILE"; empty for a flag
  std::string help;            // one line for --help
  void (*apply)(RunOptions& options, const std::string& value);
};

// The options backprop-run understands, in the order --help lists them.
const std::vector<OptionRow>& RunOptionTable();

// Reads the arguments after the program name. An option's value follows it
// as the next argument or after "=" ("--png out.png", "--png=out.png"). An
// option given twice, and an option that shapes an output not asked for
// (--fit without --png), are usage errors. With --summary there may be
// several base names, each with or without ".pr1"; the options that name
// one file then take one base name only.
RunOptions ParseRunOptions(const std::vector<std::string>& args);

// The text of --help.
std::string UsageText();

}  // namespace backprop
