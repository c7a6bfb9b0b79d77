#include "file_formats.h"

#include "bitmap.h"
#include "icon.h"
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

}  // namespace

TFileFormatsList& TFileFormatsList::Instance() {
  static TFileFormatsList list;
  return list;
}

TFileFormatsList::TFileFormatsList() {
  Register("wmf", "メタファイル", [] { return std::make_unique<TMetafile>(); });
  Register("emf", "エンハンス メタファイル", [] { return std::make_unique<TMetafile>(); });
  Register("ico", "アイコン", [] { return std::make_unique<TIcon>(); });
  Register("bmp", "ビットマップ", [] { return std::make_unique<TBitmap>(); });
}

void TFileFormatsList::Register(std::string_view extension, std::string description,
                                std::function<std::unique_ptr<TGraphic>()> factory) {
  entries_.push_back(FileFormat{LowerAscii(extension), std::move(description), std::move(factory)});
}

const FileFormat* TFileFormatsList::Find(std::string_view extension) const {
  const std::string lower = LowerAscii(extension);
  for (auto it = entries_.rbegin(); it != entries_.rend(); ++it)
    if (it->extension == lower) return &*it;
  return nullptr;
}

const FileFormat* FindPictureClass(std::string_view extension) {
  return TFileFormatsList::Instance().Find(extension);
}

}  // namespace mozenta
