#include "block_page_plan.h"

#include <algorithm>
#include <cmath>

namespace mozenta {
namespace {

using namespace block_page;

int CeilDiv(int a, int b) {
  return (a + b - 1) / b;
}

// Cells per part along one side: as even as the parts allow, rounded up to a multiple of five when that
// still fits.
int CellsPerPart(int cells, int maxPerPage) {
  if (cells <= maxPerPage) return cells;
  const int even = CeilDiv(cells, CeilDiv(cells, maxPerPage));
  const int five = CeilDiv(even, 5) * 5;
  return five <= maxPerPage ? five : even;
}

BlockPagePlan PlanFor(int columns, int rows, PaperSize paper, bool landscape) {
  const PaperSize sheet = paper.Turned(landscape);
  const double width = sheet.width - 2 * kMargin - kRowNumbersWidth;
  const double height = sheet.height - 2 * kMargin - kHeaderHeight - kColumnNumbersHeight - kLegendHeight;
  const int maxColumns = std::max(1, static_cast<int>(width / kMinCell));
  const int maxRows = std::max(1, static_cast<int>(height / kMinCell));

  BlockPagePlan plan;
  plan.landscape = landscape;
  if (columns <= 0 || rows <= 0) return plan;
  plan.columnsPerPart = CellsPerPart(columns, maxColumns);
  plan.rowsPerPart = CellsPerPart(rows, maxRows);
  plan.columnParts = CeilDiv(columns, plan.columnsPerPart);
  plan.rowParts = CeilDiv(rows, plan.rowsPerPart);
  const double fit = std::min({kMaxCell, width / plan.columnsPerPart, height / plan.rowsPerPart});
  plan.cell = std::floor(fit / kCellStep) * kCellStep;
  return plan;
}

double OnQuarterPoints(double value) {
  return std::round(value * 4) / 4;
}

}  // namespace

CellsOrigin PlaceCells(const BlockPagePlan& plan, const BlockPart& part, PageSize page) {
  const PaperSize sheet = PaperOf(page).Turned(plan.landscape);
  const double room = sheet.width - 2 * kMargin - kRowNumbersWidth;
  return {OnQuarterPoints(kMargin + kRowNumbersWidth + (room - part.columns * plan.cell) / 2),
          OnQuarterPoints(kMargin + kHeaderHeight + kColumnNumbersHeight)};
}

BlockPart BlockPagePlan::Part(int index, int columns, int rows) const {
  BlockPart part;
  part.firstColumn = (index % columnParts) * columnsPerPart;
  part.firstRow = (index / columnParts) * rowsPerPart;
  part.columns = std::min(columnsPerPart, columns - part.firstColumn);
  part.rows = std::min(rowsPerPart, rows - part.firstRow);
  return part;
}

BlockPagePlan PlanBlockPages(int columns, int rows, PageSize page) {
  const PaperSize paper = PaperOf(page);
  const BlockPagePlan portrait = PlanFor(columns, rows, paper, false);
  const BlockPagePlan landscape = PlanFor(columns, rows, paper, true);
  if (landscape.Pages() != portrait.Pages())
    return landscape.Pages() < portrait.Pages() ? landscape : portrait;
  return landscape.cell > portrait.cell ? landscape : portrait;
}

}  // namespace mozenta
