// MosaicCanvas: the mosaic window's picture, at any scale of the window's zoom, with the block grid drawn
// over it on request and the mouse turned into cells: hovering, painting, rectangles and picking. Painting
// covers only the exposed part, read straight from the mosaic's rows.
#pragma once

#include <QPoint>
#include <QRect>
#include <functional>
#include <optional>

#include "image_control.h"
#include "mosaic/block_settings.h"

namespace mozenta {

// Fills `tile` with the pixels of `area` (coordinates of the picture shown at `scale`) that lie on the
// picture, row after row, each the colour of the cell it shows; returns their rectangle. `row` keeps its
// memory for the next call.
QRect ScaleIntoTile(const TBitmap& bitmap, double scale, const QRect& area, std::vector<std::uint32_t>& tile,
                    std::vector<std::uint32_t>& row);

// Paints the pixels of `area` (coordinates of the picture shown at `scale`) at the same place on `painter`:
// each pixel takes the colour of the cell it shows. `scratch` and `row` keep their memory for the next call.
void PaintScaledBitmapArea(QPainter& painter, const TBitmap& bitmap, double scale, const QRect& area,
                           std::vector<std::uint32_t>& scratch, std::vector<std::uint32_t>& row);

class MosaicCanvas : public ImageControl {
  Q_OBJECT

 public:
  explicit MosaicCanvas(QWidget* parent = nullptr);

  double Scale() const { return scale_; }
  // Takes the new scale and the size the picture has at it; the caller keeps the view where it wants it.
  void SetScale(double scale);

  // The block grid: drawn when shown, in blocks of `blocks` (read at every painting).
  void SetBlockGridShown(bool shown);
  bool BlockGridShown() const { return gridShown_; }
  void SetBlockSize(std::function<BlockSettings()> blockSize) { blockSize_ = std::move(blockSize); }

  // The cell under a point of the canvas, if the point is on the picture.
  std::optional<QPoint> CellAt(QPoint point) const;
  // The canvas rectangle that shows the cells of `cells`.
  QRect ShownRect(const QRect& cells) const;

  QSize ShownSize() const override;

 signals:
  // The pointer is over `cell`, or left the picture (nullopt).
  void Hovered(std::optional<QPoint> cell);
  // A stroke began or went on at `cell` (each cell of a drag, in order, none skipped).
  void StrokeAt(QPoint cell);
  void StrokeEnded();
  // A rectangle of cells was dragged out with Shift.
  void RectangleChosen(QRect cells);
  // Alt-click: the entry of `cell` becomes the paint.
  void Picked(QPoint cell);
  // Ctrl + wheel: one step in (`steps` > 0) or out around `point`.
  void ZoomAround(QPoint point, int steps);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  enum class Drag { kNone, kStroke, kRectangle };

  // The block size of the grid, or 0 × 0 when there is none to draw.
  BlockSettings GridBlocks() const;
  void InvertBlockBoundaries(const BlockSettings& blocks, const QRect& visible);
  void PaintBlockNames(const BlockSettings& blocks, QPainter& painter, const QRect& visible) const;
  void Hover(std::optional<QPoint> cell);
  QPoint ClampedCell(QPoint point) const;
  void StrokeTo(QPoint cell);
  void SetRubberBand(std::optional<QRect> cells);

  double scale_ = 1;
  bool gridShown_ = false;
  std::function<BlockSettings()> blockSize_;
  std::vector<std::uint32_t> row_;
  Drag drag_ = Drag::kNone;
  QPoint dragStart_;
  QPoint lastCell_;
  std::optional<QRect> rubberBand_;  // cells
  bool hoverKnown_ = false;          // whether hovered_ was last announced
  std::optional<QPoint> hovered_;
};

}  // namespace mozenta
