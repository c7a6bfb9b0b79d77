// The windows as designed: captions, outer sizes, every control's kind, bounds, text, hint, enabled and
// visible state, the keyboard order and the font.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <vector>

#include "support/printing.h"
#include "support/windows_fixture.h"
#include "ui/application_setup.h"

namespace mozenta::testing {
namespace {

struct ControlDesign {
  const char* window;  // object name of the window
  const char* name;
  const char* kind;  // class name
  QRect bounds;      // an empty width or height: sized to its text
  const char* text;
  const char* hint;
  bool enabled;
  bool visible;
};

QString TextOf(QWidget* control) {
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
  return {};
}

void PrintTo(const ControlDesign& design, std::ostream* out) {
  *out << design.window << "." << design.name;
}

const ControlDesign kControls[] = {
    {"Form1",
     "Button1",
     "QPushButton",
     {8, 8, 65, 25},
     "画像読込",
     "元になる画像を読みこみます。",
     true,
     true},
    {"Form1",
     "Button3",
     "QPushButton",
     {80, 8, 65, 25},
     "モザイク化",
     "使用する色を設定したのち、モザイク画を作成します。",
     false,
     true},
    {"Form1",
     "Label3",
     "QLabel",
     {152, 16, 56, 12},
     "１列の枚数",
     "１つのブロックの横の枚数を設定します。",
     true,
     true},
    {"Form1",
     "SpinEdit1",
     "mozenta::SpinEdit",
     {216, 8, 49, 21},
     "40",
     "１つのブロックの横の枚数を設定します。",
     true,
     true},
    {"Form1",
     "Label4",
     "QLabel",
     {152, 40, 54, 12},
     "1段の枚数",
     "1つのブロックの縦の枚数を設定します。",
     true,
     true},
    {"Form1",
     "SpinEdit2",
     "mozenta::SpinEdit",
     {216, 32, 49, 21},
     "100",
     "1つのブロックの縦の枚数を設定します。",
     true,
     true},
    {"Form1",
     "Button4",
     "QPushButton",
     {320, 8, 49, 25},
     "保存",
     "モザイク化した画像(bmp)と文字化した画像(txt)と色の枚数(csv)をファイルに保存します。",
     false,
     true},
    {"Form1",
     "CheckBox1",
     "QCheckBox",
     {320, 40, 73, 17},
     "縦向出力",
     "チェックすると同じ列をまとめて出力します。",
     true,
     true},
    {"Form1", "Button2", "QPushButton", {408, 8, 57, 25}, "終　了", "", true, true},
    {"Form1", "Label1", "QLabel", {8, 40, 0, 0}, "   ", "", true, true},
    {"Form1", "Label2", "QLabel", {88, 40, 0, 0}, "   ", "", true, true},
    {"Form1", "Gauge1", "mozenta::Gauge", {32, 56, 129, 20}, "", "", true, false},
    {"Form2", "All1", "mozenta::ImageControl", {16, 16, 225, 209}, "", "", true, true},
    {"Form2", "Image1", "mozenta::ImageControl", {136, 184, 113, 33}, "", "", true, false},
    {"Form3", "Image1", "mozenta::MosaicCanvas", {0, 0, 297, 217}, "", "", true, true},
    {"Form4", "Label1", "QLabel", {16, 0, 108, 12}, "使用する色にチェック", "", true, true},
    {"Form4", "Image1", "mozenta::ImageControl", {8, 14, 150, 195}, "", "", true, true},
    {"Form4", "Button1", "QPushButton", {8, 216, 57, 25}, "実行", "モザイク画を作成します。", true, true},
    {"Form4", "Button2", "QPushButton", {72, 216, 57, 25}, "色初期化", "", true, true},
};

class ControlLayoutTest : public WindowsTest, public ::testing::WithParamInterface<ControlDesign> {};

TEST_P(ControlLayoutTest, MatchesTheDesign) {
  const ControlDesign& design = GetParam();
  DesignedWindow* window = FindWindow(design.window);
  ASSERT_NE(window, nullptr);
  auto* control = window->findChild<QWidget*>(QString::fromLatin1(design.name));
  ASSERT_NE(control, nullptr);
  EXPECT_STREQ(control->metaObject()->className(), design.kind);
  // Positions are within the window's client area (the scrolled area for the picture windows).
  EXPECT_EQ(control->pos(), design.bounds.topLeft());
  if (design.bounds.width() > 0) {
    EXPECT_EQ(control->size(), design.bounds.size());
  }
  EXPECT_EQ(TextOf(control), QString::fromUtf8(design.text));
  EXPECT_EQ(control->toolTip(), QString::fromUtf8(design.hint));
  EXPECT_EQ(control->isEnabled(), design.enabled);
  EXPECT_EQ(!control->isHidden(), design.visible);
}

INSTANTIATE_TEST_SUITE_P(Windows, ControlLayoutTest, ::testing::ValuesIn(kControls), [](const auto& info) {
  return std::string(info.param.window) + "_" + info.param.name;
});

class LayoutTest : public WindowsTest {};

TEST_F(LayoutTest, SizeLabelsAreSizedToTheirText) {
  for (QLabel* label : {mainWindow->widthLabel, mainWindow->heightLabel}) {
    EXPECT_EQ(label->size(), label->sizeHint()) << label->objectName().toStdString();
  }
}

TEST_F(LayoutTest, PaletteDialogRowsAreDesigned) {
  const char* const labels[] = {"黒", "青", "赤", "紫", "緑", "水", "黄", "白"};
  for (int row = 0; row < 8; ++row) {
    SCOPED_TRACE(row);
    const int top = 16 + 25 * row;
    const QString number = QString::number(row + 1);
    auto* check = paletteDialog->findChild<QCheckBox*>(QStringLiteral("ArCheckBox1_") + number);
    auto* edit = paletteDialog->findChild<QLineEdit*>(QStringLiteral("ArEdit1_") + number);
    auto* button = paletteDialog->findChild<QPushButton*>(QStringLiteral("ArButton1_") + number);
    ASSERT_TRUE(check && edit && button);
    EXPECT_EQ(paletteDialog->rows[row].useCheck, check);
    EXPECT_EQ(paletteDialog->rows[row].labelEdit, edit);
    EXPECT_EQ(paletteDialog->rows[row].colorButton, button);
    EXPECT_EQ(check->geometry(), QRect(32, top, 17, 17));
    EXPECT_TRUE(check->isChecked());
    EXPECT_TRUE(check->text().isEmpty());
    EXPECT_EQ(edit->geometry(), QRect(56, top, 17, 20));
    EXPECT_EQ(edit->text(), QString::fromUtf8(labels[row]));
    EXPECT_EQ(button->geometry(), QRect(79, top, 40, 20));
    EXPECT_EQ(button->text(), QString::fromUtf8("色変更"));
    EXPECT_EQ(button->toolTip(), QString::fromUtf8("色合いを調整できます。"));
    EXPECT_EQ(button->isEnabled(), row != 0) << "only black cannot be recoloured";
  }
}

struct WindowDesign {
  const char* name;
  const char* caption;
  QSize outerSize;
};

void PrintTo(const WindowDesign& design, std::ostream* out) {
  *out << design.name;
}

class WindowFrameTest : public WindowsTest, public ::testing::WithParamInterface<WindowDesign> {};

TEST_P(WindowFrameTest, HasCaptionOuterSizeFontAndColour) {
  const WindowDesign& design = GetParam();
  DesignedWindow* window = FindWindow(design.name);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8(design.caption));
  EXPECT_TRUE(window->isHidden()) << "every window is created hidden";
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  EXPECT_EQ(window->frameGeometry().size(), design.outerSize);
  EXPECT_EQ(window->font().family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
  EXPECT_EQ(window->font().pixelSize(), 12);
  EXPECT_EQ(QFontInfo(window->font()).family(), QStringLiteral("IPAPGothic"))
      << "the family is mapped onto the installed Japanese font";
  EXPECT_EQ(window->palette().color(QPalette::Window), window->palette().color(QPalette::Button));
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags & Qt::Window);
  EXPECT_FALSE(flags & Qt::FramelessWindowHint);
}

// Shown again, a window comes back where it was hidden, wherever the window manager would put a new one.
TEST_P(WindowFrameTest, ComesBackWhereItWasHidden) {
  DesignedWindow* window = FindWindow(GetParam().name);
  ASSERT_NE(window, nullptr);
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  const QPoint place = window->pos() + QPoint(37, 23);
  window->move(place);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->pos() == place; }));
  for (int showing = 2; showing <= 4; ++showing) {
    SCOPED_TRACE(showing);
    window->close();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(window->pos(), place);
    EXPECT_EQ(window->frameGeometry().size(), GetParam().outerSize);
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowFrameTest,
                         ::testing::Values(WindowDesign{"Form1", "Mozenta ver2.0", {509, 105}},
                                           WindowDesign{"Form2", "フルカラー画像", {262, 267}},
                                           WindowDesign{"Form3", "モザイク画像", {354, 327}},
                                           WindowDesign{"Form4", "色変更", {179, 276}}),
                         CaseName());

