// The mosaic as a bitmap file: a 14-byte file header, a 40-byte info header and the bitmap's rows exactly
// as its store holds them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture/bitmap.h"

namespace mozenta {

// The file header, the info header and, for pictures that have them, the channel masks and the colour
// table: everything before the pixel array. Empty for a picture without columns or rows.
std::vector<std::uint8_t> BitmapFileHeaders(const TBitmap& bitmap);

// Writes `bitmap` to `fileName`, replacing an existing file: the headers, then the store in one piece
// (bottom-up rows for the mosaic). A picture without columns or rows gives an empty file. Throws
// EFCreateError "ファイル <name> を作成できません" when the file cannot be created and EWriteError
// "ストリームへの書き込みエラー" when a write or the close fails; the file is closed either way.
void WriteMosaicBitmapFile(const std::string& fileName, const TBitmap& bitmap);

}  // namespace mozenta
