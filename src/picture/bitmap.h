// TBitmap: an in-memory device-independent bitmap. Rows are padded to whole 32-bit words and kept in the
// order of the header they were made from (bottom-up for a positive height, top-down for a negative one).
// Bitmaps share their pixel store by reference count; the first change through one of them gives it its
// own copy, as does the first change of a picture whose store is a read-only view of its file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "graphic.h"
#include "pixel_store.h"

namespace mozenta {

// Compression values of a device-independent bitmap that has been made (RLE files are expanded).
inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiBitfields = 3;

struct RgbQuad {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  std::uint8_t reserved = 0;
  friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};

// Everything a device-independent bitmap is made from, apart from its pixels.
struct DibFormat {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: the top row is stored first
  std::uint16_t bitsPerPixel = 32;
  std::uint32_t compression = kBiRgb;    // kBiRgb, or kBiBitfields with masks
  std::array<std::uint32_t, 3> masks{};  // red, green, blue; meaningful with kBiBitfields
  std::vector<RgbQuad> colorTable;       // for 1, 4 and 8 bits per pixel
  std::vector<std::uint8_t> header;      // the info header the picture was read from, if any
};

// Bytes of one row of `width` pixels at `bitsPerPixel`, padded to a multiple of 4; 0 when it overflows.
std::size_t DibStride(std::int64_t width, int bitsPerPixel);

class TBitmap : public TGraphic {
 public:
  // How pixels are laid out in a row, for code that walks rows directly.
  enum class PixelLayout {
    kIndexed,  // 1, 4 or 8 bits, colour table
    kBgr24,    // blue, green, red
    kBgrx32,   // blue, green, red, unused
    kMasked,   // 16 or 32 bits with channel masks (or the 16-bit default 5-5-5)
  };

  TBitmap();

  const char* ClassName() const override { return "TBitmap"; }
  int Width() const override { return format_.width; }
  int Height() const override { return format_.height < 0 ? -format_.height : format_.height; }

  // Reads a BMP file (see bmp_reader.h).
  void LoadFromFile(InputFile& file) override;
  // The target shares this bitmap's pixel store.
  void AssignTo(TBitmap& target) const override { target.Assign(*this); }

  // Replaces the picture by a zero-filled one made from `format`. Throws EOutOfResources when the pixel
  // store would exceed kMaxPixelStoreBytes or cannot be had.
  void CreateDib(DibFormat format);
  // Replaces the picture by one made from `format` whose pixels are `pixels`, which must hold them all
  // (a read-only view of a file, say); a view is copied before the first change. Throws EOutOfResources
  // like CreateDib, and EInvalidGraphic when the store is too small.
  void CreateDib(DibFormat format, std::shared_ptr<PixelStore> pixels);

  // Gives the picture this size as a bottom-up bitmap of the current depth without colour table or masks.
  // A picture that already has this size and depth and does not share its store keeps its store (and its
  // pixels), so repeated conversions of the same size reuse the memory.
  void SetSize(int width, int height);

  // The depth of the pictures SetSize makes: 16 (5-5-5), 24 or 32 bits per pixel.
  void SetPixelFormat(int bitsPerPixel);

  // Shares `other`'s pixel store and takes its format; reports a change.
  void Assign(const TBitmap& other);

  // Reports a change of the pixels to the holder, after a batch of direct row writes.
  void PixelsChanged() { Changed(); }

  const DibFormat& Format() const { return format_; }
  int BitsPerPixel() const { return format_.bitsPerPixel; }
  bool TopDown() const { return format_.height < 0; }
  std::size_t Stride() const { return stride_; }
  PixelLayout Layout() const { return layout_; }

  // Row y counted from the top of the picture, whatever the storage order.
  const std::uint8_t* ScanLine(int y) const { return StoreData() + RowOffset(y); }
  std::uint8_t* ScanLineForWrite(int y) { return MutableStoreData() + RowOffset(y); }

  // The pixel bytes in storage order: Stride() × Height() bytes.
  std::span<const std::uint8_t> StoredBytes() const;
  std::span<std::uint8_t> StoredBytesForWrite();

  // Pixel (x, y) as a packed colour 0x00BBGGRR: the colour-table entry for indexed pictures (black for an
  // index beyond the table), the stored bytes for 24 bits and default 32 bits, the masked channels widened
  // to 8 bits otherwise.
  std::uint32_t GetPixel(int x, int y) const;
  // Reads `count` pixels of row y from column x0 as packed colours.
  void ReadRow(int y, int x0, int count, std::uint32_t* out) const;
  // Writes pixel (x, y) from a packed colour; for 16, 24 and 32 bits per pixel without masks.
  void SetPixel(int x, int y, std::uint32_t color);

 private:
  struct ChannelDecoder {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    std::uint8_t Widen(std::uint32_t pixel) const;
  };

  std::size_t RowOffset(int y) const {
    const int row = TopDown() ? y : Height() - 1 - y;
    return static_cast<std::size_t>(row) * stride_;
  }
  const std::uint8_t* StoreData() const { return store_->Data(); }
  std::uint8_t* MutableStoreData();
  void UpdateLayout();
  std::uint32_t DecodeMasked(std::uint32_t pixel) const;

  DibFormat format_;
  std::size_t stride_ = 0;
  PixelLayout layout_ = PixelLayout::kBgrx32;
  std::array<ChannelDecoder, 3> channels_{};  // red, green, blue for kMasked
  std::shared_ptr<PixelStore> store_;
};

}  // namespace mozenta
