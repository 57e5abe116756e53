// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace backprop::testing {

// A fresh folder under the system's temporary directory, removed with all
// it holds when the test ends.
class TempFolder {
 public:
  TempFolder() {
    static int serial = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("backprop-files-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// What a folder holds, to compare before and after: each entry's name and
// type and a regular file's bytes. Only regular files are opened, so a FIFO
// in the folder is never waited on.
inline std::string FolderSnapshot(const std::filesystem::path& folder) {
  std::string all;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::filesystem::file_type type = entry.symlink_status().type();
    all += entry.path().filename().string() + " " + std::to_string(static_cast<int>(type));
    if (type == std::filesystem::file_type::regular) {
      std::ostringstream bytes;
      bytes << std::ifstream(entry.path(), std::ios::binary).rdbuf();
      all += " " + bytes.str();
    }
    all += "\n";
  }
  return all;
}

}  // namespace backprop::testing
