// AdvancedSettingsWindow, "詳細設定": the settings beyond the classic ones, opened from the main window and
// kept open beside it (not modal). Each feature has a panel of its own; the main window reads them all when
// it makes the mosaic or saves. Settings live for the run, like the classic ones.
#pragma once

#include <QVBoxLayout>
#include <QWidget>
#include <vector>

#include "project/job_settings.h"
#include "settings_panel.h"

namespace mozenta {

class AdvancedSettingsWindow : public QWidget {
  Q_OBJECT

 public:
  AdvancedSettingsWindow();

  // Stacks `panel` below the others; the window owns it.
  void AddPanel(SettingsPanel* panel);

  // Every panel's part written into `settings`.
  void ReadInto(JobSettings& settings) const;
  // Every panel set from `settings`.
  void Show(const JobSettings& settings);

  // Shows the window in front; the window system places it the first time, and it comes back where the
  // user left it.
  void ShowInFront();

 private:
  QVBoxLayout* panels_;
  std::vector<SettingsPanel*> panelList_;
};

}  // namespace mozenta
