#include "mosaic/palette.h"

#include <gtest/gtest.h>

#include <array>

namespace mozenta {
namespace {

class PaletteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& flag : PaletteEnabled)
      flag = 0;
    for (auto& entry : Palette)
      entry = {};
    ResetPalette();
  }
  void TearDown() override { ResetPalette(); }
};

TEST_F(PaletteTest, ResetLoadsDefaultColoursAndLeavesUpperSlotsAlone) {
  constexpr std::array<std::array<int, 3>, 8> kDefaults = {
      {{0, 0, 0}, {0, 0, 15}, {15, 0, 0}, {15, 0, 15}, {0, 8, 0}, {0, 8, 15}, {15, 15, 0}, {15, 15, 15}}};
  Palette[3] = {1, 2, 3};
  PaletteEnabled[3] = 0;
  ResetPalette();
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(Palette[i].R, kDefaults[i][0]) << i;
    EXPECT_EQ(Palette[i].G, kDefaults[i][1]) << i;
    EXPECT_EQ(Palette[i].B, kDefaults[i][2]) << i;
    EXPECT_EQ(PaletteEnabled[i], 1) << i;
  }
  for (int i = 8; i < 16; ++i) {
    EXPECT_EQ(Palette[i].R + Palette[i].G + Palette[i].B, 0) << i;
    EXPECT_EQ(PaletteEnabled[i], 0) << i;
  }
}

TEST_F(PaletteTest, ColourHelpersRoundTrip) {
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
}

struct NearestCase {
  int r, g, b;
  int expected;
};

class NearestWithDefaults : public PaletteTest, public ::testing::WithParamInterface<NearestCase> {};

// The distance table of the palette's worked examples, including a tie that entry 0 wins.
TEST_P(NearestWithDefaults, FindsEntry) {
  const NearestCase& c = GetParam();
  EXPECT_EQ(NearestPaletteIndex(c.r, c.g, c.b), c.expected);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, NearestWithDefaults,
                         ::testing::Values(NearestCase{8, 8, 8, 5}, NearestCase{4, 4, 0, 0},
                                           NearestCase{12, 6, 3, 2}, NearestCase{15, 15, 15, 7}));

TEST_F(PaletteTest, TiesGoToTheLowerNumber) {
  PaletteEnabled[7] = 0;
  EXPECT_EQ(NearestPaletteIndex(15, 15, 15), 3);  // 3 and 6 both at 225
  Palette[6] = Palette[2];
  for (int key = 0; key < 4096; ++key)
    ASSERT_NE(NearestPaletteIndex(key >> 8, (key >> 4) & 15, key & 15), 6);
}

TEST_F(PaletteTest, EntryZeroIsAlwaysACandidate) {
  std::array<int, 4096> withFlag{};
  for (int key = 0; key < 4096; ++key)
    withFlag[key] = NearestPaletteIndex(key >> 8, (key >> 4) & 15, key & 15);
  PaletteEnabled[0] = 0;
  for (int key = 0; key < 4096; ++key) {
    ASSERT_EQ(NearestPaletteIndex(key >> 8, (key >> 4) & 15, key & 15), withFlag[key]) << key;
  }
  for (int i = 1; i < 8; ++i)
    PaletteEnabled[i] = 0;
  for (int key = 0; key < 4096; ++key)
    ASSERT_EQ(NearestPaletteIndex(key >> 8, (key >> 4) & 15, key & 15), 0);
}

}  // namespace
}  // namespace mozenta
