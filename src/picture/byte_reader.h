// Little- and big-endian loads from byte buffers, for the readers of picture files.
#pragma once

#include <cstdint>

namespace mozenta {

inline std::uint16_t LoadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t LoadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Big-endian (network order), as in JPEG segments and "MM" TIFF structures.
inline std::uint16_t LoadU16BE(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

inline std::uint32_t LoadU32BE(const std::uint8_t* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) | (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | static_cast<std::uint32_t>(p[3]);
}

inline std::int16_t LoadS16(const std::uint8_t* p) {
  return static_cast<std::int16_t>(LoadU16(p));
}
inline std::int32_t LoadS32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(LoadU32(p));
}

}  // namespace mozenta
