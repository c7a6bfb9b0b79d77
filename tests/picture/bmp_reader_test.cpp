// BMP headers the public suite lacks, built in memory with each field named.
#include "picture/bmp_reader.h"

#include <gtest/gtest.h>

#include "bmp_builder.h"
#include "picture/errors.h"

namespace mozenta {
namespace {

using testing::BmpFields;
using testing::BuildBmp;
using testing::Words;

std::unique_ptr<TBitmap> Decode(std::vector<std::uint8_t> bytes) {
  InputFile file = InputFile::FromBytes(std::move(bytes));
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromFile(file);
  return bitmap;
}

// Two rows of two 24-bit pixels, bottom-up: the bottom row first in the file.
const std::vector<std::uint8_t> kTwoByTwo24 = {
    0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0,  // bottom row: blue, green, red of (0,1), then of (1,1)
    0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0, 0,  // top row
};

BmpFields TwoByTwo24() {
  BmpFields f;
  f.pixels = kTwoByTwo24;
  return f;
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t size) {
  bytes.resize(size);
  return bytes;
}

enum class Expect { kReadError, kInvalid };

struct RefusedCase {
  const char* name;
  std::vector<std::uint8_t> bytes;
  Expect expect;
};
void PrintTo(const RefusedCase& c, std::ostream* os) {
  *os << c.name;
}

std::vector<RefusedCase> RefusedCases() {
  std::vector<RefusedCase> cases;
  auto add = [&](const char* name, std::vector<std::uint8_t> bytes, Expect expect) {
    cases.push_back({name, std::move(bytes), expect});
  };
  auto with = [](auto change) {
    BmpFields f = TwoByTwo24();
    change(f);
    return BuildBmp(f);
  };
  const std::vector<std::uint8_t> good = BuildBmp(TwoByTwo24());
  add("OneByte", Cut(good, 1), Expect::kReadError);
  add("TenBytes", Cut(good, 10), Expect::kReadError);
  add("ThirteenBytes", Cut(good, 13), Expect::kReadError);
  add("WrongSignature", with([](BmpFields& f) { f.signature = 0x4142; }), Expect::kInvalid);
  add("EndsInsideHeaderSize", Cut(good, 16), Expect::kInvalid);
  add("EndsInsideInfoHeader", Cut(good, 40), Expect::kInvalid);
  add("HeaderSize16", with([](BmpFields& f) { f.headerSize = 16; }), Expect::kInvalid);
  add("HeaderSize66", with([](BmpFields& f) { f.headerSize = 66; }), Expect::kInvalid);
  add("HeaderSizeHuge", with([](BmpFields& f) { f.headerSize = 0xFFFFFFF0; }), Expect::kInvalid);
  add("PlanesTwo", with([](BmpFields& f) { f.planes = 2; }), Expect::kInvalid);
  // Planes are checked before the colour table is read.
  add("PlanesTwoWithTableCut", with([](BmpFields& f) {
        f.planes = 2;
        f.bitsPerPixel = 8;
        f.pixels.clear();
      }),
      Expect::kInvalid);
  add("TwoBitsPerPixel", with([](BmpFields& f) {
        f.bitsPerPixel = 2;
        f.colorsUsed = 4;
        f.colorTable.assign(16, 0);
      }),
      Expect::kInvalid);
  add("ZeroBitsPerPixel", with([](BmpFields& f) { f.bitsPerPixel = 0; }), Expect::kInvalid);
  add("SixtyFourBitsPerPixel", with([](BmpFields& f) { f.bitsPerPixel = 64; }), Expect::kInvalid);
  add("Compression4", with([](BmpFields& f) { f.compression = 4; }), Expect::kInvalid);
  add("Compression5", with([](BmpFields& f) { f.compression = 5; }), Expect::kInvalid);
  add("Compression6", with([](BmpFields& f) { f.compression = 6; }), Expect::kInvalid);
  add("Rle8AtFourBits", with([](BmpFields& f) {
        f.bitsPerPixel = 4;
        f.compression = 1;
        f.colorTable.assign(64, 0);
      }),
      Expect::kInvalid);
  add("Rle8TopDown", with([](BmpFields& f) {
        f.bitsPerPixel = 8;
        f.compression = 1;
        f.height = -2;
        f.colorsUsed = 1;
        f.colorTable.assign(4, 0);
        f.pixels = {0, 1};
      }),
      Expect::kInvalid);
  add("BitfieldsAt24Bits", with([](BmpFields& f) { f.compression = 3; }), Expect::kInvalid);
  auto masks16 = [](std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    BmpFields f;
    f.bitsPerPixel = 16;
    f.compression = 3;
    f.masksAfterHeader = Words({r, g, b});
    f.pixels.assign(8, 0);
    return BuildBmp(f);
  };
  add("MaskEmpty", masks16(0xF800, 0x07E0, 0), Expect::kInvalid);
  add("MasksOverlap", masks16(0xF800, 0x0FE0, 0x001F), Expect::kInvalid);
  add("MaskNotContiguous", masks16(0xF000, 0x07E0, 0x0811), Expect::kInvalid);
  add("MaskBeyondSixteenBits", masks16(0x1F0000, 0x07E0, 0x001F), Expect::kInvalid);
  add("EndsInsideMasks", Cut(masks16(0xF800, 0x07E0, 0x001F), 14 + 40 + 6), Expect::kReadError);
  add("EndsInsideColourTable", with([](BmpFields& f) {
        f.bitsPerPixel = 8;
        f.colorTable.assign(1000, 0);
        f.pixels.clear();
      }),
      Expect::kReadError);
  // A colours-used field that announces four billion entries is refused without reading or allocating them.
  add("ColoursUsedHuge", with([](BmpFields& f) {
        f.bitsPerPixel = 8;
        f.colorsUsed = 0xFFFFFFFF;
      }),
      Expect::kReadError);
  add("ColoursUsedHugeAt24Bits", with([](BmpFields& f) { f.colorsUsed = 0x40000000; }), Expect::kReadError);
  add("WidthZero", with([](BmpFields& f) { f.width = 0; }), Expect::kInvalid);
  add("WidthNegative", with([](BmpFields& f) { f.width = -2; }), Expect::kInvalid);
  add("HeightZero", with([](BmpFields& f) { f.height = 0; }), Expect::kInvalid);
  add("HeightMostNegative", with([](BmpFields& f) { f.height = INT32_MIN; }), Expect::kInvalid);
  add("StoreOverOneGibibyte", with([](BmpFields& f) {
        f.width = 20000;
        f.height = 20000;
      }),
      Expect::kInvalid);
  add("RowLengthOverflows", with([](BmpFields& f) {
        f.width = 0x7FFFFFFF;
        f.height = -0x7FFFFFFF;
        f.bitsPerPixel = 32;
      }),
      Expect::kInvalid);
  // RLE8 over a 2 × 2 picture with a one-entry table.
  auto rle8 = [](std::vector<std::uint8_t> data) {
    BmpFields f;
    f.bitsPerPixel = 8;
    f.compression = 1;
    f.colorsUsed = 1;
    f.colorTable = {0, 0, 255, 0};
    f.pixels = std::move(data);
    return BuildBmp(f);
  };
  add("RleRunPastRowEnd", rle8({3, 0, 0, 1}), Expect::kInvalid);
  add("RleAbsoluteRunPastRowEnd", rle8({0, 3, 0, 0, 0, 0, 0, 1}), Expect::kInvalid);
  add("RleRunAboveTopRow", rle8({0, 0, 0, 0, 1, 0, 0, 1}), Expect::kInvalid);
  add("RleDeltaPastRowEnd", rle8({0, 2, 3, 0, 0, 1}), Expect::kInvalid);
  add("RleDeltaAboveTopRow", rle8({0, 2, 0, 3, 0, 1}), Expect::kInvalid);
  auto rle4 = [](std::vector<std::uint8_t> data) {
    BmpFields f;
    f.bitsPerPixel = 4;
    f.compression = 2;
    f.width = 3;
    f.colorsUsed = 1;
    f.colorTable = {0, 0, 255, 0};
    f.pixels = std::move(data);
    return BuildBmp(f);
  };
  add("Rle4RunPastRowEnd", rle4({4, 0x12, 0, 1}), Expect::kInvalid);
  return cases;
}

class BmpRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(BmpRefused, FailsWithTheExactMessageAndKeepsTheOldPicture) {
  InputFile file = InputFile::FromBytes(GetParam().bytes);
  TBitmap bitmap;
  bitmap.SetSize(5, 7);
  if (GetParam().expect == Expect::kReadError) {
    try {
      bitmap.LoadFromFile(file);
      FAIL() << "decoded";
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), "ストリームからの読み込みエラー");
    }
  } else {
    try {
      bitmap.LoadFromFile(file);
      FAIL() << "decoded";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), "ビットマップイメージが不正です");
    }
  }
  EXPECT_EQ(bitmap.Width(), 5);
  EXPECT_EQ(bitmap.Height(), 7);
}

