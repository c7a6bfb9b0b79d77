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
#include "picture/file_formats.h"
#include "picture/input_file.h"
#include "picture/jpeg_decoder.h"
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

}  // namespace
}  // namespace mozenta
