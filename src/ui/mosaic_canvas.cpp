#include "mosaic_canvas.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <cstring>

#include "mosaic/cell_status.h"
#include "mosaic/view_scale.h"

namespace mozenta {
namespace {

// The cells from `a` to `b`, both included, whichever corners they are. (QRect::normalized leaves out
// the far corner's row and column of a rectangle given from its bottom right.)
QRect CellsBetween(QPoint a, QPoint b) {
  return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
               QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
}

}  // namespace

QRect ScaleIntoTile(const TBitmap& bitmap, double scale, const QRect& area, std::vector<std::uint32_t>& tile,
                    std::vector<std::uint32_t>& row) {
  const QRect shown(0, 0, ShownLength(bitmap.Width(), scale), ShownLength(bitmap.Height(), scale));
  const QRect visible = area & shown;
  if (visible.isEmpty()) return visible;
  const int width = visible.width();
  const std::size_t pixels = static_cast<std::size_t>(width) * visible.height();
  if (tile.size() < pixels) tile.resize(pixels);
  if (scale == 1) {
    for (int y = 0; y < visible.height(); ++y)
      ReadScreenRow(bitmap, visible.top() + y, visible.left(), width,
                    tile.data() + std::size_t{1} * width * y);
    return visible;
  }
  const int lastX = bitmap.Width() - 1, lastY = bitmap.Height() - 1;
  const int firstCell = std::min(lastX, CellAt(visible.left(), scale));
  const int cells = std::min(lastX, CellAt(visible.right(), scale)) - firstCell + 1;
  // One row of the cells in view, then the cell of each screen column.
  row.resize(static_cast<std::size_t>(cells) + width);
  std::uint32_t* const columnCell = row.data() + cells;
  for (int x = 0; x < width; ++x)
    columnCell[x] =
        static_cast<std::uint32_t>(std::min(lastX, CellAt(visible.left() + x, scale)) - firstCell);
  int previousCellY = -1;
  for (int y = 0; y < visible.height(); ++y) {
    std::uint32_t* out = tile.data() + static_cast<std::size_t>(width) * y;
    const int cellY = std::min(lastY, CellAt(visible.top() + y, scale));
    if (cellY == previousCellY) {
      std::memcpy(out, out - width, sizeof(std::uint32_t) * width);
      continue;
    }
    previousCellY = cellY;
    ReadScreenRow(bitmap, cellY, firstCell, cells, row.data());
    for (int x = 0; x < width; ++x)
      out[x] = row[columnCell[x]];
  }
  return visible;
}

namespace {

void DrawTile(QPainter& painter, const QRect& visible, const std::vector<std::uint32_t>& tile) {
  const QImage image(reinterpret_cast<const uchar*>(tile.data()), visible.width(), visible.height(),
                     static_cast<qsizetype>(visible.width()) * 4, QImage::Format_RGB32);
  painter.drawImage(visible.topLeft(), image);
}

}  // namespace

void PaintScaledBitmapArea(QPainter& painter, const TBitmap& bitmap, double scale, const QRect& area,
                           std::vector<std::uint32_t>& tile, std::vector<std::uint32_t>& row) {
  const QRect visible = ScaleIntoTile(bitmap, scale, area, tile, row);
  if (!visible.isEmpty()) DrawTile(painter, visible, tile);
}

MosaicCanvas::MosaicCanvas(QWidget* parent) : ImageControl(parent) {
  setMouseTracking(true);
}

QSize MosaicCanvas::ShownSize() const {
  const TBitmap* bitmap = Bitmap();
  if (bitmap == nullptr) return {};
  return {ShownLength(bitmap->Width(), scale_), ShownLength(bitmap->Height(), scale_)};
}

void MosaicCanvas::SetScale(double scale) {
  hoverKnown_ = false;
  scale_ = std::clamp(scale, kSmallestScale, kLargestScale);
  const QSize size = ShownSize();
  if (!size.isEmpty()) resize(size);
  update();
}

void MosaicCanvas::SetBlockGridShown(bool shown) {
  gridShown_ = shown;
  update();
}

std::optional<QPoint> MosaicCanvas::CellAt(QPoint point) const {
  const TBitmap* bitmap = Bitmap();
  if (bitmap == nullptr || bitmap->Width() == 0 || bitmap->Height() == 0) return std::nullopt;
  if (!QRect(QPoint(0, 0), ShownSize()).contains(point)) return std::nullopt;
  return ClampedCell(point);
}

QPoint MosaicCanvas::ClampedCell(QPoint point) const {
  const TBitmap* bitmap = Bitmap();
  return {std::clamp(mozenta::CellAt(point.x(), scale_), 0, bitmap->Width() - 1),
          std::clamp(mozenta::CellAt(point.y(), scale_), 0, bitmap->Height() - 1)};
}

QRect MosaicCanvas::ShownRect(const QRect& cells) const {
  const int left = PixelOf(cells.left(), scale_), top = PixelOf(cells.top(), scale_);
  return QRect(QPoint(left, top), QPoint(std::max(left, PixelOf(cells.right() + 1, scale_) - 1),
                                         std::max(top, PixelOf(cells.bottom() + 1, scale_) - 1)));
}

void MosaicCanvas::paintEvent(QPaintEvent* event) {
  const TBitmap* bitmap = Bitmap();
  if (bitmap == nullptr) return;
  QPainter painter(this);
  const BlockSettings blocks = gridShown_ ? GridBlocks() : BlockSettings{0, 0};
  for (const QRect& area : event->region()) {
    const QRect visible = ScaleIntoTile(*bitmap, scale_, area, scratch_, row_);
    if (visible.isEmpty()) continue;
    InvertBlockBoundaries(blocks, visible);
    DrawTile(painter, visible, scratch_);
    PaintBlockNames(blocks, painter, visible);
  }
  if (rubberBand_) {
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(Qt::white);
    painter.drawRect(ShownRect(*rubberBand_));
  }
}

BlockSettings MosaicCanvas::GridBlocks() const {
  const BlockSettings blocks = blockSize_ ? blockSize_() : BlockSettings{};
  return blocks.width > 0 && blocks.height > 0 ? blocks : BlockSettings{0, 0};
}

void MosaicCanvas::InvertBlockBoundaries(const BlockSettings& blocks, const QRect& visible) {
  // Inverted pixels stay visible on every colour of the palette; drawn into the tile before it is shown.
  if (blocks.width == 0) return;
  const int width = visible.width();
  for (int column = std::max(1, mozenta::CellAt(visible.left(), scale_) / blocks.width);; ++column) {
    const int x = PixelOf(column * blocks.width, scale_);
    if (x > visible.right()) break;
    if (x < visible.left()) continue;
    for (int y = 0; y < visible.height(); ++y)
      scratch_[static_cast<std::size_t>(width) * y + (x - visible.left())] ^= 0x00FFFFFFu;
  }
  for (int row = std::max(1, mozenta::CellAt(visible.top(), scale_) / blocks.height);; ++row) {
    const int y = PixelOf(row * blocks.height, scale_);
    if (y > visible.bottom()) break;
    if (y < visible.top()) continue;
    std::uint32_t* line = scratch_.data() + static_cast<std::size_t>(width) * (y - visible.top());
    for (int x = 0; x < width; ++x)
      line[x] ^= 0x00FFFFFFu;
  }
}

void MosaicCanvas::PaintBlockNames(const BlockSettings& blocks, QPainter& painter,
                                   const QRect& visible) const {
  if (blocks.width == 0) return;
  // Names in the blocks' top left corners, where a block has room for the longest one.
  const QFontMetrics metrics = painter.fontMetrics();
  const int nameWidth = metrics.horizontalAdvance(QString::fromStdString(BlockName(99, 999))) + 6;
  if (blocks.width * scale_ < nameWidth || blocks.height * scale_ < metrics.height() + 4) return;
  painter.save();
  painter.setClipRect(visible);
  painter.setPen(Qt::black);
  const int firstColumn = mozenta::CellAt(visible.left(), scale_) / blocks.width;
  const int lastColumn = mozenta::CellAt(visible.right(), scale_) / blocks.width;
  const int firstRow = mozenta::CellAt(visible.top(), scale_) / blocks.height;
  const int lastRow = mozenta::CellAt(visible.bottom(), scale_) / blocks.height;
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      const QString name = QString::fromStdString(BlockName(column, row));
      const QRect box(PixelOf(column * blocks.width, scale_) + 2, PixelOf(row * blocks.height, scale_) + 2,
                      metrics.horizontalAdvance(name) + 4, metrics.height());
      painter.fillRect(box, QColor(255, 255, 255, 200));
      painter.drawText(box, Qt::AlignCenter, name);
    }
  }
  painter.restore();
}

