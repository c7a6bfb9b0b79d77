// JPEG files through the loading steps: what the two holders of the source picture window keep after each
// outcome, and that a JPEG is decoded once per load.
#include "picture/jpeg_image.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <jpeglib.h>

#include <jerror.h>

#include "bmp_builder.h"
#include "djpeg_reference.h"
#include "picture/errors.h"
#include "picture/exif_orientation.h"
#include "picture/file_formats.h"
#include "picture/input_file.h"
#include "picture/jpeg_decoder.h"
#include "picture/orientation.h"
#include "picture/source_picture.h"
#include "support/jpeg_encoder.h"

namespace mozenta {
namespace {

namespace fs = std::filesystem;
using testing::PixelsOf;
using testing::ReadTestData;

class JpegLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("mozenta-jpeg-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  std::string CopyData(const std::string& data, const std::string& name) {
    return Write(name, ReadTestData(data));
  }
  const TJPEGImage* Jpeg() const { return dynamic_cast<const TJPEGImage*>(form2_.image1.Graphic()); }
  const TBitmap* Source() const { return SourceBitmap(form2_); }

  // A 2 × 1 24-bit BMP whose pixels are both `grey`.
  std::string WriteBmp(const std::string& name, std::uint8_t grey) {
    testing::BmpFields f;
    f.height = 1;
    f.pixels = {grey, grey, grey, grey, grey, grey, 0, 0};
    return Write(name, testing::BuildBmp(f));
  }

  fs::path dir_;
  SourcePicture form2_;
};

std::string EJpegMessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EJPEG& e) {
    return e.Message();
  }
  return "(no EJPEG)";
}

TEST_F(JpegLoadTest, ReadingTakesTheSizeFromTheHeaderAndDecodesNothing) {
  TJPEGImage picture;
  int changes = 0;
  picture.SetOnChange([&] { ++changes; });
  InputFile file = InputFile::FromBytes(ReadTestData("jpeg/libjpeg-turbo/testorig.jpg"));
  picture.LoadFromFile(file);
  EXPECT_EQ(picture.Width(), 227);
  EXPECT_EQ(picture.Height(), 149);
  EXPECT_EQ(picture.Bytes().size(), 5770u);
  EXPECT_EQ(changes, 1);
}

TEST_F(JpegLoadTest, JpegBecomesTheSourcePictureThroughItsDecodedBitmap) {
  for (const char* name : {"PHOTO.JPG", "a.Jpeg"}) {
    LoadSourcePicture(form2_, CopyData("jpeg/pillow/hopper.jpg", name));
    ASSERT_NE(Jpeg(), nullptr) << name;
    const TBitmap& decoded = DecodeJpeg(*Jpeg());
    ASSERT_NE(Source(), nullptr);
    EXPECT_EQ(Source()->BitsPerPixel(), 24);
    TBitmap expected;
    DecodeJpegInto(ReadTestData("jpeg/pillow/hopper.jpg"), 32, expected);
    EXPECT_EQ(PixelsOf(*Source()).colours, PixelsOf(expected).colours) << name;
    EXPECT_EQ(PixelsOf(decoded).colours, PixelsOf(expected).colours) << name;
  }
}

TEST_F(JpegLoadTest, DecodedOncePerLoad) {
  const std::string path = CopyData("jpeg/libjpeg-turbo/testimgp.jpg", "p.jpg");
  LoadSourcePicture(form2_, path);
  const TBitmap& first = DecodeJpeg(*Jpeg());
  TBitmap another;
  Jpeg()->AssignTo(another);
  EXPECT_EQ(&DecodeJpeg(*Jpeg()), &first);
  EXPECT_EQ(PixelsOf(another).colours, PixelsOf(first).colours);
  // A new load of the same name decodes what the file holds now.
  ASSERT_EQ(CopyData("jpeg/pillow/hopper.jpg", "p.jpg"), path);
  LoadSourcePicture(form2_, path);
  EXPECT_EQ(Source()->Width(), 128);
}

