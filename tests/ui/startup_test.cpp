// Start-up with its display check, the exit command, and the top-level error handler.
#include "ui/startup.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QTest>
#include <QTimer>
#include <new>
#include <optional>
#include <vector>

#include "mosaic/palette.h"
#include "picture/errors.h"
#include "support/modal_answerer.h"
#include "support/printing.h"
#include "support/user_input.h"
#include "support/windows_fixture.h"
#include "ui/application_setup.h"
#include "ui/application_title.h"
#include "ui/error_handler.h"
#include "ui/palette_dialog.h"
#include "ui/system_locale.h"

namespace mozenta::testing {
namespace {

// Records every window of ours that is ever shown.
class ShowRecorder : public QObject {
 public:
  ShowRecorder() { qApp->installEventFilter(this); }
  ~ShowRecorder() override { qApp->removeEventFilter(this); }
  QStringList shown;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && qobject_cast<DesignedWindow*>(watched) != nullptr)
      shown.append(watched->objectName());
    return false;
  }
};

TEST(Startup, RefusesADisplayWithA256EntryPalette) {
  ShowRecorder recorder;
  ModalAnswerer answers;
  QString caption, text;
  int icon = -1;
  answers.Then(ReadMessageBox(&caption, &text, &icon));
  int asked = 0;
  ::testing::internal::CaptureStderr();
  const int status = RunWindows(*qApp, [&](DesignedWindow& window) {
    ++asked;
    EXPECT_EQ(&window, FindWindow("Form1"));
    EXPECT_TRUE(window.HasScreenWindow()) << "asked through the main window's surface";
    return 256;
  });
  const std::string terminal = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 0);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(text, QString::fromUtf8("256色モードでは動作しません。"));
  EXPECT_NE(terminal.find("256色モードでは動作しません。"), std::string::npos)
      << "also said where an indexed display leaves the box blank: " << terminal;
  EXPECT_EQ(caption, ApplicationTitleText());
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_TRUE(recorder.shown.isEmpty()) << "no window was ever shown";
  EXPECT_EQ(FindWindow("Form1"), nullptr) << "the windows are gone";
}

class StartupRunTest : public ::testing::TestWithParam<int> {};

// Any other palette size, 0 included, shows the main window alone, with the default palette in force;
// the loop ends when the main window closes, by its close box or by "終　了".
TEST_P(StartupRunTest, ShowsTheMainWindowAndRunsUntilItCloses) {
  ShowRecorder recorder;
  bool closedByTimer = false;
  QTimer::singleShot(50, [&] {
    auto* mainWindow = qobject_cast<MainWindow*>(FindWindow("Form1"));
    ASSERT_NE(mainWindow, nullptr);
    EXPECT_TRUE(mainWindow->isVisible());
    auto* paletteDialog = qobject_cast<PaletteDialog*>(FindWindow("Form4"));
    ASSERT_NE(paletteDialog, nullptr);
    EXPECT_TRUE(paletteDialog->ColorPalette() == Palette()) << "the program starts with the default palette";
    for (const char* companion : {"Form2", "Form3", "Form4"}) {
      ASSERT_NE(FindWindow(companion), nullptr) << companion;
      EXPECT_TRUE(FindWindow(companion)->isHidden()) << companion;
    }
    closedByTimer = true;
    if (GetParam() == 0) {
      mainWindow->close();
    } else {
      Click(mainWindow->exitButton);
    }
  });
  const int status = RunWindows(*qApp, [](DesignedWindow&) { return GetParam(); });
  EXPECT_TRUE(closedByTimer);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(FindWindow("Form1"), nullptr) << "the windows are gone";
  EXPECT_EQ(recorder.shown, QStringList{QStringLiteral("Form1")});
}

INSTANTIATE_TEST_SUITE_P(PaletteSizes, StartupRunTest, ::testing::Values(0, 16, 65536),
                         [](const auto& info) { return "Entries" + std::to_string(info.param); });

TEST(Startup, OffscreenTrueColourDisplayHasNoHardwarePalette) {
  ProgramWindows windows;
  EXPECT_EQ(DisplayPaletteSize(*windows.mainWindow), 0);
  EXPECT_TRUE(windows.mainWindow->HasScreenWindow());
  EXPECT_TRUE(windows.mainWindow->isHidden());
}

// Qt's dialogs speak and write Japanese whatever the session's locale; what the user types in the block
// fields follows the session's.
TEST(Startup, QtDialogsSpeakJapanese) {
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("キャンセル"));
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?"),
            QString::fromUtf8("%1 は既に存在します。\n置き換えますか?"));
  EXPECT_EQ(QCoreApplication::translate("QAbstractFileIconProvider", "Folder"),
            QString::fromUtf8("フォルダー"))
      << "a text Qt's translation lacks";
  EXPECT_EQ(QLocale::system().toString(QDateTime(QDate(2024, 12, 9), QTime(5, 6)), QLocale::ShortFormat),
            QStringLiteral("2024/12/09 5:06"))
      << "the date column of the file dialog, whatever the session's locale";
  EXPECT_EQ(QMimeDatabase().mimeTypeForName(QStringLiteral("image/bmp")).comment(),
            QString::fromUtf8("Windows BMP 画像"));
  ProgramWindows windows;
  EXPECT_EQ(windows.mainWindow->blockWidthEdit->locale(), SessionLocale());
}

