// MosaicWindow, "モザイク画像": shows the mosaic and holds it as the bitmap the save command writes. It is
// also the workbench of hand edits: zoom, the block grid, the status line of the cell under the pointer,
// painting with the palette strip's entry, and undo.
#pragma once

#include <QLabel>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "designed_window.h"
#include "mosaic/cell_runs.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic_canvas.h"
#include "palette_strip.h"
#include "picture/bitmap.h"
#include "project/job_settings.h"
#include "scroll_box.h"

namespace mozenta {

class MosaicWindow : public DesignedWindow {
  Q_OBJECT

 public:
  MosaicWindow();

  // The mosaic bitmap shown by mosaicImage, one pixel per mosaic cell.
  TBitmap& Mosaic() { return mosaic_; }
  const TBitmap& Mosaic() const { return mosaic_; }
  // The colour-index grid of the mosaic, kept for the whole run and never cleared between conversions.
  MosaicGrid& Grid() { return grid_; }
  const MosaicGrid& Grid() const { return grid_; }
  // Before the first conversion: gives the mosaic the depth of the display (16, 24 or 32 bits per pixel),
  // which it keeps from then on.
  void TakeDisplayDepth();

  // A new mosaic is made into a grid of its own, so that the mosaic shown and its grid stay whole until it
  // is complete: a stopped one leaves them as they were.
  MosaicGrid& NewGrid();
  // The new grid holds a complete mosaic: its cells become the grid's (those outside its limits keep what
  // they held) and the mosaic is painted from them in `palette`'s colours.
  void TakeNewGrid(const Palette& palette);

  // Where the block size and the labels come from: the main window's settings as they are now.
  void SetSettingsSource(std::function<JobSettings()> settings);

  // A new mosaic was made with `palette`, `edits` already applied: the undo steps of the last one go.
  void MosaicMade(const Palette& palette, std::vector<CellRun> edits = {});
  // Whether the mosaic holds hand edits (steps undone do not count).
  bool HasEdits() const;
  // The hand edits in the order they were made, the ones it was made with first.
  std::vector<CellRun> Edits() const;

  // Zoom: the steps of two from 1/16 to 16, the whole mosaic in the view, one pixel per cell. The cell at
  // `anchor` (a point of the view) stays where it is.
  void ZoomBy(int steps, std::optional<QPoint> anchor = std::nullopt);
  void ZoomToFit();
  void ZoomToActualSize();
  void SetScale(double scale, std::optional<QPoint> anchor = std::nullopt);

  // The text the status line shows for `cell`.
  QString StatusText(QPoint cell) const;

  ScrollBox* scrollBox;
  MosaicCanvas* mosaicImage;  // auto-sized
  PaletteStrip* paletteStrip;
  QLabel* scaleLabel;
  QLabel* statusLabel;
  QUndoStack undoStack;

 private:
  friend class CellEdit;

  void OnHovered(std::optional<QPoint> cell);
  void OnStrokeAt(QPoint cell);
  void OnStrokeEnded();
  void OnRectangleChosen(QRect cells);
  void OnPicked(QPoint cell);
  // Sets the runs' cells and repaints them.
  void PaintRuns(const std::vector<CellRun>& runs);
  // Gives the runs' cells `before` back, in reverse order.
  void RestoreRuns(const std::vector<CellRun>& runs, const std::vector<std::uint8_t>& before);
  void RepaintCells(const CellRun& run);
  void AddShortcut(const QKeySequence& keys, std::function<void()> action);

  TBitmap mosaic_;
  MosaicGrid grid_;
  std::unique_ptr<MosaicGrid> newGrid_;  // made by the first conversion; its pages are kept for the next
  bool depthTaken_ = false;
  Palette palette_;
  std::function<JobSettings()> settings_;
  std::vector<CellRun> madeWith_;
  std::vector<CellRun> stroke_;
  std::vector<std::uint8_t> strokeBefore_;
};

// The bits per pixel of a bitmap compatible with a display whose colour depth is `displayDepth`: 16 for 15
// and 16, 32 for every other depth. A true-colour display reports a colour depth of 24 but stores each pixel
// in 32 bits, so its mosaic is a 32-bit bitmap.
int MosaicBitsPerPixel(int displayDepth);

}  // namespace mozenta
