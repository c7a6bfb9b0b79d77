// The printable sheets as a reader sees them, checked with poppler's tools (poppler-utils): the pages, the
// text, the fonts and the rendered cells. Tests are skipped with a message where the tools are missing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <ranges>
#include <sstream>
#include <stop_token>
#include <string>
#include <vector>

#include "mosaic/output_test_support.h"
#include "picture/errors.h"
#include "project/save_job.h"
#include "sheets/block_page_plan.h"
#include "sheets/sheet_colors.h"
#include "sheets/sheet_writer.h"

namespace mozenta {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

bool PopplerPresent() {
  return std::system("command -v pdfinfo pdftotext pdffonts pdftoppm >/dev/null 2>&1") == 0;
}

// What `command` prints on its standard output.
std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[1 << 16];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, n);
  pclose(pipe);
  return out;
}

int PageCount(const std::string& pdf) {
  const std::string info = Output("pdfinfo '" + pdf + "'");
  const std::size_t at = info.find("Pages:");
  return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

std::string PageText(const std::string& pdf, int page) {
  const std::string p = std::to_string(page);
  return Output("pdftotext -layout -f " + p + " -l " + p + " '" + pdf + "' -");
}

// Page `page` rendered at `dpi` as 8-bit RGB rows.
struct Rendering {
  int width = 0, height = 0;
  std::string pixels;
  std::array<int, 3> At(double xPoints, double yPoints, int dpi) const {
    const auto x = static_cast<std::size_t>(xPoints * dpi / 72),
               y = static_cast<std::size_t>(yPoints * dpi / 72);
    const std::size_t i = (y * static_cast<std::size_t>(width) + x) * 3;
    return {static_cast<unsigned char>(pixels[i]), static_cast<unsigned char>(pixels[i + 1]),
            static_cast<unsigned char>(pixels[i + 2])};
  }
};
Rendering Render(const std::string& pdf, int page, int dpi) {
  const std::string p = std::to_string(page);
  const std::string ppm =
      Output("pdftoppm -r " + std::to_string(dpi) + " -f " + p + " -l " + p + " '" + pdf + "'");
  Rendering image;
  int maximum = 0, consumed = 0;
  if (std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &image.width, &image.height, &maximum, &consumed) == 3)
    image.pixels = ppm.substr(static_cast<std::size_t>(consumed) + 1);
  return image;
}

// A mosaic of `columns` × `rows` cells of entries scattered by a fixed seed.
void FillGrid(MosaicGrid& grid, int columns, int rows) {
  std::mt19937 random(5);
  std::vector<std::vector<int>> cells(rows, std::vector<int>(columns));
  for (auto& row : cells)
    for (int& cell : row)
      cell = static_cast<int>(random() % 8);
  testing::SetGrid(grid, cells, columns);
}

const std::vector<std::vector<int>> kExampleRows = {{0, 0, 1, 2, 7}, {0, 4, 1, 2, 7}, {5, 6, 3, 3, 7}};

class SheetsPdf : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PopplerPresent()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext, pdffonts, pdftoppm) is absent";
    settings_.advanced.sheets.enabled = true;
  }
  // Saves the job as "pic" and returns the PDF's name.
  std::string Save(std::stop_token stop = {}) {
    SaveJob(folder_ / "pic", grid_, mosaic_, settings_, gauge_, std::move(stop));
    return folder_ / "pic.pdf";
  }

  ScratchFolder folder_;
  MosaicGrid grid_;
  TBitmap mosaic_;
  JobSettings settings_;
  testing::RecordingGauge gauge_;
};

struct PageCountCase {
  const char* name;
  int columns, rows;
  BlockSettings blocks;
  PageSize page;
  int pages;  // the overview, the block pages, the totals
};
void PrintTo(const PageCountCase& c, std::ostream* os) {
  *os << c.name;
}

class SheetsPageCount : public SheetsPdf, public ::testing::WithParamInterface<PageCountCase> {};

