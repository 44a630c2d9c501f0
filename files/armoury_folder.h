// An armoury: a folder of design files, read as one weapon table with a row
// per design file, the same rows brennick-cli --table writes for the same
// files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "formats/weapon_table.h"

namespace brennick {

// The extension of design files.
inline constexpr const char* kDesignFileExtension = ".json";

struct ArmouryRow {
  std::filesystem::path file;
  WeaponRow row;
  // A design that was read as the window's Open reads it, whether its run
  // completed or failed: a row of the table brennick-cli writes. A file that
  // Open refuses (missing rights, malformed JSON, an array, a wrong key) is
  // one row that is no design: its Error cell says why in Open's words, and
  // no table export writes it.
  bool design = true;
};

// The design files of `folder` (not of its subfolders), by file name in byte
// order. Throws DesignError when the folder itself cannot be listed.
std::vector<std::filesystem::path> ListArmoury(const std::filesystem::path& folder);

// Every design file of `folder`, listed as ListArmoury does, each read and
// run with the reader's `decimalSeparator`.
std::vector<ArmouryRow> ReadArmoury(const std::filesystem::path& folder, char decimalSeparator);

// The row of one design file: read with the design-file reader, as Open
// reads it, then run. Never throws for a file that cannot be read: its row
// says why.
ArmouryRow ReadArmouryFile(const std::filesystem::path& file, char decimalSeparator);

// The table of the designs among `rows`, in their order, as brennick-cli
// --table writes it: the header, then one row per design.
std::string ArmouryTable(const std::vector<ArmouryRow>& rows, TableFormat format);

}  // namespace brennick
