// The image control: exact colours from every pixel layout, painting of the exposed part only, auto-size,
// and the scrolling client area of the picture windows.
#include "ui/image_control.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "mosaic/palette.h"
#include "support/printing.h"
#include "ui/scroll_box.h"
#include "ui/source_window.h"

namespace mozenta::testing {
namespace {

std::unique_ptr<TBitmap> MakeBitmap(int width, int height, int bitsPerPixel, bool topDown = false) {
  DibFormat format;
  format.width = width;
  format.height = topDown ? -height : height;
  format.bitsPerPixel = static_cast<std::uint16_t>(bitsPerPixel);
  if (bitsPerPixel == 8) {
    for (int i = 0; i < 256; ++i)
      format.colorTable.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 7, 0});
  }
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->CreateDib(std::move(format));
  return bitmap;
}

// A colour for (x, y) that differs in every channel.
std::uint32_t PatternColor(int x, int y) {
  return PackColor(x * 8 + 1, y * 8 + 2, (x + y) * 4 + 3);
}

struct LayoutCase {
  const char* name;
  int bitsPerPixel;
  bool topDown;
};

void PrintTo(const LayoutCase& c, std::ostream* out) {
  *out << c.name;
}

class ScreenRowTest : public ::testing::TestWithParam<LayoutCase> {};

// Every layout gives on screen exactly the colour GetPixel reads.
TEST_P(ScreenRowTest, MatchesThePixelColours) {
  auto bitmap = MakeBitmap(13, 5, GetParam().bitsPerPixel, GetParam().topDown);
  for (int y = 0; y < 5; ++y) {
    std::uint8_t* row = bitmap->ScanLineForWrite(y);
    if (GetParam().bitsPerPixel == 8) {
      for (int x = 0; x < 13; ++x)
        row[x] = static_cast<std::uint8_t>(x * 19 + y);
    } else {
      for (int x = 0; x < 13; ++x)
        bitmap->SetPixel(x, y, PatternColor(x, y));
    }
  }
  std::uint32_t row[9];
  for (int y = 0; y < 5; ++y) {
    ReadScreenRow(*bitmap, y, 3, 9, row);
    for (int i = 0; i < 9; ++i) {
      const std::uint32_t packed = bitmap->GetPixel(3 + i, y);
      const QRgb expected = qRgb(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
      ASSERT_EQ(row[i], expected) << "x " << 3 + i << ", y " << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, ScreenRowTest,
                         ::testing::Values(LayoutCase{"Bgrx32", 32, false}, LayoutCase{"Bgr24", 24, false},
                                           LayoutCase{"Bgr24TopDown", 24, true},
                                           LayoutCase{"Rgb555", 16, false}, LayoutCase{"Indexed8", 8, false}),
                         CaseName());

TEST(PaintBitmapArea, PaintsOnlyTheAskedPartOfThePicture) {
  auto bitmap = MakeBitmap(40, 30, 24);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x)
      bitmap->SetPixel(x, y, PatternColor(x, y));
  }
  QImage target(60, 50, QImage::Format_RGB32);
  target.fill(Qt::gray);
  {
    QPainter painter(&target);
    std::vector<std::uint32_t> scratch;
    PaintBitmapArea(painter, *bitmap, QRect(30, 20, 25, 25), scratch);  // reaches past the picture
  }
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 60; ++x) {
      const bool painted = x >= 30 && x < 40 && y >= 20 && y < 30;
      const std::uint32_t c = painted ? PatternColor(x, y) : 0;
      const QColor expected =
          painted ? QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF) : QColor(Qt::gray);
      ASSERT_EQ(QColor(target.pixel(x, y)), expected) << "x " << x << ", y " << y;
    }
  }
}

TEST(ImageControl, AutoSizeFollowsThePictureButNotAnEmptyOne) {
  ImageControl image;
  image.setGeometry(16, 16, 225, 209);
  auto empty = MakeBitmap(0, 0, 24);
  auto picture = MakeBitmap(300, 400, 24);
  image.SetBitmap(empty.get());
  EXPECT_EQ(image.size(), QSize(225, 209)) << "no auto-size yet";
  image.SetAutoSize(true);
  image.SetBitmap(picture.get());
  EXPECT_EQ(image.geometry(), QRect(16, 16, 300, 400));
  image.SetBitmap(empty.get());
  EXPECT_EQ(image.size(), QSize(300, 400)) << "an empty picture leaves the size alone";
}

// A picture larger than the source window brings scroll bars; the window keeps its size and the scroll
// range ends at the picture's right and bottom edges; what is scrolled into view is the picture's pixels.
TEST(SourceWindow, LargePictureScrollsInsideTheWindow) {
  SourceWindow window;
  auto picture = MakeBitmap(600, 500, 24);
  for (int y = 0; y < 500; ++y) {
    for (int x = 0; x < 600; ++x)
      picture->SetPixel(x, y, PatternColor(x % 30, y % 30));
  }
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QSize before = window.frameGeometry().size();
  window.pictureImage->SetBitmap(picture.get());
  QApplication::processEvents();
  EXPECT_EQ(window.frameGeometry().size(), before);
  EXPECT_EQ(window.scrollBox->Client()->size(), QSize(16 + 600, 16 + 500));
  QScrollBar* vertical = window.scrollBox->verticalScrollBar();
  QScrollBar* horizontal = window.scrollBox->horizontalScrollBar();
  EXPECT_TRUE(vertical->isVisible());
  EXPECT_TRUE(horizontal->isVisible());
  EXPECT_EQ(vertical->maximum(), 16 + 500 - window.scrollBox->viewport()->height());
  EXPECT_EQ(horizontal->maximum(), 16 + 600 - window.scrollBox->viewport()->width());

  vertical->setValue(vertical->maximum());
  horizontal->setValue(horizontal->maximum());
  const QImage shown = window.scrollBox->viewport()->grab().toImage();
  const QPoint corner(shown.width() - 1, shown.height() - 1);  // the picture's bottom-right pixel
  const std::uint32_t c = PatternColor(599 % 30, 499 % 30);
  EXPECT_EQ(QColor(shown.pixel(corner)), QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
  window.pictureImage->SetBitmap(nullptr);
}

TEST(SourceWindow, HiddenLoaderImageDoesNotWidenTheScrollRange) {
  SourceWindow window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_EQ(window.scrollBox->Client()->size(), QSize(16 + 225, 16 + 209));
  EXPECT_FALSE(window.scrollBox->verticalScrollBar()->isVisible());
}

}  // namespace
}  // namespace mozenta::testing
