// The two block reports of a save: the chart file (.txt), which lists block by block the label of every
// cell's colour and the block's sheet counts, and the counts file (.csv) beside it. Both are written in one
// walk over the blocks of the grid they are given.
#pragma once

#include <string>

#include "block_settings.h"
#include "block_walk.h"
#include "color_labels.h"
#include "mosaic_grid.h"
#include "output_set.h"
#include "progress_gauge.h"
#include "walked_output.h"

namespace mozenta {

struct ReportSettings {
  BlockSettings blocks;
  BlockOrder order = BlockOrder::kByRows;
  ColorLabels labels = DefaultColorLabels();  // UTF-8, for palette entries 0..7
};

// The chart file and the counts file of one save, as two members of its set of outputs, and a further
// output written from the same walk (the printable sheets), when there is one, as a third.
class ReportFiles {
 public:
  // Creates the chart file `chartFileName`, the counts file of the same name with extension ".csv" and the
  // further output's file of the same name with its own extension (their temporaries, in this order) as
  // members of `outputs`. Throws EInOutError.
  ReportFiles(OutputSet& outputs, const std::string& chartFileName, WalkedOutput* further = nullptr);

  // Writes the files from `grid` in one walk over `layout` and finishes them, the further output's after
  // both reports; putting them in place is the set's. The gauge counts the walk's outer steps: block rows
  // by rows, block columns by columns. A failing write or flush throws EInOutError, and what the further
  // output throws passes on; the gauge is then hidden.
  // With `coming`, blocks are walked as the grid's rows are made (see RowsComing).
  void Write(const MosaicGrid& grid, const BlockLayout& layout, const ReportSettings& settings,
             ProgressGauge& gauge, const RowsComing* coming = nullptr);

 private:
  AtomicFile& chart_;
  AtomicFile& counts_;
  WalkedOutput* further_;
  AtomicFile* furtherFile_ = nullptr;
};

// Writes the chart file `chartFileName` and the counts file of the same name with extension ".csv" from
// `grid`, and puts both in place of existing files together once both are complete.
//
// A block width or height of 0 throws EDivByZero before the gauge is shown or any file is touched; a
// negative one throws Exception likewise. A failing create, write, flush or rename throws EInOutError; the
// gauge is then hidden and both previous files are left as they were.
void WriteReports(const std::string& chartFileName, const MosaicGrid& grid, const ReportSettings& settings,
                  ProgressGauge& gauge);

}  // namespace mozenta