TEST_F(JpegLoadTest, GreyJpegGivesAnEightBitSourceOfGreys) {
  LoadSourcePicture(form2_, CopyData("jpeg/pillow/hopper_gray.jpg", "g.jpg"));
  ASSERT_EQ(Source()->BitsPerPixel(), 8);
  EXPECT_LE(Source()->Format().colorTable.size(), 236u);
  const std::uint32_t colour = Source()->GetPixel(64, 64);
  EXPECT_EQ(colour, (colour & 0xFF) * 0x010101u);
}

TEST_F(JpegLoadTest, PaletteDisplayQuantisesColourJpegs) {
  LoadSourcePicture(form2_, CopyData("jpeg/pillow/hopper.jpg", "c.jpg"), PictureDecodeSettings{8});
  EXPECT_EQ(Source()->BitsPerPixel(), 8);
  EXPECT_LE(Source()->Format().colorTable.size(), 236u);
}

TEST_F(JpegLoadTest, EmptyJpgIsReadAndThenFailsAtTheBitmapStep) {
  const std::string path = Write("empty.jpg", {});
  EXPECT_EQ(EJpegMessageOf([&] { LoadSourcePicture(form2_, path); }), JpegErrorMessage(JERR_INPUT_EMPTY));
  ASSERT_NE(Jpeg(), nullptr);
  EXPECT_EQ(Jpeg()->Width(), 0);
  // A first load that fails here leaves an empty bitmap as the source picture.
  ASSERT_NE(Source(), nullptr);
  EXPECT_EQ(Source()->Width(), 0);
  // The failure is not remembered as a decoded picture: asking again fails again.
  EXPECT_THROW(DecodeJpeg(*Jpeg()), EJPEG);
}

TEST_F(JpegLoadTest, FailedDecodeAfterASuccessKeepsTheEarlierSourcePicture) {
  LoadSourcePicture(form2_, WriteBmp("a.bmp", 0x50));
  const std::string path =
      Write("twochannel.jpg", testing::EncodeJpeg({8, 8, testing::JpegKind::kTwoChannels}));
  EXPECT_EQ(EJpegMessageOf([&] { LoadSourcePicture(form2_, path); }),
            JpegErrorMessage(JERR_CONVERSION_NOTIMPL));
  EXPECT_NE(Jpeg(), nullptr);  // the newly read picture
  EXPECT_EQ(Source()->GetPixel(0, 0), 0x505050u);
}

TEST_F(JpegLoadTest, BmpNamedJpgFailsWhileBeingReadAndLeavesTheHoldersAlone) {
  LoadSourcePicture(form2_, WriteBmp("a.bmp", 0x30));
  const TGraphic* loaded = form2_.image1.Graphic();
  const std::string path = WriteBmp("photo.jpg", 0x40);
  EXPECT_EQ(EJpegMessageOf([&] { LoadSourcePicture(form2_, path); }), JpegErrorMessage(JERR_NO_SOI));
  EXPECT_EQ(form2_.image1.Graphic(), loaded);
  EXPECT_EQ(Source()->GetPixel(0, 0), 0x303030u);
}

TEST_F(JpegLoadTest, TwelveBitJpegIsRefusedWhileBeingRead) {
  const std::string path = CopyData("jpeg/libjpeg-turbo/monkey12.jpg", "m.jpg");
  EXPECT_EQ(EJpegMessageOf([&] { LoadSourcePicture(form2_, path); }), JpegErrorMessage(JERR_BAD_PRECISION));
  EXPECT_EQ(form2_.image1.Graphic(), nullptr);
}

TEST_F(JpegLoadTest, CutJpegLoadsWithoutAnyMessage) {
  std::vector<std::uint8_t> jpeg = ReadTestData("jpeg/libjpeg-turbo/testorig.jpg");
  jpeg.resize(jpeg.size() / 2);
  LoadSourcePicture(form2_, Write("cut.jpg", jpeg));
  EXPECT_EQ(Source()->Width(), 227);
  EXPECT_EQ(Source()->Height(), 149);
}

// --- Orientation ---------------------------------------------------------------------------------------

