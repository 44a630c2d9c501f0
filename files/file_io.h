// Reading and writing the files designs live in. Files are read as untrusted
// input and written atomically: a save either replaces the file whole or
// leaves the old one as it was.
#pragma once

#include <sys/types.h>

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

// Saves `text` as the file `path`, whole or not at all.
//
// - A symbolic link is followed to the file it finally names (a chain of
//   links too; a relative link is read from the link's own folder) and that
//   file is written; the links stay as they are. A link to a file that does
//   not exist yet makes that file. A loop of links fails ("Too many levels of
//   symbolic links").
// - The save is refused where the process could not open the existing file
//   for writing ("Permission denied" for a read-only file), as any careful
//   writer refuses, and for anything but a regular file: a folder ("Is a
//   directory"), a pipe or a device ("it is not a regular file").
// - The text goes to a scratch file beside the file, `.NAME.saving-XXXXXX`
//   (its name part cut short with a check mark of the whole name where NAME
//   is too long for the folder), made private to the owner. It gets the old
//   file's permissions and, where the process may, its owner and group (else
//   at least its group), or the usual permissions for a new file; it is
//   flushed to the disk and then renamed over the file in one step.
// - The folder is flushed after the rename so that the new name survives a
//   power cut. A folder that cannot be flushed does not fail the save: the
//   new file is in place by then, and a power cut could at worst bring back
//   the old one whole.
// - Scratch files of this same file that an earlier save left behind (the
//   program was killed during it) are removed first; one another save is
//   still writing is left alone.
//
// Throws DesignError with the system's reason when any step up to the rename
// fails ("No space left on device", "Input/output error"...): the old file is
// then untouched and the scratch file is removed.
void WriteFileAtomically(const std::filesystem::path& path, std::string_view text);

namespace detail {

// The calls a save makes to put its bytes on the disk. Tests put in calls that
// fail the way a full or failing disk does; the program never changes them.
struct DiskCalls {
  ssize_t (*write)(int fd, const void* bytes, std::size_t count);
  int (*fsync)(int fd);
  int (*close)(int fd);
};

// Puts `calls` in place of the system's for later saves and returns the ones
// that were in place.
DiskCalls ReplaceDiskCalls(const DiskCalls& calls);

}  // namespace detail

}  // namespace brennick
