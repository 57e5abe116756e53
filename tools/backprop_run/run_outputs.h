// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace backprop {

// One file backprop-run writes after the run: its name and the function
// that makes its bytes (which may throw FileError, with or without a file
// name). A new kind of output is one more entry in the list main() builds.
struct RunOutput {
  std::string file;
  std::function<std::string()> bytes;
};

// A file the run reads or writes, and what names it: an option ("--png")
// or the set ("the set's").
struct NamedFile {
  std::string by;
  std::string file;
};

// Why the outputs cannot be written as asked, found before the run: two of
// them name one file, or one names a file the run reads; only
// --save-weights may name the weights file read (it updates it). Nothing
// when they are all apart.
std::optional<std::string> OutputClash(const std::vector<NamedFile>& outputs,
                                       const std::vector<NamedFile>& inputs);

// Writes every output through ReplaceFileContents, each on its own, so that
// one failing leaves the others to be written. Returns the message of each
// failure, as the save box would show it ("UNABLE TO SAVE FILE", a line
// break, the file and the reason); empty when all were written.
std::vector<std::string> WriteRunOutputs(const std::vector<RunOutput>& outputs);

}  // namespace backprop
