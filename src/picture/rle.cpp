#include "rle.h"

#include <algorithm>
#include <array>

#include "errors.h"

namespace mozenta {
namespace {

// Escape codes that follow a zero count.
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;

class RleCanvas {
 public:
  RleCanvas(const std::vector<RgbQuad>& table, int width, int height, std::span<std::uint8_t> pixels,
            std::size_t stride)
      : width_(width), height_(height), pixels_(pixels), stride_(stride) {
    std::copy_n(table.begin(), std::min<std::size_t>(table.size(), colours_.size()), colours_.begin());
  }

  // The next `count` pixels of the current row exist, or the data is refused.
  void Reserve(std::int64_t count) const {
    if (y_ >= height_ || x_ + count > width_) throw EInvalidGraphic(MessageText(MessageId::kInvalidBitmap));
  }
  void Put(std::uint8_t index) {
    const RgbQuad& c = colours_[index];
    std::uint8_t* p =
        pixels_.data() + static_cast<std::size_t>(y_) * stride_ + 3 * static_cast<std::size_t>(x_);
    p[0] = c.blue;
    p[1] = c.green;
    p[2] = c.red;
    ++x_;
  }
  void EndOfLine() {
    x_ = 0;
    ++y_;
  }
  void Move(std::int64_t dx, std::int64_t dy) {
    x_ += dx;
    y_ += dy;
    if (x_ > width_ || y_ > height_) throw EInvalidGraphic(MessageText(MessageId::kInvalidBitmap));
  }

 private:
  std::array<RgbQuad, 256> colours_{};
  std::int64_t width_, height_;
  std::int64_t x_ = 0, y_ = 0;  // y counts rows from the bottom, as they are stored
  std::span<std::uint8_t> pixels_;
  std::size_t stride_;
};

}  // namespace

void ExpandRle(std::span<const std::uint8_t> data, int bitsPerPixel, const std::vector<RgbQuad>& table,
               int width, int height, std::span<std::uint8_t> pixels, std::size_t stride) {
  const bool four = bitsPerPixel == 4;
  RleCanvas canvas(table, width, height, pixels, stride);
  const std::size_t size = data.size();
  std::size_t pos = 0;
  while (size - pos >= 2) {
    const std::uint8_t count = data[pos];
    const std::uint8_t value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      // An encoded run: one index, or two alternating 4-bit indices.
      canvas.Reserve(count);
      if (four) {
        const std::uint8_t pair[2] = {static_cast<std::uint8_t>(value >> 4),
                                      static_cast<std::uint8_t>(value & 15)};
        for (int i = 0; i < count; ++i)
          canvas.Put(pair[i & 1]);
      } else {
        for (int i = 0; i < count; ++i)
          canvas.Put(value);
      }
    } else if (value == kEndOfLine) {
      canvas.EndOfLine();
    } else if (value == kEndOfBitmap) {
      break;
    } else if (value == kDelta) {
      if (size - pos < 2) break;
      canvas.Move(data[pos], data[pos + 1]);
      pos += 2;
    } else {
      // An absolute run of `value` indices, padded to a whole 16-bit word.
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      if (size - pos < bytes) break;
      canvas.Reserve(value);
      const std::uint8_t* run = data.data() + pos;
      for (int i = 0; i < value; ++i)
        canvas.Put(four ? ((i & 1) ? run[i / 2] & 15 : run[i / 2] >> 4) : run[i]);
      pos += std::min(bytes + (bytes & 1), size - pos);
    }
  }
}

}  // namespace mozenta
