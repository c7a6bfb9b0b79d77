#include "conversion.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "color_grid.h"
#include "palette.h"

namespace mozenta {
namespace {

// Everything the pixel step needs of the palette, built once per conversion. The nearest entry is a pure
// function of the three 4-bit channels, so one lookup replaces the search over sixteen slots.
struct PaletteTables {
  std::array<std::uint8_t, 4096> nearest;                    // index by (r4 << 8) | (g4 << 4) | b4
  std::array<std::int32_t, kPaletteSlots> red, green, blue;  // expanded 8-bit channels
  std::array<std::uint32_t, kPaletteSlots> pixel;            // the mosaic pixel at the mosaic's depth
  std::array<std::int8_t, 511> third;  // d / 3 truncated toward zero, for d = -255..255 at d + 255
};

PaletteTables BuildTables(int mosaicBitsPerPixel) {
  PaletteTables t;
  for (int key = 0; key < 4096; ++key) {
    t.nearest[key] = static_cast<std::uint8_t>(NearestPaletteIndex(key >> 8, (key >> 4) & 15, key & 15));
  }
  for (int d = -255; d <= 255; ++d)
    t.third[d + 255] = static_cast<std::int8_t>(d / 3);
  for (int i = 0; i < kPaletteSlots; ++i) {
    const std::uint32_t r = ExpandNibble(Palette[i].R), g = ExpandNibble(Palette[i].G),
                        b = ExpandNibble(Palette[i].B);
    t.red[i] = static_cast<std::int32_t>(r);
    t.green[i] = static_cast<std::int32_t>(g);
    t.blue[i] = static_cast<std::int32_t>(b);
    if (mosaicBitsPerPixel == 16) {
      t.pixel[i] = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
    } else {
      t.pixel[i] = b | (g << 8) | (r << 16);  // blue, green, red, 0 in memory order
    }
  }
  return t;
}

struct ColumnErrors {
  std::int32_t red[kMaxMosaicColumns];
  std::int32_t green[kMaxMosaicColumns];
  std::int32_t blue[kMaxMosaicColumns];
};

// One mosaic row being converted: where its pixels come from and go to, and the error carried right.
struct RowLane {
  const std::uint8_t* source;  // blue, green, red at offsets 0, 1, 2 of every pixel
  std::uint8_t* mosaic;
  std::uint8_t* gridRow;  // &ColorGrid[0][y]
  std::int32_t carryRed = 0, carryGreen = 0, carryBlue = 0;
};

inline std::int32_t ClampChannel(std::int32_t v) {
  v = v > 255 ? 255 : v;
  return v < 0 ? 0 : v;
}

template <int SourceStep, int MosaicBytes>
inline void PixelStep(RowLane& lane, int x, ColumnErrors& above, const PaletteTables& t) {
  const std::uint8_t* p = lane.source + SourceStep * x;
  const std::int32_t r = ClampChannel(p[2] + above.red[x] + lane.carryRed);
  const std::int32_t g = ClampChannel(p[1] + above.green[x] + lane.carryGreen);
  const std::int32_t b = ClampChannel(p[0] + above.blue[x] + lane.carryBlue);
  const std::uint8_t i = t.nearest[((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4)];
  // Integer division truncates toward zero, as the diffusion requires.
  const std::int32_t er = t.third[r - t.red[i] + 255], eg = t.third[g - t.green[i] + 255],
                     eb = t.third[b - t.blue[i] + 255];
  lane.carryRed = er;
  lane.carryGreen = eg;
  lane.carryBlue = eb;
  above.red[x] = er;
  above.green[x] = eg;
  above.blue[x] = eb;
  const std::uint32_t pixel = t.pixel[i];
  if constexpr (MosaicBytes == 4) {
    std::memcpy(lane.mosaic + 4 * x, &pixel, 4);
  } else if constexpr (MosaicBytes == 3) {
    std::memcpy(lane.mosaic + 3 * x, &pixel, 3);
  } else {
    const auto word = static_cast<std::uint16_t>(pixel);
    std::memcpy(lane.mosaic + 2 * x, &word, 2);
  }
  lane.gridRow[static_cast<std::size_t>(x) * kGridRows] = i;
}

// Converts Rows consecutive rows together. Row k runs k columns behind row k − 1, so the error it takes
// from above is ready, and the rows' serial chains (the error carried right) overlap in the processor.
template <int Rows, int SourceStep, int MosaicBytes>
void ConvertRows(RowLane (&lanes)[Rows], int width, ColumnErrors& above, const PaletteTables& t) {
  const int steps = width + Rows - 1;
  int step = 0;
  auto guardedStep = [&](int s) {
    for (int k = 0; k < Rows; ++k) {
      const int x = s - k;
      if (x >= 0 && x < width) PixelStep<SourceStep, MosaicBytes>(lanes[k], x, above, t);
    }
  };
  for (; step < Rows - 1 && step < steps; ++step)
    guardedStep(step);
  for (; step < width; ++step) {
    for (int k = 0; k < Rows; ++k)
      PixelStep<SourceStep, MosaicBytes>(lanes[k], step - k, above, t);
  }
  for (; step < steps; ++step)
    guardedStep(step);
}

// Source rows in a layout the pixel step reads directly; other layouts are widened into a buffer first.
class SourceRows {
 public:
  SourceRows(const TBitmap& source, int width, int bandRows) : source_(source), width_(width) {
    switch (source.Layout()) {
      case TBitmap::PixelLayout::kBgr24:
        step_ = 3;
        break;
      case TBitmap::PixelLayout::kBgrx32:
        step_ = 4;
        break;
      default:
        step_ = 4;
        converted_.resize(static_cast<std::size_t>(width) * bandRows);
        break;
    }
  }
  int Step() const { return step_; }
  // Row y of the source; `slot` tells apart the rows of one band that are in use at the same time.
  const std::uint8_t* Row(int y, int slot) {
    if (converted_.empty()) return source_.ScanLine(y);
    std::uint32_t* out = converted_.data() + static_cast<std::size_t>(slot) * width_;
    source_.ReadRow(y, 0, width_, out);
    // Packed 0x00BBGGRR becomes the bytes blue, green, red, 0.
    for (int x = 0; x < width_; ++x) {
      const std::uint32_t c = out[x];
      out[x] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    }
    return reinterpret_cast<const std::uint8_t*>(out);
  }

 private:
  const TBitmap& source_;
  int width_;
  int step_ = 4;
  std::vector<std::uint32_t> converted_;
};

template <int SourceStep, int MosaicBytes>
void ConvertAllRows(SourceRows& rows, TBitmap& mosaic, int width, int height, const PaletteTables& t) {
  static ColumnErrors above;
  std::fill_n(above.red, width, 0);
  std::fill_n(above.green, width, 0);
  std::fill_n(above.blue, width, 0);
  constexpr int kBand = 4;
  int y = 0;
  for (; y + kBand <= height; y += kBand) {
    RowLane lanes[kBand];
    for (int k = 0; k < kBand; ++k) {
      lanes[k] = RowLane{rows.Row(y + k, k), mosaic.ScanLineForWrite(y + k), &ColorGrid[0][y + k]};
    }
    ConvertRows<kBand, SourceStep, MosaicBytes>(lanes, width, above, t);
  }
  for (; y < height; ++y) {
    RowLane lane[1] = {RowLane{rows.Row(y, 0), mosaic.ScanLineForWrite(y), &ColorGrid[0][y]}};
    ConvertRows<1, SourceStep, MosaicBytes>(lane, width, above, t);
  }
}

template <int SourceStep>
void ConvertWithSourceStep(SourceRows& rows, TBitmap& mosaic, int width, int height, const PaletteTables& t) {
  switch (mosaic.BitsPerPixel()) {
    case 16:
      ConvertAllRows<SourceStep, 2>(rows, mosaic, width, height, t);
      break;
    case 24:
      ConvertAllRows<SourceStep, 3>(rows, mosaic, width, height, t);
      break;
    default:
      ConvertAllRows<SourceStep, 4>(rows, mosaic, width, height, t);
      break;
  }
}

}  // namespace

void ConvertToMosaic(const TBitmap& source, TBitmap& mosaic, const SizeCaptionsHandler& showSize) {
  MaxX = source.Width() - 1;
  MaxY = source.Height() - 1;
  if (showSize) showSize(std::to_string(MaxX), std::to_string(MaxY));
  if (MaxX >= kMaxMosaicColumns) MaxX = kMaxMosaicColumns - 1;
  if (MaxY >= kMaxMosaicRows) MaxY = kMaxMosaicRows - 1;
  const int width = MaxX + 1;
  const int height = MaxY + 1;
  mosaic.SetSize(width, height);
  if (width == 0 || height == 0) return;

  const PaletteTables tables = BuildTables(mosaic.BitsPerPixel());
  SourceRows rows(source, width, 4);
  if (rows.Step() == 3) {
    ConvertWithSourceStep<3>(rows, mosaic, width, height, tables);
  } else {
    ConvertWithSourceStep<4>(rows, mosaic, width, height, tables);
  }
  mosaic.PixelsChanged();
}

}  // namespace mozenta
