// The first page of the sheets: the whole mosaic at one dot per cell, the block grid over it with the
// blocks' names where they fit, the mosaic's and the blocks' sizes, the order of the block pages and a mark
// at the mosaic's top edge.
#pragma once

#include "block_name.h"
#include "mosaic/block_walk.h"
#include "mosaic/mosaic_grid.h"
#include "pdf_document.h"
#include "sheet_content.h"
#include "text_shaper.h"

namespace mozenta {

void DrawOverviewPage(PdfDocument& document, TextShaper& shaper, const BlockNameShaper& names,
                      const MosaicGrid& grid, const BlockLayout& layout, const SheetContent& content);

}  // namespace mozenta
