#include "mosaic_window.h"

#include <QAction>
#include <QHBoxLayout>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "cell_edit.h"
#include "mosaic/cell_status.h"
#include "mosaic/grid_rows.h"
#include "mosaic/view_scale.h"

namespace mozenta {

MosaicWindow::MosaicWindow() : DesignedWindow(QString::fromUtf8("モザイク画像"), QSize(354, 327)) {
  setObjectName(QStringLiteral("Form3"));
  scrollBox = new ScrollBox(this);
  paletteStrip = new PaletteStrip(this);
  scaleLabel = new QLabel(this);
  scaleLabel->setObjectName(QStringLiteral("ScaleLabel"));
  statusLabel = new QLabel(this);
  statusLabel->setObjectName(QStringLiteral("StatusLabel"));
  statusLabel->setMinimumWidth(0);
  statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  layout->addWidget(scrollBox, 1);
  auto* tools = new QHBoxLayout;
  tools->setContentsMargins(2, 0, 4, 0);
  tools->addWidget(paletteStrip);
  tools->addStretch(1);
  tools->addWidget(scaleLabel);
  layout->addLayout(tools);
  auto* status = new QHBoxLayout;
  status->setContentsMargins(4, 0, 4, 2);
  status->addWidget(statusLabel, 1);
  layout->addLayout(status);
  // The smallest client area is the scroll box's. It is set while the window has no on-screen window yet,
  // which takes it when it is made; the layout does not set it again at every showing.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  setMinimumSize(layout->minimumSize());

  mosaicImage = new MosaicCanvas(scrollBox->Client());
  mosaicImage->setObjectName(QStringLiteral("Image1"));
  mosaicImage->setGeometry(0, 0, 297, 217);
  mosaicImage->SetAutoSize(true);
  mosaicImage->SetBitmap(&mosaic_);
  mosaicImage->SetBlockSize([this] { return settings_ ? settings_().blocks : BlockSettings{}; });
  mosaic_.SetOnChange([this] { mosaicImage->PictureChanged(); });
  scaleLabel->setText(QStringLiteral("100%"));

  connect(mosaicImage, &MosaicCanvas::Hovered, this, &MosaicWindow::OnHovered);
  connect(mosaicImage, &MosaicCanvas::StrokeAt, this, &MosaicWindow::OnStrokeAt);
  connect(mosaicImage, &MosaicCanvas::StrokeEnded, this, &MosaicWindow::OnStrokeEnded);
  connect(mosaicImage, &MosaicCanvas::RectangleChosen, this, &MosaicWindow::OnRectangleChosen);
  connect(mosaicImage, &MosaicCanvas::Picked, this, &MosaicWindow::OnPicked);
  connect(mosaicImage, &MosaicCanvas::ZoomAround, this, [this](QPoint point, int steps) {
    ZoomBy(steps, mosaicImage->mapTo(scrollBox->viewport(), point));
  });

  QAction* undo = undoStack.createUndoAction(this, QString::fromUtf8("元に戻す"));
  undo->setShortcuts(QKeySequence::Undo);
  addAction(undo);
  QAction* redo = undoStack.createRedoAction(this, QString::fromUtf8("やり直し"));
  redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  addAction(redo);
  AddShortcut(QKeySequence(Qt::Key_Plus), [this] { ZoomBy(1); });
  AddShortcut(QKeySequence(Qt::Key_Equal), [this] { ZoomBy(1); });
  AddShortcut(QKeySequence(Qt::Key_Minus), [this] { ZoomBy(-1); });
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { ZoomToFit(); });
  AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_1), [this] { ZoomToActualSize(); });
  AddShortcut(QKeySequence(Qt::Key_G),
              [this] { mosaicImage->SetBlockGridShown(!mosaicImage->BlockGridShown()); });
  for (int entry = 0; entry < kPaletteColors; ++entry)
    AddShortcut(QKeySequence(Qt::Key_0 + entry), [this, entry] { paletteStrip->Choose(entry); });
}

void MosaicWindow::AddShortcut(const QKeySequence& keys, std::function<void()> action) {
  auto* shortcut = new QAction(this);
  shortcut->setShortcut(keys);
  connect(shortcut, &QAction::triggered, this, std::move(action));
  addAction(shortcut);
}

int MosaicBitsPerPixel(int displayDepth) {
  if (displayDepth == 15 || displayDepth == 16) return 16;
  return 32;
}

void MosaicWindow::TakeDisplayDepth() {
  if (depthTaken_) return;
  depthTaken_ = true;
  const QScreen* display = screen();
  mosaic_.SetPixelFormat(MosaicBitsPerPixel(display != nullptr ? display->depth() : 32));
}

MosaicGrid& MosaicWindow::NewGrid() {
  if (!newGrid_) newGrid_ = std::make_unique<MosaicGrid>();
  return *newGrid_;
}

void MosaicWindow::TakeNewGrid(const Palette& palette) {
  const MosaicGrid& made = NewGrid();
  const int columns = made.MaxX() + 1, rows = made.MaxY() + 1;
  for (int x = 0; x < columns; ++x) {
    std::memcpy(grid_.Cells() + MosaicGrid::Offset(x, 0), made.Cells() + MosaicGrid::Offset(x, 0),
                static_cast<std::size_t>(std::max(rows, 0)));
  }
  grid_.SetLimits(made.MaxX(), made.MaxY());
  PaintMosaic(grid_, palette, mosaic_);
}

void MosaicWindow::SetSettingsSource(std::function<JobSettings()> settings) {
  settings_ = std::move(settings);
}

