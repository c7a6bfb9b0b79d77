// ImageControl: shows a bitmap unscaled, its top-left corner at the control's top-left corner. Painting
// converts only the exposed part, straight from the bitmap's rows, so a picture of 2000 × 20000 pixels
// scrolls as smoothly as a small one and is never copied whole.
#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

#include "picture/bitmap.h"

class QPainter;

namespace mozenta {

// Columns x0 .. x0 + count − 1 of row y (counted from the top) as screen pixels 0xFFRRGGBB.
void ReadScreenRow(const TBitmap& bitmap, int y, int x0, int count, std::uint32_t* out);

// Paints the part of `bitmap` that lies in `area` (bitmap coordinates) at the same place on `painter`,
// converting it in `scratch`, which keeps its memory for the next call.
void PaintBitmapArea(QPainter& painter, const TBitmap& bitmap, const QRect& area,
                     std::vector<std::uint32_t>& scratch);

class ImageControl : public QWidget {
  Q_OBJECT

 public:
  explicit ImageControl(QWidget* parent = nullptr);

  // With auto-size on, the control takes the size of its picture each time the picture changes, unless
  // the picture is empty.
  void SetAutoSize(bool autoSize) { autoSize_ = autoSize; }
  bool AutoSize() const { return autoSize_; }

  // The bitmap to show, or nullptr for none. Not owned; it must outlive the control or be replaced.
  void SetBitmap(const TBitmap* bitmap);
  const TBitmap* Bitmap() const { return bitmap_; }

  // Call after the picture changed: takes its size (auto-size) and repaints.
  void PictureChanged();
  // The size the picture takes on the control: the bitmap's own.
  virtual QSize ShownSize() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

  std::vector<std::uint32_t> scratch_;

 private:
  const TBitmap* bitmap_ = nullptr;
  bool autoSize_ = false;
};

}  // namespace mozenta
