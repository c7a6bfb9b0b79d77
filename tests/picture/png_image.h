// Reads a PNG reference image into packed colours 0x00BBGGRR and alpha, for comparing decoded pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mozenta::testing {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // top row first
  std::vector<std::uint8_t> alpha;    // 255 where the image has no alpha channel
  std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint8_t AlphaAt(int x, int y) const { return alpha[static_cast<std::size_t>(y) * width + x]; }
};

// Throws std::runtime_error when the file cannot be read as a PNG.
RgbImage ReadPng(const std::string& path);

}  // namespace mozenta::testing
