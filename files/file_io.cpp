#include "files/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/design_error.h"

namespace brennick {
namespace {

[[noreturn]] void FailWith(int error) {
  throw DesignError(std::strerror(error));
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
  explicit Descriptor(int descriptor) : fd(descriptor) {}
  Descriptor(Descriptor&& other) noexcept : fd(other.release()) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  int release() {
    const int was = fd;
    fd = -1;
    return was;
  }
  int fd = -1;
};

detail::DiskCalls& Disk() {
  static detail::DiskCalls calls{&::write, &::fsync, &::close};
  return calls;
}

// How many links a path may go through before it names a file: the system's
// own count, so that a save gives up where opening the path would.
constexpr int kMaxLinks = 40;

// The file a save writes: `path`, or the file its chain of links ends at.
struct Target {
  std::filesystem::path path;
  bool exists = false;
  struct stat info {};
};

Target FinalTarget(const std::filesystem::path& path) {
  std::filesystem::path at = path;
  for (int links = 0;; ++links) {
    struct stat info {};
    if (::lstat(at.c_str(), &info) != 0) {
      // A new file, or the file a dangling link names: the save makes it.
      if (errno == ENOENT) return {at, false, {}};
      FailWith(errno);
    }
    if (!S_ISLNK(info.st_mode)) return {at, true, info};
    if (links == kMaxLinks) FailWith(ELOOP);
    std::string to(std::size_t{PATH_MAX} + 1, '\0');
    const ssize_t n = ::readlink(at.c_str(), to.data(), to.size());
    if (n < 0) FailWith(errno);
    if (static_cast<std::size_t>(n) == to.size()) FailWith(ENAMETOOLONG);
    to.resize(static_cast<std::size_t>(n));
    // A relative link names a file from the link's own folder.
    const std::filesystem::path next(to);
    at = next.is_absolute() ? next : at.parent_path() / next;
  }
}

// Scratch files are named `.NAME.saving-` and six random letters or digits,
// and the whole must fit the longest name a folder takes.
constexpr std::string_view kScratchMark = ".saving-";
constexpr std::size_t kRandomChars = 6;

std::string ScratchStem(const std::string& name) {
  constexpr std::size_t room = NAME_MAX - 1 - kScratchMark.size() - kRandomChars;
  if (name.size() <= room) return "." + name + std::string(kScratchMark);
  // A name too long to fit keeps its start, cut between two characters, and
  // a check mark of the whole name: two long names with the same start still
  // have scratch files of their own.
  std::uint32_t hash = 2166136261u;
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  char mark[10];
  std::snprintf(mark, sizeof mark, "~%08x", static_cast<unsigned>(hash));
  std::size_t keep = room - (sizeof mark - 1);
  while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
  return "." + name.substr(0, keep) + mark + std::string(kScratchMark);
}

bool IsScratchName(std::string_view entry, std::string_view stem) {
  if (entry.size() != stem.size() + kRandomChars || entry.substr(0, stem.size()) != stem) {
    return false;
  }
  for (const char c : entry.substr(stem.size())) {
    const bool letterOrDigit =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!letterOrDigit) return false;
  }
  return true;
}

// Removes the scratch files a killed save of the same file left in the folder.
// A save holds a lock on its scratch file while it writes it, so a file whose
// lock can be taken is left over; one whose lock cannot (or on a file system
// without locks) is left alone. Only regular files of exactly this file's
// pattern are touched; a failure here only leaves a file behind.
void RemoveStaleScratchFiles(int folder, const std::string& stem) {
  const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* const entries = ::fdopendir(listing);
  if (entries == nullptr) {
    ::close(listing);
    return;
  }
  while (const dirent* entry = ::readdir(entries)) {
    if (!IsScratchName(entry->d_name, stem)) continue;
    // Looked at before it is opened: opening a device may do something.
    struct stat named {};
    if (::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(named.st_mode)) {
      continue;
    }
    const Descriptor file{
        ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    struct stat opened {};
    if (file.fd < 0 || ::fstat(file.fd, &opened) != 0 || opened.st_dev != named.st_dev ||
        opened.st_ino != named.st_ino || ::flock(file.fd, LOCK_EX | LOCK_NB) != 0) {
      continue;
    }
    // Still the file that was locked, under the same name.
    if (::fstatat(folder, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        opened.st_dev != named.st_dev || opened.st_ino != named.st_ino) {
      continue;
    }
    if (::unlinkat(folder, entry->d_name, 0) != 0) {
      // Left behind; the save goes on.
    }
  }
  ::closedir(entries);
}

// Makes a scratch file of `pattern` (its XXXXXX replaced, the name kept in
// `name`), private to the owner, and locks it so that no other save takes it
// for a stale one while it is written.
Descriptor MakeScratchFile(const std::string& pattern, std::string& name) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    name = pattern;
    Descriptor file{::mkostemp(name.data(), O_CLOEXEC)};
    if (file.fd < 0) FailWith(errno);
    // A file system without locks gives none; nothing on it is then removed
    // as stale either, so the save goes on unlocked.
    while (::flock(file.fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
      const int error = errno;
      ::unlink(name.c_str());
      FailWith(error);
    }
    if (info.st_nlink > 0) return file;
    // Another save took it for stale between its making and its lock, and
    // removed it: another name is made.
  }
  FailWith(ENOENT);
}

// The permissions mask new files get. The system tells it in the process's
// status; setting the mask to read it back would, for that moment, give the
// files other threads make no mask at all.
mode_t CurrentUmask() {
  const Descriptor status{::open("/proc/self/status", O_RDONLY | O_CLOEXEC)};
  if (status.fd >= 0) {
    char text[4096];  // the mask is on the second line
    const ssize_t n = ::read(status.fd, text, sizeof text - 1);
    if (n > 0) {
      text[n] = '\0';
      if (const char* line = std::strstr(text, "\nUmask:")) {
        const char* digits = line + 7;
        char* end = nullptr;
        const unsigned long mask = std::strtoul(digits, &end, 8);
        if (end != digits) return static_cast<mode_t>(mask & 0777);
      }
    }
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// The new file takes the old one's owner and group where the process may give
// them (the superuser may); else at least the group, where the saver is one of
// it; else it is the saver's, as any file the saver makes would be.
void KeepOwner(int fd, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return;
  if (now.st_uid == old.st_uid && now.st_gid == old.st_gid) return;
  if (::fchown(fd, old.st_uid, old.st_gid) == 0 || now.st_gid == old.st_gid) return;
  if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // Not one of the group: the file is the saver's, as a new one would be.
  }
}

}  // namespace

std::string ReadFileText(const std::filesystem::path& path, std::size_t limit) {
  Descriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK)};
  if (file.fd < 0) FailWith(errno);
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) FailWith(errno);
  if (S_ISDIR(info.st_mode)) throw DesignError("it is a folder, not a file");
  // A pipe or a device could block or never end: only plain files are read.
  if (!S_ISREG(info.st_mode)) throw DesignError("it is not a regular file");
  const std::string tooLarge =
      "it is larger than " + std::to_string(limit >> 10) + " KiB, too large for a design";
  if (static_cast<std::size_t>(info.st_size) > limit) throw DesignError(tooLarge);
  std::string text;
  text.resize(static_cast<std::size_t>(info.st_size) + 1);
  std::size_t have = 0;
  for (;;) {
    if (have == text.size()) {
      // The file grew while it was read.
      if (text.size() > limit) throw DesignError(tooLarge);
      text.resize(text.size() * 2);
    }
    const ssize_t n = ::read(file.fd, text.data() + have, text.size() - have);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      FailWith(errno);
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  if (have > limit) throw DesignError(tooLarge);
  text.resize(have);
  return text;
}

