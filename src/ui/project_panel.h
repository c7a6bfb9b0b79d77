// ProjectPanel, "プロジェクト": opens and saves project files from the "詳細設定" window. The main window
// does the work (Ctrl+O and Ctrl+S there do the same); the panel holds no settings of its own.
#pragma once

#include <QPushButton>
#include <functional>

#include "settings_panel.h"

namespace mozenta {

class ProjectPanel : public SettingsPanel {
 public:
  ProjectPanel(std::function<void()> open, std::function<void()> save);

  void ReadInto(JobSettings&) const override {}
  void Show(const JobSettings&) override {}

  QPushButton* openButton;  // プロジェクトを開く…
  QPushButton* saveButton;  // プロジェクトを保存…
};

}  // namespace mozenta
