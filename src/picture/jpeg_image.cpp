#include "jpeg_image.h"

#include <utility>

#include "exif_orientation.h"
#include "input_file.h"
#include "jpeg_decoder.h"
#include "orientation.h"

namespace mozenta {

void TJPEGImage::LoadFromFile(InputFile& file) {
  std::vector<std::uint8_t> bytes = file.ReadToVector();
  JpegHeaderInfo header;
  if (!bytes.empty()) header = ReadJpegHeader(bytes);
  const int orientation = keepOrientation_ ? kOrientationUpright : JpegExifOrientation(bytes);
  bytes_ = std::move(bytes);
  orientation_ = orientation;
  const bool swap = OrientationSwapsSides(orientation);
  width_ = swap ? header.height : header.width;
  height_ = swap ? header.width : header.height;
  bitmap_.reset();
  decoded_ = false;
  Changed();
}

void TJPEGImage::AssignTo(TBitmap& target) const {
  target.Assign(DecodeJpeg(*this));
}

const TBitmap& DecodeJpeg(const TJPEGImage& picture) {
  if (picture.decoded_) return *picture.bitmap_;
  if (!picture.bitmap_) picture.bitmap_ = std::make_unique<TBitmap>();
  if (picture.orientation_ == kOrientationUpright) {
    DecodeJpegInto(picture.bytes_, picture.displayBitsPerPixel_, *picture.bitmap_);
  } else {
    TBitmap stored;
    DecodeJpegInto(picture.bytes_, picture.displayBitsPerPixel_, stored);
    MakeUpright(stored, picture.orientation_, *picture.bitmap_);
  }
  picture.decoded_ = true;
  return *picture.bitmap_;
}

}  // namespace mozenta
