// Failures of the three output files on the real file system. The tests run as root, so access is refused
// by cases root cannot override (a folder in the file's place, sysfs) rather than by file modes.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include "mosaic/block_walk.h"
#include "mosaic/chart_labels.h"
#include "mosaic/chart_writer.h"
#include "mosaic/io_error.h"
#include "mosaic/mosaic_bitmap_file.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/output_names.h"
#include "mosaic/save_mosaic.h"
#include "output_test_support.h"

namespace mozenta {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;
using testing::RecordingGauge;
using testing::ScratchFolder;

int OpenDescriptors() {
  return static_cast<int>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

struct ErrnoCase {
  int errnum;
  int code;
  const char* message;
};
void PrintTo(const ErrnoCase& c, std::ostream* os) {
  *os << strerrorname_np(c.errnum);
}

class ErrnoMapping : public ::testing::TestWithParam<ErrnoCase> {};

TEST_P(ErrnoMapping, GivesTheRunTimeCodeAndMessage) {
  const ErrnoCase& c = GetParam();
  const EInOutError error = InOutErrorFromErrno(c.errnum);
  EXPECT_EQ(error.Code(), c.code);
  EXPECT_EQ(error.Message(), c.message);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ErrnoMapping,
    ::testing::Values(ErrnoCase{ENOENT, 3, "不正なファイル名です"},
                      ErrnoCase{ENOTDIR, 3, "不正なファイル名です"},
                      ErrnoCase{EACCES, 5, "ファイルへのアクセスが拒否されました"},
                      ErrnoCase{EPERM, 5, "ファイルへのアクセスが拒否されました"},
                      ErrnoCase{EROFS, 5, "ファイルへのアクセスが拒否されました"},
                      ErrnoCase{EISDIR, 5, "ファイルへのアクセスが拒否されました"},
                      ErrnoCase{EMFILE, 4, "オープンしたファイルが多すぎます"},
                      ErrnoCase{ENFILE, 4, "オープンしたファイルが多すぎます"},
                      ErrnoCase{ENOSPC, 101, "ディスクがいっぱいです"},
                      ErrnoCase{EDQUOT, 101, "ディスクがいっぱいです"},
                      // Unmapped numbers keep their own, even one that equals a code of the table.
                      ErrnoCase{EIO, EIO, "I/O エラー (5)"}, ErrnoCase{ETXTBSY, ETXTBSY, "I/O エラー (26)"},
                      ErrnoCase{ENAMETOOLONG, ENAMETOOLONG, "I/O エラー (36)"}),
    [](const auto& info) { return std::string(strerrorname_np(info.param.errnum)); });

// A report that fails: the error, and what is left on disk.
struct ReportFailureCase {
  const char* name;
  std::function<void(const ScratchFolder&)> prepare;  // sets up the folder for a chart named "out/pic.txt"
  const char* chart;                                  // the chart name given, relative to the folder
  int code;
  const char* message;
  bool chartExists, countsExists;  // afterwards, as a file, a folder or a link
  bool chartEmpty;
};
void PrintTo(const ReportFailureCase& c, std::ostream* os) {
  *os << c.name;
}

void MakeFolder(const std::string& path) {
  fs::create_directories(path);
}

const ReportFailureCase kReportFailures[] = {
    {"MissingFolder", [](const ScratchFolder&) {}, "missing/pic.txt", 3, "不正なファイル名です", false, false,
     false},
    {"FileInThePath", [](const ScratchFolder& f) { testing::WriteWholeFile(f / "plain", "x"); },
     "plain/pic.txt", 3, "不正なファイル名です", false, false, false},
    {"FolderInPlaceOfTheChart", [](const ScratchFolder& f) { MakeFolder(f / "pic.txt"); }, "pic.txt", 5,
     "ファイルへのアクセスが拒否されました", true, false, false},
    {"FolderInPlaceOfTheCounts", [](const ScratchFolder& f) { MakeFolder(f / "pic.csv"); }, "pic.txt", 5,
     "ファイルへのアクセスが拒否されました", true, true, true},
    {"FullDiskUnderTheChart", [](const ScratchFolder& f) { fs::create_symlink("/dev/full", f / "pic.txt"); },
     "pic.txt", 101, "ディスクがいっぱいです", true, true, false},
    {"PipeNobodyReadsInPlaceOfTheChart",
     [](const ScratchFolder& f) { ::mkfifo((f / "pic.txt").c_str(), 0600); }, "pic.txt", ENXIO,
     "I/O エラー (6)", true, false, false},
    {"FullDiskUnderTheCounts", [](const ScratchFolder& f) { fs::create_symlink("/dev/full", f / "pic.csv"); },
     "pic.txt", 101, "ディスクがいっぱいです", true, true, false},
};

class ReportFailure : public ::testing::TestWithParam<ReportFailureCase> {};

TEST_P(ReportFailure, ThrowsTheMappedErrorHidesTheGaugeAndClosesBothFiles) {
  const ReportFailureCase& c = GetParam();
  ScratchFolder folder;
  c.prepare(folder);
  // About 100 KB of chart: a full disk shows while the blocks are written, not only at the close.
  MosaicGrid grid;
  testing::SetGrid(grid, std::vector<std::vector<int>>(200, std::vector<int>(250, 3)));
  const int descriptors = OpenDescriptors();
  RecordingGauge gauge;
  try {
    WriteReports(folder / c.chart, grid, ReportSettings{{4, 3}, BlockOrder::kByColumns}, gauge);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Code(), c.code);
    EXPECT_EQ(e.Message(), c.message);
  }
  EXPECT_FALSE(gauge.visible);
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(fs::exists(folder / c.chart), c.chartExists);
  EXPECT_EQ(fs::exists(ReplaceFileExtension(folder / c.chart, ".csv")), c.countsExists);
  if (c.chartEmpty) {
    EXPECT_EQ(ReadWholeFile(folder / c.chart), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportFailure, ::testing::ValuesIn(kReportFailures),
                         [](const auto& info) { return info.param.name; });

// A full disk under the chart while its cell lines come from either kernel (blocks of the default size,
// wide enough for the vector kernel): the same error, and the file closed.
struct CellKernelCase {
  const char* name;
  chart_internal::LabelRowsKernel kernel;  // nullptr: the portable code
};
void PrintTo(const CellKernelCase& c, std::ostream* os) {
  *os << c.name;
}

class ReportFailureByKernel : public ::testing::TestWithParam<CellKernelCase> {};

TEST_P(ReportFailureByKernel, FullDiskUnderTheChartEndsTheChartCleanly) {
  ScratchFolder folder;
  fs::create_symlink("/dev/full", folder / "pic.txt");
  MosaicGrid grid;
  testing::SetGrid(grid, std::vector<std::vector<int>>(300, std::vector<int>(250, 6)));
  const int descriptors = OpenDescriptors();
  try {
    const ReportSettings settings;
    const report_text::ReportLabels labels(settings.labels);
    ReportFile chart(folder / "pic.txt", 64 << 10);
    ChartWriter writer(chart, labels, GetParam().kernel);
    SilentGauge gauge;
    ForEachBlock(grid, LayOutBlocks(grid, settings.blocks, settings.order), {&writer}, gauge);
    chart.Close();
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Code(), 101);
    EXPECT_EQ(e.Message(), "ディスクがいっぱいです");
  }
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

INSTANTIATE_TEST_SUITE_P(Kernels, ReportFailureByKernel,
                         ::testing::Values(CellKernelCase{"Portable", nullptr},
                                           CellKernelCase{"Chosen", chart_internal::ChosenLabelRowsKernel()}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReportFailure, NewFileInSysfsIsRefusedEvenToRoot) {
  if (!fs::is_directory("/sys/kernel")) GTEST_SKIP() << "no sysfs";
  SilentGauge gauge;
  MosaicGrid grid;
  testing::SetGrid(grid, {{1}});
  try {
    WriteReports("/sys/kernel/mozenta-report.txt", grid, ReportSettings{}, gauge);
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Code(), 5);
    EXPECT_EQ(e.Message(), "ファイルへのアクセスが拒否されました");
  }
}

TEST(BitmapFileFailure, UncreatableFileNamesItself) {
  ScratchFolder folder;
  const std::string name = folder / "missing/pic.bmp";
  try {
    WriteMosaicBitmapFile(name, TBitmap());
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "ファイル " + name + " を作成できません");
  }
}

TEST(BitmapFileFailure, FailedWriteIsAStreamErrorAndClosesTheFile) {
  ScratchFolder folder;
  fs::create_symlink("/dev/full", folder / "pic.bmp");
  TBitmap mosaic;
  mosaic.SetSize(3, 2);
  const int descriptors = OpenDescriptors();
  try {
    WriteMosaicBitmapFile(folder / "pic.bmp", mosaic);
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "ストリームへの書き込みエラー");
  }
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

// A save stops at the first failure; the bitmap file is written only after both reports are complete.
class SaveFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SetGrid(grid_, {{1, 2}, {3, 4}});
    mosaic_.SetSize(2, 2);
  }
  MosaicGrid grid_;
  ScratchFolder folder_;
  TBitmap mosaic_;
  SilentGauge gauge_;
};

