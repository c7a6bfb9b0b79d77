// Builds BMP files in memory, every field named, so a test states exactly which field is odd.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace mozenta::testing {

struct BmpFields {
  // File header.
  std::uint16_t signature = 0x4D42;         // "BM"
  std::optional<std::uint32_t> dataOffset;  // default: right after the colour table
  // Info header (a 12-byte core header takes width, height, planes and depth as 16-bit values).
  std::uint32_t headerSize = 40;
  std::int32_t width = 2;
  std::int32_t height = 2;
  std::uint16_t planes = 1;
  std::uint16_t bitsPerPixel = 24;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::uint32_t colorsUsed = 0;
  std::array<std::uint32_t, 3> headerMasks{};  // at offset 40 of a header of 52 bytes or more
  // What follows the header.
  std::vector<std::uint8_t> masksAfterHeader;  // raw bytes, as many as the test wants
  std::vector<std::uint8_t> colorTable;        // raw entries (3 or 4 bytes each)
  std::vector<std::uint8_t> gap;               // bytes between the table and the pixels
  std::vector<std::uint8_t> pixels;
};

inline void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline std::vector<std::uint8_t> BuildBmp(const BmpFields& f) {
  std::vector<std::uint8_t> header;
  Put32(header, f.headerSize);
  if (f.headerSize == 12) {
    Put16(header, static_cast<std::uint32_t>(f.width));
    Put16(header, static_cast<std::uint32_t>(f.height));
    Put16(header, f.planes);
    Put16(header, f.bitsPerPixel);
  } else {
    Put32(header, static_cast<std::uint32_t>(f.width));
    Put32(header, static_cast<std::uint32_t>(f.height));
    Put16(header, f.planes);
    Put16(header, f.bitsPerPixel);
    Put32(header, f.compression);
    Put32(header, f.imageSize);
    Put32(header, 2835);  // resolution, ignored
    Put32(header, 2835);
    Put32(header, f.colorsUsed);
    Put32(header, 0);  // colours important
    if (f.headerSize >= 52)
      for (std::uint32_t mask : f.headerMasks)
        Put32(header, mask);
    // Pad to the stated size; an absurd size stays absurd in the field only.
    if (f.headerSize > header.size() && f.headerSize <= 4096) header.resize(f.headerSize, 0);
  }
  const std::uint32_t tableEnd =
      static_cast<std::uint32_t>(14 + header.size() + f.masksAfterHeader.size() + f.colorTable.size());
  std::vector<std::uint8_t> out;
  Put16(out, f.signature);
  Put32(out, 0);  // file size, unused
  Put32(out, 0);  // reserved
  Put32(out, f.dataOffset.value_or(tableEnd));
  out.insert(out.end(), header.begin(), header.end());
  out.insert(out.end(), f.masksAfterHeader.begin(), f.masksAfterHeader.end());
  out.insert(out.end(), f.colorTable.begin(), f.colorTable.end());
  out.insert(out.end(), f.gap.begin(), f.gap.end());
  out.insert(out.end(), f.pixels.begin(), f.pixels.end());
  return out;
}

inline std::vector<std::uint8_t> Words(std::initializer_list<std::uint32_t> values) {
  std::vector<std::uint8_t> out;
  for (std::uint32_t v : values)
    Put32(out, v);
  return out;
}

}  // namespace mozenta::testing
