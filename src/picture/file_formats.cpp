#include "file_formats.h"

#include "bitmap.h"
#include "icon.h"
#include "jpeg_image.h"
#include "metafile.h"

namespace mozenta {
namespace {

// Only the ASCII letters change, as the platform's ANSI lower-casing does for these names.
std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

template <typename Picture>
std::unique_ptr<TGraphic> MakePicture(const PictureDecodeSettings&) {
  return std::make_unique<Picture>();
}

std::unique_ptr<TGraphic> MakeJpegPicture(const PictureDecodeSettings& settings) {
  return std::make_unique<TJPEGImage>(settings.displayBitsPerPixel);
}

TFileFormatsList ProgramFormats() {
  TFileFormatsList list;
  list.Register("wmf", "メタファイル", MakePicture<TMetafile>);
  list.Register("emf", "エンハンス メタファイル", MakePicture<TMetafile>);
  list.Register("ico", "アイコン", MakePicture<TIcon>);
  list.Register("bmp", "ビットマップ", MakePicture<TBitmap>);
  for (const char* extension : {"jpeg", "jpg"})
    list.Register(extension, "JPEG イメージファイル", MakeJpegPicture);
  return list;
}

}  // namespace

const TFileFormatsList& TFileFormatsList::Instance() {
  static const TFileFormatsList list = ProgramFormats();
  return list;
}

void TFileFormatsList::Register(
    std::string_view extension, std::string description,
    std::function<std::unique_ptr<TGraphic>(const PictureDecodeSettings&)> factory) {
  entries_.push_back(FileFormat{LowerAscii(extension), std::move(description), std::move(factory)});
}

const FileFormat* TFileFormatsList::Find(std::string_view extension) const {
  const std::string lower = LowerAscii(extension);
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->extension == lower) return &*it;
  return nullptr;
}

}  // namespace mozenta
