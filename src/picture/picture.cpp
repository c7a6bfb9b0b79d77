#include "picture.h"

namespace mozenta {

TPicture::~TPicture() {
  if (graphic_) graphic_->SetOnChange(nullptr);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  if (graphic_) graphic_->SetOnChange(nullptr);
  graphic_ = std::move(graphic);
  if (graphic_) graphic_->SetOnChange([this] { Changed(); });
  Changed();
}

}  // namespace mozenta
