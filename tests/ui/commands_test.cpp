// The load and mosaic commands, and the whole road from a picture file to the three saved files, driven
// through the windows as a user drives them.
#include <gtest/gtest.h>

#include <QTest>

#include "mosaic/palette.h"
#include "support/modal_answerer.h"
#include "support/printing.h"
#include "support/test_folder.h"
#include "support/user_input.h"
#include "support/windows_fixture.h"
#include "ui/fit_panel.h"

namespace mozenta::testing {
namespace {

const QString kGolden = QStringLiteral(MOZENTA_TEST_DATA_DIR "/golden/");
const QString kJpegData = QStringLiteral(MOZENTA_TEST_DATA_DIR "/jpeg/");

// Default palette colours as the mosaic shows them.
const std::uint32_t kRed = PackColor(255, 0, 0);
const std::uint32_t kPurple = PackColor(255, 0, 255);
const std::uint32_t kWhite = PackColor(255, 255, 255);

class CommandsTest : public MainWindowShownTest {
 protected:
  void Load(const QString& path) {
    answers_.Then(ChooseFile(path));
    Click(mainWindow->loadButton);
  }

  // "モザイク化", with the palette dialog answered by `inDialog`.
  void Convert(ModalAnswerer::Answer inDialog) {
    answers_.Then(std::move(inDialog));
    Click(mainWindow->convertButton);
  }

  ModalAnswerer::Answer Run() {
    return [this](QWidget*) { Click(paletteDialog->runButton); };
  }
  ModalAnswerer::Answer CloseBox() {
    return [this](QWidget*) { paletteDialog->close(); };
  }

  // Whether some cell of the mosaic window's picture has `color`.
  bool MosaicShows(std::uint32_t color) const {
    const TBitmap& mosaic = mosaicWindow->Mosaic();
    for (int y = 0; y < mosaic.Height(); ++y) {
      for (int x = 0; x < mosaic.Width(); ++x)
        if (mosaic.GetPixel(x, y) == color) return true;
    }
    return false;
  }

  QString PathOf(const char* name) const { return folder_.PathOf(name); }

