#include "mosaic/save_mosaic.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <thread>

#include "mosaic/atomic_file.h"
#include "mosaic/buffered_output.h"
#include "mosaic/conversion.h"
#include "mosaic/mosaic_bitmap_file.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/output_names.h"
#include "mosaic/palette.h"
#include "output_test_support.h"

namespace mozenta {
namespace {

using testing::ReadWholeFile;
using testing::ScratchFolder;
using Bytes = std::vector<std::uint8_t>;

const std::vector<std::vector<int>> kExampleRows = {{0, 0, 1, 2, 7}, {0, 4, 1, 2, 7}, {5, 6, 3, 3, 7}};

// A mosaic painted straight from palette indices, as the conversion paints it.
std::unique_ptr<TBitmap> MosaicOf(const std::vector<std::vector<int>>& rows, int bitsPerPixel,
                                  int width = -1) {
  const Palette palette;
  auto mosaic = std::make_unique<TBitmap>();
  mosaic->SetPixelFormat(bitsPerPixel);
  mosaic->SetSize(width >= 0 ? width : static_cast<int>(rows.empty() ? 0 : rows[0].size()),
                  static_cast<int>(rows.size()));
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (std::size_t x = 0; x < rows[y].size(); ++x)
      mosaic->SetPixel(static_cast<int>(x), static_cast<int>(y), palette.ExpandedColor(rows[y][x]));
  return mosaic;
}

Bytes FileBytes(const std::string& name) {
  const std::string text = ReadWholeFile(name);
  return Bytes(text.begin(), text.end());
}

Bytes Le32(std::uint32_t v) {
  return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}

struct BitmapFileCase {
  const char* name;
  int bitsPerPixel;
  std::uint32_t fileSize, stride;
  Bytes firstStoredRow;  // the mosaic's bottom row y = 2: entries 5 6 3 3 7
};
void PrintTo(const BitmapFileCase& c, std::ostream* os) {
  *os << c.name;
}

class ExampleBitmapFile : public ::testing::TestWithParam<BitmapFileCase> {};

// The file from the bitmap the windows show and the one painted from the grid and the palette alone.
TEST_P(ExampleBitmapFile, HasTheStandardHeadersAndBottomUpRowsFromBitmapOrGrid) {
  const BitmapFileCase& c = GetParam();
  ScratchFolder folder;
  WriteMosaicBitmapFile(folder / "pic.bmp", *MosaicOf(kExampleRows, c.bitsPerPixel));
  MosaicGrid grid;
  testing::SetGrid(grid, kExampleRows);
  WriteMosaicBitmapFile(folder / "grid.bmp", MosaicPixels(grid, Palette(), c.bitsPerPixel));
  EXPECT_EQ(FileBytes(folder / "grid.bmp"), FileBytes(folder / "pic.bmp"));
  const Bytes file = FileBytes(folder / "pic.bmp");
  ASSERT_EQ(file.size(), c.fileSize);

  Bytes header = {'B', 'M'};
  for (const Bytes& field : {Le32(c.fileSize),                // file size
                             Le32(0),                         // two reserved words
                             Le32(54),                        // pixel array offset
                             Le32(40),                        // info header size
                             Le32(5),                         // width
                             Le32(3),                         // height: positive, bottom-up
                             Le32(1 | c.bitsPerPixel << 16),  // planes, bits per pixel
                             Le32(0),                         // uncompressed
                             Le32(3 * c.stride),              // image size
                             Le32(0), Le32(0),                // pixels per metre
                             Le32(0), Le32(0)})               // colours used, important colours
    header.insert(header.end(), field.begin(), field.end());
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 54), header);
  EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 54 + c.stride), c.firstStoredRow);
  // The last stored row is the top row, entries 0 0 1 2 7: black, black, blue, red, white.
  const Bytes top(file.end() - c.stride, file.end());
  const auto mosaic = MosaicOf(kExampleRows, c.bitsPerPixel);
  EXPECT_EQ(top, Bytes(mosaic->ScanLine(0), mosaic->ScanLine(0) + c.stride));
}

