#include "overview_page.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>

#include "block_page_plan.h"
#include "sheet_colors.h"

namespace mozenta {
namespace {

constexpr double kMargin = block_page::kMargin;
constexpr double kPictureTop = kMargin + 76;  // below the title, three lines of sizes and the top mark
constexpr double kMaxDot = block_page::kMaxCell;
constexpr double kSmallestName = 3.5;  // points: smaller names are left out
constexpr double kSmallBlock = 8;      // points: the grid of smaller blocks is drawn in hairlines

// One 1-bit mask per palette entry, a bit per cell, and the cells of each entry. A mosaic of 2000 × 20000
// cells needs 5 MB a mask where one 24-bit picture would need 160 MB; cairo writes each mask as a PDF
// stencil, painted in its entry's colour without smoothing.
class EntryMasks {
 public:
  EntryMasks(const MosaicGrid& grid, int columns, int rows) {
    // Thirty-two columns at a time make one 32-bit word of each mask row, read as 32 runs down the columns.
    for (int x0 = 0; x0 < columns; x0 += 32) {
      const int width = std::min(32, columns - x0);
      for (int y = 0; y < rows; ++y) {
        std::array<std::uint32_t, kPaletteColors> words{};
        const std::uint8_t* cell = grid.Cells() + MosaicGrid::Offset(x0, y);
        for (int i = 0; i < width; ++i)
          words[cell[i * MosaicGrid::Offset(1, 0)] & 7] |= Bit(i);
        for (int entry = 0; entry < kPaletteColors; ++entry) {
          if (words[entry] == 0) continue;
          counts[entry] += std::popcount(words[entry]);
          Row(entry, columns, rows, y)[x0 / 32] = words[entry];
        }
      }
    }
    for (cairo_surface_t* mask : masks)
      if (mask != nullptr) cairo_surface_mark_dirty(mask);
  }
  ~EntryMasks() {
    for (cairo_surface_t* mask : masks)
      if (mask != nullptr) cairo_surface_destroy(mask);
  }
  EntryMasks(const EntryMasks&) = delete;
  EntryMasks& operator=(const EntryMasks&) = delete;

  std::array<cairo_surface_t*, kPaletteColors> masks{};
  std::array<std::int64_t, kPaletteColors> counts{};

 private:
  // Cairo packs 1-bit pixels into 32-bit words in the machine's byte order: the first pixel is the lowest
  // bit on a little-endian machine, the highest on a big-endian one.
  static std::uint32_t Bit(int i) {
    return std::endian::native == std::endian::little ? std::uint32_t{1} << i
                                                      : std::uint32_t{0x80000000} >> i;
  }

  std::uint32_t* Row(int entry, int columns, int rows, int y) {
    cairo_surface_t*& mask = masks[entry];
    if (mask == nullptr) {
      mask = cairo_image_surface_create(CAIRO_FORMAT_A1, columns, rows);
      if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(mask);
        mask = nullptr;
        throw std::bad_alloc();
      }
      cairo_surface_flush(mask);
    }
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(mask) +
                                            std::ptrdiff_t{y} * cairo_image_surface_get_stride(mask));
  }
};

void DrawPicture(cairo_t* cr, const MosaicGrid& grid, int columns, int rows, const Palette& palette,
                 double left, double top, double dot) {
  const EntryMasks masks(grid, columns, rows);
  // The commonest colour is one rectangle under the others.
  const int common =
      static_cast<int>(std::max_element(masks.counts.begin(), masks.counts.end()) - masks.counts.begin());
  EntryInk(palette, common).Use(cr);
  cairo_rectangle(cr, left, top, columns * dot, rows * dot);
  cairo_fill(cr);
  for (int entry = 0; entry < kPaletteColors; ++entry) {
    if (entry == common || masks.masks[entry] == nullptr) continue;
    cairo_save(cr);
    cairo_translate(cr, left, top);
    cairo_scale(cr, dot, dot);
    EntryInk(palette, entry).Use(cr);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(masks.masks[entry]);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_mask(cr, pattern);
    cairo_pattern_destroy(pattern);
    cairo_restore(cr);
  }
}