  TestFolder folder_;
  ModalAnswerer answers_;
};

// The worked example's mosaic as a picture: every pixel a palette colour, so the conversion gives the
// worked example's grid with no error handed on. Clearing only the black check box changes nothing, since
// black is a candidate whatever its flag; the three files equal the worked example's.
TEST_F(CommandsTest, WholeRoadFromABitmapGivesTheGoldenFiles) {
  Load(kGolden + QStringLiteral("worked-example.bmp"));
  EXPECT_TRUE(sourceWindow->isVisible());
  EXPECT_TRUE(mainWindow->convertButton->isEnabled());
  EXPECT_FALSE(mainWindow->saveButton->isEnabled()) << "nothing to save before the first conversion";
  EXPECT_EQ(sourceWindow->pictureImage->size(), QSize(5, 3));

  Convert([this](QWidget*) {
    Click(paletteDialog->rows[0].useCheck);
    Click(paletteDialog->runButton);
  });
  EXPECT_FALSE(paletteDialog->ColorPalette().Enabled(0));
  EXPECT_EQ(mainWindow->widthLabel->text(), QStringLiteral("4"));
  EXPECT_EQ(mainWindow->heightLabel->text(), QStringLiteral("2"));
  EXPECT_TRUE(mosaicWindow->isVisible());
  EXPECT_EQ(mosaicWindow->mosaicImage->size(), QSize(5, 3));
  EXPECT_TRUE(mainWindow->saveButton->isEnabled());

  TypeInto(mainWindow->blockWidthEdit, "2");
  TypeInto(mainWindow->blockHeightEdit, "2");
  answers_.Then(ChooseFile(PathOf("road.bmp"))).Then(AnswerQuestion(true));
  folder_.Write("road.bmp");  // exists: the dialog asks before replacing it
  Click(mainWindow->saveButton);

  EXPECT_EQ(ReadAll(PathOf("road.txt")), ReadAll(kGolden + QStringLiteral("worked-example-rows.txt")));
  EXPECT_EQ(ReadAll(PathOf("road.csv")), ReadAll(kGolden + QStringLiteral("worked-example-rows.csv")));
  EXPECT_EQ(ReadAll(PathOf("road.bmp")), ReadAll(kGolden + QStringLiteral("worked-example-mosaic32.bmp")))
      << "the offscreen display has 32 bits per pixel";
}

// The road from a JPEG with a colour cleared, a label changed, a block height typed and the column order:
// the windows write what the batch tool writes with the same settings (tests/data/README.md).
TEST_F(CommandsTest, WholeRoadFromAJpegGivesTheGoldenFiles) {
  Load(kJpegData + QStringLiteral("pillow/pil_sample_rgb.jpg"));
  EXPECT_EQ(sourceWindow->pictureImage->size(), QSize(100, 100));
  Convert([this](QWidget*) {
    Click(paletteDialog->rows[3].useCheck);
    paletteDialog->rows[7].labelEdit->setText(QStringLiteral("W"));
    Click(paletteDialog->runButton);
  });
  EXPECT_FALSE(MosaicShows(kPurple));
  EXPECT_TRUE(MosaicShows(kRed));
  for (QLabel* label : {mainWindow->widthLabel, mainWindow->heightLabel}) {
    EXPECT_EQ(label->text(), QStringLiteral("99"));
    EXPECT_EQ(label->size(), label->sizeHint()) << "sized to its text";
  }
  TypeInto(mainWindow->blockHeightEdit, "30");
  Click(mainWindow->byColumnsCheck);
  answers_.Then(ChooseFile(PathOf("road")));
  Click(mainWindow->saveButton);

  for (const char* extension : {".txt", ".csv", ".bmp"}) {
    const QString golden = kGolden + QStringLiteral("window-road-jpeg") + QLatin1String(extension);
    const QByteArray expected = ReadAll(golden);
    ASSERT_FALSE(expected.isEmpty()) << golden.toStdString();
    EXPECT_EQ(ReadAll(PathOf("road") + QLatin1String(extension)), expected) << extension;
  }
}

// Here "画像読込" is pressed with Return while it has the focus.
TEST_F(CommandsTest, CancelledOpenDialogChangesNothing) {
  answers_.Then(Cancel());
  mainWindow->loadButton->setFocus(Qt::TabFocusReason);
  QTest::keyClick(mainWindow->loadButton, Qt::Key_Return);
  EXPECT_EQ(answers_.Answered(), 1) << "the open dialog was shown";
  EXPECT_TRUE(sourceWindow->isHidden());
  EXPECT_FALSE(mainWindow->convertButton->isEnabled());
  EXPECT_FALSE(mainWindow->saveButton->isEnabled());
}

struct FailedLoadCase {
  const char* name;
  const char* file;
  const char* message;  // %1: the file's path
};

void PrintTo(const FailedLoadCase& c, std::ostream* out) {
  *out << c.name;
}

class FailedLoadTest : public CommandsTest, public ::testing::WithParamInterface<FailedLoadCase> {};

// A failed load shows the source window and the error; a picture loaded before stays, and so does the
// enabled mosaic button. Loading never enables the save button.
TEST_P(FailedLoadTest, KeepsTheEarlierPictureAndTheMosaicButton) {
  folder_.Write("short.bmp", "BM12345678");
  folder_.Write("short.png", "\x89PNG\r\n\x1a\n");
  const QString path = PathOf(GetParam().file);
  QString message;
  answers_.Then(ChooseFile(path)).Then(ReadMessageBox(nullptr, &message));
  Click(mainWindow->loadButton);
  EXPECT_EQ(message, QString::fromUtf8(GetParam().message).arg(path));
  EXPECT_TRUE(sourceWindow->isVisible()) << "shown before the file is read";
  EXPECT_FALSE(mainWindow->convertButton->isEnabled());

  Load(kGolden + QStringLiteral("worked-example.bmp"));
  answers_.Then(ChooseFile(path)).Then(ReadMessageBox(nullptr, &message));
  Click(mainWindow->loadButton);
  EXPECT_TRUE(mainWindow->convertButton->isEnabled());
  EXPECT_FALSE(mainWindow->saveButton->isEnabled());
  ASSERT_NE(sourceWindow->pictureImage->Bitmap(), nullptr);
  EXPECT_EQ(sourceWindow->pictureImage->Bitmap()->Width(), 5);
  EXPECT_EQ(sourceWindow->pictureImage->size(), QSize(5, 3));
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailedLoadTest,
    ::testing::Values(FailedLoadCase{"Missing", "missing.bmp", "ファイル %1 は開けません."},
                      FailedLoadCase{"UnknownExtension", "photo.PCX",
                                     "拡張子 .PCX の画像形式は処理できません."},
                      FailedLoadCase{"NoExtension", "photo", "拡張子 . の画像形式は処理できません."},
                      FailedLoadCase{"Truncated", "short.bmp", "ストリームからの読み込みエラー."},
                      FailedLoadCase{"TruncatedPng", "short.png", "PNG イメージが途中で切れています."}),
    CaseName());

// "画像の大きさ" in the 詳細設定 window: the link follows the loaded picture's proportions, and the next
// conversion makes a mosaic of the size and mode set there, margins of the chosen entry included.
TEST_F(CommandsTest, MosaicFollowsTheSizeSetInTheFitPanel) {
  Load(kGolden + QStringLiteral("worked-example.bmp"));  // 5 × 3
  Click(mainWindow->advancedButton);
  auto* panel = advancedSettingsWindow->findChild<FitPanel*>();
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(panel->isVisible());
  EXPECT_FALSE(panel->widthEdit->isEnabled()) << "元のサイズ is checked at start";
  Click(panel->keepSizeCheck);
  TypeInto(panel->widthEdit->findChild<QLineEdit*>(), "10");
  EXPECT_EQ(panel->heightEdit->value(), 6) << "linked to 5 × 3";
  Click(panel->keepAspectCheck);
  TypeInto(panel->heightEdit->findChild<QLineEdit*>(), "8");
  EXPECT_EQ(panel->widthEdit->value(), 10);
  EXPECT_FALSE(panel->marginCombo->isEnabled());
  panel->modeCombo->setCurrentIndex(static_cast<int>(FitMode::kContain));
  EXPECT_TRUE(panel->marginCombo->isEnabled());
  EXPECT_EQ(panel->marginCombo->itemText(0), QString::fromUtf8("0 黒"));
  panel->marginCombo->setCurrentIndex(0);

  Convert(Run());
  EXPECT_EQ(mainWindow->widthLabel->text(), QStringLiteral("9"));
  EXPECT_EQ(mainWindow->heightLabel->text(), QStringLiteral("7"));
  EXPECT_EQ(mosaicWindow->mosaicImage->size(), QSize(10, 8));
  EXPECT_EQ(sourceWindow->pictureImage->size(), QSize(5, 3))
      << "the source window keeps the picture as loaded";
  for (const int y : {0, 7})
    EXPECT_EQ(mosaicWindow->Mosaic().GetPixel(4, y), 0u) << "black margin above and below";

  Click(panel->keepSizeCheck);
  Convert(Run());
  EXPECT_EQ(mosaicWindow->mosaicImage->size(), QSize(5, 3));
}

// Only "実行" copies the check boxes into the flags: after the close box the conversion still runs, with
// the flags as they were.
TEST_F(CommandsTest, PaletteDialogCloseBoxStillConvertsWithTheOldFlags) {
  Load(kGolden + QStringLiteral("worked-example.bmp"));
  Convert([this](QWidget*) {
    Click(paletteDialog->rows[7].useCheck);
    paletteDialog->close();
  });
  EXPECT_TRUE(mosaicWindow->isVisible());
  EXPECT_TRUE(mainWindow->saveButton->isEnabled());
  EXPECT_TRUE(MosaicShows(kWhite)) << "white is still enabled";

  Convert(Run());
  EXPECT_FALSE(MosaicShows(kWhite)) << "now white is cleared";
  EXPECT_EQ(mosaicWindow->Mosaic().GetPixel(4, 0), kPurple)
      << "white (15,15,15) goes to purple, the lower of two at 225";
}

// The palette dialog comes back where it was last, whatever came onto the screen in between.
TEST_F(CommandsTest, PaletteDialogComesBackWhereItWasLast) {
  Load(kGolden + QStringLiteral("worked-example.bmp"));
  std::vector<QPoint> places;
  for (int showing = 1; showing <= 3; ++showing) {
    Convert([&](QWidget*) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(paletteDialog));
      places.push_back(paletteDialog->pos());
      paletteDialog->close();
    });
  }
  ASSERT_EQ(places.size(), 3u);
  EXPECT_EQ(places[1], places[0]);
  EXPECT_EQ(places[2], places[0]);
}

