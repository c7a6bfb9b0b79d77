// The load and mosaic commands, and the whole road from a picture file to the three saved files, driven
// through the windows as a user drives them.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "forms_fixture.h"
#include "modal_answerer.h"
#include "mosaic/palette.h"
#include "qt_printing.h"

namespace mozenta::testing {
namespace {

const QString kGolden = QStringLiteral(MOZENTA_TEST_DATA_DIR "/golden/");
const QString kJpegData = QStringLiteral(MOZENTA_TEST_DATA_DIR "/jpeg/");

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class CommandsTest : public MainWindowShownTest {
 protected:
  static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  static void TypeInto(TSpinEdit* edit, const char* text) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }

  void Load(const QString& path) {
    answers_.Then(ChooseFile(path));
    Click(Form1->Button1);
  }

  // "モザイク化", with the palette dialog answered by `inDialog`.
  void Convert(ModalAnswerer::Answer inDialog) {
    answers_.Then(std::move(inDialog));
    Click(Form1->Button3);
  }

  static ModalAnswerer::Answer Run() {
    return [](QWidget*) { Click(Form4->Button1); };
  }
  static ModalAnswerer::Answer CloseBox() {
    return [](QWidget*) { Form4->close(); };
  }

  static bool GridHolds(int index) {
    const MosaicGrid& grid = Form3->Grid();
    for (int x = 0; x <= grid.MaxX(); ++x) {
      for (int y = 0; y <= grid.MaxY(); ++y)
        if (grid.Cell(x, y) == index) return true;
    }
    return false;
  }

  QString PathOf(const char* name) const { return folder_.filePath(QString::fromUtf8(name)); }

