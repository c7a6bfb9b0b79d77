#include "conversion.h"

#include <algorithm>

#include "conversion_kernel.h"

namespace mozenta {
namespace conversion_internal {

PaletteTables BuildTables(const Palette& palette, int mosaicBitsPerPixel) {
  PaletteTables t;
  for (int key = 0; key < 4096; ++key)
    t.nearest[key] = static_cast<std::uint8_t>(palette.Nearest(key >> 8, (key >> 4) & 15, key & 15));
  for (int d = -255; d <= 255; ++d)
    t.third[d + 255] = static_cast<std::int8_t>(d / 3);
  bool fourBits = true;
  for (int i = 0; i < kPaletteSlots; ++i) {
    const PaletteEntry& e = palette.Entry(i);
    fourBits = fourBits && e.R <= 15 && e.G <= 15 && e.B <= 15;
    const std::uint32_t r = ExpandNibble(e.R), g = ExpandNibble(e.G), b = ExpandNibble(e.B);
    t.red[i] = static_cast<std::int32_t>(r);
    t.green[i] = static_cast<std::int32_t>(g);
    t.blue[i] = static_cast<std::int32_t>(b);
    t.pixel[i] = MosaicPixel(e, mosaicBitsPerPixel);
  }
  t.eightEntriesOfFourBits =
      fourBits && std::all_of(t.nearest.begin(), t.nearest.end(), [](std::uint8_t i) { return i < 8; });
  return t;
}

ConversionKernel KernelFor(const PaletteTables& tables) {
#if MOZENTA_AVX2_BUILT
  static const ConversionKernel kFastest = simd::UseAvx2Kernels() ? ConvertAvx2 : ConvertPortable;
  return tables.eightEntriesOfFourBits ? kFastest : ConvertPortable;
#else
  (void)tables;
  return ConvertPortable;
#endif
}

SourceRows::SourceRows(const TBitmap& source, int width, int bandRows, const RowsReady* ready)
    : source_(source), ready_(ready), width_(width) {
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
  if (ready_ != nullptr) ready_->WaitFor(y + 1);
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

}  // namespace conversion_internal

namespace {

void Convert(const TBitmap& source, const Palette& palette, MosaicGrid& grid, TBitmap* mosaic,
             const SizeCaptionsHandler& showSize, const RowsReady* sourceReady,
             const ConversionOptions& options, const ConversionProgress& progress,
             RowsReady* converted = nullptr) {
  using namespace conversion_internal;
  progress.Reached(0, 1);  // a stop asked for already leaves everything as it was
  if (showSize) showSize(std::to_string(source.Width() - 1), std::to_string(source.Height() - 1));
  SetMosaicLimits(source, grid);
  const int width = grid.MaxX() + 1;
  const int height = grid.MaxY() + 1;
  if (mosaic != nullptr) mosaic->SetSize(width, height);
  if (width == 0 || height == 0) return;

  const PaletteTables tables = BuildTables(palette, mosaic != nullptr ? mosaic->BitsPerPixel() : 32);
  const ConversionJob job{source,   palette,     tables,
                          grid,     mosaic,      width,
                          height,   sourceReady, progress.Tracked() ? &progress : nullptr,
                          converted};
  if (options == ConversionOptions{}) {
    KernelFor(tables)(job);
  } else {
    ConvertDiffusing(job, options);
  }
  // A stop asked for after the last strip still counts: the work had not ended when it was asked.
  job.RowsDone(height);
  if (mosaic != nullptr) mosaic->PixelsChanged();
}

}  // namespace

void ConvertToMosaic(const TBitmap& source, const Palette& palette, MosaicGrid& grid, TBitmap& mosaic,
                     const SizeCaptionsHandler& showSize, const ConversionOptions& options,
                     const ConversionProgress& progress) {
  Convert(source, palette, grid, &mosaic, showSize, nullptr, options, progress);
}

void ConvertToGrid(const TBitmap& source, const Palette& palette, MosaicGrid& grid,
                   const RowsReady* sourceReady, const ConversionOptions& options,
                   const ConversionProgress& progress, RowsReady* converted) {
  Convert(source, palette, grid, nullptr, nullptr, sourceReady, options, progress, converted);
  if (converted != nullptr) converted->PublishAll();
}

void SetMosaicLimits(const TBitmap& source, MosaicGrid& grid) {
  grid.SetLimits(std::min(source.Width() - 1, kMaxMosaicColumns - 1),
                 std::min(source.Height() - 1, kMaxMosaicRows - 1));
}

}  // namespace mozenta
