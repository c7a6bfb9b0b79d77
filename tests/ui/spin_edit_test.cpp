// The block-size field: the typing filter, reading the value without clamping, stepping with clamping,
// and the clamp when the focus leaves.
#include "ui/spin_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

#include "support/printing.h"

namespace mozenta::testing {
namespace {

// A window holding one field (range 0..640, as the block width field) and a button to take the focus away.
class SpinEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    edit_ = new SpinEdit(window_.get());
    edit_->SetRange(0, 640);
    edit_->SetValue(40);
    edit_->setLocale(QLocale::c());  // decimal separator "."
    button_ = new QPushButton(QStringLiteral("OK"), window_.get());
    button_->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(edit_);
    layout->addWidget(button_);
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    edit_->setFocus();
    SpinEdit::SetBeepHandler([this] { ++beeps_; });
  }
  void TearDown() override { SpinEdit::SetBeepHandler(nullptr); }

  // Types `text` key by key; a character without a key of its own arrives as text only, as from an
  // input method.
  void Type(const QString& text) {
    edit_->clear();
    for (const QChar c : text) {
      if (c.unicode() < 0x80) {
        QTest::keyClick(edit_, c.toLatin1());
      } else {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit_, &press);
      }
    }
  }

  std::unique_ptr<QWidget> window_;
  SpinEdit* edit_ = nullptr;
  QPushButton* button_ = nullptr;
  int beeps_ = 0;
};

struct TypingCase {
  const char* name;
  const char* typed;
  const char* text;
  int beeps;
};

void PrintTo(const TypingCase& c, std::ostream* out) {
  *out << c.name;
}

class SpinEditTypingTest : public SpinEditTest, public ::testing::WithParamInterface<TypingCase> {};

TEST_P(SpinEditTypingTest, KeepsOnlyAcceptedCharacters) {
  Type(QString::fromUtf8(GetParam().typed));
  EXPECT_EQ(edit_->text(), QString::fromUtf8(GetParam().text));
  EXPECT_EQ(beeps_, GetParam().beeps);
}

INSTANTIATE_TEST_SUITE_P(Keys, SpinEditTypingTest,
                         ::testing::Values(TypingCase{"Digits", "0123456789", "0123456789", 0},
                                           TypingCase{"SignsAndSeparator", "+-1.5", "+-1.5", 0},
                                           TypingCase{"LettersBeep", "4a0b", "40", 2},
                                           TypingCase{"SpaceBeeps", "1 2", "12", 1},
                                           TypingCase{"OtherSeparatorBeeps", "1,5", "15", 1},
                                           TypingCase{"FullWidthDigitBeeps", "１2", "2", 1}),
                         CaseName());

TEST_F(SpinEditTest, SeparatorFollowsTheLocale) {
  edit_->setLocale(QLocale(QLocale::German));
  Type(QStringLiteral("1,5.2"));
  EXPECT_EQ(edit_->text(), QStringLiteral("1,52"));
  EXPECT_EQ(beeps_, 1);
}

TEST_F(SpinEditTest, EnterIsRefusedWithABeep) {
  QTest::keyClick(edit_, Qt::Key_Return);
  QTest::keyClick(edit_, Qt::Key_Enter);
  EXPECT_EQ(edit_->text(), QStringLiteral("40"));
  EXPECT_EQ(beeps_, 2);
}

TEST_F(SpinEditTest, PasteIsNotFiltered) {
  QApplication::clipboard()->setText(QStringLiteral("abc"));
  edit_->selectAll();
  QTest::keyClick(edit_, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit_->text(), QStringLiteral("abc"));
  EXPECT_EQ(beeps_, 0);
  QTest::keyClick(edit_, Qt::Key_Backspace);
  EXPECT_EQ(edit_->text(), QStringLiteral("ab")) << "editing keys pass";
}

struct ValueCase {
  const char* name;
  const char* text;
  std::int32_t value;
};

void PrintTo(const ValueCase& c, std::ostream* out) {
  *out << c.name;
}

class SpinEditValueTest : public SpinEditTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(SpinEditValueTest, ReadsTheTextWithoutClamping) {
  edit_->setText(QString::fromUtf8(GetParam().text));
  EXPECT_EQ(edit_->Value(), GetParam().value);
  EXPECT_EQ(edit_->text(), QString::fromUtf8(GetParam().text)) << "reading changes nothing";
}

