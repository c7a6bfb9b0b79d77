#include "palette.h"

namespace mozenta {

void Palette::Reset() {
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
    entries_[i] = kDefaults[i];
    enabled_[i] = true;
  }
}

int Palette::Nearest(int r, int g, int b) const {
  auto distance = [&](const PaletteEntry& e) {
    const int dr = r - e.R, dg = g - e.G, db = b - e.B;
    return dr * dr + dg * dg + db * db;
  };
  int best = 0;
  int bestDistance = distance(entries_[0]);
  for (int i = 1; i < kPaletteSlots; ++i) {
    if (!enabled_[i]) continue;
    const int d = distance(entries_[i]);
    if (d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

}  // namespace mozenta
