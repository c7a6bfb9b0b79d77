// Painting the visible part of the largest mosaic (2000 × 20000 cells) in a picture window: a full
// viewport and the strip a scroll step exposes, at 32 and 24 bits per pixel, and a viewport at every zoom
// step of the mosaic window, with and without the block grid. The yardsticks are a plain
// copy of the same bytes, and turning the whole mosaic into a screen image, which a control that kept a
// screen copy of its picture would do after every conversion.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstring>
#include <vector>

#include "mosaic/view_scale.h"
#include "photo_like.h"
#include "ui/image_control.h"
#include "ui/mosaic_canvas.h"

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

// The mosaic window's zoom: a 1200 × 900 view at each step from 1/16 to 16 (the argument is the step's
// number, 0 for 1/16 … 8 for 16), somewhere in the middle of the shown mosaic.
QRect ZoomedView(double scale, int step) {
  const int width = ShownLength(kWidth, scale), height = ShownLength(kHeight, scale);
  const int left = std::max(0, std::min(width - 1200, width / 3));
  const int top = std::max(0, std::min(height - 900, (height / 7) * (step % 5 + 1)));
  return QRect(left, top, 1200, 900);
}

void BM_PaintZoomedViewport(benchmark::State& state) {
  const TBitmap& mosaic = Mosaic(32);
  const double scale = kScaleSteps[static_cast<std::size_t>(state.range(0))];
  QImage screen(1200, 900, QImage::Format_RGB32);
  std::vector<std::uint32_t> scratch, row;
  int step = 0;
  for (auto _ : state) {
    const QRect view = ZoomedView(scale, step++);
    QPainter painter(&screen);
    painter.translate(-view.topLeft());
    PaintScaledBitmapArea(painter, mosaic, scale, view, scratch, row);
    painter.end();
    benchmark::DoNotOptimize(screen.constBits());
  }
  state.SetLabel("scale " + std::to_string(scale));
}
BENCHMARK(BM_PaintZoomedViewport)->DenseRange(0, 8)->Unit(benchmark::kMicrosecond);

// The whole repaint of the mosaic window's picture in a 1200 × 900 view through the widget's own paint
// handler, without and with the block grid and block names (blocks of 40 × 100): the second argument.
void BM_RepaintCanvas(benchmark::State& state) {
  static TBitmap mosaic;
  if (mosaic.Width() == 0) mosaic.Assign(Mosaic(32));
  const double scale = kScaleSteps[static_cast<std::size_t>(state.range(0))];
  MosaicCanvas canvas;
  canvas.SetBitmap(&mosaic);
  canvas.SetBlockSize([] { return BlockSettings{}; });
  canvas.SetBlockGridShown(state.range(1) != 0);
  canvas.SetScale(scale);
  QImage screen(1200, 900, QImage::Format_RGB32);
  int step = 0;
  for (auto _ : state) {
    const QRect view = ZoomedView(scale, step++);
    canvas.render(&screen, QPoint(), QRegion(view), QWidget::DrawChildren);
    benchmark::DoNotOptimize(screen.constBits());
  }
  state.SetLabel("scale " + std::to_string(scale) + (state.range(1) != 0 ? ", grid" : ""));
}
BENCHMARK(BM_RepaintCanvas)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 8, 1), {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace mozenta

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);  // fonts and widgets for the canvas
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
