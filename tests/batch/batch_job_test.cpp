#include "batch/batch_job.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/jpeg_encoder.h"

namespace mozenta {
namespace {

namespace fs = std::filesystem;

const fs::path kGolden = fs::path(MOZENTA_TEST_DATA_DIR) / "golden";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// A 24-bit bottom-up BMP of one pixel.
std::string OnePixelBmp(int r, int g, int b) {
  std::string bmp = ReadFile(kGolden / "worked-example.bmp").substr(0, 54);
  auto put32 = [&](int offset, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
      bmp[offset + i] = static_cast<char>(v >> (8 * i));
  };
  put32(2, 58);
  put32(18, 1);
  put32(22, 1);
  put32(34, 4);
  bmp += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r), '\0'};
  return bmp;
}

class BatchJob : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("mozenta-batch-" + std::to_string(getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  int Run(std::vector<std::string> arguments) {
    std::ostringstream out, err;
    const int status = RunBatch(arguments, out, err, false);
    out_ = out.str();
    err_ = err.str();
    return status;
  }
  std::string Output(const char* extension) const {
    return ReadFile(folder_ / (std::string("out") + extension));
  }
  std::string OutName() const { return (folder_ / "out").string(); }

  fs::path folder_;
  std::string out_, err_;
};

struct GoldenCase {
  const char* name;
  std::vector<std::string> options;
  const char* chart;
  const char* counts;
  const char* mosaic;
};
void PrintTo(const GoldenCase& c, std::ostream* os) {
  *os << c.name;
}

class BatchGolden : public BatchJob, public ::testing::WithParamInterface<GoldenCase> {};

// The worked example's 5 × 3 picture in 2 × 2 blocks: the three files byte for byte, both block orders,
// every depth of the mosaic file.
TEST_P(BatchGolden, WritesTheGoldenFiles) {
  const GoldenCase& c = GetParam();
  std::vector<std::string> arguments = {"--block-width", "2", "--block-height", "2"};
  arguments.insert(arguments.end(), c.options.begin(), c.options.end());
  arguments.push_back((kGolden / "worked-example.bmp").string());
  arguments.push_back(OutName());
  ASSERT_EQ(Run(arguments), kExitSuccess) << err_;
  EXPECT_EQ(out_, "");
  EXPECT_EQ(err_, "");
  EXPECT_EQ(Output(".txt"), ReadFile(kGolden / c.chart));
  EXPECT_EQ(Output(".csv"), ReadFile(kGolden / c.counts));
  EXPECT_EQ(Output(".bmp"), ReadFile(kGolden / c.mosaic));
  // The printable sheets come only when asked for, and change none of the three files.
  const bool sheets = std::find(c.options.begin(), c.options.end(), "--pdf") != c.options.end();
  EXPECT_EQ(fs::exists(folder_ / "out.pdf"), sheets);
  if (sheets) {
    EXPECT_EQ(Output(".pdf").substr(0, 5), "%PDF-");
  }
}

INSTANTIATE_TEST_SUITE_P(WorkedExample, BatchGolden,
                         ::testing::Values(GoldenCase{"ByRows32",
                                                      {},
                                                      "worked-example-rows.txt",
                                                      "worked-example-rows.csv",
                                                      "worked-example-mosaic32.bmp"},
                                           GoldenCase{"ByColumns24",
                                                      {"--by-columns", "--bpp", "24"},
                                                      "worked-example-columns.txt",
                                                      "worked-example-columns.csv",
                                                      "worked-example-mosaic24.bmp"},
                                           GoldenCase{"ByRows16",
                                                      {"--bpp=16"},
                                                      "worked-example-rows.txt",
                                                      "worked-example-rows.csv",
                                                      "worked-example-mosaic16.bmp"},
                                           // The classic choices spelt out, and a stock that suffices.
                                           GoldenCase{"ClassicChoicesAndEnoughStock",
                                                      {"--match", "classic", "--diffusion=classic", "--stock",
                                                       "0=15", "--stock=7=1000000"},
                                                      "worked-example-rows.txt",
                                                      "worked-example-rows.csv",
                                                      "worked-example-mosaic32.bmp"},
                                           GoldenCase{"ByColumns24WithSheets",
                                                      {"--by-columns", "--bpp", "24", "--pdf", "--page", "a3",
                                                       "--symbols"},
                                                      "worked-example-columns.txt",
                                                      "worked-example-columns.csv",
                                                      "worked-example-mosaic24.bmp"}),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) { return info.param.name; });

