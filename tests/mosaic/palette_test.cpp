#include "mosaic/palette.h"

#include <gtest/gtest.h>

#include <array>

#include "mosaic/color_labels.h"
#include "mosaic/palette_file.h"
#include "mosaic/sheet_stock.h"
#include "output_test_support.h"
#include "picture/errors.h"

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

// Saved and loaded again, a palette keeps its colours and labels (a line break in a label becomes a
// space); the file holds the expanded 8-bit colours, and loading keeps the top four bits of what it reads.
TEST(PaletteFile, RoundTripsColoursAndLabels) {
  Palette palette;
  palette.SetEntry(3, {12, 6, 3});
  palette.SetEnabled(5, false);
  ColorLabels labels = DefaultColorLabels();
  labels[2] = "朱 赤";
  labels[4] = "two\nlines";
  labels[6] = "";
  testing::ScratchFolder folder;
  SavePaletteFile(folder / "stand.gpl", palette, labels);
  const std::string text = testing::ReadWholeFile(folder / "stand.gpl");
  EXPECT_TRUE(text.starts_with("GIMP Palette\nName: stand\nColumns: 8\n#\n  0   0   0\t黒\n")) << text;
  EXPECT_NE(text.find("204 102  51\t紫\n"), std::string::npos);
  EXPECT_NE(text.find("255 255   0\t\n"), std::string::npos);

  Palette loaded;
  loaded.SetEnabled(5, false);
  ColorLabels loadedLabels;
  LoadPaletteFile(folder / "stand.gpl", loaded, loadedLabels);
  EXPECT_EQ(loaded, palette);
  labels[4] = "two lines";
  EXPECT_EQ(loadedLabels, labels);

  // Fewer colours recolour the first entries only; 8-bit colours keep their top four bits.
  const PaletteFileColors three = ParsePaletteFile(
      "GIMP Palette\r\nName: x\r\nColumns: 3\r\n# c\r\n\r\n15 15 15 Black\r\n"
      "255 0 0\r\n200 100 50   Brick red  \r\n");
  ApplyPaletteFile(three, loaded, loadedLabels);
  EXPECT_EQ(loaded.Entry(0), PaletteEntry{});
  EXPECT_EQ(loaded.Entry(1), (PaletteEntry{15, 0, 0}));
  EXPECT_EQ(loaded.Entry(2), (PaletteEntry{12, 6, 3}));
  EXPECT_EQ(loaded.Entry(3), palette.Entry(3));
  EXPECT_EQ(loadedLabels[0], "Black");
  EXPECT_EQ(loadedLabels[1], "");
  EXPECT_EQ(loadedLabels[2], "Brick red");
  EXPECT_EQ(loadedLabels[3], labels[3]);
}

struct MalformedPaletteCase {
  const char* name;
  std::string text;
  std::string message;
};
void PrintTo(const MalformedPaletteCase& c, std::ostream* os) {
  *os << c.name;
}

class MalformedPaletteFile : public ::testing::TestWithParam<MalformedPaletteCase> {};

// A file that is not a palette of up to eight colours starting with black says what is wrong and where,
// and leaves the palette and labels as they were.
TEST_P(MalformedPaletteFile, SaysWhichLineAndChangesNothing) {
  const MalformedPaletteCase& c = GetParam();
  testing::ScratchFolder folder;
  testing::WriteWholeFile(folder / "bad.gpl", c.text);
  Palette palette;
  palette.SetEntry(1, {1, 2, 3});
  ColorLabels labels = DefaultColorLabels();
  const Palette before = palette;
  try {
    LoadPaletteFile(folder / "bad.gpl", palette, labels);
    FAIL() << "loaded";
  } catch (const EInvalidPalette& e) {
    EXPECT_EQ(e.what(), c.message);
  }
  EXPECT_EQ(palette, before);
  EXPECT_EQ(labels, DefaultColorLabels());
}

const std::string kHead = "GIMP Palette\nName: p\n";
const std::string kNine = "0 0 0\n1 1 1\n2 2 2\n3 3 3\n4 4 4\n5 5 5\n6 6 6\n7 7 7\n8 8 8 nine\n";

INSTANTIATE_TEST_SUITE_P(
    Files, MalformedPaletteFile,
    ::testing::Values(
        MalformedPaletteCase{"Empty", "", "パレットファイルの 1 行目が不正です"},
        MalformedPaletteCase{"NotAPalette", "JASC-PAL\n0100\n", "パレットファイルの 1 行目が不正です"},
        MalformedPaletteCase{"ChannelPast255", kHead + "0 0 0\n0 256 0 x\n",
                             "パレットファイルの 4 行目が不正です"},
        MalformedPaletteCase{"NegativeChannel", kHead + "0 0 0\n-1 0 0\n",
                             "パレットファイルの 4 行目が不正です"},
        MalformedPaletteCase{"TwoChannels", kHead + "#\n0 0 0\n\n10 20\n",
                             "パレットファイルの 6 行目が不正です"},
        MalformedPaletteCase{"NameStuckToTheNumber", kHead + "0 0 0x\n",
                             "パレットファイルの 3 行目が不正です"},
        MalformedPaletteCase{"NameNotUtf8", kHead + "0 0 0 \xff\n", "パレットファイルの 3 行目が不正です"},
        MalformedPaletteCase{"ColumnsNotANumber", "GIMP Palette\nColumns: many\n0 0 0\n",
                             "パレットファイルの 2 行目が不正です"},
        MalformedPaletteCase{"HeaderAfterTheColours", kHead + "0 0 0\nName: q\n",
                             "パレットファイルの 4 行目が不正です"},
        MalformedPaletteCase{"NineColours", kHead + kNine, "パレットファイルの 11 行目: 色は 8 色までです"},
        MalformedPaletteCase{"FirstNotBlack", kHead + "16 0 0 dark red\n",
                             "パレットファイルの最初の色が黒ではありません"},
        MalformedPaletteCase{"NoColours", kHead + "# nothing\n", "パレットファイルに色がありません"}),
    [](const auto& info) { return info.param.name; });

// Each entry's sheets: needed from the totals, short by what the stock lacks, never less than nothing;
// entries without a stock are never short.
TEST(SheetStock, ShortfallPerEntryAndItsLines) {
  const CellCounts totals = {5, 1234, 0, 7, 1234567, 10, 3, 0};
  SheetStock stock;
  stock[1] = 0;
  stock[3] = 7;
  stock[4] = 1;
  stock[5] = 20;
  stock[6] = 2;
  const SheetFigureTable figures = SheetFiguresOf(totals, stock);
  const std::int64_t expectedShort[] = {0, 1234, 0, 0, 1234566, 0, 1, 0};
  for (int i = 0; i < kPaletteColors; ++i) {
    EXPECT_EQ(figures[i].needed, totals[i]) << i;
    EXPECT_EQ(figures[i].onHand, stock[i]) << i;
    EXPECT_EQ(figures[i].shortBy, expectedShort[i]) << i;
  }
  EXPECT_EQ(ShortageLines(figures, DefaultColorLabels()),
            (std::vector<std::string>{"不足: 青 1,234枚", "不足: 緑 1,234,566枚", "不足: 黄 1枚"}));
  const std::pair<std::int64_t, const char*> grouped[] = {
      {0, "0"},         {999, "999"}, {1000, "1,000"}, {100000, "100,000"}, {40020001, "40,020,001"},
      {-1234, "-1,234"}};
  for (const auto& [count, text] : grouped)
    EXPECT_EQ(GroupedCount(count), text);
}

}  // namespace
}  // namespace mozenta
