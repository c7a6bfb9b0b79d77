// The colours of the sheets: each palette entry's colour for cairo, and the text colour that reads on it.
#pragma once

#include <cairo.h>

#include "mosaic/palette.h"

namespace mozenta {

struct Ink {
  double red = 0, green = 0, blue = 0;  // 0..1

  void Use(cairo_t* cr) const { cairo_set_source_rgb(cr, red, green, blue); }
};

inline constexpr Ink kBlackInk{0, 0, 0};
inline constexpr Ink kWhiteInk{1, 1, 1};

// Entry i's colour as the palette expands it to 8 bits a channel.
Ink EntryInk(const Palette& palette, int entry);

// Black or white, whichever has the higher contrast ratio against `background` (by relative luminance).
Ink TextInkOn(const Ink& background);

}  // namespace mozenta