struct OrientationCase {
  int orientation;
  // Where the stored picture's top-left and top-right pixels are seen: 0 top left, 1 top right, 2 bottom
  // left, 3 bottom right.
  int topLeftGoesTo, topRightGoesTo;
  int inverse;  // the orientation that turns the upright picture back
};
void PrintTo(const OrientationCase& c, std::ostream* os) {
  *os << c.orientation;
}

class JpegOrientation : public JpegLoadTest, public ::testing::WithParamInterface<OrientationCase> {};

// A picture larger than the tiles the quarter turns go by, with an odd width and height.
constexpr int kStoredWidth = 70, kStoredHeight = 67;

TEST_P(JpegOrientation, TurnsThePictureUprightAndKeepsItOnRequest) {
  const OrientationCase& c = GetParam();
  const std::vector<std::uint8_t> jpeg =
      testing::EncodeJpeg({kStoredWidth, kStoredHeight, testing::JpegKind::kYCbCr, 90, false, c.orientation});
  TBitmap stored;
  DecodeJpegInto(jpeg, 32, stored);
  LoadSourcePicture(form2_, Write("photo.jpg", jpeg));
  const TBitmap& upright = *Source();
  const bool quarter = c.orientation >= 5;
  ASSERT_EQ(upright.Width(), quarter ? kStoredHeight : kStoredWidth);
  ASSERT_EQ(upright.Height(), quarter ? kStoredWidth : kStoredHeight);
  EXPECT_EQ(Jpeg()->Width(), upright.Width()) << "the header's size is given upright too";
  const auto corner = [&](int which) {
    return upright.GetPixel(which % 2 == 0 ? 0 : upright.Width() - 1, which < 2 ? 0 : upright.Height() - 1);
  };
  EXPECT_EQ(corner(c.topLeftGoesTo), stored.GetPixel(0, 0));
  EXPECT_EQ(corner(c.topRightGoesTo), stored.GetPixel(kStoredWidth - 1, 0));
  TBitmap back;
  MakeUpright(upright, c.inverse, back);
  EXPECT_EQ(PixelsOf(back).colours, PixelsOf(stored).colours) << "every pixel, through every tile";

  PictureDecodeSettings keep;
  keep.keepOrientation = true;
  LoadSourcePicture(form2_, Write("kept.jpg", jpeg), keep);
  EXPECT_EQ(PixelsOf(*Source()).colours, PixelsOf(stored).colours);
}

INSTANTIATE_TEST_SUITE_P(Values, JpegOrientation,
                         ::testing::Values(OrientationCase{1, 0, 1, 1}, OrientationCase{2, 1, 0, 2},
                                           OrientationCase{3, 3, 2, 3}, OrientationCase{4, 2, 3, 4},
                                           OrientationCase{5, 0, 2, 5}, OrientationCase{6, 1, 3, 8},
                                           OrientationCase{7, 3, 1, 7}, OrientationCase{8, 2, 0, 6}),
                         [](const auto& info) {
                           return "Orientation" + std::to_string(info.param.orientation);
                         });

TEST_F(JpegLoadTest, PublicFileWithOrientationEightStandsUp) {
  LoadSourcePicture(form2_, CopyData("jpeg/pillow/orientation_rectangle.jpg", "r.jpg"));
  TBitmap stored;
  DecodeJpegInto(ReadTestData("jpeg/pillow/orientation_rectangle.jpg"), 32, stored);
  ASSERT_EQ(stored.Width(), 2);
  ASSERT_EQ(Source()->Width(), 1);
  ASSERT_EQ(Source()->Height(), 2);
  EXPECT_EQ(Source()->GetPixel(0, 1), stored.GetPixel(0, 0)) << "turned a quarter counter-clockwise";
  EXPECT_EQ(Source()->GetPixel(0, 0), stored.GetPixel(1, 0));
}

TEST_F(JpegLoadTest, GreyPicturesTurnWithTheirColourTable) {
  const std::vector<std::uint8_t> jpeg = testing::EncodeJpeg({9, 4, testing::JpegKind::kGrey, 90, false, 6});
  LoadSourcePicture(form2_, Write("grey.jpg", jpeg));
  TBitmap stored;
  DecodeJpegInto(jpeg, 32, stored);
  ASSERT_EQ(Source()->BitsPerPixel(), 8);
  EXPECT_EQ(Source()->Format().colorTable, stored.Format().colorTable);
  EXPECT_EQ(Source()->GetPixel(3, 0), stored.GetPixel(0, 0));
}

