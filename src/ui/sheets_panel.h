// SheetsPanel, "印刷用 PDF": whether a save also writes the printable sheets (name.pdf), on which paper, and
// whether in black-and-white symbols for printers without colour.
#pragma once

#include <QCheckBox>
#include <QComboBox>

#include "settings_panel.h"

namespace mozenta {

class SheetsPanel : public SettingsPanel {
 public:
  SheetsPanel();

  void ReadInto(JobSettings& settings) const override;
  void Show(const JobSettings& settings) override;

  QCheckBox* pdfCheck;      // PDFも保存
  QComboBox* pageCombo;     // A4, A3, レター: in the order of PageSize
  QCheckBox* symbolsCheck;  // 白黒記号
};

}  // namespace mozenta
