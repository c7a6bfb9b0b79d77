// The file-format registry: which picture class reads a file, chosen by the file's extension only.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "graphic.h"

namespace mozenta {

// What decoding a picture may depend on besides its bytes.
struct PictureDecodeSettings {
  // The bits per pixel of the display the picture will be shown on. On 8 or fewer, JPEG pictures are
  // quantised to 236 colours, colour ones too.
  int displayBitsPerPixel = 32;
  // Uncompressed BMP rows stay in the file's pages, read-only, instead of being copied: for a job that
  // reads the picture once (see InputFile::AllowViews).
  bool viewFileRows = false;
  // True: the stored rows as they are, the orientation a photo records ignored.
  bool keepOrientation = false;
};

struct FileFormat {
  std::string extension;    // lower case, without the dot
  std::string description;  // as the user sees it
  // Makes a new, empty picture of the class.
  std::function<std::unique_ptr<TGraphic>(const PictureDecodeSettings&)> factory;
  // The open dialog's entry that offers the extension ("JPEG画像"); empty for pictures that cannot become
  // the source picture, which the dialog does not offer.
  std::string filterName;
};

class TFileFormatsList {
 public:
  // The formats the program reads, the same for the windows and mozenta-batch: wmf, emf, ico and bmp,
  // then jpeg and jpg, then those read through libvips (png, gif, tif, tiff, webp, heic, heif, avif). Built
  // on first use; libvips itself starts only when one of its pictures is first read.
  static const TFileFormatsList& Instance();

  // An empty list.
  TFileFormatsList() = default;

  // Adds an entry at the end; the extension is kept in lower case.
  void Register(std::string_view extension, std::string description,
                std::function<std::unique_ptr<TGraphic>(const PictureDecodeSettings&)> factory,
                std::string filterName = {});

  // The entry for `extension` (letters A to Z taken as a to z), searched from the last entry; nullptr if
  // none.
  const FileFormat* Find(std::string_view extension) const;

  const std::deque<FileFormat>& Entries() const { return entries_; }

  // The open dialog's filter in the form "description|patterns|...": "すべての画像" with the pattern of
  // every extension that has a filter name, then one entry per filter name in the order of first
  // registration, then "すべてのファイル".
  std::string OpenDialogFilter() const;

 private:
  std::deque<FileFormat> entries_;  // a deque keeps entries in place while others are added
};

}  // namespace mozenta
