// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "engine/visible_text.h"
#include "files/file_error.h"
#include "files/save_pause.h"

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

// Why a file system entry that is not a regular file cannot be read or saved.
std::string NotARegularFile(mode_t mode) {
  if (S_ISDIR(mode)) return "is a folder, not a file";
  if (S_ISFIFO(mode)) return "is a pipe (FIFO), not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
  if (S_ISSOCK(mode)) return "is a socket, not a regular file";
  return "is not a regular file";
}

std::string TooLarge(std::uintmax_t size, std::size_t maxBytes) {
  return "is too large to read (" + std::to_string(size) + " bytes; at most " +
         std::to_string(maxBytes) + ")";
}

fs::path FolderOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// The mode a newly created file gets: read and write for all, less the
// process's umask. The umask can only be read by setting it; no other thread
// of the program creates files, so setting it back at once is safe.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// A new file beside the target, created private (mode 0600) under a short
// name, so that any legal target name leaves room for it. It is removed when
// it goes out of scope unless it was renamed into place.
class TemporaryFile {
 public:
  TemporaryFile(const fs::path& target, const std::string& shownName)
      : path_((FolderOf(target) / ".bpXXXXXX").string()),
        file_(::mkostemp(path_.data(), O_CLOEXEC)) {
    if (file_.Get() < 0) throw FileError(shownName, "cannot create: " + ErrnoText(errno));
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!renamed_) ::unlink(path_.c_str());
  }

  int Get() const { return file_.Get(); }
  bool Close() { return file_.Close(); }
  bool RenameTo(const fs::path& target) {
    renamed_ = ::rename(path_.c_str(), target.c_str()) == 0;
    return renamed_;
  }

 private:
  std::string path_;
  Descriptor file_;
  bool renamed_ = false;
};

// Gives the new file the old one's mode and, for root, its owner. A file
// system that keeps neither (a FAT drive) refuses the change but already
// shows the same values for both files, which is as good.
bool TakeOverModeAndOwner(int fd, bool existed, const struct stat& old) {
  const mode_t mode = existed ? (old.st_mode & 07777) : NewFileMode();
  struct stat now {};
  if (::fchmod(fd, mode) != 0 && (::fstat(fd, &now) != 0 || (now.st_mode & 07777) != mode)) {
    return false;
  }
  if (!existed || ::geteuid() != 0) return true;
  return ::fchown(fd, old.st_uid, old.st_gid) == 0 ||
         (::fstat(fd, &now) == 0 && now.st_uid == old.st_uid && now.st_gid == old.st_gid);
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

// Makes the rename itself durable. File systems that cannot sync a folder
// say EINVAL; the rename stands there as well as it can.
bool SyncFolder(const fs::path& folder) {
  Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.Get() < 0) return false;
  return ::fsync(dir.Get()) == 0 || errno == EINVAL;
}

}  // namespace

std::string ReadFileContents(const fs::path& path, std::size_t maxBytes) {
  const std::string name = path.string();
  // Looking first means a device or FIFO is never even opened.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) throw FileError(name, "cannot open: " + ErrnoText(errno));
  if (!S_ISREG(info.st_mode)) throw FileError(name, NotARegularFile(info.st_mode));
  if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
    throw FileError(name, TooLarge(static_cast<std::uintmax_t>(info.st_size), maxBytes));
  }
  // The entry may change between the look and the open: the open must not
  // wait for a FIFO's writer, and what was opened is checked again.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (file.Get() < 0) throw FileError(name, "cannot open: " + ErrnoText(errno));
  if (::fstat(file.Get(), &info) != 0) throw FileError(name, "cannot read: " + ErrnoText(errno));
  if (!S_ISREG(info.st_mode)) throw FileError(name, NotARegularFile(info.st_mode));

  // A file may also grow while it is read, or report no size at all (the
  // kernel's files), so the cap holds for the bytes read too.
  std::string text;
  text.reserve(static_cast<std::size_t>(info.st_size));
  char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError(name, "cannot read: " + ErrnoText(errno));
    }
    if (text.size() + static_cast<std::size_t>(got) > maxBytes) {
      throw FileError(name, TooLarge(text.size() + static_cast<std::size_t>(got), maxBytes));
    }
    text.append(chunk, static_cast<std::size_t>(got));
  }
  return text;
}

