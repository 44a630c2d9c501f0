// Looking fields up by name: every name finds its own field, and a name that
// differs from one in any byte, or is one byte longer or shorter, finds none.
#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "engine/field_list.h"
#include "form/fields.h"

namespace brennick {
namespace {

TEST(FieldLookupTest, EveryNameFindsItsOwnFieldAndNearMissesFindNone) {
  ASSERT_EQ(FormFields().size(), kFormFieldCount);
  for (std::size_t i = 0; i < kFormFieldCount; ++i) {
    const std::string name = FormFields()[i].name;
    EXPECT_EQ(FieldNumber(name), i) << name;
    EXPECT_EQ(FindFormField(name), &FormFields()[i]) << name;
    EXPECT_EQ(FindField(name), i < kDesignFieldCount ? &FormFields()[i] : nullptr) << name;

    std::vector<std::string> misses = {name + "x", name.substr(0, name.size() - 1), name.substr(1),
                                       name + std::string(1, '\0')};
    for (std::size_t at = 0; at < name.size(); ++at) {
      std::string changed = name;
      changed[at] ^= 0x20;  // the other case of a letter
      misses.push_back(changed);
    }
    for (const std::string& miss : misses) {
      EXPECT_EQ(FieldNumber(miss), kNoFieldNumber) << name << " / " << miss;
      EXPECT_EQ(FindFormField(miss), nullptr) << name << " / " << miss;
    }
  }
  for (const char* none : {"", "DecimalSeparator", "Form", "MaxRoFLabel", "Label7"}) {
    EXPECT_EQ(FieldNumber(none), kNoFieldNumber) << none;
  }
}

}  // namespace
}  // namespace brennick
