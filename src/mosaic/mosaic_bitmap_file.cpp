#include "mosaic_bitmap_file.h"

#include "picture/errors.h"
#include "posix_file.h"

namespace mozenta {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> BitmapFileHeaders(const TBitmap& bitmap) {
  std::vector<std::uint8_t> out;
  if (bitmap.Width() <= 0 || bitmap.Height() <= 0) return out;
  const DibFormat& format = bitmap.Format();
  const bool masked = format.compression == kBiBitfields;
  const auto tableEntries = static_cast<std::uint32_t>(format.colorTable.size());
  const std::uint32_t pixelOffset =
      kFileHeaderBytes + kInfoHeaderBytes + (masked ? 12 : 0) + 4 * tableEntries;
  // Pixel stores are capped at 1 GiB, so every size fits the 32-bit fields.
  const auto imageBytes = static_cast<std::uint32_t>(bitmap.StoredBytes().size());

  out.reserve(pixelOffset);
  out.push_back('B');
  out.push_back('M');
  Put32(out, pixelOffset + imageBytes);  // file size
  Put16(out, 0);                         // reserved
  Put16(out, 0);                         // reserved
  Put32(out, pixelOffset);

  Put32(out, kInfoHeaderBytes);
  Put32(out, static_cast<std::uint32_t>(format.width));
  Put32(out, static_cast<std::uint32_t>(format.height));  // positive for bottom-up rows
  Put16(out, 1);                                          // planes
  Put16(out, format.bitsPerPixel);
  Put32(out, masked ? kBiBitfields : kBiRgb);
  Put32(out, imageBytes);
  Put32(out, 0);             // horizontal pixels per metre
  Put32(out, 0);             // vertical pixels per metre
  Put32(out, tableEntries);  // colours used
  Put32(out, 0);             // important colours

  if (masked) {
    for (const std::uint32_t mask : format.masks)
      Put32(out, mask);
  }
  for (const RgbQuad& entry : format.colorTable) {
    out.push_back(entry.blue);
    out.push_back(entry.green);
    out.push_back(entry.red);
    out.push_back(0);
  }
  return out;
}

void WriteMosaicBitmapFile(const std::string& fileName, const TBitmap& bitmap) {
  PosixFile file;
  if (file.Create(fileName) != 0) throw EFCreateError(MessageText(MessageId::kCannotCreateFile, fileName));
  int error = 0;
  const std::vector<std::uint8_t> headers = BitmapFileHeaders(bitmap);
  if (!headers.empty()) {
    // The file header, the info header (with masks or colour table), then the pixels in one piece.
    error = file.WriteAll(headers.data(), kFileHeaderBytes);
    if (error == 0)
      error = file.WriteAll(headers.data() + kFileHeaderBytes, headers.size() - kFileHeaderBytes);
    const auto pixels = bitmap.StoredBytes();
    if (error == 0) error = file.WriteAll(pixels.data(), pixels.size());
  }
  const int closeError = file.Close();
  if (error != 0 || closeError != 0) throw EWriteError(MessageText(MessageId::kWriteError));
}

}  // namespace mozenta