INSTANTIATE_TEST_SUITE_P(Headers, BmpRefused, ::testing::ValuesIn(RefusedCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BmpReader, EmptyFileGivesAnEmptyPicture) {
  auto bitmap = Decode({});
  EXPECT_EQ(bitmap->Width(), 0);
  EXPECT_EQ(bitmap->Height(), 0);
  EXPECT_TRUE(bitmap->Empty());
}

TEST(BmpReader, TwentyFourBitPixelsReadAsStoredAndTheHeaderIsKept) {
  const std::vector<std::uint8_t> bytes = BuildBmp(TwoByTwo24());
  auto bitmap = Decode(bytes);
  EXPECT_EQ(bitmap->GetPixel(0, 0), 0x111213u);
  EXPECT_EQ(bitmap->GetPixel(1, 0), 0x141516u);
  EXPECT_EQ(bitmap->GetPixel(0, 1), 0x010203u);
  EXPECT_EQ(bitmap->GetPixel(1, 1), 0x040506u);
  EXPECT_EQ(bitmap->Format().header, std::vector<std::uint8_t>(bytes.begin() + 14, bytes.begin() + 54));
}

TEST(BmpReader, NegativeHeightGivesTheSameUprightPictureAsItsBottomUpTwin) {
  BmpFields f = TwoByTwo24();
  f.height = -2;
  f.pixels = {0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0, 0, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0};
  auto topDown = Decode(BuildBmp(f));
  auto bottomUp = Decode(BuildBmp(TwoByTwo24()));
  EXPECT_TRUE(topDown->TopDown());
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x)
      EXPECT_EQ(topDown->GetPixel(x, y), bottomUp->GetPixel(x, y));
}