void WriteFileAtomically(const std::filesystem::path& path, std::string_view text) {
  const Target target = FinalTarget(path);
  const std::string name = target.path.filename().string();
  if (name.empty()) FailWith(EISDIR);  // a path ending in "/" names a folder
  const std::filesystem::path folder =
      target.path.has_parent_path() ? target.path.parent_path() : std::filesystem::path(".");

  struct stat old {};
  if (target.exists) {
    if (S_ISDIR(target.info.st_mode)) FailWith(EISDIR);
    // A pipe would be written into, or wait for a reader; a device is no
    // place for a design: only a regular file is replaced.
    if (!S_ISREG(target.info.st_mode)) throw DesignError("it is not a regular file");
    // Saving over a file is writing to it: a file the saver may not write to
    // is not replaced, even where the folder would allow the rename. Opening
    // it without O_TRUNC changes nothing.
    const Descriptor probe{
        ::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW)};
    if (probe.fd < 0) FailWith(errno);
    if (::fstat(probe.fd, &old) != 0) FailWith(errno);
    if (!S_ISREG(old.st_mode)) throw DesignError("it is not a regular file");
  }

  // The folder is opened to clear stale scratch files and to flush the new
  // name; a folder the saver may write to but not list gets neither.
  const Descriptor folderFd{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  const std::string stem = ScratchStem(name);
  if (folderFd.fd >= 0) RemoveStaleScratchFiles(folderFd.fd, stem);

  std::string scratch;
  Descriptor file = MakeScratchFile((folder / (stem + "XXXXXX")).string(), scratch);
  const auto fail = [&](int error) {
    ::unlink(scratch.c_str());
    FailWith(error);
  };
  // The new file takes the old one's owner and permissions, or the usual
  // permissions of a new file. The owner comes first: giving a file away
  // clears its set-user-ID and set-group-ID bits.
  mode_t mode = 0;
  if (target.exists) {
    KeepOwner(file.fd, old);
    mode = old.st_mode & 07777;
  } else {
    mode = 0666 & ~CurrentUmask();
  }
  if (::fchmod(file.fd, mode) != 0) fail(errno);

  const detail::DiskCalls& disk = Disk();
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = disk.write(file.fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    // A disk that takes no byte at all is full; asking again would never end.
    if (n == 0) fail(ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  if (disk.fsync(file.fd) != 0) fail(errno);
  // A close interrupted by a signal has still closed the file (it is never
  // closed twice), and its bytes are on the disk already.
  if (disk.close(file.release()) != 0 && errno != EINTR) fail(errno);
  if (::rename(scratch.c_str(), target.path.c_str()) != 0) fail(errno);

  // The new name is made durable too. Its failure does not fail the save:
  // from the rename on every reader sees the new design, and a power cut could
  // at worst bring back the old file whole. Calling that a failed save would
  // tell the user the design was not saved when it was, and another try
  // would end the same way.
  if (folderFd.fd >= 0 && disk.fsync(folderFd.fd) != 0) {
    // The file is in place; see above.
  }
}

namespace detail {

DiskCalls ReplaceDiskCalls(const DiskCalls& calls) {
  const DiskCalls was = Disk();
  Disk() = calls;
  return was;
}

}  // namespace detail

}  // namespace brennick
