#include "fit_panel.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace mozenta {
namespace {

constexpr int kDefaultWidth = 400;
constexpr int kDefaultHeight = 300;

QSpinBox* MakeSheetsEdit(QWidget* parent, const char* name, int maximum, int value, const char* hint) {
  auto* edit = new QSpinBox(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setRange(1, maximum);
  edit->setValue(value);
  edit->setSuffix(QString::fromUtf8(" 枚"));
  edit->setToolTip(QString::fromUtf8(hint));
  return edit;
}

}  // namespace

FitPanel::FitPanel(Sources sources, QWidget* parent)
    : SettingsPanel(QString::fromUtf8("画像の大きさ"), parent), sources_(std::move(sources)) {
  setObjectName(QStringLiteral("FitPanel"));
  keepSizeCheck = new QCheckBox(QString::fromUtf8("元のサイズ"), this);
  keepSizeCheck->setObjectName(QStringLiteral("KeepSizeCheck"));
  keepSizeCheck->setToolTip(QString::fromUtf8("チェックすると画像の１画素を１枚にします。"));
  keepSizeCheck->setChecked(true);
  widthEdit = MakeSheetsEdit(this, "FitWidthEdit", kMaxFitWidth, kDefaultWidth, "モザイク画の横の枚数です。");
  heightEdit =
      MakeSheetsEdit(this, "FitHeightEdit", kMaxFitHeight, kDefaultHeight, "モザイク画の縦の枚数です。");
  keepAspectCheck = new QCheckBox(QString::fromUtf8("縦横比を保つ"), this);
  keepAspectCheck->setObjectName(QStringLiteral("KeepAspectCheck"));
  keepAspectCheck->setToolTip(
      QString::fromUtf8("チェックすると片方の枚数から画像の縦横比でもう片方を決めます。"));
  keepAspectCheck->setChecked(true);
  modeCombo = new QComboBox(this);
  modeCombo->setObjectName(QStringLiteral("FitModeCombo"));
  modeCombo->addItem(QString::fromUtf8("伸縮"));
  modeCombo->setItemData(0, QString::fromUtf8("縦横比を変えて全体を枚数に合わせます。"), Qt::ToolTipRole);
  modeCombo->addItem(QString::fromUtf8("切り抜き"));
  modeCombo->setItemData(1, QString::fromUtf8("全部の枚数を埋め、はみ出す部分を両側から切り取ります。"),
                         Qt::ToolTipRole);
  modeCombo->addItem(QString::fromUtf8("余白"));
  modeCombo->setItemData(2, QString::fromUtf8("画像全体を収め、残りを余白の色で埋めます。"), Qt::ToolTipRole);
  modeCombo->setCurrentIndex(static_cast<int>(FitMode::kCover));
  marginCombo = new QComboBox(this);
  marginCombo->setObjectName(QStringLiteral("MarginEntryCombo"));
  marginCombo->setToolTip(QString::fromUtf8("余白に使う色です。"));
  RefreshMarginEntries();
  marginCombo->setCurrentIndex(FitSettings{}.marginEntry);

  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(8, 4, 8, 8);
  layout->setHorizontalSpacing(6);
  layout->setVerticalSpacing(4);
  layout->addWidget(keepSizeCheck, 0, 0, 1, 4, Qt::AlignLeft);
  layout->addWidget(new QLabel(QString::fromUtf8("横"), this), 1, 0);
  layout->addWidget(widthEdit, 1, 1);
  layout->addWidget(new QLabel(QString::fromUtf8("縦"), this), 1, 2);
  layout->addWidget(heightEdit, 1, 3);
  layout->addWidget(keepAspectCheck, 2, 1, 1, 3, Qt::AlignLeft);
  layout->addWidget(new QLabel(QString::fromUtf8("合わせ方"), this), 3, 0);
  layout->addWidget(modeCombo, 3, 1, 1, 3);
  layout->addWidget(new QLabel(QString::fromUtf8("余白の色"), this), 4, 0);
  layout->addWidget(marginCombo, 4, 1, 1, 3);
  layout->setColumnStretch(4, 1);

  connect(keepSizeCheck, &QCheckBox::toggled, this, [this] { UpdateEnabled(); });
  connect(modeCombo, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabled(); });
  connect(widthEdit, &QSpinBox::valueChanged, this, [this] { FollowAspect(true); });
  connect(heightEdit, &QSpinBox::valueChanged, this, [this] { FollowAspect(false); });
  connect(keepAspectCheck, &QCheckBox::toggled, this, [this] { FollowAspect(true); });
  UpdateEnabled();
}

