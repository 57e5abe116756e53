// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace backprop {

// The largest text of a file set that is read (4 MiB). The largest data set,
// 300 patterns of 20 values, takes some 150 KB even with every value written
// to 17 digits, so this leaves ample room for remarks while a stray large
// file (a disk image, a log) is refused before it fills memory.
inline constexpr std::size_t kMaxTextFileBytes = std::size_t{4} * 1024 * 1024;

// Reads a whole file byte for byte, at most maxBytes of it. Only a regular
// file (or a symbolic link to one) is read: a folder, device, FIFO or socket
// is refused at once, and so is a file larger than maxBytes, before any of it
// is read. Opening never waits (a FIFO cannot block it). Throws FileError
// with the reason.
std::string ReadFileContents(const std::filesystem::path& path, std::size_t maxBytes);

// ReadFileContents with the cap of a text of a file set.
std::string ReadTextFile(const std::filesystem::path& path);

// Saves a text followed by one CR LF, the form every text of a file set is
// kept in. Throws FileError; see ReplaceFileContents for what a failure leaves.
void WriteTextFile(const std::filesystem::path& path, std::string_view text);

// Checks that a save to path can replace what is there: nothing yet, or a
// regular file that may be written to (also through a symbolic link), in a
// folder that exists and may be written to. A folder, device, FIFO, socket,
// a link that leads nowhere or in a loop is refused, and so is a name with
// a line break or another control character, which lists and scripts
// would misread. Returns the file the save really replaces (the link's
// target); throws FileError otherwise.
std::filesystem::path SaveTarget(const std::filesystem::path& path);

// Whether two paths name one file: the same file once links are followed
// (two hard links of one file too), or, where there is none yet, the same
// place.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// SaveTarget for each path in turn, and a FileError for a path that names
// the same file as one before it, so that a save of several files never
// writes one of them twice.
void CheckDistinctSaveTargets(const std::vector<std::filesystem::path>& paths);

// Puts the given bytes into the file at SaveTarget(path), the one way every
// file of the program is written: a new file is written beside it (private
// until it is complete), given the old file's mode (and owner, when run as
// root), synced, and renamed over the old one, and the folder is synced. A
// failed save leaves the old file as it was and no new file behind. Throws
// FileError with the reason.
void ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes);

}  // namespace backprop
