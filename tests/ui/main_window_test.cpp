// The main window's commands as a user drives them: clicks, typing, dialogs answered from the event loop.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <vector>

#include "mosaic/conversion.h"
#include "mosaic/fitted_conversion.h"
#include "support/modal_answerer.h"
#include "support/printing.h"
#include "support/test_folder.h"
#include "support/user_input.h"
#include "support/windows_fixture.h"
#include "ui/advanced_settings_window.h"
#include "ui/color_panel.h"
#include "ui/fit_panel.h"
#include "ui/progress_window.h"
#include "ui/sheets_panel.h"

namespace mozenta::testing {
namespace {

int LineCount(const std::string& text) {
  int lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  return lines;
}

// Shift_JIS of "列目-" and "段目": how block names appear in the report files.
const std::string kColumnMark = "\x97\xf1\x96\xda-";
const std::string kRowMark = "\x92\x69\x96\xda";

class MainWindowTest : public MainWindowShownTest {
 protected:
  // Loads a picture of `width` × `height` pixels and converts it, through the windows.
  void MakeMosaic(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        picture.setPixel(x, y, qRgb(x * 37 % 256, y * 53 % 256, (x + y) * 11 % 256));
    }
    const QString path = pictures_.PathOf("picture.bmp");
    ASSERT_TRUE(picture.save(path));
    answers_.Then(ChooseFile(path));
    Click(mainWindow->loadButton);
    answers_.Then([this](QWidget*) { Click(paletteDialog->runButton); });
    Click(mainWindow->convertButton);
    ASSERT_EQ(mosaicWindow->Mosaic().Width(), width);
    ASSERT_TRUE(mainWindow->saveButton->isEnabled());
    // The user comes back to the main window, which the mosaic window has covered, once a window manager
    // has made the mosaic window the active one.
    static_cast<void>(QTest::qWaitForWindowActive(mosaicWindow, 1000));
    mainWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
  }

  QString PathOf(const char* name) const { return folder_.PathOf(name); }
  std::string Contents(const char* name) const { return ReadAll(PathOf(name)).toStdString(); }

  // The "印刷用 PDF" panel of the "詳細設定" window.
  static SheetsPanel* Sheets() {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* panel = window->findChild<SheetsPanel*>(QStringLiteral("SheetsPanel"))) return panel;
    return nullptr;
  }

  TestFolder pictures_;
  TestFolder folder_;  // where the saves go
  ModalAnswerer answers_;
};

TEST_F(MainWindowTest, SaveClampsTheTypedBlockWidthBeforeTheReportsReadIt) {
  MakeMosaic(700, 3);
  TypeInto(mainWindow->blockWidthEdit, "900");
  QString widthWhenAsked;
  answers_.Then([&](QWidget* dialog) {
    widthWhenAsked = mainWindow->blockWidthEdit->text();
    ChooseFile(PathOf("pic"))(dialog);
  });
  Click(mainWindow->saveButton);
  EXPECT_EQ(widthWhenAsked, QStringLiteral("640"));
  EXPECT_EQ(mainWindow->blockWidthEdit->text(), QStringLiteral("640"));
  EXPECT_EQ(folder_.Files(), (QStringList{"pic.bmp", "pic.csv", "pic.txt"}));
  // 700 cells across in blocks of 640: two block columns, one block row.
  const std::string counts = Contents("pic.csv");
  EXPECT_EQ(LineCount(counts), 3);
  EXPECT_NE(counts.find("2" + kColumnMark + "1" + kRowMark), std::string::npos);
  EXPECT_TRUE(mainWindow->progressGauge->isHidden());
}

