// The BMP reader: OS/2 core headers and Windows info headers, colour tables, bit-field masks and the two
// run-length compressions, read into a TBitmap.
#pragma once

#include "bitmap.h"
#include "input_file.h"

namespace mozenta {

// Reads the whole of `file` from its first byte into `bitmap`, which keeps its old picture on failure.
// An empty file gives an empty (0 × 0) picture. Failures:
// - EReadError "ストリームからの読み込みエラー": a file of 1 to 13 bytes, or one that ends inside the masks
// or
//   the colour table;
// - EInvalidGraphic "ビットマップイメージが不正です": no "BM" signature, an unknown or cut header, planes
// other
//   than 1, a depth, compression, size or set of masks no bitmap can have, RLE data that leaves the picture;
// - EStreamError "メモリストリームの拡大中にメモリが足りなくなりました": RLE data too large to hold in
// memory.
void ReadBmp(InputFile& file, TBitmap& bitmap);

}  // namespace mozenta