// The first showing uses the window system's position; later loads and conversions put the windows back
// at their places, also after the user moved them.
TEST_F(CommandsTest, PictureWindowsReturnToTheirPlacesAfterTheFirstShowing) {
  const QString picture = kGolden + QStringLiteral("worked-example.bmp");
  QWidget newWindow;
  newWindow.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&newWindow));
  const QPoint systemDefault = newWindow.pos();
  ASSERT_NE(systemDefault, QPoint(0, 100));

  Load(picture);
  EXPECT_EQ(sourceWindow->pos(), systemDefault);
  Convert(CloseBox());
  EXPECT_EQ(mosaicWindow->pos(), systemDefault);
  sourceWindow->move(300, 300);
  mosaicWindow->close();

  Load(picture);
  EXPECT_EQ(sourceWindow->pos(), QPoint(0, 100));
  EXPECT_TRUE(mainWindow->saveButton->isEnabled()) << "the earlier mosaic can still be saved";
  Convert(CloseBox());
  EXPECT_TRUE(mosaicWindow->isVisible());
  EXPECT_EQ(mosaicWindow->pos(), QPoint(250, 100));
  EXPECT_EQ(mosaicWindow->frameGeometry().size(), QSize(354, 327)) << "the window keeps its size";
}

// Screens report their colour depth; a true-colour screen of depth 24 keeps 32 bits per pixel.
TEST(MosaicBitsPerPixel, FollowsTheBitsTheDisplayKeepsPerPixel) {
  const struct {
    int displayDepth, bitsPerPixel;
  } cases[] = {{15, 16}, {16, 16}, {24, 32}, {30, 32}, {32, 32}, {8, 32}};
  for (const auto& c : cases)
    EXPECT_EQ(MosaicBitsPerPixel(c.displayDepth), c.bitsPerPixel) << c.displayDepth;
}

