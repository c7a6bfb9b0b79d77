#include "palette_strip.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>

namespace mozenta {
namespace {

constexpr int kSwatchSize = 14;

QIcon SwatchIcon(std::uint32_t color) {
  QPixmap pixmap(kSwatchSize, kSwatchSize);
  pixmap.fill(QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF));
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, kSwatchSize - 1, kSwatchSize - 1);
  return QIcon(pixmap);
}

}  // namespace

PaletteStrip::PaletteStrip(QWidget* parent) : QWidget(parent), group_(new QButtonGroup(this)) {
  setObjectName(QStringLiteral("PaletteStrip"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(1);
  for (int i = 0; i < kPaletteColors; ++i) {
    auto* swatch = new QToolButton(this);
    swatch->setObjectName(QStringLiteral("Swatch%1").arg(i));
    swatch->setCheckable(true);
    swatch->setAutoRaise(true);
    swatch->setIconSize(QSize(kSwatchSize, kSwatchSize));
    swatch->setFocusPolicy(Qt::NoFocus);
    group_->addButton(swatch, i);
    layout->addWidget(swatch);
    swatches[i] = swatch;
  }
  group_->setExclusive(true);
  swatches[0]->setChecked(true);
  connect(group_, &QButtonGroup::idClicked, this, &PaletteStrip::EntryChosen);
  ShowPalette(Palette(), DefaultColorLabels());
}

void PaletteStrip::ShowPalette(const Palette& palette, const ColorLabels& labels) {
  for (int i = 0; i < kPaletteColors; ++i) {
    swatches[i]->setIcon(SwatchIcon(palette.ExpandedColor(i)));
    swatches[i]->setToolTip(QStringLiteral("%1 (%2)").arg(QString::fromStdString(labels[i])).arg(i));
  }
}

void PaletteStrip::Choose(int entry) {
  if (entry < 0 || entry >= kPaletteColors) return;
  swatches[entry]->setChecked(true);
  emit EntryChosen(entry);
}

}  // namespace mozenta