INSTANTIATE_TEST_SUITE_P(
    Depths, ExampleBitmapFile,
    ::testing::Values(
        BitmapFileCase{
            "Bits24",
            24,
            102,
            16,
            {0xFF, 0x88, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00}},
        BitmapFileCase{"Bits32", 32, 114, 20, {0xFF, 0x88, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0x00,
                                               0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0x00}},
        // 5-5-5 words: 水 0x023F, 黄 0x7FE0, 紫 0x7C1F, 白 0x7FFF
        BitmapFileCase{
            "Bits16", 16, 90, 12, {0x3F, 0x02, 0xE0, 0x7F, 0x1F, 0x7C, 0x1F, 0x7C, 0xFF, 0x7F, 0, 0}}),
    [](const auto& info) { return info.param.name; });

TEST(MosaicBitmapFile, OneCellIsFiftyEightBytesAtEveryDepth) {
  ScratchFolder folder;
  for (const int bits : {16, 24, 32}) {
    WriteMosaicBitmapFile(folder / "one.bmp", *MosaicOf({{7}}, bits));
    EXPECT_EQ(FileBytes(folder / "one.bmp").size(), 58u) << bits;
  }
}

// A file written from its end while the rows are still coming, in pieces that cut rows and the headers,
// holds the same bytes as one written in turn.
TEST(MosaicBitmapFile, WrittenFromTheEndAsRowsComeIsTheSameFile) {
  ScratchFolder folder;
  std::vector<std::vector<int>> rows(37, std::vector<int>(301));
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (std::size_t x = 0; x < rows[y].size(); ++x)
      rows[y][x] = static_cast<int>((x * 7 + y * 3 + x * y) % 8);
  MosaicGrid grid;
  testing::SetGrid(grid, rows);
  for (const int bits : {16, 24, 32}) {
    const MosaicPixels pixels(grid, Palette(), bits);
    WriteMosaicBitmapFile(folder / "in_turn.bmp", pixels);
    AtomicFile file;
    ASSERT_EQ(file.Create(folder / "from_end.bmp"), 0);
    {
      BufferedOutput out(
          file, AtomicFile::kDirectAlignment, [](int) { throw std::runtime_error("write"); }, true);
      RowsReady ready;
      std::jthread conversion([&] {
        for (int y = 0; y <= static_cast<int>(rows.size()); ++y)
          ready.Publish(y);
      });
      ASSERT_TRUE(pixels.WriteFromTheEnd(out, pixels.Headers(), AtomicFile::kDirectAlignment, ready, {}));
      out.Close();
    }
    ASSERT_EQ(file.Commit(), 0);
    file.Settle();
    EXPECT_EQ(FileBytes(folder / "from_end.bmp"), FileBytes(folder / "in_turn.bmp")) << bits;
  }
}

TEST(MosaicBitmapFile, EmptyMosaicReplacesTheFileWithAnEmptyOne) {
  ScratchFolder folder;
  for (const auto& [columns, rows] : {std::pair{0, 0}, std::pair{4, 0}, std::pair{0, 3}}) {
    testing::WriteWholeFile(folder / "e.bmp", "old picture");
    WriteMosaicBitmapFile(folder / "e.bmp", *MosaicOf(std::vector<std::vector<int>>(rows), 32, columns));
    EXPECT_EQ(ReadWholeFile(folder / "e.bmp"), "") << columns << " x " << rows;
  }
}

TEST(MosaicBitmapFile, IndexedPictureCarriesItsColourTable) {
  DibFormat format;
  format.width = 3;
  format.height = 2;
  format.bitsPerPixel = 8;
  format.colorTable = {{1, 2, 3, 0}, {4, 5, 6, 0}};
  TBitmap bitmap;
  bitmap.CreateDib(format);
  const Bytes headers = BitmapFileHeaders(bitmap);
  ASSERT_EQ(headers.size(), 62u);
  EXPECT_EQ(Bytes(headers.begin() + 10, headers.begin() + 14), Le32(62));  // pixel array offset
  EXPECT_EQ(Bytes(headers.begin() + 46, headers.begin() + 50), Le32(2));   // colours used
  EXPECT_EQ(Bytes(headers.begin() + 54, headers.end()), (Bytes{1, 2, 3, 0, 4, 5, 6, 0}));
}

// The name table of the save: chosen name → chart, counts and bitmap names.
struct NameCase {
  const char* chosen;
  const char* chart;
  const char* counts;
  const char* bitmap;
};
void PrintTo(const NameCase& c, std::ostream* os) {
  *os << c.chosen;
}

class SaveNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(SaveNames, ReplaceOnlyTheExtensionOfTheNameProper) {
  const NameCase& c = GetParam();
  const SaveFileNames windows = SaveFileNamesFor(c.chosen, kWindowsSeparators);
  EXPECT_EQ(windows.chart, c.chart);
  EXPECT_EQ(windows.counts, c.counts);
  EXPECT_EQ(windows.bitmap, c.bitmap);
  // The same names with "/" folders on this platform.
  auto slashed = [](std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
  };
  const SaveFileNames here = SaveFileNamesFor(slashed(c.chosen));
  EXPECT_EQ(here.chart, slashed(c.chart));
  EXPECT_EQ(here.counts, slashed(c.counts));
  EXPECT_EQ(here.bitmap, slashed(c.bitmap));
}

INSTANTIATE_TEST_SUITE_P(
    Names, SaveNames,
    ::testing::Values(
        NameCase{"C:\\work\\pic.bmp", "C:\\work\\pic.txt", "C:\\work\\pic.csv", "C:\\work\\pic.bmp"},
        NameCase{"C:\\work\\pic", "C:\\work\\pic.txt", "C:\\work\\pic.csv", "C:\\work\\pic.bmp"},
        NameCase{"C:\\work\\pic.old.jpg", "C:\\work\\pic.old.txt", "C:\\work\\pic.old.csv",
                 "C:\\work\\pic.old.bmp"},
        NameCase{"C:\\my.work\\pic", "C:\\my.work\\pic.txt", "C:\\my.work\\pic.csv", "C:\\my.work\\pic.bmp"},
        NameCase{"C:\\work\\pic.", "C:\\work\\pic.txt", "C:\\work\\pic.csv", "C:\\work\\pic.bmp"},
        NameCase{"D:pic", "D:pic.txt", "D:pic.csv", "D:pic.bmp"},
        NameCase{"C:\\work\\PIC.BMP", "C:\\work\\PIC.txt", "C:\\work\\PIC.csv", "C:\\work\\PIC.bmp"},
        NameCase{"C:\\表.ソ\\図", "C:\\表.ソ\\図.txt", "C:\\表.ソ\\図.csv", "C:\\表.ソ\\図.bmp"}));

// The whole save after a real conversion of a picture in exact palette colours.
class SaveMosaicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DibFormat format;
    format.width = 5;
    format.height = 3;
    format.bitsPerPixel = 24;
    source_.CreateDib(format);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        source_.SetPixel(x, y, palette_.ExpandedColor(kExampleRows[y][x]));
    ConvertToMosaic(source_, palette_, grid_, mosaic_);
    settings_.blocks = {2, 2};
  }

  const Palette palette_;
  MosaicGrid grid_;
  ScratchFolder folder_;
  TBitmap source_, mosaic_;
  ReportSettings settings_;
  SilentGauge gauge_;
};

TEST_F(SaveMosaicTest, WritesThreeFilesBesideTheChosenOneAndLeavesItAlone) {
  testing::WriteWholeFile(folder_ / "pic.jpg", "the loaded picture");
  SaveMosaic(folder_ / "pic.jpg", grid_, mosaic_, settings_, gauge_);
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.jpg"), "the loaded picture");

  ScratchFolder direct, fromGrid;
  WriteReports(direct / "pic.txt", grid_, settings_, gauge_);
  WriteMosaicBitmapFile(direct / "pic.bmp", *MosaicOf(kExampleRows, mosaic_.BitsPerPixel()));
  // mozenta-batch's save, which keeps no mosaic bitmap.
  SaveMosaic(fromGrid / "pic", grid_, MosaicPixels(grid_, palette_, mosaic_.BitsPerPixel()), settings_,
             gauge_);
  // The same save started before the grid is made, its reports on their own thread: as the conversion
  // publishes rows it gives the same files, and dropped halfway it leaves the previous ones.
  ScratchFolder early;
  MosaicGrid coming;
  const MosaicPixels fromComing(coming, palette_, mosaic_.BitsPerPixel());
  {
    SetMosaicLimits(source_, coming);
    MosaicSave save(early / "pic", coming, fromComing, settings_);
    save.StartReports(gauge_);
    ConvertToGrid(source_, palette_, coming, nullptr, {}, {}, &save.RowsConverted());
    save.Finish(gauge_);
  }
  for (const char* name : {"pic.txt", "pic.csv", "pic.bmp"}) {
    EXPECT_EQ(ReadWholeFile(folder_ / name), ReadWholeFile(direct / name)) << name;
    EXPECT_EQ(ReadWholeFile(fromGrid / name), ReadWholeFile(direct / name)) << name;
    EXPECT_EQ(ReadWholeFile(early / name), ReadWholeFile(direct / name)) << name;
  }
  {
    MosaicSave save(early / "pic", coming, fromComing, settings_);
    save.StartReports(gauge_);
    save.RowsConverted().Publish(1);  // a conversion that fails after its first row
  }
  for (const char* name : {"pic.txt", "pic.csv", "pic.bmp"})
    EXPECT_EQ(ReadWholeFile(early / name), ReadWholeFile(direct / name)) << name;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(early.Path()), {}), 3);
}

