#pragma once

#include <stdexcept>
#include <string>

namespace backprop {

// The first lines of the file boxes: every failed load and every failed save.
inline constexpr const char* kLoadFailedText = "FILE NOT FOUND";
inline constexpr const char* kSaveFailedText = "UNABLE TO SAVE FILE";

// A file that could not be read, parsed or written. It keeps the file's name
// and the reason apart so that a box can show them on a line of their own.
class FileError : public std::runtime_error {
 public:
  FileError(std::string file, std::string reason)
      : std::runtime_error(file.empty() ? reason : file + ": " + reason),
        file_(std::move(file)),
        reason_(std::move(reason)) {}

  const std::string& File() const { return file_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::string file_;
  std::string reason_;
};

// The text of a file box: the headline, then a line naming file and reason.
inline std::string FileErrorMessage(const char* headline, const FileError& error) {
  return std::string(headline) + "\n" + error.what();
}

}  // namespace backprop
