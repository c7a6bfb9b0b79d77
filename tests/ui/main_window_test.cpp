// The main window's commands as a user drives them: clicks, typing, dialogs answered from the event loop.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "forms_fixture.h"
#include "modal_answerer.h"
#include "mosaic/conversion.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/palette.h"
#include "qt_printing.h"

namespace mozenta::testing {
namespace {

std::string ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

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
  // A mosaic as a conversion leaves it, `width` × `height` cells, with the save button enabled.
  static void MakeMosaic(int width, int height) {
    TBitmap source;
    DibFormat format;
    format.width = width;
    format.height = height;
    format.bitsPerPixel = 24;
    source.CreateDib(format);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        source.SetPixel(x, y, PackColor(x * 37 % 256, y * 53 % 256, (x + y) * 11 % 256));
    }
    Form3->Mosaic().SetPixelFormat(24);
    ConvertToMosaic(source, Form4->ColorPalette(), Form3->Grid(), Form3->Mosaic());
    Form1->Button4->setEnabled(true);
  }

  static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

  static void TypeInto(TSpinEdit* edit, const char* text) {
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, QString::fromLatin1(text));
  }

  QString PathOf(const char* name) const { return folder_.filePath(QString::fromUtf8(name)); }
  QStringList FilesInFolder() const { return QDir(folder_.path()).entryList(QDir::Files, QDir::Name); }

  QTemporaryDir folder_;
  ModalAnswerer answers_;
};

TEST_F(MainWindowTest, SaveClampsTheTypedBlockWidthBeforeTheReportsReadIt) {
  MakeMosaic(700, 3);
  TypeInto(Form1->SpinEdit1, "900");
  QString widthWhenAsked;
  answers_.Then([&](QWidget* dialog) {
    widthWhenAsked = Form1->SpinEdit1->text();
    ChooseFile(PathOf("pic"))(dialog);
  });
  Click(Form1->Button4);
  EXPECT_EQ(widthWhenAsked, QStringLiteral("640"));
  EXPECT_EQ(Form1->SpinEdit1->text(), QStringLiteral("640"));
  EXPECT_EQ(FilesInFolder(), (QStringList{"pic.bmp", "pic.csv", "pic.txt"}));
  // 700 cells across in blocks of 640: two block columns, one block row.
  const std::string counts = ReadAll(PathOf("pic.csv"));
  EXPECT_EQ(LineCount(counts), 3);
  EXPECT_NE(counts.find("2" + kColumnMark + "1" + kRowMark), std::string::npos);
  EXPECT_TRUE(Form1->Gauge1->isHidden());
}

TEST_F(MainWindowTest, CheckBoxChoosesTheBlockOrderAndTheLabelsComeFromThePaletteDialog) {
  MakeMosaic(5, 3);
  TypeInto(Form1->SpinEdit1, "2");
  TypeInto(Form1->SpinEdit2, "2");
  Form4->ArEdit1[0]->setText(QStringLiteral("K"));
  Click(Form1->CheckBox1);
  answers_.Then(ChooseFile(PathOf("cols.txt")));
  Click(Form1->Button4);
  Click(Form1->CheckBox1);
  answers_.Then(ChooseFile(PathOf("rows.bmp")));
  Click(Form1->Button4);

  const std::string byColumns = ReadAll(PathOf("cols.csv"));
  const std::string byRows = ReadAll(PathOf("rows.csv"));
  const std::string block12 = "1" + kColumnMark + "2" + kRowMark;
  const std::string block21 = "2" + kColumnMark + "1" + kRowMark;
  ASSERT_NE(byColumns.find(block12), std::string::npos);
  EXPECT_LT(byColumns.find(block12), byColumns.find(block21)) << "column by column";
  EXPECT_GT(byRows.find(block12), byRows.find(block21)) << "row by row";
  EXPECT_EQ(byRows.rfind(",K,", 0), 0u) << "the heading starts with the first label";
  EXPECT_EQ(ReadAll(PathOf("cols.bmp")), ReadAll(PathOf("rows.bmp")));
}

TEST_F(MainWindowTest, CancelledSaveWritesNothing) {
  MakeMosaic(4, 4);
  answers_.Then(Cancel());
  Click(Form1->Button4);
  EXPECT_TRUE(FilesInFolder().isEmpty());
}

struct ZeroBlockCase {
  const char* name;
  const char* width;
  const char* height;
};

class ZeroBlockSizeTest : public MainWindowTest, public ::testing::WithParamInterface<ZeroBlockCase> {};

// A block size that reads 0 ends the save with the division message before any file is touched.
TEST_P(ZeroBlockSizeTest, RefusesTheSaveAndTouchesNoFile) {
  MakeMosaic(4, 4);
  QFile existing(PathOf("pic.bmp"));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.write("old");
  existing.close();
  TypeInto(Form1->SpinEdit1, GetParam().width);
  TypeInto(Form1->SpinEdit2, GetParam().height);
  QString message;
  answers_.Then(ChooseFile(PathOf("pic.txt"))).Then(ReadMessageBox(nullptr, &message));
  Click(Form1->Button4);
  EXPECT_EQ(message, QString::fromUtf8("ゼロによる除算."));
  EXPECT_EQ(FilesInFolder(), QStringList{QStringLiteral("pic.bmp")});
  EXPECT_EQ(ReadAll(PathOf("pic.bmp")), "old");
  EXPECT_TRUE(Form1->Gauge1->isHidden());
  EXPECT_EQ(Form1->SpinEdit2->text(), QString::fromLatin1(GetParam().height)) << "an empty field stays empty";
}

INSTANTIATE_TEST_SUITE_P(Sizes, ZeroBlockSizeTest,
                         ::testing::Values(ZeroBlockCase{"ZeroWidth", "0", "100"},
                                           ZeroBlockCase{"ZeroHeight", "40", "0"},
                                           ZeroBlockCase{"EmptyHeight", "40", ""},
                                           ZeroBlockCase{"NotANumber", "+-", "100"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, NegativeHeightBecomesZeroWhenTheFieldIsLeft) {
  TypeInto(Form1->SpinEdit2, "-5");
  QTest::keyClick(Form1->SpinEdit2, Qt::Key_Tab);
  EXPECT_EQ(Form1->SpinEdit2->text(), QStringLiteral("0"));
}

TEST_F(MainWindowTest, ExitButtonAndCloseBoxCloseTheMainWindow) {
  int closed = 0;
  QObject::connect(Form1, &TForm1::Closed, [&] { ++closed; });
  Click(Form1->Button2);
  EXPECT_EQ(closed, 1);
  EXPECT_TRUE(Form1->isHidden());
  Form1->show();
  Form1->close();
  EXPECT_EQ(closed, 2);
}

}  // namespace
}  // namespace mozenta::testing