  QTemporaryDir folder_;
  ModalAnswerer answers_;
};

// The worked example's mosaic as a picture: every pixel a palette colour, so the conversion gives the
// worked example's grid with no error handed on. Clearing only the black check box changes nothing, since
// black is a candidate whatever its flag; the three files equal the worked example's.
TEST_F(CommandsTest, WholeRoadFromABitmapGivesTheGoldenFiles) {
  Load(kGolden + QStringLiteral("worked-example.bmp"));
  EXPECT_TRUE(Form2->isVisible());
  EXPECT_TRUE(Form1->Button3->isEnabled());
  EXPECT_EQ(Form2->All1->size(), QSize(5, 3));

  Convert([](QWidget*) {
    Click(Form4->ArCheckBox1[0]);
    Click(Form4->Button1);
  });
  EXPECT_FALSE(Form4->ColorPalette().Enabled(0));
  EXPECT_EQ(Form1->Label1->text(), QStringLiteral("4"));
  EXPECT_EQ(Form1->Label2->text(), QStringLiteral("2"));
  EXPECT_TRUE(Form3->isVisible());
  EXPECT_EQ(Form3->Image1->size(), QSize(5, 3));
  EXPECT_TRUE(Form1->Button4->isEnabled());

  TypeInto(Form1->SpinEdit1, "2");
  TypeInto(Form1->SpinEdit2, "2");
  answers_.Then(ChooseFile(PathOf("road.bmp"))).Then(AnswerQuestion(true));
  QFile(PathOf("road.bmp")).open(QIODevice::WriteOnly);  // exists: the dialog asks before replacing it
  Click(Form1->Button4);

  EXPECT_EQ(ReadAll(PathOf("road.txt")), ReadAll(kGolden + QStringLiteral("worked-example-rows.txt")));
  EXPECT_EQ(ReadAll(PathOf("road.csv")), ReadAll(kGolden + QStringLiteral("worked-example-rows.csv")));
  EXPECT_EQ(ReadAll(PathOf("road.bmp")), ReadAll(kGolden + QStringLiteral("worked-example-mosaic32.bmp")))
      << "the offscreen display has 32 bits per pixel";
}

// The road from a JPEG with a colour cleared, a label changed, a block height typed and the column order:
// the windows write what the batch tool writes with the same settings (tests/data/README.md).
TEST_F(CommandsTest, WholeRoadFromAJpegGivesTheGoldenFiles) {
  Load(kJpegData + QStringLiteral("pillow/pil_sample_rgb.jpg"));
  EXPECT_EQ(Form2->All1->size(), QSize(100, 100));
  Convert([](QWidget*) {
    Click(Form4->ArCheckBox1[3]);
    Form4->ArEdit1[7]->setText(QStringLiteral("W"));
    Click(Form4->Button1);
  });
  EXPECT_FALSE(GridHolds(3));
  EXPECT_TRUE(GridHolds(2));
  TypeInto(Form1->SpinEdit2, "30");
  Click(Form1->CheckBox1);
  answers_.Then(ChooseFile(PathOf("road")));
  Click(Form1->Button4);

  for (const char* extension : {".txt", ".csv", ".bmp"}) {
    const QString golden = kGolden + QStringLiteral("window-road-jpeg") + QLatin1String(extension);
    const QByteArray expected = ReadAll(golden);
    ASSERT_FALSE(expected.isEmpty()) << golden.toStdString();
    EXPECT_EQ(ReadAll(PathOf("road") + QLatin1String(extension)), expected) << extension;
  }
}

TEST_F(CommandsTest, CancelledOpenDialogChangesNothing) {
  answers_.Then(Cancel());
  Click(Form1->Button1);
  EXPECT_TRUE(Form2->isHidden());
  EXPECT_FALSE(Form1->Button3->isEnabled());
}

struct FailedLoadCase {
  const char* name;
  const char* file;
  const char* message;  // %1: the file's path
};

void PrintTo(const FailedLoadCase& c, std::ostream* out) {
  *out << c.file;
}

class FailedLoadTest : public CommandsTest, public ::testing::WithParamInterface<FailedLoadCase> {};

// A failed load shows the source window and the error; a picture loaded before stays, and so does the
// enabled mosaic button.
TEST_P(FailedLoadTest, KeepsTheEarlierPictureAndTheMosaicButton) {
  {
    QFile shortFile(PathOf("short.bmp"));
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write("BM12345678");
  }
  const QString path = PathOf(GetParam().file);
  QString message;
  answers_.Then(ChooseFile(path)).Then(ReadMessageBox(nullptr, &message));
  Click(Form1->Button1);
  EXPECT_EQ(message, QString::fromUtf8(GetParam().message).arg(path));
  EXPECT_TRUE(Form2->isVisible()) << "shown before the file is read";
  EXPECT_FALSE(Form1->Button3->isEnabled());

  Load(kGolden + QStringLiteral("worked-example.bmp"));
  answers_.Then(ChooseFile(path)).Then(ReadMessageBox(nullptr, &message));
  Click(Form1->Button1);
  EXPECT_TRUE(Form1->Button3->isEnabled());
  ASSERT_NE(Form2->All1->Bitmap(), nullptr);
  EXPECT_EQ(Form2->All1->Bitmap()->Width(), 5);
  EXPECT_EQ(Form2->All1->size(), QSize(5, 3));
}

INSTANTIATE_TEST_SUITE_P(
    Files, FailedLoadTest,
    ::testing::Values(FailedLoadCase{"Missing", "missing.bmp", "ファイル %1 は開けません."},
                      FailedLoadCase{"UnknownExtension", "photo.GIF",
                                     "拡張子 .GIF の画像形式は処理できません."},
                      FailedLoadCase{"NoExtension", "photo", "拡張子 . の画像形式は処理できません."},
                      FailedLoadCase{"Truncated", "short.bmp", "ストリームからの読み込みエラー."}),
    [](const auto& info) { return std::string(info.param.name); });

// Only "実行" copies the check boxes into the flags: after the close box the conversion still runs, with
// the flags as they were.
TEST_F(CommandsTest, PaletteDialogCloseBoxStillConvertsWithTheOldFlags) {
  Load(kGolden + QStringLiteral("worked-example.bmp"));
  Convert([](QWidget*) {
    Click(Form4->ArCheckBox1[7]);
    Form4->close();
  });
  EXPECT_TRUE(Form3->isVisible());
  EXPECT_TRUE(Form1->Button4->isEnabled());
  EXPECT_TRUE(GridHolds(7)) << "white is still enabled";

  Convert(Run());
  EXPECT_FALSE(GridHolds(7)) << "now white is cleared";
  EXPECT_EQ(Form3->Grid().Cell(4, 0), 3) << "white (15,15,15) goes to purple, the lower of two at 225";
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
  EXPECT_EQ(Form2->pos(), systemDefault);
  Convert(CloseBox());
  EXPECT_EQ(Form3->pos(), systemDefault);
  Form2->move(300, 300);
  Form3->close();

  Load(picture);
  EXPECT_EQ(Form2->pos(), QPoint(0, 100));
  Convert(CloseBox());
  EXPECT_TRUE(Form3->isVisible());
  EXPECT_EQ(Form3->pos(), QPoint(250, 100));
  EXPECT_EQ(Form3->frameGeometry().size(), QSize(354, 327)) << "the window keeps its size";
}

// Screens report their colour depth; a true-colour screen of depth 24 keeps 32 bits per pixel.
TEST(MosaicBitsPerPixel, FollowsTheBitsTheDisplayKeepsPerPixel) {
  const struct {
    int displayDepth, bitsPerPixel;
  } cases[] = {{15, 16}, {16, 16}, {24, 32}, {30, 32}, {32, 32}, {8, 32}};
  for (const auto& c : cases)
    EXPECT_EQ(MosaicBitsPerPixel(c.displayDepth), c.bitsPerPixel) << c.displayDepth;
}

}  // namespace
}  // namespace mozenta::testing
