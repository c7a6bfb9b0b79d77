// Internals of the conversion shared by its two kernels (the portable one and the AVX2 one): the palette
// tables built once per conversion, the source rows as the kernels read them, and the choice of kernel.
// Only the conversion and its tests include this header.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "palette.h"
#include "picture/bitmap.h"

namespace mozenta::conversion_internal {

// Everything the pixel step needs of the palette, built once per conversion. The nearest entry is a pure
// function of the three 4-bit channels, so one lookup replaces the search over sixteen slots.
struct PaletteTables {
  std::array<std::uint8_t, 4096> nearest;                    // index by (r4 << 8) | (g4 << 4) | b4
  std::array<std::int32_t, kPaletteSlots> red, green, blue;  // expanded 8-bit channels
  std::array<std::uint32_t, kPaletteSlots> pixel;            // the mosaic pixel at the mosaic's depth
  std::array<std::int8_t, 511> third;  // d / 3 truncated toward zero, for d = -255..255 at d + 255
};

PaletteTables BuildTables(int mosaicBitsPerPixel);

// Source rows in a layout the kernels read directly: blue, green, red at offsets 0, 1, 2 of every pixel,
// pixels Step() bytes apart. 24- and 32-bit pictures are read in place; other layouts are widened into a
// buffer of `bandRows` rows first.
class SourceRows {
 public:
  SourceRows(const TBitmap& source, int width, int bandRows);
  int Step() const { return step_; }
  // Row y of the source; `slot` (0..bandRows − 1) tells apart the rows in use at the same time.
  const std::uint8_t* Row(int y, int slot);

 private:
  const TBitmap& source_;
  int width_;
  int step_ = 4;
  std::vector<std::uint32_t> converted_;
};

// Converts rows 0..height − 1, columns 0..width − 1 of `source` into `mosaic` (already sized) and ColorGrid.
void ConvertPortable(const TBitmap& source, TBitmap& mosaic, int width, int height, const PaletteTables& t);

// The same with AVX2. Returns false, having touched nothing, when the processor lacks AVX2 or the tables
// are outside what the kernel handles (a nearest entry beyond 7).
bool ConvertAvx2(const TBitmap& source, TBitmap& mosaic, int width, int height, const PaletteTables& t);

// Which kernel ConvertToMosaic runs. kFastest takes the AVX2 kernel where the processor has it; tests force
// the portable one to compare both with the step-by-step conversion.
enum class Kernel { kFastest, kPortable };
void UseKernel(Kernel kernel);
Kernel KernelInUse();
// True when the AVX2 kernel is built in and the processor runs it.
bool Avx2KernelAvailable();

}  // namespace mozenta::conversion_internal
