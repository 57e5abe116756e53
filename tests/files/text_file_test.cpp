// SPDX-License-Identifier: GPL-3.0-or-later
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
  EXPECT_EQ(FileError("a\x1b[2J\r\n.pr1", "b\x07").what(),
            std::string("a\\x1B[2J\\r\\n.pr1: b\\x07"))
      << "control characters are shown as escapes";
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

// Only a regular file within the cap is read; anything else is refused at
// once, without opening it (a FIFO with no writer would block the open).
TEST(TextFile, ReadsOnlyRegularFilesWithinTheCap) {
  testing::TempFolder folder;
  ASSERT_EQ(::mkfifo((folder / "fifo.pr1").c_str(), 0600), 0);
  fs::create_symlink("fifo.pr1", folder / "link.pr1");
  const struct {
    fs::path path;
    std::size_t cap;
    const char* reason;
  } cases[] = {
      {folder.Path(), kMaxTextFileBytes, "is a folder, not a file"},
      {folder / "fifo.pr1", kMaxTextFileBytes, "is a pipe (FIFO), not a regular file"},
      {folder / "link.pr1", kMaxTextFileBytes, "is a pipe (FIFO), not a regular file"},
      {"/dev/zero", kMaxTextFileBytes, "is a device, not a regular file"},
      {folder / "big.ds1", 9, "is too large to read (10 bytes; at most 9)"},
  };
  WriteTextFile(folder / "big.ds1", "12345678");
  for (const auto& c : cases) {
    EXPECT_EQ(ReasonOf([&] { ReadFileContents(c.path, c.cap); }), c.reason) << c.path;
  }
  EXPECT_EQ(ReadFileContents(folder / "big.ds1", 10), "12345678\r\n");
  fs::resize_file(folder / "big.ds1", kMaxTextFileBytes + 1);
  EXPECT_EQ(ReasonOf([&] { ReadTextFile(folder / "big.ds1"); }),
            "is too large to read (4194305 bytes; at most 4194304)");
}

// A save onto anything but a regular file (or a live link to one) is
// refused and leaves the target as it was.
TEST(TextFile, SavesReplaceOnlyRegularFiles) {
  testing::TempFolder folder;
  ASSERT_EQ(::mkfifo((folder / "fifo.pr1").c_str(), 0600), 0);
  fs::create_symlink("nowhere", folder / "dead.pr1");
  fs::create_symlink("loop2.pr1", folder / "loop1.pr1");
  fs::create_symlink("loop1.pr1", folder / "loop2.pr1");
  fs::create_symlink("/dev/null", folder / "null.pr1");
  const std::vector<std::string> before = FolderEntries(folder.Path());
  const struct {
    fs::path path;
    const char* reason;
  } cases[] = {
      {folder / "fifo.pr1", "is a pipe (FIFO), not a regular file"},
      {folder / "dead.pr1", "is a symbolic link to nothing (No such file or directory)"},
      {folder / "loop1.pr1", "is a symbolic link that leads round in a loop"},
      {folder / "null.pr1", "is a device, not a regular file"},
      {"/dev/null", "is a device, not a regular file"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReasonOf([&] { WriteTextFile(c.path, "x"); }), c.reason) << c.path;
  }
  EXPECT_TRUE(fs::is_fifo(folder / "fifo.pr1"));
  EXPECT_EQ(fs::read_symlink(folder / "dead.pr1"), "nowhere");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  EXPECT_EQ(FolderEntries(folder.Path()), before) << "nothing added, nothing replaced";

  // The temporary name is short, so the longest legal name can be saved.
  WriteTextFile(folder / std::string(255, 'n'), "x");
  EXPECT_EQ(ReadTextFile(folder / std::string(255, 'n')), "x\r\n");
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
  if (::geteuid() == 0) {  // only root can hand a file to another owner
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    WriteTextFile(file, "new");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u) << "root keeps the owner";
  }

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
