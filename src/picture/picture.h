// TPicture: the holder an image control owns. It holds at most one picture of any class, owns it, and
// passes each change of it on to its own change handler.
#pragma once

#include <functional>
#include <memory>

#include "graphic.h"

namespace mozenta {

class TPicture {
 public:
  TPicture() = default;
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  TGraphic* Graphic() const { return graphic_.get(); }
  // Frees the old picture, keeps `graphic` (which may be null) and reports a change.
  void SetGraphic(std::unique_ptr<TGraphic> graphic);

  void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

  int Width() const { return graphic_ ? graphic_->Width() : 0; }
  int Height() const { return graphic_ ? graphic_->Height() : 0; }

 private:
  void Changed() {
    if (onChange_) onChange_();
  }

  std::unique_ptr<TGraphic> graphic_;
  std::function<void()> onChange_;
};

}  // namespace mozenta
