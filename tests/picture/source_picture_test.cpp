// Loading a file into the source picture window's two holders: which holder keeps what after each outcome.
#include "picture/source_picture.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "bmp_builder.h"
#include "picture/errors.h"
#include "picture/file_formats.h"
#include "picture/icon.h"
#include "picture/input_file.h"
#include "picture/metafile.h"
#include "support/jpeg_encoder.h"

namespace mozenta {
namespace {

namespace fs = std::filesystem;
const std::string kData = MOZENTA_TEST_DATA_DIR;

class LoadSourcePictureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("mozenta-load-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    form2_.image1.SetOnChange([this] { ++image1Changes_; });
    form2_.all1.SetOnChange([this] { ++all1Changes_; });
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Writes a 2 × 1 24-bit BMP whose left pixel has colour `left`.
  std::string WriteBmp(const std::string& name, std::uint8_t left) {
    testing::BmpFields f;
    f.height = 1;
    f.pixels = {left, left, left, 9, 9, 9, 0, 0};
    return Write(name, testing::BuildBmp(f));
  }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path.string();
  }
  std::string Copy(const std::string& data, const std::string& name) {
    fs::copy_file(kData + "/" + data, dir_ / name);
    return (dir_ / name).string();
  }
  const TBitmap* Source() const { return SourceBitmap(form2_); }

  fs::path dir_;
  SourcePicture form2_;
  int image1Changes_ = 0;
  int all1Changes_ = 0;
};

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

template <typename Error>
std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& e) {
    return e.what();
  }
  return "(no error)";
}

TEST_F(LoadSourcePictureTest, BmpBecomesTheSourcePictureWithItsPixels) {
  LoadSourcePicture(form2_, WriteBmp("a.bmp", 0x40));
  auto* loaded = dynamic_cast<TBitmap*>(form2_.image1.Graphic());
  ASSERT_NE(loaded, nullptr);
  ASSERT_NE(Source(), nullptr);
  EXPECT_EQ(Source()->GetPixel(0, 0), 0x404040u);
  EXPECT_EQ(Source()->GetPixel(1, 0), 0x090909u);
  EXPECT_EQ(form2_.all1.Width(), 2);
  EXPECT_EQ(image1Changes_, 1);
  EXPECT_EQ(all1Changes_, 2);  // the new empty bitmap, then its pixels
  // A change to the loaded picture leaves the source picture as it was.
  loaded->StoredBytesForWrite()[0] = 0;
  EXPECT_EQ(Source()->GetPixel(0, 0), 0x404040u);
}

TEST_F(LoadSourcePictureTest, ExtensionsMatchWithoutRegardToLetterCase) {
  for (const char* name : {"A.BMP", "b.Bmp", "c.b.bmp"}) {
    LoadSourcePicture(form2_, WriteBmp(name, 0x10));
    EXPECT_EQ(Source()->GetPixel(0, 0), 0x101010u) << name;
  }
}

TEST_F(LoadSourcePictureTest, SecondLoadReplacesTheSourceAndKeepsTheBitmapObject) {
  LoadSourcePicture(form2_, WriteBmp("a.bmp", 0x10));
  const TBitmap* first = Source();
  LoadSourcePicture(form2_, WriteBmp("b.bmp", 0x20));
  EXPECT_EQ(Source(), first);
  EXPECT_EQ(Source()->GetPixel(0, 0), 0x202020u);
}

TEST_F(LoadSourcePictureTest, EmptyBmpGivesAnEmptySourcePicture) {
  LoadSourcePicture(form2_, Write("empty.bmp", {}));
  ASSERT_NE(Source(), nullptr);
  EXPECT_EQ(Source()->Width(), 0);
  EXPECT_EQ(Source()->Height(), 0);
}

