#include "batch/batch_options.h"

#include <gtest/gtest.h>

namespace mozenta {
namespace {

TEST(ParseBatchOptions, DefaultsAreTheWindowsStartingSettings) {
  const BatchOptions options = ParseBatchOptions({"in.bmp", "out"});
  EXPECT_EQ(options.picture, "in.bmp");
  EXPECT_EQ(options.name, "out");
  EXPECT_EQ(options.blockWidth, 40);
  EXPECT_EQ(options.blockHeight, 100);
  EXPECT_FALSE(options.byColumns);
  EXPECT_EQ(options.bitsPerPixel, 32);
  EXPECT_TRUE(options.fit.keepSize);
  EXPECT_EQ(options.fit.mode, FitMode::kCover);
  EXPECT_EQ(options.fit.marginEntry, 7);
  EXPECT_FALSE(options.keepOrientation);
  EXPECT_FALSE(options.pdf);
  EXPECT_EQ(options.page, PageSize::kA4);
  EXPECT_FALSE(options.symbols);
  for (int i = 0; i < 8; ++i) {
    EXPECT_FALSE(options.colors[i]);
    EXPECT_FALSE(options.disabled[i]);
    EXPECT_FALSE(options.labels[i]);
    EXPECT_FALSE(options.stock[i]);
  }
  EXPECT_EQ(options.conversion, ConversionOptions{});
  EXPECT_EQ(options.paletteFile, "");
  EXPECT_EQ(options.savePaletteFile, "");
}

TEST(ParseBatchOptions, ReadsEveryOptionInBothForms) {
  const BatchOptions options = ParseBatchOptions({"--block-width",
                                                  "0",
                                                  "--block-height=480",
                                                  "in.jpg",
                                                  "--by-columns",
                                                  "--color",
                                                  "3=200,100,50",
                                                  "--disable=1,7",
                                                  "--label",
                                                  "0=くろ,=",
                                                  "--bpp",
                                                  "16",
                                                  "out",
                                                  "--timings",
                                                  "--match=perceptual",
                                                  "--diffusion",
                                                  "sierra-lite",
                                                  "--serpentine",
                                                  "--palette",
                                                  "a.gpl",
                                                  "--save-palette=b.gpl",
                                                  "--stock",
                                                  "0=12",
                                                  "--stock=7=2147483647",
                                                  "--size",
                                                  "2000X20000",
                                                  "--fit=contain",
                                                  "--margin",
                                                  "0",
                                                  "--keep-orientation",
                                                  "--pdf",
                                                  "--page=letter",
                                                  "--symbols"});
  EXPECT_EQ(options.blockWidth, 0);
  EXPECT_EQ(options.blockHeight, 480);
  EXPECT_TRUE(options.byColumns);
  ASSERT_TRUE(options.colors[3]);
  EXPECT_EQ(options.colors[3]->red, 200);
  EXPECT_EQ(options.colors[3]->green, 100);
  EXPECT_EQ(options.colors[3]->blue, 50);
  EXPECT_TRUE(options.disabled[1]);
  EXPECT_TRUE(options.disabled[7]);
  EXPECT_FALSE(options.disabled[0]);
  EXPECT_EQ(options.labels[0], "くろ,=");
  EXPECT_EQ(options.bitsPerPixel, 16);
  EXPECT_TRUE(options.timings);
  EXPECT_EQ(options.conversion, (ConversionOptions{ColorMatch::kPerceptual, Diffusion::kSierraLite, true}));
  EXPECT_EQ(options.paletteFile, "a.gpl");
  EXPECT_EQ(options.savePaletteFile, "b.gpl");
  EXPECT_EQ(options.stock[0], 12);
  EXPECT_EQ(options.stock[7], 2147483647);
  EXPECT_FALSE(options.stock[3]);
  EXPECT_FALSE(options.fit.keepSize);
  EXPECT_EQ(options.fit.width, 2000);
  EXPECT_EQ(options.fit.height, 20000);
  EXPECT_EQ(options.fit.mode, FitMode::kContain);
  EXPECT_EQ(options.fit.marginEntry, 0);
  EXPECT_TRUE(options.keepOrientation);
  EXPECT_TRUE(options.pdf);
  EXPECT_EQ(options.page, PageSize::kLetter);
  EXPECT_TRUE(options.symbols);
  EXPECT_EQ(options.picture, "in.jpg");
  EXPECT_EQ(options.name, "out");
}

// With a project the picture comes from it: one name only, and the options given are known as given.
TEST(ParseBatchOptions, ProjectTakesOneNameAndKnowsWhichOptionsWereGiven) {
  const BatchOptions options =
      ParseBatchOptions({"--project", "p.mozenta", "--bpp=16", "out", "--save-project", "q.mozenta"});
  EXPECT_EQ(options.project, "p.mozenta");
  EXPECT_EQ(options.saveProject, "q.mozenta");
  EXPECT_EQ(options.picture, "");
  EXPECT_EQ(options.name, "out");
  EXPECT_TRUE(options.Given("--bpp"));
  EXPECT_FALSE(options.Given("--block-width"));
}

TEST(ParseBatchOptions, DoubleDashEndsTheOptions) {
  const BatchOptions options = ParseBatchOptions({"--", "-in.bmp", "--out"});
  EXPECT_EQ(options.picture, "-in.bmp");
  EXPECT_EQ(options.name, "--out");
}

struct BadCommandLine {
  const char* name;
  std::vector<std::string> arguments;
};
void PrintTo(const BadCommandLine& c, std::ostream* os) {
  *os << c.name;
}

class RefusedCommandLines : public ::testing::TestWithParam<BadCommandLine> {};

TEST_P(RefusedCommandLines, AreUsageErrors) {
  EXPECT_THROW(ParseBatchOptions(GetParam().arguments), UsageError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedCommandLines,
    ::testing::Values(BadCommandLine{"UnknownOption", {"--zoom", "3", "a.bmp", "b"}},
                      BadCommandLine{"MissingName", {"a.bmp"}},
                      BadCommandLine{"ThreeNames", {"a.bmp", "b", "c"}},
                      BadCommandLine{"WidthAboveRange", {"--block-width", "641", "a.bmp", "b"}},
                      BadCommandLine{"HeightNegative", {"--block-height", "-1", "a.bmp", "b"}},
                      BadCommandLine{"WidthNotANumber", {"--block-width", "4x", "a.bmp", "b"}},
                      BadCommandLine{"MissingValue", {"a.bmp", "b", "--block-width"}},
                      BadCommandLine{"ColourOfEntryZero", {"--color", "0=1,2,3", "a.bmp", "b"}},
                      BadCommandLine{"ColourChannelTooLarge", {"--color", "1=256,0,0", "a.bmp", "b"}},
                      BadCommandLine{"ColourMissingChannel", {"--color", "1=1,2", "a.bmp", "b"}},
                      BadCommandLine{"DisableEntryEight", {"--disable", "1,8", "a.bmp", "b"}},
                      BadCommandLine{"DisableEmptyItem", {"--disable", "1,", "a.bmp", "b"}},
                      BadCommandLine{"LabelWithoutEquals", {"--label", "3", "a.bmp", "b"}},
                      BadCommandLine{"Depth8", {"--bpp", "8", "a.bmp", "b"}},
                      BadCommandLine{"Depth20", {"--bpp", "20", "a.bmp", "b"}},
                      BadCommandLine{"FlagWithValue", {"--by-columns=1", "a.bmp", "b"}},
                      BadCommandLine{"UnknownMatch", {"--match", "nearest", "a.bmp", "b"}},
                      BadCommandLine{"UnknownDiffusion", {"--diffusion=floyd", "a.bmp", "b"}},
                      BadCommandLine{"SerpentineWithValue", {"--serpentine=yes", "a.bmp", "b"}},
                      BadCommandLine{"PaletteWithoutName", {"--palette=", "a.bmp", "b"}},
                      BadCommandLine{"StockNegative", {"--stock", "1=-5", "a.bmp", "b"}},
                      BadCommandLine{"StockOfEntryEight", {"--stock", "8=5", "a.bmp", "b"}},
                      BadCommandLine{"StockWithoutCount", {"--stock", "3=", "a.bmp", "b"}},
                      BadCommandLine{"ProjectAndPicture", {"--project", "p.mozenta", "a.bmp", "b"}},
                      BadCommandLine{"ProjectWithoutName", {"--project", "p.mozenta"}},
                      BadCommandLine{"ProjectEmpty", {"--project=", "b"}},
                      BadCommandLine{"SizeWithoutHeight", {"--size", "400", "a.bmp", "b"}},
                      BadCommandLine{"SizeOfNoCells", {"--size", "0x300", "a.bmp", "b"}},
                      BadCommandLine{"SizeWiderThanTheGrid", {"--size", "2001x1", "a.bmp", "b"}},
                      BadCommandLine{"SizeTallerThanTheGrid", {"--size", "1x20001", "a.bmp", "b"}},
                      BadCommandLine{"UnknownFit", {"--fit", "fill", "a.bmp", "b"}},
                      BadCommandLine{"MarginEntryEight", {"--margin", "8", "a.bmp", "b"}},
                      BadCommandLine{"KeepOrientationWithValue", {"--keep-orientation=1", "a.bmp", "b"}},
                      BadCommandLine{"PaperUnknown", {"--pdf", "--page", "a5", "a.bmp", "b"}},
                      BadCommandLine{"PaperWithoutPdf", {"--page", "a3", "a.bmp", "b"}},
                      BadCommandLine{"SymbolsWithoutPdf", {"--symbols", "a.bmp", "b"}}),
    [](const ::testing::TestParamInfo<BadCommandLine>& info) { return info.param.name; });

TEST(ParseBatchOptions, HelpAndVersionNeedNoNames) {
  EXPECT_TRUE(ParseBatchOptions({"--help"}).help);
  EXPECT_TRUE(ParseBatchOptions({"--version"}).version);
}

}  // namespace
}  // namespace mozenta
