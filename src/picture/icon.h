// TIcon: the bytes of an icon file. An icon is read and checked, but never becomes a bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "graphic.h"

namespace mozenta {

class TIcon : public TGraphic {
 public:
  const char* ClassName() const override { return "TIcon"; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }

  // Copies the whole file into memory and checks its directory. Throws EReadError when the file is shorter
  // than the 6-byte directory header, EInvalidGraphic "アイコンイメージが不正です" for a type above 1 or
  // directory entries that do not fit the file, EStreamError when the copy cannot be had.
  void LoadFromFile(InputFile& file) override;

  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace mozenta
