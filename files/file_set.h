// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "engine/workspace.h"

namespace backprop {

// A file set is six files with one base name: the five texts and the weights
// file, one row each, always handled from the first row to the last.
inline constexpr std::array<const char*, kFileSetRows> kFileSetExtensions{".pr1", ".pr2", ".ds1",
                                                                          ".ds2", ".qs1", ".wts"};

// The text buffer of each text row (the sixth row is the weights file).
inline constexpr std::array<BufferId, kFileSetRows - 1> kFileSetBuffers{
    BufferId::ProgramS1, BufferId::ProgramS2, BufferId::TrainingDataD1, BufferId::TrainingDataD2,
    BufferId::TestSetT1};

// Row labels shown before the file names: the first set after loading the
// dialog and after Load, the second after Save. They are only display text.
inline constexpr std::array<const char*, kFileSetRows> kLoadRowLabels{
    "Program (.pr1): ", "Program (.pr2): ", "Data (.ds1): ",
    "Data (.ds2): ",    "Test (.qs1): ",    "Weights (.wts): "};
inline constexpr std::array<const char*, kFileSetRows> kSaveRowLabels{
    "Program (.ps1): ", "Program (.ps2): ", "Data (.dt1): ",
    "Data (.dt2): ",    "Test (.qt1): ",    "Weights (.wts): "};

// The set offered when the dialog opens, in the working directory.
inline constexpr const char* kDefaultBaseName = "Demo";

// Which rows a load or save handles.
using RowChoice = std::array<bool, kFileSetRows>;

// The six file names of the set with this base name.
std::array<std::string, kFileSetRows> FileSetNames(std::string_view baseName);

// The base name Load takes from a non-empty name box: with a "." in it, the
// typed path up to the first "." of its last component (absolute, or relative
// to the working directory, so folders with dots in their names work);
// otherwise the file list's directory, "/", and the typed text.
std::string LoadBaseName(std::string_view typed, std::string_view listDirectory);

// The base name Save takes from a non-empty name box: the file list's
// directory, "/", and the typed text; nothing when the text holds a "/" or a
// "." (Save names a set only by its bare base name).
std::optional<std::string> SaveBaseName(std::string_view typed, std::string_view listDirectory);

// Reads the checked rows of the set named by ws.FileNames, first row first.
// The first failure throws FileError; rows loaded before it stay loaded, and
// a failing weights file changes nothing.
void LoadFileSet(Workspace& ws, const RowChoice& rows);

// The text rows (the first five) whose files are there, for a reader that
// takes whatever part of a set exists. A link that leads nowhere counts as
// there, so that reading it reports the fault instead of skipping it.
RowChoice ExistingTextRows(const Workspace& ws);

// Checks every checked row's target as a save would (SaveTarget), and the
// lesson note's when the workspace has one, and that no two of them are one
// file (a link of the set to another of its files); throws the first
// FileError, so that a save that cannot work on some file stops before it
// writes anything.
void CheckSaveTargets(const Workspace& ws, const RowChoice& rows);

// Writes the checked rows of the set named by ws.FileNames, first row first,
// after CheckSaveTargets. The first failure throws FileError; rows written
// before it stay written, and the failing file and those after it are left
// as they were.
void SaveFileSet(const Workspace& ws, const RowChoice& rows);

// The extension of a set's lesson note, an optional seventh file in Markdown.
inline constexpr const char* kLessonNoteExtension = ".txt";

// The largest lesson note that is read (256 KiB). A lesson is a few pages;
// the cap refuses a stray large file before it fills memory or the dock.
inline constexpr std::size_t kMaxLessonNoteBytes = std::size_t{256} * 1024;

// Reads a lesson note byte for byte within its cap, refusing what
// ReadFileContents refuses. Throws FileError.
std::string ReadLessonNote(const std::filesystem::path& file);

// The base name of the set named by ws.FileNames (the programs' file name
// without ".pr1").
std::string FileSetBase(const Workspace& ws);

// Reads BASE.txt of the set named by ws.FileNames into ws.LessonNote, with
// the caps and refusals of the texts; a set without one (no such entry)
// leaves the note empty. Throws FileError, leaving the note as it was.
void LoadLessonNote(Workspace& ws);

// Writes ws.LessonNote to BASE.txt byte for byte, so that a note read and
// saved again is unchanged; a workspace without a note writes nothing.
// Checks the target first, as CheckSaveTargets does. Throws FileError.
void SaveLessonNote(const Workspace& ws);

// Names the set `base` in ws.FileNames and loads all six files and the
// note, as Load does with every row checked; LoadedSet is 0 afterwards,
// whatever happens. Throws FileError at the first failure.
void LoadWholeSet(Workspace& ws, const std::string& base);

}  // namespace backprop
