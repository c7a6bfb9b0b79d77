#include "mosaic/shift_jis.h"

#include <gtest/gtest.h>

namespace mozenta {
namespace {

struct EncodingCase {
  const char* name;
  std::string utf8;
  std::string shiftJis;
};
void PrintTo(const EncodingCase& c, std::ostream* os) {
  *os << c.name;
}

class ShiftJisForm : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(ShiftJisForm, ConvertsWhatCodePage932HoldsAndMarksTheRest) {
  EXPECT_EQ(Utf8ToShiftJis(GetParam().utf8), GetParam().shiftJis);
}

INSTANTIATE_TEST_SUITE_P(Texts, ShiftJisForm,
                         ::testing::Values(EncodingCase{"Ascii", "Blue 1,2", "Blue 1,2"},
                                           EncodingCase{"Kanji", "列目", "\x97\xF1\x96\xDA"},
                                           // 表 and ソ end in 0x5C, the byte of "\".
                                           EncodingCase{"TrailByteOfBackslash", "表ソ", "\x95\x5C\x83\x5C"},
                                           EncodingCase{"HalfWidthKatakana", "ｱｲ", "\xB1\xB2"},
                                           EncodingCase{"CodePageExtensions", "①髙", "\x87\x40\xFB\xFC"},
                                           EncodingCase{"NoFormOneMarkPerCharacter", "a😀é中", "a??\x92\x86"},
                                           EncodingCase{"MalformedOneMarkPerByte",
                                                        "a\xFF\xE9\xBB"
                                                        "b\xE9",
                                                        "a???b?"},
                                           EncodingCase{"Empty", "", ""}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace mozenta
