// Pictures read through libvips: every format's sample file decoded to the pattern it was written from,
// turned upright, and each kind of failure with its message.
#include "picture/vips_picture.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "djpeg_reference.h"
#include "picture/errors.h"
#include "picture/source_picture.h"
#include "picture/vips_runtime.h"
#include "support/jpeg_encoder.h"
#include "support/sample_pictures.h"

namespace mozenta {
namespace {

namespace fs = std::filesystem;
using testing::SamplePicture;

class VipsPictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("mozenta-vips-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  static const SamplePicture& Sample(const std::string& name) {
    for (const SamplePicture& sample : testing::SamplePictures())
      if (sample.name == name) return sample;
    throw std::logic_error("no sample " + name);
  }
  // The message of the EInvalidGraphic that loading `bytes` as `name` throws.
  std::string RefusalOf(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    try {
      LoadSourcePicture(form2_, Write(name, bytes));
    } catch (const EInvalidGraphic& e) {
      return e.what();
    }
    return "(no refusal)";
  }

  fs::path dir_;
  SourcePicture form2_;
};

class SampleDecodes : public VipsPictureTest, public ::testing::WithParamInterface<SamplePicture> {};

TEST_P(SampleDecodes, ToThePatternUpright) {
  const SamplePicture& sample = GetParam();
  LoadSourcePicture(form2_, Write(sample.name, testing::MakeSampleFile(sample)));
  const TBitmap& picture = *SourceBitmap(form2_);
  EXPECT_STREQ(form2_.image1.Graphic()->ClassName(), "TVipsPicture");
  ASSERT_EQ(picture.BitsPerPixel(), 24);
  const bool turned = sample.orientation == 6;
  ASSERT_EQ(picture.Width(), turned ? testing::kSampleHeight : testing::kSampleWidth);
  ASSERT_EQ(picture.Height(), turned ? testing::kSampleWidth : testing::kSampleHeight);
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      // Orientation 6: the stored picture is to be turned a quarter clockwise.
      const int storedX = turned ? y : x, storedY = turned ? testing::kSampleHeight - 1 - x : y;
      const std::uint32_t expected = testing::ExpectedAt(sample.content, storedX, storedY);
      const std::uint32_t actual = picture.GetPixel(x, y);
      for (int shift = 0; shift < 24; shift += 8) {
        EXPECT_NEAR(static_cast<int>((actual >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF),
                    sample.tolerance)
            << "pixel " << x << "," << y << " channel " << shift / 8;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, SampleDecodes, ::testing::ValuesIn(testing::SamplePictures()),
                         [](const auto& info) {
                           std::string name;
                           for (const char c : std::string(info.param.name))
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

TEST_F(VipsPictureTest, KeepOrientationLeavesTheStoredRows) {
  const SamplePicture& sample = Sample("orientation6.webp");
  PictureDecodeSettings settings;
  settings.keepOrientation = true;
  LoadSourcePicture(form2_, Write(sample.name, testing::MakeSampleFile(sample)), settings);
  const TBitmap& picture = *SourceBitmap(form2_);
  ASSERT_EQ(picture.Width(), testing::kSampleWidth);
  EXPECT_EQ(picture.GetPixel(1, 0), testing::PatternAt(1, 0));
}

struct Refusal {
  const char* name;
  const char* file;
  std::function<std::vector<std::uint8_t>()> bytes;
  const char* message;
};
void PrintTo(const Refusal& r, std::ostream* os) {
  *os << r.name;
}

// The first `keep` parts of a sample file, cut where its data has begun.
std::vector<std::uint8_t> Cut(const char* sample, double keep) {
  for (const SamplePicture& s : testing::SamplePictures()) {
    if (std::string(s.name) != sample) continue;
    std::vector<std::uint8_t> bytes = testing::MakeSampleFile(s);
    bytes.resize(static_cast<std::size_t>(static_cast<double>(bytes.size()) * keep));
    return bytes;
  }
  return {};
}

class RefusedFile : public VipsPictureTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusedFile, GivesItsMessageAndLeavesTheSourcePictureAlone) {
  LoadSourcePicture(form2_, Write("before.png", testing::MakeSampleFile(Sample("rgb.png"))));
  const TGraphic* loaded = form2_.image1.Graphic();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(RefusalOf(GetParam().file, GetParam().bytes()), GetParam().message);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "the library's warnings stay off the terminal";
  EXPECT_EQ(form2_.image1.Graphic(), loaded);
  EXPECT_EQ(SourceBitmap(form2_)->GetPixel(0, 0), testing::PatternAt(0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedFile,
    ::testing::Values(
        Refusal{"SizeBomb", "bomb.png", [] { return testing::PngClaiming(60000, 60000); },
                "PNG イメージが大きすぎます (60000 × 60000 ピクセル)"},
        Refusal{"JustOverTheCap", "wide.png", [] { return testing::PngClaiming(20000, 17896); },
                "PNG イメージが大きすぎます (20000 × 17896 ピクセル)"},
        Refusal{"CutPng", "cut.png", [] { return Cut("rgb.png", 0.6); }, "PNG イメージが途中で切れています"},
        Refusal{"CutGif", "cut.gif", [] { return Cut("rgb.gif", 0.6); }, "GIF イメージが途中で切れています"},
        Refusal{"CutTiff", "cut.tif", [] { return Cut("rgb.tif", 0.6); },
                "TIFF イメージが途中で切れています"},
        Refusal{"CutWebP", "cut.webp", [] { return Cut("rgb.webp", 0.6); },
                "WebP イメージが途中で切れています"},
        Refusal{"CutHeif", "cut.heic", [] { return Cut("halves.heic", 0.6); },
                "HEIF イメージが途中で切れています"},
        Refusal{"Empty", "empty.webp", [] { return std::vector<std::uint8_t>{}; }, "WebP イメージが不正です"},
        Refusal{"JpegNamedPng", "photo.png",
                [] {
                  return testing::EncodeJpeg({16, 16});
                },
                "PNG イメージが不正です"},
        Refusal{"PngNamedAvif", "photo.avif",
                [] { return testing::MakeSampleFile(testing::SamplePictures()[0]); },
                "HEIF イメージが不正です"},
        Refusal{"BrokenPngData", "broken.png",
                [] {
                  std::vector<std::uint8_t> png = testing::MakeSampleFile(testing::SamplePictures()[0]);
                  png[png.size() - 20] ^= 0x55;  // inside the last IDAT chunk: its checksum fails
                  return png;
                },
                "PNG イメージが不正です"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VipsPictureTest, FloatingPointSamplesAreAVariantWeDoNotDecode) {
  VipsImage* black = nullptr;
  ASSERT_EQ(vips_black(&black, 4, 4, "bands", 3, nullptr), 0);
  VipsImage* floats = nullptr;
  ASSERT_EQ(vips_cast_float(black, &floats, nullptr), 0);
  void* buffer = nullptr;
  std::size_t length = 0;
  ASSERT_EQ(vips_image_write_to_buffer(floats, ".tif", &buffer, &length, nullptr), 0);
  const std::vector<std::uint8_t> tiff(static_cast<std::uint8_t*>(buffer),
                                       static_cast<std::uint8_t*>(buffer) + length);
  g_free(buffer);
  g_object_unref(floats);
  g_object_unref(black);
  EXPECT_EQ(RefusalOf("float.tif", tiff), "この種類の TIFF イメージには対応していません");
}

}  // namespace
}  // namespace mozenta
