#include "bmp_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "byte_reader.h"
#include "errors.h"
#include "rle.h"

namespace mozenta {
namespace {

constexpr std::uint16_t kSignature = 0x4D42;  // "BM"
constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kDataOffsetField = 10;
constexpr std::uint32_t kCoreHeaderBytes = 12;  // OS/2: 16-bit width, height, planes and depth
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kMasksInHeaderBytes = 52;  // from here on the header carries its own masks
constexpr std::size_t kMasksOffset = 40;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::size_t kMaxColorTableEntries = 256;

[[noreturn]] void Invalid() {
  throw EInvalidGraphic(MessageText(MessageId::kInvalidBitmap));
}

// The header variants that exist: OS/2 core, Windows 40 (also OS/2 2.x of 40 bytes), 52 and 56 (with
// masks, with alpha), OS/2 2.x of 64 bytes, version 4 (108) and version 5 (124).
bool KnownHeaderSize(std::uint32_t size) {
  switch (size) {
    case kCoreHeaderBytes:
    case 40:
    case 52:
    case 56:
    case 64:
    case 108:
    case 124:
      return true;
    default:
      return false;
  }
}

struct InfoHeader {
  std::uint32_t size = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 0;
  std::uint16_t bitsPerPixel = 0;
  std::uint32_t compression = 0;
  std::uint32_t imageSize = 0;
  std::uint32_t colorsUsed = 0;
  std::array<std::uint32_t, 3> masks{};
  std::vector<std::uint8_t> bytes;
};

InfoHeader ReadInfoHeader(InputFile& file) {
  InfoHeader info;
  std::uint8_t sizeBytes[4];
  if (file.Read(sizeBytes, sizeof sizeBytes) != sizeof sizeBytes) Invalid();
  info.size = LoadU32(sizeBytes);
  if (!KnownHeaderSize(info.size)) Invalid();
  info.bytes.resize(info.size);
  std::copy_n(sizeBytes, sizeof sizeBytes, info.bytes.begin());
  if (file.Read(info.bytes.data() + 4, info.size - 4) != info.size - 4) Invalid();
  const std::uint8_t* p = info.bytes.data();
  if (info.size == kCoreHeaderBytes) {
    info.width = LoadU16(p + 4);
    info.height = LoadU16(p + 6);
    info.planes = LoadU16(p + 8);
    info.bitsPerPixel = LoadU16(p + 10);
    return info;
  }
  info.width = LoadS32(p + 4);
  info.height = LoadS32(p + 8);
  info.planes = LoadU16(p + 12);
  info.bitsPerPixel = LoadU16(p + 14);
  info.compression = LoadU32(p + 16);
  info.imageSize = LoadU32(p + 20);
  info.colorsUsed = LoadU32(p + 32);
  if (info.size >= kMasksInHeaderBytes) {
    for (int c = 0; c < 3; ++c)
      info.masks[c] = LoadU32(p + kMasksOffset + 4 * c);
  }
  return info;
}

// Three channel masks that a bitmap can have: each one run of set bits inside the pixel, none sharing a bit.
bool SoundMasks(const std::array<std::uint32_t, 3>& masks, int bitsPerPixel) {
  const std::uint32_t pixelBits = bitsPerPixel == 32 ? 0xFFFFFFFFu : 0xFFFFu;
  std::uint32_t seen = 0;
  for (const std::uint32_t mask : masks) {
    if (mask == 0 || (mask & ~pixelBits) != 0 || (mask & seen) != 0) return false;
    const std::uint32_t run = mask >> std::countr_zero(mask);
    if ((run & (run + 1)) != 0) return false;
    seen |= mask;
  }
  return true;
}

// What no device-independent bitmap can be made from.
void CheckMakeable(const InfoHeader& info, const DibFormat& format) {
  const int bpp = info.bitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) Invalid();
  switch (info.compression) {
    case kBiRgb:
      break;
    case kBiRle8:
    case kBiRle4:
      if (bpp != (info.compression == kBiRle8 ? 8 : 4) || info.height < 0) Invalid();
      break;
    case kBiBitfields:
      if ((bpp != 16 && bpp != 32) || !SoundMasks(format.masks, bpp)) Invalid();
      break;
    default:
      Invalid();
  }
  if (info.width <= 0 || info.height == 0 || info.height == INT32_MIN) Invalid();
  const std::size_t stride = DibStride(format.width, format.bitsPerPixel);
  const std::uint64_t rows = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(format.height)));
  if (stride == 0 || stride > kMaxPixelStoreBytes / rows) Invalid();
}

}  // namespace

