// A weights file saved by backprop-run survives the runner being killed at
// any moment of the save: each try stops the runner at a random moment
// (the new file just created, part-way through its bytes, written, synced,
// closed, or renamed over the old one; through the save's pause point,
// not a clock) and kills it there. The target must then be the old file
// before the rename and the new one after it, whole either way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr fs::perms kPrivate = fs::perms::owner_read | fs::perms::owner_write;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Put(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Starts backprop-run on program `program` of `base`, saving the weights to
// `target`, with BACKPROP_SAVE_PAUSE set to `pause` unless it is empty.
pid_t StartRunner(const fs::path& base, int program, const fs::path& target,
                  const std::string& pause) {
  std::vector<std::string> words = {BACKPROP_RUN_EXE, base.string(), "--program",
                                    std::to_string(program), "--save-weights", target.string()};
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<std::string> settings;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (std::string_view(*entry).starts_with("BACKPROP_SAVE_PAUSE=")) continue;
    settings.emplace_back(*entry);
  }
  if (!pause.empty()) settings.push_back("BACKPROP_SAVE_PAUSE=" + pause);
  std::vector<char*> envp;
  for (std::string& setting : settings) envp.push_back(setting.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? pid : -1;
}

// Runs a save to its end; true when the runner succeeded.
bool Save(const fs::path& base, int program, const fs::path& target) {
  const pid_t pid = StartRunner(base, program, target, "");
  int status = 0;
  return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

TEST(SaveKill, TheTargetIsAlwaysTheOldFileOrTheNewOneWhole) {
  backprop::testing::TempFolder folder;
  // Two nets of 241 weights from different seeds: an old and a new file
  // of some 4 KB each, so the byte counts to stop at are many.
  const std::string net = "NETLIST=4,10,10,10,10\r\nBIASLIST=1,1,1\r\nINITW=2\r\n";
  Put(folder / "Net.pr1", "WSEED=1\r\n" + net);
  Put(folder / "Net.pr2", "WSEED=2\r\n" + net);
  const fs::path base = folder / "Net";
  const fs::path target = folder / "Net.wts";
  ASSERT_TRUE(Save(base, 1, target));
  ASSERT_TRUE(Save(base, 2, folder / "New.wts"));
  const std::string oldFile = Contents(target);
  const std::string newFile = Contents(folder / "New.wts");
  ASSERT_NE(oldFile, newFile);
  fs::remove(folder / "New.wts");

  const std::vector<std::string> moments = {"created", "written", "synced", "closed", "renamed"};
  std::mt19937 random(24);  // fixed, so a failure repeats
  std::uniform_int_distribution<std::size_t> pick(0, 2 * moments.size() - 1);
  std::map<std::string, int> killedAt;
  constexpr int kTries = 120;
  for (int attempt = 1; attempt <= kTries; ++attempt) {
    // Half the tries stop part-way through the new file's bytes.
    const std::size_t choice = pick(random);
    const std::string pause =
        choice < moments.size()
            ? moments[choice]
            : std::to_string(std::uniform_int_distribution<std::size_t>(1, newFile.size() - 1)(random));
    const bool replaced = pause == "renamed";
    SCOPED_TRACE("try " + std::to_string(attempt) + ", stopped at " + pause);

    const pid_t pid = StartRunner(base, 2, target, pause);
    ASSERT_GT(pid, 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, WUNTRACED), pid);
    ASSERT_TRUE(WIFSTOPPED(status)) << "the save did not reach its pause point";
    kill(pid, SIGKILL);
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status));

    const std::string found = Contents(target);
    ASSERT_EQ(found.size(), replaced ? newFile.size() : oldFile.size());
    ASSERT_TRUE(found == (replaced ? newFile : oldFile));
    ++killedAt[choice < moments.size() ? pause : "part-way"];

    // A killed save leaves at most its own new file beside the target, a
    // beginning of the new bytes, private until they are all written.
    const bool whole = pause == "synced" || pause == "closed";
    int leftovers = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.Path())) {
      if (entry.path().filename().string().starts_with("Net.")) continue;
      EXPECT_TRUE(newFile.starts_with(Contents(entry.path())));
      if (!whole) {
        EXPECT_EQ(fs::status(entry).permissions(), kPrivate);
      }
      fs::remove(entry);
      ++leftovers;
    }
    EXPECT_EQ(leftovers, replaced ? 0 : 1);
    Put(target, oldFile);
  }
  std::string counts;
  for (const auto& [moment, count] : killedAt) counts += " " + moment + ": " + std::to_string(count);
  std::cout << kTries << " runners killed while saving," << counts << "\n";
}

}  // namespace