TEST_P(SheetsPageCount, IsTheOverviewEveryBlocksPagesAndTheTotals) {
  const PageCountCase& c = GetParam();
  FillGrid(grid_, c.columns, c.rows);
  settings_.blocks = c.blocks;
  settings_.advanced.sheets.page = c.page;
  const std::string pdf = Save();
  EXPECT_EQ(PageCount(pdf), c.pages);
  EXPECT_EQ(SheetPages(grid_, LayOutBlocks(grid_, c.blocks, BlockOrder::kByRows), c.page), c.pages);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SheetsPageCount,
                         ::testing::Values(
                             // 3 × 2 blocks of one page each
                             PageCountCase{"SmallBlocks", 5, 3, {2, 2}, PageSize::kA4, 8},
                             // two whole blocks of two pages, two half blocks of one
                             PageCountCase{"DefaultBlocksCutShort", 80, 150, {40, 100}, PageSize::kA4, 8},
                             // 60 × 90 takes three pages on A4 and one on A3
                             PageCountCase{"A4", 60, 90, {60, 90}, PageSize::kA4, 5},
                             PageCountCase{"A3", 60, 90, {60, 90}, PageSize::kA3, 3},
                             PageCountCase{"NoCells", 0, 0, {40, 100}, PageSize::kLetter, 3}),
                         [](const ::testing::TestParamInfo<PageCountCase>& info) { return info.param.name; });

TEST_F(SheetsPdf, OverviewAndBlockPagesReadAsThePlan) {
  testing::SetGrid(grid_, kExampleRows);
  settings_.blocks = {2, 2};
  settings_.order = BlockOrder::kByColumns;
  const std::string pdf = Save();

  const std::string overview = PageText(pdf, 1);
  for (const char* expected :
       {"全体図", "モザイク: 横 5 × 縦 3 枚", "ブロック: 横 2 × 縦 2 枚、3列 × 2段 = 6 ブロック",
        "ページの順: 列ごと", "▲ 上", "1列目-1段目", "2列目-2段目"})
    EXPECT_NE(overview.find(expected), std::string::npos) << expected << " in\n" << overview;
  // The blocks of the last column are one cell wide: too narrow for their names.
  EXPECT_EQ(overview.find("3列目"), std::string::npos) << overview;

  // Column by column: the second block page is the block below the first; its first cell is the mosaic's
  // column 1, row 3, its one row holds 水 黄.
  const std::string second = PageText(pdf, 3);
  for (const char* expected :
       {"1列目-2段目", "ブロック左上のマス: 全体の1列目・3段目", "水", "黄", "このブロックの枚数   合計 2枚"})
    EXPECT_NE(second.find(expected), std::string::npos) << expected << " in\n" << second;
  EXPECT_EQ(second.find("(1/"), std::string::npos);
  // The last block, the column 5 × rows 1..2: 白 twice; its counts in the legend's order.
  const std::string last = PageText(pdf, 7);
  EXPECT_NE(last.find("3列目-2段目"), std::string::npos) << last;
  EXPECT_NE(last.find("全体の5列目・3段目"), std::string::npos) << last;
}

TEST_F(SheetsPdf, LargeBlockContinuesOnNumberedPages) {
  FillGrid(grid_, 40, 100);
  const std::string pdf = Save();
  const std::string first = PageText(pdf, 2), second = PageText(pdf, 3);
  EXPECT_NE(first.find("1列目-1段目 (1/2)"), std::string::npos) << first;
  EXPECT_NE(second.find("1列目-1段目 (2/2)"), std::string::npos) << second;
  // The second part numbers its rows on from 51, its columns from 1 again.
  EXPECT_NE(second.find("51"), std::string::npos);
  EXPECT_EQ(second.find(" 50 "), std::string::npos);
  EXPECT_NE(second.find(" 40"), std::string::npos);
}

