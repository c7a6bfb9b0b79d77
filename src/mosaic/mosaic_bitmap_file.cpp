#include "mosaic_bitmap_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "grid_rows.h"
#include "output_set.h"
#include "picture/errors.h"

namespace mozenta {
namespace {

constexpr std::uint32_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;
// The file goes out in pieces of 4 MiB: few enough writes for the disk to take them at full speed.
constexpr std::size_t kBufferBytes = std::size_t{4} << 20;

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

[[noreturn]] void ThrowWriteError(int) {
  throw EWriteError(MessageText(MessageId::kWriteError));
}

}  // namespace

std::vector<std::uint8_t> BitmapFileHeaders(const DibFormat& format, std::size_t imageBytes) {
  std::vector<std::uint8_t> out;
  if (format.width <= 0 || format.height == 0) return out;
  const bool masked = format.compression == kBiBitfields;
  const auto tableEntries = static_cast<std::uint32_t>(format.colorTable.size());
  const std::uint32_t pixelOffset =
      kFileHeaderBytes + kInfoHeaderBytes + (masked ? 12 : 0) + 4 * tableEntries;
  // Pixel stores are capped at 1 GiB, so every size fits the 32-bit fields.
  const auto image = static_cast<std::uint32_t>(imageBytes);

  out.reserve(pixelOffset);
  out.push_back('B');
  out.push_back('M');
  Put32(out, pixelOffset + image);  // file size
  Put16(out, 0);                    // reserved
  Put16(out, 0);                    // reserved
  Put32(out, pixelOffset);

  Put32(out, kInfoHeaderBytes);
  Put32(out, static_cast<std::uint32_t>(format.width));
  Put32(out, static_cast<std::uint32_t>(format.height));  // positive for bottom-up rows
  Put16(out, 1);                                          // planes
  Put16(out, format.bitsPerPixel);
  Put32(out, masked ? kBiBitfields : kBiRgb);
  Put32(out, image);
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

std::vector<std::uint8_t> BitmapFileHeaders(const TBitmap& bitmap) {
  if (bitmap.Width() <= 0 || bitmap.Height() <= 0) return {};
  return BitmapFileHeaders(bitmap.Format(), bitmap.StoredBytes().size());
}

MosaicPixels::MosaicPixels(const MosaicGrid& grid, const Palette& palette, int bitsPerPixel)
    : grid_(&grid), bitsPerPixel_(bitsPerPixel == 16 || bitsPerPixel == 24 ? bitsPerPixel : 32) {
  for (int i = 0; i < kPaletteSlots; ++i)
    pixels_[i] = MosaicPixel(palette.Entry(i), bitsPerPixel_);
}

std::vector<std::uint8_t> MosaicPixels::Headers() const {
  if (bitmap_ != nullptr) return BitmapFileHeaders(*bitmap_);
  DibFormat format;
  format.width = grid_->MaxX() + 1;
  format.height = grid_->MaxY() + 1;
  format.bitsPerPixel = static_cast<std::uint16_t>(bitsPerPixel_);
  if (format.width <= 0 || format.height <= 0) return {};
  return BitmapFileHeaders(format, DibStride(format.width, bitsPerPixel_) * format.height);
}

bool MosaicPixels::WriteRows(BufferedOutput& out, std::stop_token stop) const {
  const auto stored = bitmap_->StoredBytes();
  for (std::size_t done = 0; done < stored.size(); done += kBufferBytes) {
    if (stop.stop_requested()) return false;
    out.Write(stored.data() + done, std::min(kBufferBytes, stored.size() - done));
  }
  return true;
}

bool MosaicPixels::WriteFromTheEnd(BufferedOutput& out, const std::vector<std::uint8_t>& headers,
                                   std::size_t piece, const RowsReady& ready, std::stop_token stop) const {
  const int width = grid_->MaxX() + 1, height = grid_->MaxY() + 1;
  const std::size_t stride = DibStride(width, bitsPerPixel_);
  const std::size_t pixelBytes = static_cast<std::size_t>(width) * (bitsPerPixel_ / 8);
  const std::uint64_t start = headers.size();
  const std::uint64_t size = start + static_cast<std::uint64_t>(stride) * height;
  std::vector<std::uint8_t> indices(static_cast<std::size_t>(kGridBandRows) * width);
  std::vector<std::uint8_t> row(stride, 0);  // a row cut by a piece's edge; the padding stays 0

  const std::uint64_t pieceBytes = std::min<std::uint64_t>(piece, size);
  std::uint64_t from = (size - 1) / pieceBytes * pieceBytes;
  out.Seek(from);
  for (;;) {
    const std::uint64_t to = std::min(from + pieceBytes, size);
    if (from < start) out.Write(headers.data() + from, std::min(to, start) - from);
    const std::uint64_t pixelsFrom = std::max(from, start);
    if (to > pixelsFrom) {
      // File rows first..last (the bottom row is file row 0) meet the piece.
      const auto first = static_cast<int>((pixelsFrom - start) / stride);
      const auto last = static_cast<int>((to - 1 - start) / stride);
      ready.WaitFor(height - first);
      for (int band = first; band <= last; band += kGridBandRows) {
        if (stop.stop_requested()) return false;
        const int count = std::min(kGridBandRows, last - band + 1);
        const int top = height - band - count;  // the band's top picture row
        GridRows(*grid_, top, count, width, indices.data());
        for (int k = 0; k < count; ++k) {
          const std::uint8_t* cells = indices.data() + static_cast<std::size_t>(count - 1 - k) * width;
          const std::uint64_t rowStart = start + static_cast<std::uint64_t>(band + k) * stride;
          const std::uint64_t a = std::max(rowStart, from), b = std::min(rowStart + stride, to);
          const bool whole = a == rowStart && b == rowStart + stride;
          if (whole && out.WriteInPlace(stride, [&](char* at) {
                auto* painted = reinterpret_cast<std::uint8_t*>(at);
                PaintRow(cells, width, bitsPerPixel_, pixels_.data(), painted);
                std::memset(painted + pixelBytes, 0, stride - pixelBytes);
                return stride;
              })) {
            continue;
          }
          PaintRow(cells, width, bitsPerPixel_, pixels_.data(), row.data());
          out.Write(row.data() + (a - rowStart), b - a);
        }
      }
    }
    if (from == 0) return true;
    from -= pieceBytes;
    out.Seek(from);
  }
}

void WriteMosaicBitmapFile(AtomicFile& file, const MosaicPixels& pixels, std::stop_token stop,
                           const RowsReady* ready) {
  const std::vector<std::uint8_t> headers = pixels.Headers();
  BufferedOutput out(file, kBufferBytes, ThrowWriteError, true);
  if (!headers.empty()) {
    bool written;
    if (pixels.FromGrid()) {
      // From the end as the rows come where the file can be written out of order; otherwise in turn, as
      // one piece, once every row is there.
      RowsReady all;
      all.PublishAll();
      const bool fromTheEnd = ready != nullptr && out.Positional();
      written = pixels.WriteFromTheEnd(out, headers, fromTheEnd ? kBufferBytes : SIZE_MAX,
                                       ready != nullptr ? *ready : all, stop);
    } else {
      out.Write(headers.data(), headers.size());
      written = pixels.WriteRows(out, stop);
    }
    if (!written) return;
  }
  out.Close();
}

void WriteMosaicBitmapFile(const std::string& fileName, const MosaicPixels& pixels) {
  OutputSet outputs;
  AtomicFile& file = outputs.Add();
  if (file.Create(fileName) != 0) throw EFCreateError(MessageText(MessageId::kCannotCreateFile, fileName));
  WriteMosaicBitmapFile(file, pixels);
  if (outputs.Commit().file != nullptr) {
    throw EFCreateError(MessageText(MessageId::kCannotCreateFile, fileName));
  }
}

}  // namespace mozenta
