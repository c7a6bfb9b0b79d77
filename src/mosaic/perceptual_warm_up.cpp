#include "perceptual_warm_up.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <system_error>
#include <vector>

#include "diffusion_shapes.h"

namespace mozenta::conversion_internal {
namespace {

// Pictures smaller than this are converted before a thread would have helped.
constexpr long kLeastCells = 1 << 18;
// The thread stops once a stretch of rows needs answers settled for fewer than one cell in kQuiet: the
// match knows this picture's colours already (a conversion repeated, or the kernel caught up).
constexpr int kStretchRows = 16;
constexpr int kQuiet = 256;

using Errors = std::vector<std::array<int, 3>>;

// Rows first..last − 1 walked left to right by the shape's shares, the first with no incoming error.
template <typename Shape>
void WalkRows(PerceptualMatch& match, const ConversionJob& job, int first, int last,
              const std::atomic<bool>& stop) {
  constexpr int kMargin = 2;  // columns beyond each edge for shares that fall outside
  const int width = job.width;
  std::array<Errors, 3> rows;  // this row's incoming errors and the next two rows'
  for (Errors& row : rows)
    row.assign(static_cast<std::size_t>(width) + 2 * kMargin, {});
  SourceRows source(job.source, width, 1);
  std::uint64_t settledBefore = match.Resolved();
  for (int y = first; y < last && !stop.load(std::memory_order_relaxed); ++y) {
    const std::uint8_t* pixels = source.Row(y, 0);
    std::array<int, 3> ahead[2] = {};
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* p = pixels + static_cast<std::ptrdiff_t>(source.Step()) * x;
      int v[3];
      for (int c = 0; c < 3; ++c)
        v[c] = std::clamp(p[2 - c] + rows[0][x + kMargin][c] + ahead[0][c], 0, 255);
      const int entry = match.Nearest(v[0], v[1], v[2]);
      const int expanded[3] = {job.tables.red[entry], job.tables.green[entry], job.tables.blue[entry]};
      ahead[0] = ahead[1];
      ahead[1] = {};
      for (int c = 0; c < 3; ++c) {
        const int e = v[c] - expanded[c];
        for (const Share& share : Shape::kShares) {
          const int part = e * share.n / Shape::kDivisor;
          if (share.dy == 0) {
            ahead[share.dx - 1][c] += part;
          } else {
            rows[share.dy][x + kMargin + share.dx][c] += part;
          }
        }
      }
    }
    std::rotate(rows.begin(), rows.begin() + 1, rows.end());
    std::fill(rows[2].begin(), rows[2].end(), std::array<int, 3>{});
    if ((y - first) % kStretchRows == kStretchRows - 1) {
      const std::uint64_t settled = match.Resolved();
      if ((settled - settledBefore) * kQuiet < static_cast<std::uint64_t>(width) * kStretchRows) return;
      settledBefore = settled;
    }
  }
}

template <typename Shape>
void WalkLowerHalf(PerceptualMatch& match, const ConversionJob& job, const std::atomic<bool>& stop) {
  WalkRows<Shape>(match, job, job.height / 2, job.height, stop);
}

}  // namespace

PerceptualWarmUp::PerceptualWarmUp(PerceptualMatch& match, const ConversionJob& job,
                                   const ConversionOptions& options) {
  if (static_cast<long>(job.width) * job.height < kLeastCells || job.sourceReady != nullptr ||
      std::thread::hardware_concurrency() < 2)
    return;
  auto walk = [this, &match, &job, diffusion = options.diffusion] {
    switch (diffusion) {
      case Diffusion::kClassic:
        return WalkLowerHalf<ClassicShape>(match, job, stop_);
      case Diffusion::kFloydSteinberg:
        return WalkLowerHalf<FloydSteinbergShape>(match, job, stop_);
      case Diffusion::kAtkinson:
        return WalkLowerHalf<AtkinsonShape>(match, job, stop_);
      case Diffusion::kSierraLite:
        return WalkLowerHalf<SierraLiteShape>(match, job, stop_);
      case Diffusion::kNone:
        return WalkLowerHalf<NoDiffusionShape>(match, job, stop_);
    }
  };
  try {
    thread_ = std::thread(walk);
  } catch (const std::system_error&) {
    // No thread to be had: the kernel settles everything itself.
  }
}

PerceptualWarmUp::~PerceptualWarmUp() {
  stop_.store(true, std::memory_order_relaxed);
  if (thread_.joinable()) thread_.join();
}

}  // namespace mozenta::conversion_internal
