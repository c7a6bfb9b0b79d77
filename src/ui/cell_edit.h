// CellEdit: one step of the mosaic window's undo stack, a stroke or a rectangle of hand edits. The cells
// are already painted when the step is pushed.
#pragma once

#include <QUndoCommand>
#include <cstdint>
#include <vector>

#include "mosaic/cell_runs.h"

namespace mozenta {

class MosaicWindow;

class CellEdit : public QUndoCommand {
 public:
  // `before` holds the earlier index of every cell of `runs`, run after run.
  CellEdit(MosaicWindow& window, std::vector<CellRun> runs, std::vector<std::uint8_t> before);

  void undo() override;
  void redo() override;

  const std::vector<CellRun>& Runs() const { return runs_; }

 private:
  MosaicWindow& window_;
  std::vector<CellRun> runs_;
  std::vector<std::uint8_t> before_;
  bool done_ = true;
};

}  // namespace mozenta
