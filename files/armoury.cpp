#include "armoury.h"

#include <algorithm>
#include <system_error>

#include "design_object.h"
#include "file_io.h"

namespace brennick {

void ReadArmouryFile(const std::filesystem::path& file, char decimalSeparator,
                     std::vector<ArmouryRow>& rows) {
  const auto problem = [&](const std::string& why) {
    ArmouryRow row{file, {}, false};
    row.row[kColName] = file.filename().string();
    row.row[kColError] = why;
    rows.push_back(std::move(row));
  };
  std::string text;
  try {
    text = ReadFileText(file);
  } catch (const DesignError& e) {
    return problem(e.what());
  }
  // Every design of the file, as brennick-cli reads a stream of them: a
  // design file holds one, a hand-made file may hold an array.
  const std::optional<std::string> fault =
      ReadDesigns(text, decimalSeparator, [&](DesignEntry& entry) {
        ArmouryRow row{file, {}, true};
        if (entry.inputError) {
          row.row[kColError] = *entry.inputError;
        } else {
          row.row = WeaponRowOf(entry.input, RunDesign(entry.input, decimalSeparator));
        }
        rows.push_back(std::move(row));
      });
  if (fault) {
    problem(*fault);
  } else if (rows.empty() || rows.back().file != file) {
    problem("the file holds no design");
  }
}

std::vector<ArmouryRow> ReadArmoury(const std::filesystem::path& folder, char decimalSeparator) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  if (error) throw DesignError(error.message());
  for (const std::filesystem::directory_iterator end; it != end; it.increment(error)) {
    if (error) throw DesignError(error.message());
    const std::filesystem::path& path = it->path();
    std::error_code ignored;
    if (path.extension() == kDesignFileExtension && !it->is_directory(ignored)) {
      files.push_back(path);
    }
  }
  if (error) throw DesignError(error.message());
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    return a.filename().string() < b.filename().string();
  });
  std::vector<ArmouryRow> rows;
  rows.reserve(files.size());
  for (const auto& file : files) ReadArmouryFile(file, decimalSeparator, rows);
  return rows;
}

std::string ArmouryTable(const std::vector<ArmouryRow>& rows, TableFormat format) {
  std::string table;
  AppendTableHeader(table, format);
  for (const ArmouryRow& row : rows) {
    if (row.design) AppendTableRow(table, format, row.row);
  }
  return table;
}

}  // namespace brennick
