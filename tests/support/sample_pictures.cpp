#include "sample_pictures.h"

#include <zlib.h>

#include <memory>
#include <stdexcept>

#include "picture/vips_runtime.h"

namespace mozenta::testing {
namespace {

using vips::ImageRef;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + vips::TakeErrorText());
}

std::uint8_t Red(std::uint32_t colour) {
  return static_cast<std::uint8_t>(colour);
}
std::uint8_t Green(std::uint32_t colour) {
  return static_cast<std::uint8_t>(colour >> 8);
}
std::uint8_t Blue(std::uint32_t colour) {
  return static_cast<std::uint8_t>(colour >> 16);
}
std::uint32_t Pack(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
         (static_cast<std::uint32_t>(b) << 16);
}

// Samples of every pixel, row by row, `bands` values each.
template <typename Sample>
ImageRef ImageOf(int bands, VipsBandFormat format, VipsInterpretation interpretation,
                 void (*samples)(int x, int y, Sample* out)) {
  std::vector<Sample> data(static_cast<std::size_t>(kSampleWidth) * kSampleHeight * bands);
  for (int y = 0; y < kSampleHeight; ++y)
    for (int x = 0; x < kSampleWidth; ++x)
      samples(x, y, &data[(static_cast<std::size_t>(y) * kSampleWidth + x) * bands]);
  ImageRef raw(vips_image_new_from_memory_copy(data.data(), data.size() * sizeof(Sample), kSampleWidth,
                                               kSampleHeight, bands, format));
  if (!raw) Fail("new_from_memory_copy");
  VipsImage* typed = nullptr;
  if (vips_copy(raw.get(), &typed, "interpretation", interpretation, nullptr) != 0) Fail("copy");
  return ImageRef(typed);
}

ImageRef ContentImage(SampleContent content) {
  switch (content) {
    case SampleContent::kRgb16:
      return ImageOf<std::uint16_t>(3, VIPS_FORMAT_USHORT, VIPS_INTERPRETATION_RGB16,
                                    [](int x, int y, auto* out) {
                                      const std::uint32_t c = PatternAt(x, y);
                                      for (const std::uint8_t level : {Red(c), Green(c), Blue(c)})
                                        *out++ = static_cast<std::uint16_t>(level * 256 + 128);
                                    });
    case SampleContent::kGrey:
      return ImageOf<std::uint8_t>(1, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_B_W,
                                   [](int x, int y, auto* out) { *out = Green(PatternAt(x, y)); });
    case SampleContent::kRgba:
      return ImageOf<std::uint8_t>(
          4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, [](int x, int y, auto* out) {
            const std::uint32_t c = PatternAt(x, y);
            *out++ = Red(c), *out++ = Green(c), *out++ = Blue(c), *out = AlphaAt(x, y);
          });
    case SampleContent::kCmyk:
      return ImageOf<std::uint8_t>(4, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_CMYK, [](int x, int, auto* out) {
        out[0] = out[1] = out[2] = 0;
        out[3] = x < kSampleWidth / 2 ? 0 : 255;
      });
    case SampleContent::kHalves:
      return ImageOf<std::uint8_t>(3, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB,
                                   [](int x, int y, auto* out) {
                                     const std::uint32_t c = ExpectedAt(SampleContent::kHalves, x, y);
                                     *out++ = Red(c), *out++ = Green(c), *out = Blue(c);
                                   });
    case SampleContent::kDisplayP3: {
      ImageRef rgb = ContentImage(SampleContent::kRgb);
      VipsImage* p3 = nullptr;
      if (vips_icc_transform(rgb.get(), &p3, "p3", "input_profile", "srgb", "depth", 8, nullptr) != 0) {
        Fail("icc_transform");
      }
      return ImageRef(p3);
    }
    case SampleContent::kRgb:
      break;
  }
  return ImageOf<std::uint8_t>(3, VIPS_FORMAT_UCHAR, VIPS_INTERPRETATION_sRGB, [](int x, int y, auto* out) {
    const std::uint32_t c = PatternAt(x, y);
    *out++ = Red(c), *out++ = Green(c), *out = Blue(c);
  });
}

