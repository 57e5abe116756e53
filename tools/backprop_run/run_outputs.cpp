// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/backprop_run/run_outputs.h"

#include <filesystem>
#include <new>
#include <system_error>

#include "engine/visible_text.h"
#include "files/file_error.h"
#include "files/text_file.h"

namespace backprop {

namespace {

std::string Named(const NamedFile& named) { return named.by + " " + VisibleText(named.file); }

}  // namespace

std::optional<std::string> OutputClash(const std::vector<NamedFile>& outputs,
                                       const std::vector<NamedFile>& inputs) {
  for (auto output = outputs.begin(); output != outputs.end(); ++output) {
    // What is not a file to replace (a device, a folder) is refused with
    // its own reason when it is written.
    std::error_code error;
    const auto type = std::filesystem::status(output->file, error).type();
    if (type != std::filesystem::file_type::regular &&
        type != std::filesystem::file_type::not_found) {
      continue;
    }
    for (auto other = outputs.begin(); other != output; ++other) {
      if (SameFile(other->file, output->file)) {
        return Named(*output) + ": the same file as " + Named(*other);
      }
    }
    for (const NamedFile& input : inputs) {
      const bool update = output->by == "--save-weights" && input.by == "--load-weights";
      if (!update && SameFile(input.file, output->file)) {
        return Named(*output) + ": the same file as " + Named(input) + ", which the run reads";
      }
    }
  }
  return std::nullopt;
}

std::vector<std::string> WriteRunOutputs(const std::vector<RunOutput>& outputs) {
  std::vector<std::string> failures;
  for (const RunOutput& output : outputs) {
    try {
      ReplaceFileContents(output.file, output.bytes());
    } catch (const FileError& error) {
      const FileError named = error.File().empty() ? FileError(output.file, error.Reason()) : error;
      failures.push_back(FileErrorMessage(kSaveFailedText, named));
    } catch (const std::bad_alloc&) {
      failures.push_back(
          FileErrorMessage(kSaveFailedText, FileError(output.file, kOutOfMemoryText)));
    }
  }
  return failures;
}

}  // namespace backprop
