// Renders each window on the offscreen platform into PNG files for the documentation:
//   ui_screenshots <output folder>
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QtGlobal>
#include <cstdio>

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
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  mozenta::TApplication application(argc, argv);
  mozenta::SetUpApplication(application);
  if (argc != 2) {
    std::fprintf(stderr, "usage: ui_screenshots <output folder>\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  mozenta::CreateForms();
  using mozenta::Form1;
  using mozenta::Form4;
  bool ok = mozenta::Save(Form1, folder, "main-window.png");
  // The palette dialog as it looks while shown modally: swatches painted from the palette.
  QTimer::singleShot(0, Form4, [&] {
    ok = mozenta::Save(Form4, folder, "palette-dialog.png") && ok;
    Form4->close();
  });
  Form4->ShowModal();
  mozenta::DestroyForms();
  return ok ? 0 : 1;
}
