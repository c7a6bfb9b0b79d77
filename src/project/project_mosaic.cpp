#include "project_mosaic.h"

#include <algorithm>

namespace mozenta {

void CheckEditsFit(const std::vector<CellRun>& edits, const TBitmap& source, const std::string& projectFile) {
  // The conversion's cut: at most 2000 columns and 20000 rows of the picture.
  const std::int32_t columns = std::min(source.Width(), kMaxMosaicColumns);
  const std::int32_t rows = std::min(source.Height(), kMaxMosaicRows);
  for (const CellRun& run : edits) {
    if (!RunFits(run, columns, rows))
      throw EProjectError(MessageText(MessageId::kProjectEditsOutside, projectFile));
  }
}

void MakeProjectMosaic(const Project& project, const TBitmap& source, MosaicGrid& grid, TBitmap& mosaic,
                       const SizeCaptionsHandler& showSize) {
  ConvertToMosaic(source, project.settings.palette, grid, mosaic, showSize);
  for (const CellRun& run : project.edits)
    PaintRun(run, project.settings.palette, grid, mosaic);
  mosaic.PixelsChanged();
}

}  // namespace mozenta
