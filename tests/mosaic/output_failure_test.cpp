// Failures of the save on the real file system. The tests run as root, so access is refused by cases root
// cannot override (a folder in the file's place, sysfs, a read-only mount) rather than by file modes.
#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>

#include "mosaic/block_walk.h"
#include "mosaic/chart_labels.h"
#include "mosaic/chart_writer.h"
#include "mosaic/io_error.h"
#include "mosaic/mosaic_bitmap_file.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/output_names.h"
#include "mosaic/output_set.h"
#include "mosaic/save_mosaic.h"
#include "output_test_support.h"

namespace mozenta {
namespace {

namespace fs = std::filesystem;
using testing::ReadWholeFile;
using testing::RecordingGauge;
using testing::ScratchFolder;
using testing::Snapshot;

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

// A folder with the files of a good save of a small mosaic, "pic.txt", "pic.csv" and "pic.bmp", and a larger
// mosaic (about 100 KB of chart, so that a full disk shows while the blocks are written) to save over them.
class SavedFolder {
 public:
  explicit SavedFolder(const std::string& folder) {
    testing::SetGrid(small_, {{1, 2}, {3, 4}});
    testing::SetGrid(large_, std::vector<std::vector<int>>(200, std::vector<int>(250, 3)));
    SilentGauge gauge;
    SaveMosaic(folder + "/pic", small_, MosaicPixels(small_, Palette(), 24), ReportSettings{}, gauge);
  }
  void SaveLarge(const std::string& name, ProgressGauge& gauge) {
    SaveMosaic(name, large_, MosaicPixels(large_, Palette(), 32), ReportSettings{{4, 3}}, gauge);
  }

 private:
  MosaicGrid small_, large_;
};

// A save that fails after a good one: the error it gives, and the folder left exactly as it was found, the
// previous files byte for byte and no temporary.
struct SaveFailureCase {
  const char* name;
  std::function<void(const std::string&)> prepare;  // what goes wrong, made after the good save
  const char* chosen;                               // the name given to the failing save
  const char* kind;                                 // the class of the error
  int code;                                         // its run-time code, for EInOutError
  const char* message;                              // "<folder>" stands for the folder
};
void PrintTo(const SaveFailureCase& c, std::ostream* os) {
  *os << c.name;
}

void MakeFolder(const std::string& path) {
  fs::remove(path);
  fs::create_directories(path);
}

void LinkToFullDisk(const std::string& path) {
  fs::remove(path);
  fs::create_symlink("/dev/full", path);
}

const SaveFailureCase kSaveFailures[] = {
    {"MissingFolder", [](const std::string&) {}, "missing/pic", "EInOutError", 3, "不正なファイル名です"},
    {"FileInThePath", [](const std::string& f) { testing::WriteWholeFile(f + "/plain", "x"); }, "plain/pic",
     "EInOutError", 3, "不正なファイル名です"},
    {"FolderInPlaceOfTheChart", [](const std::string& f) { MakeFolder(f + "/pic.txt"); }, "pic",
     "EInOutError", 5, "ファイルへのアクセスが拒否されました"},
    {"FolderInPlaceOfTheCounts", [](const std::string& f) { MakeFolder(f + "/pic.csv"); }, "pic",
     "EInOutError", 5, "ファイルへのアクセスが拒否されました"},
    {"FolderInPlaceOfTheBitmap", [](const std::string& f) { MakeFolder(f + "/pic.bmp"); }, "pic.txt",
     "EFCreateError", 0, "ファイル <folder>/pic.bmp を作成できません"},
    {"FullDiskUnderTheChart", [](const std::string& f) { LinkToFullDisk(f + "/pic.txt"); }, "pic",
     "EInOutError", 101, "ディスクがいっぱいです"},
    {"FullDiskUnderTheCounts", [](const std::string& f) { LinkToFullDisk(f + "/pic.csv"); }, "pic",
     "EInOutError", 101, "ディスクがいっぱいです"},
    {"FullDiskUnderTheBitmap", [](const std::string& f) { LinkToFullDisk(f + "/pic.bmp"); }, "pic",
     "EWriteError", 0, "ストリームへの書き込みエラー"},
    {"PipeNobodyReadsInPlaceOfTheChart",
     [](const std::string& f) {
       fs::remove(f + "/pic.txt");
       ::mkfifo((f + "/pic.txt").c_str(), 0600);
     },
     "pic", "EInOutError", ENXIO, "I/O エラー (6)"},
};

void ExpectError(const std::function<void()>& save, const SaveFailureCase& c, const std::string& folder) {
  std::string message = c.message;
  if (const std::size_t at = message.find("<folder>"); at != std::string::npos) {
    message.replace(at, 8, folder);
  }
  try {
    save();
    FAIL() << "no error";
  } catch (const EInOutError& e) {
    EXPECT_STREQ(c.kind, "EInOutError");
    EXPECT_EQ(e.Code(), c.code);
    EXPECT_EQ(e.Message(), message);
  } catch (const EFCreateError& e) {
    EXPECT_STREQ(c.kind, "EFCreateError");
    EXPECT_EQ(e.Message(), message);
  } catch (const EWriteError& e) {
    EXPECT_STREQ(c.kind, "EWriteError");
    EXPECT_EQ(e.Message(), message);
  }
}

void ExpectFailedSaveLeavesTheFolderAsItWas(const SaveFailureCase& c, const std::string& folder) {
  SavedFolder saved(folder);
  c.prepare(folder);
  const auto before = Snapshot(folder);
  const int descriptors = OpenDescriptors();
  RecordingGauge gauge;
  ExpectError([&] { saved.SaveLarge(folder + "/" + c.chosen, gauge); }, c, folder);
  EXPECT_FALSE(gauge.visible);
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(Snapshot(folder), before);
}

class SaveFailure : public ::testing::TestWithParam<SaveFailureCase> {};

TEST_P(SaveFailure, GivesTheClassicErrorAndLeavesEveryFileAsItWas) {
  ScratchFolder folder;
  ExpectFailedSaveLeavesTheFolderAsItWas(GetParam(), folder.Path());
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveFailure, ::testing::ValuesIn(kSaveFailures),
                         [](const auto& info) { return info.param.name; });

// The same on a file system of 64 KB of the test's own, mounted over the scratch folder in a private mount
// namespace: only where the tests run as root and mounting works, skipped with a message otherwise.
class SaveFailureOnSmallFileSystem : public ::testing::TestWithParam<SaveFailureCase> {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      GTEST_SKIP() << "no private mount namespace: " << std::strerror(errno);
    }
    if (::mount("tmpfs", folder_.Path().c_str(), "tmpfs", 0, "size=64k") != 0) {
      GTEST_SKIP() << "cannot mount a tmpfs: " << std::strerror(errno);
    }
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount2(folder_.Path().c_str(), MNT_DETACH);
  }

