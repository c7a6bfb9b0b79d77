// Expansion of run-length encoded BMP pixel data (8 bits per pixel, or 4) into a 24-bit picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bitmap.h"

namespace mozenta {

// Expands `data` into `pixels`: bottom-up rows of `width` 24-bit pixels, `stride` bytes apart, `height` rows,
// zero-filled beforehand. Each index becomes its colour-table entry (black beyond the table). Runs, absolute
// runs, end of line, delta and end of bitmap are honoured; data that ends early leaves the rest as it was.
// A run or delta that leaves the picture throws EInvalidGraphic "ビットマップイメージが不正です".
void ExpandRle(std::span<const std::uint8_t> data, int bitsPerPixel, const std::vector<RgbQuad>& table,
               int width, int height, std::span<std::uint8_t> pixels, std::size_t stride);

}  // namespace mozenta