TEST_F(BatchJob, RecolouredEntryKeepsTheTopFourBitsOfEachChannel) {
  WriteFile(folder_ / "in.bmp", OnePixelBmp(204, 102, 51));
  ASSERT_EQ(Run({"--color", "3=200,100,50", "--block-width=1", "--block-height=1",
                 (folder_ / "in.bmp").string(), OutName()}),
            kExitSuccess)
      << err_;
  // Entry 3 became 12, 6, 3 and paints 204, 102, 51 exactly: blue, green, red, 0.
  EXPECT_EQ(Output(".bmp").substr(54), std::string("\x33\x66\xCC\x00", 4));
  EXPECT_NE(Output(".txt").find("\x8E\x87\r\n"), std::string::npos);  // the one cell line reads "紫"
}

TEST_F(BatchJob, DisabledEntriesLeaveOnlyBlackAndLabelsAreShiftJis) {
  ASSERT_EQ(Run({"--disable", "0,1,2,3,4,5,6,7", "--label", "0=くろ", "--block-width", "5", "--block-height",
                 "3", (kGolden / "worked-example.bmp").string(), OutName()}),
            kExitSuccess)
      << err_;
  const std::string kuro = "\x82\xAD\x82\xEB";  // "くろ"
  const std::string chart = Output(".txt");
  EXPECT_NE(chart.find("\r\n" + kuro + kuro + kuro + kuro + kuro + "\r\n"), std::string::npos);
  EXPECT_NE(chart.find("   " + kuro + "=15"), std::string::npos);
  const std::string bmp = Output(".bmp");
  EXPECT_EQ(bmp.substr(54), std::string(bmp.size() - 54, '\0'));
  EXPECT_EQ(Output(".csv").substr(0, 5), "," + kuro);
}

// A palette file, then a colour and a label over it; the palette in force saved as well; the perceptual
// match choosing blue where the classic one chooses black; a shortfall on stderr with the job's status.
TEST_F(BatchJob, PaletteFilesPerceptualMatchAndShortfall) {
  WriteFile(folder_ / "in.bmp", OnePixelBmp(0, 0, 102));
  WriteFile(folder_ / "in.gpl", "GIMP Palette\nName: two\n0 0 0 くろ\n0 0 255 あお\n");
  ASSERT_EQ(Run({"--palette",
                 (folder_ / "in.gpl").string(),
                 "--color",
                 "2=200,100,50",
                 "--label",
                 "1=青紙",
                 "--save-palette",
                 (folder_ / "out.gpl").string(),
                 "--match",
                 "perceptual",
                 "--diffusion",
                 "none",
                 "--serpentine",
                 "--stock",
                 "0=0",
                 "--stock",
                 "1=0",
                 "--block-width=1",
                 "--block-height=1",
                 (folder_ / "in.bmp").string(),
                 OutName()}),
            kExitSuccess)
      << err_;
  EXPECT_EQ(err_, "不足: 青紙 1枚\n");
  EXPECT_EQ(Output(".bmp").substr(54), std::string("\xFF\x00\x00\x00", 4));
  EXPECT_NE(Output(".txt").find("\x90\xC2\x8E\x86=1"), std::string::npos);  // "青紙=1"
  EXPECT_EQ(ReadFile(folder_ / "out.gpl"),
            "GIMP Palette\nName: out\nColumns: 8\n#\n  0   0   0\tくろ\n  0   0 255\t青紙\n204 102  51\t赤\n"
            "255   0 255\t紫\n  0 136   0\t緑\n  0 136 255\t水\n255 255   0\t黄\n255 255 255\t白\n");
}

