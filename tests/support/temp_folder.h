#pragma once

#include <unistd.h>

#include <filesystem>
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

}  // namespace backprop::testing
