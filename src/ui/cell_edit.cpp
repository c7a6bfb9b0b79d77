#include "cell_edit.h"

#include "mosaic_window.h"

namespace mozenta {

CellEdit::CellEdit(MosaicWindow& window, std::vector<CellRun> runs, std::vector<std::uint8_t> before)
    : window_(window), runs_(std::move(runs)), before_(std::move(before)) {}

void CellEdit::undo() {
  window_.RestoreRuns(runs_, before_);
  done_ = false;
}

void CellEdit::redo() {
  // The push's own redo finds the cells painted already.
  if (done_) return;
  window_.PaintRuns(runs_);
  done_ = true;
}

}  // namespace mozenta
