#include "image_control.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <cstring>

namespace mozenta {

void ReadScreenRow(const TBitmap& bitmap, int y, int x0, int count, std::uint32_t* out) {
  const std::uint8_t* row = bitmap.ScanLine(y);
  switch (bitmap.Layout()) {
    case TBitmap::PixelLayout::kBgrx32:
      // Blue, green, red, unused in memory is 0x??RRGGBB as a little-endian word.
      std::memcpy(out, row + 4 * static_cast<std::size_t>(x0), 4 * static_cast<std::size_t>(count));
      for (int i = 0; i < count; ++i)
        out[i] |= 0xFF000000u;
      return;
    case TBitmap::PixelLayout::kBgr24: {
      const std::uint8_t* p = row + 3 * static_cast<std::size_t>(x0);
      for (int i = 0; i < count; ++i, p += 3)
        out[i] = 0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
      return;
    }
    default:
      bitmap.ReadRow(y, x0, count, out);
      for (int i = 0; i < count; ++i) {
        const std::uint32_t c = out[i];  // 0x00BBGGRR
        out[i] = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
      }
      return;
  }
}

void PaintBitmapArea(QPainter& painter, const TBitmap& bitmap, const QRect& area,
                     std::vector<std::uint32_t>& scratch) {
  const QRect visible = area & QRect(0, 0, bitmap.Width(), bitmap.Height());
  if (visible.isEmpty()) return;
  const std::size_t width = static_cast<std::size_t>(visible.width());
  const std::size_t pixels = width * static_cast<std::size_t>(visible.height());
  if (scratch.size() < pixels) scratch.resize(pixels);
  for (int y = 0; y < visible.height(); ++y)
    ReadScreenRow(bitmap, visible.top() + y, visible.left(), visible.width(), scratch.data() + width * y);
  const QImage tile(reinterpret_cast<const uchar*>(scratch.data()), visible.width(), visible.height(),
                    static_cast<qsizetype>(width * 4), QImage::Format_RGB32);
  painter.drawImage(visible.topLeft(), tile);
}

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void ImageControl::SetBitmap(const TBitmap* bitmap) {
  bitmap_ = bitmap;
  PictureChanged();
}

QSize ImageControl::ShownSize() const {
  return bitmap_ == nullptr ? QSize() : QSize(bitmap_->Width(), bitmap_->Height());
}

void ImageControl::PictureChanged() {
  if (autoSize_ && bitmap_ != nullptr && bitmap_->Width() > 0 && bitmap_->Height() > 0) resize(ShownSize());
  update();
}

void ImageControl::paintEvent(QPaintEvent* event) {
  if (bitmap_ == nullptr) return;
  QPainter painter(this);
  for (const QRect& area : event->region())
    PaintBitmapArea(painter, *bitmap_, area, scratch_);
}

}  // namespace mozenta