void MosaicCanvas::SetRubberBand(std::optional<QRect> cells) {
  if (rubberBand_) update(ShownRect(*rubberBand_).adjusted(-1, -1, 1, 1));
  rubberBand_ = cells;
  if (rubberBand_) update(ShownRect(*rubberBand_).adjusted(-1, -1, 1, 1));
}

void MosaicCanvas::StrokeTo(QPoint cell) {
  // Every cell on the line from the last one, so a quick drag leaves no gaps.
  int x = lastCell_.x(), y = lastCell_.y();
  const int dx = std::abs(cell.x() - x), dy = -std::abs(cell.y() - y);
  const int sx = x < cell.x() ? 1 : -1, sy = y < cell.y() ? 1 : -1;
  int error = dx + dy;
  while (x != cell.x() || y != cell.y()) {
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
    emit StrokeAt(QPoint(x, y));
  }
  lastCell_ = cell;
}

void MosaicCanvas::mousePressEvent(QMouseEvent* event) {
  const std::optional<QPoint> cell = CellAt(event->position().toPoint());
  if (event->button() != Qt::LeftButton || !cell || drag_ != Drag::kNone) return;
  if (event->modifiers() & Qt::AltModifier) {
    emit Picked(*cell);
  } else if (event->modifiers() & Qt::ShiftModifier) {
    drag_ = Drag::kRectangle;
    dragStart_ = *cell;
    SetRubberBand(QRect(*cell, *cell));
  } else {
    drag_ = Drag::kStroke;
    lastCell_ = *cell;
    emit StrokeAt(*cell);
  }
}

