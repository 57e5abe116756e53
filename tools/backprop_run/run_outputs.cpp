#include "tools/backprop_run/run_outputs.h"

#include <new>

#include "files/file_error.h"
#include "files/text_file.h"

namespace backprop {

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
