// The four windows of the program, one instance each, alive from start-up to the end of the program. They
// are created hidden, in the order of the members below (creating the main window resets the palette), and
// destroyed in the reverse order. The main window is handed its three companions, which its commands use.
#pragma once

#include <memory>

#include "advanced_settings_window.h"
#include "main_window.h"
#include "mosaic_window.h"
#include "palette_dialog.h"
#include "source_window.h"

namespace mozenta {

class ProgramWindows {
 public:
  ProgramWindows();
  ProgramWindows(const ProgramWindows&) = delete;
  ProgramWindows& operator=(const ProgramWindows&) = delete;

  const std::unique_ptr<MainWindow> mainWindow;
  const std::unique_ptr<SourceWindow> sourceWindow;    // the full-colour source picture
  const std::unique_ptr<MosaicWindow> mosaicWindow;    // the mosaic
  const std::unique_ptr<PaletteDialog> paletteDialog;  // the colours, shown before every conversion
  // The settings beyond the classic ones, with a panel per feature.
  const std::unique_ptr<AdvancedSettingsWindow> advancedSettingsWindow;
};

}  // namespace mozenta
