#include "application_setup.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QPalette>
#include <QScreen>
#include <QSettings>
#include <QTranslator>
#include <QWidget>
#include <cstring>

#include "application_title.h"

namespace mozenta {

QStringList WindowFontSubstitutes() {
  return {QStringLiteral("IPAPGothic"), QString::fromUtf8("IPA Pゴシック"),
          QStringLiteral("IPAGothic"),  QStringLiteral("Noto Sans CJK JP"),
          QStringLiteral("VL PGothic"), QStringLiteral("TakaoPGothic")};
}

void InstallFontSubstitutions() {
  QFont::insertSubstitutions(QString::fromUtf8(kWindowFontFamily), WindowFontSubstitutes());
}

namespace {

// Texts of Qt's file dialog that its Japanese translation lacks: the kinds of folders and drives.
class MissingJapaneseTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* sourceText, const char* /*disambiguation*/,
                    int /*n*/) const override {
    if (std::strcmp(context, "QAbstractFileIconProvider") != 0) return {};
    if (std::strcmp(sourceText, "Folder") == 0) return QString::fromUtf8("フォルダー");
    if (std::strcmp(sourceText, "Drive") == 0) return QString::fromUtf8("ドライブ");
    if (std::strcmp(sourceText, "File") == 0) return QString::fromUtf8("ファイル");
    return {};
  }
};

}  // namespace

bool InstallJapaneseTranslations(QApplication& application) {
  QApplication::installTranslator(new MissingJapaneseTexts(&application));
  // Owned by the application object, so it lives exactly as long as the texts are needed.
  auto* translator = new QTranslator(&application);
  if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QApplication::installTranslator(translator);
  return true;
}

void KeepQtSettingsInThisRun() {
  // Qt's dialogs keep their custom colours and visited folders in the user's "QtProject" settings, a file
  // shared by every Qt program. A folder that can never exist keeps them in memory: each run starts afresh
  // and leaves nothing behind.
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
}

QString ApplicationTitleText() {
  const QString path = QCoreApplication::applicationFilePath();
  const std::string local =
      QFile::encodeName(path.isEmpty() ? QCoreApplication::arguments().value(0) : path).toStdString();
  return QString::fromLocal8Bit(ApplicationTitle(local));
}

void SetUpApplication(QApplication& application) {
  KeepQtSettingsInThisRun();
  InstallFontSubstitutions();
  InstallJapaneseTranslations(application);
  QApplication::setApplicationName(ApplicationTitleText());
  // Lets the desktop match the windows to the installed menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("mozenta"));
}

PictureDecodeSettings DisplayDecodeSettings() {
  PictureDecodeSettings settings;
  if (const QScreen* display = QGuiApplication::primaryScreen())
    settings.displayBitsPerPixel = display->depth();
  return settings;
}

QFont WindowFont() {
  QFont font(QString::fromUtf8(kWindowFontFamily));
  font.setPixelSize(kWindowFontPixels);
  return font;
}

void ApplyWindowLook(QWidget& window) {
  window.setFont(WindowFont());
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::Button));
  window.setPalette(palette);
  window.setAutoFillBackground(true);
}

}  // namespace mozenta
