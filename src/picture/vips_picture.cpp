#include "vips_picture.h"

#include "vips_module.h"

namespace mozenta {

const char* LibraryFormatName(LibraryFormat format) {
  switch (format) {
    case LibraryFormat::kPng:
      return "PNG";
    case LibraryFormat::kGif:
      return "GIF";
    case LibraryFormat::kTiff:
      return "TIFF";
    case LibraryFormat::kWebP:
      return "WebP";
    case LibraryFormat::kHeif:
      return "HEIF";
  }
  return "";
}

void TVipsPicture::LoadFromFile(InputFile& file) {
  TBitmap decoded;
  LoadVipsModule().decode(file, format_, keepOrientation_, decoded);
  bitmap_.Assign(decoded);
  Changed();
}

}  // namespace mozenta
