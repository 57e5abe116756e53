#include "tools/backprop_run/file_set.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace backprop {

namespace {

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileSetError("cannot read " + path + ": " + std::strerror(errno));
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw FileSetError("cannot read " + path + ": " + std::strerror(errno));
  return text;
}

}  // namespace

int ReadFileSet(Workspace& ws, const std::string& base) {
  int read = 0;
  for (const TextFileRow& file : kTextFiles) {
    const std::string path = base + file.extension;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) continue;
    if (std::filesystem::is_directory(path, error)) {
      throw FileSetError("cannot read " + path + ": it is a directory");
    }
    ws.TextBuffer(file.buffer) = ReadWholeFile(path);
    ++read;
  }
  if (read == 0) {
    throw FileSetError("no file of the set " + base + " exists (" + base + ".pr1, .pr2, .ds1, " +
                       ".ds2 or .qs1)");
  }
  return read;
}

}  // namespace backprop
