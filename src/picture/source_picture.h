// Loading a picture file and making it the source picture: the two picture holders of the source picture
// window and the steps between them.
#pragma once

#include <string>

#include "bitmap.h"
#include "picture.h"

namespace mozenta {

struct SourcePicture {
  TPicture image1;  // the loader: the picture of the last file read without error, of whatever class
  TPicture all1;    // the source picture: a TBitmap from the first load that reached the bitmap step
};

// Reads `fileName` into `form2.image1` by its extension, then makes `form2.all1` hold a bitmap that takes
// that picture's pixels. A failing step throws and leaves what the earlier steps did.
void LoadSourcePicture(SourcePicture& form2, const std::string& fileName);

// Reads the file into a new picture of the class its extension selects and, on success only, puts that
// picture into `holder`. Throws EInvalidGraphic "拡張子 .%s の画像形式は処理できません" for an unknown
// extension (the file is not opened), EFOpenError when it cannot be opened, or the reader's error.
void LoadPictureFile(TPicture& holder, const std::string& fileName);

// Makes `holder` hold a TBitmap (keeping one it holds; otherwise a new, empty one) and returns it.
TBitmap& RequireBitmap(TPicture& holder);

// `bitmap` takes the pixels of `picture`, or EConvertError for pictures that cannot become a bitmap.
void AssignPicture(TBitmap& bitmap, const TGraphic& picture);

// The source bitmap held by `form2.all1`; nullptr while it holds none.
const TBitmap* SourceBitmap(const SourcePicture& form2);

}  // namespace mozenta