// The block grid in dark lines with a white edge, so it shows on every colour, and the blocks' names on
// light patches where the blocks hold them.
void DrawBlockGrid(cairo_t* cr, const BlockNameShaper& names, const BlockLayout& layout, int columns,
                   int rows, double left, double top, double dot) {
  const double blockWidth = layout.size.width * dot, blockHeight = layout.size.height * dot;
  const double right = left + columns * dot, bottom = top + rows * dot;
  const double line = std::clamp(std::min(blockWidth, blockHeight) * 0.06, 0.05, 0.8);
  for (std::int64_t c = 0; c <= layout.columns; ++c) {
    const double x = std::min(left + c * blockWidth, right);
    cairo_move_to(cr, x, top);
    cairo_line_to(cr, x, bottom);
  }
  for (std::int64_t r = 0; r <= layout.rows; ++r) {
    const double y = std::min(top + r * blockHeight, bottom);
    cairo_move_to(cr, left, y);
    cairo_line_to(cr, right, y);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
  if (std::min(blockWidth, blockHeight) >= kSmallBlock) {
    cairo_set_line_width(cr, 2 * line);
    kWhiteInk.Use(cr);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, line);
    kBlackInk.Use(cr);
  } else {
    // Blocks of a few points: hairlines at half strength, so that the picture still shows through a grid
    // that a screen draws a pixel wide.
    cairo_set_line_width(cr, line);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  }
  cairo_stroke(cr);

  // One size for every name, set by the longest (the last block's) in a whole block.
  const ShapedText longest = names.Name(layout.columns - 1, layout.rows - 1);
  const double size = std::min({9.0, 0.85 * blockWidth / longest.advance, 0.5 * blockHeight});
  if (size < kSmallestName) return;
  GlyphBatch text;
  const double pad = size * 0.15;
  for (std::int64_t r = 0; r < layout.rows; ++r) {
    for (std::int64_t c = 0; c < layout.columns; ++c) {
      const double x0 = left + c * blockWidth, y0 = top + r * blockHeight;
      const double width = std::min(right, x0 + blockWidth) - x0,
                   height = std::min(bottom, y0 + blockHeight) - y0;
      const ShapedText name = names.Name(c, r);
      if (name.advance * size > 0.9 * width || size > 0.6 * height) continue;
      const double x = x0 + width / 2 - name.InkCentreX() * size;
      const double baseline = y0 + height / 2 - name.InkCentreY() * size;
      cairo_rectangle(cr, x + name.inkLeft * size - pad, baseline + name.inkTop * size - pad,
                      (name.inkRight - name.inkLeft) * size + 2 * pad,
                      (name.inkBottom - name.inkTop) * size + 2 * pad);
      text.Add(name, size, x, baseline);
    }
  }
  cairo_set_source_rgba(cr, 1, 1, 1, 0.75);
  cairo_fill(cr);
  kBlackInk.Use(cr);
  text.Draw(cr);
}

}  // namespace

void DrawOverviewPage(PdfDocument& document, TextShaper& shaper, const BlockNameShaper& names,
                      const MosaicGrid& grid, const BlockLayout& layout, const SheetContent& content) {
  const int columns = grid.MaxX() + 1, rows = grid.MaxY() + 1;
  const PaperSize paper = PaperOf(content.options.page);
  // The way up that shows the cells largest.
  const auto dotOn = [&](const PaperSize& sheet) {
    if (columns <= 0 || rows <= 0) return kMaxDot;
    return std::min(
        {kMaxDot, (sheet.width - 2 * kMargin) / columns, (sheet.height - kMargin - kPictureTop) / rows});
  };
  const bool landscape = dotOn(paper.Turned(true)) > dotOn(paper);
  const PaperSize sheet = paper.Turned(landscape);
  const double dot = dotOn(sheet);
  cairo_t* cr = document.BeginPage(sheet.width, sheet.height);

  GlyphBatch text;
  ShapedText title = shaper.Shape(content.title);
  title.Append(shaper.Shape(content.title.empty() ? "全体図" : "  全体図"));
  text.Add(title, 16, kMargin, kMargin + 16);
  const std::string order = layout.order == BlockOrder::kByRows
                                ? "ページの順: 段ごと、上の段から (1列目-1段目、2列目-1段目、…)"
                                : "ページの順: 列ごと、左の列から (1列目-1段目、1列目-2段目、…)";
  const std::string lines[] = {"モザイク: 横 " + std::to_string(std::max(columns, 0)) + " × 縦 " +
                                   std::to_string(std::max(rows, 0)) + " 枚",
                               "ブロック: 横 " + std::to_string(layout.size.width) + " × 縦 " +
                                   std::to_string(layout.size.height) + " 枚、" +
                                   std::to_string(layout.columns) + "列 × " + std::to_string(layout.rows) +
                                   "段 = " + std::to_string(layout.columns * layout.rows) + " ブロック",
                               order};
  for (int i = 0; i < 3; ++i)
    text.Add(shaper.Shape(lines[i]), 9, kMargin, kMargin + 32 + 12 * i);

  if (columns > 0 && rows > 0) {
    const double left = kMargin + ((sheet.width - 2 * kMargin) - columns * dot) / 2;
    const ShapedText top = shaper.Shape("▲ 上");
    text.Add(top, 10, left + columns * dot / 2 - top.InkCentreX() * 10, kPictureTop - 4);
    DrawPicture(cr, grid, columns, rows, content.palette, left, kPictureTop, dot);
    DrawBlockGrid(cr, names, layout, columns, rows, left, kPictureTop, dot);
  }
  kBlackInk.Use(cr);
  text.Draw(cr);
  document.EndPage();
}

}  // namespace mozenta
