// The conversion of the largest mosaic (2000 × 20000 cells) from a 24-bit photo-like picture into a 32-bit
// mosaic, against a plain copy of the same bytes as the yardstick.
#include <benchmark/benchmark.h>

#include <cstring>

#include "mosaic/conversion.h"
#include "mosaic/palette.h"
#include "photo_like.h"

namespace mozenta {
namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 20000;

const TBitmap& Source() {
  static TBitmap* source = [] {
    auto* b = new TBitmap;
    bench::FillPhotoLike(*b, kWidth, kHeight, 24);
    return b;
  }();
  return *source;
}

void SetCellCounters(benchmark::State& state) {
  state.counters["ns_per_cell"] =
      benchmark::Counter(static_cast<double>(kWidth) * kHeight * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Buffers reused between iterations, as in repeated conversions.
void BM_ConvertReused(benchmark::State& state) {
  ResetPalette();
  const TBitmap& source = Source();
  TBitmap mosaic;
  ConvertToMosaic(source, mosaic);
  for (auto _ : state) {
    ConvertToMosaic(source, mosaic);
    benchmark::DoNotOptimize(mosaic.StoredBytes().data());
  }
  SetCellCounters(state);
}
BENCHMARK(BM_ConvertReused)->Unit(benchmark::kMillisecond)->UseRealTime();

// A fresh mosaic every time, as in the first conversion: includes the first touch of its memory.
void BM_ConvertFreshMosaic(benchmark::State& state) {
  ResetPalette();
  const TBitmap& source = Source();
  for (auto _ : state) {
    TBitmap mosaic;
    ConvertToMosaic(source, mosaic);
    benchmark::DoNotOptimize(mosaic.StoredBytes().data());
  }
  SetCellCounters(state);
}
BENCHMARK(BM_ConvertFreshMosaic)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: read every source row and write a mosaic row of the same size.
void BM_PlainCopy(benchmark::State& state) {
  const TBitmap& source = Source();
  TBitmap mosaic;
  mosaic.SetSize(kWidth, kHeight);
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      const std::uint8_t* in = source.ScanLine(y);
      std::uint8_t* out = mosaic.ScanLineForWrite(y);
      for (int x = 0; x < kWidth; ++x) {
        out[4 * x] = in[3 * x];
        out[4 * x + 1] = in[3 * x + 1];
        out[4 * x + 2] = in[3 * x + 2];
        out[4 * x + 3] = 0;
      }
    }
    benchmark::DoNotOptimize(mosaic.StoredBytes().data());
  }
  SetCellCounters(state);
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace mozenta

BENCHMARK_MAIN();
