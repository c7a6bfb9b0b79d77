// Reading the orientation a camera recorded in a JPEG file's Exif segment, from the file's bytes.
#pragma once

#include <cstdint>
#include <span>

namespace mozenta {

// The orientation (1..8) recorded in an Exif segment (APP1) of the JPEG in `bytes`: tag 0x0112 of its first
// image directory. 1 when there is none, when the segment is broken, or when the value lies outside 1..8.
// Only the segments before the first scan are looked at; every offset is checked against the bounds of its
// segment, so any bytes at all are safe to pass.
int JpegExifOrientation(std::span<const std::uint8_t> bytes);

}  // namespace mozenta
