// The eight-colour palette with 4 bits per channel, its enable flags and the nearest-colour match.
// The palette is process-wide: the palette dialog edits it and every conversion reads it.
#pragma once

#include <cstdint>

namespace mozenta {

// One palette colour: 4-bit channels 0..15 in the order R, G, B.
struct PaletteEntry {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
};

inline constexpr int kPaletteSlots = 16;  // slots 0..7 are the palette's colours; 8..15 stay black
inline constexpr int kPaletteColors = 8;

extern PaletteEntry Palette[kPaletteSlots];
// 1: the entry may be chosen. Entry 0 is a candidate whatever its flag.
extern std::uint8_t PaletteEnabled[kPaletteSlots];

// Entries 0..7 get the default colours and flags 0..7 become 1; slots 8..15 are left alone.
void ResetPalette();

// A 4-bit channel as 8 bits: 17 × v in 8-bit arithmetic (0 → 0, 8 → 136, 15 → 255).
inline std::uint8_t ExpandNibble(std::uint8_t v) {
  return static_cast<std::uint8_t>(v * 17);
}

// Packed colour 0x00BBGGRR into its R, G, B bytes, in this order.
inline void SplitColor(std::uint32_t color, std::uint8_t rgb[3]) {
  rgb[0] = static_cast<std::uint8_t>(color);
  rgb[1] = static_cast<std::uint8_t>(color >> 8);
  rgb[2] = static_cast<std::uint8_t>(color >> 16);
}

inline std::uint32_t PackColor(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

// The palette colour of entry i as a packed 8-bit colour.
inline std::uint32_t ExpandedPaletteColor(int i) {
  return PackColor(ExpandNibble(Palette[i].R), ExpandNibble(Palette[i].G), ExpandNibble(Palette[i].B));
}

// The number of the enabled entry nearest to the 4-bit colour (r, g, b) by squared distance. Entry 0 is the
// starting candidate; a later entry wins only when strictly nearer, so ties go to the lower number.
std::int32_t NearestPaletteIndex(std::int32_t r, std::int32_t g, std::int32_t b);

}  // namespace mozenta
