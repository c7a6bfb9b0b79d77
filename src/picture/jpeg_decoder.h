// Decoding JPEG data held in memory with libjpeg, with the fixed settings every JPEG picture of the program
// uses: full size, interblock smoothing, the floating-point inverse DCT, one output pass, and the library's
// default upsampling, dithering and output colour space. Every library error becomes an EJPEG carrying the
// library's message code; warnings are dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "bitmap.h"
#include "rows_ready.h"

namespace mozenta {

// Colours a quantised picture is reduced to.
inline constexpr int kJpegQuantisedColours = 236;

// The source manager hands the stored bytes to the library in pieces of this size.
inline constexpr std::size_t kJpegSourceChunkBytes = 4096;

// A progressive file may not have more scans than this: each scan walks the whole picture, so a small file
// with a great many empty scans would otherwise keep the decoder busy for hours.
inline constexpr int kJpegMaxScans = 1000;

// Memory the library may take for its own buffers (the coefficients of a progressive file); past it the
// library reports an error instead of exhausting the machine.
inline constexpr long kJpegMaxLibraryMemory = 1L << 30;

// The text of an EJPEG for a library message code.
std::string JpegErrorMessage(int messageCode);

struct JpegHeaderInfo {
  int width = 0;
  int height = 0;
};

// Reads the header of the JPEG in `bytes` (an image is required). Throws EJPEG.
JpegHeaderInfo ReadJpegHeader(std::span<const std::uint8_t> bytes);

// What the library said while decoding without stopping: warnings (a cut file, junk between markers).
struct JpegDecodeNotes {
  int warnings = 0;
  int firstWarningCode = 0;
  bool prematureEnd = false;  // the data ran out and an end-of-image marker was supplied
};

// Decodes the JPEG in `bytes` into `target`, which is remade at the decoded size: 8 bits per pixel with the
// library's colour map as colour table when the output is grey or `displayBitsPerPixel` is 8 or fewer
// (quantised to at most kJpegQuantisedColours colours), else 24 bits per pixel. Four-channel files (CMYK,
// YCCK) are converted to RGB. Rows are decoded one at a time straight into the bitmap's rows.
// Throws EJPEG for library errors, EOutOfResources when the bitmap would exceed the pixel-store cap.
// A failure leaves `target` as far as decoding got. `rows`, when given, follows the decoding for another
// thread that reads the rows meanwhile: 0 once `target` has its size and store, then the rows decoded.
JpegDecodeNotes DecodeJpegInto(std::span<const std::uint8_t> bytes, int displayBitsPerPixel, TBitmap& target,
                               RowsReady* rows = nullptr);

// Red, green and blue of a CMYK sample as stored in a JPEG file (Adobe's inverted convention: 255 is no
// ink), rounded to the nearest level.
struct Rgb8 {
  std::uint8_t red;
  std::uint8_t green;
  std::uint8_t blue;
};
constexpr Rgb8 CmykToRgb(std::uint8_t c, std::uint8_t m, std::uint8_t y, std::uint8_t k) {
  // x * k / 255 rounded half up; the exact half never occurs because 2·x·k is even and 255 is odd.
  return {static_cast<std::uint8_t>((c * k + 127) / 255), static_cast<std::uint8_t>((m * k + 127) / 255),
          static_cast<std::uint8_t>((y * k + 127) / 255)};
}

}  // namespace mozenta
