#include "picture/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>

#include <jpeglib.h>

#include <jerror.h>

#include "bmp_builder.h"
#include "djpeg_reference.h"
#include "picture/errors.h"
#include "support/jpeg_encoder.h"

namespace mozenta {
namespace {

using testing::DecodedPicture;
using testing::DecodeWithDjpeg;
using testing::DjpegPath;
using testing::EncodeJpeg;
using testing::JpegEncodeSettings;
using testing::JpegKind;
using testing::PixelsOf;
using testing::ReadTestData;

using Bytes = std::vector<std::uint8_t>;

constexpr int kTrueColourDisplay = 32;
constexpr int kPaletteDisplay = 8;

// Decodes with our decoder and with djpeg and expects the same outcome: the same pixels, or a refusal from
// both. The grey output and a palette display are quantised by both to 236 colours.
void ExpectSameAsDjpeg(const Bytes& jpeg, int displayBitsPerPixel, bool grey) {
  const bool quantised = grey || displayBitsPerPixel <= 8;
  std::vector<std::string> arguments;
  if (quantised) arguments.push_back("-colors 236");
  const std::optional<DecodedPicture> reference = DecodeWithDjpeg(jpeg, arguments);
  TBitmap bitmap;
  if (!reference) {
    EXPECT_THROW(DecodeJpegInto(jpeg, displayBitsPerPixel, bitmap), EJPEG) << "djpeg refused this file";
    return;
  }
  DecodeJpegInto(jpeg, displayBitsPerPixel, bitmap);
  const DecodedPicture ours = PixelsOf(bitmap);
  ASSERT_EQ(ours.width, reference->width);
  ASSERT_EQ(ours.height, reference->height);
  EXPECT_EQ(ours.bitsPerPixel, quantised ? 8 : 24);
  if (quantised) {
    EXPECT_LE(bitmap.Format().colorTable.size(), 236u);
  }
  std::size_t mismatches = 0;
  std::size_t first = 0;
  for (std::size_t i = ours.colours.size(); i-- > 0;) {
    if (ours.colours[i] != reference->colours[i]) {
      ++mismatches;
      first = i;
    }
  }
  EXPECT_EQ(mismatches, 0u) << "first at x=" << first % ours.width << " y=" << first / ours.width << std::hex
                            << ": ours 0x" << ours.colours[first] << ", djpeg 0x"
                            << reference->colours[first];
}

// Byte surgery on JPEG files: markers, frame dimensions and scans.
struct JpegScan {
  std::size_t begin;  // the SOS marker
  std::size_t end;    // the marker after its entropy-coded data
};

std::vector<JpegScan> FindScans(const Bytes& jpeg) {
  std::vector<JpegScan> scans;
  std::size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xFF) {
    const std::uint8_t marker = jpeg[at + 1];
    if (marker == 0xD9) break;
    const std::size_t length = (jpeg[at + 2] << 8) | jpeg[at + 3];
    std::size_t next = at + 2 + length;
    if (marker == 0xDA) {
      while (next + 1 < jpeg.size() &&
             !(jpeg[next] == 0xFF && jpeg[next + 1] != 0 && (jpeg[next + 1] < 0xD0 || jpeg[next + 1] > 0xD7)))
        ++next;
      scans.push_back({at, next});
    }
    at = next;
  }
  return scans;
}

Bytes RepeatLastScan(Bytes jpeg, int extraCopies) {
  const JpegScan last = FindScans(jpeg).back();
  const Bytes scan(jpeg.begin() + static_cast<std::ptrdiff_t>(last.begin),
                   jpeg.begin() + static_cast<std::ptrdiff_t>(last.end));
  for (int i = 0; i < extraCopies; ++i)
    jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(last.end), scan.begin(), scan.end());
  return jpeg;
}

Bytes WithFrameSize(Bytes jpeg, int width, int height) {
  for (std::size_t at = 2; at + 9 < jpeg.size();) {
    const std::uint8_t marker = jpeg[at + 1];
    if (marker >= 0xC0 && marker <= 0xC2) {
      jpeg[at + 5] = static_cast<std::uint8_t>(height >> 8);
      jpeg[at + 6] = static_cast<std::uint8_t>(height);
      jpeg[at + 7] = static_cast<std::uint8_t>(width >> 8);
      jpeg[at + 8] = static_cast<std::uint8_t>(width);
      return jpeg;
    }
    at += 2 + ((jpeg[at + 2] << 8) | jpeg[at + 3]);
  }
  ADD_FAILURE() << "no frame header";
  return jpeg;
}

