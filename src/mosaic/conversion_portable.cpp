// The portable kernel of the conversion: plain C++, several rows in flight.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "conversion_kernel.h"

namespace mozenta::conversion_internal {
namespace {

// The error each column hands to the row below. Passed by value, so that the pointers stay in registers
// while cells are stored through byte pointers.
struct ColumnErrors {
  std::int32_t* red;
  std::int32_t* green;
  std::int32_t* blue;
};

// One mosaic row being converted: where its pixels come from and go to, and the error carried right.
struct RowLane {
  const std::uint8_t* source;  // blue, green, red at offsets 0, 1, 2 of every pixel
  std::uint8_t* mosaic;        // nullptr without a mosaic
  std::uint8_t* gridRow;       // the grid's cell (0, y)
  std::int32_t carryRed = 0, carryGreen = 0, carryBlue = 0;
};

inline std::int32_t ClampChannel(std::int32_t v) {
  v = v > 255 ? 255 : v;
  return v < 0 ? 0 : v;
}

template <int SourceStep, int MosaicBytes>
inline void PixelStep(RowLane& lane, int x, ColumnErrors above, const PaletteTables& t) {
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
  } else if constexpr (MosaicBytes == 2) {
    const auto word = static_cast<std::uint16_t>(pixel);
    std::memcpy(lane.mosaic + 2 * x, &word, 2);
  }
  lane.gridRow[static_cast<std::size_t>(x) * kGridRows] = i;
}

// Converts Rows consecutive rows together. Row k runs k columns behind row k − 1, so the error it takes
// from above is ready, and the rows' serial chains (the error carried right) overlap in the processor.
template <int Rows, int SourceStep, int MosaicBytes>
void ConvertRows(RowLane (&lanes)[Rows], int width, ColumnErrors above, const PaletteTables& t) {
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

constexpr int kBand = 4;
constexpr int kStripRows = 16;  // rows between two progress reports

template <int SourceStep, int MosaicBytes>
void ConvertAllRows(SourceRows& rows, const ConversionJob& job) {
  std::vector<std::int32_t> errors(static_cast<std::size_t>(3) * job.width, 0);
  const ColumnErrors above{errors.data(), errors.data() + job.width, errors.data() + 2 * job.width};
  std::uint8_t* const cells = job.grid.Cells();
  const auto mosaicRow = [&](int y) {
    return job.mosaic != nullptr ? job.mosaic->ScanLineForWrite(y) : nullptr;
  };
  int y = 0;
  for (; y + kBand <= job.height; y += kBand) {
    if (y % kStripRows == 0) job.RowsDone(y);
    RowLane lanes[kBand];
    for (int k = 0; k < kBand; ++k)
      lanes[k] = RowLane{rows.Row(y + k, k), mosaicRow(y + k), cells + y + k};
    ConvertRows<kBand, SourceStep, MosaicBytes>(lanes, job.width, above, job.tables);
  }
  for (; y < job.height; ++y) {
    RowLane lane[1] = {RowLane{rows.Row(y, 0), mosaicRow(y), cells + y}};
    ConvertRows<1, SourceStep, MosaicBytes>(lane, job.width, above, job.tables);
  }
}

}  // namespace

void ConvertPortable(const ConversionJob& job) {
  SourceRows rows(job.source, job.width, kBand, job.sourceReady);
  ForPixelLayout(
      rows.Step(), job.mosaic != nullptr ? job.mosaic->BitsPerPixel() : 0,
      [&]<int kSourceStep, int kMosaicBytes>() { ConvertAllRows<kSourceStep, kMosaicBytes>(rows, job); });
}

}  // namespace mozenta::conversion_internal
