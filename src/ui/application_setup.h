// What the program's windows share: the window font, the button-face colour, Qt's own texts in Japanese.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

#include "picture/file_formats.h"

class QApplication;
class QWidget;

namespace mozenta {

// The family every window asks for, at a character height of 12 pixels. It is mapped onto an installed
// Japanese font by InstallFontSubstitutions.
inline constexpr const char* kWindowFontFamily = "ＭＳ Ｐゴシック";
inline constexpr int kWindowFontPixels = 12;

// The Japanese fonts that may be installed in place of kWindowFontFamily, IPA P Gothic first.
QStringList WindowFontSubstitutes();

// Maps kWindowFontFamily onto WindowFontSubstitutes.
void InstallFontSubstitutions();

// Loads Qt's own Japanese texts (qtbase_ja) for its dialogs and buttons, and the few its file dialog lacks.
// Returns false, and Qt keeps most of its English texts, when the translation files are not installed.
bool InstallJapaneseTranslations(QApplication& application);

// Keeps what Qt's own dialogs remember (custom colours, visited folders) to this run: nothing is read from
// or written to the user's Qt settings.
void KeepQtSettingsInThisRun();

// Everything above and the application title taken from the program file's name.
void SetUpApplication(QApplication& application);

// Pictures are decoded for the display they will be shown on: its depth, as the primary screen reports it.
PictureDecodeSettings DisplayDecodeSettings();

// The application title of this process (see ApplicationTitle), as a QString.
QString ApplicationTitleText();

QFont WindowFont();

// Gives `window` the window font and the button-face colour as its background.
void ApplyWindowLook(QWidget& window);

}  // namespace mozenta
