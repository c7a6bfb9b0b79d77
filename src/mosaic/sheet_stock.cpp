#include "sheet_stock.h"

#include <algorithm>

#include "picture/messages.h"
#include "progress_gauge.h"

namespace mozenta {
namespace {

class TotalsVisitor : public BlockVisitor {
 public:
  void Finish(const CellCounts& totals) override { totals_ = totals; }
  const CellCounts& Totals() const { return totals_; }

 private:
  CellCounts totals_{};
};

}  // namespace

bool AnyStockKnown(const SheetStock& stock) {
  return std::any_of(stock.begin(), stock.end(), [](const auto& onHand) { return onHand.has_value(); });
}

SheetFigureTable SheetFiguresOf(const CellCounts& totals, const SheetStock& stock) {
  SheetFigureTable figures;
  for (int i = 0; i < kPaletteColors; ++i) {
    SheetFigures& f = figures[i];
    f.needed = totals[i];
    f.onHand = stock[i];
    if (f.onHand && f.needed > *f.onHand) f.shortBy = f.needed - *f.onHand;
  }
  return figures;
}

CellCounts MosaicTotals(const MosaicGrid& grid) {
  // The largest blocks make the fewest; the walk counts the cells as the reports' walk does.
  TotalsVisitor totals;
  SilentGauge gauge;
  ForEachBlock(grid, LayOutBlocks(grid, {kMaxBlockWidth, kMaxBlockHeight}, BlockOrder::kByColumns), {&totals},
               gauge);
  return totals.Totals();
}

std::string GroupedCount(std::int64_t count) {
  const std::string digits = std::to_string(count < 0 ? -count : count);
  std::string grouped = count < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::vector<std::string> ShortageLines(const SheetFigureTable& figures, const ColorLabels& labels) {
  std::vector<std::string> lines;
  for (int i = 0; i < kPaletteColors; ++i) {
    if (figures[i].shortBy > 0) {
      lines.push_back(MessageText(MessageId::kSheetShortage, labels[i], GroupedCount(figures[i].shortBy)));
    }
  }
  return lines;
}

}  // namespace mozenta