struct OffsetCase {
  const char* name;
  std::size_t gap;                          // bytes written between table and pixels
  std::optional<std::uint32_t> dataOffset;  // the file header's field
  bool readFromOffset;                      // true: the pixels come out right
};
void PrintTo(const OffsetCase& c, std::ostream* os) {
  *os << c.name;
}

class BmpDataOffset : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(BmpDataOffset, PixelsStartAtTheOffsetOnlyWhenItLiesPastTheTableAndInsideTheFile) {
  const OffsetCase& c = GetParam();
  BmpFields f = TwoByTwo24();
  f.gap.assign(c.gap, 0xEE);
  f.dataOffset = c.dataOffset;
  auto bitmap = Decode(BuildBmp(f));
  if (c.readFromOffset) {
    EXPECT_EQ(bitmap->GetPixel(0, 1), 0x010203u);
    EXPECT_EQ(bitmap->GetPixel(1, 0), 0x141516u);
  } else {
    // Read from the end of the table: the gap's bytes come first.
    EXPECT_EQ(bitmap->GetPixel(0, 1), c.gap > 0 ? 0xEEEEEEu : 0x010203u);
  }
}

INSTANTIATE_TEST_SUITE_P(Offsets, BmpDataOffset,
                         ::testing::Values(OffsetCase{"GapAnnounced", 6, 54 + 6, true},
                                           OffsetCase{"NoGap", 0, 54, true},
                                           OffsetCase{"OffsetZero", 0, 0, true},
                                           OffsetCase{"OffsetInsideHeader", 0, 20, true},
                                           OffsetCase{"GapWithOffsetInsideTheHeader", 6, 30, false},
                                           OffsetCase{"OffsetPastTheEndOfTheFile", 6, 5000, false},
                                           OffsetCase{"OffsetAtTheEndOfTheFile", 6, 54 + 6 + 16, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BmpReader, MasksFollowAFortyByteHeaderForBitfields) {
  BmpFields f;
  f.width = 2;
  f.height = 1;
  f.bitsPerPixel = 16;
  f.compression = 3;
  f.masksAfterHeader = Words({0xF800, 0x07E0, 0x001F});  // 5-6-5
  f.pixels = {0x00, 0xF8, 0x1F, 0x00};                   // pure red, pure blue
  auto bitmap = Decode(BuildBmp(f));
  EXPECT_EQ(bitmap->Format().masks, (std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F}));
  EXPECT_EQ(bitmap->GetPixel(0, 0), 0x0000FFu);
  EXPECT_EQ(bitmap->GetPixel(1, 0), 0xFF0000u);
}

TEST(BmpReader, MasksInsideA124ByteHeaderAndNothingReadBeforeThePixels) {
  BmpFields f;
  f.headerSize = 124;
  f.width = 2;
  f.height = 1;
  f.bitsPerPixel = 16;
  f.compression = 3;
  f.headerMasks = {0xF800, 0x07E0, 0x001F};
  f.dataOffset = 0;                     // no help from the file header
  f.pixels = {0xE0, 0x07, 0xFF, 0xFF};  // pure green, white
  auto bitmap = Decode(BuildBmp(f));
  EXPECT_EQ(bitmap->GetPixel(0, 0), 0x00FF00u);
  EXPECT_EQ(bitmap->GetPixel(1, 0), 0xFFFFFFu);
  EXPECT_EQ(bitmap->Format().header.size(), 124u);
}

TEST(BmpReader, MasksOfALongerHeaderAreIgnoredWithoutBitfields) {
  BmpFields f;
  f.headerSize = 108;
  f.width = 1;
  f.height = 1;
  f.bitsPerPixel = 16;
  f.headerMasks = {0xF800, 0x07E0, 0x001F};
  f.pixels = {0x00, 0x7C, 0, 0};  // red in the default 5-5-5 layout
  EXPECT_EQ(Decode(BuildBmp(f))->GetPixel(0, 0), 0x0000FFu);
}

TEST(BmpReader, SixteenBitChannelsWidenWithRounding) {
  BmpFields f;
  f.width = 2;
  f.height = 1;
  f.bitsPerPixel = 16;
  f.pixels = {0x21, 0x04, 0x63, 0x0C, 0, 0};  // 5-5-5 levels (1, 1, 1) and (3, 3, 3)
  auto bitmap = Decode(BuildBmp(f));
  EXPECT_EQ(bitmap->GetPixel(0, 0), 0x080808u);  // 255 / 31 = 8.2
  EXPECT_EQ(bitmap->GetPixel(1, 0), 0x191919u);  // 24.7
}

TEST(BmpReader, WideBitfieldChannelsWidenWithRounding) {
  BmpFields f;
  f.width = 1;
  f.height = 1;
  f.bitsPerPixel = 32;
  f.compression = 3;
  f.masksAfterHeader = Words({0x3FF00000, 0x000FFC00, 0x000003FF});  // 10 bits each
  f.pixels = Words({(357u << 20) | (1023u << 10) | 2u});
  EXPECT_EQ(Decode(BuildBmp(f))->GetPixel(0, 0), (255u << 8) | 89u);  // 88.99, 255, 0.498
}

struct TableCase {
  const char* name;
  std::uint32_t headerSize;
  std::uint16_t bitsPerPixel;
  std::uint32_t colorsUsed;
  std::size_t entriesInFile;
  std::size_t entriesKept;
};
void PrintTo(const TableCase& c, std::ostream* os) {
  *os << c.name;
}

class BmpColourTable : public ::testing::TestWithParam<TableCase> {};

TEST_P(BmpColourTable, EntriesAreCountedReadAndSkipped) {
  const TableCase& c = GetParam();
  const std::size_t entryBytes = c.headerSize == 12 ? 3 : 4;
  BmpFields f;
  f.headerSize = c.headerSize;
  f.width = 1;
  f.height = 1;
  f.bitsPerPixel = c.bitsPerPixel;
  f.colorsUsed = c.colorsUsed;
  for (std::size_t i = 0; i < c.entriesInFile; ++i) {
    const std::uint8_t entry[4] = {static_cast<std::uint8_t>(i), 0x40, static_cast<std::uint8_t>(i >> 8), 0};
    f.colorTable.insert(f.colorTable.end(), entry, entry + entryBytes);
  }
  // The last index of the kept table, or a 24-bit pixel.
  const std::uint8_t last = static_cast<std::uint8_t>(c.entriesKept == 0 ? 0 : c.entriesKept - 1);
  f.pixels =
      c.bitsPerPixel == 24 ? std::vector<std::uint8_t>{1, 2, 3, 0} : std::vector<std::uint8_t>{0, 0, 0, 0};
  if (c.bitsPerPixel == 8) f.pixels[0] = last;
  if (c.bitsPerPixel == 4) f.pixels[0] = static_cast<std::uint8_t>(last << 4);
  if (c.bitsPerPixel == 1) f.pixels[0] = static_cast<std::uint8_t>(last << 7);
  f.dataOffset = 0;  // the reader finds the pixels after the table by itself
  auto bitmap = Decode(BuildBmp(f));
  ASSERT_EQ(bitmap->Format().colorTable.size(), c.entriesKept);
  if (c.bitsPerPixel == 24) {
    EXPECT_EQ(bitmap->GetPixel(0, 0), 0x010203u);
  } else {
    EXPECT_EQ(bitmap->GetPixel(0, 0), (std::uint32_t{last} << 16) | 0x4000u | (last >> 8));
  }
}

INSTANTIATE_TEST_SUITE_P(Tables, BmpColourTable,
                         ::testing::Values(TableCase{"OneBitDefaultsToTwo", 40, 1, 0, 2, 2},
                                           TableCase{"FourBitsDefaultToSixteen", 40, 4, 0, 16, 16},
                                           TableCase{"EightBitsDefaultToTwoHundredFiftySix", 40, 8, 0, 256,
                                                     256},
                                           TableCase{"ColoursUsedGivesTheCount", 40, 8, 3, 3, 3},
                                           TableCase{"Os2CoreHeaderUsesThreeByteEntries", 12, 8, 0, 256, 256},
                                           TableCase{"Os2CoreHeaderOneBit", 12, 1, 0, 2, 2},
                                           TableCase{"OverTwoHundredFiftySixIsCut", 40, 8, 300, 300, 256},
                                           TableCase{"TableOfA24BitFileIsSkipped", 40, 24, 5, 5, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BmpReader, ShortPixelDataLeavesZeroBytesAtTheTopOfABottomUpPicture) {
  BmpFields f = TwoByTwo24();
  f.pixels.resize(8);  // the bottom row only
  auto bitmap = Decode(BuildBmp(f));
  EXPECT_EQ(bitmap->GetPixel(0, 1), 0x010203u);
  EXPECT_EQ(bitmap->GetPixel(0, 0), 0u);
  EXPECT_EQ(bitmap->GetPixel(1, 0), 0u);
}

TEST(BmpReader, ImageSizeLimitsTheBytesTakenAndZeroMeansTheWholePicture) {
  BmpFields f = TwoByTwo24();
  f.imageSize = 3;
  auto limited = Decode(BuildBmp(f));
  EXPECT_EQ(limited->GetPixel(0, 1), 0x010203u);
  EXPECT_EQ(limited->GetPixel(1, 1), 0u);  // the fourth byte and beyond not taken
  f.imageSize = 0;
  EXPECT_EQ(Decode(BuildBmp(f))->GetPixel(1, 0), 0x141516u);
  f.imageSize = 0x7FFFFFFF;  // larger than the file: what the file has
  EXPECT_EQ(Decode(BuildBmp(f))->GetPixel(1, 0), 0x141516u);
}

// RLE over a 4 × 3 picture; table entry i is (i, 2i, 3i) as red, green, blue.
std::unique_ptr<TBitmap> DecodeRle(int bits, std::vector<std::uint8_t> data, std::uint32_t entries = 16) {
  BmpFields f;
  f.width = 4;
  f.height = 3;
  f.bitsPerPixel = static_cast<std::uint16_t>(bits);
  f.compression = bits == 8 ? 1 : 2;
  f.colorsUsed = entries;
  for (std::uint32_t i = 0; i < entries; ++i) {
    const std::vector<std::uint8_t> entry = {
        static_cast<std::uint8_t>(3 * i), static_cast<std::uint8_t>(2 * i), static_cast<std::uint8_t>(i), 0};
    f.colorTable.insert(f.colorTable.end(), entry.begin(), entry.end());
  }
  f.imageSize = static_cast<std::uint32_t>(data.size());
  f.pixels = std::move(data);
  return Decode(BuildBmp(f));
}

std::uint32_t Entry(std::uint32_t i) {
  return i | (2 * i) << 8 | (3 * i) << 16;
}

// Rows of the picture from the top, as table indices (-1: left black).
void ExpectRows(const TBitmap& bitmap, const std::vector<std::vector<int>>& rows) {
  ASSERT_EQ(bitmap.Height(), static_cast<int>(rows.size()));
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const int index = rows[y][x];
      EXPECT_EQ(bitmap.GetPixel(x, y), index < 0 ? 0u : Entry(index)) << x << ", " << y;
    }
}

TEST(BmpRle, Rle8RunsAbsoluteRunsEndOfLineDeltaAndEndOfBitmap) {
  auto bitmap = DecodeRle(8, {
                                 4, 7,              // bottom row: a run of four 7s
                                 0, 0,              // end of line
                                 0, 3, 1, 2, 3, 0,  // an absolute run of three, padded to a word
                                 0, 0,              //
                                 0, 2, 2, 0,        // delta: two to the right on the top row
                                 2, 9,              // a run of two 9s
                                 0, 1,              // end of bitmap
                                 5, 5,              // never read
                             });
  EXPECT_EQ(bitmap->BitsPerPixel(), 24);
  EXPECT_TRUE(bitmap->Format().colorTable.empty());
  ExpectRows(*bitmap, {{-1, -1, 9, 9}, {1, 2, 3, -1}, {7, 7, 7, 7}});
}

TEST(BmpRle, Rle4AlternatesTheTwoIndicesOfARun) {
  auto bitmap = DecodeRle(4, {
                                 3, 0x12,           // 1 2 1
                                 0, 0,              //
                                 0, 3, 0x45, 0x60,  // absolute 4 5 6: two bytes, a whole word already
                                 0, 0,              //
                                 4, 0xAB, 0, 1,     // top row: A B A B
                             });
  ExpectRows(*bitmap, {{10, 11, 10, 11}, {4, 5, 6, -1}, {1, 2, 1, -1}});
}

TEST(BmpRle, DataEndingEarlyLeavesTheRestBlack) {
  ExpectRows(*DecodeRle(8, {2, 3}), {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {3, 3, -1, -1}});
  // An absolute run cut short is dropped whole.
  ExpectRows(*DecodeRle(8, {1, 3, 0, 4, 1, 2}), {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {3, -1, -1, -1}});
}

TEST(BmpRle, IndicesBeyondTheTableReadBlack) {
  ExpectRows(*DecodeRle(8, {2, 1, 2, 200, 0, 1}, 2), {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {1, 1, -1, -1}});
}

TEST(BmpRle, DeltaToTheEndOfTheLastRowIsAllowed) {
  ExpectRows(*DecodeRle(8, {0, 2, 4, 3, 0, 1}), {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, -1}});
}

}  // namespace
}  // namespace mozenta
