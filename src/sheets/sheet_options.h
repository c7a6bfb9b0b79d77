// The printable sheets (PDF) a save may write beside the other files: whether, on what paper, in colour or
// in black-and-white symbols.
#pragma once

namespace mozenta {

enum class PageSize { kA4, kA3, kLetter };

struct SheetOptions {
  bool enabled = false;  // "PDFも保存"
  PageSize page = PageSize::kA4;
  bool symbols = false;  // "白黒記号": labels in outlined squares, colours only in the legend
};

}  // namespace mozenta