void FitPanel::ReadInto(JobSettings& settings) const {
  FitSettings& fit = settings.advanced.picture.fit;
  fit.keepSize = keepSizeCheck->isChecked();
  fit.width = widthEdit->value();
  fit.height = heightEdit->value();
  fit.mode = static_cast<FitMode>(modeCombo->currentIndex());
  fit.marginEntry = marginCombo->currentIndex();
}

void FitPanel::Show(const JobSettings& settings) {
  const FitSettings& fit = settings.advanced.picture.fit;
  following_ = true;  // the sizes as stored, not one made from the other
  if (fit.width > 0) widthEdit->setValue(fit.width);
  if (fit.height > 0) heightEdit->setValue(fit.height);
  following_ = false;
  keepSizeCheck->setChecked(fit.keepSize);
  modeCombo->setCurrentIndex(static_cast<int>(fit.mode));
  marginCombo->setCurrentIndex(std::clamp(fit.marginEntry, 0, kPaletteColors - 1));
  UpdateEnabled();
}

void FitPanel::RefreshMarginEntries() {
  const Palette palette = sources_.palette ? sources_.palette() : Palette{};
  const ColorLabels labels = sources_.labels ? sources_.labels() : DefaultColorLabels();
  const int current = marginCombo->currentIndex();
  marginCombo->clear();
  for (int i = 0; i < kPaletteColors; ++i) {
    std::uint8_t rgb[3];
    SplitColor(palette.ExpandedColor(i), rgb);
    QPixmap swatch(16, 12);
    swatch.fill(QColor(rgb[0], rgb[1], rgb[2]));
    marginCombo->addItem(QIcon(swatch),
                         QString::number(i) + QStringLiteral(" ") + QString::fromStdString(labels[i]));
  }
  if (current >= 0) marginCombo->setCurrentIndex(current);
}

bool FitPanel::event(QEvent* event) {
  // The palette may have changed in the palette dialog since the window was last in front.
  if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) RefreshMarginEntries();
  return SettingsPanel::event(event);
}

void FitPanel::UpdateEnabled() {
  const bool fitting = !keepSizeCheck->isChecked();
  for (QWidget* control : {static_cast<QWidget*>(widthEdit), static_cast<QWidget*>(heightEdit),
                           static_cast<QWidget*>(keepAspectCheck), static_cast<QWidget*>(modeCombo)}) {
    control->setEnabled(fitting);
  }
  marginCombo->setEnabled(fitting && modeCombo->currentIndex() == static_cast<int>(FitMode::kContain));
}

void FitPanel::FollowAspect(bool widthChanged) {
  if (following_ || !keepAspectCheck->isChecked() || !sources_.pictureSize) return;
  const QSize picture = sources_.pictureSize();
  if (picture.width() <= 0 || picture.height() <= 0) return;
  following_ = true;
  if (widthChanged) {
    heightEdit->setValue(static_cast<int>(
        std::lround(static_cast<double>(widthEdit->value()) * picture.height() / picture.width())));
  } else {
    widthEdit->setValue(static_cast<int>(
        std::lround(static_cast<double>(heightEdit->value()) * picture.width() / picture.height())));
  }
  following_ = false;
}

}  // namespace mozenta
