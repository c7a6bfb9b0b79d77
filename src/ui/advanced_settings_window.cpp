#include "advanced_settings_window.h"

#include "application_setup.h"
#include "designed_window.h"

namespace mozenta {

AdvancedSettingsWindow::AdvancedSettingsWindow() : QWidget(nullptr, Qt::Window) {
  setObjectName(QStringLiteral("AdvancedSettingsWindow"));
  setWindowTitle(QString::fromUtf8("詳細設定"));
  ApplyWindowLook(*this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  layout->setSpacing(6);
  panels_ = new QVBoxLayout;
  panels_->setSpacing(6);
  layout->addLayout(panels_);
  layout->addStretch(1);
}

void AdvancedSettingsWindow::AddPanel(SettingsPanel* panel) {
  panel->setParent(this);
  panels_->addWidget(panel);
  panelList_.push_back(panel);
}

void AdvancedSettingsWindow::ReadInto(JobSettings& settings) const {
  for (const SettingsPanel* panel : panelList_)
    panel->ReadInto(settings);
}

void AdvancedSettingsWindow::Show(const JobSettings& settings) {
  for (SettingsPanel* panel : panelList_)
    panel->Show(settings);
}

void AdvancedSettingsWindow::MosaicMade(const JobSettings& settings, const MosaicGrid& grid) {
  for (SettingsPanel* panel : panelList_)
    panel->MosaicMade(settings, grid);
}

void AdvancedSettingsWindow::ShowInFront() {
  ShowWindowInFront(*this);
}

}  // namespace mozenta
