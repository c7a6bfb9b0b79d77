// Text on the sheets: shaped once by pango in the IPA Gothic font, then placed as glyphs with cairo as often
// as it is needed. A label printed in four thousand cells is shaped once and drawn in one call per font;
// numbers are put together from the shaped digits. Laying out text anew for every cell would cost far more
// than the rest of a page.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string_view>
#include <vector>

typedef struct _PangoFontMap PangoFontMap;
typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;

namespace mozenta {

// The family every text of the sheets asks for; fontconfig stands in another where it is missing.
inline constexpr const char* kSheetFontFamily = "IPAGothic";

// Text shaped at a font size of 1: glyph positions, the advance and the ink are in ems, from the origin on
// the baseline, y growing downwards.
struct ShapedText {
  struct Run {
    cairo_font_face_t* face = nullptr;  // owned by the shaper
    std::vector<cairo_glyph_t> glyphs;
  };
  std::vector<Run> runs;
  double advance = 0;
  double inkLeft = 0, inkTop = 0, inkRight = 0, inkBottom = 0;

  bool Empty() const { return runs.empty(); }
  // `other` placed after this text.
  void Append(const ShapedText& other);
  // The centre of the ink, in ems.
  double InkCentreX() const { return (inkLeft + inkRight) / 2; }
  double InkCentreY() const { return (inkTop + inkBottom) / 2; }
};

class TextShaper {
 public:
  TextShaper();
  ~TextShaper();
  TextShaper(const TextShaper&) = delete;
  TextShaper& operator=(const TextShaper&) = delete;

  // `utf8` on one line; bytes that are not UTF-8 show as U+FFFD, characters no font has are left out.
  ShapedText Shape(std::string_view utf8);
  // A whole number from the shaped digits (and the minus sign).
  ShapedText Number(std::int64_t value) const;
  // The font's ascent and descent, in ems.
  double Ascent() const { return ascent_; }
  double Descent() const { return descent_; }

 private:
  cairo_font_face_t* KeepFace(cairo_font_face_t* face);

  PangoFontMap* fontMap_ = nullptr;
  PangoContext* context_ = nullptr;
  PangoLayout* layout_ = nullptr;
  std::vector<cairo_font_face_t*> faces_;
  ShapedText digits_[10];
  ShapedText minus_;
  double ascent_ = 0.88, descent_ = 0.12;
};

// Glyphs gathered for drawing in one colour: one cairo_show_glyphs call per font face and size.
class GlyphBatch {
 public:
  // `text` at font size `size`, its origin at (x, baselineY).
  void Add(const ShapedText& text, double size, double x, double baselineY);
  // Draws everything gathered with the context's source, then empties the batch (keeping its memory).
  void Draw(cairo_t* cr);

 private:
  struct Group {
    cairo_font_face_t* face;
    double size;
    std::vector<cairo_glyph_t> glyphs;
    bool used;
  };
  std::vector<Group> groups_;
};

}  // namespace mozenta
