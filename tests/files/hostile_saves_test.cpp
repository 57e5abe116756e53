// SPDX-License-Identifier: GPL-3.0-or-later
// Every save of the file layer onto what it must not replace: each is
// refused with the reason, leaves what was there as it was and leaves no
// temporary file behind. Entries are made and checked by their type, so a
// FIFO is never opened.
#include <gtest/gtest.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "engine/workspace.h"
#include "files/exercise_library.h"
#include "files/file_error.h"
#include "files/file_set.h"
#include "files/text_file.h"
#include "files/weights_file.h"
#include "tests/support/hostile_targets.h"
#include "tests/support/temp_folder.h"

namespace backprop {
namespace {

namespace fs = std::filesystem;

std::string ReasonOf(const std::function<void()>& save) {
  try {
    save();
  } catch (const FileError& error) {
    return error.Reason();
  }
  return "saved";
}

std::string Without(const fs::path& path, const char* extension) {
  std::string base = path.string();
  return base.substr(0, base.size() - std::string(extension).size());
}

const fs::path kLibrarySet = fs::path(BACKPROP_EXERCISES_DIR) / "01-AndOr";

// A save to `target`, whose name ends in `extension`.
struct Save {
  const char* name;
  const char* extension;
  std::function<void(Workspace&, const fs::path& target)> run;
};

TEST(HostileSaves, EverySaveRefusesWhatItMustNotReplace) {
  const Save saves[] = {
      {"text", ".pr1", [](Workspace&, const fs::path& t) { WriteTextFile(t, "new"); }},
      {"weights", ".wts", [](Workspace& ws, const fs::path& t) { WriteWeightsFile(ws, t); }},
      {"note", ".txt",
       [](Workspace& ws, const fs::path& t) {
         ws.FileNames = FileSetNames(Without(t, ".txt"));
         ws.LessonNote = "# new";
         SaveLessonNote(ws);
       }},
      {"set", ".ds1",
       [](Workspace& ws, const fs::path& t) {
         ws.FileNames = FileSetNames(Without(t, ".ds1"));
         ws.LessonNote = "# new";
         SaveFileSet(ws, RowChoice{true, false, true, false, false, true});
       }},
      {"copy", ".ds1",
       [](Workspace&, const fs::path& t) { CopySet(kLibrarySet, t.parent_path()); }},
  };
  int tried = 0;
  for (const Save& save : saves) {
    for (const testing::HostileTarget& h : testing::HostileTargets()) {
      const bool copy = std::string(save.name) == "copy";
      if (copy && h.renamed) continue;  // a copy's names are the set's own
      const testing::TempFolder folder;
      std::ofstream(folder / "keep.pr1") << "old";
      const fs::path target = h.Make(folder.Path(), std::string("01-AndOr") + save.extension);
      const std::string before = testing::FolderSnapshot(folder.Path());
      auto ws = std::make_unique<Workspace>();
      ApplyDefaults(*ws);
      const std::string reason = ReasonOf([&] { save.run(*ws, target); });
      EXPECT_TRUE(reason.starts_with(h.reason))
          << save.name << " onto a " << h.kind << ": " << reason;
      EXPECT_EQ(testing::FolderSnapshot(folder.Path()), before) << save.name << " onto " << h.kind;
      ++tried;
    }
  }
  EXPECT_EQ(tried, 34);
}

// Two files of one save that are one file (a link of the set to another of
// its files, a hard link) are refused before anything is written.
TEST(HostileSaves, TwoTargetsThatAreOneFileAreRefused) {
  const struct {
    const char* from;
    const char* to;
    bool hard;
    bool copy;
  } links[] = {{"s.ds2", "s.ds1", false, false},
               {"s.txt", "s.pr1", false, false},
               {"s.wts", "s.qs1", true, false},
               {"01-AndOr.ds2", "01-AndOr.ds1", false, true},
               {"01-AndOr.txt", "01-AndOr.wts", true, true}};
  for (const auto& l : links) {
    const testing::TempFolder folder;
    std::ofstream(folder / l.to) << "old";
    if (l.hard) fs::create_hard_link(folder / l.to, folder / l.from);
    else fs::create_symlink(l.to, folder / l.from);
    const std::string before = testing::FolderSnapshot(folder.Path());
    auto ws = std::make_unique<Workspace>();
    ApplyDefaults(*ws);
    ws->FileNames = FileSetNames((folder / "s").string());
    ws->LessonNote = "# note";
    const std::string reason = ReasonOf([&] {
      if (l.copy) CopySet(kLibrarySet, folder.Path());
      else SaveFileSet(*ws, RowChoice{true, true, true, true, true, true});
    });
    EXPECT_TRUE(reason.starts_with("is the same file as")) << l.from << ": " << reason;
    EXPECT_EQ(testing::FolderSnapshot(folder.Path()), before) << l.from;
  }
  EXPECT_TRUE(SameFile("a/../b", "./b")) << "one place, spelled twice";
}

}  // namespace
}  // namespace backprop
