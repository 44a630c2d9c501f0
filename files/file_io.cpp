#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "design.h"

namespace brennick {
namespace {

[[noreturn]] void FailWith(int error) {
  throw DesignError(std::strerror(error));
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

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
  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  std::string temp = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  Descriptor file{::mkostemp(temp.data(), O_CLOEXEC)};
  if (file.fd < 0) FailWith(errno);
  const auto fail = [&](int error) {
    ::unlink(temp.c_str());
    FailWith(error);
  };
  // The new file takes the old one's permissions, or the usual ones.
  struct stat old {};
  mode_t mode = 0666;
  if (::stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode &= ~mask;
  }
  if (::fchmod(file.fd, mode) != 0) fail(errno);
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(file.fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(file.fd) != 0) fail(errno);
  const int fd = file.fd;
  file.fd = -1;
  if (::close(fd) != 0) fail(errno);
  if (::rename(temp.c_str(), path.c_str()) != 0) fail(errno);
}

}  // namespace brennick