// Japan is named in the locale variables only while the application object is made.
TEST(Startup, SessionKeepsItsLocaleVariables) {
  std::vector<std::pair<const char*, std::optional<QByteArray>>> before;
  for (const char* name : {"LANG", "LC_ALL", "LC_TIME"})
    before.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
  qputenv("LANG", "de_DE.UTF-8");
  qputenv("LC_TIME", "fr_FR.UTF-8");
  qunsetenv("LC_ALL");
  {
    JapaneseSystemLocale japanese;
    EXPECT_EQ(qgetenv("LC_ALL"), QByteArray("ja_JP.UTF-8"));
    EXPECT_FALSE(qEnvironmentVariableIsSet("LANG"));
    EXPECT_FALSE(qEnvironmentVariableIsSet("LC_TIME"));
  }
  EXPECT_EQ(qgetenv("LANG"), QByteArray("de_DE.UTF-8"));
  EXPECT_EQ(qgetenv("LC_TIME"), QByteArray("fr_FR.UTF-8"));
  EXPECT_FALSE(qEnvironmentVariableIsSet("LC_ALL"));
  for (const auto& [name, value] : before)
    value ? qputenv(name, *value) : qunsetenv(name);
}

struct TitleCase {
  const char* name;
  const char* path;
  const char* title;
};

void PrintTo(const TitleCase& c, std::ostream* out) {
  *out << c.name;
}

class ApplicationTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(ApplicationTitleTest, TakesTheNameUpToItsFirstStopWithLaterLettersLowered) {
  EXPECT_EQ(ApplicationTitle(GetParam().path), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ApplicationTitleTest,
    ::testing::Values(TitleCase{"UpperCaseWithExtension", "/opt/mozenta/MOZENTA.EXE", "Mozenta"},
                      TitleCase{"RelativePath", "build/release/src/app/mozenta", "mozenta"},
                      TitleCase{"FirstLetterKept", "mOZENTA", "mozenta"},
                      TitleCase{"UpToTheFirstStop", "GtCnt.v2.exe", "Gtcnt"},
                      TitleCase{"HiddenFile", "/usr/bin/.hidden", ""},
                      TitleCase{"StopInAFolderName", "/dir.d/ui_TESTS", "ui_tests"},
                      TitleCase{"Empty", "", ""}),
    CaseName());

struct ErrorCase {
  const char* name;
  std::function<void()> raise;
  const char* shown;
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
  *out << c.name;
}

class ErrorHandlerTest : public ::testing::TestWithParam<ErrorCase> {};

// A command's error ends the command and shows a stop box captioned with the application title; a final
// "." is added when the message ends in a character that sorts after it. However short the message, the
// box leaves its caption room in a title bar, between the window's icon and its three buttons.
TEST_P(ErrorHandlerTest, ShowsTheMessageInAStopBox) {
  ModalAnswerer answers;
  QString caption, text;
  int icon = -1;
  int width = 0;
  answers.Then([&](QWidget* box) {
    width = box->width();
    ReadMessageBox(&caption, &text, &icon)(box);
  });
  bool after = false;
  RunCommand([&] {
    GetParam().raise();
    after = true;
  });
  EXPECT_FALSE(after) << "the rest of the command does not run";
  EXPECT_EQ(text, QString::fromUtf8(GetParam().shown));
  EXPECT_EQ(caption, ApplicationTitleText());
  EXPECT_EQ(caption, QStringLiteral("ui_tests"));
  EXPECT_EQ(icon, QMessageBox::Critical);
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);
  EXPECT_GE(width, QFontMetrics(titleFont).horizontalAdvance(caption) + 4 * 30);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ErrorHandlerTest,
    ::testing::Values(ErrorCase{"Japanese",
                                [] { throw EInvalidGraphic("拡張子 .gif の画像形式は処理できません"); },
                                "拡張子 .gif の画像形式は処理できません."},
                      ErrorCase{"EndsInStop", [] { throw EFOpenError("a."); }, "a."},
                      ErrorCase{"EndsInSpace", [] { throw EFOpenError("a "); }, "a "},
                      ErrorCase{"EndsInLetter", [] { throw EDivByZero(); }, "ゼロによる除算."},
                      ErrorCase{"Empty", [] { throw EConvertError(""); }, ""},
                      ErrorCase{"OutOfMemory", [] { throw std::bad_alloc(); }, "メモリが足りません."},
                      ErrorCase{"MultiLine",
                                [] { throw EOSError(8, "システムエラー。コード：8.\r\nメモリ不足"); },
                                "システムエラー。コード：8.\r\nメモリ不足."}),
    CaseName());

// An error escaping an event handler outside a command is shown the same way instead of ending the program.
TEST(ErrorHandler, ApplicationCatchesErrorsFromEventHandlers) {
  class Throwing : public QObject {
   protected:
    bool event(QEvent* e) override {
      if (e->type() == QEvent::User) throw EReadError("ストリームからの読み込みエラー");
      return QObject::event(e);
    }
  } receiver;
  ModalAnswerer answers;
  QString text;
  answers.Then(ReadMessageBox(nullptr, &text));
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&receiver, &event);
  EXPECT_EQ(text, QString::fromUtf8("ストリームからの読み込みエラー."));
}

}  // namespace
}  // namespace mozenta::testing
