// Writes a photo-like picture (smooth gradients with noise) as a 24-bit BMP and, if asked, a binary PPM,
// for the benchmarks and the demo.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "mosaic/mosaic_bitmap_file.h"
#include "photo_like.h"

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: make_photo WIDTH HEIGHT OUT.bmp [OUT.ppm]\n");
    return 2;
  }
  const int width = std::atoi(argv[1]);
  const int height = std::atoi(argv[2]);
  try {
    mozenta::TBitmap photo;
    mozenta::bench::FillPhotoLike(photo, width, height, 24);
    mozenta::WriteMosaicBitmapFile(argv[3], photo);
    if (argc == 5) {
      std::FILE* ppm = std::fopen(argv[4], "wb");
      if (ppm == nullptr) throw std::runtime_error(std::string("cannot create ") + argv[4]);
      std::fprintf(ppm, "P6\n%d %d\n255\n", width, height);
      for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = photo.ScanLine(y);
        for (int x = 0; x < width; ++x) {
          const unsigned char rgb[3] = {row[3 * x + 2], row[3 * x + 1], row[3 * x]};
          std::fwrite(rgb, 1, 3, ppm);
        }
      }
      if (std::fclose(ppm) != 0) throw std::runtime_error(std::string("cannot write ") + argv[4]);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_photo: %s\n", e.what());
    return 1;
  }
  return 0;
}
