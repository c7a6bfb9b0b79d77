// The sheets a team has on hand, per palette entry, and what the mosaic needs beyond them. The figures are
// the same wherever they are shown: the "詳細設定" window after a conversion, mozenta-batch's stderr, the
// totals page of the printable sheets. The reports (.txt, .csv) do not show them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "block_walk.h"
#include "color_labels.h"
#include "mosaic_grid.h"
#include "palette.h"

namespace mozenta {

// Sheets on hand of entries 0..7; an entry without a number is not counted against.
using SheetStock = std::array<std::optional<std::int64_t>, kPaletteColors>;

// One entry's sheets: those the mosaic needs, those on hand (if known) and the shortfall (needed − on hand
// where that is positive, else 0).
struct SheetFigures {
  std::int64_t needed = 0;
  std::optional<std::int64_t> onHand;
  std::int64_t shortBy = 0;
};
using SheetFigureTable = std::array<SheetFigures, kPaletteColors>;

// Whether any entry has a number of sheets on hand.
bool AnyStockKnown(const SheetStock& stock);

// The figures of every entry from the mosaic's totals (the counts the reports print last).
SheetFigureTable SheetFiguresOf(const CellCounts& totals, const SheetStock& stock);

// The totals of the mosaic in `grid` (the cells inside its limits, counted as the reports count them).
CellCounts MosaicTotals(const MosaicGrid& grid);

// A count with its digits grouped by three: 1234567 → "1,234,567".
std::string GroupedCount(std::int64_t count);

// One line per entry that is short, in entry order: "不足: 赤 1,234枚".
std::vector<std::string> ShortageLines(const SheetFigureTable& figures, const ColorLabels& labels);

}  // namespace mozenta
