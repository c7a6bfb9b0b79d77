#include "mosaic/palette.h"

#include <gtest/gtest.h>

#include <array>

#include "mosaic/color_labels.h"

namespace mozenta {
namespace {

constexpr std::array<std::array<int, 3>, 8> kDefaults = {
    {{0, 0, 0}, {0, 0, 15}, {15, 0, 0}, {15, 0, 15}, {0, 8, 0}, {0, 8, 15}, {15, 15, 0}, {15, 15, 15}}};

void ExpectDefaultEntries(const Palette& palette) {
  for (int i = 0; i < 8; ++i) {
    const PaletteEntry expected{static_cast<std::uint8_t>(kDefaults[i][0]),
                                static_cast<std::uint8_t>(kDefaults[i][1]),
                                static_cast<std::uint8_t>(kDefaults[i][2])};
    EXPECT_EQ(palette.Entry(i), expected) << i;
    EXPECT_TRUE(palette.Enabled(i)) << i;
  }
}

TEST(Palette, StartsWithTheDefaultsAndResetLeavesTheUpperSlotsAlone) {
  const Palette fresh;
  ExpectDefaultEntries(fresh);
  for (int i = 8; i < 16; ++i) {
    EXPECT_EQ(fresh.Entry(i), PaletteEntry{}) << i;
    EXPECT_FALSE(fresh.Enabled(i)) << i;
  }
  Palette palette;
  palette.SetEntry(3, {1, 2, 3});
  palette.SetEnabled(3, false);
  palette.SetEntry(9, {4, 5, 6});
  palette.SetEnabled(9, true);
  palette.Reset();
  ExpectDefaultEntries(palette);
  EXPECT_EQ(palette.Entry(9), (PaletteEntry{4, 5, 6}));
  EXPECT_TRUE(palette.Enabled(9));
}

TEST(Palette, ColourHelpersRoundTrip) {
  EXPECT_EQ(ExpandNibble(0), 0);
  EXPECT_EQ(ExpandNibble(8), 136);
  EXPECT_EQ(ExpandNibble(15), 255);
  std::uint8_t rgb[3];
  SplitColor(0xABFF8800u, rgb);  // the top byte is ignored
  EXPECT_EQ(rgb[0], 0);
  EXPECT_EQ(rgb[1], 136);
  EXPECT_EQ(rgb[2], 255);
  EXPECT_EQ(PackColor(0, 136, 255), 0x00FF8800u);
  EXPECT_EQ(PackColor(256 + 1, 2, 3), 0x00030201u);
  EXPECT_EQ(Palette().ExpandedColor(5), 0x00FF8800u);
  // A chosen colour keeps the top four bits of each channel: 200, 100, 50 become 12, 6, 3.
  EXPECT_EQ(PaletteEntryFromColor(PackColor(200, 100, 50)), (PaletteEntry{12, 6, 3}));
  EXPECT_EQ(PaletteEntryFromColor(0xFFFFFFFFu), (PaletteEntry{15, 15, 15}));
  EXPECT_EQ(PaletteEntryFromColor(PackColor(15, 16, 31)), (PaletteEntry{0, 1, 1}));
}

TEST(ColorLabels, DefaultsNameTheDefaultColours) {
  EXPECT_EQ(DefaultColorLabels(), (ColorLabels{"黒", "青", "赤", "紫", "緑", "水", "黄", "白"}));
}

struct NearestCase {
  int r, g, b;
  int expected;
};
void PrintTo(const NearestCase& c, std::ostream* os) {
  *os << c.r << "," << c.g << "," << c.b;
}

class NearestWithDefaults : public ::testing::TestWithParam<NearestCase> {};

// The distance table of the palette's worked examples, including a tie that entry 0 wins.
TEST_P(NearestWithDefaults, FindsEntry) {
  const NearestCase& c = GetParam();
  EXPECT_EQ(Palette().Nearest(c.r, c.g, c.b), c.expected);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, NearestWithDefaults,
                         ::testing::Values(NearestCase{8, 8, 8, 5}, NearestCase{4, 4, 0, 0},
                                           NearestCase{12, 6, 3, 2}, NearestCase{15, 15, 15, 7}));

TEST(Palette, TiesGoToTheLowerNumber) {
  Palette palette;
  palette.SetEnabled(7, false);
  EXPECT_EQ(palette.Nearest(15, 15, 15), 3);  // 3 and 6 both at 225
  palette.SetEntry(6, palette.Entry(2));
  for (int key = 0; key < 4096; ++key)
    ASSERT_NE(palette.Nearest(key >> 8, (key >> 4) & 15, key & 15), 6);
}

TEST(Palette, EntryZeroIsAlwaysACandidate) {
  Palette palette;
  std::array<int, 4096> withFlag{};
  for (int key = 0; key < 4096; ++key)
    withFlag[key] = palette.Nearest(key >> 8, (key >> 4) & 15, key & 15);
  palette.SetEnabled(0, false);
  for (int key = 0; key < 4096; ++key) {
    ASSERT_EQ(palette.Nearest(key >> 8, (key >> 4) & 15, key & 15), withFlag[key]) << key;
  }
  for (int i = 1; i < 8; ++i)
    palette.SetEnabled(i, false);
  for (int key = 0; key < 4096; ++key)
    ASSERT_EQ(palette.Nearest(key >> 8, (key >> 4) & 15, key & 15), 0);
}

}  // namespace
}  // namespace mozenta
