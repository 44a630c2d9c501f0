// Scratch folders for tests that write files: each made fresh under the
// temporary folder ($TMPDIR, else /tmp) and removed, with everything in it,
// when it goes, so a run of the tests leaves nothing behind.
#pragma once

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace brennick::testsupport {

class ScratchFolder {
 public:
  // A new, empty folder named after `tag` and a unique ending.
  explicit ScratchFolder(std::string_view tag = "brennick_test") {
    const char* tmp = std::getenv("TMPDIR");
    std::filesystem::path base = tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp";
    std::string pattern = (base / (std::string(tag) + "_XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
      throw std::filesystem::filesystem_error("cannot make a scratch folder", pattern,
                                              std::error_code(errno, std::generic_category()));
    }
    path_ = name.data();
  }
  ~ScratchFolder() {
    // Tests take permissions away to make saves fail: given back first, so
    // every file can be removed.
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         !ignored && it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
      }
    }
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
  // The path of `name` in the folder, as a string.
  std::string File(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// The test program's own scratch folder, made when first asked for and
// removed when the program ends.
inline const ScratchFolder& ProgramScratchFolder(std::string_view tag = "brennick_test") {
  static const ScratchFolder folder(tag);
  return folder;
}

}  // namespace brennick::testsupport
