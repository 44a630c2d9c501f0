#include "cli/random_designs.h"

#include <charconv>
#include <compare>
#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>

#include "engine/design_error.h"
#include "files/file_io.h"
#include "form/form_model.h"
#include "form/form_state.h"
#include "formats/design_file_format.h"
#include "formats/design_object.h"

namespace brennick::cli {
namespace {

// The form the window's Randomize leaves for design k: a fresh start form,
// "Only automatic" as asked, one click with the design's own seed.
FormModel RandomForm(const RandomDesigns& designs, std::uint64_t k) {
  FormModel form(designs.decimalSeparator);
  form.Set(&FormState::OnlyAuto, designs.onlyAutomatic);
  // The start form's TL is a whole number, so the generator cannot fail.
  form.RandomButtonClick(static_cast<std::uint32_t>(designs.seed + k));
  return form;
}

// "random-S-" or "random-automatic-S-": what every file name of the run
// starts with.
std::string NamePrefix(const RandomDesigns& designs) {
  return std::string(designs.onlyAutomatic ? "random-automatic-" : "random-") +
         std::to_string(designs.seed) + "-";
}

constexpr std::string_view kExtension = ".json";

// The digits a design's number is written with: as many as the count has.
std::size_t NumberWidth(std::uint64_t count) {
  return std::to_string(count).size();
}

// Whether `name` is the name of one of the run's files.
bool IsNameOfTheRun(const RandomDesigns& designs, const std::string& prefix,
                    std::string_view name) {
  if (!name.starts_with(prefix) || !name.ends_with(kExtension)) return false;
  const std::string_view digits =
      name.substr(prefix.size(), name.size() - prefix.size() - kExtension.size());
  if (digits.size() != NumberWidth(designs.count) ||
      digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return false;
  }
  std::uint64_t k = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), k);
  return error == std::errc() && end == digits.data() + digits.size() && k < designs.count;
}

std::string Quoted(const std::filesystem::path& path) {
  return "'" + path.string() + "'";
}

// Makes `folder` when it is missing, or checks that it is a folder none of
// whose names the run would take.
void PrepareFolder(const RandomDesigns& designs, const std::filesystem::path& folder) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(folder, ec);
  if (!fs::exists(status)) {
    // Whatever kept the folder from being looked at keeps it from being made
    // too, and making it says why.
    fs::create_directories(folder, ec);
    if (ec) throw DesignError("cannot make the folder " + Quoted(folder) + ": " + ec.message());
    return;
  }
  if (!fs::is_directory(status)) throw DesignError(Quoted(folder) + " is not a folder");
  const std::string prefix = NamePrefix(designs);
  std::string first;
  std::uint64_t taken = 0;
  fs::directory_iterator entry(folder, ec);
  for (; !ec && entry != fs::directory_iterator(); entry.increment(ec)) {
    const std::string name = entry->path().filename().string();
    if (!IsNameOfTheRun(designs, prefix, name)) continue;
    if (taken++ == 0 || name < first) first = name;
  }
  if (ec) throw DesignError("cannot read the folder " + Quoted(folder) + ": " + ec.message());
  if (taken > 0) {
    // Nothing is replaced: the files may be designs someone has worked on.
    throw DesignError(
        Quoted(folder / first) + " exists already" +
        (taken > 1 ? " (and " + std::to_string(taken - 1) + " more of the run)" : "") +
        "; nothing was written: remove the files or choose another folder");
  }
}

}  // namespace

void WriteRandomDesigns(const RandomDesigns& designs, Sink& out) {
  constexpr std::size_t kPiece = 1 << 16;
  std::string buffer;
  buffer.reserve(kPiece + 4096);
  const DesignObjectStyle style{designs.decimalSeparator, false};
  for (std::uint64_t k = 0; k < designs.count; ++k) {
    AppendDesignObjectLine(buffer, RandomForm(designs, k).state().Input(), style);
    buffer += '\n';
    if (buffer.size() >= kPiece) {
      out.Write(buffer);
      buffer.clear();
    }
  }
  if (!buffer.empty()) out.Write(buffer);
}

std::string RandomDesignFileName(const RandomDesigns& designs, std::uint64_t k) {
  const std::string number = std::to_string(k);
  const std::size_t width = NumberWidth(designs.count);
  return NamePrefix(designs) + std::string(width > number.size() ? width - number.size() : 0, '0') +
         number + std::string(kExtension);
}

void SaveRandomDesigns(const RandomDesigns& designs, const std::filesystem::path& folder) {
  if (folder.empty()) throw DesignError("the folder for the designs has no name");
  PrepareFolder(designs, folder);
  for (std::uint64_t k = 0; k < designs.count; ++k) {
    const std::filesystem::path path = folder / RandomDesignFileName(designs, k);
    try {
      // The bytes of the window's Save for the form its Randomize leaves.
      WriteFileAtomically(path,
                          DesignFileText(RandomForm(designs, k).state(), designs.decimalSeparator));
    } catch (const DesignError& e) {
      throw DesignError("cannot save " + Quoted(path) + ": " + e.what() +
                        (k == 1  ? " (the design before it is saved)"
                         : k > 1 ? " (the " + std::to_string(k) + " designs before it are saved)"
                                 : ""));
    }
  }
}

std::uint32_t ClockSeed() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

}  // namespace brennick::cli
