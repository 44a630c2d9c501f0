// Helpers of the design-file tests: a fresh folder per test, files written
// and read whole, and brennick-cli run on a file.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace brennick::filestest {

namespace fs = std::filesystem;

// A folder of its own for each test, removed afterwards.
class Folder {
 public:
  Folder() {
    static int count = 0;
    path_ = fs::path(::testing::TempDir()) /
            ("brennick_files_" + std::to_string(::getpid()) + "_" + std::to_string(++count));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~Folder() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

inline void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

// The files of a folder, by name.
inline std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// What brennick-cli writes to standard output for `args` under the C locale.
inline std::string RunCli(const std::string& args, int* status = nullptr) {
  const std::string command =
      std::string("LC_ALL=C ") + BRENNICK_CLI_PATH + " " + args + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {};
  std::string out;
  char buf[4096];
  std::size_t n;
  // A table of a few designs is a few kilobytes; a runaway program is cut off.
  constexpr std::size_t kLimit = std::size_t{1} << 22;
  while (out.size() < kLimit && (n = fread(buf, 1, sizeof buf, pipe)) > 0) out.append(buf, n);
  const int rc = pclose(pipe);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

inline std::string Quote(const fs::path& path) {
  return "'" + path.string() + "'";
}

}  // namespace brennick::filestest
