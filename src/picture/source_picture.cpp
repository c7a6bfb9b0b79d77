#include "source_picture.h"

#include "errors.h"
#include "file_formats.h"
#include "file_name.h"
#include "input_file.h"

namespace mozenta {

void LoadPictureFile(TPicture& holder, const std::string& fileName) {
  const std::string extension = FileExtension(fileName);
  const FileFormat* format = FindPictureClass(extension);
  if (format == nullptr) throw EInvalidGraphic("拡張子 ." + extension + " の画像形式は処理できません");
  std::unique_ptr<TGraphic> graphic = format->factory();
  {
    InputFile file(fileName);
    graphic->LoadFromFile(file);
  }
  holder.SetGraphic(std::move(graphic));
}

TBitmap& RequireBitmap(TPicture& holder) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(holder.Graphic())) return *bitmap;
  auto bitmap = std::make_unique<TBitmap>();
  TBitmap& result = *bitmap;
  holder.SetGraphic(std::move(bitmap));
  return result;
}

void AssignPicture(TBitmap& bitmap, const TGraphic& picture) {
  picture.AssignTo(bitmap);
}

void LoadSourcePicture(SourcePicture& form2, const std::string& fileName) {
  LoadPictureFile(form2.image1, fileName);
  TBitmap& bitmap = RequireBitmap(form2.all1);
  AssignPicture(bitmap, *form2.image1.Graphic());
}

const TBitmap* SourceBitmap(const SourcePicture& form2) {
  return dynamic_cast<const TBitmap*>(form2.all1.Graphic());
}

}  // namespace mozenta