// The centre of cell (x, y) on the mosaic window's picture.
QPoint CellCentre(const MosaicWindow& window, int x, int y) {
  return window.mosaicImage->ShownRect(QRect(x, y, 1, 1)).center();
}

std::vector<std::uint8_t> MosaicBytes(const MosaicWindow& window) {
  const auto bytes = window.Mosaic().StoredBytes();
  return {bytes.begin(), bytes.end()};
}

// Hand edits made with the mouse and the keys, zoomed in: a drag paints every cell on its way, Shift-drag
// fills a rectangle, Alt-click picks the paint; one drag is one undo step. The edits go into the saved
// files and into a project (Ctrl+S), which, reopened (Ctrl+O), makes the same mosaic and the same files
// again. Making the mosaic again asks before it throws the edits away; a picture changed since the project
// was saved is reported, and another may be chosen.
TEST_F(CommandsTest, HandEditsGoThroughUndoIntoTheFilesAndAProject) {
  const QString original = kJpegData + QStringLiteral("pillow/pil_sample_rgb.jpg");
  folder_.Write("photo.jpg", ReadAll(original));
  Load(PathOf("photo.jpg"));
  Convert(Run());
  ASSERT_TRUE(QTest::qWaitForWindowActive(mosaicWindow));
  MosaicCanvas* canvas = mosaicWindow->mosaicImage;
  const MosaicGrid& grid = mosaicWindow->Grid();
  QTest::keyClick(mosaicWindow, Qt::Key_Plus);
  QTest::keyClick(mosaicWindow, Qt::Key_Plus);
  EXPECT_EQ(canvas->Scale(), 4);
  EXPECT_EQ(canvas->size(), QSize(400, 400));
  QTest::keyClick(mosaicWindow, Qt::Key_0, Qt::ControlModifier);
  const QSize view = mosaicWindow->scrollBox->maximumViewportSize();
  EXPECT_EQ(canvas->height(), std::min(view.width(), view.height())) << "the whole mosaic in view";
  QTest::keyClick(mosaicWindow, Qt::Key_1, Qt::ControlModifier);
  QTest::keyClick(mosaicWindow, Qt::Key_Plus);
  QTest::keyClick(mosaicWindow, Qt::Key_Plus);
  const std::vector<std::uint8_t> converted = MosaicBytes(*mosaicWindow);

  QTest::keyClick(mosaicWindow, Qt::Key_3);
  QTest::mousePress(canvas, Qt::LeftButton, {}, CellCentre(*mosaicWindow, 1, 1));
  QTest::mouseMove(canvas, CellCentre(*mosaicWindow, 6, 3));
  QTest::mouseRelease(canvas, Qt::LeftButton, {}, CellCentre(*mosaicWindow, 6, 3));
  for (const QPoint cell : {QPoint(1, 1), QPoint(2, 1), QPoint(3, 2), QPoint(4, 2), QPoint(6, 3)})
    EXPECT_EQ(grid.Cell(cell.x(), cell.y()), 3) << cell.x() << "," << cell.y();
  QTest::mouseClick(canvas, Qt::LeftButton, Qt::AltModifier, CellCentre(*mosaicWindow, 50, 50));
  const int picked = grid.Cell(50, 50);
  EXPECT_EQ(mosaicWindow->paletteStrip->Chosen(), picked);
  QTest::keyClick(mosaicWindow, Qt::Key_7);
  QTest::mousePress(canvas, Qt::LeftButton, Qt::ShiftModifier, CellCentre(*mosaicWindow, 20, 30));
  QTest::mouseMove(canvas, CellCentre(*mosaicWindow, 10, 25));
  QTest::mouseRelease(canvas, Qt::LeftButton, Qt::ShiftModifier, CellCentre(*mosaicWindow, 10, 25));
  EXPECT_EQ(grid.Cell(10, 25), 7);
  EXPECT_EQ(grid.Cell(20, 30), 7);
  EXPECT_EQ(mosaicWindow->Mosaic().GetPixel(15, 27), kWhite);
  EXPECT_EQ(mosaicWindow->undoStack.count(), 2);
  const std::vector<std::uint8_t> edited = MosaicBytes(*mosaicWindow);

  QTest::keyClick(mosaicWindow, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(mosaicWindow, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(MosaicBytes(*mosaicWindow), converted);
  QTest::keyClick(mosaicWindow, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QTest::keyClick(mosaicWindow, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(MosaicBytes(*mosaicWindow), edited);

  answers_.Then(ChooseFile(PathOf("edited"))).Then(ChooseFile(PathOf("p")));
  Click(mainWindow->saveButton);
  mainWindow->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
  QTest::keyClick(mainWindow, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(QFile::exists(PathOf("p.mozenta")));

  answers_.Then(AnswerQuestion(false));
  Click(mainWindow->convertButton);
  EXPECT_EQ(answers_.Answered(), 5) << "load, palette, two saves and the question";
  EXPECT_EQ(MosaicBytes(*mosaicWindow), edited) << "kept on No";
  answers_.Then(AnswerQuestion(true)).Then(Run());
  Click(mainWindow->convertButton);
  EXPECT_EQ(MosaicBytes(*mosaicWindow), converted);
  EXPECT_FALSE(mosaicWindow->HasEdits());

  folder_.Write("photo.jpg", ReadAll(original) + "x");
  // A project of the mosaic shown would now name other bytes than those it was made from.
  QString caption, text;
  answers_.Then(ChooseFile(PathOf("late"))).Then(ReadMessageBox(&caption, &text));
  mainWindow->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
  QTest::keyClick(mainWindow, Qt::Key_S, Qt::ControlModifier);
  EXPECT_TRUE(text.startsWith(QString::fromUtf8("画像 ") + PathOf("photo.jpg") +
                              QString::fromUtf8(" は読み込んだ後に変更されています")))
      << text.toStdString();
  EXPECT_FALSE(QFile::exists(PathOf("late.mozenta")));
  QString question;
  answers_.Then(ChooseFile(PathOf("p.mozenta"))).Then(AnswerQuestion(false, &question));
  mainWindow->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
  QTest::keyClick(mainWindow, Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(question,
            QString::fromUtf8("画像 ") + PathOf("photo.jpg") +
                QString::fromUtf8(" が見つからないか、保存した後に変更されています\n別の画像を選びますか?"));
  EXPECT_EQ(MosaicBytes(*mosaicWindow), converted) << "nothing changes on No";
  answers_.Then(AnswerQuestion(true)).Then(ChooseFile(original));
  mainWindow->OpenProjectFile(PathOf("p.mozenta").toStdString());
  EXPECT_EQ(MosaicBytes(*mosaicWindow), edited);
  answers_.Then(ChooseFile(PathOf("reopened")));
  Click(mainWindow->saveButton);
  for (const char* extension : {".txt", ".csv", ".bmp"}) {
    EXPECT_EQ(ReadAll(PathOf("reopened") + QLatin1String(extension)),
              ReadAll(PathOf("edited") + QLatin1String(extension)))
        << extension;
  }
  EXPECT_EQ(answers_.Pending(), 0);
}

struct StatusCase {
  const char* name;
  double scale;
  QPoint point;  // on the picture
  const char* text;
};
void PrintTo(const StatusCase& c, std::ostream* os) {
  *os << c.name;
}

class StatusLineTest : public CommandsTest, public ::testing::WithParamInterface<StatusCase> {};

// The worked example's mosaic in blocks of 2 × 2: the status line names the cell under the pointer at
// every scale.
TEST_P(StatusLineTest, NamesTheBlockTheCellAndItsLabel) {
  Load(kGolden + QStringLiteral("worked-example.bmp"));
  Convert(Run());
  TypeInto(mainWindow->blockWidthEdit, "2");
  TypeInto(mainWindow->blockHeightEdit, "2");
  mosaicWindow->SetScale(GetParam().scale);
  // Sent to the picture itself: QtTest would move the pointer of the screen, where windows overlap.
  QMouseEvent move(QEvent::MouseMove, GetParam().point,
                   mosaicWindow->mosaicImage->mapToGlobal(GetParam().point), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(mosaicWindow->mosaicImage, &move);
  EXPECT_EQ(mosaicWindow->statusLabel->text(), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Scales, StatusLineTest,
    ::testing::Values(
        StatusCase{"ActualSize", 1, {4, 1}, "3列目-1段目  ブロック内 横1 縦2  全体 横5 縦2  白"},
        StatusCase{"Sixteen", 16, {21, 31}, "1列目-1段目  ブロック内 横2 縦2  全体 横2 縦2  緑"},
        StatusCase{"Four", 4, {3, 8}, "1列目-2段目  ブロック内 横1 縦1  全体 横1 縦3  水"},
        StatusCase{"Half", 0.5, {2, 0}, "3列目-1段目  ブロック内 横1 縦1  全体 横5 縦1  白"}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return info.param.name; });

}  // namespace
}  // namespace mozenta::testing