TEST_F(MainWindowTest, CheckBoxChoosesTheBlockOrderAndTheLabelsComeFromThePaletteDialog) {
  MakeMosaic(5, 3);
  TypeInto(mainWindow->blockWidthEdit, "2");
  TypeInto(mainWindow->blockHeightEdit, "2");
  paletteDialog->rows[0].labelEdit->setText(QStringLiteral("K"));
  Click(mainWindow->byColumnsCheck);
  answers_.Then(ChooseFile(PathOf("cols.txt")));
  Click(mainWindow->saveButton);
  Click(mainWindow->byColumnsCheck);
  answers_.Then(ChooseFile(PathOf("rows.bmp")));
  Click(mainWindow->saveButton);

  const std::string byColumns = Contents("cols.csv");
  const std::string byRows = Contents("rows.csv");
  const std::string block12 = "1" + kColumnMark + "2" + kRowMark;
  const std::string block21 = "2" + kColumnMark + "1" + kRowMark;
  ASSERT_NE(byColumns.find(block12), std::string::npos);
  EXPECT_LT(byColumns.find(block12), byColumns.find(block21)) << "column by column";
  EXPECT_GT(byRows.find(block12), byRows.find(block21)) << "row by row";
  EXPECT_EQ(byRows.rfind(",K,", 0), 0u) << "the heading starts with the first label";
  EXPECT_EQ(Contents("cols.bmp"), Contents("rows.bmp"));
}

// The colour panel of "詳細設定": its choices reach the conversion, its palette files go into and come
// out of the palette dialog, and after the conversion it shows what each entry needs and lacks.
TEST_F(MainWindowTest, ColourPanelChoicesPaletteFilesAndShortfall) {
  ColorPanel* panel = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (panel == nullptr) panel = window->findChild<ColorPanel*>(QStringLiteral("ColorPanel"));
  }
  ASSERT_NE(panel, nullptr);
  folder_.Write("in.gpl", "GIMP Palette\n0 0 0 K\n255 255 255 W\n");
  answers_.Then(ChooseFile(PathOf("in.gpl")));
  Click(panel->loadPaletteButton);
  EXPECT_EQ(paletteDialog->Labels()[1], "W");
  EXPECT_EQ(paletteDialog->ColorPalette().Entry(1), (PaletteEntry{15, 15, 15}));
  EXPECT_EQ(panel->stockRows[1].caption->text(), QStringLiteral("1 W"));
  folder_.Write("bad.gpl", "GIMP Palette\n1 2 3 4 5\n0 0\n");
  QString message;
  answers_.Then(ChooseFile(PathOf("bad.gpl"))).Then(ReadMessageBox(nullptr, &message));
  Click(panel->loadPaletteButton);
  EXPECT_EQ(message, QString::fromUtf8("パレットファイルの 3 行目が不正です."));
  EXPECT_EQ(paletteDialog->Labels()[1], "W");
  answers_.Then(ChooseFile(PathOf("out.gpl")));
  Click(panel->savePaletteButton);
  const std::string head = "GIMP Palette\nName: out\nColumns: 8\n#\n  0   0   0\tK\n255 255 255\tW\n";
  EXPECT_EQ(Contents("out.gpl").substr(0, head.size()), head);

  panel->matchCombo->setCurrentIndex(1);
  panel->diffusionCombo->setCurrentIndex(3);
  Click(panel->serpentineCheck);
  TypeInto(panel->stockRows[0].onHandEdit, "1");
  TypeInto(panel->stockRows[2].onHandEdit, "100000");
  const JobSettings settings = mainWindow->CurrentSettings();
  EXPECT_EQ(settings.advanced.conversion,
            (ConversionOptions{ColorMatch::kPerceptual, Diffusion::kSierraLite, true}));
  EXPECT_EQ(settings.advanced.stock[0], 1);
  EXPECT_FALSE(settings.advanced.stock[1]);
  MakeMosaic(30, 20);
  MosaicGrid expected;
  TBitmap mosaic;
  ConvertToMosaic(*SourceBitmap(sourceWindow->picture), paletteDialog->ColorPalette(), expected, mosaic,
                  nullptr, settings.advanced.conversion);
  std::array<int, kPaletteColors> totals{};
  for (int x = 0; x < 30; ++x) {
    for (int y = 0; y < 20; ++y) {
      ASSERT_EQ(mosaicWindow->Grid().Cell(x, y), expected.Cell(x, y)) << x << "," << y;
      ++totals[expected.Cell(x, y)];
    }
  }
  ASSERT_GT(totals[0], 1);
  ASSERT_GT(totals[2], 0);
  EXPECT_EQ(panel->stockRows[0].figuresLabel->text(),
            QString::fromUtf8("必要 %1枚　不足 %2枚").arg(totals[0]).arg(totals[0] - 1));
  EXPECT_EQ(panel->stockRows[2].figuresLabel->text(), QString::fromUtf8("必要 %1枚").arg(totals[2]));
  // A stock typed afterwards updates the shortfall at once.
  TypeInto(panel->stockRows[2].onHandEdit, "0");
  EXPECT_EQ(panel->stockRows[2].figuresLabel->text(),
            QString::fromUtf8("必要 %1枚　不足 %1枚").arg(totals[2]));
}

