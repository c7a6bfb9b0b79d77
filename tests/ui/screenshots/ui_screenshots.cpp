// Renders each window on the offscreen platform into PNG files for the documentation:
//   ui_screenshots <output folder> <picture file>
// The picture is loaded and converted through the main window's commands, as a user would.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QtGlobal>
#include <cstdio>

#include "picture/source_picture.h"
#include "ui/application_setup.h"
#include "ui/error_handler.h"
#include "ui/forms.h"
#include "ui/main_window.h"
#include "ui/mosaic_window.h"
#include "ui/palette_dialog.h"
#include "ui/source_window.h"

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
  TApplication application(argc, argv);
  SetUpApplication(application);
  if (argc != 3) {
    std::fprintf(stderr, "usage: ui_screenshots <output folder> <picture file>\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  CreateForms();
  Form1->show();
  Form2->ShowInFront();
  LoadSourcePicture(Form2->Source, argv[2], DisplayDecodeSettings());
  Form1->Button3->setEnabled(true);
  Form4->ArCheckBox1[3]->setChecked(false);
  bool ok = true;
  // The palette dialog as it looks while shown modally, swatches painted from the palette; then "実行".
  QTimer::singleShot(0, Form4, [&] {
    ok = Save(Form4, folder, "palette-dialog.png") && ok;
    Form4->Button1->click();
  });
  Form1->Button3Click();
  ok = Save(Form1, folder, "main-window.png") && ok;
  ok = Save(Form2, folder, "source-window.png") && ok;
  ok = Save(Form3, folder, "mosaic-window.png") && ok;
  DestroyForms();
  return ok ? 0 : 1;
}
