// Making a project's mosaic: the conversion of its picture with its settings, then its hand edits. Both
// programs open a project through here, so they make the same mosaic it was saved with.
#pragma once

#include <string>
#include <vector>

#include "mosaic/cell_runs.h"
#include "mosaic/conversion.h"
#include "picture/picture_fit.h"
#include "project_file.h"

namespace mozenta {

// Throws EProjectError naming `projectFile` when an edit lies outside the mosaic that `source` fitted by
// `fit` makes; nothing has changed then.
void CheckEditsFit(const std::vector<CellRun>& edits, const TBitmap& source, const FitSettings& fit,
                   const std::string& projectFile);

// Converts `source`, fitted as the project says, with the project's settings into `grid` and applies the
// edits, which CheckEditsFit has passed; the mosaic bitmap is painted from the grid afterwards (PaintMosaic).
// `progress` follows the conversion and may stop it with EAbort before the edits are applied.
void MakeProjectGrid(const Project& project, const TBitmap& source, MosaicGrid& grid,
                     const SizeCaptionsHandler& showSize = nullptr, const ConversionProgress& progress = {});

}  // namespace mozenta
