#include "files/text_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "files/file_error.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/temp_folder.h"

namespace backprop {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReasonOf(const auto& action) {
  try {
    action();
  } catch (const FileError& error) {
    return error.Reason();
  }
  return "no error";
}

TEST(TextFile, SavesTheTextWithOneCrLfAndReadsItBackByteForByte) {
  testing::TempFolder folder;
  const std::string binary("a\0b\xff\r\n\n\rz", 9);
  const struct {
    std::string text;
    std::string file;
  } cases[] = {
      {"", "\r\n"},
      {"NETLIST=2,2,1\r\nTRAIN=1", "NETLIST=2,2,1\r\nTRAIN=1\r\n"},
      {"ends with a break\r\n", "ends with a break\r\n\r\n"},
      {binary, binary + "\r\n"},
  };
  for (const auto& c : cases) {
    WriteTextFile(folder / "t.pr1", c.text);
    EXPECT_EQ(ReadTextFile(folder / "t.pr1"), c.file);
  }
  EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"t.pr1"}) << "no file left over";
}

TEST(TextFile, ReadFailuresNameTheReason) {
  testing::TempFolder folder;
  EXPECT_EQ(ReasonOf([&] { ReadTextFile(folder / "none.pr1"); }),
            "cannot open: No such file or directory");
  EXPECT_EQ(ReasonOf([&] { ReadTextFile(folder.Path()); }), "is a folder, not a file");
  try {
    ReadTextFile(folder / "none.pr1");
  } catch (const FileError& error) {
    EXPECT_EQ(error.File(), (folder / "none.pr1").string());
    EXPECT_EQ(std::string(error.what()), error.File() + ": " + error.Reason());
  }
}

TEST(TextFile, ReplacingKeepsPermissionsAndFollowsLinks) {
  testing::TempFolder folder;
  const auto file = folder / "keep.ds1";
  WriteTextFile(file, "old");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  WriteTextFile(file, "new");
  EXPECT_EQ(ReadTextFile(file), "new\r\n");
  EXPECT_EQ(fs::status(file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  fs::create_directory(folder / "sub");
  fs::create_symlink("../keep.ds1", folder / "sub" / "link.ds1");
  WriteTextFile(folder / "sub" / "link.ds1", "through the link");
  EXPECT_TRUE(fs::is_symlink(folder / "sub" / "link.ds1"));
  EXPECT_EQ(ReadTextFile(file), "through the link\r\n");
  EXPECT_EQ(FolderEntries(folder / "sub"), std::vector<std::string>{"link.ds1"});
}

TEST(TextFile, AFailedSaveLeavesTheOldFileWhole) {
  testing::TempFolder folder;
  const auto file = folder / "big.ds1";
  WriteTextFile(file, "the good old text");
  const std::string large(200000, 'x');
  {
    testing::FileSizeLimit limit(4096);
    EXPECT_EQ(ReasonOf([&] { WriteTextFile(file, large); }), "cannot write: File too large");
  }
  EXPECT_EQ(ReadTextFile(file), "the good old text\r\n");
  EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"big.ds1"});

  EXPECT_EQ(ReasonOf([&] { WriteTextFile(folder / "gone" / "a.pr1", "x"); }),
            "cannot create: No such file or directory");
  fs::create_directory(folder / "taken.pr1");
  EXPECT_EQ(ReasonOf([&] { WriteTextFile(folder / "taken.pr1", "x"); }), "is a folder, not a file");
}

TEST(TextFile, ASaveIntoAFolderWithoutWritePermissionFails) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  testing::TempFolder folder;
  WriteTextFile(folder / "a.pr1", "old");
  fs::permissions(folder.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(ReasonOf([&] { WriteTextFile(folder / "a.pr1", "new"); }),
            "cannot create: Permission denied");
  EXPECT_EQ(ReadTextFile(folder / "a.pr1"), "old\r\n");
}

// A file its owner made read-only is kept, although the folder would let a
// new file be renamed over it.
TEST(TextFile, AReadOnlyFileIsNotReplaced) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  testing::TempFolder folder;
  WriteTextFile(folder / "kept.ds1", "old");
  fs::permissions(folder / "kept.ds1", fs::perms::owner_read);
  EXPECT_EQ(ReasonOf([&] { WriteTextFile(folder / "kept.ds1", "new"); }),
            "cannot open for writing: Permission denied");
  EXPECT_EQ(ReadTextFile(folder / "kept.ds1"), "old\r\n");
  EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"kept.ds1"});
}

}  // namespace
}  // namespace backprop
