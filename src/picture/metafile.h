// TMetafile: a Windows metafile (with its placeable header) or an enhanced metafile. A metafile is read and
// its records are checked, but it never becomes a bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "graphic.h"

namespace mozenta {

class TMetafile : public TGraphic {
 public:
  const char* ClassName() const override { return "TMetafile"; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }

  // Reads an enhanced metafile when the content says so (whatever the extension), otherwise a placeable
  // Windows metafile. Throws EReadError when the file is shorter than a fixed-size part it announces,
  // EInvalidGraphic "メタファイルが不正です" when the header or the records do not hold together.
  void LoadFromFile(InputFile& file) override;

  // The metafile records: the whole enhanced metafile, or the Windows metafile after its placeable header.
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace mozenta