Bytes SmallBmp() {
  testing::BmpFields f;
  f.pixels.resize(16);
  return testing::BuildBmp(f);
}

// --- Public test files against the library's own decoder ---------------------------------------------

struct FileCase {
  const char* name;
  const char* file;
  bool grey;
  int display;
};
void PrintTo(const FileCase& c, std::ostream* os) {
  *os << c.name;
}

class JpegFileMatchesDjpeg : public ::testing::TestWithParam<FileCase> {};

TEST_P(JpegFileMatchesDjpeg, PixelForPixel) {
  if (DjpegPath().empty()) GTEST_SKIP() << testing::kDjpegMissing;
  const FileCase& c = GetParam();
  ExpectSameAsDjpeg(ReadTestData(std::string("jpeg/") + c.file), c.display, c.grey);
}

INSTANTIATE_TEST_SUITE_P(
    PublicFiles, JpegFileMatchesDjpeg,
    ::testing::Values(
        FileCase{"Baseline420", "libjpeg-turbo/testorig.jpg", false, kTrueColourDisplay},
        FileCase{"BaselineAgain", "libjpeg-turbo/testimgint.jpg", false, kTrueColourDisplay},
        FileCase{"Progressive", "libjpeg-turbo/testimgp.jpg", false, kTrueColourDisplay},
        FileCase{"ArithmeticCoded", "libjpeg-turbo/testimgari.jpg", false, kTrueColourDisplay},
        FileCase{"Grey", "libjpeg-turbo/testimggray.jpg", true, kTrueColourDisplay},
        FileCase{"GreyWithRestartsAndBrokenExif", "pillow/hopper_bad_exif.jpg", true, kTrueColourDisplay},
        FileCase{"GreySmall", "pillow/hopper_gray.jpg", true, kTrueColourDisplay},
        FileCase{"OnePixelGrey", "pillow/jfif_unit_cm.jpg", true, kTrueColourDisplay},
        FileCase{"Colour", "pillow/hopper.jpg", false, kTrueColourDisplay},
        FileCase{"TwoByOne", "pillow/orientation_rectangle.jpg", false, kTrueColourDisplay},
        FileCase{"ExtendedSequential16BitTables", "pillow/hopper_16bit_qtables.jpg", false,
                 kTrueColourDisplay},
        FileCase{"AdobeYcckInverted", "pillow/pil_sample_cmyk.jpg", false, kTrueColourDisplay},
        FileCase{"CutProgressive", "pillow/truncated_jpeg.jpg", false, kTrueColourDisplay},
        FileCase{"ShortAdobeSegment", "pillow/truncated_app14.jpg", false, kTrueColourDisplay},
        FileCase{"FullChromaWithRestarts", "pillow/flower2.jpg", false, kTrueColourDisplay},
        FileCase{"HorizontalSubsampling", "pillow/iptc.jpg", false, kTrueColourDisplay},
        FileCase{"JunkBetweenMarkers", "pillow/junk_jpeg_header.jpg", false, kTrueColourDisplay},
        FileCase{"ProgressiveWithApp13", "pillow/app13-multiple.jpg", false, kTrueColourDisplay},
        FileCase{"ColourOnPaletteDisplay", "libjpeg-turbo/testorig.jpg", false, kPaletteDisplay},
        FileCase{"ProgressiveOnPaletteDisplay", "pillow/app13-multiple.jpg", false, kPaletteDisplay},
        FileCase{"GreyOnPaletteDisplay", "libjpeg-turbo/testimggray.jpg", true, kPaletteDisplay}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Files made with the library's encoder -----------------------------------------------------------

struct EncodedCase {
  const char* name;
  JpegEncodeSettings settings;
  int display;
};
void PrintTo(const EncodedCase& c, std::ostream* os) {
  *os << c.name;
}

class EncodedJpegMatchesDjpeg : public ::testing::TestWithParam<EncodedCase> {};

TEST_P(EncodedJpegMatchesDjpeg, PixelForPixel) {
  if (DjpegPath().empty()) GTEST_SKIP() << testing::kDjpegMissing;
  const EncodedCase& c = GetParam();
  ExpectSameAsDjpeg(EncodeJpeg(c.settings), c.display, c.settings.kind == JpegKind::kGrey);
}

INSTANTIATE_TEST_SUITE_P(
    Encoded, EncodedJpegMatchesDjpeg,
    ::testing::Values(
        EncodedCase{"PlainCmyk", {37, 21, JpegKind::kCmyk}, kTrueColourDisplay},
        EncodedCase{"Ycck", {37, 21, JpegKind::kYcck}, kTrueColourDisplay},
        EncodedCase{"ProgressiveGrey", {50, 33, JpegKind::kGrey, 80, true}, kTrueColourDisplay},
        EncodedCase{"ProgressiveCmyk", {19, 40, JpegKind::kCmyk, 75, true}, kTrueColourDisplay},
        // Row lengths that leave 1, 2 and 3 padding bytes in a 24-bit row, and one that leaves none.
        EncodedCase{"OddWidth1", {1, 7, JpegKind::kYCbCr}, kTrueColourDisplay},
        EncodedCase{"OddWidth2", {2, 7, JpegKind::kYCbCr}, kTrueColourDisplay},
        EncodedCase{"OddWidth3", {3, 7, JpegKind::kYCbCr}, kTrueColourDisplay},
        EncodedCase{"Width4", {4, 7, JpegKind::kYCbCr}, kTrueColourDisplay},
        EncodedCase{"GreyOddWidth", {13, 5, JpegKind::kGrey}, kTrueColourDisplay},
        EncodedCase{"WideShallow", {3001, 3, JpegKind::kYCbCr, 50}, kTrueColourDisplay},
        EncodedCase{"NarrowTall", {3, 2001, JpegKind::kYCbCr, 50}, kTrueColourDisplay},
        EncodedCase{"LowQualityOnPaletteDisplay", {64, 48, JpegKind::kYCbCr, 20}, kPaletteDisplay}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Cut files --------------------------------------------------------------------------------------

// A cut after `keep` bytes of testorig.jpg (5770 bytes; the entropy data starts at byte 623). The source
// hands the bytes over in pieces of 4096, so cuts on both sides of that boundary matter.
class CutJpeg : public ::testing::TestWithParam<std::size_t> {};

TEST_P(CutJpeg, DecodesLikeDjpegWithThePrematureEndNoted) {
  Bytes jpeg = ReadTestData("jpeg/libjpeg-turbo/testorig.jpg");
  jpeg.resize(GetParam());
  TBitmap bitmap;
  const JpegDecodeNotes notes = DecodeJpegInto(jpeg, kTrueColourDisplay, bitmap);
  EXPECT_TRUE(notes.prematureEnd);
  EXPECT_EQ(bitmap.Width(), 227);
  EXPECT_EQ(bitmap.Height(), 149);
  if (DjpegPath().empty()) GTEST_SKIP() << testing::kDjpegMissing;
  ExpectSameAsDjpeg(jpeg, kTrueColourDisplay, false);
}

INSTANTIATE_TEST_SUITE_P(Offsets, CutJpeg, ::testing::Values(700, 3000, 4095, 4096, 4097, 5000, 5768),
                         [](const auto& info) { return "After" + std::to_string(info.param); });

// A progressive file cut after its first scans: most coefficients never arrive, which is where interblock
// smoothing shows. The pixels are pinned by a digest, so that the smoothing is checked where djpeg is not
// installed too (the digests are those of Debian's libjpeg-turbo, whose djpeg gives the same pixels; a
// decode without smoothing gives others).
struct CutScansCase {
  std::size_t scans;
  std::uint64_t digest;  // FNV-1a of the packed colours, row by row
};
void PrintTo(const CutScansCase& c, std::ostream* os) {
  *os << c.scans << " scans";
}

std::uint64_t Digest(const std::vector<std::uint32_t>& colours) {
  std::uint64_t hash = 0xCBF29CE484222325;
  for (const std::uint32_t colour : colours) {
    for (int byte = 0; byte < 4; ++byte) {
      hash ^= (colour >> (8 * byte)) & 0xFF;
      hash *= 0x100000001B3;
    }
  }
  return hash;
}

class CutProgressiveJpeg : public ::testing::TestWithParam<CutScansCase> {};

TEST_P(CutProgressiveJpeg, DecodesLikeDjpegWithBlockSmoothing) {
  Bytes jpeg = ReadTestData("jpeg/libjpeg-turbo/testimgp.jpg");
  const std::vector<JpegScan> scans = FindScans(jpeg);
  ASSERT_GT(scans.size(), GetParam().scans);
  jpeg.resize(scans[GetParam().scans - 1].end);
  TBitmap bitmap;
  DecodeJpegInto(jpeg, kTrueColourDisplay, bitmap);
  EXPECT_EQ(Digest(PixelsOf(bitmap).colours), GetParam().digest);
  if (DjpegPath().empty()) GTEST_SKIP() << testing::kDjpegMissing;
  ExpectSameAsDjpeg(jpeg, kTrueColourDisplay, false);
}

INSTANTIATE_TEST_SUITE_P(Scans, CutProgressiveJpeg,
                         ::testing::Values(CutScansCase{1, 0xC025DC0BB9CCF5F1},
                                           CutScansCase{2, 0x2926F50672A3FE59},
                                           CutScansCase{4, 0x2002BD573B6B2084}),
                         [](const auto& info) { return "After" + std::to_string(info.param.scans); });

TEST(DecodeJpegInto, CompleteFileHasNoWarnings) {
  TBitmap bitmap;
  const JpegDecodeNotes notes = DecodeJpegInto(ReadTestData("jpeg/libjpeg-turbo/testorig.jpg"), 32, bitmap);
  EXPECT_EQ(notes.warnings, 0);
  EXPECT_FALSE(notes.prematureEnd);
}

TEST(DecodeJpegInto, JunkBetweenMarkersIsAWarningNotAnError) {
  TBitmap bitmap;
  const JpegDecodeNotes notes = DecodeJpegInto(ReadTestData("jpeg/pillow/junk_jpeg_header.jpg"), 32, bitmap);
  EXPECT_GT(notes.warnings, 0);
  EXPECT_EQ(notes.firstWarningCode, JWRN_EXTRANEOUS_DATA);
  EXPECT_FALSE(notes.prematureEnd);
  EXPECT_EQ(bitmap.Width(), 1024);
}

// --- Output formats ---------------------------------------------------------------------------------

TEST(DecodeJpegInto, GreyGivesEightBitsOnAtMost236GreyLevels) {
  TBitmap bitmap;
  DecodeJpegInto(ReadTestData("jpeg/libjpeg-turbo/testimggray.jpg"), kTrueColourDisplay, bitmap);
  ASSERT_EQ(bitmap.BitsPerPixel(), 8);
  const auto& table = bitmap.Format().colorTable;
  ASSERT_FALSE(table.empty());
  EXPECT_LE(table.size(), 236u);
  std::set<std::uint32_t> levels;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      ASSERT_LT(bitmap.ScanLine(y)[x], table.size());
      const std::uint32_t colour = bitmap.GetPixel(x, y);
      ASSERT_EQ(colour & 0xFF, (colour >> 8) & 0xFF);
      ASSERT_EQ(colour & 0xFF, colour >> 16);
      levels.insert(colour);
    }
  }
  EXPECT_GT(levels.size(), 100u);  // a photograph uses most of the levels
}

TEST(DecodeJpegInto, ColourGivesTwentyFourBits) {
  TBitmap bitmap;
  DecodeJpegInto(ReadTestData("jpeg/pillow/hopper.jpg"), kTrueColourDisplay, bitmap);
  EXPECT_EQ(bitmap.BitsPerPixel(), 24);
  EXPECT_TRUE(bitmap.Format().colorTable.empty());
  EXPECT_EQ(bitmap.Width(), 128);
}

TEST(DecodeJpegInto, ProgressiveDecodesToTheSamePixelsAsItsBaselineTwin) {
  TBitmap baseline;
  TBitmap progressive;
  DecodeJpegInto(ReadTestData("jpeg/libjpeg-turbo/testimgint.jpg"), kTrueColourDisplay, baseline);
  DecodeJpegInto(ReadTestData("jpeg/libjpeg-turbo/testimgp.jpg"), kTrueColourDisplay, progressive);
  EXPECT_EQ(PixelsOf(progressive).colours, PixelsOf(baseline).colours);
}

TEST(DecodeJpegInto, EveryChannelLandsWhereItBelongs) {
  // Pure red, green and blue thirds, far from any block edge effects in their middles.
  const Bytes jpeg = EncodeJpeg({48, 16, JpegKind::kYCbCr, 100}, [](int x, int, std::uint8_t* s) {
    s[0] = x < 16 ? 255 : 0;
    s[1] = x >= 16 && x < 32 ? 255 : 0;
    s[2] = x >= 32 ? 255 : 0;
  });
  TBitmap bitmap;
  DecodeJpegInto(jpeg, kTrueColourDisplay, bitmap);
  const auto near = [](std::uint32_t colour, std::uint32_t expected) {
    for (int shift = 0; shift < 24; shift += 8) {
      const int a = static_cast<int>((colour >> shift) & 0xFF),
                b = static_cast<int>((expected >> shift) & 0xFF);
      if (std::abs(a - b) > 8) return false;
    }
    return true;
  };
  EXPECT_PRED2(near, bitmap.GetPixel(8, 8), 0x0000FFu);
  EXPECT_PRED2(near, bitmap.GetPixel(24, 8), 0x00FF00u);
  EXPECT_PRED2(near, bitmap.GetPixel(40, 8), 0xFF0000u);
  EXPECT_EQ(bitmap.ScanLine(8)[40 * 3], bitmap.GetPixel(40, 8) >> 16);  // blue first in the row
}

TEST(DecodeJpegInto, AdobeFourChannelFileLooksLikeItsRgbTwin) {
  TBitmap cmyk;
  TBitmap rgb;
  DecodeJpegInto(ReadTestData("jpeg/pillow/pil_sample_cmyk.jpg"), kTrueColourDisplay, cmyk);
  DecodeJpegInto(ReadTestData("jpeg/pillow/pil_sample_rgb.jpg"), kTrueColourDisplay, rgb);
  const DecodedPicture a = PixelsOf(cmyk);
  const DecodedPicture b = PixelsOf(rgb);
  ASSERT_EQ(a.colours.size(), b.colours.size());
  double total = 0;
  for (std::size_t i = 0; i < a.colours.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      total += std::abs(static_cast<int>((a.colours[i] >> shift) & 0xFF) -
                        static_cast<int>((b.colours[i] >> shift) & 0xFF));
  // Inverted or swapped channels would put the mean difference near 100.
  EXPECT_LT(total / (a.colours.size() * 3.0), 12.0);
}

TEST(DecodeJpegInto, FourChannelFileOnPaletteDisplayIsQuantisedToItsOwnColours) {
  TBitmap full;
  TBitmap quantised;
  const Bytes jpeg = ReadTestData("jpeg/pillow/pil_sample_cmyk.jpg");
  DecodeJpegInto(jpeg, kTrueColourDisplay, full);
  DecodeJpegInto(jpeg, kPaletteDisplay, quantised);
  ASSERT_EQ(quantised.BitsPerPixel(), 8);
  EXPECT_LE(quantised.Format().colorTable.size(), 236u);
  const DecodedPicture a = PixelsOf(full);
  const DecodedPicture b = PixelsOf(quantised);
  double total = 0;
  for (std::size_t i = 0; i < a.colours.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      total += std::abs(static_cast<int>((a.colours[i] >> shift) & 0xFF) -
                        static_cast<int>((b.colours[i] >> shift) & 0xFF));
  EXPECT_LT(total / (a.colours.size() * 3.0), 40.0);
}

TEST(CmykToRgb, RoundsEveryProductToTheNearestLevel) {
  for (int x = 0; x < 256; ++x) {
    for (int k = 0; k < 256; ++k) {
      const auto expected = static_cast<std::uint8_t>(static_cast<double>(x) * k / 255.0 + 0.5);
      const Rgb8 rgb = CmykToRgb(static_cast<std::uint8_t>(x), 0, 255, static_cast<std::uint8_t>(k));
      ASSERT_EQ(rgb.red, expected) << x << " " << k;
      ASSERT_EQ(rgb.green, 0);
      ASSERT_EQ(rgb.blue, k);
    }
  }
}

// --- Refusals ---------------------------------------------------------------------------------------

struct RefusalCase {
  const char* name;
  std::function<Bytes()> file;
  std::string headerMessage;  // empty: the header reads
  std::string decodeMessage;
};
void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << c.name;
}

class JpegRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(JpegRefusal, EndsInTheLibraryErrorCode) {
  const RefusalCase& c = GetParam();
  const Bytes jpeg = c.file();
  if (c.headerMessage.empty()) {
    EXPECT_NO_THROW(ReadJpegHeader(jpeg));
  } else {
    try {
      ReadJpegHeader(jpeg);
      ADD_FAILURE() << "the header was read";
    } catch (const EJPEG& e) {
      EXPECT_EQ(e.Message(), c.headerMessage);
    }
  }
  TBitmap bitmap;
  try {
    DecodeJpegInto(jpeg, kTrueColourDisplay, bitmap);
    ADD_FAILURE() << "the file was decoded";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Message(), c.decodeMessage);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, JpegRefusal,
    ::testing::Values(
        RefusalCase{"NoBytes", [] { return Bytes{}; }, JpegErrorMessage(JERR_INPUT_EMPTY),
                    JpegErrorMessage(JERR_INPUT_EMPTY)},
        RefusalCase{"BmpBytes", SmallBmp, JpegErrorMessage(JERR_NO_SOI), JpegErrorMessage(JERR_NO_SOI)},
        RefusalCase{"TwelveBitSamples", [] { return ReadTestData("jpeg/libjpeg-turbo/monkey12.jpg"); },
                    JpegErrorMessage(JERR_BAD_PRECISION), JpegErrorMessage(JERR_BAD_PRECISION)},
        RefusalCase{"TablesOnly",
                    [] {
                      return Bytes{0xFF, 0xD8, 0xFF, 0xD9};
                    },
                    JpegErrorMessage(JERR_NO_IMAGE), JpegErrorMessage(JERR_NO_IMAGE)},
        RefusalCase{"CutInsideTheHeader",
                    [] {
                      Bytes jpeg = ReadTestData("jpeg/libjpeg-turbo/testorig.jpg");
                      jpeg.resize(300);
                      return jpeg;
                    },
                    JpegErrorMessage(JERR_SOF_NO_SOS), JpegErrorMessage(JERR_SOF_NO_SOS)},
        RefusalCase{"ZeroWidth", [] { return WithFrameSize(ReadTestData("jpeg/pillow/hopper.jpg"), 0, 128); },
                    JpegErrorMessage(JERR_EMPTY_IMAGE), JpegErrorMessage(JERR_EMPTY_IMAGE)},
        RefusalCase{"TwoChannelsOfUnknownColour",
                    [] {
                      return EncodeJpeg({8, 8, JpegKind::kTwoChannels});
                    },
                    "", JpegErrorMessage(JERR_CONVERSION_NOTIMPL)},
        RefusalCase{
            "MoreScansThanTheLimit",
            [] { return RepeatLastScan(ReadTestData("jpeg/libjpeg-turbo/testimgp.jpg"), kJpegMaxScans); }, "",
            "JPEG ファイルのスキャンが多すぎます"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeJpegInto, ManyScansBelowTheLimitStillDecode) {
  const Bytes original = ReadTestData("jpeg/libjpeg-turbo/testimgp.jpg");
  const Bytes repeated = RepeatLastScan(original, 50);
  ASSERT_EQ(FindScans(repeated).size(), FindScans(original).size() + 50);
  TBitmap bitmap;
  const JpegDecodeNotes notes = DecodeJpegInto(repeated, kTrueColourDisplay, bitmap);
  EXPECT_GT(notes.warnings, 0);  // a refinement scan seen twice
  EXPECT_EQ(bitmap.Width(), 227);
}

TEST(DecodeJpegInto, PictureTooLargeForABitmapIsRefusedBeforeAnyAllocation) {
  // 30000 × 30000 × 3 bytes is far past the 1 GiB pixel-store cap.
  const Bytes jpeg = WithFrameSize(ReadTestData("jpeg/pillow/hopper.jpg"), 30000, 30000);
  EXPECT_EQ(ReadJpegHeader(jpeg).width, 30000);
  TBitmap bitmap;
  bitmap.SetSize(5, 4);
  try {
    DecodeJpegInto(jpeg, kTrueColourDisplay, bitmap);
    ADD_FAILURE() << "decoded";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "システム リソースが足りません");
  }
  EXPECT_EQ(bitmap.Width(), 5);  // untouched
}

TEST(DecodeJpegInto, ProgressiveFileNeedingTooMuchLibraryMemoryIsALibraryError) {
  // A grey picture of 30000 × 30000 fits an 8-bit bitmap (900 MB), but its progressive coefficients take
  // twice that; the library must refuse it rather than exhaust the machine.
  const Bytes jpeg = WithFrameSize(EncodeJpeg({16, 16, JpegKind::kGrey, 90, true}), 30000, 30000);
  TBitmap bitmap;
  try {
    DecodeJpegInto(jpeg, kTrueColourDisplay, bitmap);
    ADD_FAILURE() << "decoded";
  } catch (const EJPEG& e) {
    EXPECT_EQ(e.Message(), JpegErrorMessage(JERR_NO_BACKING_STORE));
  }
}

TEST(JpegErrorMessage, CarriesTheCodeInDecimal) {
  EXPECT_EQ(JpegErrorMessage(63), "JPEG エラー #63");
}

}  // namespace
}  // namespace mozenta
