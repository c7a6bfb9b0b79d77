#include "file_formats.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "bitmap.h"
#include "icon.h"
#include "jpeg_image.h"
#include "metafile.h"
#include "vips_picture.h"

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
  return std::make_unique<TJPEGImage>(settings.displayBitsPerPixel, settings.keepOrientation);
}

template <LibraryFormat kFormat>
std::unique_ptr<TGraphic> MakeVipsPicture(const PictureDecodeSettings& settings) {
  return std::make_unique<TVipsPicture>(kFormat, settings.keepOrientation);
}

TFileFormatsList ProgramFormats() {
  TFileFormatsList list;
  list.Register("wmf", "メタファイル", MakePicture<TMetafile>);
  list.Register("emf", "エンハンス メタファイル", MakePicture<TMetafile>);
  list.Register("ico", "アイコン", MakePicture<TIcon>);
  list.Register("bmp", "ビットマップ", MakePicture<TBitmap>, "BMP画像");
  for (const char* extension : {"jpeg", "jpg"})
    list.Register(extension, "JPEG イメージファイル", MakeJpegPicture, "JPEG画像");
  list.Register("png", "PNG イメージファイル", MakeVipsPicture<LibraryFormat::kPng>, "PNG画像");
  list.Register("gif", "GIF イメージファイル", MakeVipsPicture<LibraryFormat::kGif>, "GIF画像");
  for (const char* extension : {"tif", "tiff"})
    list.Register(extension, "TIFF イメージファイル", MakeVipsPicture<LibraryFormat::kTiff>, "TIFF画像");
  list.Register("webp", "WebP イメージファイル", MakeVipsPicture<LibraryFormat::kWebP>, "WebP画像");
  for (const char* extension : {"heic", "heif"})
    list.Register(extension, "HEIF イメージファイル", MakeVipsPicture<LibraryFormat::kHeif>, "HEIF画像");
  list.Register("avif", "AVIF イメージファイル", MakeVipsPicture<LibraryFormat::kHeif>, "AVIF画像");
  return list;
}

}  // namespace

const TFileFormatsList& TFileFormatsList::Instance() {
  static const TFileFormatsList list = ProgramFormats();
  return list;
}

void TFileFormatsList::Register(
    std::string_view extension, std::string description,
    std::function<std::unique_ptr<TGraphic>(const PictureDecodeSettings&)> factory, std::string filterName) {
  entries_.push_back(
      FileFormat{LowerAscii(extension), std::move(description), std::move(factory), std::move(filterName)});
}

const FileFormat* TFileFormatsList::Find(std::string_view extension) const {
  const std::string lower = LowerAscii(extension);
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->extension == lower) return &*it;
  return nullptr;
}

std::string TFileFormatsList::OpenDialogFilter() const {
  std::string every;
  std::vector<std::pair<std::string, std::string>> entries;  // filter name, patterns
  for (const FileFormat& format : entries_) {
    if (format.filterName.empty()) continue;
    const std::string pattern = "*." + format.extension;
    every += (every.empty() ? "" : ";") + pattern;
    auto entry = std::find_if(entries.begin(), entries.end(),
                              [&](const auto& e) { return e.first == format.filterName; });
    if (entry == entries.end()) {
      entries.emplace_back(format.filterName, pattern);
    } else {
      entry->second += ";" + pattern;
    }
  }
  std::string filter = "すべての画像|" + every;
  for (const auto& [name, patterns] : entries)
    filter += "|" + name + "|" + patterns;
  return filter + "|すべてのファイル|*.*";
}

}  // namespace mozenta
