// SPDX-License-Identifier: GPL-3.0-or-later
// The exercise library and lesson notes: the shipped sets are listed with
// their headlines, a copy never replaces a file unasked nor writes into the
// library's own folder, and a note round-trips byte for byte.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "engine/workspace.h"
#include "files/exercise_library.h"
#include "files/file_error.h"
#include "files/file_set.h"
#include "files/text_file.h"
#include "tests/support/temp_folder.h"

namespace backprop {
namespace {

namespace fs = std::filesystem;

TEST(ExerciseLibrary, ListsTheShippedSetsWithTheirHeadlines) {
  const std::vector<Exercise> all = ListExercises({BACKPROP_EXERCISES_DIR, BACKPROP_DEMO_DIR});
  ASSERT_EQ(all.size(), 13u);
  EXPECT_EQ(all.front().base.filename(), "01-AndOr");
  EXPECT_EQ(all.front().title, "AND and OR without a hidden layer");
  for (const Exercise& e : all) EXPECT_FALSE(e.summary.empty()) << e.base;
  const struct {
    const char* note;
    const char* title;
    const char* summary;
  } headlines[] = {{"# Title\r\n\r\nFirst line.\r\nSecond.", "Title", "First line."},
                   {"No heading here\nmore", "", "No heading here"},
                   {"## A\n## B\ntext", "A", ""},
                   {"#", "", ""},
                   {" ### \r\nText", "", "Text"}};
  for (const auto& h : headlines) {
    EXPECT_EQ(HeadlineOf(h.note).title, h.title);
    EXPECT_EQ(HeadlineOf(h.note).summary, h.summary);
  }
}

TEST(ExerciseLibrary, CopiesASetWithoutReplacingAnythingUnasked) {
  const testing::TempFolder folder;
  const fs::path library = fs::path(BACKPROP_EXERCISES_DIR) / "01-AndOr";
  EXPECT_TRUE(CopyConflicts(library, folder.Path()).empty());
  const fs::path copy = CopySet(library, folder.Path());
  EXPECT_EQ(copy, folder / "01-AndOr");
  for (const fs::path& file : SetFiles(library)) {
    EXPECT_EQ(ReadTextFile(folder / file.filename().string()), ReadTextFile(file));
  }
  EXPECT_TRUE(CopyConflicts(library, folder.Path()).empty()) << "the same bytes replace nothing";
  std::ofstream(folder / "01-AndOr.ds1") << "mine";
  EXPECT_EQ(CopyConflicts(library, folder.Path()),
            std::vector<fs::path>{folder / "01-AndOr.ds1"});
  // The library's own folder is used where it is.
  EXPECT_EQ(CopySet(copy, folder.Path()), copy);
  // A set that is not complete copies nothing.
  fs::remove(folder / "01-AndOr.wts");
  const testing::TempFolder other;
  EXPECT_THROW(CopySet(copy, other.Path()), FileError);
  EXPECT_TRUE(fs::is_empty(other.Path()));
}

TEST(ExerciseLibrary, LinksNameOnlySetsOfTheSameFolder) {
  const struct {
    const char* link;
    const char* set;  // nullptr: refused
  } links[] = {{"02-XorFlat", "02-XorFlat"}, {"Demo.pr1", "Demo"}, {" Next ", "Next"},
               {"../x", nullptr},            {"sub/x", nullptr},  {"http://host/x", nullptr},
               {"file:x", nullptr},          {".hidden", nullptr}, {"x?y", nullptr},
               {"", nullptr},                {"..", nullptr},     {"/etc/passwd", nullptr},
               {"a\\b", nullptr},           {"x#y", nullptr},    {"C:x", nullptr},
               {"a\nb", nullptr},            {"a\x7f", nullptr}};
  for (const auto& l : links) {
    const std::optional<std::string> set = LinkedSetName(l.link);
    EXPECT_EQ(set.has_value(), l.set != nullptr) << l.link;
    if (set && l.set) {
      EXPECT_EQ(*set, l.set);
    }
  }
}

TEST(LessonNote, IsReadWithTheSetAndSavedBackUnchanged) {
  const testing::TempFolder folder;
  auto ws = std::make_unique<Workspace>();
  ws->FileNames = FileSetNames((folder / "Set").string());
  ws->LessonNote = "old";
  LoadLessonNote(*ws);
  EXPECT_EQ(ws->LessonNote, "") << "a set without a note has none";
  SaveLessonNote(*ws);
  EXPECT_FALSE(fs::exists(folder / "Set.txt")) << "and saving it writes none";

  constexpr char kNote[] = "# Note\r\n\r\nLine, with <b>HTML</b>, \0 and \xff\xfe.\r\n";
  const std::string note(kNote, sizeof kNote - 1);
  ws->LessonNote = note;
  SaveLessonNote(*ws);
  ws->LessonNote.clear();
  LoadLessonNote(*ws);
  EXPECT_EQ(ws->LessonNote, note) << "byte for byte, no line break added";

  // The note's cap holds; a larger note is refused before it is read.
  for (const std::size_t size : {kMaxLessonNoteBytes, kMaxLessonNoteBytes + 1, kMaxTextFileBytes}) {
    fs::resize_file(folder / "Set.txt", size);
    ws->LessonNote = note;
    try {
      LoadLessonNote(*ws);
      EXPECT_EQ(ws->LessonNote.size(), size);
    } catch (const FileError& error) {
      EXPECT_GT(size, kMaxLessonNoteBytes);
      EXPECT_TRUE(std::string(error.Reason()).starts_with("is too large to read")) << size;
      EXPECT_EQ(ws->LessonNote, note);
    }
  }

  fs::remove(folder / "Set.txt");
  fs::create_directory(folder / "Set.txt");
  EXPECT_THROW(LoadLessonNote(*ws), FileError) << "a folder is refused like any text";
  EXPECT_EQ(ws->LessonNote, note);
  EXPECT_THROW(CheckSaveTargets(*ws, RowChoice{}), FileError) << "checked before any row is saved";
}

}  // namespace
}  // namespace backprop
