#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace backprop {

// Reads a whole file byte for byte. A missing, unreadable or folder path
// throws FileError with the reason.
std::string ReadTextFile(const std::filesystem::path& path);

// Saves a text followed by one CR LF, the form every text of a file set is
// kept in. Throws FileError; see ReplaceFileContents for what a failure leaves.
void WriteTextFile(const std::filesystem::path& path, std::string_view text);

// Puts the given bytes into a file by writing a new file in the same folder
// and renaming it over the old one, so that a failed save never leaves an
// emptied or half-written file where a good one was. A file reached through
// a symbolic link is replaced at the link's target; an existing file keeps
// its permissions, and one that may not be written to is not replaced.
// Throws FileError with the reason.
void ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);

}  // namespace backprop
