// The error-diffusion conversion: every pixel of the source picture becomes one palette entry, recorded in
// the grid and painted into the mosaic bitmap.
#pragma once

#include <functional>
#include <string>

#include "conversion_options.h"
#include "conversion_progress.h"
#include "mosaic_grid.h"
#include "palette.h"
#include "picture/bitmap.h"
#include "picture/rows_ready.h"

namespace mozenta {

// Receives the captions of the main window's two size labels: the picture's width − 1 and height − 1, as
// they are before the cut to 2000 columns and 20000 rows.
using SizeCaptionsHandler =
    std::function<void(const std::string& widthCaption, const std::string& heightCaption)>;

// Converts `source` into the mosaic with `palette`: sets the grid's limits, shows the size captions, sizes
// `mosaic` (at its own depth: 16, 24 or 32 bits per pixel) to (MaxX + 1) × (MaxY + 1), and writes every
// mosaic pixel and the grid's cells inside the limits; the cells outside keep what they held.
//
// Each pixel, with the errors handed to it added and each channel clamped to 0..255, becomes the palette
// entry `options` match to it, and its error (that sum less the entry's expanded colour) is handed on as the
// diffusion shares it, each share truncated toward zero. The classic options hand a third of the error to
// the pixel on the right and a third to the pixel below, and match by the top four bits of each channel.
//
// `progress` follows the rows; a stop it passes on ends the conversion with EAbort, the grid and the
// mosaic then written as far as it got.
void ConvertToMosaic(const TBitmap& source, const Palette& palette, MosaicGrid& grid, TBitmap& mosaic,
                     const SizeCaptionsHandler& showSize = nullptr, const ConversionOptions& options = {},
                     const ConversionProgress& progress = {});

// The same conversion into the grid alone, for a job that shows no mosaic: its bitmap file is written from
// the grid and the palette. Each source row is read once `sourceReady` (when given) has it, so the
// conversion can follow a decoder that is still filling the source.
// The grid's rows are published to `converted` (when given) as they are made, and all of them at the end.
void ConvertToGrid(const TBitmap& source, const Palette& palette, MosaicGrid& grid,
                   const RowsReady* sourceReady = nullptr, const ConversionOptions& options = {},
                   const ConversionProgress& progress = {}, RowsReady* converted = nullptr);

// Sets the grid's limits to those a conversion of `source` gives it.
void SetMosaicLimits(const TBitmap& source, MosaicGrid& grid);

}  // namespace mozenta
