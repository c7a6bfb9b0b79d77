#include "program_windows.h"

#include "color_panel.h"
#include "fit_panel.h"
#include "project_panel.h"
#include "sheets_panel.h"

namespace mozenta {

ProgramWindows::ProgramWindows()
    : mainWindow(std::make_unique<MainWindow>()),
      sourceWindow(std::make_unique<SourceWindow>()),
      mosaicWindow(std::make_unique<MosaicWindow>()),
      paletteDialog(std::make_unique<PaletteDialog>()),
      advancedSettingsWindow(std::make_unique<AdvancedSettingsWindow>()) {
  mainWindow->SetCompanions(*sourceWindow, *mosaicWindow, *paletteDialog, *advancedSettingsWindow);
  advancedSettingsWindow->AddPanel(new FitPanel(
      {[this] {
         const TBitmap* picture = SourceBitmap(sourceWindow->picture);
         return picture ? QSize(picture->Width(), picture->Height()) : QSize();
       },
       [this] { return paletteDialog->ColorPalette(); }, [this] { return paletteDialog->Labels(); }}));
  advancedSettingsWindow->AddPanel(new ColorPanel(*paletteDialog));
  advancedSettingsWindow->AddPanel(new SheetsPanel);
  advancedSettingsWindow->AddPanel(
      new ProjectPanel([this] { mainWindow->OpenProject(); }, [this] { mainWindow->SaveProject(); }));
}

}  // namespace mozenta
