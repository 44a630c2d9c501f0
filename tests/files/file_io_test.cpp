// The save path: a save puts the new bytes in place whole or leaves the old
// ones, follows links and leaves them, refuses files the saver may not write,
// keeps owner and permissions, and clears what killed saves left behind.
#include "files/file_io.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/design_error.h"
#include "tests/files/files_test_util.h"

namespace brennick {
namespace {

using filestest::Folder;
using filestest::Names;
using filestest::ReadText;
using filestest::WriteText;
namespace fs = std::filesystem;

const std::string kOld = "{\"Name\": \"Old\"}\n";
const std::string kNew = "{\"Name\": \"New\"}\n";
constexpr uid_t kNobody = 65534;
const detail::DiskCalls kSystem{&::write, &::fsync, &::close};

// Runs `body` in a child process and returns what it produced, so that a case
// may drop its privileges, mount a disk of its own or die without touching
// this process. A child killed by a signal returns nothing.
std::string InChild(const std::function<std::string()>& body) {
  int ends[2];
  if (::pipe(ends) != 0) return "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ends[0]);
    // A save that never ends (a write loop on a disk that takes no byte) is
    // ended, so that the case fails rather than the suite hanging.
    ::alarm(120);
    std::string out;
    try {
      out = body();
    } catch (const std::exception& e) {
      out = std::string("unexpected: ") + e.what();
    }
    for (std::size_t done = 0; done < out.size();) {
      const ssize_t n = ::write(ends[1], out.data() + done, out.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(ends[1]);
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = ::read(ends[0], buf, sizeof buf)) != 0;) {
    if (n < 0 && errno != EINTR) break;
    if (n > 0) out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return out;
}

std::string MessageOfSave(const fs::path& path, const std::string& text) {
  try {
    WriteFileAtomically(path, text);
    return "";
  } catch (const DesignError& e) {
    return e.message();
  }
}

// What a file holds, without opening anything but a regular file.
std::string ContentOf(const fs::path& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return "<none>";
  if (S_ISFIFO(info.st_mode)) return "<pipe>";
  if (S_ISDIR(info.st_mode)) return "<folder>";
  return S_ISREG(info.st_mode) ? ReadText(path) : "<other>";
}

// Every name under `folder`, and where each link points.
std::vector<std::string> Tree(const fs::path& folder, std::string* links) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).string();
    names.push_back(name);
    if (entry.is_symlink()) *links += name + "->" + fs::read_symlink(entry.path()).string() + ";";
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Disks that fail, played by the calls a save makes.
ssize_t WriteTenBytesThenFail(int fd, const void* bytes, std::size_t count) {
  static bool wrote = false;
  if (wrote) {
    errno = EIO;
    return -1;
  }
  wrote = true;
  return ::write(fd, bytes, std::min<std::size_t>(count, 10));
}
ssize_t WriteNothing(int, const void*, std::size_t) {
  return 0;
}
ssize_t WriteFewBytesInterrupted(int fd, const void* bytes, std::size_t count) {
  static int calls = 0;
  if (++calls % 2 == 1) {
    errno = EINTR;
    return -1;
  }
  return ::write(fd, bytes, std::min<std::size_t>(count, 3));
}
ssize_t WriteUpTo64KiB(int fd, const void* bytes, std::size_t count) {
  static std::size_t written = 0;
  constexpr std::size_t kDisk = 64 << 10;
  if (written == kDisk) {
    errno = ENOSPC;
    return -1;
  }
  const ssize_t n = ::write(fd, bytes, std::min(count, kDisk - written));
  if (n > 0) written += static_cast<std::size_t>(n);
  return n;
}
bool IsFolder(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}
int FileFsyncFindsDiskFull(int fd) {
  if (IsFolder(fd)) return ::fsync(fd);
  errno = ENOSPC;
  return -1;
}
int FolderFsyncFails(int fd) {
  if (!IsFolder(fd)) return ::fsync(fd);
  errno = EIO;
  return -1;
}
int CloseFindsDiskFull(int fd) {
  ::close(fd);
  errno = ENOSPC;
  return -1;
}

enum class Saver {
  kSelf,          // this process
  kUnprivileged,  // a user of no rights (nobody) where this process is the superuser
  kSmallDisk,     // on a 64 KiB disk of its own
  kFailingDisk,   // through `disk`
};

struct SaveCase {
  const char* name = "";
  std::function<void(const fs::path&)> setup = [](const fs::path&) {};  // the files before
  std::string save = "";                                                // the path saved to
  std::string file = "";         // the file that gets the old or the new bytes
  std::string message = "";      // the system's reason; "" for a save
  std::string mode = "";         // the file's permissions afterwards
  std::string links = "0 kept";  // the links there are, all as they were
  Saver saver = Saver::kSelf;
  detail::DiskCalls disk = kSystem;
  std::string owner = "";       // "uid:gid" afterwards, where it is checked
  std::vector<gid_t> groups{};  // the unprivileged saver's other groups
  std::size_t newBytes = 0;     // a larger design than kNew
};

struct Outcome {
  std::string message, before, after, mode, owner, added, links, disk;
};

// Runs a case in a child process; the folder's files as they were before
// and after the save come back.
Outcome RunCase(const SaveCase& c, const fs::path& folder) {
  const std::string text = c.newBytes ? std::string(c.newBytes, 'n') : kNew;
  const std::string out = InChild([&] {
    ::umask(027);  // not the usual mask, to see that a new file takes it
    std::string disk = "real";
    if (c.saver == Saver::kSmallDisk) {
      // A mount in a namespace of the child's own goes away with the child.
      const bool mounted =
          ::unshare(CLONE_NEWNS) == 0 &&
          ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
          ::mount("tmpfs", folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") == 0;
      disk = mounted ? "tmpfs" : "double";
      if (!mounted) detail::ReplaceDiskCalls({&WriteUpTo64KiB, &::fsync, &::close});
    }
    c.setup(folder);
    if (c.saver == Saver::kUnprivileged && ::geteuid() == 0) {
      if (::setgroups(c.groups.size(), c.groups.data()) != 0 || ::setgid(kNobody) != 0 ||
          ::setuid(kNobody) != 0) {
        return std::string("cannot become nobody");
      }
    }
    if (c.saver == Saver::kFailingDisk) detail::ReplaceDiskCalls(c.disk);
    std::string linksBefore, linksAfter;
    const std::vector<std::string> namesBefore = Tree(folder, &linksBefore);
    const std::string before = c.file.empty() ? "" : ContentOf(folder / c.file);
    const std::string message = MessageOfSave(folder / c.save, text);
    const std::vector<std::string> namesAfter = Tree(folder, &linksAfter);
    std::string added;
    for (const auto& name : namesAfter) {
      if (!std::binary_search(namesBefore.begin(), namesBefore.end(), name)) added += name + ";";
    }
    const std::string links =
        linksBefore == linksAfter
            ? std::to_string(std::count(linksAfter.begin(), linksAfter.end(), ';')) + " kept"
            : "was " + linksBefore + " now " + linksAfter;
    struct stat info {};
    std::string mode, owner;
    if (!c.file.empty() && ::lstat((folder / c.file).c_str(), &info) == 0) {
      char octal[8];
      std::snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(info.st_mode & 07777));
      mode = octal;
      owner = std::to_string(info.st_uid) + ":" + std::to_string(info.st_gid);
    }
    const std::string after = c.file.empty() ? "" : ContentOf(folder / c.file);
    return message + '\0' + before + '\0' + after + '\0' + mode + '\0' + owner + '\0' + added +
           '\0' + links + '\0' + disk;
  });
  std::vector<std::string> fields(1);
  for (const char ch : out) {
    if (ch == '\0') {
      fields.emplace_back();
    } else {
      fields.back() += ch;
    }
  }
  fields.resize(8);
  return {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6], fields[7]};
}

void Write(const fs::path& path, mode_t mode) {
  WriteText(path, kOld);
  ::chmod(path.c_str(), mode);
}
void Link(const fs::path& link, const std::string& to) {
  fs::create_symlink(to, link);
}
void Chown(const fs::path& path, uid_t uid, gid_t gid) {
  if (::chown(path.c_str(), uid, gid) != 0) throw std::runtime_error("cannot chown");
}

// A save of keep.json (0644) on a disk that fails as `disk` does.
SaveCase OnFailingDisk(const char* name, detail::DiskCalls disk, const char* message) {
  return {.name = name,
          .setup = [](const fs::path& f) { Write(f / "keep.json", 0644); },
          .save = "keep.json",
          .file = "keep.json",
          .message = message,
          .mode = "0644",
          .saver = Saver::kFailingDisk,
          .disk = disk};
}

TEST(FileIoTest, ASaveLeavesTheOldFileOrTheNewOneWholeAndTheLinks) {
  const std::string longName = std::string(250, 'x') + ".json";  // the longest a folder takes
  const std::string nameOf248 = std::string(243, 'y') + ".json";
  const SaveCase cases[] = {
      {.name = "new file", .save = "new.json", .file = "new.json", .mode = "0640"},
      {.name = "existing file",
       .setup = [](const fs::path& f) { Write(f / "keep.json", 0604); },
       .save = "keep.json",
       .file = "keep.json",
       .mode = "0604"},
      {.name = "read-only file",
       .setup =
           [](const fs::path& f) {
             ::chmod(f.c_str(), 0777);
             Write(f / "locked.json", 0444);
             if (::geteuid() == 0) Chown(f / "locked.json", kNobody, kNobody);
           },
       .save = "locked.json",
       .file = "locked.json",
       .message = "Permission denied",
       .mode = "0444",
       .saver = Saver::kUnprivileged},
      {.name = "read-only folder",
       .setup =
           [](const fs::path& f) {
             Write(f / "keep.json", 0666);
             ::chmod(f.c_str(), 0555);
           },
       .save = "keep.json",
       .file = "keep.json",
       .message = "Permission denied",
       .mode = "0666",
       .saver = Saver::kUnprivileged},
      {.name = "symbolic link",
       .setup =
           [](const fs::path& f) {
             fs::create_directory(f / "campaign");
             Write(f / "campaign" / "v3.json", 0640);
             Link(f / "current.json", "campaign/v3.json");
           },
       .save = "current.json",
       .file = "campaign/v3.json",
       .mode = "0640",
       .links = "1 kept"},
      {.name = "dangling link: the file it names is made",
       .setup =
           [](const fs::path& f) {
             fs::create_directory(f / "campaign");
             Link(f / "current.json", "campaign/v4.json");
           },
       .save = "current.json",
       .file = "campaign/v4.json",
       .mode = "0640",
       .links = "1 kept"},
      {.name = "chain of links, relative to each link's folder and absolute",
       .setup =
           [](const fs::path& f) {
             fs::create_directories(f / "a" / "b");
             Write(f / "real.json", 0600);
             Link(f / "first.json", "a/second.json");
             Link(f / "a" / "second.json", (f / "a" / "b" / "third.json").string());
             Link(f / "a" / "b" / "third.json", "../../real.json");
           },
       .save = "first.json",
       .file = "real.json",
       .mode = "0600",
       .links = "3 kept"},
      {.name = "loop of links",
       .setup =
           [](const fs::path& f) {
             Link(f / "one.json", "two.json");
             Link(f / "two.json", "one.json");
           },
       .save = "one.json",
       .message = "Too many levels of symbolic links",
       .links = "2 kept"},
      {.name = "folder at the name",
       .setup = [](const fs::path& f) { fs::create_directory(f / "x.json"); },
       .save = "x.json",
       .file = "x.json",
       .message = "Is a directory",
       .mode = "0750"},
      {.name = "pipe at the name",
       .setup = [](const fs::path& f) { ::mkfifo((f / "p.json").c_str(), 0600); },
       .save = "p.json",
       .file = "p.json",
       .message = "it is not a regular file",
       .mode = "0600"},
      {.name = "255-byte name",
       .setup = [&](const fs::path& f) { Write(f / longName, 0620); },
       .save = longName,
       .file = longName,
       .mode = "0620"},
      {.name = "new 248-byte name", .save = nameOf248, .file = nameOf248, .mode = "0640"},
      {.name = "full disk",
       .setup = [](const fs::path& f) { Write(f / "keep.json", 0644); },
       .save = "keep.json",
       .file = "keep.json",
       .message = "No space left on device",
       .mode = "0644",
       .saver = Saver::kSmallDisk,
       .newBytes = std::size_t{256} << 10},
      OnFailingDisk("failed write mid-way", {&WriteTenBytesThenFail, &::fsync, &::close},
                    "Input/output error"),
      OnFailingDisk("a write that takes no byte", {&WriteNothing, &::fsync, &::close},
                    "No space left on device"),
      OnFailingDisk("flush finds the disk full", {&::write, &FileFsyncFindsDiskFull, &::close},
                    "No space left on device"),
      OnFailingDisk("close finds the disk full", {&::write, &::fsync, &CloseFindsDiskFull},
                    "No space left on device"),
      OnFailingDisk("the folder cannot be flushed: the file is saved",
                    {&::write, &FolderFsyncFails, &::close}, ""),
      OnFailingDisk("short and interrupted writes", {&WriteFewBytesInterrupted, &::fsync, &::close},
                    ""),
  };
  for (const SaveCase& c : cases) {
    SCOPED_TRACE(c.name);
    Folder folder;
    const Outcome o = RunCase(c, folder.path());
    if (c.saver == Saver::kSmallDisk && o.disk != "tmpfs") {
      std::printf("[ NOTE ] %s: no tmpfs could be mounted, a double played the full disk\n",
                  c.name);
    }
    EXPECT_EQ(o.message, c.message);
    if (!c.file.empty()) {
      const std::string text = c.newBytes ? std::string(c.newBytes, 'n') : kNew;
      // Never a mix: the new bytes after a save, the old ones (or none) else.
      EXPECT_EQ(o.after, c.message.empty() ? text : o.before);
      EXPECT_EQ(o.added, c.message.empty() && o.before == "<none>" ? c.file + ";" : "");
    } else {
      EXPECT_EQ(o.added, "");
    }
    EXPECT_EQ(o.mode, c.mode);
    EXPECT_EQ(o.links, c.links);
  }
}

// A save gives the new file the old one's owner and group where it may, and
// else at least its group.
TEST(FileIoTest, ASaveKeepsTheOwnerAndGroupWhereItMay) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user takes the superuser";
  const auto file = [](uid_t uid, gid_t gid, mode_t mode) {
    return [=](const fs::path& f) {
      ::chmod(f.c_str(), 0777);
      Write(f / "shared.json", mode);
      Chown(f / "shared.json", uid, gid);
    };
  };
  const SaveCase cases[] = {
      {.name = "the superuser saves another user's file",
       .setup = file(kNobody, kNobody, 0640),
       .save = "shared.json",
       .file = "shared.json",
       .mode = "0640",
       .owner = "65534:65534"},
      {.name = "a user of the file's group saves it",
       .setup = file(0, 100, 0666),
       .save = "shared.json",
       .file = "shared.json",
       .mode = "0666",
       .saver = Saver::kUnprivileged,
       .owner = "65534:100",
       .groups = {100}},
      {.name = "a user of another group saves it",
       .setup = file(0, 0, 0666),
       .save = "shared.json",
       .file = "shared.json",
       .mode = "0666",
       .saver = Saver::kUnprivileged,
       .owner = "65534:65534"},
  };
  for (const SaveCase& c : cases) {
    SCOPED_TRACE(c.name);
    Folder folder;
    const Outcome o = RunCase(c, folder.path());
    EXPECT_EQ(o.message, "");
    EXPECT_EQ(o.after, kNew);
    EXPECT_EQ(o.owner, c.owner);
    EXPECT_EQ(o.mode, c.mode);
  }
}

