// Feeds arbitrary bytes to the palette file reader, and applies what it accepts.
#include <cstdint>
#include <string_view>

#include "mosaic/palette_file.h"
#include "picture/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mozenta;
  try {
    const PaletteFileColors file =
        ParsePaletteFile(std::string_view(reinterpret_cast<const char*>(data), size));
    Palette palette;
    ColorLabels labels;
    ApplyPaletteFile(file, palette, labels);
  } catch (const Exception&) {
  }
  return 0;
}
