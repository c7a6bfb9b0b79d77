// Feeds arbitrary bytes to the pictures read through libvips: the format whose signature the bytes start
// with (PNG when none matches) decodes them into an upright bitmap, which is then fitted to a small size.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "picture/bitmap.h"
#include "picture/errors.h"
#include "picture/input_file.h"
#include "picture/picture_fit.h"
#include "picture/vips_picture.h"

namespace {

mozenta::LibraryFormat FormatOf(const std::uint8_t* data, std::size_t size) {
  using mozenta::LibraryFormat;
  const auto starts = [&](std::size_t offset, const char* text) {
    const std::size_t length = std::strlen(text);
    return size >= offset + length && std::memcmp(data + offset, text, length) == 0;
  };
  if (starts(0, "GIF8")) return LibraryFormat::kGif;
  if (starts(0, "II*") || starts(0, "MM")) return LibraryFormat::kTiff;
  if (starts(0, "RIFF")) return LibraryFormat::kWebP;
  if (starts(4, "ftyp")) return LibraryFormat::kHeif;
  return LibraryFormat::kPng;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mozenta;
  InputFile file = InputFile::FromBytes(std::vector<std::uint8_t>(data, data + size));
  TVipsPicture picture(FormatOf(data, size), size % 2 == 1);
  try {
    picture.LoadFromFile(file);
    TBitmap bitmap;
    picture.AssignTo(bitmap);
    if (bitmap.Empty()) return 0;
    bitmap.GetPixel(bitmap.Width() - 1, bitmap.Height() - 1);
    FitSettings fit;
    fit.keepSize = false;
    fit.width = 7;
    fit.height = 5;
    fit.mode = static_cast<FitMode>(size % 3);
    TBitmap fitted;
    FitPicture(bitmap, PlanFit(bitmap.Width(), bitmap.Height(), fit), fitted);
    fitted.GetPixel(fitted.Width() - 1, fitted.Height() - 1);
  } catch (const Exception&) {
    // Refusals are the expected outcome for most inputs.
  }
  return 0;
}