  static std::uint64_t FreeBlocks(const std::string& folder) {
    struct statvfs space {};
    ::statvfs(folder.c_str(), &space);
    return space.f_bfree;
  }

  ScratchFolder folder_;
  bool mounted_ = false;
};

TEST_P(SaveFailureOnSmallFileSystem, GivesTheClassicErrorLeavesEveryFileAndFreesItsSpace) {
  const std::uint64_t freeBefore = FreeBlocks(folder_.Path());
  ExpectFailedSaveLeavesTheFolderAsItWas(GetParam(), folder_.Path());
  EXPECT_EQ(FreeBlocks(folder_.Path()), freeBefore - 3) << "the three files of the good save, a block each";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveFailureOnSmallFileSystem,
    ::testing::Values(SaveFailureCase{"FullAfterAGoodSave", [](const std::string&) {}, "pic", "EInOutError",
                                      101, "ディスクがいっぱいです"},
                      SaveFailureCase{"ReadOnly",
                                      [](const std::string& f) {
                                        ::mount(nullptr, f.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr);
                                      },
                                      "pic", "EInOutError", 5, "ファイルへのアクセスが拒否されました"}),
    [](const auto& info) { return info.param.name; });

// A save killed while it writes a large mosaic (a child process, SIGKILL once a temporary holds some
// megabytes): the previous files are intact; what remains beside them is temporaries, never a final name.
TEST(SaveKilled, HalfwayLeavesThePreviousFilesIntact) {
  ScratchFolder folder;
  { SavedFolder saved(folder.Path()); }
  const auto before = Snapshot(folder.Path());
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    MosaicGrid grid;
    grid.SetLimits(kMaxMosaicColumns - 1, kMaxMosaicRows - 1);
    for (std::size_t i = 0; i < MosaicGrid::kCells; ++i)
      grid.Cells()[i] = static_cast<std::uint8_t>(i % 7);
    try {
      SilentGauge gauge;
      SaveMosaic(folder / "pic", grid, MosaicPixels(grid, Palette(), 32), ReportSettings{}, gauge);
    } catch (...) {
      ::_exit(2);
    }
    ::_exit(0);
  }
  bool writing = false;
  int status = 0;
  for (int wait = 0; wait < 30000 && !writing && ::waitpid(child, &status, WNOHANG) == 0; ++wait) {
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
      std::error_code ignored;
      const std::string name = entry.path().filename().string();
      writing = writing || (name.starts_with(".pic.") && fs::file_size(entry.path(), ignored) >= (8u << 20));
    }
    ::usleep(1000);
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(writing) << "no temporary grew";
  EXPECT_TRUE(WIFSIGNALED(status));
  for (const auto& [name, bytes] : before)
    EXPECT_EQ(ReadWholeFile(folder / name), bytes) << name;
  for (const auto& entry : fs::directory_iterator(folder.Path())) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(before.contains(name) || name.starts_with(".pic.")) << name;
  }
}

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
    OutputSet outputs;
    AtomicFile& file = outputs.Add();
    ASSERT_EQ(file.Create(folder / "pic.txt"), 0);
    BufferedOutput chart(file, 64 << 10, [](int e) { throw InOutErrorFromErrno(e); });
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

TEST(SaveFailure, ZeroBlockSizeTouchesNoneOfTheThreeFiles) {
  ScratchFolder folder;
  SavedFolder saved(folder.Path());
  const auto before = Snapshot(folder.Path());
  MosaicGrid grid;
  testing::SetGrid(grid, {{1}});
  SilentGauge gauge;
  EXPECT_THROW(SaveMosaic(folder / "pic.bmp", grid, MosaicPixels(grid, Palette(), 32),
                          ReportSettings{{0, 100}}, gauge),
               EDivByZero);
  EXPECT_EQ(Snapshot(folder.Path()), before);
}

}  // namespace
}  // namespace mozenta
