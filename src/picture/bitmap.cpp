#include "bitmap.h"

#include <bit>
#include <cstring>
#include <limits>

#include "bmp_reader.h"
#include "errors.h"

namespace mozenta {
namespace {

std::uint32_t ReadLittleEndian(const std::uint8_t* p, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = (value << 8) | p[i];
  return value;
}

std::uint32_t PackRgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return r | (g << 8) | (b << 16);
}

std::uint32_t PackQuad(const RgbQuad& q) {
  return PackRgb(q.red, q.green, q.blue);
}

}  // namespace

std::size_t DibStride(std::int64_t width, int bitsPerPixel) {
  if (width < 0 || bitsPerPixel <= 0) return 0;
  if (width > (std::numeric_limits<std::int64_t>::max() - 31) / bitsPerPixel) return 0;
  const std::int64_t bits = width * bitsPerPixel;
  return static_cast<std::size_t>((bits + 31) / 32 * 4);
}

std::uint8_t TBitmap::ChannelDecoder::Widen(std::uint32_t pixel) const {
  if (bits == 0) return 0;
  const std::uint64_t value = (pixel & mask) >> shift;
  if (bits == 8) return static_cast<std::uint8_t>(value);
  // Scale the channel's range onto 0..255, rounding to the nearest level, for narrow and wide channels alike.
  const std::uint64_t maximum = (std::uint64_t{1} << bits) - 1;
  return static_cast<std::uint8_t>((value * 255 + maximum / 2) / maximum);
}

TBitmap::TBitmap() : store_(PixelStore::Create(0)) {}

void TBitmap::LoadFromFile(InputFile& file) {
  ReadBmp(file, *this);
}

void TBitmap::CreateDib(DibFormat format) {
  CreateDib(std::move(format), nullptr);
}

void TBitmap::CreateDib(DibFormat format, std::shared_ptr<PixelStore> pixels) {
  const std::size_t stride = DibStride(format.width, format.bitsPerPixel);
  const std::int64_t rows = format.height < 0 ? -static_cast<std::int64_t>(format.height) : format.height;
  if (format.width > 0 && stride == 0) throw EOutOfResources(MessageText(MessageId::kOutOfResources));
  if (rows > 0 && stride > kMaxPixelStoreBytes / static_cast<std::uint64_t>(rows)) {
    throw EOutOfResources(MessageText(MessageId::kOutOfResources));
  }
  const std::size_t bytes = stride * static_cast<std::size_t>(rows);
  if (pixels == nullptr) {
    pixels = PixelStore::Create(bytes);
  } else if (pixels->Size() < bytes) {
    throw EInvalidGraphic(MessageText(MessageId::kInvalidBitmap));
  }
  store_ = std::move(pixels);
  format_ = std::move(format);
  stride_ = stride;
  UpdateLayout();
  Changed();
}

void TBitmap::SetSize(int width, int height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  const bool reusable = format_.width == width && format_.height == height && format_.compression == kBiRgb &&
                        format_.colorTable.empty() && store_.use_count() == 1 && !store_->ReadOnly();
  if (reusable) {
    Changed();
    return;
  }
  DibFormat format;
  format.width = width;
  format.height = height;
  format.bitsPerPixel = format_.bitsPerPixel;
  if (format.bitsPerPixel != 16 && format.bitsPerPixel != 24) format.bitsPerPixel = 32;
  CreateDib(std::move(format));
}

void TBitmap::SetPixelFormat(int bitsPerPixel) {
  if (bitsPerPixel != 16 && bitsPerPixel != 24) bitsPerPixel = 32;
  if (bitsPerPixel == format_.bitsPerPixel && format_.colorTable.empty() && format_.compression == kBiRgb)
    return;
  DibFormat format;
  format.width = format_.width;
  format.height = format_.height;
  format.bitsPerPixel = static_cast<std::uint16_t>(bitsPerPixel);
  CreateDib(std::move(format));
}

void TBitmap::Assign(const TBitmap& other) {
  if (this == &other) return;
  format_ = other.format_;
  stride_ = other.stride_;
  layout_ = other.layout_;
  channels_ = other.channels_;
  store_ = other.store_;
  Changed();
}

std::span<const std::uint8_t> TBitmap::StoredBytes() const {
  return {StoreData(), stride_ * static_cast<std::size_t>(Height())};
}

