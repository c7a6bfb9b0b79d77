#include "block_page.h"

#include <algorithm>
#include <cmath>

namespace mozenta {
namespace {

using namespace block_page;

constexpr double kNameSize = 16;
constexpr double kPartSize = 12;
constexpr double kSmallSize = 9;
constexpr double kNumberSize = 7;
// A label fills at most this share of its cell's height, and of its width.
constexpr double kLabelHeight = 0.625;
constexpr double kLabelWidth = 0.84;

// The size of a label as a share of its cell: one cell over a number of a single decimal, so that the steps
// from cell to cell, which the PDF writes in units of the font size, are short numbers too.
double LabelScale(const ShapedText& label) {
  const double width = std::max(label.advance, label.inkRight - label.inkLeft);
  const double scale = width > 0 ? std::min(kLabelHeight, kLabelWidth / width) : kLabelHeight;
  return 1 / (std::ceil(10 / scale - 1e-9) / 10);
}

struct LineStyle {
  double width;
  double grey;
};
// Thin around every cell, bolder every 5, bold every 10 and around the part.
constexpr LineStyle kColourLines[] = {{0.3, 0.45}, {0.9, 0.12}, {1.6, 0}};
constexpr LineStyle kSymbolLines[] = {{0.4, 0}, {1.0, 0}, {1.8, 0}};

int LineWeight(int boundary, bool edge) {
  return edge || boundary % 10 == 0 ? 2 : boundary % 5 == 0 ? 1 : 0;
}

}  // namespace

BlockPageDrawer::BlockPageDrawer(TextShaper& shaper, const BlockNameShaper& names,
                                 const SheetContent& content)
    : shaper_(shaper), names_(names), content_(content) {
  for (int i = 0; i < kPaletteColors; ++i) {
    inks_[i] = EntryInk(content.palette, i);
    labels_[i] = shaper.Shape(content.labels[i]);
    labelScale_[i] = LabelScale(labels_[i]);
  }
  title_ = shaper.Shape(content.title);
  placeIntro_ = shaper.Shape("ブロック左上のマス: 全体の");
  placeColumnMark_ = shaper.Shape("列目・");
  placeRowMark_ = shaper.Shape("段目");
  open_ = shaper.Shape(" (");
  slash_ = shaper.Shape("/");
  close_ = shaper.Shape(")");
  legendIntro_ = shaper.Shape("このブロックの枚数   合計 ");
  sheetsUnit_ = shaper.Shape("枚");
}

const ShapedText& BlockPageDrawer::AxisNumber(int n) {
  while (static_cast<int>(axisNumbers_.size()) < n)
    axisNumbers_.push_back(shaper_.Number(static_cast<std::int64_t>(axisNumbers_.size()) + 1));
  return axisNumbers_[n - 1];
}

void BlockPageDrawer::Draw(PdfDocument& document, const MosaicBlock& block, const std::uint8_t* cells,
                           const BlockPagePlan& plan, int index) {
  const PaperSize sheet = PaperOf(content_.options.page).Turned(plan.landscape);
  cairo_t* cr = document.BeginPage(sheet.width, sheet.height);
  DrawHeader(sheet.width, block, plan.Pages(), index);

  Place at;
  at.cell = plan.cell;
  at.part = plan.Part(index, block.cells.columns, block.cells.rows);
  at.stride = block.cells.columns;
  const CellsOrigin origin = PlaceCells(plan, at.part, content_.options.page);
  at.left = origin.left;
  at.top = origin.top;
  const bool hasCells = at.part.columns > 0 && at.part.rows > 0;
  if (hasCells) {
    DrawCells(cr, cells, at);
    DrawLabels(cr, cells, at);
    DrawGridLines(cr, at);
    DrawNumbers(at);
  }
  DrawLegend(cr, sheet.width, at.top + (hasCells ? at.part.rows * at.cell : 0) + 8, block.counts);
  kBlackInk.Use(cr);
  blackText_.Draw(cr);
  document.EndPage();
}

void BlockPageDrawer::DrawHeader(double pageWidth, const MosaicBlock& block, int pages, int index) {
  const double nameBaseline = kMargin + 16;
  const ShapedText name = names_.Name(block.column, block.row);
  blackText_.Add(name, kNameSize, kMargin, nameBaseline);
  if (pages > 1) {
    ShapedText part = open_;
    part.Append(shaper_.Number(index + 1));
    part.Append(slash_);
    part.Append(shaper_.Number(pages));
    part.Append(close_);
    blackText_.Add(part, kPartSize, kMargin + name.advance * kNameSize, nameBaseline);
  }
  // The name of the save at the right, smaller when it is long.
  const double titleRoom = (pageWidth - 2 * kMargin) / 2;
  const double titleSize = title_.advance * kSmallSize > titleRoom ? titleRoom / title_.advance : kSmallSize;
  blackText_.Add(title_, titleSize, pageWidth - kMargin - title_.advance * titleSize, nameBaseline);

  ShapedText place = placeIntro_;
  place.Append(shaper_.Number(std::int64_t{block.firstX} + 1));
  place.Append(placeColumnMark_);
  place.Append(shaper_.Number(std::int64_t{block.firstY} + 1));
  place.Append(placeRowMark_);
  blackText_.Add(place, kSmallSize, kMargin, kMargin + 30);
}

void BlockPageDrawer::DrawCells(cairo_t* cr, const std::uint8_t* cells, const Place& at) {
  if (content_.options.symbols) return;  // white paper: the colours are in the legend
  const BlockPart& part = at.part;
  std::array<int, kPaletteColors> counts{};
  for (int r = 0; r < part.rows; ++r) {
    const std::uint8_t* row = cells + (part.firstRow + r) * at.stride + part.firstColumn;
    for (int c = 0; c < part.columns; ++c)
      ++counts[row[c] & 7];
  }
  // The commonest colour covers the whole part; each run of another colour along a row is one stroke as
  // wide as a cell, from its first cell's left edge to its last cell's right edge.
  const int common = static_cast<int>(std::max_element(counts.begin(), counts.end()) - counts.begin());
  inks_[common].Use(cr);
  cairo_rectangle(cr, at.left, at.top, part.columns * at.cell, part.rows * at.cell);
  cairo_fill(cr);
  cairo_set_line_width(cr, at.cell);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  for (int entry = 0; entry < kPaletteColors; ++entry) {
    if (entry == common || counts[entry] == 0) continue;
    for (int r = 0; r < part.rows; ++r) {
      const std::uint8_t* row = cells + (part.firstRow + r) * at.stride + part.firstColumn;
      const double y = at.top + (r + 0.5) * at.cell;
      for (int c = 0; c < part.columns;) {
        if ((row[c] & 7) != entry) {
          ++c;
          continue;
        }
        int end = c + 1;
        while (end < part.columns && (row[end] & 7) == entry)
          ++end;
        cairo_move_to(cr, at.left + c * at.cell, y);
        cairo_line_to(cr, at.left + end * at.cell, y);
        c = end;
      }
    }
    inks_[entry].Use(cr);
    cairo_stroke(cr);
  }
}

void BlockPageDrawer::DrawLabels(cairo_t* cr, const std::uint8_t* cells, const Place& at) {
  // Where each entry's label goes: its size and its offset from the cell's centre, and the batch of its
  // text colour.
  struct LabelPlace {
    GlyphBatch* batch = nullptr;
    double size = 0, dx = 0, dy = 0;
  };
  std::array<LabelPlace, kPaletteColors> places;
  for (int i = 0; i < kPaletteColors; ++i) {
    if (labels_[i].Empty()) continue;
    LabelPlace& place = places[i];
    place.size = labelScale_[i] * at.cell;
    place.dx = -labels_[i].InkCentreX() * place.size;
    place.dy = -labels_[i].InkCentreY() * place.size;
    const bool white = !content_.options.symbols && TextInkOn(inks_[i]).red > 0.5;
    place.batch = white ? &whiteText_ : &blackText_;
  }
  const BlockPart& part = at.part;
  for (int r = 0; r < part.rows; ++r) {
    const std::uint8_t* row = cells + (part.firstRow + r) * at.stride + part.firstColumn;
    const double y = at.top + (r + 0.5) * at.cell;
    for (int c = 0; c < part.columns; ++c) {
      const int entry = row[c] & 7;
      const LabelPlace& place = places[entry];
      if (place.batch != nullptr) {
        place.batch->Add(labels_[entry], place.size, at.left + (c + 0.5) * at.cell + place.dx, y + place.dy);
      }
    }
  }
  kWhiteInk.Use(cr);
  whiteText_.Draw(cr);
}

void BlockPageDrawer::DrawGridLines(cairo_t* cr, const Place& at) {
  const BlockPart& part = at.part;
  const double right = at.left + part.columns * at.cell;
  const double bottom = at.top + part.rows * at.cell;
  const LineStyle* styles = content_.options.symbols ? kSymbolLines : kColourLines;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  // One path per weight, thin first, so bolder lines lie over the thin ones where they cross.
  for (int weight = 0; weight < 3; ++weight) {
    for (int c = 0; c <= part.columns; ++c) {
      if (LineWeight(part.firstColumn + c, c == 0 || c == part.columns) != weight) continue;
      const double x = at.left + c * at.cell;
      cairo_move_to(cr, x, at.top);
      cairo_line_to(cr, x, bottom);
    }
    for (int r = 0; r <= part.rows; ++r) {
      if (LineWeight(part.firstRow + r, r == 0 || r == part.rows) != weight) continue;
      const double y = at.top + r * at.cell;
      cairo_move_to(cr, at.left, y);
      cairo_line_to(cr, right, y);
    }
    cairo_set_line_width(cr, styles[weight].width);
    cairo_set_source_rgb(cr, styles[weight].grey, styles[weight].grey, styles[weight].grey);
    cairo_stroke(cr);
  }
}

void BlockPageDrawer::DrawNumbers(const Place& at) {
  const BlockPart& part = at.part;
  for (int c = 0; c < part.columns; ++c) {
    const ShapedText& number = AxisNumber(part.firstColumn + c + 1);
    blackText_.Add(number, kNumberSize, at.left + (c + 0.5) * at.cell - number.InkCentreX() * kNumberSize,
                   at.top - 3);
  }
  // Every row number on the same line through its cell's centre: the digits' common height decides.
  const double centreY = AxisNumber(1).InkCentreY() * kNumberSize;
  for (int r = 0; r < part.rows; ++r) {
    const ShapedText& number = AxisNumber(part.firstRow + r + 1);
    blackText_.Add(number, kNumberSize, at.left - 3 - number.advance * kNumberSize,
                   at.top + (r + 0.5) * at.cell - centreY);
  }
}

void BlockPageDrawer::DrawLegend(cairo_t* cr, double pageWidth, double top, const CellCounts& counts) {
  std::int64_t total = 0;
  for (const std::int32_t count : counts)
    total += count;
  ShapedText intro = legendIntro_;
  intro.Append(shaper_.Number(total));
  intro.Append(sheetsUnit_);
  blackText_.Add(intro, kSmallSize, kMargin, top + 10);

  // Eight slots across the page: swatch, label, count.
  const double slot = (pageWidth - 2 * kMargin) / kPaletteColors;
  const double swatch = 10, swatchTop = top + 18, baseline = top + 27;
  for (int i = 0; i < kPaletteColors; ++i) {
    const double x = kMargin + i * slot;
    inks_[i].Use(cr);
    cairo_rectangle(cr, x, swatchTop, swatch, swatch);
    cairo_fill(cr);
    const ShapedText count = shaper_.Number(counts[i]);
    const double countWidth = count.advance * kSmallSize;
    // The label takes what the swatch and the count leave of the slot.
    const double room = slot - swatch - countWidth - 9;
    const double labelSize = labels_[i].advance * kSmallSize > room && labels_[i].advance > 0
                                 ? room / labels_[i].advance
                                 : kSmallSize;
    blackText_.Add(labels_[i], labelSize, x + swatch + 3, baseline);
    blackText_.Add(count, kSmallSize, x + swatch + 6 + labels_[i].advance * labelSize, baseline);
  }
  for (int i = 0; i < kPaletteColors; ++i)
    cairo_rectangle(cr, kMargin + i * slot, swatchTop, swatch, swatch);
  cairo_set_line_width(cr, 0.5);
  kBlackInk.Use(cr);
  cairo_stroke(cr);
}

}  // namespace mozenta