// The focus order, as Tab walks it from the first control; disabled controls are skipped.
std::vector<QString> TabWalk(QWidget* window, QWidget* first, int steps) {
  window->show();
  window->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(window));
  first->setFocus(Qt::TabFocusReason);
  std::vector<QString> names{QApplication::focusWidget()->objectName()};
  for (int i = 0; i < steps; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    names.push_back(QApplication::focusWidget()->objectName());
  }
  return names;
}

std::vector<QString> Names(std::initializer_list<const char*> names) {
  std::vector<QString> result;
  for (const char* name : names)
    result.push_back(QString::fromLatin1(name));
  return result;
}

TEST_F(LayoutTest, MainWindowTabOrderFollowsTheDesign) {
  // The classic controls in their order, then the "詳細設定" button that opens the newer settings.
  EXPECT_EQ(
      TabWalk(mainWindow, mainWindow->loadButton, 6),
      Names({"Button1", "Button2", "SpinEdit1", "SpinEdit2", "CheckBox1", "AdvancedButton", "Button1"}));
  mainWindow->convertButton->setEnabled(true);
  mainWindow->saveButton->setEnabled(true);
  EXPECT_EQ(TabWalk(mainWindow, mainWindow->loadButton, 8),
            Names({"Button1", "Button2", "Button3", "Button4", "SpinEdit1", "SpinEdit2", "CheckBox1",
                   "AdvancedButton", "Button1"}));
}

TEST_F(LayoutTest, PaletteDialogTabOrderFollowsTheDesign) {
  const std::vector<QString> walk = TabWalk(paletteDialog, paletteDialog->runButton, 25);
  std::vector<QString> expected{QStringLiteral("Button1")};
  for (int i = 2; i <= 8; ++i)
    expected.push_back(QStringLiteral("ArButton1_%1").arg(i));
  expected.push_back(QStringLiteral("Button2"));
  for (int i = 1; i <= 8; ++i)
    expected.push_back(QStringLiteral("ArCheckBox1_%1").arg(i));
  for (int i = 1; i <= 8; ++i)
    expected.push_back(QStringLiteral("ArEdit1_%1").arg(i));
  expected.push_back(QStringLiteral("Button1"));
  EXPECT_EQ(walk, expected);
}

}  // namespace
}  // namespace mozenta::testing
