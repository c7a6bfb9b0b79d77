// The conversion of the largest mosaic (2000 × 20000 cells) from a 24-bit photo-like picture into a 32-bit
// mosaic, against a plain copy of the same bytes as the yardstick, as the windows make it (followed, into a
// grid of its own, then painted), and with every other choice of diffusion, walk and match, the perceptual
// one both first and repeated. MOZENTA_FORCE_PORTABLE=1 measures the portable classic kernel, as on
// processors without AVX2.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stop_token>
#include <string>

#include "mosaic/conversion.h"
#include "mosaic/grid_rows.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/palette.h"
#include "mosaic/perceptual_match_cache.h"
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

// The share of the mapping that holds `address` which the kernel backs with huge pages, from
// /proc/self/smaps; -1 where that cannot be read.
double HugePageShare(const void* address) {
  std::ifstream smaps("/proc/self/smaps");
  const auto wanted = reinterpret_cast<std::uintptr_t>(address);
  std::string line;
  bool inside = false;
  double rss = 0;
  while (std::getline(smaps, line)) {
    unsigned long low = 0, high = 0;
    char dash = 0;
    if (std::sscanf(line.c_str(), "%lx%c%lx", &low, &dash, &high) == 3 && dash == '-') {
      inside = wanted >= low && wanted < high;
      continue;
    }
    double kb = 0;
    if (inside && std::sscanf(line.c_str(), "Rss: %lf", &kb) == 1) rss = kb;
    if (inside && std::sscanf(line.c_str(), "AnonHugePages: %lf", &kb) == 1) return rss > 0 ? kb / rss : -1;
  }
  return -1;
}

// The program's one grid, as the windows keep it.
MosaicGrid& Grid() {
  static MosaicGrid* grid = new MosaicGrid;
  return *grid;
}

// Buffers reused between iterations, as in repeated conversions.
void BM_ConvertReused(benchmark::State& state) {
  const Palette palette;
  const TBitmap& source = Source();
  TBitmap mosaic;
  ConvertToMosaic(source, palette, Grid(), mosaic);
  for (auto _ : state) {
    ConvertToMosaic(source, palette, Grid(), mosaic);
    benchmark::DoNotOptimize(mosaic.StoredBytes().data());
  }
  SetCellCounters(state);
}
BENCHMARK(BM_ConvertReused)->Unit(benchmark::kMillisecond)->UseRealTime();

