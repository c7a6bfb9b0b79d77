// TVipsPicture: a PNG, GIF, TIFF, WebP or HEIF/AVIF picture, decoded by libvips when the file is read into
// an upright 24-bit sRGB bitmap, which the picture then lends to the source picture.
#pragma once

#include "bitmap.h"
#include "graphic.h"

namespace mozenta {

enum class LibraryFormat { kPng, kGif, kTiff, kWebP, kHeif };

// The format's name as messages give it: "PNG", "GIF", "TIFF", "WebP", "HEIF".
const char* LibraryFormatName(LibraryFormat format);

class TVipsPicture : public TGraphic {
 public:
  // A picture read as `format` only; with `keepOrientation` the rows stay as stored, whatever orientation
  // the file records.
  explicit TVipsPicture(LibraryFormat format, bool keepOrientation = false)
      : format_(format), keepOrientation_(keepOrientation) {}

  const char* ClassName() const override { return "TVipsPicture"; }
  int Width() const override { return bitmap_.Width(); }
  int Height() const override { return bitmap_.Height(); }

  // Decodes the whole file (see vips_decoder.h) in the module mozenta-vips.so (vips_module.h). Throws
  // EInvalidGraphic or EOutOfResources, or Exception when the module cannot be loaded; on failure the
  // picture is as it was.
  void LoadFromFile(InputFile& file) override;
  // `target` shares the decoded bitmap's store.
  void AssignTo(TBitmap& target) const override { target.Assign(bitmap_); }

  LibraryFormat Format() const { return format_; }

 private:
  LibraryFormat format_;
  bool keepOrientation_;
  TBitmap bitmap_;
};

}  // namespace mozenta