// A job's project gives the same files again, from another folder too, and options given with it override
// its settings: the worked example's golden files in both orders and two depths.
TEST_F(BatchJob, SavedProjectGivesTheSameFilesAndOptionsOverrideIt) {
  fs::create_directories(folder_ / "stand" / "pictures");
  fs::copy_file(kGolden / "worked-example.bmp", folder_ / "stand" / "pictures" / "in.bmp");
  const std::string project = (folder_ / "stand" / "p.mozenta").string();
  ASSERT_EQ(Run({"--save-project", project, "--block-width", "2", "--block-height=2", "--by-columns", "--bpp",
                 "24", (folder_ / "stand" / "pictures" / "in.bmp").string(), (folder_ / "first").string()}),
            kExitSuccess)
      << err_;
  EXPECT_NE(ReadFile(project).find("\"path\": \"pictures/in.bmp\""), std::string::npos);
  fs::rename(folder_ / "stand", folder_ / "moved");
  ASSERT_EQ(Run({"--project", (folder_ / "moved" / "p.mozenta").string(), OutName()}), kExitSuccess) << err_;
  EXPECT_EQ(Output(".txt"), ReadFile(kGolden / "worked-example-columns.txt"));
  EXPECT_EQ(Output(".csv"), ReadFile(kGolden / "worked-example-columns.csv"));
  EXPECT_EQ(Output(".bmp"), ReadFile(kGolden / "worked-example-mosaic24.bmp"));
  ASSERT_EQ(Run({"--bpp", "16", "--project", (folder_ / "moved" / "p.mozenta").string(), OutName()}),
            kExitSuccess)
      << err_;
  EXPECT_EQ(Output(".txt"), ReadFile(kGolden / "worked-example-columns.txt"));
  EXPECT_EQ(Output(".bmp"), ReadFile(kGolden / "worked-example-mosaic16.bmp"));

  // A fitted job comes back fitted.
  const std::string fitted = (folder_ / "moved" / "fitted.mozenta").string();
  ASSERT_EQ(Run({"--save-project", fitted, "--size", "12x6", "--fit", "contain", "--margin", "0",
                 (folder_ / "moved" / "pictures" / "in.bmp").string(), (folder_ / "fitted").string()}),
            kExitSuccess)
      << err_;
  ASSERT_EQ(Run({"--project", fitted, OutName()}), kExitSuccess) << err_;
  EXPECT_EQ(Output(".txt"), ReadFile(folder_ / "fitted.txt"));
  EXPECT_EQ(Output(".bmp"), ReadFile(folder_ / "fitted.bmp"));
  EXPECT_EQ(Output(".bmp").size(), 54u + 12 * 6 * 4) << "12 x 6 cells of 32 bits";

  // A picture changed since: the job stops before writing anything.
  std::ofstream(folder_ / "moved" / "pictures" / "in.bmp", std::ios::app) << "x";
  EXPECT_EQ(Run({"--project", (folder_ / "moved" / "p.mozenta").string(), (folder_ / "late").string()}),
            kExitFailure);
  EXPECT_EQ(err_, "画像 " + (folder_ / "moved" / "pictures" / "in.bmp").string() +
                      " が見つからないか、保存した後に変更されています.\n");
  EXPECT_FALSE(fs::exists(folder_ / "late.txt"));
}

struct FailureCase {
  const char* name;
  std::string picture;  // relative to the test folder unless absolute
  std::vector<std::string> options;
  std::string message;  // with "%s" standing for the picture's full name
  bool outputFolderMissing = false;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
  *os << c.name;
}

class BatchFailures : public BatchJob, public ::testing::WithParamInterface<FailureCase> {};

