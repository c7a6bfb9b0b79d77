// Loading a 2000 × 20000 24-bit BMP (120 MB) against a plain read of the same file into memory of the same
// kind. The file is written once to the temporary folder and served from the page cache.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "picture/bitmap.h"
#include "picture/input_file.h"
#include "picture/pixel_store.h"

namespace {

constexpr int kWidth = 2000;
constexpr int kHeight = 20000;

const std::string& BigBmp() {
  static const std::string path = [] {
    const std::string name =
        (std::filesystem::temp_directory_path() / ("mozenta-bench-" + std::to_string(::getpid()) + ".bmp"))
            .string();
    const std::uint32_t stride = kWidth * 3;  // already a multiple of 4
    const std::uint32_t imageSize = stride * kHeight;
    std::vector<std::uint8_t> head(54, 0);
    auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
      for (int i = 0; i < bytes; ++i)
        head[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, 0x4D42, 2);
    put(2, 54 + imageSize, 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, kWidth, 4);
    put(22, kHeight, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, imageSize, 4);
    std::ofstream out(name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(head.data()), head.size());
    std::vector<char> row(stride);
    for (int y = 0; y < kHeight; ++y) {
      for (std::uint32_t i = 0; i < stride; ++i)
        row[i] = static_cast<char>((i * 7 + y * 3) & 0xFF);
      out.write(row.data(), row.size());
    }
    std::atexit([] { std::remove(BigBmp().c_str()); });
    return name;
  }();
  return path;
}

void BM_LoadBmp24(benchmark::State& state) {
  const std::string& path = BigBmp();
  for (auto _ : state) {
    mozenta::InputFile file(path);
    mozenta::TBitmap bitmap;
    bitmap.LoadFromFile(file);
    benchmark::DoNotOptimize(bitmap.ScanLine(0));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

// The same bytes read with read(2) into a fresh pixel store of the same size.
void BM_PlainReadIntoFreshStore(benchmark::State& state) {
  const std::string& path = BigBmp();
  const std::size_t size = std::filesystem::file_size(path);
  for (auto _ : state) {
    auto store = mozenta::PixelStore::Create(size);
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::size_t done = 0;
    while (done < size) {
      const ssize_t got = ::read(fd, store->Data() + done, size - done);
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    benchmark::DoNotOptimize(store->Data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

BENCHMARK(BM_LoadBmp24)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_PlainReadIntoFreshStore)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
