// The palette dialog shown modally, as the mosaic command shows it: swatches, the colour choice, "実行",
// "色初期化" and the close box, and the labels the reports read.
#include "ui/palette_dialog.h"

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QSettings>
#include <QTest>

#include "mosaic/palette.h"
#include "support/modal_answerer.h"
#include "support/printing.h"
#include "support/user_input.h"
#include "support/windows_fixture.h"

namespace mozenta::testing {
namespace {

class PaletteDialogTest : public WindowsTest {
 protected:
  // The colour painted in swatch `row`, inside its outline.
  QColor SwatchColor(int row) const { return StripColor(10, 25 * row + 10); }
  QColor StripColor(int x, int y) const {
    const std::uint32_t c = paletteDialog->SwatchStrip().GetPixel(x, y);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  }
  QLineEdit* LabelEdit(int row) const { return paletteDialog->rows[row].labelEdit; }
  // The label of palette entry `row` in the reports of a save made now.
  std::string LabelForReports(int row) const { return paletteDialog->Labels()[row]; }

  ModalAnswerer answers_;
};

QColor Expanded(int r, int g, int b) {
  return QColor(r * 17, g * 17, b * 17);
}

TEST_F(PaletteDialogTest, ShowingPaintsTheSwatchesFromThePalette) {
  EXPECT_EQ(paletteDialog->SwatchStrip().Width(), 0) << "no picture until the first showing";
  paletteDialog->ColorPalette().SetEntry(3, {12, 6, 3});
  answers_.Then(Cancel());
  EXPECT_EQ(paletteDialog->ShowModal(), kModalCancel);

  ASSERT_EQ(paletteDialog->SwatchStrip().Width(), 150);
  ASSERT_EQ(paletteDialog->SwatchStrip().Height(), 195);
  const QColor defaults[8] = {Expanded(0, 0, 0),   Expanded(0, 0, 15),  Expanded(15, 0, 0),
                              Expanded(12, 6, 3),  Expanded(0, 8, 0),   Expanded(0, 8, 15),
                              Expanded(15, 15, 0), Expanded(15, 15, 15)};
  for (int row = 0; row < 8; ++row) {
    SCOPED_TRACE(row);
    const int top = 25 * row + 2;
    EXPECT_EQ(StripColor(2, top), QColor(Qt::black)) << "outline, top-left";
    EXPECT_EQ(StripColor(17, top + 15), QColor(Qt::black)) << "outline, bottom-right";
    EXPECT_EQ(StripColor(3, top + 1), defaults[row]) << "interior";
    EXPECT_EQ(StripColor(16, top + 14), defaults[row]) << "interior";
    EXPECT_EQ(StripColor(18, top + 8), QColor(Qt::white)) << "right edge excluded";
    EXPECT_EQ(StripColor(10, top + 16), QColor(Qt::white)) << "bottom edge excluded";
  }
  EXPECT_EQ(StripColor(100, 100), QColor(Qt::white));
}

TEST_F(PaletteDialogTest, ChosenColourIsStoredInFourBitsAndShownExactlyUntilTheNextShowing) {
  answers_
      .Then([this](QWidget*) {
        Click(paletteDialog->rows[3].colorButton);
        EXPECT_EQ(SwatchColor(3), QColor(200, 100, 50)) << "the swatch shows the colour as chosen";
        Click(paletteDialog->runButton);
      })
      .Then(ChooseColor(QColor(200, 100, 50)));
  EXPECT_EQ(paletteDialog->ShowModal(), kModalOk);
  EXPECT_EQ(paletteDialog->ColorPalette().Entry(3).R, 12);
  EXPECT_EQ(paletteDialog->ColorPalette().Entry(3).G, 6);
  EXPECT_EQ(paletteDialog->ColorPalette().Entry(3).B, 3);

  answers_.Then(Cancel());
  paletteDialog->ShowModal();
  EXPECT_EQ(SwatchColor(3), QColor(204, 102, 51)) << "the next showing paints the stored colour";
  EXPECT_EQ(answers_.Pending(), 0);
}

TEST_F(PaletteDialogTest, CancelledColourChoiceChangesNothing) {
  answers_
      .Then([this](QWidget*) {
        Click(paletteDialog->rows[5].colorButton);
        paletteDialog->close();
      })
      .Then(Cancel());
  paletteDialog->ShowModal();
  EXPECT_EQ(paletteDialog->ColorPalette().Entry(5).R, 0);
  EXPECT_EQ(paletteDialog->ColorPalette().Entry(5).G, 8);
  EXPECT_EQ(paletteDialog->ColorPalette().Entry(5).B, 15);
  EXPECT_EQ(SwatchColor(5), Expanded(0, 8, 15));
}

// The colour dialog opens in its basic form with the colour last chosen in it, black the first time,
// whatever row it is opened for (the second time by Enter on the focused button).
TEST_F(PaletteDialogTest, ColourDialogStartsFromTheLastChoice) {
  QColor firstPreset, secondPreset;
  bool basicForm = false;
  answers_
      .Then([this](QWidget*) {
        Click(paletteDialog->rows[2].colorButton);
        paletteDialog->rows[5].colorButton->setFocus(Qt::TabFocusReason);
        QTest::keyClick(paletteDialog->rows[5].colorButton, Qt::Key_Enter);
        paletteDialog->close();
      })
      .Then([&](QWidget* dialog) {
        auto* colors = qobject_cast<QColorDialog*>(dialog);
        ASSERT_NE(colors, nullptr);
        EXPECT_EQ(colors->objectName(), QStringLiteral("ColorDialog1"));
        const QRect swatch(paletteDialog->swatchImage->mapToGlobal(paletteDialog->rows[2].swatch.topLeft()),
                           paletteDialog->rows[2].swatch.size());
        EXPECT_FALSE(colors->frameGeometry().intersects(swatch)) << "the swatch being edited stays in view";
        firstPreset = colors->currentColor();
        basicForm = true;
        for (QWidget* child : colors->findChildren<QWidget*>()) {
          if (child->inherits("QColorPicker") && !child->isHidden()) basicForm = false;
        }
        ChooseColor(QColor(255, 0, 0))(dialog);
      })
      .Then([&](QWidget* dialog) {
        secondPreset = qobject_cast<QColorDialog*>(dialog)->currentColor();
        CancelDialog(dialog);
      });
  paletteDialog->ShowModal();
  EXPECT_EQ(firstPreset, QColor(Qt::black));
  EXPECT_TRUE(basicForm);
  EXPECT_EQ(secondPreset, QColor(255, 0, 0)) << "not the colour of row 5";
  EXPECT_EQ(paletteDialog->ColorPalette().Entry(5).R, 0) << "the second choice was cancelled";
}

struct PlacementCase {
  const char* name;
  QRect owner;
  QSize dialog;
  QPoint expected;
};

void PrintTo(const PlacementCase& c, std::ostream* out) {
  *out << c.name;
}

class ColourDialogPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

// Beside the palette dialog on a 1280 × 1000 screen area that starts 24 pixels down.
TEST_P(ColourDialogPlacementTest, PutsTheDialogBesideThePaletteDialog) {
  EXPECT_EQ(PlaceBeside(GetParam().owner, GetParam().dialog, QRect(0, 24, 1280, 1000)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Places, ColourDialogPlacementTest,
    ::testing::Values(
        PlacementCase{"RightWhenItFits", {100, 200, 179, 276}, {533, 407}, {279, 200}},
        PlacementCase{"RightEndingAtTheScreenEdge", {568, 200, 179, 276}, {533, 407}, {747, 200}},
        PlacementCase{"LeftWhenTheRightIsShort", {700, 200, 179, 276}, {533, 407}, {167, 200}},
        PlacementCase{"ScreenRightWhenNeitherFits", {400, 200, 179, 276}, {800, 407}, {480, 200}},
        PlacementCase{"UpToEndWithinTheScreen", {100, 800, 179, 276}, {533, 407}, {279, 617}},
        PlacementCase{"NeverAboveTheScreen", {100, 0, 179, 276}, {533, 407}, {279, 24}}),
    CaseName());

TEST_F(PaletteDialogTest, CustomColoursStayAfterOkAndComeBackAfterCancel) {
  const QColor kept(10, 20, 30), discarded(40, 50, 60);
  answers_
      .Then([this](QWidget*) {
        Click(paletteDialog->rows[1].colorButton);
        Click(paletteDialog->rows[1].colorButton);
        paletteDialog->close();
      })
      .Then([&](QWidget* dialog) {
        QColorDialog::setCustomColor(0, kept);
        ChooseColor(QColor(0, 0, 255))(dialog);
      })
      .Then([&](QWidget* dialog) {
        EXPECT_EQ(QColorDialog::customColor(0), kept);
        QColorDialog::setCustomColor(0, discarded);
        CancelDialog(dialog);
      });
  paletteDialog->ShowModal();
  EXPECT_EQ(QColorDialog::customColor(0), kept);
}

// "実行", here pressed with Return while it has the focus.
TEST_F(PaletteDialogTest, RunButtonCopiesTheCheckBoxesIntoTheFlags) {
  answers_.Then([this](QWidget*) {
    Click(paletteDialog->rows[2].useCheck);
    Click(paletteDialog->rows[0].useCheck);
    QTest::keyClick(paletteDialog->rows[0].useCheck, Qt::Key_Return);
    EXPECT_TRUE(paletteDialog->isVisible()) << "Return presses buttons only";
    paletteDialog->runButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(paletteDialog->runButton, Qt::Key_Return);
  });
  EXPECT_EQ(paletteDialog->ShowModal(), kModalOk);
  const std::uint8_t expected[16] = {0, 1, 0, 1, 1, 1, 1, 1};
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(paletteDialog->ColorPalette().Enabled(i), expected[i] != 0) << i;
  EXPECT_TRUE(paletteDialog->isHidden());
}

TEST_F(PaletteDialogTest, CloseBoxKeepsTheFlagsAndTheCheckBoxes) {
  answers_.Then([this](QWidget*) {
    Click(paletteDialog->rows[2].useCheck);
    paletteDialog->close();
  });
  EXPECT_EQ(paletteDialog->ShowModal(), kModalCancel);
  EXPECT_TRUE(paletteDialog->ColorPalette().Enabled(2)) << "copied only by 実行";
  EXPECT_FALSE(paletteDialog->rows[2].useCheck->isChecked()) << "kept for the next showing";

  answers_.Then([this](QWidget*) { Click(paletteDialog->runButton); });
  paletteDialog->ShowModal();
  EXPECT_FALSE(paletteDialog->ColorPalette().Enabled(2));
}

TEST_F(PaletteDialogTest, ResetRestoresColoursAndFlagsButNotCheckBoxesOrLabels) {
  paletteDialog->ColorPalette().SetEntry(4, {1, 2, 3});
  paletteDialog->ColorPalette().SetEnabled(6, false);
  answers_.Then([this](QWidget*) {
    Click(paletteDialog->rows[6].useCheck);
    LabelEdit(1)->setText(QString::fromUtf8("空"));
    Click(paletteDialog->resetButton);
    EXPECT_EQ(SwatchColor(4), Expanded(0, 8, 0)) << "repainted at once";
    paletteDialog->close();
  });
  paletteDialog->ShowModal();
  EXPECT_EQ(paletteDialog->ColorPalette().Entry(4).G, 8);
  EXPECT_TRUE(paletteDialog->ColorPalette().Enabled(6))
      << "the reset sets every flag; the close box copies nothing";
  EXPECT_FALSE(paletteDialog->rows[6].useCheck->isChecked());
  EXPECT_EQ(LabelEdit(1)->text(), QString::fromUtf8("空"));
}

TEST_F(PaletteDialogTest, LabelsAreReadFromTheEditsAsTheyAreNow) {
  EXPECT_EQ(LabelForReports(0), "黒");
  EXPECT_EQ(LabelForReports(7), "白");
  answers_.Then([this](QWidget*) {
    LabelEdit(3)->setText(QString::fromUtf8("むらさき,"));
    LabelEdit(5)->clear();
    paletteDialog->close();
  });
  paletteDialog->ShowModal();
  EXPECT_EQ(LabelForReports(3), "むらさき,") << "also after the close box";
  EXPECT_EQ(LabelForReports(5), "");
}

TEST_F(PaletteDialogTest, LabelsKeepEveryCharacterTyped) {
  const QString longLabel(40000, QChar(u'色'));
  LabelEdit(4)->setText(longLabel);
  EXPECT_EQ(QString::fromStdString(LabelForReports(4)), longLabel);
}

TEST_F(PaletteDialogTest, CustomColoursAreNotStoredForTheNextRun) {
  answers_
      .Then([this](QWidget*) {
        Click(paletteDialog->rows[2].colorButton);
        paletteDialog->close();
      })
      .Then([](QWidget* dialog) {
        QColorDialog::setCustomColor(3, QColor(1, 2, 3));
        ChooseColor(QColor(0, 0, 255))(dialog);
      });
  paletteDialog->ShowModal();
  // Qt stores them in its shared settings when a colour dialog goes away.
  QSettings qtSettings(QSettings::UserScope, QStringLiteral("QtProject"));
  EXPECT_FALSE(qtSettings.contains(QStringLiteral("Qt/customColors/3")))
      << qtSettings.fileName().toStdString();
}

}  // namespace
}  // namespace mozenta::testing
