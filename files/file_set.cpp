// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_set.h"

#include <filesystem>
#include <system_error>

#include "files/text_file.h"
#include "files/weights_file.h"

namespace backprop {

namespace {

std::string InDirectory(std::string_view directory, std::string_view name) {
  std::string path(directory);
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

}  // namespace

std::array<std::string, kFileSetRows> FileSetNames(std::string_view baseName) {
  std::array<std::string, kFileSetRows> names;
  for (int row = 0; row < kFileSetRows; ++row) {
    names[row] = std::string(baseName) + kFileSetExtensions[row];
  }
  return names;
}

std::string LoadBaseName(std::string_view typed, std::string_view listDirectory) {
  if (typed.find('.') == std::string_view::npos) return InDirectory(listDirectory, typed);
  const std::size_t slash = typed.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = typed.find('.', nameStart);
  return std::string(typed.substr(0, dot));
}

std::optional<std::string> SaveBaseName(std::string_view typed, std::string_view listDirectory) {
  if (typed.find_first_of("/.") != std::string_view::npos) return std::nullopt;
  return InDirectory(listDirectory, typed);
}

void LoadFileSet(Workspace& ws, const RowChoice& rows) {
  for (int row = 0; row < kFileSetRows - 1; ++row) {
    if (rows[row]) ws.TextBuffer(kFileSetBuffers[row]) = ReadTextFile(ws.FileNames[row]);
  }
  if (rows[kFileSetRows - 1]) ReadWeightsFile(ws, ws.FileNames[kFileSetRows - 1]);
}

RowChoice ExistingTextRows(const Workspace& ws) {
  RowChoice rows{};
  for (int row = 0; row < kFileSetRows - 1; ++row) {
    std::error_code error;
    rows[row] = std::filesystem::exists(std::filesystem::symlink_status(ws.FileNames[row], error));
  }
  return rows;
}

void CheckSaveTargets(const Workspace& ws, const RowChoice& rows) {
  std::vector<std::filesystem::path> targets;
  for (int row = 0; row < kFileSetRows; ++row) {
    if (rows[row]) targets.emplace_back(ws.FileNames[row]);
  }
  if (!ws.LessonNote.empty()) targets.emplace_back(FileSetBase(ws) + kLessonNoteExtension);
  CheckDistinctSaveTargets(targets);
}

void SaveFileSet(const Workspace& ws, const RowChoice& rows) {
  CheckSaveTargets(ws, rows);
  for (int row = 0; row < kFileSetRows - 1; ++row) {
    if (rows[row]) WriteTextFile(ws.FileNames[row], ws.TextBuffer(kFileSetBuffers[row]));
  }
  if (rows[kFileSetRows - 1]) WriteWeightsFile(ws, ws.FileNames[kFileSetRows - 1]);
}

std::string FileSetBase(const Workspace& ws) {
  std::string base = ws.FileNames[0];
  const std::string_view extension = kFileSetExtensions[0];
  if (base.ends_with(extension)) base.resize(base.size() - extension.size());
  return base;
}

std::string ReadLessonNote(const std::filesystem::path& file) {
  return ReadFileContents(file, kMaxLessonNoteBytes);
}

void LoadLessonNote(Workspace& ws) {
  const std::string name = FileSetBase(ws) + kLessonNoteExtension;
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(name, error))) {
    ws.LessonNote.clear();
    return;
  }
  ws.LessonNote = ReadLessonNote(name);
}

void SaveLessonNote(const Workspace& ws) {
  if (ws.LessonNote.empty()) return;
  ReplaceFileContents(FileSetBase(ws) + kLessonNoteExtension, ws.LessonNote);
}

void LoadWholeSet(Workspace& ws, const std::string& base) {
  ws.LoadedSet = kNoDataSet;
  ws.FileNames = FileSetNames(base);
  LoadFileSet(ws, RowChoice{true, true, true, true, true, true});
  LoadLessonNote(ws);
}

}  // namespace backprop
