#include "conversion.h"

#include "color_grid.h"
#include "conversion_kernel.h"
#include "palette.h"

namespace mozenta {
namespace conversion_internal {
namespace {

Kernel kernelInUse = Kernel::kFastest;

}  // namespace

PaletteTables BuildTables(int mosaicBitsPerPixel) {
  PaletteTables t;
  for (int key = 0; key < 4096; ++key) {
    t.nearest[key] = static_cast<std::uint8_t>(NearestPaletteIndex(key >> 8, (key >> 4) & 15, key & 15));
  }
  for (int d = -255; d <= 255; ++d)
    t.third[d + 255] = static_cast<std::int8_t>(d / 3);
  for (int i = 0; i < kPaletteSlots; ++i) {
    const std::uint32_t r = ExpandNibble(Palette[i].R), g = ExpandNibble(Palette[i].G),
                        b = ExpandNibble(Palette[i].B);
    t.red[i] = static_cast<std::int32_t>(r);
    t.green[i] = static_cast<std::int32_t>(g);
    t.blue[i] = static_cast<std::int32_t>(b);
    if (mosaicBitsPerPixel == 16) {
      t.pixel[i] = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    } else {
      t.pixel[i] = b | (g << 8) | (r << 16);  // blue, green, red, 0 in memory order
    }
  }
  return t;
}

SourceRows::SourceRows(const TBitmap& source, int width, int bandRows) : source_(source), width_(width) {
  switch (source.Layout()) {
    case TBitmap::PixelLayout::kBgr24:
      step_ = 3;
      break;
    case TBitmap::PixelLayout::kBgrx32:
      step_ = 4;
      break;
    default:
      step_ = 4;
      converted_.resize(static_cast<std::size_t>(width) * bandRows);
      break;
  }
}

const std::uint8_t* SourceRows::Row(int y, int slot) {
  if (converted_.empty()) return source_.ScanLine(y);
  std::uint32_t* out = converted_.data() + static_cast<std::size_t>(slot) * width_;
  source_.ReadRow(y, 0, width_, out);
  // Packed 0x00BBGGRR becomes the bytes blue, green, red, 0.
  for (int x = 0; x < width_; ++x) {
    const std::uint32_t c = out[x];
    out[x] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  return reinterpret_cast<const std::uint8_t*>(out);
}

void UseKernel(Kernel kernel) {
  kernelInUse = kernel;
}

Kernel KernelInUse() {
  return kernelInUse;
}

}  // namespace conversion_internal

void ConvertToMosaic(const TBitmap& source, TBitmap& mosaic, const SizeCaptionsHandler& showSize) {
  using namespace conversion_internal;
  MaxX = source.Width() - 1;
  MaxY = source.Height() - 1;
  if (showSize) showSize(std::to_string(MaxX), std::to_string(MaxY));
  if (MaxX >= kMaxMosaicColumns) MaxX = kMaxMosaicColumns - 1;
  if (MaxY >= kMaxMosaicRows) MaxY = kMaxMosaicRows - 1;
  const int width = MaxX + 1;
  const int height = MaxY + 1;
  mosaic.SetSize(width, height);
  if (width == 0 || height == 0) return;

  const PaletteTables tables = BuildTables(mosaic.BitsPerPixel());
  const bool done = kernelInUse == Kernel::kFastest && ConvertAvx2(source, mosaic, width, height, tables);
  if (!done) ConvertPortable(source, mosaic, width, height, tables);
  mosaic.PixelsChanged();
}

}  // namespace mozenta