TEST_F(SheetsPdf, TotalsShowTheShortfallWhereStockIsKnown) {
  testing::SetGrid(grid_, kExampleRows);  // 黒 3, 青 2, 赤 2, 紫 2, 緑 1, 水 1, 黄 1, 白 3
  settings_.labels[7] = "しろ";
  settings_.labels[6] = "\xFF黄";   // not UTF-8: shown with U+FFFD
  settings_.advanced.stock[2] = 5;  // enough
  settings_.advanced.stock[7] = 1;  // 2 short
  const std::string pdf = Save();
  std::string totals = PageText(pdf, PageCount(pdf));
  for (const char* expected : {"記号", "RGB", "枚数", "手持ち", "不足", "255, 0, 0", "0, 136, 255", "合計"})
    EXPECT_NE(totals.find(expected), std::string::npos) << expected << " in\n" << totals;
  // Rows: label, RGB, count, on hand, short; entries without stock show a dash.
  const auto rowOf = [&](const char* label) {
    const std::size_t at = totals.rfind(label);
    std::istringstream row(at == std::string::npos ? "" : totals.substr(at, totals.find('\n', at) - at));
    std::vector<std::string> words;
    for (std::string word; row >> word;)
      words.push_back(word);
    return words;
  };
  using Words = std::vector<std::string>;
  EXPECT_EQ(rowOf("しろ"), (Words{"しろ", "255,", "255,", "255", "3", "1", "2"}));
  EXPECT_EQ(rowOf("赤"), (Words{"赤", "255,", "0,", "0", "2", "5", "0"}));
  EXPECT_EQ(rowOf("黒"), (Words{"黒", "0,", "0,", "0", "3", "—", "—"}));
  EXPECT_EQ(rowOf("\uFFFD黄"), (Words{"\uFFFD黄", "255,", "255,", "0", "1", "—", "—"}));
  EXPECT_EQ(rowOf("合計"), (Words{"合計", "15"}));
}

TEST_F(SheetsPdf, FontsAreEmbeddedSubsetsOfIpaGothic) {
  testing::SetGrid(grid_, kExampleRows);
  const std::string fonts = Output("pdffonts '" + Save() + "'");
  int listed = 0;
  std::size_t line = fonts.find('\n', fonts.find("-----"));
  for (std::size_t next;
       line != std::string::npos && (next = fonts.find('\n', line + 1)) != std::string::npos; line = next) {
    const std::string entry = fonts.substr(line + 1, next - line - 1);
    ++listed;
    EXPECT_NE(entry.find("IPAGothic"), std::string::npos) << entry;
    EXPECT_NE(entry.find("yes yes yes"), std::string::npos) << entry;  // embedded, subset, Unicode map
  }
  EXPECT_GT(listed, 0) << fonts;
}

class SheetsRendering : public SheetsPdf, public ::testing::WithParamInterface<bool> {};

