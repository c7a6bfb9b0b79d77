// Feeds arbitrary bytes to the JPEG picture class: reading (the header) and then the full decode into a
// bitmap, on a true-colour or a palette display.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/bitmap.h"
#include "picture/errors.h"
#include "picture/input_file.h"
#include "picture/jpeg_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mozenta;
  InputFile file = InputFile::FromBytes(std::vector<std::uint8_t>(data, data + size));
  TJPEGImage picture(size % 2 == 0 ? 32 : 8);
  try {
    picture.LoadFromFile(file);
    // Large pictures are legitimate and decoded or refused correctly, only slowly; keep each run short.
    if (static_cast<std::int64_t>(picture.Width()) * picture.Height() > (std::int64_t{1} << 22)) return 0;
    TBitmap bitmap;
    picture.AssignTo(bitmap);
    if (!bitmap.Empty()) bitmap.GetPixel(bitmap.Width() - 1, bitmap.Height() - 1);
  } catch (const Exception&) {
    // Refusals are the expected outcome for most inputs.
  }
  return 0;
}
