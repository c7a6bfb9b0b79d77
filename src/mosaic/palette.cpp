#include "palette.h"

namespace mozenta {

PaletteEntry Palette[kPaletteSlots];
std::uint8_t PaletteEnabled[kPaletteSlots];

void ResetPalette() {
  static constexpr PaletteEntry kDefaults[kPaletteColors] = {
      {0, 0, 0},    // black
      {0, 0, 15},   // blue
      {15, 0, 0},   // red
      {15, 0, 15},  // purple
      {0, 8, 0},    // green
      {0, 8, 15},   // light blue
      {15, 15, 0},  // yellow
      {15, 15, 15}  // white
  };
  for (int i = 0; i < kPaletteColors; ++i) {
    Palette[i] = kDefaults[i];
    PaletteEnabled[i] = 1;
  }
}

std::int32_t NearestPaletteIndex(std::int32_t r, std::int32_t g, std::int32_t b) {
  auto distance = [&](const PaletteEntry& e) {
    const std::int32_t dr = r - e.R, dg = g - e.G, db = b - e.B;
    return dr * dr + dg * dg + db * db;
  };
  std::int32_t best = 0;
  std::int32_t bestDistance = distance(Palette[0]);
  for (std::int32_t i = 1; i < kPaletteSlots; ++i) {
    if (PaletteEnabled[i] == 0) continue;
    const std::int32_t d = distance(Palette[i]);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace mozenta
