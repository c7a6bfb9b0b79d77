// Renders each window on the offscreen platform into PNG files for the documentation:
//   ui_screenshots <output folder> <picture file>
// The picture is loaded and converted through the main window's commands, as a user would.
#include <stdlib.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QtGlobal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "picture/source_picture.h"
#include "ui/application_setup.h"
#include "ui/error_handler.h"
#include "ui/fit_panel.h"
#include "ui/program_windows.h"

namespace mozenta {
namespace {

// Qt looks for the user's runtime folder as it starts and warns when XDG_RUNTIME_DIR names none, as in a
// run outside a login session. Such a run gets a private folder of its own, removed at the end.
class RuntimeFolder {
 public:
  RuntimeFolder() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
    std::string pattern = (std::filesystem::temp_directory_path() / "ui_screenshots-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;  // mode 0700, as Qt wants it
    path_ = pattern;
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(path_));
  }
  ~RuntimeFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

 private:
  std::string path_;
};

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
  const RuntimeFolder runtimeFolder;
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
  LoadSourcePicture(windows.sourceWindow->picture, argv[2], DisplayDecodeSettings());
  mainWindow.convertButton->setEnabled(true);
  paletteDialog.rows[3].useCheck->setChecked(false);
  // Sheets on hand of two entries, so that the "詳細設定" window shows a shortfall after the conversion.
  if (auto* stock = windows.advancedSettingsWindow->findChild<QLineEdit*>(QStringLiteral("StockEdit0"))) {
    stock->setText(QStringLiteral("1000"));
  }
  if (auto* stock = windows.advancedSettingsWindow->findChild<QLineEdit*>(QStringLiteral("StockEdit7"))) {
    stock->setText(QStringLiteral("100000000"));
  }
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
  // The workbench: zoomed in eight times, the grid of 20 × 30 blocks with their names, a rectangle painted
  // white, the pointer over a cell.
  MosaicWindow& mosaicWindow = *windows.mosaicWindow;
  mainWindow.blockWidthEdit->SetValue(20);
  mainWindow.blockHeightEdit->SetValue(30);
  mosaicWindow.SetScale(8, QPoint(0, 0));
  mosaicWindow.mosaicImage->SetBlockGridShown(true);
  mosaicWindow.paletteStrip->Choose(7);
  emit mosaicWindow.mosaicImage->RectangleChosen(QRect(3, 3, 6, 4));
  const QPoint pointer = mosaicWindow.mosaicImage->ShownRect(QRect(13, 12, 1, 1)).center();
  QMouseEvent move(QEvent::MouseMove, pointer, mosaicWindow.mosaicImage->mapToGlobal(pointer), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(mosaicWindow.mosaicImage, &move);
  ok = Save(&mosaicWindow, folder, "mosaic-workbench.png") && ok;
  mosaicWindow.undoStack.undo();  // no edits left: the mosaic is made again without a question

  // The picture fitted whole to 120 × 60 sheets between white margins, through the 詳細設定 window.
  mainWindow.advancedButton->click();
  auto* fit = windows.advancedSettingsWindow->findChild<FitPanel*>();
  fit->keepSizeCheck->setChecked(false);
  fit->keepAspectCheck->setChecked(false);
  fit->widthEdit->setValue(120);
  fit->heightEdit->setValue(60);
  fit->modeCombo->setCurrentIndex(static_cast<int>(FitMode::kContain));
  ok = Save(windows.advancedSettingsWindow.get(), folder, "advanced-settings.png") && ok;
  QTimer::singleShot(0, &paletteDialog, [&] { paletteDialog.runButton->click(); });
  mainWindow.convertButton->click();
  ok = Save(windows.mosaicWindow.get(), folder, "fitted-mosaic.png") && ok;
  return ok ? 0 : 1;
}
