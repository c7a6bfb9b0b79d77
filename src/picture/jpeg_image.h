// TJPEGImage: the compressed bytes of a JPEG file and its size from the header; the bitmap is decoded from
// the bytes when one is first asked for, turned upright as the file's Exif orientation says, and then kept.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "bitmap.h"
#include "graphic.h"

namespace mozenta {

class TJPEGImage : public TGraphic {
 public:
  // The picture decodes for a display of `displayBitsPerPixel`: on 8 bits or fewer, colour JPEGs too are
  // quantised to 236 colours. With `keepOrientation` the rows stay as stored, whatever the Exif segment says.
  explicit TJPEGImage(int displayBitsPerPixel = 32, bool keepOrientation = false)
      : displayBitsPerPixel_(displayBitsPerPixel), keepOrientation_(keepOrientation) {}

  const char* ClassName() const override { return "TJPEGImage"; }
  // The size of the upright picture.
  int Width() const override { return width_; }
  int Height() const override { return height_; }

  // Copies the whole file into memory and reads the JPEG header and the Exif orientation from the copy;
  // nothing is decoded yet. An empty file is read without error (it fails when decoded). Throws EJPEG
  // "JPEG エラー #%d" with the library's code, EStreamError when the copy cannot be had. On failure the
  // picture is as it was.
  void LoadFromFile(InputFile& file) override;

  // `target` takes the decoded bitmap's pixels, sharing its store.
  void AssignTo(TBitmap& target) const override;

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
  // The orientation the decoded rows are turned by: 1 when kept as stored.
  int Orientation() const { return orientation_; }

 private:
  friend const TBitmap& DecodeJpeg(const TJPEGImage& picture);

  int displayBitsPerPixel_;
  bool keepOrientation_;
  std::vector<std::uint8_t> bytes_;
  int width_ = 0;
  int height_ = 0;
  int orientation_ = 1;
  // Attached at the first decode and kept as far as decoding got; only a decode that ended well counts.
  mutable std::unique_ptr<TBitmap> bitmap_;
  mutable bool decoded_ = false;
};

// The picture's decoded bitmap, upright: decoded on the first call, returned unchanged by every later one. A
// decode that failed is tried again (and fails again) on the next call. Throws EJPEG or EOutOfResources.
const TBitmap& DecodeJpeg(const TJPEGImage& picture);

}  // namespace mozenta
