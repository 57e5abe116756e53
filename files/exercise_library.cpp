// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/exercise_library.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "engine/visible_text.h"
#include "files/file_error.h"
#include "files/file_set.h"
#include "files/text_file.h"
#include "files/weights_file.h"

namespace backprop {

namespace fs = std::filesystem;

namespace {

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool IsFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

// The bytes of one file of a set, with the cap of its kind.
std::string ReadSetFile(const fs::path& file) {
  if (file.extension() == kLessonNoteExtension) return ReadLessonNote(file);
  return ReadFileContents(file, file.extension() == ".wts" ? kMaxWeightsFileBytes
                                                           : kMaxTextFileBytes);
}

bool SameFolder(const fs::path& a, const fs::path& b) {
  std::error_code error;
  return fs::equivalent(a.empty() ? "." : a, b.empty() ? "." : b, error);
}

}  // namespace

NoteHeadline HeadlineOf(std::string_view note) {
  NoteHeadline headline;
  std::size_t start = 0;
  while (start < note.size()) {
    std::size_t end = note.find('\n', start);
    if (end == std::string_view::npos) end = note.size();
    const std::string_view line = Trimmed(note.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (line.front() == '#') {
      if (!headline.title.empty()) break;  // a second heading: no first line
      // A line of "#" alone is an empty heading.
      headline.title = Trimmed(line.substr(std::min(line.find_first_not_of('#'), line.size())));
      continue;
    }
    headline.summary = line;
    break;
  }
  return headline;
}

std::vector<fs::path> SetFiles(const fs::path& base) {
  std::vector<fs::path> files;
  for (const std::string& name : FileSetNames(base.string())) files.emplace_back(name);
  files.emplace_back(base.string() + kLessonNoteExtension);
  return files;
}

std::vector<Exercise> ListExercises(const std::vector<fs::path>& folders) {
  std::vector<Exercise> exercises;
  for (const fs::path& folder : folders) {
    std::error_code error;
    std::vector<fs::path> bases;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      const fs::path& file = it->path();
      if (file.extension() != kLessonNoteExtension) continue;
      fs::path base = file;
      base.replace_extension();
      const std::vector<fs::path> files = SetFiles(base);
      if (std::all_of(files.begin(), files.end(), IsFile)) bases.push_back(base);
    }
    std::sort(bases.begin(), bases.end());
    for (const fs::path& base : bases) {
      try {
        const NoteHeadline headline =
            HeadlineOf(ReadLessonNote(base.string() + kLessonNoteExtension));
        exercises.push_back({base, headline.title.empty() ? base.filename().string() : headline.title,
                             headline.summary});
      } catch (const FileError&) {
        // A note that cannot be read leaves its set out of the list.
      }
    }
  }
  return exercises;
}

std::vector<fs::path> CopyConflicts(const fs::path& base, const fs::path& folder) {
  std::vector<fs::path> conflicts;
  if (SameFolder(base.parent_path(), folder)) return conflicts;
  for (const fs::path& file : SetFiles(base)) {
    const fs::path target = folder / file.filename();
    std::error_code error;
    if (!fs::exists(fs::symlink_status(target, error))) continue;
    try {
      if (ReadSetFile(target) == ReadSetFile(file)) continue;
    } catch (const FileError&) {
      // What cannot be compared counts as different.
    }
    conflicts.push_back(target);
  }
  return conflicts;
}

fs::path CopySet(const fs::path& base, const fs::path& folder) {
  if (SameFolder(base.parent_path(), folder)) return base;
  const std::vector<fs::path> files = SetFiles(base);
  std::vector<std::string> contents;
  for (const fs::path& file : files) contents.push_back(ReadSetFile(file));
  std::vector<fs::path> targets;
  for (const fs::path& file : files) targets.push_back(folder / file.filename());
  CheckDistinctSaveTargets(targets);
  for (std::size_t n = 0; n < files.size(); ++n) {
    const fs::path target = folder / files[n].filename();
    // A file with the same bytes stays as it is.
    std::error_code error;
    if (fs::exists(target, error)) {
      try {
        if (ReadSetFile(target) == contents[n]) continue;
      } catch (const FileError&) {
      }
    }
    ReplaceFileContents(target, contents[n]);
  }
  return folder / base.filename();
}

std::optional<std::string> LinkedSetName(std::string_view link) {
  link = Trimmed(link);
  if (link.empty() || link.front() == '.' ||
      link.find_first_of(":/\\?#") != std::string_view::npos || HasControlCharacter(link)) {
    return std::nullopt;
  }
  return std::string(link.substr(0, link.find('.')));
}

}  // namespace backprop
