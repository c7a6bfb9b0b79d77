// Loading a picture file and making it the source picture: the two picture holders of the source picture
// window and the steps between them.
#pragma once

#include <atomic>
#include <exception>
#include <string>
#include <thread>

#include "bitmap.h"
#include "file_formats.h"
#include "picture.h"
#include "rows_ready.h"

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

// Loads like LoadSourcePicture, for a job that converts the picture while it is decoded: a JPEG picture is
// decoded on a second thread straight into the bitmap of `form2.all1`, and the constructor returns once that
// bitmap has its size, while its rows are still being filled from the top; Rows() tells how far. Finish()
// waits for the end and throws what LoadSourcePicture would have; the destructor waits too. Other
// pictures are loaded at once. The decoding thread runs the holders' change handlers: for holders that
// nothing watches (mozenta-batch).
class SourcePictureLoad {
 public:
  SourcePictureLoad(SourcePicture& form2, const std::string& fileName,
                    const PictureDecodeSettings& settings = {});
  ~SourcePictureLoad();
  SourcePictureLoad(const SourcePictureLoad&) = delete;
  SourcePictureLoad& operator=(const SourcePictureLoad&) = delete;

  // How far the rows are filled; nullptr when they all were from the start.
  const RowsReady* Rows() const { return decoding_.joinable() ? &rows_ : nullptr; }
  void Finish();

 private:
  RowsReady rows_;
  std::atomic<bool> failed_{false};
  std::exception_ptr error_;
  std::thread decoding_;
};

// Makes `holder` hold a TBitmap (keeping one it holds; otherwise a new, empty one) and returns it.
TBitmap& RequireBitmap(TPicture& holder);

// The source bitmap held by `form2.all1`; nullptr while it holds none.
const TBitmap* SourceBitmap(const SourcePicture& form2);

}  // namespace mozenta
