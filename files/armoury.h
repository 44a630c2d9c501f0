// An armoury: a folder of design files, read as one weapon table with a row
// per design, the same rows brennick-cli --table writes for the same files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "weapon_table.h"

namespace brennick {

// The extension of design files.
inline constexpr const char* kDesignFileExtension = ".json";

struct ArmouryRow {
  std::filesystem::path file;
  WeaponRow row;
  // A row of the table brennick-cli writes: a design that was read, whether
  // its run completed, failed or its keys were wrong. A file that could not
  // be read at all (missing rights, malformed JSON) has a row of its own that
  // is no design: its Error cell says why, and no table export writes it.
  bool design = true;
};

// Every design file in `folder` (not in its subfolders), by file name in byte
// order, read and run with the reader's `decimalSeparator`. Throws DesignError
// when the folder itself cannot be listed.
std::vector<ArmouryRow> ReadArmoury(const std::filesystem::path& folder, char decimalSeparator);

// The rows of one design file; appends to `rows`.
void ReadArmouryFile(const std::filesystem::path& file, char decimalSeparator,
                     std::vector<ArmouryRow>& rows);

// The table of the designs among `rows`, in their order, as brennick-cli
// --table writes it: the header, then one row per design.
std::string ArmouryTable(const std::vector<ArmouryRow>& rows, TableFormat format);

}  // namespace brennick
