// What the printable sheets show besides the cells: the name on every page, the colours and labels of the
// palette's entries, the sheets on hand, and the options of the look.
#pragma once

#include <string>

#include "mosaic/color_labels.h"
#include "mosaic/palette.h"
#include "mosaic/sheet_stock.h"
#include "sheet_options.h"

namespace mozenta {

struct SheetContent {
  std::string title;  // UTF-8, at the top of every page
  Palette palette;    // the colours of entries 0..7, as the mosaic was made with them
  ColorLabels labels = DefaultColorLabels();
  SheetStock stock{};
  SheetOptions options;
};

}  // namespace mozenta