// As the windows make a mosaic: into a grid of its own, followed by a gauge and a stop that are never used
// here, then copied into the grid shown and painted into the mosaic from it. The paint alone beside it.
void BM_ConvertFollowedThenPainted(benchmark::State& state) {
  const Palette palette;
  const TBitmap& source = Source();
  SilentGauge gauge;
  std::stop_source stop;
  const ConversionProgress progress(&gauge, stop.get_token());
  static MosaicGrid* made = new MosaicGrid;
  TBitmap mosaic;
  ConvertToMosaic(source, palette, Grid(), mosaic);
  for (auto _ : state) {
    ConvertToGrid(source, palette, *made, nullptr, {}, progress);
    for (int x = 0; x <= made->MaxX(); ++x) {
      std::memcpy(Grid().Cells() + MosaicGrid::Offset(x, 0), made->Cells() + MosaicGrid::Offset(x, 0),
                  static_cast<std::size_t>(made->MaxY() + 1));
    }
    Grid().SetLimits(made->MaxX(), made->MaxY());
    PaintMosaic(Grid(), palette, mosaic);
    benchmark::DoNotOptimize(mosaic.StoredBytes().data());
  }
  SetCellCounters(state);
}
BENCHMARK(BM_ConvertFollowedThenPainted)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PaintMosaic(benchmark::State& state) {
  const Palette palette;
  TBitmap mosaic;
  ConvertToMosaic(Source(), palette, Grid(), mosaic);
  for (auto _ : state) {
    PaintMosaic(Grid(), palette, mosaic);
    benchmark::DoNotOptimize(mosaic.StoredBytes().data());
  }
  SetCellCounters(state);
}
BENCHMARK(BM_PaintMosaic)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with other options: the portable kernel of every diffusion, serpentine walks, and the
// perceptual match, whose answers are settled afresh in every conversion: the first conversion with a
// palette.
void BM_ConvertWith(benchmark::State& state, ConversionOptions options) {
  const Palette palette;
  const TBitmap& source = Source();
  TBitmap mosaic;
  ConvertToMosaic(source, palette, Grid(), mosaic, nullptr, options);
  for (auto _ : state) {
    state.PauseTiming();
    PerceptualMatchCache::Shared().Clear();
    state.ResumeTiming();
    ConvertToMosaic(source, palette, Grid(), mosaic, nullptr, options);
    benchmark::DoNotOptimize(mosaic.StoredBytes().data());
  }
  SetCellCounters(state);
}
constexpr ConversionOptions Options(Diffusion diffusion, bool serpentine = false,
                                    ColorMatch match = ColorMatch::kClassic) {
  return {match, diffusion, serpentine};
}
BENCHMARK_CAPTURE(BM_ConvertWith, floyd_steinberg, Options(Diffusion::kFloydSteinberg))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ConvertWith, atkinson, Options(Diffusion::kAtkinson))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ConvertWith, sierra_lite, Options(Diffusion::kSierraLite))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ConvertWith, none, Options(Diffusion::kNone))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ConvertWith, classic_serpentine, Options(Diffusion::kClassic, true))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ConvertWith, floyd_steinberg_serpentine, Options(Diffusion::kFloydSteinberg, true))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ConvertWith, perceptual, Options(Diffusion::kClassic, false, ColorMatch::kPerceptual))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ConvertWith, perceptual_floyd_steinberg,
                  Options(Diffusion::kFloydSteinberg, false, ColorMatch::kPerceptual))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The perceptual match again with the palette of the conversion before, as the windows convert again: the
// answers kept from the first conversion leave only the walk (settled_mib: the memory they hold).
void BM_ConvertRepeated(benchmark::State& state, ConversionOptions options) {
  const Palette palette;
  const TBitmap& source = Source();
  TBitmap mosaic;
  PerceptualMatchCache::Shared().Clear();
  ConvertToMosaic(source, palette, Grid(), mosaic, nullptr, options);
  for (auto _ : state) {
    ConvertToMosaic(source, palette, Grid(), mosaic, nullptr, options);
    benchmark::DoNotOptimize(mosaic.StoredBytes().data());
  }
  SetCellCounters(state);
  state.counters["settled_mib"] =
      static_cast<double>(PerceptualMatchCache::Shared().MatchFor(palette)->SettledBytes()) / (1 << 20);
}
BENCHMARK_CAPTURE(BM_ConvertRepeated, perceptual,
                  Options(Diffusion::kClassic, false, ColorMatch::kPerceptual))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_ConvertRepeated, perceptual_floyd_steinberg,
                  Options(Diffusion::kFloydSteinberg, false, ColorMatch::kPerceptual))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A fresh mosaic every time, as in the first conversion: includes the first touch of its memory, which
// huge pages keep cheap (huge_page_share: the part of the mosaic's store they back).
void BM_ConvertFreshMosaic(benchmark::State& state) {
  const Palette palette;
  const TBitmap& source = Source();
  double hugePageShare = 0;
  for (auto _ : state) {
    TBitmap mosaic;
    ConvertToMosaic(source, palette, Grid(), mosaic);
    benchmark::DoNotOptimize(mosaic.StoredBytes().data());
    state.PauseTiming();
    hugePageShare = HugePageShare(mosaic.StoredBytes().data());
    state.ResumeTiming();
  }
  SetCellCounters(state);
  state.counters["huge_page_share"] = hugePageShare;
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
