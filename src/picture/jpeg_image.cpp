#include "jpeg_image.h"

#include <utility>

#include "input_file.h"
#include "jpeg_decoder.h"

namespace mozenta {

void TJPEGImage::LoadFromFile(InputFile& file) {
  std::vector<std::uint8_t> bytes = file.ReadToVector();
  JpegHeaderInfo header;
  if (!bytes.empty()) header = ReadJpegHeader(bytes);
  bytes_ = std::move(bytes);
  width_ = header.width;
  height_ = header.height;
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
  DecodeJpegInto(picture.bytes_, picture.displayBitsPerPixel_, *picture.bitmap_);
  picture.decoded_ = true;
  return *picture.bitmap_;
}

}  // namespace mozenta
