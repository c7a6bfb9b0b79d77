// The save of the largest mosaic (2000 × 20000 cells): the chart and counts reports with one-character
// labels (about 80 MB) and the 32-bit bitmap file (160 MB), from the mosaic bitmap and from the grid, each
// against plain buffered writes of the same number of bytes to the same files, with and without the flush
// to the disk that every save file gets before it takes its name. MOZENTA_FORCE_PORTABLE=1 measures the
// portable kernels, as on processors without AVX2.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "mosaic/block_walk.h"
#include "mosaic/mosaic_bitmap_file.h"
#include "mosaic/mosaic_grid.h"
#include "mosaic/report_writer.h"

namespace mozenta {
namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 20000;
constexpr std::size_t kPlainChunk = 64 << 10;

// A scratch folder under TMPDIR (or /tmp), removed with everything in it when the program ends.
class BenchFolder {
 public:
  BenchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    path_ = std::string(tmp != nullptr ? tmp : "/tmp") + "/mozenta-bench-XXXXXX";
    if (mkdtemp(path_.data()) == nullptr) std::abort();
  }
  ~BenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

const std::string& Folder() {
  static const BenchFolder folder;
  return folder.Path();
}

// The largest mosaic's grid, of random cells.
const MosaicGrid& Grid() {
  static const MosaicGrid* grid = [] {
    auto* filled = new MosaicGrid;
    filled->SetLimits(kWidth - 1, kHeight - 1);
    std::mt19937 random(7);
    for (int x = 0; x < kWidth; ++x)
      for (int y = 0; y < kHeight; ++y)
        filled->SetCell(x, y, static_cast<std::uint8_t>(random() % 8));
    return filled;
  }();
  return *grid;
}

const TBitmap& Mosaic() {
  static TBitmap* mosaic = [] {
    auto* bitmap = new TBitmap;
    bitmap->SetSize(kWidth, kHeight);
    for (auto& byte : bitmap->StoredBytesForWrite())
      byte = 0x88;
    return bitmap;
  }();
  return *mosaic;
}

// The yardstick: `bytes` bytes written to `name` with write() in 64 KiB pieces from a prepared buffer, then
// flushed to the disk when `sync`.
void PlainWrite(const std::string& name, std::size_t bytes, bool sync = false) {
  static const std::vector<char> chunk(kPlainChunk, 'x');
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) std::abort();
  while (bytes > 0) {
    const std::size_t piece = std::min(bytes, kPlainChunk);
    if (::write(fd, chunk.data(), piece) != static_cast<ssize_t>(piece)) std::abort();
    bytes -= piece;
  }
  if (sync) ::fsync(fd);
  ::close(fd);
}

// A second yardstick: the same bytes through a stdio stream, one call per line of a 40-cell block row
// (40 two-byte labels and CR LF).
void StdioLineWrite(const std::string& name, std::size_t bytes) {
  static const std::vector<char> line(82, 'x');
  std::FILE* file = std::fopen(name.c_str(), "wb");
  if (file == nullptr) std::abort();
  while (bytes > 0) {
    const std::size_t piece = std::min(bytes, line.size());
    if (std::fwrite(line.data(), 1, piece, file) != piece) std::abort();
    bytes -= piece;
  }
  std::fclose(file);
}

std::size_t SizeOf(const std::string& name) {
  return static_cast<std::size_t>(std::filesystem::file_size(name));
}

