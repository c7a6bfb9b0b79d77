// The base of every picture class: a picture of one kind that knows its size and reports each change of
// its content to whoever holds it.
#pragma once

#include <functional>
#include <utility>

namespace mozenta {

class TGraphic {
 public:
  virtual ~TGraphic() = default;

  // The class name as the user sees it in messages ("TBitmap", "TIcon", ...).
  virtual const char* ClassName() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() == 0 || Height() == 0; }

  void SetOnChange(std::function<void()> handler) { onChange_ = std::move(handler); }

 protected:
  TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  void Changed() {
    if (onChange_) onChange_();
  }

 private:
  std::function<void()> onChange_;
};

}  // namespace mozenta
