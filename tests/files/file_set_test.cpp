// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/file_set.h"

#include <gtest/gtest.h>

#include "files/file_error.h"
#include "files/text_file.h"
#include "files/weights_file.h"
#include "tests/support/temp_folder.h"

namespace backprop {
namespace {

constexpr RowChoice kAllRows{true, true, true, true, true, true};

TEST(FileSet, NamesFollowTheRows) {
  EXPECT_EQ(FileSetNames("Demo"),
            (std::array<std::string, kFileSetRows>{"Demo.pr1", "Demo.pr2", "Demo.ds1", "Demo.ds2",
                                                   "Demo.qs1", "Demo.wts"}));
}

TEST(FileSet, LoadTakesTheBaseNameFromTheNameBox) {
  const struct {
    const char* typed;
    const char* base;
  } cases[] = {
      {"XOR", "/lists/dir/XOR"},  // no ".": the lists' directory
      {"XOR.PR1", "XOR"},         // a ".": relative to the working directory
      {"XOR.", "XOR"},
      {"a.b.c", "a"},                      // up to the first "."
      {"/abs/net.wts", "/abs/net"},        // an absolute path stays one
      {"../sets/net.ds1", "../sets/net"},  // a "." in a folder name is not the cut
      {"v1.2/net.pr1", "v1.2/net"},
      {"v1.2/net", "v1.2/net"},
      {"sub/XOR", "/lists/dir/sub/XOR"},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadBaseName(c.typed, "/lists/dir"), c.base) << c.typed;
  EXPECT_EQ(LoadBaseName("XOR", "/"), "/XOR");
}

TEST(FileSet, SaveTakesOnlyABareBaseName) {
  EXPECT_EQ(SaveBaseName("XOR", "/lists/dir"), "/lists/dir/XOR");
  EXPECT_EQ(SaveBaseName("XOR", "/"), "/XOR");
  for (const char* refused : {"XOR.PR1", "a/b", ".", "/abs", "x."}) {
    EXPECT_EQ(SaveBaseName(refused, "/lists/dir"), std::nullopt) << refused;
  }
}

Workspace WithTexts() {
  Workspace ws;
  ApplyDefaults(ws);
  ws.TextBuffer(BufferId::ProgramS1) = "NETLIST=2,2,1";
  ws.TextBuffer(BufferId::ProgramS2) = "TRAIN=2";
  ws.TextBuffer(BufferId::TrainingDataD1) = "1\r\n1,1,1";
  ws.TextBuffer(BufferId::TrainingDataD2) = "0";
  ws.TextBuffer(BufferId::TestSetT1) = "2\r\n1,1\r\n-1,-1";
  ws.Weights(0, 1, 1) = 0.25;
  return ws;
}

TEST(FileSet, SavedRowsLoadBackInTheirBuffers) {
  testing::TempFolder folder;
  Workspace ws = WithTexts();
  ws.FileNames = FileSetNames((folder / "net").string());
  SaveFileSet(ws, kAllRows);

  Workspace back;
  back.FileNames = ws.FileNames;
  LoadFileSet(back, kAllRows);
  for (BufferId id : kFileSetBuffers) EXPECT_EQ(back.TextBuffer(id), ws.TextBuffer(id) + "\r\n");
  EXPECT_EQ(back.Weights(0, 1, 1), 0.25);
  EXPECT_EQ(back.LayerSizes(2), 2);
}

TEST(FileSet, UncheckedRowsAreNotTouched) {
  testing::TempFolder folder;
  Workspace ws = WithTexts();
  ws.FileNames = FileSetNames((folder / "net").string());
  SaveFileSet(ws, {false, true, false, false, true, false});
  EXPECT_FALSE(std::filesystem::exists(ws.FileNames[0]));
  EXPECT_TRUE(std::filesystem::exists(ws.FileNames[1]));
  EXPECT_FALSE(std::filesystem::exists(ws.FileNames[5]));

  Workspace back;
  back.FileNames = ws.FileNames;
  back.TextBuffer(BufferId::ProgramS1) = "mine";
  LoadFileSet(back, {false, true, false, false, false, false});
  EXPECT_EQ(back.TextBuffer(BufferId::ProgramS1), "mine");
  EXPECT_EQ(back.TextBuffer(BufferId::ProgramS2), "TRAIN=2\r\n");
  EXPECT_EQ(back.TextBuffer(BufferId::TestSetT1), "");
}

TEST(FileSet, SaveChecksEveryTargetBeforeItWritesAny) {
  testing::TempFolder folder;
  Workspace ws = WithTexts();
  ws.FileNames = FileSetNames((folder / "net").string());
  std::filesystem::create_directory(ws.FileNames[5]);
  EXPECT_THROW(SaveFileSet(ws, kAllRows), FileError);
  EXPECT_FALSE(std::filesystem::exists(ws.FileNames[0])) << "the weights row stopped the save";
}

// What the headless runner reads: every text file of the set that is there.
TEST(FileSet, ExistingTextRowsReadByteForByteAndAFolderIsAnError) {
  testing::TempFolder folder;
  Workspace ws;
  ws.FileNames = FileSetNames((folder / "set").string());
  EXPECT_EQ(ExistingTextRows(ws), RowChoice{});
  ReplaceFileContents(ws.FileNames[0], "TRAIN=1\r\n");
  ReplaceFileContents(ws.FileNames[3], std::string("2\n\0\xff,\r", 7));
  ReplaceFileContents(ws.FileNames[5], "not a text row");
  std::filesystem::create_symlink("nowhere", ws.FileNames[4]);
  ws.TextBuffer(BufferId::ProgramS2) = "old";
  EXPECT_EQ(ExistingTextRows(ws), (RowChoice{true, false, false, true, true, false}));
  EXPECT_THROW(LoadFileSet(ws, ExistingTextRows(ws)), FileError) << "the dead link is reported";
  std::filesystem::remove(ws.FileNames[4]);
  LoadFileSet(ws, ExistingTextRows(ws));
  EXPECT_EQ(ws.TextBuffer(BufferId::ProgramS1), "TRAIN=1\r\n");
  EXPECT_EQ(ws.TextBuffer(BufferId::TrainingDataD2), std::string("2\n\0\xff,\r", 7));
  EXPECT_EQ(ws.TextBuffer(BufferId::ProgramS2), "old") << "a missing file leaves its buffer";
}

}  // namespace
}  // namespace backprop
