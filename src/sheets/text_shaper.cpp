#include "text_shaper.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <new>
#include <string>

#include "valid_utf8.h"

namespace mozenta {
namespace {

// Text is shaped at 100 pixels and scaled down to ems: pango's units are 1/1024 pixel, so the positions keep
// a precision far below anything printed.
constexpr double kShapingSize = 100;

double Ems(int pangoUnits) {
  return pangoUnits / (static_cast<double>(PANGO_SCALE) * kShapingSize);
}

}  // namespace

void ShapedText::Append(const ShapedText& other) {
  if (other.Empty()) {
    advance += other.advance;
    return;
  }
  if (Empty()) {
    inkLeft = advance + other.inkLeft;
    inkRight = advance + other.inkRight;
    inkTop = other.inkTop;
    inkBottom = other.inkBottom;
  } else {
    inkLeft = std::min(inkLeft, advance + other.inkLeft);
    inkRight = std::max(inkRight, advance + other.inkRight);
    inkTop = std::min(inkTop, other.inkTop);
    inkBottom = std::max(inkBottom, other.inkBottom);
  }
  for (const Run& run : other.runs) {
    Run* into = runs.empty() || runs.back().face != run.face ? &runs.emplace_back() : &runs.back();
    into->face = run.face;
    for (cairo_glyph_t glyph : run.glyphs) {
      glyph.x += advance;
      into->glyphs.push_back(glyph);
    }
  }
  advance += other.advance;
}

TextShaper::TextShaper() {
  fontMap_ = pango_cairo_font_map_new();
  context_ = pango_font_map_create_context(fontMap_);
  // Outlines as drawn, without hinting: the PDF is scaled by whoever prints it.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(context_, options);
  cairo_font_options_destroy(options);
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, kSheetFontFamily);
  pango_font_description_set_absolute_size(description, kShapingSize * PANGO_SCALE);
  pango_context_set_font_description(context_, description);
  PangoFontMetrics* metrics = pango_context_get_metrics(context_, description, nullptr);
  ascent_ = Ems(pango_font_metrics_get_ascent(metrics));
  descent_ = Ems(pango_font_metrics_get_descent(metrics));
  pango_font_metrics_unref(metrics);
  pango_font_description_free(description);
  layout_ = pango_layout_new(context_);
  if (fontMap_ == nullptr || context_ == nullptr || layout_ == nullptr) throw std::bad_alloc();

  for (int digit = 0; digit < 10; ++digit)
    digits_[digit] = Shape(std::string(1, static_cast<char>('0' + digit)));
  minus_ = Shape("-");
}

TextShaper::~TextShaper() {
  for (cairo_font_face_t* face : faces_)
    cairo_font_face_destroy(face);
  if (layout_ != nullptr) g_object_unref(layout_);
  if (context_ != nullptr) g_object_unref(context_);
  if (fontMap_ != nullptr) g_object_unref(fontMap_);
}

cairo_font_face_t* TextShaper::KeepFace(cairo_font_face_t* face) {
  if (std::find(faces_.begin(), faces_.end(), face) == faces_.end())
    faces_.push_back(cairo_font_face_reference(face));
  return face;
}

ShapedText TextShaper::Shape(std::string_view utf8) {
  ShapedText text;
  const std::string valid = ValidUtf8(utf8);
  pango_layout_set_text(layout_, valid.data(), static_cast<int>(valid.size()));
  PangoLayoutLine* line = pango_layout_get_line_readonly(layout_, 0);
  if (line == nullptr) return text;
  int x = 0;
  for (GSList* item = line->runs; item != nullptr; item = item->next) {
    const auto* run = static_cast<const PangoGlyphItem*>(item->data);
    cairo_scaled_font_t* scaled =
        pango_cairo_font_get_scaled_font(PANGO_CAIRO_FONT(run->item->analysis.font));
    ShapedText::Run shaped;
    shaped.face = scaled != nullptr ? KeepFace(cairo_scaled_font_get_font_face(scaled)) : nullptr;
    for (int i = 0; i < run->glyphs->num_glyphs; ++i) {
      const PangoGlyphInfo& glyph = run->glyphs->glyphs[i];
      if (shaped.face != nullptr && glyph.glyph != PANGO_GLYPH_EMPTY &&
          (glyph.glyph & PANGO_GLYPH_UNKNOWN_FLAG) == 0) {
        shaped.glyphs.push_back(
            {glyph.glyph, Ems(x + glyph.geometry.x_offset), Ems(glyph.geometry.y_offset)});
      }
      x += glyph.geometry.width;
    }
    if (!shaped.glyphs.empty()) text.runs.push_back(std::move(shaped));
  }
  text.advance = Ems(x);
  PangoRectangle ink;
  pango_layout_line_get_extents(line, &ink, nullptr);
  text.inkLeft = Ems(ink.x);
  text.inkRight = Ems(ink.x + ink.width);
  // Line extents are relative to the baseline already.
  text.inkTop = Ems(ink.y);
  text.inkBottom = Ems(ink.y + ink.height);
  return text;
}

ShapedText TextShaper::Number(std::int64_t value) const {
  const std::string text = std::to_string(value);
  ShapedText number;
  for (const char c : text)
    number.Append(c == '-' ? minus_ : digits_[c - '0']);
  return number;
}

void GlyphBatch::Add(const ShapedText& text, double size, double x, double baselineY) {
  for (const ShapedText::Run& run : text.runs) {
    auto group = std::find_if(groups_.begin(), groups_.end(),
                              [&](const Group& g) { return g.face == run.face && g.size == size; });
    if (group == groups_.end()) {
      groups_.push_back({run.face, size, {}, false});
      group = groups_.end() - 1;
    }
    group->used = true;
    for (const cairo_glyph_t& glyph : run.glyphs)
      group->glyphs.push_back({glyph.index, x + glyph.x * size, baselineY + glyph.y * size});
  }
}

void GlyphBatch::Draw(cairo_t* cr) {
  // Groups of a size this round did not use go, so a long run of pages keeps a handful.
  std::erase_if(groups_, [](const Group& g) { return !g.used; });
  for (Group& group : groups_) {
    if (!group.glyphs.empty()) {
      cairo_set_font_face(cr, group.face);
      cairo_set_font_size(cr, group.size);
      cairo_show_glyphs(cr, group.glyphs.data(), static_cast<int>(group.glyphs.size()));
    }
    group.glyphs.clear();
    group.used = false;
  }
}

}  // namespace mozenta
