// How many pages the printable sheets of a mosaic take, known before any is drawn.
#pragma once

#include <cstdint>

#include "mosaic/block_walk.h"
#include "mosaic/mosaic_grid.h"
#include "sheet_options.h"

namespace mozenta {

// More pages than anyone prints; a layout that would take more is refused before anything is written.
inline constexpr std::int64_t kMaxSheetPages = 100000;

// The pages of the sheets of `grid` cut by `layout`: the overview, every block's pages and the totals.
std::int64_t SheetPages(const MosaicGrid& grid, const BlockLayout& layout, PageSize page);

}  // namespace mozenta
