// The icon and metafile readers: the hand-made files in tests/data, and damaged copies of them.
#include <gtest/gtest.h>

#include <functional>

#include "picture/errors.h"
#include "picture/icon.h"
#include "picture/input_file.h"
#include "picture/metafile.h"

namespace mozenta {
namespace {

const std::string kData = MOZENTA_TEST_DATA_DIR;

std::vector<std::uint8_t> FileBytes(const std::string& relative) {
  InputFile file(kData + "/" + relative);
  return file.ReadToVector();
}

void Poke32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

void Poke16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b.at(at) = v & 0xFF;
  b.at(at + 1) = v >> 8;
}

enum class Outcome { kReads, kReadError, kInvalidIcon, kInvalidMetafile };

struct DamageCase {
  const char* name;
  const char* file;
  std::function<void(std::vector<std::uint8_t>&)> damage;
  Outcome outcome;
};
void PrintTo(const DamageCase& c, std::ostream* os) {
  *os << c.name;
}

void Load(TGraphic& graphic, std::vector<std::uint8_t> bytes, Outcome outcome) {
  InputFile file = InputFile::FromBytes(std::move(bytes));
  const char* message = outcome == Outcome::kReadError     ? "ストリームからの読み込みエラー"
                        : outcome == Outcome::kInvalidIcon ? "アイコンイメージが不正です"
                                                           : "メタファイルが不正です";
  if (outcome == Outcome::kReads) {
    EXPECT_NO_THROW(graphic.LoadFromFile(file));
  } else if (outcome == Outcome::kReadError) {
    try {
      graphic.LoadFromFile(file);
      ADD_FAILURE() << "read";
    } catch (const EReadError& e) {
      EXPECT_STREQ(e.what(), message);
    }
  } else {
    try {
      graphic.LoadFromFile(file);
      ADD_FAILURE() << "read";
    } catch (const EInvalidGraphic& e) {
      EXPECT_STREQ(e.what(), message);
    }
  }
}

class IconAndMetafileDamage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(IconAndMetafileDamage, EndsInTheExactMessage) {
  const DamageCase& c = GetParam();
  std::vector<std::uint8_t> bytes = FileBytes(c.file);
  if (c.damage) c.damage(bytes);
  const bool icon = std::string(c.file).starts_with("icon/");
  if (icon) {
    TIcon picture;
    Load(picture, std::move(bytes), c.outcome);
  } else {
    TMetafile picture;
    Load(picture, std::move(bytes), c.outcome);
  }
}

auto Truncate(std::size_t size) {
  return [size](std::vector<std::uint8_t>& b) { b.resize(size); };
}

// Rewrites the placeable header's checksum after a change to its first ten words.
void FixChecksum(std::vector<std::uint8_t>& b) {
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < 20; i += 2)
    sum ^= static_cast<std::uint16_t>(b[i] | (b[i + 1] << 8));
  Poke16(b, 20, sum);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IconAndMetafileDamage,
    ::testing::Values(
        DamageCase{"IconReads", "icon/small.ico", nullptr, Outcome::kReads},
        DamageCase{"IconTypeZeroWithoutImages", "icon/small.ico",
                   [](auto& b) {
                     Poke16(b, 2, 0);
                     Poke16(b, 4, 0);
                   },
                   Outcome::kReads},
        DamageCase{"IconOfFiveBytes", "icon/small.ico", Truncate(5), Outcome::kReadError},
        DamageCase{"IconEmpty", "icon/small.ico", Truncate(0), Outcome::kReadError},
        DamageCase{"CursorNamedIcon", "icon/cursor-named.ico", nullptr, Outcome::kInvalidIcon},
        DamageCase{"IconTypeAboveTwo", "icon/small.ico", [](auto& b) { Poke16(b, 2, 0xFFFF); },
                   Outcome::kInvalidIcon},
        DamageCase{"IconDirectoryPastTheEnd", "icon/small.ico", [](auto& b) { Poke16(b, 4, 100); },
                   Outcome::kInvalidIcon},
        DamageCase{"IconImagePastTheEnd", "icon/small.ico", [](auto& b) { Poke32(b, 6 + 8, 0xFFFFFFF0); },
                   Outcome::kInvalidIcon},
        DamageCase{"IconImageInsideTheDirectory", "icon/small.ico", [](auto& b) { Poke32(b, 6 + 12, 4); },
                   Outcome::kInvalidIcon},
        DamageCase{"PlaceableMetafileReads", "metafile/placeable.wmf", nullptr, Outcome::kReads},
        DamageCase{"EnhancedMetafileReads", "metafile/enhanced.emf", nullptr, Outcome::kReads},
        DamageCase{"MetafileWithoutPlaceableHeader", "metafile/bare.wmf", nullptr, Outcome::kInvalidMetafile},
        DamageCase{"PlaceableKeyWrong", "metafile/placeable.wmf",
                   [](auto& b) {
                     Poke32(b, 0, 0x9AC6CDD8);
                     FixChecksum(b);
                   },
                   Outcome::kInvalidMetafile},
        DamageCase{"PlaceableChecksumWrong", "metafile/placeable.wmf", [](auto& b) { b[20] ^= 1; },
                   Outcome::kInvalidMetafile},
        DamageCase{"PlaceableHeaderCut", "metafile/placeable.wmf", Truncate(21), Outcome::kInvalidMetafile},
        DamageCase{"EmptyWindowsMetafile", "metafile/placeable.wmf", Truncate(0), Outcome::kInvalidMetafile},
        DamageCase{"WindowsMetafileHeaderCut", "metafile/placeable.wmf", Truncate(22 + 10),
                   Outcome::kInvalidMetafile},
        DamageCase{"WindowsMetafileTypeThree", "metafile/placeable.wmf", [](auto& b) { Poke16(b, 22, 3); },
                   Outcome::kInvalidMetafile},
        DamageCase{"WindowsMetafileSizeBeyondTheFile", "metafile/placeable.wmf",
                   [](auto& b) { Poke32(b, 22 + 6, 1000); }, Outcome::kInvalidMetafile},
        DamageCase{"WindowsMetafileRecordOfTwoWords", "metafile/placeable.wmf",
                   [](auto& b) { Poke32(b, 22 + 18, 2); }, Outcome::kInvalidMetafile},
        DamageCase{"WindowsMetafileRecordPastTheEnd", "metafile/placeable.wmf",
                   [](auto& b) { Poke32(b, 22 + 18, 0x7FFFFFFF); }, Outcome::kInvalidMetafile},
        DamageCase{"WindowsMetafileWithoutEndRecord", "metafile/placeable.wmf",
                   [](auto& b) { Poke16(b, 78, 0x0201); }, Outcome::kInvalidMetafile},
        DamageCase{"EnhancedTotalBeyondTheFile", "metafile/enhanced.emf", [](auto& b) { Poke32(b, 48, 400); },
                   Outcome::kReadError},
        DamageCase{"EnhancedCut", "metafile/enhanced.emf", Truncate(140), Outcome::kReadError},
        DamageCase{"EnhancedTotalBelowOneHundred", "metafile/enhanced.emf",
                   [](auto& b) { Poke32(b, 48, 96); }, Outcome::kInvalidMetafile},
        DamageCase{"EnhancedHeaderRecordTooShort", "metafile/enhanced.emf", [](auto& b) { Poke32(b, 4, 80); },
                   Outcome::kInvalidMetafile},
        DamageCase{"EnhancedRecordSizeNotAWholeWord", "metafile/enhanced.emf",
                   [](auto& b) { Poke32(b, 108 + 4, 22); }, Outcome::kInvalidMetafile},
        DamageCase{"EnhancedRecordSizeZero", "metafile/enhanced.emf", [](auto& b) { Poke32(b, 108 + 4, 0); },
                   Outcome::kInvalidMetafile},
        DamageCase{"EnhancedSecondHeaderRecord", "metafile/enhanced.emf", [](auto& b) { Poke32(b, 108, 1); },
                   Outcome::kInvalidMetafile},
        DamageCase{"EnhancedWithoutEndRecord", "metafile/enhanced.emf", [](auto& b) { Poke32(b, 132, 43); },
                   Outcome::kInvalidMetafile},
        DamageCase{"EnhancedRecordCountWrong", "metafile/enhanced.emf", [](auto& b) { Poke32(b, 52, 4); },
                   Outcome::kInvalidMetafile},
        // Up to 100 bytes a file is taken as a Windows metafile, whatever its first words say.
        DamageCase{"ShortEnhancedIsAWindowsMetafile", "metafile/enhanced.emf", Truncate(100),
                   Outcome::kInvalidMetafile}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TIcon, TakesTheSizeOfItsFirstImage) {
  TIcon icon;
  InputFile file(kData + "/icon/small.ico");
  icon.LoadFromFile(file);
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(icon.Height(), 16);
  EXPECT_EQ(icon.Bytes().size(), 1150u);
}

TEST(TMetafile, EnhancedByContentWhateverTheName) {
  for (const char* name : {"metafile/enhanced.emf", "metafile/enhanced-named.wmf"}) {
    TMetafile metafile;
    InputFile file(kData + "/" + name);
    metafile.LoadFromFile(file);
    EXPECT_EQ(metafile.Width(), 100) << name;
    EXPECT_EQ(metafile.Height(), 50) << name;
  }
  TMetafile windows;
  InputFile file(kData + "/metafile/placeable.wmf");
  windows.LoadFromFile(file);
  EXPECT_EQ(windows.Width(), 200 * 96 / 1440);
  EXPECT_EQ(windows.Bytes().size(), 80u - 22u);
}

}  // namespace
}  // namespace mozenta
