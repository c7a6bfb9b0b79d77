#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "mosaic/grid_rows.h"
#include "picture/source_picture.h"
#include "project/project_file.h"
#include "project/project_mosaic.h"
#include "project/settings_json.h"
#include "project/sha256_file.h"

namespace mozenta {
namespace {

namespace fs = std::filesystem;

const std::string kWorkedExample = std::string(MOZENTA_TEST_DATA_DIR) + "/golden/worked-example.bmp";

// Every setting away from its default.
JobSettings UnusualSettings() {
  JobSettings settings;
  settings.palette.SetEntry(3, {1, 2, 3});
  settings.palette.SetEnabled(5, false);
  settings.labels[7] = "し,ろ";
  settings.blocks = {7, 9};
  settings.order = BlockOrder::kByColumns;
  settings.mosaicBitsPerPixel = 16;
  AdvancedSettings& a = settings.advanced;
  a.picture.fit = {false, 120, 80, FitMode::kContain, 2};
  a.picture.keepOrientation = true;
  a.conversion = {ColorMatch::kPerceptual, Diffusion::kSierraLite, true};
  a.stock[1] = 500;
  a.sheets = {true, PageSize::kLetter, true};
  return settings;
}

TEST(ProjectFile, KeepsEverySettingTheEditsInOrderAndIgnoresWhatItDoesNotKnow) {
  Project project;
  project.picture = "/pictures/stand.bmp";
  project.pictureSha256 = std::string(64, 'a');
  project.settings = UnusualSettings();
  project.edits = {{0, 1, 2, 3}, {0, 1, 1, 7}, {1999, 0, 20000, 0}};
  const Project read = ParseProject(ProjectText(project, "/work/p.mozenta"), "/work/p.mozenta");
  EXPECT_EQ(read.picture, project.picture);
  EXPECT_EQ(read.pictureSha256, project.pictureSha256);
  EXPECT_EQ(SettingsToJson(read.settings), SettingsToJson(project.settings));
  EXPECT_EQ(read.edits, project.edits);
  project.settings.labels[0] = "\xFF";  // not UTF-8: written, and read, as U+FFFD
  EXPECT_EQ(ParseProject(ProjectText(project, "/p.mozenta"), "/p.mozenta").settings.labels[0],
            "\xEF\xBF\xBD");

  // Missing settings take their defaults; keys of later versions are passed over.
  const Project minimal = ParseProject(
      R"({"format": 1, "picture": {"path": "a.bmp", "sha256": ""}, "later": [1], "blocks": {"depth": 3}})",
      "/work/p.mozenta");
  EXPECT_EQ(SettingsToJson(minimal.settings), SettingsToJson(JobSettings{}));
  EXPECT_TRUE(minimal.edits.empty());
}

struct PathCase {
  const char* name;
  const char* picture;
  const char* stored;  // as the file names it
};

class PicturePaths : public ::testing::TestWithParam<PathCase> {};

// Relative to the project's folder when the picture lies beside or below it, absolute elsewhere; read back,
// the name is resolved against the project's folder again.
TEST_P(PicturePaths, AreRelativeBesideOrBelowTheProjectElseAbsolute) {
  Project project;
  project.picture = GetParam().picture;
  const std::string text = ProjectText(project, "/work/stand/east.mozenta");
  EXPECT_NE(text.find(std::string("\"path\": \"") + GetParam().stored + "\""), std::string::npos) << text;
  EXPECT_EQ(ParseProject(text, "/work/stand/east.mozenta").picture, GetParam().picture);
  const std::string moved = ParseProject(text, "/elsewhere/east.mozenta").picture;
  EXPECT_EQ(moved, GetParam().stored[0] == '/' ? GetParam().picture
                                               : std::string("/elsewhere/") + GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Cases, PicturePaths,
                         ::testing::Values(PathCase{"Beside", "/work/stand/photo.bmp", "photo.bmp"},
                                           PathCase{"Below", "/work/stand/in/photo.jpg", "in/photo.jpg"},
                                           PathCase{"Above", "/work/photo.bmp", "/work/photo.bmp"},
                                           PathCase{"Aside", "/work/standby/photo.bmp",
                                                    "/work/standby/photo.bmp"}),
                         [](const auto& info) { return info.param.name; });

struct BadProject {
  const char* name;
  const char* text;
  const char* message;  // "%s" is the project's name
};

class BadProjects : public ::testing::TestWithParam<BadProject> {};

// A project that cannot be opened says why, naming the file; the edits are checked against the mosaic its
// picture makes (the worked example's 5 × 3 cells) before anything is converted.
TEST_P(BadProjects, AreRefusedWithAClearMessage) {
  const BadProject& c = GetParam();
  std::string expected = c.message;
  expected.replace(expected.find("%s"), 2, "p.mozenta");
  try {
    const Project project = ParseProject(c.text, "p.mozenta");
    SourcePicture picture;
    LoadSourcePicture(picture, kWorkedExample);
    CheckEditsFit(project.edits, *SourceBitmap(picture), project.settings.advanced.picture.fit, "p.mozenta");
    FAIL() << "accepted";
  } catch (const EProjectError& e) {
    EXPECT_EQ(e.Message(), expected);
  }
}

#define PICTURE R"("picture": {"path": "a.bmp", "sha256": ""})"
INSTANTIATE_TEST_SUITE_P(
    Cases, BadProjects,
    ::testing::Values(
        BadProject{"NotJson", "{\"format\": 1,", "プロジェクト %s の形式が正しくありません (JSON)"},
        BadProject{"NotAnObject", "[1]", "プロジェクト %s の形式が正しくありません (JSON)"},
        BadProject{"NoFormat", "{" PICTURE "}", "プロジェクト %s の形式が正しくありません (format)"},
        BadProject{"LaterFormat", "{\"format\": 2}", "プロジェクト %s の形式 2 には対応していません"},
        BadProject{"NoPicture", "{\"format\": 1}", "プロジェクト %s の形式が正しくありません (picture)"},
        BadProject{"ChannelAboveFifteen",
                   R"({"format": 1, )" PICTURE R"(, "palette": [{}, {"color": [1, 2, 16]}]})",
                   "プロジェクト %s の形式が正しくありません (palette[1].color)"},
        BadProject{"UnknownOrder", R"({"format": 1, )" PICTURE R"(, "blocks": {"order": "diagonal"}})",
                   "プロジェクト %s の形式が正しくありません (blocks.order)"},
        BadProject{"WrongKind",
                   R"({"format": 1, )" PICTURE R"(, "advanced": {"conversion": {"serpentine": 1}}})",
                   "プロジェクト %s の形式が正しくありません (advanced.conversion.serpentine)"},
        BadProject{"RunOfThreeNumbers",
                   R"({"format": 1, )" PICTURE R"(, "edits": [[0, 0, 1, 2], [0, 0, 1]]})",
                   "プロジェクト %s の形式が正しくありません (edits[1])"},
        BadProject{"RunPastTheLastRow", R"({"format": 1, )" PICTURE R"(, "edits": [[4, 1, 3, 2]]})",
                   "プロジェクト %s の編集がモザイクの外にあります"},
        BadProject{"RunLeftOfTheMosaic", R"({"format": 1, )" PICTURE R"(, "edits": [[-1, 0, 1, 2]]})",
                   "プロジェクト %s の編集がモザイクの外にあります"},
        BadProject{"EntryEight", R"({"format": 1, )" PICTURE R"(, "edits": [[0, 0, 1, 8]]})",
                   "プロジェクト %s の編集がモザイクの外にあります"}),
    [](const auto& info) { return info.param.name; });
#undef PICTURE

// The edits go over the conversion in their order, in the grid and in the bitmap painted from it.
TEST(ProjectMosaic, EditsOverrideTheConversionInTheirOrder) {
  SourcePicture picture;
  LoadSourcePicture(picture, kWorkedExample);
  Project project;
  project.edits = {{0, 0, 3, 7}, {0, 1, 1, 2}, {4, 2, 1, 1}};
  MosaicGrid grid;
  TBitmap mosaic;
  mosaic.SetPixelFormat(24);
  MakeProjectGrid(project, *SourceBitmap(picture), grid);
  PaintMosaic(grid, project.settings.palette, mosaic);
  const int expected[][3] = {{0, 0, 7}, {0, 1, 2}, {0, 2, 7}, {4, 2, 1}};
  for (const auto& [x, y, entry] : expected) {
    EXPECT_EQ(grid.Cell(x, y), entry) << x << "," << y;
    EXPECT_EQ(mosaic.GetPixel(x, y), project.settings.palette.ExpandedColor(entry)) << x << "," << y;
  }
}

TEST(ProjectFile, WritesAtomicallyAndKnowsItsPictureByItsBytes) {
  const fs::path folder = fs::temp_directory_path() / ("mozenta-project-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const std::string picture = (folder / "in.bmp").string();
  std::ofstream(picture) << "abc";
  Project project;
  project.picture = picture;
  // The SHA-256 of "abc", the standard's first example.
  project.pictureSha256 = FileSha256(picture).value();
  EXPECT_EQ(project.pictureSha256, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  const std::string file = (folder / "p.mozenta").string();
  WriteProject(file, project);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2)
      << "no temporary left";
  EXPECT_TRUE(PictureMatches(ReadProject(file)));
  std::ofstream(picture) << "abd";
  EXPECT_FALSE(PictureMatches(ReadProject(file)));
  fs::remove(picture);
  EXPECT_FALSE(PictureMatches(ReadProject(file)));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace mozenta