void ReadBmp(InputFile& file, TBitmap& bitmap) {
  file.Seek(0);
  const std::uint64_t fileSize = file.Size();
  if (fileSize == 0) {
    TBitmap empty;
    bitmap.Assign(empty);
    return;
  }
  std::uint8_t fileHeader[kFileHeaderBytes];
  file.ReadExact(fileHeader, sizeof fileHeader);
  if (LoadU16(fileHeader) != kSignature) Invalid();
  const std::uint32_t dataOffset = LoadU32(fileHeader + kDataOffsetField);

  InfoHeader info = ReadInfoHeader(file);
  if (info.planes != 1) Invalid();

  DibFormat format;
  format.width = info.width;
  format.height = info.height;
  format.bitsPerPixel = info.bitsPerPixel;
  format.compression = info.compression == kBiBitfields ? kBiBitfields : kBiRgb;
  if (info.compression == kBiBitfields) {
    if (info.size == kInfoHeaderBytes && (info.bitsPerPixel == 16 || info.bitsPerPixel == 32)) {
      std::uint8_t masks[12];
      file.ReadExact(masks, sizeof masks);
      for (int c = 0; c < 3; ++c)
        info.masks[c] = LoadU32(masks + 4 * c);
    }
    format.masks = info.masks;
  }

  // The colour table: 3-byte entries after a core header, 4-byte ones otherwise. Entries past 256 are
  // skipped, and a table in a 16-, 24- or 32-bit file is skipped whole.
  std::uint64_t entries = info.colorsUsed;
  if (entries == 0)
    entries = info.bitsPerPixel == 1 ? 2 : info.bitsPerPixel == 4 ? 16 : info.bitsPerPixel == 8 ? 256 : 0;
  const std::size_t entryBytes = info.size == kCoreHeaderBytes ? 3 : 4;
  // A core header cannot say how many colours its table holds; writers that store fewer than the depth
  // allows say where the pixels start instead, so a data offset inside the full table ends the table there.
  if (info.size == kCoreHeaderBytes && dataOffset > file.Position() &&
      dataOffset < file.Position() + entries * entryBytes) {
    entries = (dataOffset - file.Position()) / entryBytes;
  }
  const std::uint64_t tableBytes = entries * entryBytes;
  const std::uint64_t tableEnd = file.Position() + tableBytes;
  if (tableBytes > file.Remaining()) throw EReadError(MessageText(MessageId::kReadError));
  if (info.bitsPerPixel <= 8) {
    const std::size_t kept =
        static_cast<std::size_t>(std::min<std::uint64_t>(entries, kMaxColorTableEntries));
    std::vector<std::uint8_t> raw(kept * entryBytes);
    file.ReadExact(raw.data(), raw.size());
    format.colorTable.resize(kept);
    for (std::size_t i = 0; i < kept; ++i) {
      const std::uint8_t* e = raw.data() + i * entryBytes;
      format.colorTable[i] = RgbQuad{e[0], e[1], e[2], 0};
    }
  }

  const bool rle = info.compression == kBiRle8 || info.compression == kBiRle4;
  DibFormat made = format;
  if (rle) {
    made.bitsPerPixel = 24;
    made.colorTable.clear();
  }
  CheckMakeable(info, made);

  // The pixel data starts where the file header says when that lies after the colour table and inside the
  // file (some writers leave a gap); otherwise right after the table.
  const std::uint64_t dataStart = dataOffset >= tableEnd && dataOffset < fileSize ? dataOffset : tableEnd;
  const std::uint64_t rows = static_cast<std::uint64_t>(std::abs(static_cast<std::int64_t>(info.height)));
  std::uint64_t imageSize = info.imageSize;
  if (imageSize == 0) imageSize = DibStride(info.width, info.bitsPerPixel) * rows;
  file.Seek(dataStart);
  const std::uint64_t available = std::min(imageSize, file.Remaining());

  made.header = std::move(info.bytes);
  TBitmap picture;
  std::shared_ptr<PixelStore> view;
  if (rle) {
    const std::vector<std::uint8_t> data = file.ReadToVector(available);
    picture.CreateDib(std::move(made));
    ExpandRle(data, info.bitsPerPixel, format.colorTable, picture.Width(), picture.Height(),
              picture.StoredBytesForWrite(), picture.Stride());
  } else if (const std::size_t storeBytes = DibStride(made.width, made.bitsPerPixel) * rows;
             available >= storeBytes && (view = file.ViewPixels(dataStart, storeBytes))) {
    // The file holds every row: they are read where they lie.
    picture.CreateDib(std::move(made), std::move(view));
  } else {
    picture.CreateDib(std::move(made));
    const std::span<std::uint8_t> pixels = picture.StoredBytesForWrite();
    file.Read(pixels.data(), static_cast<std::size_t>(std::min<std::uint64_t>(available, pixels.size())));
  }
  bitmap.Assign(picture);
}

}  // namespace mozenta
