// Renders each window on the offscreen platform into PNG files for the documentation:
//   ui_screenshots <output folder> <picture file>
// The picture is loaded and converted through the main window's commands, as a user would.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QtGlobal>
#include <cstdio>

#include "picture/jpeg_image.h"
#include "picture/source_picture.h"
#include "ui/application_setup.h"
#include "ui/error_handler.h"
#include "ui/program_windows.h"

namespace mozenta {
namespace {

bool Save(QWidget* window, const QDir& folder, const char* name) {
  window->show();
  QApplication::processEvents();
  const QString path = folder.filePath(QString::fromLatin1(name));
  const bool saved = window->grab().save(path);
  std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
  return saved;
}

}  // namespace
}  // namespace mozenta

int main(int argc, char** argv) {
  using namespace mozenta;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  RegisterJpegFormats();
  ErrorReportingApplication application(argc, argv);
  SetUpApplication(application);
  if (argc != 3) {
    std::fprintf(stderr, "usage: ui_screenshots <output folder> <picture file>\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  ProgramWindows windows;
  MainWindow& mainWindow = *windows.mainWindow;
  PaletteDialog& paletteDialog = *windows.paletteDialog;
  mainWindow.show();
  windows.sourceWindow->ShowInFront();
  LoadSourcePicture(windows.sourceWindow->picture, argv[2]);
  mainWindow.convertButton->setEnabled(true);
  paletteDialog.rows[3].useCheck->setChecked(false);
  bool ok = true;
  // The palette dialog as it looks while shown modally, swatches painted from the palette; then "実行".
  QTimer::singleShot(0, &paletteDialog, [&] {
    ok = Save(&paletteDialog, folder, "palette-dialog.png") && ok;
    paletteDialog.runButton->click();
  });
  mainWindow.convertButton->click();
  ok = Save(&mainWindow, folder, "main-window.png") && ok;
  ok = Save(windows.sourceWindow.get(), folder, "source-window.png") && ok;
  ok = Save(windows.mosaicWindow.get(), folder, "mosaic-window.png") && ok;
  return ok ? 0 : 1;
}
