// Every file of the public BMP suite, decoded and read back through the packed-colour pixel read: good
// files against their reference images, questionable ones against the outcome we chose, bad ones against
// the exact error (or the picture, where the fault lies in a field the reader does not use).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "picture/bitmap.h"
#include "picture/errors.h"
#include "picture/input_file.h"
#include "png_image.h"

namespace mozenta {
namespace {

const std::string kSuite = std::string(MOZENTA_TEST_DATA_DIR) + "/bmpsuite/";

enum class Failure { kNone, kRead, kInvalid };

struct SuiteCase {
  const char* file;       // under bmpsuite/
  const char* reference;  // PNG under bmpsuite/html/, when the file decodes
  Failure failure = Failure::kNone;
  int tolerance = 0;          // largest channel difference allowed
  bool swapRedGreen = false;  // the reference shows red and green exchanged
};

std::ostream& operator<<(std::ostream& out, const SuiteCase& c) {
  return out << c.file;
}

std::string TestName(const ::testing::TestParamInfo<SuiteCase>& info) {
  std::string name = info.param.file;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

int ChannelDifference(std::uint32_t a, std::uint32_t b) {
  int largest = 0;
  for (int shift = 0; shift < 24; shift += 8)
    largest = std::max(
        largest, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return largest;
}

std::uint32_t SwapRedGreen(std::uint32_t c) {
  return ((c & 0xFF) << 8) | ((c >> 8) & 0xFF) | (c & 0xFF0000);
}

// Decodes `file` and compares every pixel with the reference image, except those the reference leaves fully
// transparent (their colour is undefined there); reports the first difference.
void ExpectMatchesReference(const std::string& file, const std::string& reference, int tolerance = 0,
                            bool swapRedGreen = false) {
  InputFile input(kSuite + file);
  TBitmap bitmap;
  bitmap.LoadFromFile(input);
  const testing::RgbImage expected = testing::ReadPng(kSuite + "html/" + reference);
  ASSERT_EQ(bitmap.Width(), expected.width);
  ASSERT_EQ(bitmap.Height(), expected.height);
  std::vector<std::uint32_t> row(bitmap.Width());
  int differences = 0;
  for (int y = 0; y < bitmap.Height(); ++y) {
    bitmap.ReadRow(y, 0, bitmap.Width(), row.data());
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (expected.AlphaAt(x, y) == 0) continue;
      const std::uint32_t want = swapRedGreen ? SwapRedGreen(expected.At(x, y)) : expected.At(x, y);
      if (ChannelDifference(row[x], want) > tolerance && differences++ == 0) {
        ADD_FAILURE() << "first difference at (" << x << ", " << y << "): got " << std::hex << row[x]
                      << ", expected " << want;
      }
    }
  }
  EXPECT_EQ(differences, 0);
}

void ExpectFailure(const std::string& file, Failure failure) {
  InputFile input(kSuite + file);
  TBitmap bitmap;
  try {
    bitmap.LoadFromFile(input);
    ADD_FAILURE() << file << " decoded";
  } catch (const EReadError& e) {
    EXPECT_EQ(failure, Failure::kRead) << e.what();
    EXPECT_STREQ(e.what(), "ストリームからの読み込みエラー");
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(failure, Failure::kInvalid) << e.what();
    EXPECT_STREQ(e.what(), "ビットマップイメージが不正です");
  }
  EXPECT_EQ(bitmap.Width(), 0);  // a failed read leaves the picture as it was
}

class BmpSuite : public ::testing::TestWithParam<SuiteCase> {};

TEST_P(BmpSuite, DecodesToItsReferenceOrFailsWithTheExactMessage) {
  const SuiteCase& c = GetParam();
  if (c.failure == Failure::kNone) {
    ExpectMatchesReference(c.file, c.reference, c.tolerance, c.swapRedGreen);
  } else {
    ExpectFailure(c.file, c.failure);
  }
}

constexpr Failure kRead = Failure::kRead;
constexpr Failure kInvalid = Failure::kInvalid;

INSTANTIATE_TEST_SUITE_P(
    Good, BmpSuite,
    ::testing::Values(SuiteCase{"g/pal1.bmp", "pal1.png"}, SuiteCase{"g/pal1bg.bmp", "pal1bg.png"},
                      SuiteCase{"g/pal1wb.bmp", "pal1.png"}, SuiteCase{"g/pal4.bmp", "pal4.png"},
                      SuiteCase{"g/pal4gs.bmp", "pal4gs.png"}, SuiteCase{"g/pal4rle.bmp", "pal4.png"},
                      SuiteCase{"g/pal8-0.bmp", "pal8.png"}, SuiteCase{"g/pal8.bmp", "pal8.png"},
                      SuiteCase{"g/pal8gs.bmp", "pal8gs.png"},
                      SuiteCase{"g/pal8nonsquare.bmp", "pal8nonsquare-e.png"},
                      SuiteCase{"g/pal8os2.bmp", "pal8.png"}, SuiteCase{"g/pal8rle.bmp", "pal8.png"},
                      SuiteCase{"g/pal8topdown.bmp", "pal8.png"}, SuiteCase{"g/pal8v4.bmp", "pal8.png"},
                      SuiteCase{"g/pal8v5.bmp", "pal8.png"}, SuiteCase{"g/pal8w124.bmp", "pal8w124.png"},
                      SuiteCase{"g/pal8w125.bmp", "pal8w125.png"},
                      SuiteCase{"g/pal8w126.bmp", "pal8w126.png"},
                      SuiteCase{"g/rgb16-565.bmp", "rgb16-565.png"},
                      SuiteCase{"g/rgb16-565pal.bmp", "rgb16-565.png"}, SuiteCase{"g/rgb16.bmp", "rgb16.png"},
                      SuiteCase{"g/rgb16bfdef.bmp", "rgb16.png"}, SuiteCase{"g/rgb24.bmp", "rgb24.png"},
                      SuiteCase{"g/rgb24pal.bmp", "rgb24.png"}, SuiteCase{"g/rgb32.bmp", "rgb24.png"},
                      SuiteCase{"g/rgb32bf.bmp", "rgb24.png"}, SuiteCase{"g/rgb32bfdef.bmp", "rgb24.png"}),
    TestName);

// Questionable files: the outcome each one has, so that a change of behaviour shows.
INSTANTIATE_TEST_SUITE_P(
    Questionable, BmpSuite,
    ::testing::Values(
        SuiteCase{"q/pal1huffmsb.bmp", nullptr, kInvalid},  // compression 3 at 1 bit per pixel
        SuiteCase{"q/pal1p1.bmp", "pal1p1.png"},
        SuiteCase{"q/pal2.bmp", nullptr, kInvalid},  // 2 bits per pixel
        SuiteCase{"q/pal2color.bmp", nullptr, kInvalid},
        // Pixels skipped by delta codes or early end markers stay black.
        SuiteCase{"q/pal4rlecut.bmp", "pal4rlecut-b.png"},
        SuiteCase{"q/pal4rletrns.bmp", "pal4rletrns-b.png"},
        SuiteCase{"q/pal8rlecut.bmp", "pal8rlecut-b.png"},
        SuiteCase{"q/pal8rletrns.bmp", "pal8rletrns-b.png"},
        SuiteCase{"q/pal8offs.bmp", "pal8.png"},  // the data offset announces the gap
        SuiteCase{"q/pal8os2-hs.bmp", "pal8.png"}, SuiteCase{"q/pal8os2-sz.bmp", "pal8.png"},
        SuiteCase{"q/pal8os2v2-16.bmp", nullptr, kInvalid},  // a 16-byte header
        SuiteCase{"q/pal8os2v2-40sz.bmp", "pal8.png"}, SuiteCase{"q/pal8os2v2-sz.bmp", "pal8.png"},
        SuiteCase{"q/pal8os2v2.bmp", "pal8.png"},
        SuiteCase{"q/pal8oversizepal.bmp", "pal8.png"},  // 300 entries, 256 kept
        SuiteCase{"q/rgb16-231.bmp", "rgb16-231.png"}, SuiteCase{"q/rgb16-3103.bmp", "rgb16-3103.png"},
        SuiteCase{"q/rgb16faketrns.bmp", "rgb16.png"},
        SuiteCase{"q/rgb24jpeg.bmp", nullptr, kInvalid},  // compression 4
        SuiteCase{"q/rgb24largepal.bmp", "rgb24.png"}, SuiteCase{"q/rgb24lprof.bmp", "rgb24.png"},
        SuiteCase{"q/rgb24png.bmp", nullptr, kInvalid},  // compression 5
        SuiteCase{"q/rgb24prof.bmp", "rgb24.png"},
        // Its colour profile exchanges red and green; pixels read as stored, without the profile.
        SuiteCase{.file = "q/rgb24prof2.bmp", .reference = "rgb24.png", .swapRedGreen = true},
        SuiteCase{"q/rgb24rle24.bmp", nullptr, kInvalid},  // compression 4
        // 11-bit channels made from 8-bit ones: the reference is the 8-bit original, one level off in places.
        SuiteCase{.file = "q/rgb32-111110.bmp", .reference = "rgb24.png", .tolerance = 1},
        SuiteCase{"q/rgb32-7187.bmp", "rgb32-7187.png"}, SuiteCase{"q/rgb32-xbgr.bmp", "rgb24.png"},
        SuiteCase{"q/rgb32fakealpha.bmp", "rgb24.png"}, SuiteCase{"q/rgb32h52.bmp", "rgb24.png"},
        // Alpha is not part of the picture: the colour channels match the reference's.
        SuiteCase{"q/rgba16-1924.bmp", "rgba16-1924.png"}, SuiteCase{"q/rgba16-4444.bmp", "rgba16-4444.png"},
        SuiteCase{"q/rgba16-5551.bmp", "rgba16-5551.png"}, SuiteCase{"q/rgba32-1.bmp", "rgba32.png"},
        SuiteCase{"q/rgba32-1010102.bmp", "rgba32-1010102.png"}, SuiteCase{"q/rgba32-2.bmp", "rgba32.png"},
        SuiteCase{"q/rgba32-61754.bmp", "rgba32-61754.png"},
        SuiteCase{"q/rgba32-81284.bmp", "rgba32-81284.png"},
        SuiteCase{"q/rgba32abf.bmp", nullptr, kInvalid},  // compression 6
        SuiteCase{"q/rgba32h56.bmp", "rgba32.png"},
        SuiteCase{"q/rgba64.bmp", nullptr, kInvalid},  // 64 bits per pixel
        SuiteCase{"x/ba-bm.bmp", nullptr, kInvalid}),  // a bitmap array, not "BM"
    TestName);

// Bad files. Four of them are g/pal1.bmp with a wrong field that the reader does not use (density, file
// size, an image size larger than the file): they decode to its picture.
INSTANTIATE_TEST_SUITE_P(
    Bad, BmpSuite,
    ::testing::Values(
        SuiteCase{"b/badbitcount.bmp", nullptr, kInvalid}, SuiteCase{"b/badbitssize.bmp", "pal1.png"},
        SuiteCase{"b/baddens1.bmp", "pal1.png"}, SuiteCase{"b/baddens2.bmp", "pal1.png"},
        SuiteCase{"b/badfilesize.bmp", "pal1.png"}, SuiteCase{"b/badheadersize.bmp", nullptr, kInvalid},
        SuiteCase{"b/badpalettesize.bmp", nullptr, kRead},  // the table runs past the file
        SuiteCase{"b/badplanes.bmp", nullptr, kInvalid}, SuiteCase{"b/badrle.bmp", nullptr, kInvalid},
        SuiteCase{"b/badrle4.bmp", nullptr, kInvalid}, SuiteCase{"b/badrle4bis.bmp", nullptr, kInvalid},
        SuiteCase{"b/badrle4ter.bmp", nullptr, kInvalid}, SuiteCase{"b/badrlebis.bmp", nullptr, kInvalid},
        SuiteCase{"b/badrleter.bmp", nullptr, kInvalid}, SuiteCase{"b/badwidth.bmp", nullptr, kInvalid},
        SuiteCase{"b/reallybig.bmp", nullptr, kInvalid},
        SuiteCase{"b/rgb16-880.bmp", nullptr, kInvalid},  // an empty blue mask
        SuiteCase{"b/rletopdown.bmp", nullptr, kInvalid}),
    TestName);

TEST(BmpSuiteBad, ShortFileKeepsZeroBytesInTheMissingTopRows) {
  // 211 bytes of pixel data at 16 bytes a row: the bottom 13 rows and 3 bytes (24 pixels) of the next.
  InputFile input(kSuite + "b/shortfile.bmp");
  TBitmap bitmap;
  bitmap.LoadFromFile(input);
  const testing::RgbImage expected = testing::ReadPng(kSuite + "html/pal1.png");
  ASSERT_EQ(bitmap.Width(), 127);
  ASSERT_EQ(bitmap.Height(), 64);
  const std::uint32_t indexZero = bitmap.Format().colorTable.at(0).red;  // black in this table
  EXPECT_EQ(indexZero, 0u);
  for (int y = 0; y < 64; ++y) {
    const int fromBottom = 63 - y;
    for (int x = 0; x < 127; ++x) {
      const bool present = fromBottom < 13 || (fromBottom == 13 && x < 24);
      ASSERT_EQ(bitmap.GetPixel(x, y), present ? expected.At(x, y) : 0u) << x << ", " << y;
    }
  }
}

TEST(BmpSuiteQuestionable, Os2TableShorterThanItsDepthIsReadWhole) {
  // 252 three-byte entries where the depth implies 256: the data offset lies inside the table, so the
  // pixels are read from the table's end, 12 bytes late, and the bottom row comes out shifted 12 pixels.
  InputFile input(kSuite + "q/pal8os2sp.bmp");
  TBitmap bitmap;
  bitmap.LoadFromFile(input);
  ASSERT_EQ(bitmap.Format().colorTable.size(), 256u);
  const testing::RgbImage reference = testing::ReadPng(kSuite + "html/pal8.png");
  for (int x = 0; x + 12 < 127; ++x)
    ASSERT_EQ(bitmap.GetPixel(x, 63), reference.At(x + 12, 63)) << x;
}

TEST(BmpSuiteBad, IndicesBeyondTheColourTableReadBlack) {
  const std::string path = kSuite + "b/pal8badindex.bmp";
  InputFile input(path);
  TBitmap bitmap;
  bitmap.LoadFromFile(input);
  ASSERT_EQ(bitmap.Format().colorTable.size(), 101u);
  // The stored indices, straight from the file (bottom-up rows of 128 bytes after the 458-byte head).
  InputFile raw(path);
  std::vector<std::uint8_t> bytes = raw.ReadToVector();
  int beyond = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 127; ++x) {
      const std::uint8_t index = bytes.at(458 + (63 - y) * 128 + x);
      if (index < 101) continue;
      ++beyond;
      ASSERT_EQ(bitmap.GetPixel(x, y), 0u) << x << ", " << y;
    }
  EXPECT_GT(beyond, 1000);
}

}  // namespace
}  // namespace mozenta
