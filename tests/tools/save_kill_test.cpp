// SPDX-License-Identifier: GPL-3.0-or-later
// A weights file saved by backprop-run survives the runner being killed at
// any moment of the save. Each try stops the runner through the save's
// pause point (not a clock) at a random moment: the new file just created,
// part-way through its bytes, written, synced, closed, or renamed over the
// old one; and kills it there. The target must then be the old file before
// the rename and the new one after it, whole; beside it at most the killed
// save's new file, private until all its bytes are written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

// Starts backprop-run on program 1 or 2 of `base`, saving its weights to
// `target`; its output goes nowhere.
pid_t StartRunner(const fs::path& base, int program, const fs::path& target) {
  std::vector<std::string> words = {BACKPROP_RUN_EXE,        base.string(),    "--program",
                                    std::to_string(program), "--save-weights", target.string()};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Waits for the runner; its wait status.
int Status(pid_t pid, int options = 0) {
  int status = 0;
  return waitpid(pid, &status, options) == pid ? status : -1;
}

TEST(SaveKill, TheTargetIsAlwaysTheOldFileOrTheNewOneWhole) {
  backprop::testing::TempFolder folder;
  // Two nets of 241 weights from two seeds: some 4 KB, many bytes to stop at.
  const std::string net = "NETLIST=4,10,10,10,10\r\nBIASLIST=1,1,1\r\nINITW=2\r\n";
  std::ofstream(folder / "Net.pr1", std::ios::binary) << "WSEED=1\r\n" << net;
  std::ofstream(folder / "Net.pr2", std::ios::binary) << "WSEED=2\r\n" << net;
  const fs::path target = folder / "Net.wts";
  ASSERT_EQ(Status(StartRunner(folder / "Net", 2, target)), 0);
  const std::string newFile = Contents(target);
  ASSERT_EQ(Status(StartRunner(folder / "Net", 1, target)), 0);
  const std::string oldFile = Contents(target);
  ASSERT_NE(oldFile, newFile);

  const std::vector<std::string> moments = {"created", "written", "synced", "closed", "renamed"};
  std::mt19937 random(24);  // fixed, so that a failure repeats
  std::uniform_int_distribution<std::size_t> pick(0, 2 * moments.size() - 1);
  std::uniform_int_distribution<std::size_t> byte(1, newFile.size() - 1);
  for (int attempt = 1; attempt <= 120; ++attempt) {
    // Half the tries stop part-way through the new file's bytes.
    const std::size_t choice = pick(random);
    const std::string pause =
        choice < moments.size() ? moments[choice] : std::to_string(byte(random));
    SCOPED_TRACE("try " + std::to_string(attempt) + ", stopped at " + pause);
    setenv("BACKPROP_SAVE_PAUSE", pause.c_str(), 1);
    const pid_t pid = StartRunner(folder / "Net", 2, target);
    unsetenv("BACKPROP_SAVE_PAUSE");
    ASSERT_TRUE(WIFSTOPPED(Status(pid, WUNTRACED))) << "the save did not reach its pause point";
    kill(pid, SIGKILL);
    ASSERT_TRUE(WIFSIGNALED(Status(pid)));

    const bool replaced = pause == "renamed";
    ASSERT_TRUE(Contents(target) == (replaced ? newFile : oldFile));
    int leftovers = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path())) {
      if (entry.path().stem() == "Net") continue;
      EXPECT_TRUE(newFile.starts_with(Contents(entry.path())));
      if (pause != "synced" && pause != "closed") {
        EXPECT_EQ(entry.status().permissions(), fs::perms::owner_read | fs::perms::owner_write);
      }
      fs::remove(entry);
      ++leftovers;
    }
    EXPECT_EQ(leftovers, replaced ? 0 : 1);
    std::ofstream(target, std::ios::binary) << oldFile;
  }
}

}  // namespace