// The second page of a 40 × 100 block at 144 dpi: each cell shows its entry's colour (white paper with
// symbols) in the strip above its label.
TEST_P(SheetsRendering, CellsHaveTheGridsColours) {
  const bool symbols = GetParam();
  FillGrid(grid_, 40, 100);
  settings_.advanced.sheets.symbols = symbols;
  const std::string pdf = Save();
  constexpr int kDpi = 144;
  const Rendering page = Render(pdf, 3, kDpi);
  ASSERT_GT(page.width, 0);
  const BlockPagePlan plan = PlanBlockPages(40, 100, PageSize::kA4);
  const BlockPart part = plan.Part(1, 40, 100);
  ASSERT_EQ(part.firstRow, 50);
  const CellsOrigin origin = PlaceCells(plan, part, PageSize::kA4);
  int wrong = 0;
  for (int r = 0; r < part.rows; ++r) {
    for (int c = 0; c < part.columns; ++c) {
      const int entry = grid_.Cell(c, part.firstRow + r);
      const Ink ink = symbols ? kWhiteInk : EntryInk(settings_.palette, entry);
      const std::array<int, 3> expected = {static_cast<int>(ink.red * 255 + 0.5),
                                           static_cast<int>(ink.green * 255 + 0.5),
                                           static_cast<int>(ink.blue * 255 + 0.5)};
      const auto seen =
          page.At(origin.left + (c + 0.5) * plan.cell, origin.top + (r + 0.15) * plan.cell, kDpi);
      if (seen != expected && ++wrong <= 5) {
        ADD_FAILURE() << "cell " << c << ", " << part.firstRow + r << ": " << seen[0] << " " << seen[1] << " "
                      << seen[2];
      }
    }
  }
  EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Looks, SheetsRendering, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Symbols" : "Colours"; });

// A save with the PDF that fails or is stopped after a good one: the error it gives, the gauge hidden and the
// folder left exactly as it was found, every previous file byte for byte (the PDF too) and no temporary.
struct SheetsFailureCase {
  const char* name;
  void (*prepare)(const std::string& folder);
  const char* kind;     // the class of the error
  int code;             // its run-time code, for EInOutError
  const char* message;  // "<folder>" stands for the folder
  int stopAtStep = -1;  // the user stops the save: 0 before it starts, n when the gauge reaches step n
};
void PrintTo(const SheetsFailureCase& c, std::ostream* os) {
  *os << c.name;
}

// Stops the save when the gauge reaches a step, as the progress window's "中止" would.
class StoppingGauge : public testing::RecordingGauge {
 public:
  void SetProgress(int progress) override {
    RecordingGauge::SetProgress(progress);
    if (stopAtStep > 0 && progress >= stopAtStep) stop.request_stop();
  }
  std::stop_source stop;
  int stopAtStep = -1;
};

class SheetsFailure : public SheetsPdf, public ::testing::WithParamInterface<SheetsFailureCase> {};

TEST_P(SheetsFailure, LeavesEveryPreviousFileAsItWas) {
  const SheetsFailureCase& c = GetParam();
  testing::SetGrid(grid_, kExampleRows);
  Save();
  c.prepare(folder_.Path());
  const auto before = testing::Snapshot(folder_.Path());
  ASSERT_TRUE(before.contains("pic.pdf"));

  FillGrid(grid_, 200, 300);  // 5 × 3 blocks: the gauge steps through three block rows
  StoppingGauge gauge;
  gauge.stopAtStep = c.stopAtStep;
  if (c.stopAtStep == 0) gauge.stop.request_stop();
  std::string message = c.message;
  if (const std::size_t at = message.find("<folder>"); at != std::string::npos)
    message.replace(at, 8, folder_.Path());
  try {
    SaveJob(folder_ / "pic", grid_, mosaic_, settings_, gauge, gauge.stop.get_token());
    FAIL() << "no error";
  } catch (const EAbort&) {
    EXPECT_STREQ(c.kind, "EAbort");
  } catch (const EInOutError& e) {
    EXPECT_STREQ(c.kind, "EInOutError");
    EXPECT_EQ(e.Code(), c.code);
    EXPECT_EQ(e.Message(), message);
  } catch (const EFCreateError& e) {
    EXPECT_STREQ(c.kind, "EFCreateError");
    EXPECT_EQ(e.Message(), message);
  }
  EXPECT_FALSE(gauge.visible);
  if (c.stopAtStep > 0) {
    EXPECT_NE(std::ranges::find(gauge.calls, "progress 1"), gauge.calls.end());
  }
  EXPECT_EQ(testing::Snapshot(folder_.Path()), before);
}

void LinkToFullDisk(const std::string& path) {
  fs::remove(path);
  fs::create_symlink("/dev/full", path);
}
void MakeFolder(const std::string& path) {
  fs::remove(path);
  fs::create_directory(path);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetsFailure,
    ::testing::Values(
        SheetsFailureCase{"FullDiskUnderThePdf", [](const std::string& f) { LinkToFullDisk(f + "/pic.pdf"); },
                          "EInOutError", 101, "ディスクがいっぱいです"},
        SheetsFailureCase{"FolderInPlaceOfThePdf", [](const std::string& f) { MakeFolder(f + "/pic.pdf"); },
                          "EInOutError", 5, "ファイルへのアクセスが拒否されました"},
        SheetsFailureCase{"FolderInPlaceOfTheBitmap",
                          [](const std::string& f) { MakeFolder(f + "/pic.bmp"); }, "EFCreateError", 0,
                          "ファイル <folder>/pic.bmp を作成できません"},
        SheetsFailureCase{"StoppedBeforeTheFirstPage", [](const std::string&) {}, "EAbort", 0, "", 0},
        SheetsFailureCase{"StoppedHalfway", [](const std::string&) {}, "EAbort", 0, "", 1}),
    [](const ::testing::TestParamInfo<SheetsFailureCase>& info) { return info.param.name; });

TEST_F(SheetsPdf, TooManyPagesAreRefusedBeforeAnyFileIsTouched) {
  FillGrid(grid_, 400, 300);
  settings_.blocks = {1, 1};
  try {
    Save();
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "PDF のページが多すぎます (120002 ページ)");
  }
  EXPECT_TRUE(fs::is_empty(fs::path(folder_ / "pic.txt").parent_path()));
}

}  // namespace
}  // namespace mozenta
