// JPEG files made in memory with the system's libjpeg, for tests and benchmarks that need files the public
// suites do not have: large pictures, plain CMYK, odd component counts.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace mozenta::testing {

enum class JpegKind {
  kYCbCr,        // three components from RGB samples, 2×2 chroma subsampling
  kGrey,         // one component
  kCmyk,         // four components stored as given, no colour transform
  kYcck,         // four components, YCCK transform (Adobe marker)
  kTwoChannels,  // two components of no known colour space
};

struct JpegEncodeSettings {
  int width = 16;
  int height = 16;
  JpegKind kind = JpegKind::kYCbCr;
  int quality = 90;
  bool progressive = false;
  // Written into an Exif segment (APP1) as the camera's orientation, big-endian; 0 writes no segment.
  int exifOrientation = 0;
};

// Samples of pixel (x, y): `components` bytes, as many as the kind has (3 for kYCbCr: red, green, blue).
using SampleFunction = std::function<void(int x, int y, std::uint8_t* samples)>;

// A smooth picture with some texture, the same for every call.
void PhotoLikeSamples(int x, int y, int components, std::uint8_t* samples);

std::vector<std::uint8_t> EncodeJpeg(const JpegEncodeSettings& settings, const SampleFunction& samples = {});

}  // namespace mozenta::testing