// Loading ahead (mozenta-batch): the same source picture as a plain load, the JPEG rows told as they are
// decoded; a viewed BMP is copied at its first change, the file untouched; a JPEG that fails while it is
// decoded gives the plain load's error.
TEST_F(LoadSourcePictureTest, LoadAheadGivesWhatAPlainLoadGives) {
  const std::string bmp = Copy("golden/worked-example.bmp", "a.bmp");
  PictureDecodeSettings viewing;
  viewing.viewFileRows = true;
  for (const std::string& path :
       {Copy("jpeg/pillow/hopper.jpg", "c.jpg"), Copy("jpeg/libjpeg-turbo/testimgp.jpg", "p.jpg"), bmp}) {
    SCOPED_TRACE(path);
    SourcePicture plain, ahead;
    LoadSourcePicture(plain, path);
    SourcePictureLoad load(ahead, path, viewing);
    ASSERT_NE(SourceBitmap(ahead), nullptr);
    const TBitmap& bitmap = *SourceBitmap(ahead);
    if (load.Rows() != nullptr) load.Rows()->WaitFor(bitmap.Height());
    load.Finish();
    ASSERT_EQ(bitmap.Height(), SourceBitmap(plain)->Height());
    EXPECT_TRUE(std::ranges::equal(bitmap.StoredBytes(), SourceBitmap(plain)->StoredBytes()));
  }
  const std::string before = ReadAll(bmp);
  SourcePicture viewed;
  SourcePictureLoad(viewed, bmp, viewing).Finish();
  auto& bitmap = const_cast<TBitmap&>(*SourceBitmap(viewed));
  bitmap.SetPixel(0, 0, 0x123456);
  EXPECT_EQ(bitmap.GetPixel(0, 0), 0x123456u);
  EXPECT_EQ(ReadAll(bmp), before);

  const std::string twoChannels =
      Write("two.jpg", testing::EncodeJpeg({8, 8, testing::JpegKind::kTwoChannels}));
  SourcePicture failing;
  EXPECT_EQ(MessageOf<EJPEG>([&] { SourcePictureLoad(failing, twoChannels).Finish(); }),
            MessageOf<EJPEG>([&] { LoadSourcePicture(failing, twoChannels); }));
}

struct RefusedName {
  const char* name;
  const char* extension;
};
void PrintTo(const RefusedName& c, std::ostream* os) {
  *os << c.name;
}

class UnknownExtension : public LoadSourcePictureTest, public ::testing::WithParamInterface<RefusedName> {};