// A save killed after it wrote a few bytes: its scratch file stays behind.
std::string KilledSave(const fs::path& path) {
  const std::vector<std::string> before = Names(path.parent_path());
  InChild([&] {
    detail::ReplaceDiskCalls({[](int fd, const void* bytes, std::size_t) -> ssize_t {
                                if (::write(fd, bytes, 4) == 4) ::raise(SIGKILL);
                                return -1;
                              },
                              &::fsync, &::close});
    WriteFileAtomically(path, kNew);
    return std::string();
  });
  std::string left;
  for (const auto& name : Names(path.parent_path())) {
    if (!std::binary_search(before.begin(), before.end(), name)) left = name;
  }
  return left;
}

TEST(FileIoTest, ASaveRemovesTheScratchFilesKilledSavesOfTheSameFileLeft) {
  Folder folder;
  Write(folder / "keep.json", 0644);
  Write(folder / "other.json", 0644);
  const std::string locked = KilledSave(folder / "keep.json");
  ASSERT_EQ(locked.rfind(".keep.json", 0), 0u) << locked;  // hidden, and named after the file
  EXPECT_EQ(ReadText(folder / locked), kNew.substr(0, 4));
  // Another save still writing its scratch file holds a lock on it.
  const int holder = ::open((folder / locked).c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  const std::string stale = KilledSave(folder / "keep.json");
  const std::string othersStale = KilledSave(folder / "other.json");
  ASSERT_NE(stale, "");
  ASSERT_NE(othersStale, "");
  // Names of the same pattern that are no scratch files of it.
  const std::string stem = stale.substr(0, stale.size() - 6);
  const std::vector<std::string> lookalikes = {stem + "abc12", stem + "abc!23", stem + "abc1234",
                                               stem + "Lnk123", stem + "Dir123"};
  WriteText(folder / lookalikes[0], "a");
  WriteText(folder / lookalikes[1], "b");
  WriteText(folder / lookalikes[2], "c");
  Link(folder / lookalikes[3], "keep.json");
  fs::create_directory(folder / lookalikes[4]);
  std::vector<std::string> expected = {"keep.json", "other.json", locked, othersStale};
  expected.insert(expected.end(), lookalikes.begin(), lookalikes.end());
  std::sort(expected.begin(), expected.end());

  WriteFileAtomically(folder / "keep.json", kNew);
  EXPECT_EQ(Names(folder.path()), expected);
  EXPECT_EQ(ReadText(folder / "keep.json"), kNew);

  ::close(holder);  // that save is over
  WriteFileAtomically(folder / "keep.json", kNew);
  expected.erase(std::find(expected.begin(), expected.end(), locked));
  EXPECT_EQ(Names(folder.path()), expected);
}

// Scratch files of names too long to take the scratch mark whole still fit the
// folder, are cut between two characters, and are told apart by the whole name.
TEST(FileIoTest, ScratchFilesOfLongNamesFitAndStayApart) {
  Folder folder;
  std::string start;
  for (int i = 0; i < 120; ++i) start += "\xC3\xA9";                 // é, two bytes
  const std::string first = start + std::string(10, 'a') + ".json";  // 255 bytes
  const std::string second = start + std::string(10, 'b') + ".json";
  ASSERT_EQ(first.size(), 255u);
  Write(folder / first, 0644);
  Write(folder / second, 0644);
  const std::string stale = KilledSave(folder / first);
  const std::string othersStale = KilledSave(folder / second);
  ASSERT_NE(stale, "");
  ASSERT_NE(othersStale, "");
  EXPECT_NE(stale, othersStale);
  EXPECT_TRUE(fs::exists(folder / stale)) << "taken for the other file's";
  EXPECT_LE(stale.size(), 255u);
  EXPECT_EQ(stale.substr(0, 11), "." + start.substr(0, 10));
  for (std::size_t i = 1; i < stale.size(); ++i) {
    // Each é whole: no lead byte without its second byte, nor the other way.
    EXPECT_EQ(stale[i] == '\xA9', stale[i - 1] == '\xC3') << "a character cut at byte " << i;
  }
  WriteFileAtomically(folder / first, kNew);
  std::vector<std::string> expected = {first, second, othersStale};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(folder.path()), expected);
  EXPECT_EQ(ReadText(folder / first), kNew);
}

}  // namespace
}  // namespace brennick
