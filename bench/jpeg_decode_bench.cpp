// Decoding a 2000 × 20000 baseline JPEG into a fresh bitmap, against the library's bare decode loop with the
// same settings writing every row into one reused buffer: the difference is what our wrapper and the first
// touch of the bitmap's memory cost.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "picture/jpeg_decoder.h"
#include "support/jpeg_encoder.h"

namespace mozenta {
namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 20000;

const std::vector<std::uint8_t>& LargeJpeg() {
  // Smooth gradients with a little grain, closer to a photograph than to noise.
  static const std::vector<std::uint8_t> jpeg = testing::EncodeJpeg(
      {kWidth, kHeight, testing::JpegKind::kYCbCr, 90}, [](int x, int y, std::uint8_t* s) {
        const unsigned grain =
            ((static_cast<unsigned>(x) * 2654435761u) ^ (static_cast<unsigned>(y) * 40503u)) >> 29;
        s[0] = static_cast<std::uint8_t>((x / 8 + y / 80 + grain) & 0xFF);
        s[1] = static_cast<std::uint8_t>((x / 16 + y / 40 + grain) & 0xFF);
        s[2] = static_cast<std::uint8_t>((255 - x / 8 + y / 160) & 0xFF);
      });
  return jpeg;
}

void SetPixelCounters(benchmark::State& state) {
  state.counters["ns_per_pixel"] =
      benchmark::Counter(static_cast<double>(kWidth) * kHeight * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["jpeg_MB"] = static_cast<double>(LargeJpeg().size()) / 1e6;
}

void BM_DecodeJpegFreshBitmap(benchmark::State& state) {
  const auto& jpeg = LargeJpeg();
  for (auto _ : state) {
    TBitmap bitmap;
    DecodeJpegInto(jpeg, 32, bitmap);
    benchmark::DoNotOptimize(bitmap.StoredBytes().data());
  }
  SetPixelCounters(state);
}
BENCHMARK(BM_DecodeJpegFreshBitmap)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: the library alone, rows into one reused buffer.
void BM_LibraryBareLoop(benchmark::State& state) {
  const auto& jpeg = LargeJpeg();
  std::vector<JSAMPLE> row(static_cast<std::size_t>(kWidth) * 3);
  for (auto _ : state) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.do_block_smoothing = TRUE;
    cinfo.dct_method = JDCT_FLOAT;
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    JSAMPROW rowPointer = row.data();
    while (cinfo.output_scanline < cinfo.output_height)
      jpeg_read_scanlines(&cinfo, &rowPointer, 1);
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(row.data());
  }
  SetPixelCounters(state);
}
BENCHMARK(BM_LibraryBareLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace mozenta

BENCHMARK_MAIN();
