// Painting the visible part of the largest mosaic (2000 × 20000 cells) in a picture window: a full
// viewport and the strip a scroll step exposes, at 32 and 24 bits per pixel. The yardsticks are a plain
// copy of the same bytes, and turning the whole mosaic into a screen image, which a control that kept a
// screen copy of its picture would do after every conversion.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cstring>
#include <vector>

#include "photo_like.h"
#include "ui/image_control.h"

namespace mozenta {
namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 20000;

const TBitmap& Mosaic(int bitsPerPixel) {
  static TBitmap* pictures[2] = {nullptr, nullptr};
  TBitmap*& picture = pictures[bitsPerPixel == 32 ? 0 : 1];
  if (picture == nullptr) {
    picture = new TBitmap;
    bench::FillPhotoLike(*picture, kWidth, kHeight, bitsPerPixel);
  }
  return *picture;
}

// Paints areas of `width` × `height` at successive rows, as scrolling down the picture does.
void PaintAreas(benchmark::State& state, int width, int height) {
  const TBitmap& mosaic = Mosaic(static_cast<int>(state.range(0)));
  QImage screen(width, height, QImage::Format_RGB32);
  std::vector<std::uint32_t> scratch;
  int top = 0;
  for (auto _ : state) {
    QPainter painter(&screen);
    painter.translate(0, -top);
    PaintBitmapArea(painter, mosaic, QRect(600, top, width, height), scratch);
    painter.end();
    benchmark::DoNotOptimize(screen.constBits());
    top = (top + 997) % (kHeight - height);
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t{width} * height * 4);
}

void BM_PaintViewport(benchmark::State& state) {
  PaintAreas(state, 1200, 900);
}
BENCHMARK(BM_PaintViewport)->Arg(32)->Arg(24)->Unit(benchmark::kMicrosecond);

void BM_PaintScrollStep(benchmark::State& state) {
  PaintAreas(state, 1200, 40);
}
BENCHMARK(BM_PaintScrollStep)->Arg(32)->Arg(24)->Unit(benchmark::kMicrosecond);

// Yardstick: copying the viewport's bytes row by row, nothing else.
void BM_CopyViewportBytes(benchmark::State& state) {
  const TBitmap& mosaic = Mosaic(32);
  std::vector<std::uint8_t> screen(std::size_t{1200} * 900 * 4);
  int top = 0;
  for (auto _ : state) {
    for (int y = 0; y < 900; ++y)
      std::memcpy(screen.data() + std::size_t{1200} * 4 * y, mosaic.ScanLine(top + y) + 600 * 4, 1200 * 4);
    benchmark::DoNotOptimize(screen.data());
    top = (top + 997) % (kHeight - 900);
  }
  state.SetBytesProcessed(state.iterations() * std::int64_t{1200} * 900 * 4);
}
BENCHMARK(BM_CopyViewportBytes)->Unit(benchmark::kMicrosecond);

// Yardstick: the whole mosaic as a screen image.
void BM_WholeMosaicAsScreenImage(benchmark::State& state) {
  const TBitmap& mosaic = Mosaic(32);
  QImage screen(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y)
      ReadScreenRow(mosaic, y, 0, kWidth, reinterpret_cast<std::uint32_t*>(screen.scanLine(y)));
    benchmark::DoNotOptimize(screen.constBits());
  }
}
BENCHMARK(BM_WholeMosaicAsScreenImage)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace mozenta

BENCHMARK_MAIN();
