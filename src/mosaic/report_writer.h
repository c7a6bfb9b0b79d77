// The two block reports of a save: the chart file (.txt), which lists block by block the label of every
// cell's colour and the block's sheet counts, and the counts file (.csv) beside it. Both are written in one
// walk over the blocks of the grid they are given.
#pragma once

#include <string>

#include "block_settings.h"
#include "color_labels.h"
#include "mosaic_grid.h"
#include "progress_gauge.h"
#include "walked_output.h"

namespace mozenta {

struct ReportSettings {
  BlockSettings blocks;
  BlockOrder order = BlockOrder::kByRows;
  ColorLabels labels = DefaultColorLabels();  // UTF-8, for palette entries 0..7
};

// Writes the chart file `chartFileName` and the counts file of the same name with extension ".csv" from
// `grid`, replacing existing files. The gauge counts the walk's outer steps: block rows by rows, block
// columns by columns.
//
// A block width or height of 0 throws EDivByZero before the gauge is shown or any file is touched; a
// negative one throws Exception likewise. A failing create, write or close throws EInOutError; the gauge
// is then hidden and both files are closed with what had reached them.
//
// A `further` output (the printable sheets) gets a file of the same name with its own extension, created
// after the two reports' files, is walked with them and is completed after both are closed.
void WriteReports(const std::string& chartFileName, const MosaicGrid& grid, const ReportSettings& settings,
                  ProgressGauge& gauge, WalkedOutput* further = nullptr);

}  // namespace mozenta
