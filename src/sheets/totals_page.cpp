#include "totals_page.h"

#include <string>

#include "block_page_plan.h"
#include "mosaic/sheet_stock.h"
#include "sheet_colors.h"

namespace mozenta {
namespace {

constexpr double kMargin = block_page::kMargin;
constexpr double kTextSize = 11;
constexpr double kRowHeight = 24;
constexpr Ink kShortInk{0.75, 0, 0};

}  // namespace

void DrawTotalsPage(PdfDocument& document, TextShaper& shaper, const CellCounts& totals,
                    const SheetContent& content) {
  const PaperSize sheet = PaperOf(content.options.page);
  cairo_t* cr = document.BeginPage(sheet.width, sheet.height);
  const bool stockKnown = AnyStockKnown(content.stock);

  GlyphBatch text, shortText;
  ShapedText title = shaper.Shape(content.title);
  title.Append(shaper.Shape(content.title.empty() ? "合計" : "  合計"));
  text.Add(title, 16, kMargin, kMargin + 16);

  // Columns: swatch, label and RGB from the left; the numbers right-aligned at their column's right edge.
  const double swatchX = kMargin, labelX = kMargin + 30, rgbX = kMargin + 130;
  const double countRight = kMargin + 320, onHandRight = kMargin + 400, shortRight = kMargin + 480;
  const auto addRight = [&](GlyphBatch& batch, const ShapedText& shaped, double right, double baseline) {
    batch.Add(shaped, kTextSize, right - shaped.advance * kTextSize, baseline);
  };
  double baseline = kMargin + 56;
  text.Add(shaper.Shape("色"), kTextSize, swatchX, baseline);
  text.Add(shaper.Shape("記号"), kTextSize, labelX, baseline);
  text.Add(shaper.Shape("RGB"), kTextSize, rgbX, baseline);
  addRight(text, shaper.Shape("枚数"), countRight, baseline);
  if (stockKnown) {
    addRight(text, shaper.Shape("手持ち"), onHandRight, baseline);
    addRight(text, shaper.Shape("不足"), shortRight, baseline);
  }
  const double tableRight = stockKnown ? shortRight : countRight;
  const double headRule = baseline + 7;

  std::int64_t total = 0;
  const SheetFigureTable figures = SheetFiguresOf(totals, content.stock);
  const ShapedText none = shaper.Shape("—");
  for (int i = 0; i < kPaletteColors; ++i) {
    baseline += kRowHeight;
    const Ink ink = EntryInk(content.palette, i);
    ink.Use(cr);
    cairo_rectangle(cr, swatchX, baseline - 12, 16, 16);
    cairo_fill(cr);
    text.Add(shaper.Shape(content.labels[i]), kTextSize, labelX, baseline);
    std::uint8_t rgb[3];
    SplitColor(content.palette.ExpandedColor(i), rgb);
    text.Add(
        shaper.Shape(std::to_string(rgb[0]) + ", " + std::to_string(rgb[1]) + ", " + std::to_string(rgb[2])),
        kTextSize, rgbX, baseline);
    addRight(text, shaper.Number(totals[i]), countRight, baseline);
    total += totals[i];
    if (stockKnown) {
      if (const SheetFigures& entry = figures[i]; entry.onHand) {
        addRight(text, shaper.Number(*entry.onHand), onHandRight, baseline);
        addRight(entry.shortBy > 0 ? shortText : text, shaper.Number(entry.shortBy), shortRight, baseline);
      } else {
        addRight(text, none, onHandRight, baseline);
        addRight(text, none, shortRight, baseline);
      }
    }
  }
  const double footRule = baseline + 9;
  baseline += kRowHeight;
  text.Add(shaper.Shape("合計"), kTextSize, labelX, baseline);
  addRight(text, shaper.Number(total), countRight, baseline);

  for (const double y : {headRule, footRule}) {
    cairo_move_to(cr, kMargin, y);
    cairo_line_to(cr, tableRight, y);
  }
  for (int i = 0; i < kPaletteColors; ++i)
    cairo_rectangle(cr, swatchX, headRule - 7 + (i + 1) * kRowHeight - 12, 16, 16);
  cairo_set_line_width(cr, 0.5);
  kBlackInk.Use(cr);
  cairo_stroke(cr);
  text.Draw(cr);
  kShortInk.Use(cr);
  shortText.Draw(cr);
  document.EndPage();
}

}  // namespace mozenta
