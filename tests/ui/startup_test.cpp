// Start-up with its display check, the exit command, and the top-level error handler.
#include "ui/startup.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <new>

#include "forms_fixture.h"
#include "modal_answerer.h"
#include "mosaic/palette.h"
#include "picture/errors.h"
#include "qt_printing.h"
#include "ui/application_setup.h"
#include "ui/application_title.h"
#include "ui/error_handler.h"

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
    if (event->type() == QEvent::Show && qobject_cast<TForm*>(watched) != nullptr)
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
  const int status = RunForms(*qApp, [&](TForm& window) {
    ++asked;
    EXPECT_EQ(&window, static_cast<TForm*>(Form1));
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
  EXPECT_EQ(Form1, nullptr);
}

class StartupRunTest : public ::testing::TestWithParam<int> {};

// Any other palette size, 0 included, shows the main window alone, with the default palette in force;
// the loop ends when the main window closes, by its close box or by "終　了".
TEST_P(StartupRunTest, ShowsTheMainWindowAndRunsUntilItCloses) {
  ShowRecorder recorder;
  bool closedByTimer = false;
  QTimer::singleShot(50, [&] {
    ASSERT_NE(Form1, nullptr);
    EXPECT_TRUE(Form1->isVisible());
    EXPECT_TRUE(Form4->ColorPalette() == Palette()) << "the program starts with the default palette";
    EXPECT_TRUE(Form2->isHidden() && Form3->isHidden() && Form4->isHidden());
    closedByTimer = true;
    if (GetParam() == 0) {
      Form1->close();
    } else {
      QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    }
  });
  const int status = RunForms(*qApp, [](TForm&) { return GetParam() == 0 ? 0 : GetParam(); });
  EXPECT_TRUE(closedByTimer);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(recorder.shown, QStringList{QStringLiteral("Form1")});
}

INSTANTIATE_TEST_SUITE_P(PaletteSizes, StartupRunTest, ::testing::Values(0, 16, 65536));

TEST(Startup, OffscreenTrueColourDisplayHasNoHardwarePalette) {
  CreateForms();
  EXPECT_EQ(DisplayPaletteSize(*Form1), 0);
  EXPECT_TRUE(Form1->HasScreenWindow());
  EXPECT_TRUE(Form1->isHidden());
  DestroyForms();
}

TEST(Startup, QtDialogsSpeakJapanese) {
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("キャンセル"));
  EXPECT_EQ(QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?"),
            QString::fromUtf8("%1 は既に存在します。\n置き換えますか?"));
}

struct TitleCase {
  const char* path;
  const char* title;
};

class ApplicationTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(ApplicationTitleTest, TakesTheNameUpToItsFirstStopWithLaterLettersLowered) {
  EXPECT_EQ(ApplicationTitle(GetParam().path), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Names, ApplicationTitleTest,
                         ::testing::Values(TitleCase{"/opt/mozenta/MOZENTA.EXE", "Mozenta"},
                                           TitleCase{"build/release/src/app/mozenta", "mozenta"},
                                           TitleCase{"mOZENTA", "mozenta"},
                                           TitleCase{"GtCnt.v2.exe", "Gtcnt"},
                                           TitleCase{"/usr/bin/.hidden", ""},
                                           TitleCase{"/dir.d/ui_TESTS", "ui_tests"}, TitleCase{"", ""}));

struct ErrorCase {
  const char* name;
  std::function<void()> raise;
  const char* shown;
};

class ErrorHandlerTest : public ::testing::TestWithParam<ErrorCase> {};

// A command's error ends the command and shows a stop box captioned with the application title; a final
// "." is added when the message ends in a character that sorts after it.
TEST_P(ErrorHandlerTest, ShowsTheMessageInAStopBox) {
  ModalAnswerer answers;
  QString caption, text;
  int icon = -1;
  answers.Then(ReadMessageBox(&caption, &text, &icon));
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
    [](const auto& info) { return std::string(info.param.name); });

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