void SetByteCounters(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_WriteReports(benchmark::State& state) {
  const MosaicGrid& grid = Grid();
  SilentGauge gauge;
  const ReportSettings settings;  // 40 × 100 blocks, the default one-character labels
  const std::string chart = Folder() + "/mosaic.txt";
  for (auto _ : state)
    WriteReports(chart, grid, settings, gauge);
  SetByteCounters(state, SizeOf(chart) + SizeOf(Folder() + "/mosaic.csv"));
}
BENCHMARK(BM_WriteReports)->Unit(benchmark::kMillisecond)->UseRealTime();

// The other block order: block columns outer.
void BM_WriteReportsByColumns(benchmark::State& state) {
  const MosaicGrid& grid = Grid();
  SilentGauge gauge;
  const ReportSettings settings{{}, BlockOrder::kByColumns};
  const std::string chart = Folder() + "/mosaic.txt";
  for (auto _ : state)
    WriteReports(chart, grid, settings, gauge);
  SetByteCounters(state, SizeOf(chart) + SizeOf(Folder() + "/mosaic.csv"));
}
BENCHMARK(BM_WriteReportsByColumns)->Unit(benchmark::kMillisecond)->UseRealTime();

// The walk alone, with no writer: what counting every block's cells costs the reports.
void BM_WalkTheBlocks(benchmark::State& state) {
  const MosaicGrid& grid = Grid();
  SilentGauge gauge;
  const BlockLayout layout = LayOutBlocks(grid, BlockSettings{}, BlockOrder::kByRows);
  for (auto _ : state)
    ForEachBlock(grid, layout, {}, gauge);
  state.counters["ns_per_cell"] =
      benchmark::Counter(static_cast<double>(kWidth) * kHeight * state.iterations(),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WalkTheBlocks)->Unit(benchmark::kMillisecond)->UseRealTime();

// Writes as many bytes as the two reports hold, to files of the same names, with `write` (a yardstick).
template <typename Writer>
void WriteTheReportBytesWith(benchmark::State& state, Writer write) {
  SilentGauge gauge;
  const std::string chart = Folder() + "/mosaic.txt", counts = Folder() + "/mosaic.csv";
  WriteReports(chart, Grid(), ReportSettings{}, gauge);
  const std::size_t chartBytes = SizeOf(chart), countsBytes = SizeOf(counts);
  for (auto _ : state) {
    write(chart, chartBytes);
    write(counts, countsBytes);
  }
  SetByteCounters(state, chartBytes + countsBytes);
}

void BM_PlainWritesOfTheReportBytes(benchmark::State& state) {
  WriteTheReportBytesWith(state, [](const std::string& name, std::size_t bytes) { PlainWrite(name, bytes); });
}
BENCHMARK(BM_PlainWritesOfTheReportBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StdioLineWritesOfTheReportBytes(benchmark::State& state) {
  WriteTheReportBytesWith(state, StdioLineWrite);
}
BENCHMARK(BM_StdioLineWritesOfTheReportBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteBitmapFile(benchmark::State& state) {
  const TBitmap& mosaic = Mosaic();
  const std::string name = Folder() + "/mosaic.bmp";
  for (auto _ : state)
    WriteMosaicBitmapFile(name, mosaic);
  SetByteCounters(state, SizeOf(name));
}
BENCHMARK(BM_WriteBitmapFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// mozenta-batch's bitmap file, painted from the grid and the palette.
void BM_WriteBitmapFileFromTheGrid(benchmark::State& state) {
  const MosaicPixels pixels(Grid(), Palette(), 32);
  const std::string name = Folder() + "/mosaic.bmp";
  for (auto _ : state)
    WriteMosaicBitmapFile(name, pixels);
  SetByteCounters(state, SizeOf(name));
}
BENCHMARK(BM_WriteBitmapFileFromTheGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainWritesOfTheBitmapBytes(benchmark::State& state) {
  const std::string name = Folder() + "/mosaic.bmp";
  const std::size_t bytes = 54 + Mosaic().StoredBytes().size();
  for (auto _ : state)
    PlainWrite(name, bytes);
  SetByteCounters(state, bytes);
}
BENCHMARK(BM_PlainWritesOfTheBitmapBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainWritesOfTheBitmapBytesFlushed(benchmark::State& state) {
  const std::string name = Folder() + "/mosaic.bmp";
  const std::size_t bytes = 54 + Mosaic().StoredBytes().size();
  for (auto _ : state)
    PlainWrite(name, bytes, true);
  SetByteCounters(state, bytes);
}
BENCHMARK(BM_PlainWritesOfTheBitmapBytesFlushed)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace mozenta

BENCHMARK_MAIN();
