// Feeds arbitrary bytes to the BMP reader and reads pixels back from what it makes: the first and last
// columns of rows at the top, middle and bottom, so a picture near the size cap costs no more than a small
// one.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "picture/bitmap.h"
#include "picture/errors.h"
#include "picture/input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mozenta;
  InputFile file = InputFile::FromBytes(std::vector<std::uint8_t>(data, data + size));
  TBitmap bitmap;
  try {
    bitmap.LoadFromFile(file);
  } catch (const Exception&) {
    return 0;
  }
  constexpr int kSpan = 256;
  std::vector<std::uint32_t> row(kSpan);
  const int width = bitmap.Width(), height = bitmap.Height();
  const int count = std::min(width, kSpan);
  for (int y = 0; y < height; ++y) {
    if (y == kSpan) y = std::max(kSpan, height / 2);
    if (y == height / 2 + kSpan) y = std::max(y, height - kSpan);
    bitmap.ReadRow(y, 0, count, row.data());
    bitmap.ReadRow(y, width - count, count, row.data());
  }
  return 0;
}
