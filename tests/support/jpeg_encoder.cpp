#include "jpeg_encoder.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace mozenta::testing {
namespace {

int ComponentCount(JpegKind kind) {
  switch (kind) {
    case JpegKind::kGrey:
      return 1;
    case JpegKind::kTwoChannels:
      return 2;
    case JpegKind::kCmyk:
    case JpegKind::kYcck:
      return 4;
    case JpegKind::kYCbCr:
      break;
  }
  return 3;
}

[[noreturn]] void AbortOnError(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  // Only the encoder of a test fixture gets here, with settings a test chose; stop loudly.
  std::fprintf(stderr, "test JPEG encoder: %s\n", text);
  std::abort();
}

// An Exif segment holding one image directory with the orientation tag alone, in Motorola byte order.
std::vector<std::uint8_t> ExifWithOrientation(int orientation) {
  return {'E',  'x',
          'i',  'f',
          0,    0,  // Exif identifier
          'M',  'M',
          0,    42,
          0,    0,
          0,    8,  // TIFF header: first directory at 8
          0,    1,  // one entry
          0x01, 0x12,
          0,    3,
          0,    0,
          0,    1,  // orientation, SHORT, count 1
          0,    static_cast<std::uint8_t>(orientation),
          0,    0,  // the value, left-justified
          0,    0,
          0,    0};  // no next directory
}

}  // namespace

void PhotoLikeSamples(int x, int y, int components, std::uint8_t* samples) {
  const unsigned noise = (static_cast<unsigned>(x) * 2654435761u) ^ (static_cast<unsigned>(y) * 40503u);
  for (int c = 0; c < components; ++c) {
    const int gradient = (x * (c + 1) + y * (3 - c % 3)) / 4;
    samples[c] = static_cast<std::uint8_t>((gradient + ((noise >> (c * 5)) & 15)) & 0xFF);
  }
}

std::vector<std::uint8_t> EncodeJpeg(const JpegEncodeSettings& settings, const SampleFunction& samples) {
  const int components = ComponentCount(settings.kind);
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  errors.error_exit = AbortOnError;
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(settings.width);
  cinfo.image_height = static_cast<JDIMENSION>(settings.height);
  cinfo.input_components = components;
  switch (settings.kind) {
    case JpegKind::kYCbCr:
      cinfo.in_color_space = JCS_RGB;
      break;
    case JpegKind::kGrey:
      cinfo.in_color_space = JCS_GRAYSCALE;
      break;
    case JpegKind::kCmyk:
    case JpegKind::kYcck:
      cinfo.in_color_space = JCS_CMYK;
      break;
    case JpegKind::kTwoChannels:
      cinfo.in_color_space = JCS_UNKNOWN;
      break;
  }
  jpeg_set_defaults(&cinfo);
  if (settings.kind == JpegKind::kCmyk) jpeg_set_colorspace(&cinfo, JCS_CMYK);
  if (settings.kind == JpegKind::kYcck) jpeg_set_colorspace(&cinfo, JCS_YCCK);
  jpeg_set_quality(&cinfo, settings.quality, TRUE);
  if (settings.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  if (settings.exifOrientation != 0) {
    const std::vector<std::uint8_t> exif = ExifWithOrientation(settings.exifOrientation);
    jpeg_write_marker(&cinfo, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(settings.width) * components);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < settings.width; ++x) {
      std::uint8_t* pixel = row.data() + static_cast<std::size_t>(x) * components;
      if (samples) {
        samples(x, y, pixel);
      } else {
        PhotoLikeSamples(x, y, components, pixel);
      }
    }
    JSAMPROW rowPointer = row.data();
    jpeg_write_scanlines(&cinfo, &rowPointer, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<std::uint8_t> result(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return result;
}

}  // namespace mozenta::testing