// A failing job prints the error box's text and leaves files as the program would.
TEST_P(BatchFailures, PrintTheMessageAndWriteNothing) {
  const FailureCase& c = GetParam();
  WriteFile(folder_ / "bad.bmp", "PK\x03\x04 not a bitmap at all");
  WriteFile(folder_ / "bad.png", "PK\x03\x04 not a PNG either");
  WriteFile(folder_ / "out.bmp", "old bitmap");
  const std::string picture = c.picture.front() == '/' ? c.picture : (folder_ / c.picture).string();
  WriteFile(folder_ / "bad.gpl", "GIMP Palette\n\n0 0 0\n1 2\n");
  std::vector<std::string> arguments = c.options;
  for (std::string& option : arguments) {
    if (option.starts_with('@')) option = (folder_ / option.substr(1)).string();  // a file of the folder
  }
  arguments.push_back(picture);
  arguments.push_back(c.outputFolderMissing ? (folder_ / "no-such-folder" / "out").string() : OutName());
  EXPECT_EQ(Run(arguments), kExitFailure);
  std::string message = c.message;
  if (const auto at = message.find("%s"); at != std::string::npos) message.replace(at, 2, picture);
  EXPECT_EQ(err_, message + "\n");
  EXPECT_FALSE(fs::exists(folder_ / "out.txt"));
  EXPECT_FALSE(fs::exists(folder_ / "out.csv"));
  EXPECT_EQ(Output(".bmp"), "old bitmap");
  EXPECT_FALSE(fs::exists(folder_ / "out.gpl"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchFailures,
    ::testing::Values(
        FailureCase{"UnknownExtension", "photo.PCX", {}, "拡張子 .PCX の画像形式は処理できません."},
        FailureCase{"MissingFile", "missing.bmp", {}, "ファイル %s は開けません."},
        FailureCase{"BadBitmap", "bad.bmp", {}, "ビットマップイメージが不正です."},
        FailureCase{"BadPng", "bad.png", {}, "PNG イメージが不正です."},
        FailureCase{"BlockWidthZero",
                    (kGolden / "worked-example.bmp").string(),
                    {"--block-width", "0"},
                    "ゼロによる除算."},
        FailureCase{"MalformedPaletteFile",
                    (kGolden / "worked-example.bmp").string(),
                    {"--palette", "@bad.gpl", "--save-palette", "@out.gpl"},
                    "パレットファイルの 4 行目が不正です."},
        FailureCase{"OutputFolderMissing",
                    (kGolden / "worked-example.bmp").string(),
                    {},
                    "不正なファイル名です.",
                    true}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(BatchJob, UsageErrorsTouchNoFile) {
  EXPECT_EQ(Run({"--block-width", "641", (kGolden / "worked-example.bmp").string(), OutName()}), kExitUsage);
  EXPECT_NE(err_.find("--block-width"), std::string::npos);
  EXPECT_TRUE(fs::is_empty(folder_));
}

// Width and height of a mosaic bitmap file.
std::pair<int, int> BmpSize(const std::string& bmp) {
  const auto s32 = [&](int offset) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
      v = (v << 8) | static_cast<std::uint8_t>(bmp[offset + i]);
    return static_cast<int>(v);
  };
  return {s32(18), s32(22)};
}

TEST_F(BatchJob, SizeFitsThePictureAndOrientationTurnsItUnlessKept) {
  // The 5 × 3 worked example in 12 × 6 sheets: 10 × 6 of picture between black columns.
  ASSERT_EQ(Run({"--size", "12x6", "--fit", "contain", "--margin", "0", "--bpp", "24",
                 (kGolden / "worked-example.bmp").string(), OutName()}),
            kExitSuccess)
      << err_;
  const std::string bmp = Output(".bmp");
  ASSERT_EQ(BmpSize(bmp), std::make_pair(12, 6));
  for (int row = 0; row < 6; ++row) {
    const std::size_t start = 54 + static_cast<std::size_t>(row) * 36;
    EXPECT_EQ(bmp.substr(start, 3), std::string(3, '\0')) << "left margin, row " << row;
    EXPECT_EQ(bmp.substr(start + 33, 3), std::string(3, '\0')) << "right margin, row " << row;
    EXPECT_NE(bmp.substr(start + 3, 30), std::string(30, '\0')) << "picture, row " << row;
  }

  // A photo taken with the camera on its side: 4 × 2 as stored, 2 × 4 upright.
  WriteFile(folder_ / "side.jpg", [] {
    const std::vector<std::uint8_t> jpeg =
        testing::EncodeJpeg({4, 2, testing::JpegKind::kYCbCr, 90, false, 6});
    return std::string(jpeg.begin(), jpeg.end());
  }());
  ASSERT_EQ(Run({(folder_ / "side.jpg").string(), OutName()}), kExitSuccess) << err_;
  EXPECT_EQ(BmpSize(Output(".bmp")), std::make_pair(2, 4));
  ASSERT_EQ(Run({"--keep-orientation", (folder_ / "side.jpg").string(), OutName()}), kExitSuccess) << err_;
  EXPECT_EQ(BmpSize(Output(".bmp")), std::make_pair(4, 2));
}

struct DecoderCase {
  const char* name;
  const char* jpeg;
  const char* djpegOptions;
  std::vector<std::string> options = {};  // the same for both jobs
};
void PrintTo(const DecoderCase& c, std::ostream* os) {
  *os << c.name;
}

class BatchJpeg : public BatchJob, public ::testing::WithParamInterface<DecoderCase> {};

// A JPEG gives the same three files as the library's own decoder's BMP of it, decoded with the same
// settings, does, whichever kernel follows the decoder.
TEST_P(BatchJpeg, GivesTheFilesOfTheLibraryDecodersBitmap) {
  if (std::system("command -v djpeg >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "djpeg (libjpeg-turbo-progs) is absent";
  const DecoderCase& c = GetParam();
  const std::string jpeg = (fs::path(MOZENTA_TEST_DATA_DIR) / "jpeg" / c.jpeg).string();
  const fs::path decoded = folder_ / "decoded.bmp";
  const std::string djpeg = std::string("djpeg -dct float ") + c.djpegOptions + " -bmp -outfile " +
                            decoded.string() + " " + jpeg + " 2>/dev/null";
  ASSERT_EQ(std::system(djpeg.c_str()), 0) << djpeg;
  auto arguments = [&](const std::string& picture, const std::string& name) {
    std::vector<std::string> all = {"--block-width", "16", "--block-height", "16"};
    all.insert(all.end(), c.options.begin(), c.options.end());
    all.insert(all.end(), {picture, name});
    return all;
  };
  ASSERT_EQ(Run(arguments(jpeg, OutName())), kExitSuccess) << err_;
  ASSERT_EQ(Run(arguments(decoded.string(), (folder_ / "ref").string())), kExitSuccess) << err_;
  for (const char* extension : {".txt", ".csv", ".bmp"}) {
    EXPECT_EQ(Output(extension), ReadFile(folder_ / (std::string("ref") + extension))) << extension;
  }
}

INSTANTIATE_TEST_SUITE_P(Pictures, BatchJpeg,
                         ::testing::Values(DecoderCase{"Colour", "pillow/hopper.jpg", ""},
                                           DecoderCase{"Grey", "pillow/hopper_gray.jpg", "-colors 236"},
                                           DecoderCase{"Progressive", "libjpeg-turbo/testimgp.jpg", ""},
                                           DecoderCase{"PerceptualSerpentineFloydSteinberg",
                                                       "pillow/hopper.jpg",
                                                       "",
                                                       {"--match=perceptual", "--diffusion=floyd-steinberg",
                                                        "--serpentine"}}),
                         [](const ::testing::TestParamInfo<DecoderCase>& info) { return info.param.name; });

// The real executable: its exit status and streams.
TEST_F(BatchJob, ExecutableExitsWithTheJobsStatus) {
  const std::string command = std::string(MOZENTA_BATCH_EXECUTABLE) + " " +
                              (kGolden / "worked-example.bmp").string() + " " + OutName() + " >" +
                              (folder_ / "stdout").string() + " 2>" + (folder_ / "stderr").string();
  EXPECT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadFile(folder_ / "stdout"), "");
  EXPECT_EQ(ReadFile(folder_ / "stderr"), "");
  EXPECT_EQ(Output(".bmp"), ReadFile(kGolden / "worked-example-mosaic32.bmp"));
  const std::string failing =
      std::string(MOZENTA_BATCH_EXECUTABLE) + " missing.gif " + OutName() + " 2>/dev/null";
  EXPECT_EQ(WEXITSTATUS(std::system(failing.c_str())), kExitFailure);
  const std::string usage = std::string(MOZENTA_BATCH_EXECUTABLE) + " --bogus 2>/dev/null";
  EXPECT_EQ(WEXITSTATUS(std::system(usage.c_str())), kExitUsage);
}

// Where a copy of the executable finds its modules.
enum class Modules { kNone, kBeside, kInstalled, kBroken };

struct ModuleCase {
  const char* name;
  Modules modules;
  std::vector<std::string> options;
  const char* failure;  // the message's start, "%s" for the module it names; nullptr: the job succeeds
  const char* module;
  const char* picture = nullptr;  // a file of the folder instead of the worked example
};
void PrintTo(const ModuleCase& c, std::ostream* os) {
  *os << c.name;
}

class BatchModules : public BatchJob, public ::testing::WithParamInterface<ModuleCase> {};

// libvips and cairo are loaded only for a job that needs them, from beside the program or from its library
// folder; one that cannot be had fails that job alone with a message, and touches no file.
TEST_P(BatchModules, LoadOnlyForTheJobsThatNeedThem) {
  const ModuleCase& c = GetParam();
  const fs::path bin = folder_ / "bin";
  const fs::path installed = (bin / MOZENTA_MODULE_DIR_FROM_PROGRAM).lexically_normal();
  fs::create_directories(bin);
  fs::create_directories(installed);
  fs::copy_file(MOZENTA_BATCH_EXECUTABLE, bin / "mozenta-batch");
  for (const char* module : {MOZENTA_VIPS_MODULE, MOZENTA_PDF_MODULE}) {
    const fs::path name = fs::path(module).filename();
    if (c.modules == Modules::kBeside) fs::create_symlink(module, bin / name);
    if (c.modules == Modules::kInstalled) fs::create_symlink(module, installed / name);
    if (c.modules == Modules::kBroken)
      WriteFile(bin / name,
                "\x7f"
                "ELF but nothing more");
  }
  WriteFile(folder_ / "out.bmp", "old bitmap");
  WriteFile(folder_ / "broken.png", "\x89PNG\r\n\x1a\n and no more");
  const auto runCopy = [&](const std::vector<std::string>& options, const fs::path& picture) {
    std::string command = (bin / "mozenta-batch").string();
    for (const std::string& option : options)
      command += " " + option;
    command += " " + picture.string() + " " + OutName() + " 2>" + (folder_ / "stderr").string();
    return WEXITSTATUS(std::system(command.c_str()));
  };

  // A job of our own readers at the picture's size needs neither module.
  ASSERT_EQ(runCopy({}, kGolden / "worked-example.bmp"), kExitSuccess) << ReadFile(folder_ / "stderr");
  EXPECT_EQ(Output(".bmp"), ReadFile(kGolden / "worked-example-mosaic32.bmp"));

  WriteFile(folder_ / "out.bmp", "old bitmap");
  fs::remove(folder_ / "out.txt");
  fs::remove(folder_ / "out.csv");
  const fs::path picture = c.picture != nullptr ? folder_ / c.picture : kGolden / "worked-example.bmp";
  const int status = runCopy(c.options, picture);
  const std::string err = ReadFile(folder_ / "stderr");
  if (c.failure == nullptr) {
    ASSERT_EQ(status, kExitSuccess) << err;
    const std::string bmp = Output(".bmp"), txt = Output(".txt");
    // The same files as the job run here, with the modules' code linked in.
    std::vector<std::string> arguments = c.options;
    arguments.push_back(picture.string());
    arguments.push_back(OutName());
    ASSERT_EQ(Run(arguments), kExitSuccess) << err_;
    EXPECT_EQ(bmp, Output(".bmp"));
    EXPECT_EQ(txt, Output(".txt"));
    return;
  }
  EXPECT_EQ(status, kExitFailure);
  // A broken module is named where it was found, a missing one where it belongs.
  std::string expected = c.failure;
  if (c.module != nullptr) {
    const fs::path named = (c.modules == Modules::kBroken ? bin : installed) / c.module;
    expected.replace(expected.find("%s"), 2, named.string());
  }
  EXPECT_TRUE(err.starts_with(expected)) << err;
  EXPECT_EQ(Output(".bmp"), "old bitmap");
  EXPECT_FALSE(fs::exists(folder_ / "out.txt"));
  EXPECT_FALSE(fs::exists(folder_ / "out.pdf"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchModules,
    ::testing::Values(
        ModuleCase{"FitBeside", Modules::kBeside, {"--size", "12x6"}, nullptr, nullptr},
        ModuleCase{"SheetsInstalled", Modules::kInstalled, {"--pdf"}, nullptr, nullptr},
        ModuleCase{
            "FitInstalled", Modules::kInstalled, {"--size", "4x2", "--fit", "stretch"}, nullptr, nullptr},
        // The decoder's own failure, from inside the module.
        ModuleCase{"BrokenPngBeside", Modules::kBeside, {}, "PNG イメージが不正です.", nullptr, "broken.png"},
        ModuleCase{"FitWithoutModule",
                   Modules::kNone,
                   {"--size", "12x6"},
                   "部品 %s が見つかりません.",
                   "mozenta-vips.so"},
        ModuleCase{
            "SheetsWithoutModule", Modules::kNone, {"--pdf"}, "部品 %s が見つかりません.", "mozenta-pdf.so"},
        ModuleCase{"FitWithBrokenModule",
                   Modules::kBroken,
                   {"--size", "12x6"},
                   "部品 %s を読み込めません (",
                   "mozenta-vips.so"},
        ModuleCase{"SheetsWithBrokenModule",
                   Modules::kBroken,
                   {"--pdf"},
                   "部品 %s を読み込めません (",
                   "mozenta-pdf.so"}),
    [](const ::testing::TestParamInfo<ModuleCase>& info) { return info.param.name; });

}  // namespace
}  // namespace mozenta
