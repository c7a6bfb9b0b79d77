#include "sheet_pages.h"

#include "block_page_plan.h"

namespace mozenta {

std::int64_t SheetPages(const MosaicGrid& grid, const BlockLayout& layout, PageSize page) {
  const std::int64_t columns = std::int64_t{grid.MaxX()} + 1, rows = std::int64_t{grid.MaxY()} + 1;
  if (columns <= 0 || rows <= 0) return 3;  // one block without cells
  const auto pagesOf = [&](std::int64_t width, std::int64_t height) {
    return std::int64_t{PlanBlockPages(static_cast<int>(width), static_cast<int>(height), page).Pages()};
  };
  // Whole blocks, and those the right and bottom edges cut short.
  const std::int64_t width = layout.size.width, height = layout.size.height;
  const std::int64_t wholeColumns = columns / width, wholeRows = rows / height;
  const std::int64_t restColumns = columns % width, restRows = rows % height;
  std::int64_t pages = 2 + wholeColumns * wholeRows * pagesOf(width, height);
  if (restColumns > 0) pages += wholeRows * pagesOf(restColumns, height);
  if (restRows > 0) pages += wholeColumns * pagesOf(width, restRows);
  if (restColumns > 0 && restRows > 0) pages += pagesOf(restColumns, restRows);
  return pages;
}

}  // namespace mozenta
