// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

#include "engine/visible_text.h"

namespace backprop {

// The first lines of the file boxes: every failed load and every failed save.
inline constexpr const char* kLoadFailedText = "FILE NOT FOUND";
inline constexpr const char* kSaveFailedText = "UNABLE TO SAVE FILE";
// The reason a file command gives when memory runs out.
inline constexpr const char* kOutOfMemoryText = "not enough memory to finish the command";

// A file that could not be read, parsed or written. It keeps the file's name
// and the reason apart so that a box can show them on a line of their own.
// Both may quote a file's name or contents, so control characters in them
// are shown as escapes (VisibleText) in every message made from them.
class FileError : public std::runtime_error {
 public:
  FileError(const std::string& file, const std::string& reason)
      : std::runtime_error(Joined(VisibleText(file), VisibleText(reason))),
        file_(VisibleText(file)),
        reason_(VisibleText(reason)) {}

  const std::string& File() const { return file_; }
  const std::string& Reason() const { return reason_; }

 private:
  static std::string Joined(const std::string& file, const std::string& reason) {
    return file.empty() ? reason : file + ": " + reason;
  }

  std::string file_;
  std::string reason_;
};

// The text of a file box: the headline, then a line naming file and reason.
inline std::string FileErrorMessage(const char* headline, const FileError& error) {
  return std::string(headline) + "\n" + error.what();
}

}  // namespace backprop
