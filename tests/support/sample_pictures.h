// Small pictures in every format read through libvips, written at test time by libvips' own savers from
// patterns the tests know pixel by pixel: the decoding tests compare with the patterns, and the fuzz
// target of those formats takes the same files as its seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mozenta::testing {

enum class SampleContent {
  kRgb,        // the pattern below, 8-bit RGB
  kRgb16,      // the pattern in 16-bit channels: each 8-bit level v stored as v × 256 + 128
  kGrey,       // the pattern's green channel alone, one 8-bit band
  kRgba,       // the pattern with an alpha that changes along the rows (AlphaAt)
  kCmyk,       // no ink on the left half, full black ink on the right half
  kDisplayP3,  // the pattern converted to Display P3, with that profile embedded
  kHalves,     // a red left half and a blue right half: what lossy video codecs keep well
};

struct SamplePicture {
  const char* name;  // a file name; its extension chooses the format
  const char* save;  // libvips' saver and its options, as a file suffix: ".png[bitdepth=16]"
  SampleContent content;
  int orientation;  // recorded in the file; 0 for none
  int tolerance;    // how far each decoded channel may lie from the pattern (lossy and colour-managed files)
};

inline constexpr int kSampleWidth = 8;
inline constexpr int kSampleHeight = 6;

// Every sample: PNG (8-bit, 16-bit, grey, alpha, Display P3 profile), GIF, TIFF (plain, orientation 6,
// CMYK), WebP (lossless, orientation 6), HEIF and AVIF (halves).
const std::vector<SamplePicture>& SamplePictures();

// The file's bytes. Throws std::runtime_error when libvips cannot write it.
std::vector<std::uint8_t> MakeSampleFile(const SamplePicture& sample);

// The colour of stored pixel (x, y) of the pattern, packed 0x00BBGGRR.
std::uint32_t PatternAt(int x, int y);
// The alpha of kRgba at (x, y).
std::uint8_t AlphaAt(int x, int y);
// What a decoder that lays transparency over white and reduces everything to 8-bit sRGB should give for
// stored pixel (x, y) of `content`, packed 0x00BBGGRR.
std::uint32_t ExpectedAt(SampleContent content, int x, int y);

// A PNG of `width` × `height` 8-bit RGB whose one IDAT chunk holds nothing: the header alone claims the size.
std::vector<std::uint8_t> PngClaiming(std::uint32_t width, std::uint32_t height);

}  // namespace mozenta::testing
