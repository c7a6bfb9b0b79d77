// Internals of the conversion shared by its kernels (the classic one, portable and AVX2, and the portable one
// of every other diffusion and match): the palette tables built once per conversion, the source rows as the
// kernels read them, the one dispatch over pixel layouts, and the choice of kernel. Only the conversion, its
// tests and its benchmark include this header.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "conversion_options.h"
#include "conversion_progress.h"
#include "mosaic_grid.h"
#include "palette.h"
#include "picture/bitmap.h"
#include "picture/rows_ready.h"
#include "simd.h"

namespace mozenta::conversion_internal {

// Everything the pixel step needs of the palette, built once per conversion. The nearest entry is a pure
// function of the three 4-bit channels, so one lookup replaces the search over sixteen slots.
struct PaletteTables {
  std::array<std::uint8_t, 4096> nearest;                    // index by (r4 << 8) | (g4 << 4) | b4
  std::array<std::int32_t, kPaletteSlots> red, green, blue;  // expanded 8-bit channels
  std::array<std::uint32_t, kPaletteSlots> pixel;            // the mosaic pixel at the mosaic's depth
  std::array<std::int8_t, 511> third;  // d / 3 truncated toward zero, for d = -255..255 at d + 255
  // Every nearest entry is one of 0..7 and every channel of the palette fits 4 bits: what the vector
  // kernel computes. Palettes the dialog and the command line make always do.
  bool eightEntriesOfFourBits;
};

PaletteTables BuildTables(const Palette& palette, int mosaicBitsPerPixel);

// One conversion as a kernel sees it: rows 0..height − 1, columns 0..width − 1 of `source` go into the
// grid's cells and, when there is one, `mosaic` (already sized). Source rows are read once `sourceReady`
// (when given) says they are there. A kernel calls RowsDone at the start of each strip of rows (every 16 or
// 32), which throws EAbort once a stop is asked for.
struct ConversionJob {
  const TBitmap& source;
  const Palette& palette;
  const PaletteTables& tables;
  MosaicGrid& grid;
  TBitmap* mosaic;
  int width;
  int height;
  const RowsReady* sourceReady = nullptr;
  const ConversionProgress* progress = nullptr;
  RowsReady* converted = nullptr;  // told of the grid's rows as they are complete

  // Rows 0..rows − 1 are in the grid.
  void RowsDone(int rows) const {
    if (converted != nullptr) converted->Publish(rows);
    if (progress != nullptr) progress->Reached(rows, height);
  }
};

using ConversionKernel = void (*)(const ConversionJob& job);

void ConvertPortable(const ConversionJob& job);
#if MOZENTA_AVX2_BUILT
// Needs tables.eightEntriesOfFourBits and a processor with AVX2.
void ConvertAvx2(const ConversionJob& job);
#endif

// The kernel this run takes for a classic job: the vector one where it is used and handles the tables.
ConversionKernel KernelFor(const PaletteTables& tables);

// The portable kernel of every other choice of diffusion, walk and match (conversion_diffusion.cpp).
void ConvertDiffusing(const ConversionJob& job, const ConversionOptions& options);

// Source rows in a layout the kernels read directly: blue, green, red at offsets 0, 1, 2 of every pixel,
// pixels Step() bytes apart. 24- and 32-bit pictures are read in place; other layouts are widened into a
// buffer of `bandRows` rows first. A row is handed out once `ready` (when given) has it.
class SourceRows {
 public:
  SourceRows(const TBitmap& source, int width, int bandRows, const RowsReady* ready = nullptr);
  int Step() const { return step_; }
  // Row y of the source; `slot` (0..bandRows − 1) tells apart the rows in use at the same time.
  const std::uint8_t* Row(int y, int slot);

 private:
  const TBitmap& source_;
  const RowsReady* ready_;
  int width_;
  int step_ = 4;
  std::vector<std::uint32_t> converted_;
};

// Calls body.template operator()<kSourceStep, kMosaicBytes>() with the source's pixel step (3 or 4) and the
// mosaic's bytes per pixel (2, 3 or 4 for 16, 24 and 32 bits; 0 without a mosaic), so that each kernel is
// compiled for every layout it meets.
template <typename Body>
void ForPixelLayout(int sourceStep, int mosaicBitsPerPixel, Body&& body) {
  const auto withStep = [&]<int kSourceStep>() {
    switch (mosaicBitsPerPixel) {
      case 0:
        body.template operator()<kSourceStep, 0>();
        break;
      case 16:
        body.template operator()<kSourceStep, 2>();
        break;
      case 24:
        body.template operator()<kSourceStep, 3>();
        break;
      default:
        body.template operator()<kSourceStep, 4>();
        break;
    }
  };
  if (sourceStep == 3) {
    withStep.template operator()<3>();
  } else {
    withStep.template operator()<4>();
  }
}

}  // namespace mozenta::conversion_internal
