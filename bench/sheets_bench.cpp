// The printable sheets (PDF) of a photograph-like mosaic in blocks of 40 × 100 cells: 10 blocks and 1,000
// blocks (each block takes two A4 pages), written through the block walk into a file under TMPDIR. Reports
// block pages per second (wall clock: cairo draws on the caller's thread, the file is written by another),
// the file's size per block page and the peak memory the run added.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

#include "mosaic/atomic_file.h"
#include "mosaic/block_walk.h"
#include "mosaic/buffered_output.h"
#include "mosaic/conversion.h"
#include "mosaic/mosaic_grid.h"
#include "photo_like.h"
#include "sheets/sheet_writer.h"

namespace mozenta {
namespace {

// The mosaic of `blocks` blocks of 40 × 100, ten blocks across.
const MosaicGrid& GridOf(int blocks) {
  static std::map<int, std::unique_ptr<MosaicGrid>> grids;
  auto& grid = grids[blocks];
  if (!grid) {
    const int across = std::min(blocks, 10);
    TBitmap photo, mosaic;
    bench::FillPhotoLike(photo, across * 40, blocks / across * 100, 24);
    grid = std::make_unique<MosaicGrid>();
    ConvertToMosaic(photo, Palette(), *grid, mosaic);
  }
  return *grid;
}

// The resident memory's high-water mark in kB, after resetting it when asked.
long PeakKilobytes(bool reset) {
  if (reset) std::ofstream("/proc/self/clear_refs") << "5";
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

void BM_SheetsOfBlocks(benchmark::State& state) {
  const int blocks = static_cast<int>(state.range(0));
  const MosaicGrid& grid = GridOf(blocks);
  const char* tmp = std::getenv("TMPDIR");
  const std::string name = std::string(tmp != nullptr ? tmp : "/tmp") + "/mozenta-sheets-bench-" +
                           std::to_string(getpid()) + ".pdf";
  const BlockLayout layout = LayOutBlocks(grid, {}, BlockOrder::kByRows);
  const long before = PeakKilobytes(true);
  SilentGauge gauge;
  for (auto _ : state) {
    SheetWriter writer(grid, {"bench", Palette(), DefaultColorLabels(), {}, {true, PageSize::kA4, false}});
    AtomicFile file;
    if (file.Create(name) != 0) throw std::runtime_error("cannot create " + name);
    BufferedOutput out(
        file, std::size_t{1} << 20, [](int) { throw std::runtime_error("write failed"); }, true);
    writer.Begin(out);
    ForEachBlock(grid, layout, {&writer}, gauge);
    writer.Complete();
    out.Close();
    file.Commit();
    file.Settle();
  }
  const double bytes = static_cast<double>(std::filesystem::file_size(name));
  std::filesystem::remove(name);
  const double blockPages = static_cast<double>(SheetPages(grid, layout, PageSize::kA4) - 2);
  state.counters["pages/s"] = benchmark::Counter(blockPages, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["KB/page"] = bytes / 1024 / blockPages;
  state.counters["peak+MB"] = static_cast<double>(PeakKilobytes(false) - before) / 1024;
}
BENCHMARK(BM_SheetsOfBlocks)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SheetsOfBlocks)->Arg(1000)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace mozenta

BENCHMARK_MAIN();
