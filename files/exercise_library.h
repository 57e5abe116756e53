// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace backprop {

// A set of the exercise library: a complete file set with a lesson note.
struct Exercise {
  std::filesystem::path base;  // folder and base name, without extension
  std::string title;           // the note's heading, or the base name
  std::string summary;         // the note's first line of text
};

// The heading and the first line of text of a lesson note. A first line
// that is not a heading leaves the title empty and is the summary.
struct NoteHeadline {
  std::string title;
  std::string summary;
};
NoteHeadline HeadlineOf(std::string_view note);

// The complete sets (six files and BASE.txt) in these folders, folder by
// folder, by name within each; folders that cannot be read are skipped.
std::vector<Exercise> ListExercises(const std::vector<std::filesystem::path>& folders);

// The seven files of the set `base`: the file set's six and its note.
std::vector<std::filesystem::path> SetFiles(const std::filesystem::path& base);

// The files that copying the set `base` into `folder` would replace with
// other bytes. Copying onto the set's own folder replaces nothing.
std::vector<std::filesystem::path> CopyConflicts(const std::filesystem::path& base,
                                                 const std::filesystem::path& folder);

// Copies the seven files of the set `base` into `folder`, replacing what is
// there, and returns the copy's base. Every file is read and every target
// checked before the first is written; the set's own folder is never
// written (the set is used where it is). Throws FileError.
std::filesystem::path CopySet(const std::filesystem::path& base,
                              const std::filesystem::path& folder);

// The set a link in a lesson note names: a bare name of the same folder,
// with or without an extension ("02-XorFlat", "02-XorFlat.pr1"). A link
// with a scheme, a host, a folder, a query, a control character or a name
// starting with "." is none.
std::optional<std::string> LinkedSetName(std::string_view link);

}  // namespace backprop
