// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace backprop::testing {

// What a save may find where it is to write, and the reason its refusal
// must give. Make() puts the entry in place for a file of `folder` named
// `name` and returns the path to save to: the same, or another name
// (`renamed`) or place for the kinds that are about the path itself.
struct HostileTarget {
  const char* kind;
  const char* reason;
  bool renamed = false;

  std::filesystem::path Make(const std::filesystem::path& folder, const std::string& name) const {
    namespace fs = std::filesystem;
    const fs::path path = folder / name;
    const std::string k = kind;
    if (k == "folder") fs::create_directory(path);
    if (k == "FIFO") ::mkfifo(path.c_str(), 0600);
    if (k == "device") fs::create_symlink("/dev/null", path);
    if (k == "dangling link") fs::create_symlink("gone", path);
    if (k == "link loop") fs::create_symlink(name, path);
    if (k == "line break") return folder / ("a\nb" + name);
    if (k == "place without files") return "/proc/bp-test-" + name;  // even root makes none there
    return path;
  }
};

inline std::vector<HostileTarget> HostileTargets() {
  return {{"folder", "is a folder, not a file"},
          {"FIFO", "is a pipe (FIFO), not a regular file"},
          {"device", "is a device, not a regular file"},
          {"dangling link", "is a symbolic link to nothing"},
          {"link loop", "is a symbolic link that leads round in a loop"},
          {"line break", "has a line break or another control character in its name", true},
          {"place without files", "cannot create"}};
}

}  // namespace backprop::testing
