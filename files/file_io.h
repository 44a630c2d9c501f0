// Reading and writing the files designs live in. Files are read as untrusted
// input and written atomically: a save either replaces the file whole or
// leaves the old one as it was.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace brennick {

// The most a design file may hold; one design is a few kilobytes.
inline constexpr std::size_t kMaxDesignFileBytes = std::size_t{1} << 20;

// The whole content of a regular file of at most `limit` bytes. Throws
// DesignError with the reason alone (the system's, "it is a folder", "it is
// larger than 1 MiB"); the caller names the file.
std::string ReadFileText(const std::filesystem::path& path,
                         std::size_t limit = kMaxDesignFileBytes);

// Writes `text` to a new file beside `path`, flushes it to the disk and then
// puts it in place of `path` in one step. An existing file keeps its
// permissions. Throws DesignError with the system's reason when any step
// fails; the old file is then untouched and no temporary file is left behind.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view text);

}  // namespace brennick