void MosaicCanvas::Hover(std::optional<QPoint> cell) {
  // The status line is worked out only when the pointer reaches another cell.
  if (hoverKnown_ && cell == hovered_) return;
  hoverKnown_ = true;
  hovered_ = cell;
  emit Hovered(cell);
}

void MosaicCanvas::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  Hover(CellAt(point));
  if (drag_ == Drag::kNone || Bitmap() == nullptr || Bitmap()->Width() == 0) return;
  const QPoint cell = ClampedCell(point);
  if (drag_ == Drag::kStroke) {
    StrokeTo(cell);
  } else {
    SetRubberBand(CellsBetween(dragStart_, cell));
  }
}

void MosaicCanvas::mouseReleaseEvent(QMouseEvent* event) {
  hoverKnown_ = false;  // a rectangle or a pick may have changed the cell under the pointer
  if (event->button() != Qt::LeftButton) return;
  const Drag drag = drag_;
  drag_ = Drag::kNone;
  if (drag == Drag::kStroke) {
    emit StrokeEnded();
  } else if (drag == Drag::kRectangle) {
    const QRect cells = CellsBetween(dragStart_, ClampedCell(event->position().toPoint()));
    SetRubberBand(std::nullopt);
    emit RectangleChosen(cells);
  }
}

void MosaicCanvas::leaveEvent(QEvent* event) {
  ImageControl::leaveEvent(event);
  Hover(std::nullopt);
}

void MosaicCanvas::wheelEvent(QWheelEvent* event) {
  if (!(event->modifiers() & Qt::ControlModifier)) {
    event->ignore();  // the scroll box scrolls
    return;
  }
  const int delta = event->angleDelta().y();
  if (delta != 0) emit ZoomAround(event->position().toPoint(), delta > 0 ? 1 : -1);
  event->accept();
}

}  // namespace mozenta