struct ExifCase {
  const char* name;
  std::vector<std::uint8_t> bytes;
  int orientation;
};
void PrintTo(const ExifCase& c, std::ostream* os) {
  *os << c.name;
}

// The start of a JPEG file: SOI, then segments given as marker and body.
std::vector<std::uint8_t> Segments(
    std::initializer_list<std::pair<std::uint8_t, std::vector<std::uint8_t>>> list) {
  std::vector<std::uint8_t> out = {0xFF, 0xD8};
  for (const auto& [marker, body] : list) {
    const std::size_t length = body.size() + 2;
    out.insert(out.end(),
               {0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)});
    out.insert(out.end(), body.begin(), body.end());
  }
  return out;
}

// An Exif body in Intel byte order whose first directory starts at `directory` and holds `entries` entries,
// the first of them tag `tag` of type `type`, count 1, value `value`.
std::vector<std::uint8_t> IntelExif(std::uint8_t directory, std::uint8_t entries, std::uint16_t tag,
                                    std::uint8_t type, std::uint8_t value) {
  std::vector<std::uint8_t> body = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, directory, 0, 0, 0};
  body.resize(6 + directory, 0);
  body.insert(body.end(), {entries, 0, static_cast<std::uint8_t>(tag), static_cast<std::uint8_t>(tag >> 8),
                           type, 0, 1, 0, 0, 0, value, 0, 0, 0});
  return body;
}

class ExifOrientation : public ::testing::TestWithParam<ExifCase> {};

TEST_P(ExifOrientation, IsReadWhereItIsSoundAndOtherwiseUpright) {
  EXPECT_EQ(JpegExifOrientation(GetParam().bytes), GetParam().orientation);
}

INSTANTIATE_TEST_SUITE_P(
    Segments, ExifOrientation,
    ::testing::Values(
        ExifCase{"IntelOrder", Segments({{0xE1, IntelExif(8, 1, 0x0112, 3, 6)}}), 6},
        ExifCase{"AfterJfifAndXmp",
                 Segments({{0xE0, {'J', 'F', 'I', 'F', 0}}, {0xE1, {'h', 't', 't', 'p'}},
                           {0xE1, IntelExif(8, 1, 0x0112, 3, 3)}}),
                 3},
        ExifCase{"DirectoryFurtherOn", Segments({{0xE1, IntelExif(20, 1, 0x0112, 3, 5)}}), 5},
        ExifCase{"OtherTagOnly", Segments({{0xE1, IntelExif(8, 1, 0x0110, 3, 6)}}), 1},
        ExifCase{"WrongType", Segments({{0xE1, IntelExif(8, 1, 0x0112, 4, 6)}}), 1},
        ExifCase{"ValueNine", Segments({{0xE1, IntelExif(8, 1, 0x0112, 3, 9)}}), 1},
        ExifCase{"EntriesPastTheSegment", Segments({{0xE1, IntelExif(8, 200, 0x0110, 3, 6)}}), 1},
        ExifCase{"DirectoryPastTheSegment",
                 [] {
                   std::vector<std::uint8_t> body = IntelExif(8, 1, 0x0112, 3, 6);
                   body[10] = 250;  // the first directory's offset
                   return Segments({{0xE1, body}});
                 }(),
                 1},
        ExifCase{"SegmentLongerThanTheFile",
                 [] {
                   std::vector<std::uint8_t> bytes = Segments({{0xE1, IntelExif(8, 1, 0x0112, 3, 6)}});
                   bytes.resize(bytes.size() - 3);
                   return bytes;
                 }(),
                 1},
        ExifCase{"AfterTheFirstScan", Segments({{0xDA, {0, 0}}, {0xE1, IntelExif(8, 1, 0x0112, 3, 6)}}), 1},
        ExifCase{"NotAJpeg", {'B', 'M', 0xFF, 0xE1}, 1}, ExifCase{"Empty", {}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mozenta
