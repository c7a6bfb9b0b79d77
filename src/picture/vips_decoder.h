// Decoding a picture file through libvips into our 24-bit bitmap: only the loader of the format named is
// used; the size is checked from the header before any pixel is decoded; whatever the file holds becomes
// 8-bit sRGB.
#pragma once

#include "bitmap.h"
#include "input_file.h"
#include "vips_picture.h"

namespace mozenta {

// Decodes the whole of `file`, from its first byte, as `format` into `target`: a bottom-up 24-bit bitmap of
// the first page or frame, upright as the file's orientation says unless `keepOrientation` (HEIF files come
// upright from their decoder whatever it is). Sixteen-bit channels keep their top eight bits, grey and
// palette pictures are expanded, an embedded ICC profile or a CMYK picture is converted to sRGB, and
// transparency is laid over white.
//
// Throws EInvalidGraphic with the format's name: "%s イメージが不正です" for a file that is not of the
// format or whose data is broken, "%s イメージが途中で切れています" for one cut short, "%s イメージが大きすぎ
// ます (%s ピクセル)" when the 24-bit bitmap would exceed kMaxPixelStoreBytes (told from the header, before
// any pixel is decoded), "この種類の %s イメージには対応していません" for a variant we cannot decode (samples
// other than 8- or 16-bit integers, a codec libvips lacks). Throws EOutOfResources when memory runs out.
void DecodeWithVips(InputFile& file, LibraryFormat format, bool keepOrientation, TBitmap& target);

}  // namespace mozenta
