// The last page of the sheets: for each palette entry its swatch, label, colour and the sheets the whole
// mosaic needs, and, when the sheets on hand are known, those and the shortfall.
#pragma once

#include "mosaic/block_walk.h"
#include "pdf_document.h"
#include "sheet_content.h"
#include "text_shaper.h"

namespace mozenta {

void DrawTotalsPage(PdfDocument& document, TextShaper& shaper, const CellCounts& totals,
                    const SheetContent& content);

}  // namespace mozenta