void AppendChunk(std::vector<std::uint8_t>& png, const char* type, const std::vector<std::uint8_t>& data) {
  const auto put32 = [&](std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
      png.push_back(static_cast<std::uint8_t>(v >> shift));
  };
  put32(static_cast<std::uint32_t>(data.size()));
  const std::size_t start = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  put32(static_cast<std::uint32_t>(crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
}

}  // namespace

std::uint32_t PatternAt(int x, int y) {
  return Pack(20 + 30 * x, 15 + 40 * y, 200 - 20 * x - 10 * y);
}

std::uint8_t AlphaAt(int x, int) {
  static constexpr std::uint8_t kAlphas[kSampleWidth] = {255, 220, 180, 128, 90, 40, 10, 0};
  return kAlphas[x];
}

std::uint32_t ExpectedAt(SampleContent content, int x, int y) {
  const std::uint32_t c = PatternAt(x, y);
  switch (content) {
    case SampleContent::kGrey:
      return Pack(Green(c), Green(c), Green(c));
    case SampleContent::kRgba: {
      const int a = AlphaAt(x, y);
      const auto over = [a](int level) { return (level * a + 255 * (255 - a)) / 255; };
      return Pack(over(Red(c)), over(Green(c)), over(Blue(c)));
    }
    case SampleContent::kCmyk:
      return x < kSampleWidth / 2 ? 0xFFFFFFu : 0;
    case SampleContent::kHalves:
      return x < kSampleWidth / 2 ? Pack(200, 40, 40) : Pack(40, 60, 200);
    default:
      return c;
  }
}

const std::vector<SamplePicture>& SamplePictures() {
  using C = SampleContent;
  static const std::vector<SamplePicture> samples = {
      {"rgb.png", ".png", C::kRgb, 0, 0},
      {"rgb16.png", ".png[bitdepth=16]", C::kRgb16, 0, 0},
      {"grey.png", ".png", C::kGrey, 0, 0},
      {"alpha.png", ".png", C::kRgba, 0, 1},
      {"display-p3.png", ".png", C::kDisplayP3, 0, 2},
      {"rgb.gif", ".gif[dither=0]", C::kRgb, 0, 0},
      {"rgb.tif", ".tif", C::kRgb, 0, 0},
      {"orientation6.tif", ".tif[compression=lzw]", C::kRgb, 6, 0},
      {"cmyk.tif", ".tif", C::kCmyk, 0, 48},  // black ink alone prints a dark grey
      {"rgb.webp", ".webp[lossless]", C::kRgb, 0, 0},
      {"orientation6.webp", ".webp[lossless]", C::kRgb, 6, 0},
      {"halves.heic", ".heic[Q=90]", C::kHalves, 0, 12},
      {"halves.avif", ".avif[Q=90]", C::kHalves, 0, 12},
  };
  return samples;
}

std::vector<std::uint8_t> MakeSampleFile(const SamplePicture& sample) {
  if (!vips::StartLibrary()) throw std::runtime_error("libvips does not start");
  ImageRef content = ContentImage(sample.content);
  VipsImage* image = nullptr;
  if (vips_copy(content.get(), &image, nullptr) != 0) Fail("copy");
  ImageRef owned(image);
  if (sample.orientation != 0) vips_image_set_int(image, VIPS_META_ORIENTATION, sample.orientation);
  void* buffer = nullptr;
  std::size_t length = 0;
  if (vips_image_write_to_buffer(image, sample.save, &buffer, &length, nullptr) != 0) {
    Fail(std::string("write ") + sample.name);
  }
  std::vector<std::uint8_t> bytes(static_cast<std::uint8_t*>(buffer),
                                  static_cast<std::uint8_t*>(buffer) + length);
  g_free(buffer);
  return bytes;
}

std::vector<std::uint8_t> PngClaiming(std::uint32_t width, std::uint32_t height) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  for (const std::uint32_t v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8)
      header.push_back(static_cast<std::uint8_t>(v >> shift));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
  AppendChunk(png, "IHDR", header);
  // A complete zlib stream of nothing: header, one empty stored block, the Adler-32 of nothing.
  AppendChunk(png, "IDAT", {0x78, 0x9C, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01});
  AppendChunk(png, "IEND", {});
  return png;
}

}  // namespace mozenta::testing
