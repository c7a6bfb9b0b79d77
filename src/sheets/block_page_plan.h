// How one block is printed: the pages it takes, which way up they are and the size of its cells. A block
// whose cells would come out smaller than 4 mm on one page is cut into parts of equal size, each on a page
// of its own, read left to right and top to bottom.
#pragma once

#include "paper.h"

namespace mozenta {

// The fixed parts of a block page, in points.
namespace block_page {
inline constexpr double kMargin = 10 * kPointsPerMillimetre;
inline constexpr double kHeaderHeight = 34;         // the block's name and place
inline constexpr double kColumnNumbersHeight = 10;  // 1..W above the cells
inline constexpr double kRowNumbersWidth = 16;      // 1..H left of the cells
inline constexpr double kLegendHeight = 40;         // the block's counts below the cells
// Cells are at least 4 mm (11.34 pt) and at most 10 mm, in steps of half a point; with the grid's corner on
// a quarter point, every edge and centre of a cell is written with at most two decimals, which keeps the
// page's drawing short.
inline constexpr double kCellStep = 0.5;
inline constexpr double kMinCell = 11.5;
inline constexpr double kMaxCell = 28.5;
}  // namespace block_page

// A part: columns [firstColumn, firstColumn + columns) and rows [firstRow, firstRow + rows) of the block.
struct BlockPart {
  int firstColumn = 0;
  int firstRow = 0;
  int columns = 0;
  int rows = 0;
};

struct BlockPagePlan {
  bool landscape = false;
  int columnParts = 1;
  int rowParts = 1;
  int columnsPerPart = 0;
  int rowsPerPart = 0;
  double cell = block_page::kMaxCell;  // the side of one cell, in points

  int Pages() const { return columnParts * rowParts; }
  // Part `index` (0 ≤ index < Pages()) of a block of `columns` × `rows` cells.
  BlockPart Part(int index, int columns, int rows) const;
};

// The top left corner of a part's first cell on its page, in points from the page's top left corner: the
// cells centred across the page, under the header and the column numbers, on quarter points.
struct CellsOrigin {
  double left = 0;
  double top = 0;
};
CellsOrigin PlaceCells(const BlockPagePlan& plan, const BlockPart& part, PageSize page);

// The plan for a block of `columns` × `rows` cells on `page`: the orientation that needs fewer pages, then
// the one that gives larger cells, then portrait. Parts hold a multiple of five rows (columns) where that
// does not take another page.
BlockPagePlan PlanBlockPages(int columns, int rows, PageSize page);

}  // namespace mozenta
