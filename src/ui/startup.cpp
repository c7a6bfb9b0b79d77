#include "startup.h"

#include <cstdio>

#include <QMessageBox>
#include <QScreen>

#include "application_setup.h"
#include "error_handler.h"
#include "picture/messages.h"
#include "program_windows.h"

namespace mozenta {

int DisplayPaletteSize(DesignedWindow& window) {
  window.CreateScreenWindow();
  const QScreen* screen = window.screen();
  if (screen == nullptr) return 0;
  return screen->depth() == 8 ? 256 : 0;
}

bool PassesDisplayCheck(DesignedWindow& mainWindow, const PaletteSizeQuery& paletteSize) {
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

int RunWindows(QApplication& application, const PaletteSizeQuery& paletteSize) {
  ProgramWindows windows;
  MainWindow& mainWindow = *windows.mainWindow;
  mainWindow.CreateScreenWindow();
  if (!PassesDisplayCheck(mainWindow, paletteSize)) return 0;
  // Closing the main window ends the program, whatever other windows are open.
  application.setQuitOnLastWindowClosed(false);
  QObject::connect(&mainWindow, &MainWindow::Closed, &application, &QApplication::quit);
  mainWindow.show();
  return application.exec();
}

int RunMozenta(int argc, char** argv) {
  ErrorReportingApplication application(argc, argv);
  SetUpApplication(application);
  return RunWindows(application);
}

}  // namespace mozenta
