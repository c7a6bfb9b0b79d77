#include "color_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <limits>

#include "error_handler.h"
#include "mosaic/palette_file.h"
#include "mosaic/sheet_stock.h"
#include "palette_dialog.h"

namespace mozenta {
namespace {

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

}  // namespace

ColorPanel::ColorPanel(PaletteDialog& paletteDialog)
    : SettingsPanel(Utf8("色")),
      openPaletteDialog(FileDialog::Kind::kOpen, QStringLiteral("OpenPaletteDialog"), kPaletteFileFilter),
      savePaletteDialog(FileDialog::Kind::kSave, QStringLiteral("SavePaletteDialog"), kPaletteFileFilter),
      paletteDialog_(paletteDialog) {
  setObjectName(QStringLiteral("ColorPanel"));
  auto* grid = new QGridLayout(this);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);

  matchCombo = new QComboBox(this);
  matchCombo->setObjectName(QStringLiteral("MatchCombo"));
  matchCombo->addItems({Utf8("従来"), Utf8("知覚 (CIEDE2000)")});
  grid->addWidget(new QLabel(Utf8("色の比較"), this), 0, 0);
  grid->addWidget(matchCombo, 0, 1, 1, 2);

  diffusionCombo = new QComboBox(this);
  diffusionCombo->setObjectName(QStringLiteral("DiffusionCombo"));
  diffusionCombo->addItems(
      {Utf8("従来"), Utf8("Floyd-Steinberg"), Utf8("Atkinson"), Utf8("Sierra Lite"), Utf8("なし")});
  grid->addWidget(new QLabel(Utf8("誤差拡散"), this), 1, 0);
  grid->addWidget(diffusionCombo, 1, 1, 1, 2);

  serpentineCheck = new QCheckBox(Utf8("蛇行走査"), this);
  serpentineCheck->setObjectName(QStringLiteral("SerpentineCheck"));
  grid->addWidget(serpentineCheck, 2, 1, 1, 2);

  auto* fileButtons = new QHBoxLayout;
  loadPaletteButton = new QPushButton(Utf8("パレット読込…"), this);
  loadPaletteButton->setObjectName(QStringLiteral("LoadPaletteButton"));
  savePaletteButton = new QPushButton(Utf8("パレット保存…"), this);
  savePaletteButton->setObjectName(QStringLiteral("SavePaletteButton"));
  fileButtons->addWidget(loadPaletteButton);
  fileButtons->addWidget(savePaletteButton);
  fileButtons->addStretch(1);
  grid->addLayout(fileButtons, 3, 0, 1, 3);

  grid->addWidget(new QLabel(Utf8("在庫 (枚)"), this), 4, 0, 1, 3);
  for (int i = 0; i < kPaletteColors; ++i) {
    StockRow& row = stockRows[i];
    row.caption = new QLabel(this);
    row.onHandEdit = new QLineEdit(this);
    row.onHandEdit->setObjectName(QStringLiteral("StockEdit%1").arg(i));
    row.onHandEdit->setValidator(new QIntValidator(0, std::numeric_limits<int>::max(), row.onHandEdit));
    row.onHandEdit->setMaximumWidth(row.onHandEdit->fontMetrics().horizontalAdvance(QStringLiteral("0")) *
                                    12);
    row.figuresLabel = new QLabel(this);
    row.figuresLabel->setObjectName(QStringLiteral("StockFigures%1").arg(i));
    grid->addWidget(row.caption, 5 + i, 0);
    grid->addWidget(row.onHandEdit, 5 + i, 1);
    grid->addWidget(row.figuresLabel, 5 + i, 2);
    // A stock typed after a conversion updates the shortfall at once.
    connect(row.onHandEdit, &QLineEdit::textChanged, this, [this] { ShowFigures(); });
  }
  grid->setColumnStretch(2, 1);
  ShowEntryCaptions();

  ConnectCommand(loadPaletteButton, [this] { OnLoadPaletteClicked(); });
  ConnectCommand(savePaletteButton, [this] { OnSavePaletteClicked(); });
}

void ColorPanel::ReadInto(JobSettings& settings) const {
  settings.advanced.conversion = {static_cast<ColorMatch>(matchCombo->currentIndex()),
                                  static_cast<Diffusion>(diffusionCombo->currentIndex()),
                                  serpentineCheck->isChecked()};
  for (int i = 0; i < kPaletteColors; ++i) {
    bool number = false;
    const qlonglong onHand = stockRows[i].onHandEdit->text().toLongLong(&number);
    settings.advanced.stock[i] = number && onHand >= 0 ? std::optional<std::int64_t>(onHand) : std::nullopt;
  }
}

void ColorPanel::Show(const JobSettings& settings) {
  const ConversionOptions& conversion = settings.advanced.conversion;
  matchCombo->setCurrentIndex(static_cast<int>(conversion.match));
  diffusionCombo->setCurrentIndex(static_cast<int>(conversion.diffusion));
  serpentineCheck->setChecked(conversion.serpentine);
  for (int i = 0; i < kPaletteColors; ++i) {
    const auto& onHand = settings.advanced.stock[i];
    stockRows[i].onHandEdit->setText(onHand ? QString::number(*onHand) : QString());
  }
}

void ColorPanel::MosaicMade(const JobSettings& /*settings*/, const MosaicGrid& grid) {
  ShowEntryCaptions();
  lastTotals_ = MosaicTotals(grid);
  ShowFigures();
}

void ColorPanel::ShowFigures() {
  if (!lastTotals_) return;
  JobSettings current;
  ReadInto(current);
  const SheetFigureTable figures = SheetFiguresOf(*lastTotals_, current.advanced.stock);
  for (int i = 0; i < kPaletteColors; ++i) {
    const SheetFigures& f = figures[i];
    QString text = Utf8("必要 ") + QString::fromStdString(GroupedCount(f.needed)) + Utf8("枚");
    if (f.shortBy > 0) text += Utf8("　不足 ") + QString::fromStdString(GroupedCount(f.shortBy)) + Utf8("枚");
    stockRows[i].figuresLabel->setText(text);
  }
}

void ColorPanel::showEvent(QShowEvent* event) {
  ShowEntryCaptions();
  SettingsPanel::showEvent(event);
}

void ColorPanel::OnLoadPaletteClicked() {
  if (!openPaletteDialog.Execute(this)) return;
  // Loaded into copies, so that a file that cannot be read leaves the dialog as it was.
  Palette palette = paletteDialog_.ColorPalette();
  ColorLabels labels = paletteDialog_.Labels();
  LoadPaletteFile(openPaletteDialog.FileName(), palette, labels);
  paletteDialog_.ColorPalette() = palette;
  paletteDialog_.SetLabels(labels);
  ShowEntryCaptions();
}

void ColorPanel::OnSavePaletteClicked() {
  if (!savePaletteDialog.Execute(this)) return;
  SavePaletteFile(savePaletteDialog.FileName(), paletteDialog_.ColorPalette(), paletteDialog_.Labels());
}

void ColorPanel::ShowEntryCaptions() {
  const ColorLabels labels = paletteDialog_.Labels();
  for (int i = 0; i < kPaletteColors; ++i)
    stockRows[i].caption->setText(QStringLiteral("%1 ").arg(i) + QString::fromStdString(labels[i]));
}

}  // namespace mozenta
