#include "files/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "files/file_error.h"

namespace backprop {

namespace fs = std::filesystem;

namespace {

std::string ErrnoText(int error) { return std::generic_category().message(error); }

// Closes a descriptor when it goes out of scope, so that every error path
// leaves no file open.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int Get() const { return fd_; }
  // Closes now and reports whether the close succeeded (data reached the disk).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// The file a save really replaces: the target of a symbolic link, else the
// path itself.
fs::path SaveTarget(const fs::path& path) {
  std::error_code error;
  if (fs::is_symlink(fs::symlink_status(path, error))) {
    fs::path resolved = fs::weakly_canonical(path, error);
    if (!error) return resolved;
  }
  return path;
}

// Creates a new, empty file next to the target that no other save uses.
int CreateTemporaryBeside(const fs::path& target, fs::path& temporary) {
  static unsigned serial = 0;
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                          "." + std::to_string(++serial) + ".tmp");
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::string ReadTextFile(const fs::path& path) {
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.Get() < 0) throw FileError(path.string(), "cannot open: " + ErrnoText(errno));
  struct stat info {};
  if (::fstat(file.Get(), &info) == 0 && S_ISDIR(info.st_mode)) {
    throw FileError(path.string(), "is a folder, not a file");
  }
  std::string text;
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError(path.string(), "cannot read: " + ErrnoText(errno));
    }
    text.append(chunk, static_cast<std::size_t>(got));
  }
  return text;
}

void WriteTextFile(const fs::path& path, std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() + 2);
  bytes.append(text);
  bytes.append("\r\n");
  ReplaceFileContents(path, bytes);
}

void ReplaceFileContents(const fs::path& path, std::string_view bytes) {
  const fs::path target = SaveTarget(path);
  std::error_code error;
  if (fs::is_directory(target, error)) throw FileError(path.string(), "is a folder, not a file");
  // The rename would also replace a file that may not be written to; such a
  // file stays, as it would if it were opened and emptied.
  if (::faccessat(AT_FDCWD, target.c_str(), F_OK, AT_EACCESS) == 0 &&
      ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
    throw FileError(path.string(), "cannot open for writing: " + ErrnoText(errno));
  }

  fs::path temporary;
  Descriptor file(CreateTemporaryBeside(target, temporary));
  if (file.Get() < 0) throw FileError(path.string(), "cannot create: " + ErrnoText(errno));

  const auto fail = [&](const char* what, int code) {
    ::unlink(temporary.c_str());
    return FileError(path.string(), what + ErrnoText(code));
  };
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(file.Get(), old.st_mode & 07777);
  if (!WriteAll(file.Get(), bytes)) {
    const int code = errno;
    throw fail("cannot write: ", code);
  }
  if (::fsync(file.Get()) != 0) {
    const int code = errno;
    throw fail("cannot write: ", code);
  }
  if (!file.Close()) {
    const int code = errno;
    throw fail("cannot write: ", code);
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int code = errno;
    throw fail("cannot replace the file: ", code);
  }
}

}  // namespace backprop
