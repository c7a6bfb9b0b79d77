// The conversion of a picture fitted to the mosaic's size: the picture resampled to the size in cells the
// settings ask for, converted, and, in the contain mode, surrounded by margins of one palette entry.
#pragma once

#include "conversion.h"
#include "picture/picture_fit.h"

namespace mozenta {

// With fit.keepSize (or an empty source) exactly ConvertToMosaic. Otherwise the source is fitted as
// PlanFit says and the mosaic has the target's size: the size captions show its width − 1 and height − 1,
// and the grid's limits and `mosaic` follow it.
//
// Only the picture's part of the target goes through the conversion, so no error diffuses between the
// picture and its margins: the picture's cells are those the picture alone gives, and every margin cell is
// the margin entry (whether or not it is enabled), painted afterwards.
//
// `progress` follows the resampling and then the conversion; a stop it passes on ends the work with EAbort,
// the grid and the mosaic then written as far as it got.
void ConvertFittedPicture(const TBitmap& source, const FitSettings& fit, const Palette& palette,
                          MosaicGrid& grid, TBitmap& mosaic, const SizeCaptionsHandler& showSize = nullptr,
                          const ConversionOptions& options = {}, const ConversionProgress& progress = {});

// The same into the grid alone; a mosaic bitmap painted from it afterwards (PaintMosaic) has the bytes
// ConvertFittedPicture gives.
void ConvertFittedPictureToGrid(const TBitmap& source, const FitSettings& fit, const Palette& palette,
                                MosaicGrid& grid, const SizeCaptionsHandler& showSize = nullptr,
                                const ConversionOptions& options = {},
                                const ConversionProgress& progress = {});

}  // namespace mozenta
