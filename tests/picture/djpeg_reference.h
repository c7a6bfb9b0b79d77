// The installed libjpeg's own command-line decoder as the reference for our JPEG decoding: it runs the same
// library build with the same settings, so its pixels must equal ours exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "picture/bitmap.h"

namespace mozenta::testing {

// Pixels as packed colours 0x00BBGGRR, top row first, with the depth and colour-table size they came in.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  std::vector<std::uint32_t> colours;
};

DecodedPicture PixelsOf(const TBitmap& bitmap);

// The djpeg program, or an empty string when it is not installed.
std::string DjpegPath();
inline constexpr const char* kDjpegMissing =
    "djpeg is not installed (Debian package libjpeg-turbo-progs, see scripts/install-deps.sh); "
    "the comparison with the library's own decoder is skipped";

// Decodes `jpeg` with `djpeg -dct float <extraArguments> -bmp`. Returns nothing when djpeg refuses the file.
std::optional<DecodedPicture> DecodeWithDjpeg(std::span<const std::uint8_t> jpeg,
                                              const std::vector<std::string>& extraArguments);

// The bytes of a file under the test data folder.
std::vector<std::uint8_t> ReadTestData(const std::string& relativePath);

}  // namespace mozenta::testing