TEST_F(SaveFailure, ZeroBlockSizeTouchesNoneOfTheThreeFiles) {
  testing::WriteWholeFile(folder_ / "pic.bmp", "old bitmap");
  EXPECT_THROW(SaveMosaic(folder_ / "pic.bmp", grid_, mosaic_, ReportSettings{{0, 100}}, gauge_), EDivByZero);
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.bmp"), "old bitmap");
  EXPECT_FALSE(fs::exists(folder_ / "pic.txt"));
  EXPECT_FALSE(fs::exists(folder_ / "pic.csv"));
}

TEST_F(SaveFailure, FailedReportLeavesTheBitmapUnwritten) {
  MakeFolder(folder_ / "pic.csv");
  EXPECT_THROW(
      SaveMosaic(folder_ / "pic", grid_, mosaic_, ReportSettings{{}, BlockOrder::kByColumns}, gauge_),
      EInOutError);
  EXPECT_FALSE(fs::exists(folder_ / "pic.bmp"));
}

TEST_F(SaveFailure, UncreatableBitmapComesAfterCompleteReports) {
  MakeFolder(folder_ / "pic.bmp");
  EXPECT_THROW(SaveMosaic(folder_ / "pic.txt", grid_, mosaic_, ReportSettings{}, gauge_), EFCreateError);
  EXPECT_EQ(ReadWholeFile(folder_ / "pic.csv").substr(0, 1), ",");
  EXPECT_NE(ReadWholeFile(folder_ / "pic.txt").find("\r\n   "), std::string::npos);
}

}  // namespace
}  // namespace mozenta
