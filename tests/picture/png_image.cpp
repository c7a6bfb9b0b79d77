#include "png_image.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace mozenta::testing {

RgbImage ReadPng(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) throw std::runtime_error("cannot open " + path);
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  RgbImage image;
  std::vector<png_bytep> rows;
  std::vector<png_byte> bytes;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    throw std::runtime_error("cannot decode " + path);
  }
  png_init_io(png, file.get());
  png_read_info(png, info);
  // 8-bit RGBA without gamma correction: the stored samples are the reference colours. 16-bit samples are
  // scaled with rounding, as a display shows them.
  png_set_expand(png);
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_read_update_info(png, info);
  image.width = static_cast<int>(png_get_image_width(png, info));
  image.height = static_cast<int>(png_get_image_height(png, info));
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  bytes.resize(rowBytes * image.height);
  for (int y = 0; y < image.height; ++y)
    rows.push_back(bytes.data() + rowBytes * y);
  png_read_image(png, rows.data());
  png_destroy_read_struct(&png, &info, nullptr);
  image.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  image.alpha.resize(image.pixels.size());
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const png_byte* p = rows[y] + 4 * x;
      const std::size_t i = static_cast<std::size_t>(y) * image.width + x;
      image.pixels[i] = p[0] | (p[1] << 8) | (p[2] << 16);
      image.alpha[i] = p[3];
    }
  return image;
}

}  // namespace mozenta::testing