INSTANTIATE_TEST_SUITE_P(Texts, SpinEditValueTest,
                         ::testing::Values(ValueCase{"Plain", "40", 40},
                                           ValueCase{"AboveMaximum", "900", 900},
                                           ValueCase{"Negative", "-5", -5}, ValueCase{"PlusSign", "+7", 7},
                                           ValueCase{"LeadingBlanks", "  12", 12}, ValueCase{"Empty", "", 0},
                                           ValueCase{"Letters", "abc", 0}, ValueCase{"Decimal", "12.5", 0},
                                           ValueCase{"TrailingBlank", "12 ", 0},
                                           ValueCase{"SignOnly", "-", 0}, ValueCase{"Hexadecimal", "0x10", 0},
                                           ValueCase{"Largest", "2147483647", 2147483647},
                                           ValueCase{"Smallest", "-2147483648", -2147483647 - 1},
                                           ValueCase{"BeyondThirtyTwoBits", "2147483648", 0},
                                           ValueCase{"FarBeyond", "99999999999999999999", 0}),
                         CaseName());

struct StepCase {
  const char* name;
  const char* text;
  Qt::Key key;
  const char* result;
};

void PrintTo(const StepCase& c, std::ostream* out) {
  *out << c.name;
}

class SpinEditStepTest : public SpinEditTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(SpinEditStepTest, ArrowKeyStepsAndClamps) {
  edit_->setText(QString::fromUtf8(GetParam().text));
  QTest::keyClick(edit_, GetParam().key);
  EXPECT_EQ(edit_->text(), QString::fromUtf8(GetParam().result));
  EXPECT_EQ(beeps_, 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, SpinEditStepTest,
                         ::testing::Values(StepCase{"Up", "40", Qt::Key_Up, "41"},
                                           StepCase{"Down", "40", Qt::Key_Down, "39"},
                                           StepCase{"UpFromLetters", "abc", Qt::Key_Up, "1"},
                                           StepCase{"UpFromEmpty", "", Qt::Key_Up, "1"},
                                           StepCase{"DownFromLetters", "abc", Qt::Key_Down, "0"},
                                           StepCase{"UpAtMaximum", "640", Qt::Key_Up, "640"},
                                           StepCase{"DownAtMinimum", "0", Qt::Key_Down, "0"},
                                           StepCase{"DownFromAboveRange", "900", Qt::Key_Down, "640"},
                                           StepCase{"UpFromBelowRange", "-5", Qt::Key_Up, "0"},
                                           StepCase{"UpFromLargestInteger", "2147483647", Qt::Key_Up, "640"}),
                         CaseName());

TEST_F(SpinEditTest, ArrowButtonsStepAndLeaveTheFocusInTheField) {
  button_->setFocus();
  QTest::mouseClick(edit_->UpButton(), Qt::LeftButton);
  EXPECT_EQ(edit_->text(), QStringLiteral("41"));
  EXPECT_TRUE(edit_->hasFocus());
  QTest::mouseClick(edit_->DownButton(), Qt::LeftButton);
  QTest::mouseClick(edit_->DownButton(), Qt::LeftButton);
  EXPECT_EQ(edit_->text(), QStringLiteral("39"));
  EXPECT_EQ(edit_->UpButton()->focusPolicy(), Qt::NoFocus);
  // Held down, an arrow repeats after 400 ms, then every 100 ms.
  EXPECT_TRUE(edit_->UpButton()->autoRepeat());
  EXPECT_EQ(edit_->UpButton()->autoRepeatDelay(), 400);
  EXPECT_EQ(edit_->UpButton()->autoRepeatInterval(), 100);
}

struct LeaveCase {
  const char* name;
  const char* text;
  const char* result;
};

void PrintTo(const LeaveCase& c, std::ostream* out) {
  *out << c.name;
}

class SpinEditLeaveTest : public SpinEditTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(SpinEditLeaveTest, TabClampsIntoTheRange) {
  edit_->setText(QString::fromUtf8(GetParam().text));
  QTest::keyClick(edit_, Qt::Key_Tab);
  ASSERT_FALSE(edit_->hasFocus());
  EXPECT_EQ(edit_->text(), QString::fromUtf8(GetParam().result));
}

TEST_P(SpinEditLeaveTest, ClickOnAButtonClampsBeforeItsCommand) {
  edit_->setText(QString::fromUtf8(GetParam().text));
  QString seenByCommand;
  QObject::connect(button_, &QPushButton::clicked, [&] { seenByCommand = edit_->text(); });
  QTest::mouseClick(button_, Qt::LeftButton);
  EXPECT_EQ(seenByCommand, QString::fromUtf8(GetParam().result));
}

INSTANTIATE_TEST_SUITE_P(Texts, SpinEditLeaveTest,
                         ::testing::Values(LeaveCase{"Inside", "12", "12"}, LeaveCase{"Zero", "0", "0"},
                                           LeaveCase{"AboveMaximum", "900", "640"},
                                           LeaveCase{"BelowMinimum", "-5", "0"},
                                           LeaveCase{"EmptyStaysEmpty", "", ""},
                                           LeaveCase{"LettersStay", "abc", "abc"}),
                         CaseName());

}  // namespace
}  // namespace mozenta::testing
