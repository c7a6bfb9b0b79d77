// Where the error of a cell goes: the shares of each diffusion, n / d of the error to the cell dx columns
// ahead (in the direction the row is walked) and dy rows down. Each share is e × n / d truncated toward
// zero; shares that fall outside the picture are dropped.
#pragma once

#include <algorithm>
#include <array>

namespace mozenta::conversion_internal {

struct Share {
  int dx, dy, n;
};

struct ClassicShape {
  static constexpr int kDivisor = 3;
  static constexpr std::array<Share, 2> kShares{{{1, 0, 1}, {0, 1, 1}}};
};

struct FloydSteinbergShape {
  static constexpr int kDivisor = 16;
  static constexpr std::array<Share, 4> kShares{{{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}};
};

struct AtkinsonShape {
  static constexpr int kDivisor = 8;
  static constexpr std::array<Share, 6> kShares{
      {{1, 0, 1}, {2, 0, 1}, {-1, 1, 1}, {0, 1, 1}, {1, 1, 1}, {0, 2, 1}}};
};

struct SierraLiteShape {
  static constexpr int kDivisor = 4;
  static constexpr std::array<Share, 3> kShares{{{1, 0, 2}, {-1, 1, 1}, {0, 1, 1}}};
};

struct NoDiffusionShape {
  static constexpr int kDivisor = 1;
  static constexpr std::array<Share, 0> kShares{};
};

// What a kernel needs to know of a shape, worked out at compile time.
template <typename Shape>
struct ShapeTraits {
  static constexpr bool Has(int dy) {
    return std::any_of(Shape::kShares.begin(), Shape::kShares.end(),
                       [dy](const Share& s) { return s.dy == dy; });
  }
  static constexpr int LeastDx(int dy) {
    int least = 0;
    for (const Share& s : Shape::kShares)
      least = s.dy == dy ? std::min(least, s.dx) : least;
    return least;
  }
  static constexpr int MostDx(int dy) {
    int most = 0;
    for (const Share& s : Shape::kShares)
      most = s.dy == dy ? std::max(most, s.dx) : most;
    return most;
  }
  static constexpr bool kDown = Has(1);
  static constexpr bool kTwoDown = Has(2);
  static constexpr int kFirstBelow = LeastDx(1);  // ≤ 0
  static constexpr int kBelowWidth = MostDx(1) - LeastDx(1) + 1;
  static constexpr int kAheadWidth = MostDx(0);
  // Columns a row must trail the row above it so that the errors it takes are complete.
  static constexpr int kLag = 1 - LeastDx(1);
};

}  // namespace mozenta::conversion_internal