std::string ReadTextFile(const fs::path& path) { return ReadFileContents(path, kMaxTextFileBytes); }

void WriteTextFile(const fs::path& path, std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() + 2);
  bytes.append(text);
  bytes.append("\r\n");
  ReplaceFileContents(path, bytes);
}

fs::path SaveTarget(const fs::path& path) {
  const std::string name = path.string();
  if (HasControlCharacter(name)) {
    throw FileError(name, "has a line break or another control character in its name");
  }
  fs::path target = path;
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    // A live link's target is replaced; a dead link or a loop would make
    // the rename replace the link itself with a file.
    std::error_code error;
    target = fs::canonical(path, error);
    if (error == std::errc::too_many_symbolic_link_levels) {
      throw FileError(name, "is a symbolic link that leads round in a loop");
    }
    if (error) throw FileError(name, "is a symbolic link to nothing (" + error.message() + ")");
  }
  if (::stat(target.c_str(), &info) == 0) {
    if (!S_ISREG(info.st_mode)) throw FileError(name, NotARegularFile(info.st_mode));
    // The rename would also replace a file that may not be written to; such
    // a file stays, as it would if it were opened and emptied.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
      throw FileError(name, "cannot open for writing: " + ErrnoText(errno));
    }
  } else if (errno != ENOENT) {
    throw FileError(name, "cannot create: " + ErrnoText(errno));
  }
  if (::faccessat(AT_FDCWD, FolderOf(target).c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
    throw FileError(name, "cannot create: " + ErrnoText(errno));
  }
  return target;
}

bool SameFile(const fs::path& a, const fs::path& b) {
  struct stat first {};
  struct stat second {};
  if (::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0) {
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
  }
  std::error_code errorA;
  std::error_code errorB;
  const fs::path placeA = fs::weakly_canonical(fs::absolute(a), errorA);
  const fs::path placeB = fs::weakly_canonical(fs::absolute(b), errorB);
  return !errorA && !errorB && placeA == placeB;
}

void CheckDistinctSaveTargets(const std::vector<fs::path>& paths) {
  for (auto it = paths.begin(); it != paths.end(); ++it) {
    SaveTarget(*it);
    const auto same =
        std::find_if(paths.begin(), it, [&](const fs::path& p) { return SameFile(p, *it); });
    if (same != it) throw FileError(it->string(), "is the same file as " + same->string());
  }
}

void ReplaceFileContents(const fs::path& path, std::string_view bytes) {
  const std::string name = path.string();
  const fs::path target = SaveTarget(path);
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;

  TemporaryFile file(target, name);
  PauseSaveAt("created");
  const std::size_t head = BytesBeforePause(bytes.size());
  bool written = WriteAll(file.Get(), bytes.substr(0, head));
  if (written && head < bytes.size()) {
    PauseSaveAt(std::to_string(head));
    written = WriteAll(file.Get(), bytes.substr(head));
  }
  if (!written) throw FileError(name, "cannot write: " + ErrnoText(errno));
  PauseSaveAt("written");
  // Only the complete file is given the old one's mode: until then it is private.
  if (!TakeOverModeAndOwner(file.Get(), existed, old)) {
    throw FileError(name,
                    "cannot give the new file the old one's permissions: " + ErrnoText(errno));
  }
  if (::fsync(file.Get()) != 0) throw FileError(name, "cannot write: " + ErrnoText(errno));
  PauseSaveAt("synced");
  if (!file.Close()) throw FileError(name, "cannot write: " + ErrnoText(errno));
  PauseSaveAt("closed");
  if (!file.RenameTo(target)) throw FileError(name, "cannot replace the file: " + ErrnoText(errno));
  PauseSaveAt("renamed");
  if (!SyncFolder(FolderOf(target))) {
    throw FileError(name, "saved, but its folder could not be synced: " + ErrnoText(errno));
  }
}

}  // namespace backprop
