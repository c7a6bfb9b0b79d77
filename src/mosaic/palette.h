// The eight-colour palette with 4 bits per channel and its enable flags, and the nearest-colour match. A
// palette is a plain value: the palette dialog edits the program's, mozenta-batch builds its own from the
// command line, and the conversion reads the one it is given.
#pragma once

#include <array>
#include <cstdint>

namespace mozenta {

// One palette colour: 4-bit channels 0..15 in the order R, G, B.
struct PaletteEntry {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
  friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

inline constexpr int kPaletteSlots = 16;  // slots 0..7 are the palette's colours; 8..15 stay black
inline constexpr int kPaletteColors = 8;

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

// Entry `e` as a pixel of the mosaic bitmap at `bitsPerPixel` (16: 5-5-5, 24 or 32), its bytes from the
// lowest on: blue, green, red (and 0) for 24 and 32 bits.
inline std::uint32_t MosaicPixel(const PaletteEntry& e, int bitsPerPixel) {
  const std::uint32_t r = ExpandNibble(e.R), g = ExpandNibble(e.G), b = ExpandNibble(e.B);
  if (bitsPerPixel == 16) return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
  return b | (g << 8) | (r << 16);
}

// A chosen 8-bit colour (packed 0x00BBGGRR) as the palette keeps it: the top four bits of each channel.
inline PaletteEntry PaletteEntryFromColor(std::uint32_t color) {
  std::uint8_t rgb[3];
  SplitColor(color, rgb);
  return {static_cast<std::uint8_t>(rgb[0] >> 4), static_cast<std::uint8_t>(rgb[1] >> 4),
          static_cast<std::uint8_t>(rgb[2] >> 4)};
}

class Palette {
 public:
  // The default colours in entries 0..7, all enabled; slots 8..15 black and disabled.
  Palette() { Reset(); }

  // Entries 0..7 get the default colours and flags 0..7 become set; slots 8..15 are left alone.
  void Reset();

  const PaletteEntry& Entry(int i) const { return entries_[i]; }
  void SetEntry(int i, const PaletteEntry& entry) { entries_[i] = entry; }

  // Whether entry i may be chosen. Entry 0 is a candidate whatever its flag.
  bool Enabled(int i) const { return enabled_[i]; }
  void SetEnabled(int i, bool enabled) { enabled_[i] = enabled; }

  // The colour of entry i as a packed 8-bit colour.
  std::uint32_t ExpandedColor(int i) const {
    const PaletteEntry& e = entries_[i];
    return PackColor(ExpandNibble(e.R), ExpandNibble(e.G), ExpandNibble(e.B));
  }

  // The number of the enabled entry nearest to the 4-bit colour (r, g, b) by squared distance. Entry 0 is
  // the starting candidate; a later entry wins only when strictly nearer, so ties go to the lower number.
  int Nearest(int r, int g, int b) const;

  friend bool operator==(const Palette&, const Palette&) = default;

 private:
  std::array<PaletteEntry, kPaletteSlots> entries_{};
  std::array<bool, kPaletteSlots> enabled_{};
};

}  // namespace mozenta
