#include "files/armoury_folder.h"

#include <algorithm>
#include <array>
#include <compare>
#include <exception>
#include <system_error>
#include <utility>

#include "engine/design.h"
#include "files/design_file.h"
#include "form/form_state.h"

namespace brennick {

ArmouryRow ReadArmouryFile(const std::filesystem::path& file, char decimalSeparator) {
  ArmouryRow row{file, {}, true};
  FormState state;
  try {
    // One reader decides for the armoury and for Open: a file is a design
    // here exactly when the window would open it.
    state = LoadDesignFile(file, decimalSeparator);
  } catch (const std::exception& e) {
    // Open's message is "Cannot open "<file>": <problem>"; the row names its
    // file already and keeps the problem.
    std::string problem = e.what();
    const std::string opening = CannotOpen(file, "");
    if (problem.starts_with(opening)) problem.erase(0, opening.size());
    row.design = false;
    row.row[kColName] = file.filename().string();
    row.row[kColError] = std::move(problem);
    return row;
  }
  const DesignInput input = state.Input();
  row.row = WeaponRowOf(input, RunDesign(input, decimalSeparator));
  return row;
}

std::vector<std::filesystem::path> ListArmoury(const std::filesystem::path& folder) {
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
    return a.filename().native() < b.filename().native();
  });
  return files;
}

std::vector<ArmouryRow> ReadArmoury(const std::filesystem::path& folder, char decimalSeparator) {
  const std::vector<std::filesystem::path> files = ListArmoury(folder);
  std::vector<ArmouryRow> rows;
  rows.reserve(files.size());
  for (const auto& file : files) rows.push_back(ReadArmouryFile(file, decimalSeparator));
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
