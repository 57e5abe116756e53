// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The fixture of the runner's end-to-end tests: backprop-run, as built, run
// on file sets in a temporary folder of its own for each test.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/nets.h"

namespace backprop::testing {

namespace fs = std::filesystem;

inline constexpr const char* kExclusiveOr = kExclusiveOrSet;
inline constexpr const char* kExclusiveOrProgram =
    "NETLIST=3,2,2,1\r\nBIASLIST=1,1,0\r\nFUNCTION=2\r\nINITW=2\r\nTRAIN=1\r\n";

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class BackpropRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The process id keeps runs of the suite from different builds apart.
    dir = fs::temp_directory_path() /
          ("backprop_run_test_" + std::to_string(getpid()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  void Write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
  }
  // Runs backprop-run with `args` (shell words) in the temporary folder,
  // standard output going where `out` (a redirection) sends it.
  RunResult Run(const std::string& args, const std::string& out = "> out.txt") {
    const std::string command = "cd '" + dir.string() + "' && '" BACKPROP_RUN_EXE "' " + args +
                                " " + out + " 2> err.txt < /dev/null";
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(dir / "out.txt");
    result.err = ReadFile(dir / "err.txt");
    return result;
  }

  fs::path dir;
};

}  // namespace backprop::testing