std::span<std::uint8_t> TBitmap::StoredBytesForWrite() {
  return {MutableStoreData(), stride_ * static_cast<std::size_t>(Height())};
}

std::uint8_t* TBitmap::MutableStoreData() {
  if (store_.use_count() > 1 || store_->ReadOnly()) {
    auto copy = PixelStore::Create(store_->Size());
    std::memcpy(copy->Data(), store_->Data(), store_->Size());
    store_ = std::move(copy);
  }
  return store_->Data();
}

void TBitmap::UpdateLayout() {
  const int bpp = format_.bitsPerPixel;
  if (bpp <= 8) {
    layout_ = PixelLayout::kIndexed;
    return;
  }
  if (bpp == 24) {
    layout_ = PixelLayout::kBgr24;
    return;
  }
  std::array<std::uint32_t, 3> masks = format_.masks;
  if (format_.compression != kBiBitfields) {
    if (bpp == 32) {
      layout_ = PixelLayout::kBgrx32;
      return;
    }
    masks = {0x7C00, 0x03E0, 0x001F};  // the 16-bit default: 5 bits each
  } else if (bpp == 32 && masks == std::array<std::uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF}) {
    layout_ = PixelLayout::kBgrx32;
    return;
  }
  layout_ = PixelLayout::kMasked;
  for (int c = 0; c < 3; ++c) {
    const std::uint32_t mask = masks[c];
    ChannelDecoder& decoder = channels_[c];
    decoder.mask = mask;
    decoder.shift = mask == 0 ? 0 : std::countr_zero(mask);
    decoder.bits = mask == 0 ? 0 : std::bit_width(mask >> decoder.shift);
  }
}

std::uint32_t TBitmap::DecodeMasked(std::uint32_t pixel) const {
  return PackRgb(channels_[0].Widen(pixel), channels_[1].Widen(pixel), channels_[2].Widen(pixel));
}

std::uint32_t TBitmap::GetPixel(int x, int y) const {
  std::uint32_t color = 0;
  ReadRow(y, x, 1, &color);
  return color;
}

void TBitmap::ReadRow(int y, int x0, int count, std::uint32_t* out) const {
  const std::uint8_t* row = ScanLine(y);
  const int bpp = format_.bitsPerPixel;
  switch (layout_) {
    case PixelLayout::kIndexed: {
      const auto& table = format_.colorTable;
      const int perByte = 8 / bpp;
      const unsigned valueMask = (1u << bpp) - 1;
      for (int i = 0; i < count; ++i) {
        const int x = x0 + i;
        const int shift = (perByte - 1 - x % perByte) * bpp;
        const unsigned index = (row[x / perByte] >> shift) & valueMask;
        out[i] = index < table.size() ? PackQuad(table[index]) : 0;
      }
      break;
    }
    case PixelLayout::kBgr24:
      for (int i = 0; i < count; ++i) {
        const std::uint8_t* p = row + 3 * (x0 + i);
        out[i] = PackRgb(p[2], p[1], p[0]);
      }
      break;
    case PixelLayout::kBgrx32:
      for (int i = 0; i < count; ++i) {
        const std::uint8_t* p = row + 4 * (x0 + i);
        out[i] = PackRgb(p[2], p[1], p[0]);
      }
      break;
    case PixelLayout::kMasked: {
      const int bytes = bpp / 8;
      for (int i = 0; i < count; ++i)
        out[i] = DecodeMasked(ReadLittleEndian(row + bytes * (x0 + i), bytes));
      break;
    }
  }
}

void TBitmap::SetPixel(int x, int y, std::uint32_t color) {
  std::uint8_t* row = ScanLineForWrite(y);
  const std::uint8_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  switch (format_.bitsPerPixel) {
    case 32:
      row[4 * x] = b;
      row[4 * x + 1] = g;
      row[4 * x + 2] = r;
      row[4 * x + 3] = 0;
      break;
    case 24:
      row[3 * x] = b;
      row[3 * x + 1] = g;
      row[3 * x + 2] = r;
      break;
    case 16: {
      const std::uint16_t word = static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
      row[2 * x] = word & 0xFF;
      row[2 * x + 1] = word >> 8;
      break;
    }
    default:
      break;
  }
}

}  // namespace mozenta
