// The base of every picture class: a picture of one kind that knows its size, reads itself from a file and
// reports each change of its content to whoever holds it.
#pragma once

#include <functional>
#include <utility>

namespace mozenta {

class InputFile;
class TBitmap;

class TGraphic {
 public:
  virtual ~TGraphic() = default;

  // The class name as the user sees it in messages ("TBitmap", "TIcon", ...).
  virtual const char* ClassName() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  bool Empty() const { return Width() == 0 || Height() == 0; }

  // Reads the whole open file from its first byte. On failure the picture is as it was before.
  virtual void LoadFromFile(InputFile& file) = 0;

  // Makes `target` take this picture's pixels. Pictures that cannot become a bitmap throw EConvertError
  // "%s を %s に代入することはできません" with their class name and "TBitmap".
  virtual void AssignTo(TBitmap& target) const;

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
