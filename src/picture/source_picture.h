// Loading a picture file and making it the source picture: the two picture holders of the source picture
// window and the steps between them.
#pragma once

#include <string>

#include "bitmap.h"
#include "file_formats.h"
#include "picture.h"

namespace mozenta {

struct SourcePicture {
  TPicture image1;  // the loader: the picture of the last file read without error, of whatever class
  TPicture all1;    // the source picture: a TBitmap from the first load that reached the bitmap step
};

// Reads `fileName` into `form2.image1` by its extension, then makes `form2.all1` hold a bitmap that takes
// that picture's pixels, decoded with `settings`. A failing step throws and leaves what the earlier steps
// did: an unknown extension is EInvalidGraphic "拡張子 .%s の画像形式は処理できません" (the file is not
// opened), a file that cannot be opened EFOpenError, a picture that cannot become a bitmap EConvertError,
// and otherwise the reader's error. Only a file read without error replaces the picture in `form2.image1`.
void LoadSourcePicture(SourcePicture& form2, const std::string& fileName,
                       const PictureDecodeSettings& settings = {});

// Makes `holder` hold a TBitmap (keeping one it holds; otherwise a new, empty one) and returns it.
TBitmap& RequireBitmap(TPicture& holder);

// The source bitmap held by `form2.all1`; nullptr while it holds none.
const TBitmap* SourceBitmap(const SourcePicture& form2);

}  // namespace mozenta
