// A save puts the design on the disk before the design's name points at it:
// the scratch file is written whole, flushed and closed while the file still
// holds the old design, and only after the rename is the folder flushed, so a
// power cut at any moment leaves the old design or the new one, whole. A
// stand-in for the disk calls records them, and at each what the file holds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "files/file_io.h"
#include "tests/files/files_test_util.h"

namespace brennick {
namespace {

using filestest::Folder;
using filestest::ReadText;
using filestest::WriteText;

constexpr const char* kOld = "{\"NameEdit\": \"old\"}\n";
constexpr const char* kNew = "{\"NameEdit\": \"new design, a little longer\"}\n";

// What the stand-ins see. Plain functions take the calls' place, so what
// they record lives here.
struct Record {
  std::filesystem::path target;
  std::size_t chunk = 0;  // the most bytes one write takes; 0 for all offered
  std::vector<std::string> calls;
  int scratch = -1;  // the descriptor written to
  std::size_t written = 0;
};
Record record;

// "old", "new" or "none": what the file being saved holds at a call.
std::string Holds() {
  std::error_code error;
  if (!std::filesystem::exists(record.target, error)) return "none";
  const std::string text = ReadText(record.target);
  return text == kOld ? "old" : text == kNew ? "new" : "other";
}

std::string KindOf(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0) return "closed";
  if (S_ISDIR(info.st_mode)) return "folder";
  return fd == record.scratch ? "scratch" : "another file";
}

// Consecutive writes to the scratch file are one entry.
void Note(const std::string& call) {
  if (record.calls.empty() || record.calls.back() != call || !call.starts_with("write")) {
    record.calls.push_back(call);
  }
}

ssize_t RecordingWrite(int fd, const void* bytes, std::size_t count) {
  if (record.scratch < 0) record.scratch = fd;
  Note("write " + KindOf(fd) + " (file " + Holds() + ")");
  const std::size_t take = record.chunk == 0 || count < record.chunk ? count : record.chunk;
  const ssize_t n = ::write(fd, bytes, take);
  if (n > 0 && fd == record.scratch) record.written += static_cast<std::size_t>(n);
  return n;
}

int RecordingFsync(int fd) {
  std::string what = "fsync " + KindOf(fd);
  if (fd == record.scratch) what += " of " + std::to_string(record.written) + " bytes";
  Note(what + " (file " + Holds() + ")");
  return ::fsync(fd);
}

int RecordingClose(int fd) {
  Note("close " + KindOf(fd) + " (file " + Holds() + ")");
  return ::close(fd);
}

TEST(SaveOrder, TheScratchFileIsFlushedAndClosedBeforeTheRenameAndTheFolderAfter) {
  const std::string bytes = std::to_string(std::string(kNew).size());
  const struct {
    const char* what;
    bool exists;
    std::size_t chunk;
    std::vector<std::string> calls;
  } cases[] = {
      {"over a file, written at once",
       true,
       0,
       {"write scratch (file old)", "fsync scratch of " + bytes + " bytes (file old)",
        "close scratch (file old)", "fsync folder (file new)"}},
      {"over a file, written a byte at a time",
       true,
       1,
       {"write scratch (file old)", "fsync scratch of " + bytes + " bytes (file old)",
        "close scratch (file old)", "fsync folder (file new)"}},
      {"a new file",
       false,
       7,
       {"write scratch (file none)", "fsync scratch of " + bytes + " bytes (file none)",
        "close scratch (file none)", "fsync folder (file new)"}},
  };
  for (const auto& c : cases) {
    Folder folder;
    record = Record{folder / "design.json", c.chunk, {}, -1, 0};
    if (c.exists) WriteText(record.target, kOld);
    const detail::DiskCalls was =
        detail::ReplaceDiskCalls({&RecordingWrite, &RecordingFsync, &RecordingClose});
    try {
      WriteFileAtomically(record.target, kNew);
    } catch (const std::exception& e) {
      ADD_FAILURE() << c.what << ": " << e.what();
    }
    detail::ReplaceDiskCalls(was);
    EXPECT_EQ(record.calls, c.calls) << c.what;
    EXPECT_EQ(ReadText(record.target), kNew) << c.what;
    EXPECT_EQ(filestest::Names(folder.path()), std::vector<std::string>{"design.json"}) << c.what;
  }
}

}  // namespace
}  // namespace brennick
