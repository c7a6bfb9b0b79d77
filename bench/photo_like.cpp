#include "photo_like.h"

#include <cmath>
#include <cstdint>

namespace mozenta::bench {

void FillPhotoLike(TBitmap& bitmap, int width, int height, int bitsPerPixel) {
  DibFormat format;
  format.width = width;
  format.height = height;
  format.bitsPerPixel = static_cast<std::uint16_t>(bitsPerPixel);
  bitmap.CreateDib(format);
  const int bytes = bitsPerPixel / 8;
  std::uint32_t noise = 12345;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bitmap.ScanLineForWrite(y);
    const double fy = static_cast<double>(y) / height;
    for (int x = 0; x < width; ++x) {
      const double fx = static_cast<double>(x) / width;
      noise = noise * 1664525u + 1013904223u;
      const int n = static_cast<int>((noise >> 24) % 25) - 12;
      auto channel = [&](double v) {
        const int c = static_cast<int>(v * 255.0) + n;
        return static_cast<std::uint8_t>(c < 0 ? 0 : c > 255 ? 255 : c);
      };
      std::uint8_t* p = row + bytes * x;
      p[2] = channel(0.5 + 0.5 * std::sin(6.0 * fx + 3.0 * fy));
      p[1] = channel(0.5 + 0.5 * std::sin(40.0 * fy + 2.0 * fx));
      p[0] = channel(fx * (1.0 - fy) + 0.3 * fy);
    }
  }
}

}  // namespace mozenta::bench