// When the reports' gauge appears, compares what the screen shows of the main window's block-size captions
// with what the window draws there.
class ScreenAtSaveStart : public QObject {
 public:
  explicit ScreenAtSaveStart(MainWindow* window) : window_(window) {
    window_->progressGauge->installEventFilter(this);
  }
  bool compared = false;
  bool screenShowsTheWindow = false;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::Show || compared) return false;
    compared = true;
    const QRect captions(150, 14, 60, 40);
    const QPoint onScreen = window_->mapToGlobal(captions.topLeft());
    const QImage shown = window_->screen()
                             ->grabWindow(0, onScreen.x(), onScreen.y(), captions.width(), captions.height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    const QImage drawn = window_->grab(captions).toImage().convertToFormat(QImage::Format_RGB32);
    screenShowsTheWindow = shown == drawn;
    return false;
  }

 private:
  MainWindow* window_;
};

// The save dialog, centred on the main window, leaves no image of itself there while the files are written:
// the screen shows the main window again before the reports' gauge appears. Only a window system that
// uncovers windows can leave such an image.
TEST_F(MainWindowTest, ClosedSaveDialogLeavesNoImageDuringTheSave) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X display";
  MakeMosaic(40, 30);
  ScreenAtSaveStart check(mainWindow);
  answers_.Then([&](QWidget* dialog) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    QTest::qWait(100);  // the dialog is drawn on the screen
    // Typed and confirmed with Return, as a person does.
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(PathOf("pic"));
    QTest::keyClick(name, Qt::Key_Return);
  });
  Click(mainWindow->saveButton);
  ASSERT_TRUE(check.compared);
  EXPECT_TRUE(check.screenShowsTheWindow);
}

TEST_F(MainWindowTest, CancelledSaveWritesNothing) {
  MakeMosaic(4, 4);
  answers_.Then(Cancel());
  Click(mainWindow->saveButton);
  EXPECT_TRUE(folder_.Files().isEmpty());
}

struct ZeroBlockCase {
  const char* name;
  const char* width;
  const char* height;
};

void PrintTo(const ZeroBlockCase& c, std::ostream* out) {
  *out << c.name;
}

class ZeroBlockSizeTest : public MainWindowTest, public ::testing::WithParamInterface<ZeroBlockCase> {};

// A block size that reads 0 ends the save with the division message before any file is touched.
TEST_P(ZeroBlockSizeTest, RefusesTheSaveAndTouchesNoFile) {
  MakeMosaic(4, 4);
  folder_.Write("pic.bmp", "old");
  TypeInto(mainWindow->blockWidthEdit, GetParam().width);
  TypeInto(mainWindow->blockHeightEdit, GetParam().height);
  QString message;
  answers_.Then(ChooseFile(PathOf("pic.txt"))).Then(ReadMessageBox(nullptr, &message));
  Click(mainWindow->saveButton);
  EXPECT_EQ(message, QString::fromUtf8("ゼロによる除算."));
  EXPECT_EQ(folder_.Files(), QStringList{QStringLiteral("pic.bmp")});
  EXPECT_EQ(Contents("pic.bmp"), "old");
  EXPECT_TRUE(mainWindow->progressGauge->isHidden());
  EXPECT_EQ(mainWindow->blockHeightEdit->text(), QString::fromLatin1(GetParam().height))
      << "an empty field stays empty";
}

