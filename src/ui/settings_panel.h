// SettingsPanel: one section of the "詳細設定" window, the settings of one feature. A panel shows its part
// of the job's settings and reads it back; the window stacks the panels, top to bottom.
#pragma once

#include <QGroupBox>

#include "project/job_settings.h"

namespace mozenta {

class SettingsPanel : public QGroupBox {
 public:
  explicit SettingsPanel(const QString& title, QWidget* parent = nullptr) : QGroupBox(title, parent) {}

  // Writes what the panel's controls hold into its part of `settings`; the rest stays as it is.
  virtual void ReadInto(JobSettings& settings) const = 0;
  // Sets the panel's controls from its part of `settings` (a project being opened).
  virtual void Show(const JobSettings& settings) = 0;
};

}  // namespace mozenta
