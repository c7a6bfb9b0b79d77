#include "sheets_panel.h"

#include <QHBoxLayout>
#include <QLabel>

namespace mozenta {

SheetsPanel::SheetsPanel() : SettingsPanel(QString::fromUtf8("印刷用 PDF")) {
  setObjectName(QStringLiteral("SheetsPanel"));
  pdfCheck = new QCheckBox(QString::fromUtf8("PDFも保存"), this);
  pdfCheck->setObjectName(QStringLiteral("PdfCheck"));
  pdfCheck->setToolTip(
      QString::fromUtf8("保存のとき、印刷用のシート (全体図、ブロックごとのページ、合計) を PDF にします。"));
  auto* pageCaption = new QLabel(QString::fromUtf8("用紙"), this);
  pageCombo = new QComboBox(this);
  pageCombo->setObjectName(QStringLiteral("PageCombo"));
  pageCombo->addItems({QStringLiteral("A4"), QStringLiteral("A3"), QString::fromUtf8("レター")});
  pageCaption->setBuddy(pageCombo);
  symbolsCheck = new QCheckBox(QString::fromUtf8("白黒記号"), this);
  symbolsCheck->setObjectName(QStringLiteral("SymbolsCheck"));
  symbolsCheck->setToolTip(QString::fromUtf8("色を塗らず、記号だけで印刷します。色は凡例にだけ出ます。"));

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(pdfCheck);
  layout->addSpacing(8);
  layout->addWidget(pageCaption);
  layout->addWidget(pageCombo);
  layout->addSpacing(8);
  layout->addWidget(symbolsCheck);
  layout->addStretch(1);

  // The paper and the symbols matter only when the PDF is made.
  const auto follow = [this](bool enabled) {
    pageCombo->setEnabled(enabled);
    symbolsCheck->setEnabled(enabled);
  };
  connect(pdfCheck, &QCheckBox::toggled, this, follow);
  follow(false);
}

void SheetsPanel::ReadInto(JobSettings& settings) const {
  SheetOptions& sheets = settings.advanced.sheets;
  sheets.enabled = pdfCheck->isChecked();
  sheets.page = static_cast<PageSize>(pageCombo->currentIndex());
  sheets.symbols = symbolsCheck->isChecked();
}

void SheetsPanel::Show(const JobSettings& settings) {
  const SheetOptions& sheets = settings.advanced.sheets;
  pdfCheck->setChecked(sheets.enabled);
  pageCombo->setCurrentIndex(static_cast<int>(sheets.page));
  symbolsCheck->setChecked(sheets.symbols);
}

}  // namespace mozenta