INSTANTIATE_TEST_SUITE_P(Sizes, ZeroBlockSizeTest,
                         ::testing::Values(ZeroBlockCase{"ZeroWidth", "0", "100"},
                                           ZeroBlockCase{"ZeroHeight", "40", "0"},
                                           ZeroBlockCase{"EmptyHeight", "40", ""},
                                           ZeroBlockCase{"NotANumber", "+-", "100"}),
                         CaseName());

// "PDFも保存" makes the save write name.pdf beside the three files, on a worker thread behind the progress
// window; the panel's paper and symbols reach the job's settings.
TEST_F(MainWindowTest, SheetsPanelAddsThePdfToTheSave) {
  SheetsPanel* panel = Sheets();
  ASSERT_NE(panel, nullptr);
  EXPECT_FALSE(panel->symbolsCheck->isEnabled()) << "only with the PDF";
  Click(panel->pdfCheck);
  EXPECT_TRUE(panel->symbolsCheck->isEnabled());
  panel->pageCombo->setCurrentIndex(2);
  Click(panel->symbolsCheck);
  const SheetOptions chosen = mainWindow->CurrentSettings().advanced.sheets;
  EXPECT_TRUE(chosen.enabled);
  EXPECT_EQ(chosen.page, PageSize::kLetter);
  EXPECT_TRUE(chosen.symbols);

  MakeMosaic(90, 120);
  QString progressTitle;
  answers_.Then(ChooseFile(PathOf("pic"))).Then([&](QWidget* window) {
    progressTitle = window->windowTitle();
  });
  Click(mainWindow->saveButton);
  EXPECT_EQ(progressTitle, QString::fromUtf8("保存中"));
  EXPECT_EQ(folder_.Files(), (QStringList{"pic.bmp", "pic.csv", "pic.pdf", "pic.txt"}));
  EXPECT_EQ(Contents("pic.pdf").substr(0, 5), "%PDF-");
  EXPECT_TRUE(mainWindow->progressGauge->isHidden()) << "the progress window showed the progress";

  JobSettings shown;
  panel->Show(shown);
  EXPECT_FALSE(panel->pdfCheck->isChecked());
  EXPECT_EQ(panel->pageCombo->currentIndex(), 0);
  EXPECT_FALSE(panel->symbolsCheck->isChecked());
}

