// A page of a block's sheet: the block's name and place in the mosaic, its cells (coloured squares with their
// labels, or in black-and-white the labels alone), the numbers of its columns and rows, the grid lines
// (bolder every 5 cells, bold every 10) and the block's counts at the foot.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "block_name.h"
#include "block_page_plan.h"
#include "mosaic/block_walk.h"
#include "pdf_document.h"
#include "sheet_colors.h"
#include "sheet_content.h"
#include "text_shaper.h"

namespace mozenta {

class BlockPageDrawer {
 public:
  BlockPageDrawer(TextShaper& shaper, const BlockNameShaper& names, const SheetContent& content);

  // Draws part `index` of `plan` as a page of `document`. `cells` holds the block's cells row by row,
  // block.cells.columns to a row.
  void Draw(PdfDocument& document, const MosaicBlock& block, const std::uint8_t* cells,
            const BlockPagePlan& plan, int index);

 private:
  struct Place {
    double left, top, cell;
    BlockPart part;
    int stride;  // cells per row of the block
  };

  void DrawHeader(double pageWidth, const MosaicBlock& block, int pages, int index);
  void DrawCells(cairo_t* cr, const std::uint8_t* cells, const Place& at);
  void DrawLabels(cairo_t* cr, const std::uint8_t* cells, const Place& at);
  void DrawGridLines(cairo_t* cr, const Place& at);
  void DrawNumbers(const Place& at);
  void DrawLegend(cairo_t* cr, double pageWidth, double top, const CellCounts& counts);
  const ShapedText& AxisNumber(int n);

  TextShaper& shaper_;
  const BlockNameShaper& names_;
  const SheetContent& content_;
  std::array<Ink, kPaletteColors> inks_;
  std::array<ShapedText, kPaletteColors> labels_;
  std::array<double, kPaletteColors> labelScale_;  // label size per cell size
  ShapedText title_, placeIntro_, placeColumnMark_, placeRowMark_, open_, slash_, close_, legendIntro_,
      sheetsUnit_;
  std::vector<ShapedText> axisNumbers_;  // 1, 2, … as far as asked
  GlyphBatch blackText_, whiteText_;
};

}  // namespace mozenta
