// The mosaic as a bitmap file: a 14-byte file header, a 40-byte info header and the mosaic's rows, bottom
// row first.
#pragma once

#include <array>
#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "buffered_output.h"
#include "mosaic_grid.h"
#include "palette.h"
#include "picture/bitmap.h"
#include "picture/rows_ready.h"

namespace mozenta {

// The file header, the info header and, for pictures that have them, the channel masks and the colour
// table: everything before the pixel array of `imageBytes`. Empty for a picture without columns or rows.
std::vector<std::uint8_t> BitmapFileHeaders(const DibFormat& format, std::size_t imageBytes);
std::vector<std::uint8_t> BitmapFileHeaders(const TBitmap& bitmap);

// What a mosaic bitmap file is written from: the stored rows of a bitmap (the mosaic the windows show), or
// the grid's cells inside its limits painted in the palette's colours at a depth (mozenta-batch, which
// keeps no mosaic bitmap). A bitmap painted by the conversion and the grid and palette it was painted from
// give the same bytes.
class MosaicPixels {
 public:
  MosaicPixels(const TBitmap& bitmap) : bitmap_(&bitmap) {}  // NOLINT: a bitmap is the common case
  MosaicPixels(const MosaicGrid& grid, const Palette& palette, int bitsPerPixel);

  std::vector<std::uint8_t> Headers() const;
  // A bitmap's stored rows into `out`, bottom row first; stops early, returning false, once `stop` is
  // requested.
  bool WriteRows(BufferedOutput& out, std::stop_token stop) const;
  // Writes `headers` and the grid's pixel array into `out`, a piece of `piece` bytes (the buffer's size)
  // at a time from the file's end to its start, each piece once `ready` has the rows it holds: a
  // conversion makes the top rows first, and they lie at the end. So the file goes to the disk while the
  // conversion still runs. Pieces before the last need a Positional() `out`; a piece as large as the file
  // writes it in turn. Stops early, returning false, once `stop` is requested.
  bool WriteFromTheEnd(BufferedOutput& out, const std::vector<std::uint8_t>& headers, std::size_t piece,
                       const RowsReady& ready, std::stop_token stop) const;
  bool FromGrid() const { return grid_ != nullptr; }

 private:
  const TBitmap* bitmap_ = nullptr;
  const MosaicGrid* grid_ = nullptr;
  int bitsPerPixel_ = 32;
  std::array<std::uint32_t, kPaletteSlots> pixels_{};
};

// Writes the file into `file` (created, not yet in its place) and finishes it. Pixels painted from a grid
// are written as `ready` (when given) publishes the grid's rows. Throws EWriteError
// "ストリームへの書き込みエラー" when a write or the final flush fails. Returns early, leaving the file
// unfinished, once `stop` is requested.
void WriteMosaicBitmapFile(AtomicFile& file, const MosaicPixels& pixels, std::stop_token stop = {},
                           const RowsReady* ready = nullptr);

// Writes the file `fileName` and puts it in place of an existing one: the headers, then the rows. A picture
// without columns or rows gives an empty file. Throws EFCreateError "ファイル <name> を作成できません" when
// the file cannot be created or put in place, EWriteError when a write fails; the previous file is then
// left as it was.
void WriteMosaicBitmapFile(const std::string& fileName, const MosaicPixels& pixels);

}  // namespace mozenta