// "中止" ends the save without a message; every previous file stays as it was and no temporary is left.
TEST_F(MainWindowTest, StoppedSheetsEndTheSaveQuietly) {
  Click(Sheets()->pdfCheck);
  MakeMosaic(800, 300);
  const QStringList names = {"pic.bmp", "pic.csv", "pic.pdf", "pic.txt"};
  for (const QString& name : names)
    folder_.Write(name.toUtf8().constData(), "old " + name.toUtf8());
  answers_.Then(ChooseFile(PathOf("pic"))).Then(ClickButton("CancelButton"));
  Click(mainWindow->saveButton);
  EXPECT_EQ(answers_.Pending(), 0);
  EXPECT_EQ(QDir(PathOf(".")).entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
  for (const QString& name : names)
    EXPECT_EQ(Contents(name.toUtf8().constData()), "old " + name.toStdString());
  for (QWidget* window : QApplication::topLevelWidgets())
    EXPECT_FALSE(qobject_cast<ProgressWindow*>(window) != nullptr && window->isVisible());
}

// A conversion that takes long (a small picture fitted to 2000 × 20000 sheets, matched perceptually) shows
// "変換中" once it has run half a second; "中止", Escape and the close box each stop it without a message,
// leaving the mosaic, its whole grid and the size captions byte for byte as they were. One left to end
// gives the mosaic of the batch tool's conversion.
TEST_F(MainWindowTest, StoppedConversionLeavesThePreviousMosaic) {
  auto* colours = advancedSettingsWindow->findChild<ColorPanel*>(QStringLiteral("ColorPanel"));
  auto* fit = advancedSettingsWindow->findChild<FitPanel*>(QStringLiteral("FitPanel"));
  ASSERT_TRUE(colours != nullptr && fit != nullptr);
  MakeMosaic(30, 20);
  const TBitmap& mosaic = mosaicWindow->Mosaic();
  const MosaicGrid& grid = mosaicWindow->Grid();
  const std::vector<std::uint8_t> mosaicBefore(mosaic.StoredBytes().begin(), mosaic.StoredBytes().end());
  const std::vector<std::uint8_t> gridBefore(grid.Cells(), grid.Cells() + MosaicGrid::kCells);
  const QString widthBefore = mainWindow->widthLabel->text();

  colours->matchCombo->setCurrentIndex(1);
  Click(fit->keepSizeCheck);
  Click(fit->keepAspectCheck);
  fit->widthEdit->setValue(2000);
  fit->heightEdit->setValue(20000);
  const ModalAnswerer::Answer stops[] = {ClickButton("CancelButton"),
                                         [](QWidget* window) { QTest::keyClick(window, Qt::Key_Escape); },
                                         [](QWidget* window) { window->close(); }};
  for (const ModalAnswerer::Answer& stop : stops) {
    QString title;
    answers_.Then([this](QWidget*) { Click(paletteDialog->runButton); }).Then([&](QWidget* window) {
      title = window->windowTitle();
      stop(window);
    });
    Click(mainWindow->convertButton);
    EXPECT_EQ(answers_.Pending(), 0);
    EXPECT_EQ(title, QString::fromUtf8("変換中"));
    EXPECT_EQ(grid.MaxX(), 29);
    EXPECT_EQ(grid.MaxY(), 19);
    EXPECT_TRUE(std::equal(gridBefore.begin(), gridBefore.end(), grid.Cells()));
    EXPECT_TRUE(std::ranges::equal(mosaic.StoredBytes(), mosaicBefore));
    EXPECT_EQ(mainWindow->widthLabel->text(), widthBefore);
  }

  fit->widthEdit->setValue(40);
  fit->heightEdit->setValue(30);
  fit->modeCombo->setCurrentIndex(2);
  answers_.Then([this](QWidget*) { Click(paletteDialog->runButton); });
  Click(mainWindow->convertButton);
  const JobSettings settings = mainWindow->CurrentSettings();
  MosaicGrid expected;
  TBitmap expectedMosaic;
  expectedMosaic.SetPixelFormat(mosaic.BitsPerPixel());
  ConvertFittedPicture(*SourceBitmap(sourceWindow->picture), settings.advanced.picture.fit, settings.palette,
                       expected, expectedMosaic, nullptr, settings.advanced.conversion);
  EXPECT_EQ(mainWindow->widthLabel->text(), QStringLiteral("39"));
  ASSERT_EQ(grid.MaxY(), 29);
  for (int x = 0; x < 40; ++x)
    EXPECT_TRUE(std::equal(grid.Cells() + MosaicGrid::Offset(x, 0), grid.Cells() + MosaicGrid::Offset(x, 30),
                           expected.Cells() + MosaicGrid::Offset(x, 0)))
        << x;
  EXPECT_TRUE(std::ranges::equal(mosaic.StoredBytes(), expectedMosaic.StoredBytes()));
}

TEST_F(MainWindowTest, NegativeHeightBecomesZeroWhenTheFieldIsLeft) {
  TypeInto(mainWindow->blockHeightEdit, "-5");
  QTest::keyClick(mainWindow->blockHeightEdit, Qt::Key_Tab);
  EXPECT_EQ(mainWindow->blockHeightEdit->text(), QStringLiteral("0"));
}

// "終　了" clicked, or pressed with Return or Enter while it has the focus, and the close box.
TEST_F(MainWindowTest, ExitButtonAndCloseBoxCloseTheMainWindow) {
  int closed = 0;
  QObject::connect(mainWindow, &MainWindow::Closed, [&] { ++closed; });
  Click(mainWindow->exitButton);
  EXPECT_EQ(closed, 1);
  EXPECT_TRUE(mainWindow->isHidden());
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    mainWindow->show();
    mainWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mainWindow));
    mainWindow->exitButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(mainWindow->exitButton, key);
  }
  EXPECT_EQ(closed, 3);
  mainWindow->show();
  mainWindow->close();
  EXPECT_EQ(closed, 4);
}

}  // namespace
}  // namespace mozenta::testing
