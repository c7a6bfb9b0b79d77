// Fitting a phone-sized photo (6000 × 4000, 24-bit) to 400 × 300 sheets through libvips, against a plain
// read of every source pixel; and turning it a quarter, as a photo taken on its side is.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "photo_like.h"
#include "picture/orientation.h"
#include "picture/picture_fit.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;

const mozenta::TBitmap& Photo() {
  static const mozenta::TBitmap* photo = [] {
    auto* made = new mozenta::TBitmap;
    mozenta::bench::FillPhotoLike(*made, kWidth, kHeight, 24);
    return made;
  }();
  return *photo;
}

mozenta::FitSettings To400x300(mozenta::FitMode mode) {
  mozenta::FitSettings fit;
  fit.keepSize = false;
  fit.width = 400;
  fit.height = 300;
  fit.mode = mode;
  return fit;
}

void BM_FitPhotoTo400x300(benchmark::State& state) {
  const auto mode = static_cast<mozenta::FitMode>(state.range(0));
  const mozenta::FitPlan plan = mozenta::PlanFit(kWidth, kHeight, To400x300(mode));
  for (auto _ : state) {
    mozenta::TBitmap fitted;
    mozenta::FitPicture(Photo(), plan, fitted);
    benchmark::DoNotOptimize(fitted.ScanLine(0));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Photo().StoredBytes().size()));
}
BENCHMARK(BM_FitPhotoTo400x300)
    ->Arg(static_cast<int>(mozenta::FitMode::kStretch))
    ->Arg(static_cast<int>(mozenta::FitMode::kCover))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What any fit has to do at least: read every byte of the source once.
void BM_SumEverySourceByte(benchmark::State& state) {
  const auto bytes = Photo().StoredBytes();
  for (auto _ : state) {
    std::uint64_t sum = 0;
    for (const std::uint8_t b : bytes)
      sum += b;
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_SumEverySourceByte)->Unit(benchmark::kMillisecond);

void BM_TurnPhotoAQuarter(benchmark::State& state) {
  for (auto _ : state) {
    mozenta::TBitmap upright;
    mozenta::MakeUpright(Photo(), 6, upright);
    benchmark::DoNotOptimize(upright.ScanLine(0));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Photo().StoredBytes().size()));
}
BENCHMARK(BM_TurnPhotoAQuarter)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