// Names that are links replace the files the links lead to (a relative link, a chain of two, a link to no
// file yet) and stay links; replaced files keep their permission bits, new ones get 0666 less the umask.
// No temporary is left in either folder.
TEST_F(SaveMosaicTest, ReplacesWhatLinksLeadToAndKeepsPermissionBits) {
  namespace fs = std::filesystem;
  fs::create_directory(folder_ / "real");
  testing::WriteWholeFile(folder_ / "real/counts.csv", "old counts");
  fs::permissions(folder_ / "real/counts.csv", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real/chart.txt", folder_ / "pic.txt");  // no such file yet
  fs::create_symlink(folder_ / "real/counts.csv", folder_ / "step.csv");
  fs::create_symlink("step.csv", folder_ / "pic.csv");
  testing::WriteWholeFile(folder_ / "pic.bmp", "old bitmap");
  fs::permissions(folder_ / "pic.bmp", fs::perms::owner_all | fs::perms::group_read);
  const mode_t umask = ::umask(022);
  SaveMosaic(folder_ / "pic", grid_, mosaic_, settings_, gauge_);
  ::umask(umask);

  ScratchFolder plain;
  SaveMosaic(plain / "pic", grid_, mosaic_, settings_, gauge_);
  for (const char* name : {"pic.txt", "pic.csv", "step.csv"})
    EXPECT_TRUE(fs::is_symlink(folder_ / name)) << name;
  EXPECT_EQ(ReadWholeFile(folder_ / "real/chart.txt"), ReadWholeFile(plain / "pic.txt"));
  EXPECT_EQ(ReadWholeFile(folder_ / "real/counts.csv"), ReadWholeFile(plain / "pic.csv"));
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.bmp"), ReadWholeFile(plain / "pic.bmp"));
  const auto mode = [&](const char* name) { return fs::status(folder_ / name).permissions(); };
  EXPECT_EQ(mode("real/chart.txt"), fs::perms(0644));
  EXPECT_EQ(mode("real/counts.csv"), fs::perms(0600));
  EXPECT_EQ(mode("pic.bmp"), fs::perms(0740));
  for (const std::string& folder : {folder_.Path(), folder_ / "real"}) {
    for (const auto& entry : fs::directory_iterator(folder))
      EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
  }
}

TEST_F(SaveMosaicTest, OrderSwitchRewritesTheReportsButNotTheBitmap) {
  SaveMosaic(folder_ / "pic.txt", grid_, mosaic_, settings_, gauge_);
  const std::string rowsChart = ReadWholeFile(folder_ / "pic.txt");
  const std::string rowsCounts = ReadWholeFile(folder_ / "pic.csv");
  const std::string bitmap = ReadWholeFile(folder_ / "pic.bmp");

  settings_.order = BlockOrder::kByColumns;
  SaveMosaic(folder_ / "pic.csv", grid_, mosaic_, settings_, gauge_);
  EXPECT_NE(ReadWholeFile(folder_ / "pic.txt"), rowsChart);
  EXPECT_NE(ReadWholeFile(folder_ / "pic.csv"), rowsCounts);
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.bmp"), bitmap);

  settings_.order = BlockOrder::kByRows;
  SaveMosaic(folder_ / "pic", grid_, mosaic_, settings_, gauge_);
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.txt"), rowsChart);
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.csv"), rowsCounts);
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.bmp"), bitmap);
}

}  // namespace
}  // namespace mozenta
