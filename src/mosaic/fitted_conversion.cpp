#include "fitted_conversion.h"

#include <algorithm>
#include <cstring>

namespace mozenta {
namespace {

// Moves the converted picture's cells, at the grid's top-left corner, to their place in the target and
// fills the rest of the target with the margin entry. The picture lies inside the target, to the right of
// and below where it is, so walking its columns from the last keeps every column ahead of the moves.
void PlaceCellsInMargins(MosaicGrid& grid, const FitPlan& plan, std::uint8_t margin) {
  std::uint8_t* cells = grid.Cells();
  for (int x = plan.pictureWidth - 1; x >= 0; --x) {
    std::memmove(cells + MosaicGrid::Offset(x + plan.left, plan.top), cells + MosaicGrid::Offset(x, 0),
                 static_cast<std::size_t>(plan.pictureHeight));
  }
  for (int x = 0; x < plan.width; ++x) {
    std::uint8_t* column = cells + MosaicGrid::Offset(x, 0);
    if (x < plan.left || x >= plan.left + plan.pictureWidth) {
      std::memset(column, margin, static_cast<std::size_t>(plan.height));
      continue;
    }
    std::memset(column, margin, static_cast<std::size_t>(plan.top));
    const int below = plan.top + plan.pictureHeight;
    std::memset(column + below, margin, static_cast<std::size_t>(plan.height - below));
  }
  grid.SetLimits(plan.width - 1, plan.height - 1);
}

// Sizes `mosaic` to the target, paints it with the margin entry and copies the converted picture's pixels
// to their place.
void PlacePixelsInMargins(const TBitmap& picture, const FitPlan& plan, std::uint32_t marginColour,
                          TBitmap& mosaic) {
  mosaic.SetSize(plan.width, plan.height);
  const std::size_t pixelBytes = static_cast<std::size_t>(mosaic.BitsPerPixel() / 8);
  std::uint8_t* first = mosaic.ScanLineForWrite(0);
  for (int x = 0; x < plan.width; ++x)
    mosaic.SetPixel(x, 0, marginColour);
  for (int y = 1; y < plan.height; ++y)
    std::memcpy(mosaic.ScanLineForWrite(y), first, pixelBytes * static_cast<std::size_t>(plan.width));
  for (int y = 0; y < plan.pictureHeight; ++y) {
    std::memcpy(mosaic.ScanLineForWrite(plan.top + y) + pixelBytes * static_cast<std::size_t>(plan.left),
                picture.ScanLine(y), pixelBytes * static_cast<std::size_t>(plan.pictureWidth));
  }
  mosaic.PixelsChanged();
}

}  // namespace

namespace {

// Both forms: with a mosaic bitmap, or into the grid alone when `mosaic` is null.
void ConvertFitted(const TBitmap& source, const FitSettings& fit, const Palette& palette, MosaicGrid& grid,
                   TBitmap* mosaic, const SizeCaptionsHandler& showSize, const ConversionOptions& options,
                   const ConversionProgress& progress) {
  const FitPlan plan = PlanFit(source.Width(), source.Height(), fit);
  TBitmap fitted;
  // A fit that only places the whole source spends nothing on the gauge.
  const bool resamples = plan.Resamples() || !plan.CropsWhole(source.Width(), source.Height());
  FitPicture(source, plan, fitted,
             [stage = progress.Stage(0.0, 0.5)](int done, int rows) { return stage.Show(done, rows); });
  const ConversionProgress converting = resamples ? progress.Stage(0.5, 1.0) : progress;
  const auto convert = [&](const TBitmap& picture, MosaicGrid& into, TBitmap* bitmap,
                           const SizeCaptionsHandler& captions) {
    if (bitmap != nullptr) {
      ConvertToMosaic(picture, palette, into, *bitmap, captions, options, converting);
    } else {
      if (captions) captions(std::to_string(picture.Width() - 1), std::to_string(picture.Height() - 1));
      ConvertToGrid(picture, palette, into, nullptr, options, converting);
    }
  };
  if (!plan.HasMargins()) {
    convert(fitted, grid, mosaic, showSize);
    return;
  }
  if (showSize) showSize(std::to_string(plan.width - 1), std::to_string(plan.height - 1));
  TBitmap picture;
  if (mosaic != nullptr) picture.SetPixelFormat(mosaic->BitsPerPixel());
  convert(fitted, grid, mosaic != nullptr ? &picture : nullptr, nullptr);
  const int margin = std::clamp(fit.marginEntry, 0, kPaletteColors - 1);
  PlaceCellsInMargins(grid, plan, static_cast<std::uint8_t>(margin));
  if (mosaic != nullptr) PlacePixelsInMargins(picture, plan, palette.ExpandedColor(margin), *mosaic);
}

}  // namespace

void ConvertFittedPicture(const TBitmap& source, const FitSettings& fit, const Palette& palette,
                          MosaicGrid& grid, TBitmap& mosaic, const SizeCaptionsHandler& showSize,
                          const ConversionOptions& options, const ConversionProgress& progress) {
  ConvertFitted(source, fit, palette, grid, &mosaic, showSize, options, progress);
}

void ConvertFittedPictureToGrid(const TBitmap& source, const FitSettings& fit, const Palette& palette,
                                MosaicGrid& grid, const SizeCaptionsHandler& showSize,
                                const ConversionOptions& options, const ConversionProgress& progress) {
  ConvertFitted(source, fit, palette, grid, nullptr, showSize, options, progress);
}

}  // namespace mozenta
