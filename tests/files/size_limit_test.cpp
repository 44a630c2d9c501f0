// A design file may be as large as 1 MiB and no larger: a file of exactly
// that size opens, in the window and in the armoury alike, and one byte more
// is refused with its message, the file named.
#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>

#include "engine/design_error.h"
#include "files/armoury_folder.h"
#include "files/design_file.h"
#include "files/file_io.h"
#include "form/form_member.h"
#include "form/form_state.h"
#include "formats/design_file_format.h"
#include "formats/weapon_table.h"
#include "tests/files/files_test_util.h"
#include "tests/support/worked_designs.h"

namespace brennick {
namespace {

using filestest::Folder;
using filestest::WriteText;

constexpr const char* kTooLarge = "it is larger than 1024 KiB, too large for a design";

// The pistol's design file, padded with spaces after its object (which JSON
// allows) to `size` bytes.
std::string PaddedDesign(std::size_t size) {
  std::string text = DesignFileText(FormOfDesign(examples::TenMmPistol()), '.');
  if (text.size() < size) text.append(size - text.size(), ' ');
  return text;
}

TEST(SizeLimit, ADesignFileOfExactlyTheLimitOpensAndOneByteMoreIsRefused) {
  ASSERT_EQ(kMaxDesignFileBytes, std::size_t{1} << 20);
  const FormState pistol = FormOfDesign(examples::TenMmPistol());
  const struct {
    std::size_t size;
    bool opens;
  } cases[] = {
      {kMaxDesignFileBytes - 1, true},
      {kMaxDesignFileBytes, true},
      {kMaxDesignFileBytes + 1, false},
      {kMaxDesignFileBytes + 4096, false},
  };
  Folder folder;
  for (const auto& c : cases) {
    const auto file = folder / ("pistol" + std::to_string(c.size) + ".json");
    WriteText(file, PaddedDesign(c.size));
    ASSERT_EQ(std::filesystem::file_size(file), c.size);
    std::string message;
    try {
      EXPECT_EQ(LoadDesignFile(file, '.'), pistol) << c.size;
    } catch (const DesignError& e) {
      message = e.message();
    }
    if (c.opens) {
      EXPECT_EQ(message, "") << c.size;
    } else {
      EXPECT_EQ(message, "Cannot open \"" + file.string() + "\": " + kTooLarge) << c.size;
    }

    // The armoury reads the file as Open does: a row of the pistol, or a row
    // that is no design and says why.
    const ArmouryRow row = ReadArmouryFile(file, '.');
    EXPECT_EQ(row.design, c.opens) << c.size;
    EXPECT_EQ(row.row[kColName], c.opens ? "Pistol" : file.filename().string()) << c.size;
    EXPECT_EQ(row.row[kColError], c.opens ? "" : kTooLarge) << c.size;
  }
}

TEST(SizeLimit, AFileOfExactlyTheLimitIsReadWhole) {
  Folder folder;
  const auto file = folder / "full.json";
  std::string text(kMaxDesignFileBytes, 'x');
  text.front() = '<';
  text.back() = '>';
  WriteText(file, text);
  EXPECT_EQ(ReadFileText(file), text);
  WriteText(file, text + "!");
  try {
    ReadFileText(file);
    ADD_FAILURE() << "a file over the limit was read";
  } catch (const DesignError& e) {
    EXPECT_EQ(e.message(), kTooLarge);
  }
}

}  // namespace
}  // namespace brennick
