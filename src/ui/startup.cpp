#include "startup.h"

#include <cstdio>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <string>

#include "application_setup.h"
#include "error_handler.h"
#include "message_box.h"
#include "picture/messages.h"
#include "program_windows.h"
#include "system_locale.h"
#include "x11_message_box.h"

namespace mozenta {

int DisplayPaletteSize(DesignedWindow& window) {
  window.CreateScreenWindow();
  const QScreen* screen = window.screen();
  if (screen == nullptr) return 0;
  return screen->depth() == 8 ? 256 : 0;
}

namespace {

// Qt cannot paint on an X display of 8 bits per pixel or fewer, where its message box would come out
// black: there the box is drawn with plain Xlib, in the window font and the button-face colour. False,
// having shown nothing, on any other display.
bool ShowRefusalWithPlainXlib(const QWidget& mainWindow) {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr) return false;
  if (mainWindow.screen() == nullptr || mainWindow.screen()->depth() > 8) return false;
  X11MessageBoxLook look;
  look.fontPattern = WindowFontSubstitutes().join(QLatin1Char(',')).toStdString() +
                     ":pixelsize=" + std::to_string(kWindowFontPixels);
  const QColor face = QApplication::palette().color(QPalette::Button);
  look.face[0] = static_cast<unsigned char>(face.red());
  look.face[1] = static_cast<unsigned char>(face.green());
  look.face[2] = static_cast<unsigned char>(face.blue());
  look.minimumWidth = CaptionedWidth(ApplicationTitleText());
  return ShowX11MessageBox(x11->display(), ApplicationTitleText().toStdString(),
                           MessageText(MessageId::kPaletteDisplay), look);
}

}  // namespace

bool PassesDisplayCheck(DesignedWindow& mainWindow, const PaletteSizeQuery& paletteSize) {
  if (paletteSize(mainWindow) != 256) return true;
  // Said on the terminal too, for a display where no box can be shown.
  std::fprintf(stderr, "%s: %s\n", ApplicationTitleText().toLocal8Bit().constData(),
               QString::fromStdString(MessageText(MessageId::kPaletteDisplay)).toLocal8Bit().constData());
  if (ShowRefusalWithPlainXlib(mainWindow)) return false;
  ShowMessageBox(QMessageBox::NoIcon, QString::fromStdString(MessageText(MessageId::kPaletteDisplay)),
                 QStringLiteral("DisplayCheckMessageBox"));
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
  JapaneseSystemLocale japanese;
  ErrorReportingApplication application(argc, argv);
  japanese.End();
  SetUpApplication(application);
  return RunWindows(application);
}

}  // namespace mozenta
