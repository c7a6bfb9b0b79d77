#include "source_picture.h"

#include <utility>

#include "errors.h"
#include "file_formats.h"
#include "file_name.h"
#include "input_file.h"
#include "jpeg_decoder.h"
#include "jpeg_image.h"
#include "orientation.h"

namespace mozenta {
namespace {

// Reads the file into a new picture of the class its extension selects and, on success only, puts that
// picture into `holder`.
void LoadPictureFile(TPicture& holder, const std::string& fileName, const PictureDecodeSettings& settings) {
  const std::string extension = FileExtension(fileName);
  const FileFormat* format = TFileFormatsList::Instance().Find(extension);
  if (format == nullptr) throw EInvalidGraphic(MessageText(MessageId::kUnknownExtension, extension));
  std::unique_ptr<TGraphic> graphic = format->factory(settings);
  {
    InputFile file(fileName);
    file.AllowViews(settings.viewFileRows);
    graphic->LoadFromFile(file);
  }
  holder.SetGraphic(std::move(graphic));
}

}  // namespace

TBitmap& RequireBitmap(TPicture& holder) {
  if (auto* bitmap = dynamic_cast<TBitmap*>(holder.Graphic())) return *bitmap;
  auto bitmap = std::make_unique<TBitmap>();
  TBitmap& result = *bitmap;
  holder.SetGraphic(std::move(bitmap));
  return result;
}

void LoadSourcePicture(SourcePicture& form2, const std::string& fileName,
                       const PictureDecodeSettings& settings) {
  LoadPictureFile(form2.image1, fileName, settings);
  TBitmap& bitmap = RequireBitmap(form2.all1);
  form2.image1.Graphic()->AssignTo(bitmap);
}

SourcePictureLoad::SourcePictureLoad(SourcePicture& form2, const std::string& fileName,
                                     const PictureDecodeSettings& settings) {
  LoadPictureFile(form2.image1, fileName, settings);
  TBitmap& bitmap = RequireBitmap(form2.all1);
  const auto* jpeg = dynamic_cast<const TJPEGImage*>(form2.image1.Graphic());
  // A photo turned upright is decoded whole first: its rows come out of the decoder in another order.
  if (jpeg == nullptr || jpeg->Orientation() != kOrientationUpright) {
    form2.image1.Graphic()->AssignTo(bitmap);
    return;
  }
  decoding_ = std::thread([this, jpeg, &bitmap, depth = settings.displayBitsPerPixel] {
    try {
      DecodeJpegInto(jpeg->Bytes(), depth, bitmap, &rows_);
    } catch (...) {
      error_ = std::current_exception();
      failed_ = true;
    }
    rows_.PublishAll();
  });
  rows_.WaitFor(0);
  if (failed_) Finish();
}

SourcePictureLoad::~SourcePictureLoad() {
  if (decoding_.joinable()) decoding_.join();
}

void SourcePictureLoad::Finish() {
  if (decoding_.joinable()) decoding_.join();
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

const TBitmap* SourceBitmap(const SourcePicture& form2) {
  return dynamic_cast<const TBitmap*>(form2.all1.Graphic());
}

}  // namespace mozenta