void MosaicWindow::MosaicMade(const Palette& palette, std::vector<CellRun> edits) {
  palette_ = palette;
  madeWith_ = std::move(edits);
  stroke_.clear();
  strokeBefore_.clear();
  undoStack.clear();
  paletteStrip->ShowPalette(palette, settings_ ? settings_().labels : DefaultColorLabels());
  mosaicImage->SetScale(mosaicImage->Scale());
}

bool MosaicWindow::HasEdits() const {
  return !madeWith_.empty() || undoStack.index() > 0;
}

std::vector<CellRun> MosaicWindow::Edits() const {
  std::vector<CellRun> edits = madeWith_;
  for (int i = 0; i < undoStack.index(); ++i) {
    const auto* step = static_cast<const CellEdit*>(undoStack.command(i));
    edits.insert(edits.end(), step->Runs().begin(), step->Runs().end());
  }
  return edits;
}

void MosaicWindow::ZoomBy(int steps, std::optional<QPoint> anchor) {
  double scale = mosaicImage->Scale();
  for (; steps > 0; --steps)
    scale = ScaleStepAbove(scale);
  for (; steps < 0; ++steps)
    scale = ScaleStepBelow(scale);
  SetScale(scale, anchor);
}

void MosaicWindow::ZoomToFit() {
  const QSize view = scrollBox->maximumViewportSize();
  SetScale(FitScale(view.width(), view.height(), mosaic_.Width(), mosaic_.Height()), QPoint(0, 0));
}

void MosaicWindow::ZoomToActualSize() {
  SetScale(1);
}

void MosaicWindow::SetScale(double scale, std::optional<QPoint> anchor) {
  const QPoint at = anchor.value_or(scrollBox->viewport()->rect().center());
  QScrollBar* horizontal = scrollBox->horizontalScrollBar();
  QScrollBar* vertical = scrollBox->verticalScrollBar();
  const double old = mosaicImage->Scale();
  const double cellX = (horizontal->value() + at.x()) / old, cellY = (vertical->value() + at.y()) / old;
  mosaicImage->SetScale(scale);
  scale = mosaicImage->Scale();
  horizontal->setValue(static_cast<int>(cellX * scale) - at.x());
  vertical->setValue(static_cast<int>(cellY * scale) - at.y());
  scaleLabel->setText(QStringLiteral("%1%").arg(scale * 100, 0, 'f', scale < 0.5 ? 1 : 0));
}

QString MosaicWindow::StatusText(QPoint cell) const {
  const JobSettings settings = settings_ ? settings_() : JobSettings{};
  const std::uint8_t entry = grid_.Cell(cell.x(), cell.y()) & 7;
  return QString::fromStdString(CellStatusText(settings.blocks, settings.labels, cell.x(), cell.y(), entry));
}

void MosaicWindow::OnHovered(std::optional<QPoint> cell) {
  statusLabel->setText(cell ? StatusText(*cell) : QString());
}

void MosaicWindow::RepaintCells(const CellRun& run) {
  mosaicImage->update(mosaicImage->ShownRect(QRect(run.x, run.top, 1, run.length)));
}

void MosaicWindow::PaintRuns(const std::vector<CellRun>& runs) {
  for (const CellRun& run : runs) {
    PaintRun(run, palette_, grid_, mosaic_);
    RepaintCells(run);
  }
}

void MosaicWindow::RestoreRuns(const std::vector<CellRun>& runs, const std::vector<std::uint8_t>& before) {
  std::size_t end = before.size();
  for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
    end -= static_cast<std::size_t>(run->length);
    for (int i = 0; i < run->length; ++i)
      PaintRun({run->x, run->top + i, 1, before[end + i]}, palette_, grid_, mosaic_);
    RepaintCells(*run);
  }
}

void MosaicWindow::OnStrokeAt(QPoint cell) {
  const auto paint = static_cast<std::uint8_t>(paletteStrip->Chosen());
  const std::uint8_t before = grid_.Cell(cell.x(), cell.y());
  if (before == paint) return;
  // Cells one below the other in a column join the stroke's last run.
  if (!stroke_.empty() && stroke_.back().x == cell.x() &&
      stroke_.back().top + stroke_.back().length == cell.y()) {
    ++stroke_.back().length;
  } else {
    stroke_.push_back({cell.x(), cell.y(), 1, paint});
  }
  strokeBefore_.push_back(before);
  const CellRun single{cell.x(), cell.y(), 1, paint};
  PaintRun(single, palette_, grid_, mosaic_);
  RepaintCells(single);
  OnHovered(cell);
}

void MosaicWindow::OnStrokeEnded() {
  if (stroke_.empty()) return;
  undoStack.push(new CellEdit(*this, std::move(stroke_), std::move(strokeBefore_)));
  stroke_.clear();
  strokeBefore_.clear();
}

void MosaicWindow::OnRectangleChosen(QRect cells) {
  const auto paint = static_cast<std::uint8_t>(paletteStrip->Chosen());
  std::vector<CellRun> runs;
  std::vector<std::uint8_t> before;
  before.reserve(static_cast<std::size_t>(cells.width()) * cells.height());
  bool changes = false;
  for (int x = cells.left(); x <= cells.right(); ++x) {
    runs.push_back({x, cells.top(), cells.height(), paint});
    const std::uint8_t* column = grid_.Cells() + MosaicGrid::Offset(x, cells.top());
    before.insert(before.end(), column, column + cells.height());
    changes = changes ||
              std::any_of(column, column + cells.height(), [paint](std::uint8_t c) { return c != paint; });
  }
  if (!changes) return;
  PaintRuns(runs);
  undoStack.push(new CellEdit(*this, std::move(runs), std::move(before)));
}

void MosaicWindow::OnPicked(QPoint cell) {
  paletteStrip->Choose(grid_.Cell(cell.x(), cell.y()) & 7);
}

}  // namespace mozenta
