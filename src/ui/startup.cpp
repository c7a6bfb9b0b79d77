#include "startup.h"

#include <cstdio>

#include <QMessageBox>
#include <QScreen>

#include "application_setup.h"
#include "error_handler.h"
#include "forms.h"
#include "main_window.h"
#include "picture/messages.h"

namespace mozenta {

int DisplayPaletteSize(TForm& window) {
  window.CreateScreenWindow();
  const QScreen* screen = window.screen();
  if (screen == nullptr) return 0;
  return screen->depth() == 8 ? 256 : 0;
}

bool PassesDisplayCheck(TForm& mainWindow, const PaletteSizeQuery& paletteSize) {
  if (paletteSize(mainWindow) != 256) return true;
  // Qt cannot paint on an 8-bit indexed X display, where the box below comes out blank: say it on the
  // terminal too.
  std::fprintf(stderr, "%s: %s\n", ApplicationTitleText().toLocal8Bit().constData(),
               QString::fromStdString(MessageText(MessageId::kPaletteDisplay)).toLocal8Bit().constData());
  QMessageBox box(QMessageBox::NoIcon, ApplicationTitleText(),
                  QString::fromStdString(MessageText(MessageId::kPaletteDisplay)), QMessageBox::Ok);
  box.setObjectName(QStringLiteral("DisplayCheckMessageBox"));
  box.exec();
  return false;
}

int RunForms(QApplication& application, const PaletteSizeQuery& paletteSize) {
  CreateForms();
  Form1->CreateScreenWindow();
  if (!PassesDisplayCheck(*Form1, paletteSize)) {
    DestroyForms();
    return 0;
  }
  // Closing the main window ends the program, whatever other windows are open.
  application.setQuitOnLastWindowClosed(false);
  QObject::connect(Form1, &TForm1::Closed, &application, &QApplication::quit);
  Form1->show();
  const int status = application.exec();
  DestroyForms();
  return status;
}

int RunMozenta(int argc, char** argv) {
  TApplication application(argc, argv);
  SetUpApplication(application);
  return RunForms(application);
}

}  // namespace mozenta
