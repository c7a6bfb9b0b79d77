#include "project_mosaic.h"

#include <algorithm>

#include "mosaic/fitted_conversion.h"

namespace mozenta {

void CheckEditsFit(const std::vector<CellRun>& edits, const TBitmap& source, const FitSettings& fit,
                   const std::string& projectFile) {
  // A picture kept at its size is cut to at most 2000 columns and 20000 rows; a fitted one has the size
  // of the fit.
  std::int32_t columns = std::min(source.Width(), kMaxMosaicColumns);
  std::int32_t rows = std::min(source.Height(), kMaxMosaicRows);
  if (!fit.keepSize && !source.Empty()) {
    const FitPlan plan = PlanFit(source.Width(), source.Height(), fit);
    columns = plan.width;
    rows = plan.height;
  }
  for (const CellRun& run : edits) {
    if (!RunFits(run, columns, rows))
      throw EProjectError(MessageText(MessageId::kProjectEditsOutside, projectFile));
  }
}

void MakeProjectGrid(const Project& project, const TBitmap& source, MosaicGrid& grid,
                     const SizeCaptionsHandler& showSize, const ConversionProgress& progress) {
  ConvertFittedPictureToGrid(source, project.settings.advanced.picture.fit, project.settings.palette, grid,
                             showSize, project.settings.advanced.conversion, progress);
  for (const CellRun& run : project.edits) {
    for (std::int32_t y = run.top; y < run.top + run.length; ++y)
      grid.SetCell(run.x, y, run.entry);
  }
}

}  // namespace mozenta
