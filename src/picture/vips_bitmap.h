// Our bitmaps and libvips images side by side: a bitmap read by a libvips pipeline straight from its rows,
// and a libvips image of 8-bit RGB written row by row into a new 24-bit bitmap.
#pragma once

#include <functional>

#include "bitmap.h"
#include "vips_runtime.h"

namespace mozenta::vips {

// An 8-bit sRGB image of three bands whose pixels libvips reads from `bitmap`'s rows as it needs them; no
// copy of the picture is made. `bitmap` must stay alive and unchanged while the image is in use. Any depth
// and layout of bitmap is read. nullptr on failure, with the library's error set.
ImageRef WrapBitmap(const TBitmap& bitmap);

// Called, on a libvips thread, with the rows written so far and all the rows; false stops the writing.
using RowsWrittenHandler = std::function<bool(int rowsWritten, int rows)>;

// Makes `target` a bottom-up 24-bit bitmap of `image`'s size and writes `image` into it, computing the
// pipeline on libvips' worker threads. `image` must have three bands of 8 bits. Throws EOutOfResources when
// the bitmap cannot be had; false when the pipeline fails (the library's error says why) or `rowsWritten`
// stops it, leaving `target` written as far as the pipeline got.
bool WriteIntoBitmap(VipsImage* image, TBitmap& target, const RowsWrittenHandler& rowsWritten = nullptr);

}  // namespace mozenta::vips
