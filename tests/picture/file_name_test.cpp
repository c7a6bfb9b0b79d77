#include "picture/file_name.h"

#include <gtest/gtest.h>

namespace mozenta {
namespace {

struct ExtensionCase {
  const char* name;
  std::string_view separators;
  const char* extension;
};
void PrintTo(const ExtensionCase& c, std::ostream* os) {
  *os << c.name;
}

class FileExtensionCases : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(FileExtensionCases, TakesTheTextAfterTheLastDotOfTheNameProper) {
  const ExtensionCase& c = GetParam();
  EXPECT_EQ(FileExtension(c.name, c.separators), c.extension) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Names, FileExtensionCases,
                         ::testing::Values(ExtensionCase{"C:\\写真\\a.b.BMP", kWindowsSeparators, "BMP"},
                                           ExtensionCase{"C:\\old.pics\\photo", kWindowsSeparators, ""},
                                           ExtensionCase{"photo.", kWindowsSeparators, ""},
                                           ExtensionCase{"C:\\表\\a.jpg", kWindowsSeparators,
                                                         "jpg"},  // 表 is 0x955C in Shift_JIS
                                           ExtensionCase{"D:pic", kWindowsSeparators, ""},
                                           ExtensionCase{"/home/u/old.pics/photo", kPlatformSeparators, ""},
                                           ExtensionCase{"/home/u/ソ.Jpeg", kPlatformSeparators, "Jpeg"},
                                           ExtensionCase{"a.tar.gz", kPlatformSeparators, "gz"},
                                           ExtensionCase{"noext", kPlatformSeparators, ""},
                                           ExtensionCase{"", kPlatformSeparators, ""}));

}  // namespace
}  // namespace mozenta
