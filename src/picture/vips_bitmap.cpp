#include "vips_bitmap.h"

#include <algorithm>

namespace mozenta::vips {
namespace {

// Fills a region of the wrapped image from the bitmap's rows, in red, green, blue order.
int GenerateFromBitmap(VipsRegion* region, void*, void* a, void*, gboolean*) {
  const auto& bitmap = *static_cast<const TBitmap*>(a);
  const VipsRect& area = region->valid;
  for (int y = area.top; y < area.top + area.height; ++y) {
    auto* out = reinterpret_cast<std::uint8_t*>(VIPS_REGION_ADDR(region, area.left, y));
    const std::uint8_t* row = bitmap.ScanLine(y);
    switch (bitmap.Layout()) {
      case TBitmap::PixelLayout::kBgr24:
      case TBitmap::PixelLayout::kBgrx32: {
        const int step = bitmap.Layout() == TBitmap::PixelLayout::kBgr24 ? 3 : 4;
        const std::uint8_t* in = row + static_cast<std::size_t>(area.left) * step;
        for (int x = 0; x < area.width; ++x, in += step, out += 3) {
          out[0] = in[2];
          out[1] = in[1];
          out[2] = in[0];
        }
        break;
      }
      default: {
        // Indexed and masked rows through the bitmap's own decoding, a piece at a time.
        constexpr int kPiece = 256;
        std::uint32_t colours[kPiece];
        for (int x = 0; x < area.width; x += kPiece) {
          const int count = std::min(kPiece, area.width - x);
          bitmap.ReadRow(y, area.left + x, count, colours);
          for (int i = 0; i < count; ++i, out += 3) {
            out[0] = static_cast<std::uint8_t>(colours[i]);
            out[1] = static_cast<std::uint8_t>(colours[i] >> 8);
            out[2] = static_cast<std::uint8_t>(colours[i] >> 16);
          }
        }
        break;
      }
    }
  }
  return 0;
}

struct RowSink {
  std::uint8_t* firstRow;  // row y of the target starts at firstRow + y * rowStep
  std::ptrdiff_t rowStep;
  const RowsWrittenHandler& rowsWritten;
  int rows;
};

// Takes the rows libvips has computed, top to bottom, into the bitmap, turning red, green, blue into blue,
// green, red.
int TakeRows(VipsRegion* region, VipsRect* area, void* a) {
  const auto& sink = *static_cast<const RowSink*>(a);
  for (int y = area->top; y < area->top + area->height; ++y) {
    const auto* in = reinterpret_cast<const std::uint8_t*>(VIPS_REGION_ADDR(region, area->left, y));
    std::uint8_t* out = sink.firstRow + y * sink.rowStep + static_cast<std::ptrdiff_t>(area->left) * 3;
    for (int x = 0; x < area->width; ++x, in += 3, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  }
  if (sink.rowsWritten && !sink.rowsWritten(area->top + area->height, sink.rows)) return -1;
  return 0;
}

}  // namespace

ImageRef WrapBitmap(const TBitmap& bitmap) {
  ImageRef image(vips_image_new());
  vips_image_init_fields(image.get(), bitmap.Width(), bitmap.Height(), 3, VIPS_FORMAT_UCHAR, VIPS_CODING_NONE,
                         VIPS_INTERPRETATION_sRGB, 1.0, 1.0);
  if (vips_image_pipelinev(image.get(), VIPS_DEMAND_STYLE_THINSTRIP, nullptr) != 0) return nullptr;
  // Any row can be read at any time, but the resampling only takes its fast path, one pass down the
  // picture instead of tile after overlapping tile, for a source that calls itself sequential (about five
  // times faster for a photo shrunk fifteenfold).
  vips_image_set_int(image.get(), VIPS_META_SEQUENTIAL, 1);
  if (vips_image_generate(image.get(), nullptr, GenerateFromBitmap, nullptr, const_cast<TBitmap*>(&bitmap),
                          nullptr) != 0) {
    return nullptr;
  }
  return image;
}

bool WriteIntoBitmap(VipsImage* image, TBitmap& target, const RowsWrittenHandler& rowsWritten) {
  DibFormat format;
  format.width = image->Xsize;
  format.height = image->Ysize;
  format.bitsPerPixel = 24;
  target.CreateDib(std::move(format));
  if (target.Empty()) return true;
  const RowSink sink{target.ScanLineForWrite(0),
                     target.TopDown() ? static_cast<std::ptrdiff_t>(target.Stride())
                                      : -static_cast<std::ptrdiff_t>(target.Stride()),
                     rowsWritten, target.Height()};
  const bool written = vips_sink_disc(image, TakeRows, const_cast<RowSink*>(&sink)) == 0;
  target.PixelsChanged();
  return written;
}

}  // namespace mozenta::vips