TEST_P(UnknownExtension, IsRefusedBeforeTheFileIsOpened) {
  // None of these files exists: the refusal comes before any attempt to open them.
  const std::string path = (dir_ / GetParam().name).string();
  EXPECT_EQ(MessageOf<EInvalidGraphic>([&] { LoadSourcePicture(form2_, path); }),
            std::string("拡張子 .") + GetParam().extension + " の画像形式は処理できません");
  EXPECT_EQ(form2_.image1.Graphic(), nullptr);
  EXPECT_EQ(form2_.all1.Graphic(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Names, UnknownExtension,
                         ::testing::Values(RefusedName{"a.pcx", "pcx"}, RefusedName{"PHOTO.PCX", "PCX"},
                                           RefusedName{"b.tga", "tga"}, RefusedName{"photo", ""},
                                           RefusedName{"photo.", ""}, RefusedName{"old.pics/photo", ""},
                                           RefusedName{"写真.mag", "mag"}, RefusedName{"a.bmp.q0", "q0"},
                                           RefusedName{"percent.%s%d", "%s%d"}),
                         [](const auto& info) {
                           std::string name;
                           for (const char c : std::string(info.param.name))
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

TEST_F(LoadSourcePictureTest, MissingFileWithAKnownExtensionCannotBeOpened) {
  const std::string path = (dir_ / "missing.bmp").string();
  EXPECT_EQ(MessageOf<EFOpenError>([&] { LoadSourcePicture(form2_, path); }),
            "ファイル " + path + " は開けません");
  EXPECT_EQ(MessageOf<EFOpenError>([&] { LoadSourcePicture(form2_, dir_.string() + "/.bmp"); }),
            "ファイル " + dir_.string() + "/.bmp は開けません");
}

TEST_F(LoadSourcePictureTest, NamedPipeIsRefusedWithoutWaitingForAWriter) {
  const std::string path = (dir_ / "pipe.bmp").string();
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(MessageOf<EFOpenError>([&] { LoadSourcePicture(form2_, path); }),
            "ファイル " + path + " は開けません");
}

TEST_F(LoadSourcePictureTest, FailedReadAfterASuccessLeavesBothHoldersAsTheyWere) {
  LoadSourcePicture(form2_, WriteBmp("a.bmp", 0x30));
  const TGraphic* loaded = form2_.image1.Graphic();
  const int image1Changes = image1Changes_, all1Changes = all1Changes_;
  EXPECT_EQ(MessageOf<EInvalidGraphic>([&] {
              LoadSourcePicture(form2_, Write("bad.bmp", {'B', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
            }),
            "ビットマップイメージが不正です");
  EXPECT_EQ(MessageOf<EReadError>([&] {
              LoadSourcePicture(form2_, Write("short.bmp", {'B', 'M'}));
            }),
            "ストリームからの読み込みエラー");
  EXPECT_EQ(
      MessageOf<EInvalidGraphic>([&] { LoadSourcePicture(form2_, Copy("icon/cursor-named.ico", "c.ico")); }),
      "アイコンイメージが不正です");
  EXPECT_EQ(form2_.image1.Graphic(), loaded);
  EXPECT_EQ(Source()->GetPixel(0, 0), 0x303030u);
  EXPECT_EQ(image1Changes_, image1Changes);
  EXPECT_EQ(all1Changes_, all1Changes);
}

struct ForeignCase {
  const char* data;
  const char* name;
  const char* className;
};
void PrintTo(const ForeignCase& c, std::ostream* os) {
  *os << c.name;
}

class ForeignPicture : public LoadSourcePictureTest, public ::testing::WithParamInterface<ForeignCase> {};

TEST_P(ForeignPicture, IsReadButCannotBecomeTheSourcePicture) {
  const std::string path = Copy(GetParam().data, GetParam().name);
  EXPECT_EQ(MessageOf<EConvertError>([&] { LoadSourcePicture(form2_, path); }),
            std::string(GetParam().className) + " を TBitmap に代入することはできません");
  ASSERT_NE(form2_.image1.Graphic(), nullptr);
  EXPECT_STREQ(form2_.image1.Graphic()->ClassName(), GetParam().className);
  // A first load that fails here leaves an empty bitmap as the source picture.
  ASSERT_NE(Source(), nullptr);
  EXPECT_EQ(Source()->Width(), 0);
}

TEST_P(ForeignPicture, AfterASuccessTheEarlierSourcePictureStays) {
  LoadSourcePicture(form2_, WriteBmp("a.bmp", 0x50));
  const std::string path = Copy(GetParam().data, GetParam().name);
  EXPECT_THROW(LoadSourcePicture(form2_, path), EConvertError);
  EXPECT_STREQ(form2_.image1.Graphic()->ClassName(), GetParam().className);
  EXPECT_EQ(Source()->GetPixel(0, 0), 0x505050u);  // still shared, though its first owner was freed
}

INSTANTIATE_TEST_SUITE_P(Kinds, ForeignPicture,
                         ::testing::Values(ForeignCase{"icon/small.ico", "a.ico", "TIcon"},
                                           ForeignCase{"metafile/placeable.wmf", "a.wmf", "TMetafile"},
                                           ForeignCase{"metafile/enhanced.emf", "a.EMF", "TMetafile"},
                                           ForeignCase{"metafile/enhanced-named.wmf", "b.wmf", "TMetafile"}),
                         [](const auto& info) {
                           return std::string(info.param.className) + std::to_string(info.index);
                         });

TEST(RequireBitmap, KeepsABitmapAndReplacesAnythingElse) {
  TPicture holder;
  int changes = 0;
  holder.SetOnChange([&] { ++changes; });
  TBitmap& made = RequireBitmap(holder);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(&RequireBitmap(holder), &made);
  EXPECT_EQ(changes, 1);
  holder.SetGraphic(std::make_unique<TIcon>());
  TBitmap& replaced = RequireBitmap(holder);
  EXPECT_EQ(holder.Graphic(), &replaced);
  EXPECT_EQ(replaced.Width(), 0);
}

TEST(TPicture, PassesChangesOfTheHeldPictureOnUntilItIsReplaced) {
  TPicture holder;
  int changes = 0;
  holder.SetOnChange([&] { ++changes; });
  auto owned = std::make_unique<TBitmap>();
  TBitmap* bitmap = owned.get();
  holder.SetGraphic(std::move(owned));
  bitmap->SetSize(3, 4);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(holder.Width(), 3);
  EXPECT_EQ(holder.Height(), 4);
  auto other = std::make_unique<TBitmap>();
  TBitmap* second = other.get();
  holder.SetGraphic(std::move(other));  // frees the first
  second->SetSize(1, 1);
  EXPECT_EQ(changes, 4);
}

// The one list both programs read pictures through: the built-in formats, the JPEG ones, then those read
// through libvips; and the open dialog's filter made from it.
TEST(TFileFormatsList, ProgramListHoldsEveryFormatInOrderAndFindsByLowerCasedExtension) {
  const struct {
    const char* extension;
    const char* description;
    const char* className;
    const char* filterName;
  } expected[] = {{"wmf", "メタファイル", "TMetafile", ""},
                  {"emf", "エンハンス メタファイル", "TMetafile", ""},
                  {"ico", "アイコン", "TIcon", ""},
                  {"bmp", "ビットマップ", "TBitmap", "BMP画像"},
                  {"jpeg", "JPEG イメージファイル", "TJPEGImage", "JPEG画像"},
                  {"jpg", "JPEG イメージファイル", "TJPEGImage", "JPEG画像"},
                  {"png", "PNG イメージファイル", "TVipsPicture", "PNG画像"},
                  {"gif", "GIF イメージファイル", "TVipsPicture", "GIF画像"},
                  {"tif", "TIFF イメージファイル", "TVipsPicture", "TIFF画像"},
                  {"tiff", "TIFF イメージファイル", "TVipsPicture", "TIFF画像"},
                  {"webp", "WebP イメージファイル", "TVipsPicture", "WebP画像"},
                  {"heic", "HEIF イメージファイル", "TVipsPicture", "HEIF画像"},
                  {"heif", "HEIF イメージファイル", "TVipsPicture", "HEIF画像"},
                  {"avif", "AVIF イメージファイル", "TVipsPicture", "AVIF画像"}};
  const TFileFormatsList& list = TFileFormatsList::Instance();
  ASSERT_EQ(list.Entries().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const FileFormat& entry = list.Entries()[i];
    EXPECT_EQ(entry.extension, expected[i].extension);
    EXPECT_EQ(entry.description, expected[i].description);
    EXPECT_STREQ(entry.factory(PictureDecodeSettings{})->ClassName(), expected[i].className);
    EXPECT_EQ(entry.filterName, expected[i].filterName);
    EXPECT_EQ(list.Find(entry.extension), &entry);
  }
  EXPECT_EQ(list.Find("BMP"), list.Find("bmp"));
  EXPECT_EQ(list.Find("JPEG")->extension, "jpeg");
  EXPECT_EQ(list.Find("Jpg")->extension, "jpg");
  EXPECT_EQ(list.Find("bmpx"), nullptr);
  EXPECT_EQ(list.Find(""), nullptr);
  EXPECT_EQ(list.Find("ＢＭＰ"), nullptr);  // only A to Z change case
  EXPECT_EQ(list.OpenDialogFilter(),
            "すべての画像|*.bmp;*.jpeg;*.jpg;*.png;*.gif;*.tif;*.tiff;*.webp;*.heic;*.heif;*.avif|"
            "BMP画像|*.bmp|JPEG画像|*.jpeg;*.jpg|PNG画像|*.png|GIF画像|*.gif|TIFF画像|*.tif;*.tiff|"
            "WebP画像|*.webp|HEIF画像|*.heic;*.heif|AVIF画像|*.avif|すべてのファイル|*.*");
}

TEST(TFileFormatsList, TakesRegistrationsAndFindsTheLatestFirst) {
  TFileFormatsList list;
  const auto icon = [](const PictureDecodeSettings&) { return std::make_unique<TIcon>(); };
  const auto bitmap = [](const PictureDecodeSettings&) { return std::make_unique<TBitmap>(); };
  list.Register("bmp", "一", icon);
  const FileFormat* first = list.Find("bmp");
  list.Register("TestOnlyKind", "試験", icon);
  EXPECT_EQ(list.Find("bmp"), first) << "earlier entries stay in place";
  ASSERT_NE(list.Find("testonlykind"), nullptr);
  EXPECT_EQ(list.Find("testonlykind")->extension, "testonlykind");
  list.Register("BMP", "二", bitmap);
  EXPECT_EQ(list.Find("bmp")->description, "二");
}

TEST(InputFile, ReadsExactlyOrFailsWithTheReadMessage) {
  InputFile file = InputFile::FromBytes({1, 2, 3, 4, 5});
  std::uint8_t buffer[8] = {};
  file.ReadExact(buffer, 2);
  EXPECT_EQ(file.Position(), 2u);
  EXPECT_EQ(file.Read(buffer, 8), 3u);
  EXPECT_EQ(file.Read(buffer, 8), 0u);
  file.Seek(4);
  EXPECT_EQ(MessageOf<EReadError>([&] { file.ReadExact(buffer, 2); }), "ストリームからの読み込みエラー");
  file.Seek(1);
  EXPECT_EQ(file.ReadToVector(2), (std::vector<std::uint8_t>{2, 3}));
  EXPECT_EQ(file.ReadToVector(), (std::vector<std::uint8_t>{4, 5}));
  file.Seek(100);
  EXPECT_EQ(file.Remaining(), 0u);
  EXPECT_TRUE(file.ReadToVector().empty());
}

TEST(InputFile, OpensOnlyRegularFiles) {
  InputFile file(kData + "/icon/small.ico");
  EXPECT_EQ(file.Size(), 1150u);
  std::uint8_t head[4];
  file.ReadExact(head, 4);
  EXPECT_EQ(head[2], 1);
  EXPECT_EQ(MessageOf<EFOpenError>([&] { InputFile directory(kData); }),
            "ファイル " + kData + " は開けません");
}

}  // namespace
}  // namespace mozenta
