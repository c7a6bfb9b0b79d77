#include "ciede2000_bounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ciede2000.h"

namespace mozenta {
namespace {

using R = ValueRange;

constexpr double kDegrees = 180.0 / std::numbers::pi;
constexpr double kRadians = std::numbers::pi / 180.0;
// Far more than the rounding of any step, far less than what decides a match.
constexpr double kSlack = 1e-9;
constexpr double kHueSlack = 1e-6;  // degrees

R Widen(R r) {
  return {r.lo - kSlack - 1e-12 * std::fabs(r.lo), r.hi + kSlack + 1e-12 * std::fabs(r.hi)};
}
R Point(double v) {
  return {v, v};
}
R operator+(R x, R y) {
  return {x.lo + y.lo, x.hi + y.hi};
}
R operator-(R x, R y) {
  return {x.lo - y.hi, x.hi - y.lo};
}
R operator*(R x, R y) {
  const double p[] = {x.lo * y.lo, x.lo * y.hi, x.hi * y.lo, x.hi * y.hi};
  return {*std::min_element(p, p + 4), *std::max_element(p, p + 4)};
}
R Scale(double k, R x) {
  return k >= 0 ? R{k * x.lo, k * x.hi} : R{k * x.hi, k * x.lo};
}
// x / y for y > 0.
R DividePositive(R x, R y) {
  return {std::min(x.lo / y.lo, x.lo / y.hi), std::max(x.hi / y.lo, x.hi / y.hi)};
}
R Square(R x) {
  if (x.lo >= 0) return {x.lo * x.lo, x.hi * x.hi};
  if (x.hi <= 0) return {x.hi * x.hi, x.lo * x.lo};
  return {0, std::max(x.lo * x.lo, x.hi * x.hi)};
}
R Sqrt(R x) {
  return {std::sqrt(std::max(0.0, x.lo)), std::sqrt(std::max(0.0, x.hi))};
}
R Hull(R x, R y) {
  return {std::min(x.lo, y.lo), std::max(x.hi, y.hi)};
}
bool Contains(R x, double v) {
  return x.lo <= v && v <= x.hi;
}

// C⁷ / (C⁷ + 25⁷) for C ≥ 0, which grows with C.
double ChromaWeight(double c) {
  const double c2 = c * c, c7 = c2 * c2 * c2 * c;
  return c7 / (c7 + 6103515625.0);
}
R ChromaWeight(R c) {
  return {ChromaWeight(std::max(0.0, c.lo)), ChromaWeight(c.hi)};
}

// The range of cos(t°) for t in [lo, hi] degrees, given cos(lo°) and cos(hi°).
R CosRange(double lo, double hi, double clo, double chi) {
  if (hi - lo >= 360) return {-1, 1};
  R r{std::min(clo, chi), std::max(clo, chi)};
  // A multiple of 360° inside gives the top, an odd multiple of 180° the bottom.
  if (std::ceil(lo / 360) * 360 <= hi) r.hi = 1;
  if (std::ceil((lo - 180) / 360) * 360 + 180 <= hi) r.lo = -1;
  return Widen(r);
}
R CosDegrees(double lo, double hi) {
  if (hi - lo >= 360) return {-1, 1};
  return CosRange(lo, hi, std::cos(lo * kRadians), std::cos(hi * kRadians));
}
R SinDegrees(double lo, double hi) {
  return CosDegrees(lo - 90, hi - 90);
}

// The norms sqrt(a² + b²) of the points of a box.
R NormOf(R a, R b) {
  const double nearA = Contains(a, 0) ? 0 : std::min(std::fabs(a.lo), std::fabs(a.hi));
  const double nearB = Contains(b, 0) ? 0 : std::min(std::fabs(b.lo), std::fabs(b.hi));
  const double farA = std::max(std::fabs(a.lo), std::fabs(a.hi));
  const double farB = std::max(std::fabs(b.lo), std::fabs(b.hi));
  return Widen({std::sqrt(nearA * nearA + nearB * nearB), std::sqrt(farA * farA + farB * farB)});
}

// Hue angles as the formula gives them (0..360 degrees), as up to two ranges.
struct Hues {
  R piece[2];
  int count = 0;
  void Add(R r) { piece[count++] = r; }
};

// The hues of the points of the box a′ × b; all of 0..360 when it holds the origin, whose hue is 0 by
// convention and whose neighbours take every hue.
Hues HuesOf(R a, R b) {
  Hues hues;
  if (Contains(a, 0) && Contains(b, 0)) {
    hues.Add({0, 360});
    return hues;
  }
  // Seen from outside, a box spans less than a half turn, bounded by the directions of its corners: each
  // lies within half a turn of the first. A box flat in one direction (an entry's a′ × b) has two corners.
  const int xs = a.lo == a.hi ? 1 : 2, ys = b.lo == b.hi ? 1 : 2;
  const double first = std::atan2(b.lo, a.lo) * kDegrees;
  double lo = first, hi = first;
  for (int k = 1; k < xs * ys; ++k) {
    const double x = k / ys == 0 ? a.lo : a.hi, y = k % ys == 0 ? b.lo : b.hi;
    double offset = std::atan2(y, x) * kDegrees - first;
    if (offset > 180) offset -= 360;
    if (offset < -180) offset += 360;
    lo = std::min(lo, first + offset);
    hi = std::max(hi, first + offset);
  }
  lo -= kHueSlack;
  hi += kHueSlack;
  // Back into 0..360: a negative angle gets 360 added.
  if (lo < 0 && hi < 0) {
    hues.Add({lo + 360, hi + 360});
  } else if (lo < 0) {
    hues.Add({lo + 360, 360});
    hues.Add({0, hi});
  } else if (hi > 360) {
    hues.Add({lo, 360});
    hues.Add({0, hi - 360});
  } else {
    hues.Add({lo, hi});
  }
  return hues;
}

// What the hue terms of the formula can be: the hue difference Δh′ and the mean hue h̄′.
struct HueTerms {
  R delta{1e300, -1e300};
  R mean[8];
  int meanCount = 0;
  void AddDelta(R r) { delta = Hull(delta, r); }
  void AddMean(R r) { mean[meanCount++] = r; }
};

HueTerms HueTermsOf(const Hues& h1, const Hues& h2, bool zeroProduct, bool nonzeroProduct) {
  HueTerms terms;
  constexpr double e = kHueSlack;
  for (int i = 0; i < h1.count; ++i) {
    for (int j = 0; j < h2.count; ++j) {
      const R p1 = h1.piece[i], p2 = h2.piece[j];
      const R d = p2 - p1, sum = p1 + p2;
      if (zeroProduct) {
        terms.AddDelta(Point(0));
      }
      if (nonzeroProduct) {
        if (d.hi > 180 - e) terms.AddDelta({std::max(d.lo, 180 - e) - 360, d.hi - 360});
        if (d.lo < -180 + e) terms.AddDelta({d.lo + 360, std::min(d.hi, -180 + e) + 360});
        if (d.hi >= -180 - e && d.lo <= 180 + e)
          terms.AddDelta({std::max(d.lo, -180 - e), std::min(d.hi, 180 + e)});
      }
      // The mean hue: one branch or another by |h1 − h2| and h1 + h2, or the sum when a chroma is 0.
      R mean{1e300, -1e300};
      if (zeroProduct) mean = Hull(mean, sum);
      if (nonzeroProduct) {
        if (d.hi >= -180 - e && d.lo <= 180 + e) mean = Hull(mean, Scale(0.5, sum));
        if (d.hi > 180 - e || d.lo < -180 + e) {
          if (sum.lo < 360 + e)
            mean = Hull(mean, {(sum.lo + 360) / 2, (std::min(sum.hi, 360 + e) + 360) / 2});
          if (sum.hi > 360 - e)
            mean = Hull(mean, {(std::max(sum.lo, 360 - e) - 360) / 2, (sum.hi - 360) / 2});
        }
      }
      terms.AddMean({mean.lo - e, mean.hi + e});
    }
  }
  return terms;
}

// T = 1 − 0.17 cos(h̄′ − 30°) + 0.24 cos(2h̄′) + 0.32 cos(3h̄′ + 6°) − 0.20 cos(4h̄′ − 63°), its terms' cosines
// at the ends as the formula takes them.
R HueWeightOf(R mean) {
  const ciede2000::HueCosines lo = ciede2000::HueCosinesOf(mean.lo), hi = ciede2000::HueCosinesOf(mean.hi);
  const R c1 = CosRange(mean.lo - 30, mean.hi - 30, lo.c1, hi.c1);
  const R c2 = CosRange(2 * mean.lo, 2 * mean.hi, lo.c2, hi.c2);
  const R c3 = CosRange(3 * mean.lo + 6, 3 * mean.hi + 6, lo.c3, hi.c3);
  const R c4 = CosRange(4 * mean.lo - 63, 4 * mean.hi - 63, lo.c4, hi.c4);
  return Widen({1 - 0.17 * c1.hi + 0.24 * c2.lo + 0.32 * c3.lo - 0.20 * c4.hi,
                1 - 0.17 * c1.lo + 0.24 * c2.hi + 0.32 * c3.hi - 0.20 * c4.lo});
}

// Δθ = 30° exp(−((h̄′ − 275°) / 25°)²).
R RotationAngleOf(R mean) {
  const R offset = Square(Scale(1.0 / 25, mean - Point(275)));
  return Widen({30 * std::exp(-offset.hi), 30 * std::exp(-offset.lo)});
}

// The range of a* (which = 0) or b* (which = 1) over the box, scale × (f(u) − f(v)) with u and v ratios
// to the white whose matrix rows are `first` and `second`. Where each channel moves it one way throughout
// the box, its extremes lie at the two corners those ways pick; elsewhere it is bounded by the ranges of
// f(u) and f(v).
R LabDifferenceRange(const SrgbBox& box, int which, R fFirst, R fSecond, R slopeFirst, R slopeSecond,
                     const double (&first)[3], const double (&second)[3], double scale) {
  std::array<int, 3> least{}, most{};
  for (int c = 0; c < 3; ++c) {
    // Its derivative along channel c has the sign of f′(u) first[c] − f′(v) second[c].
    const double lowest = slopeFirst.lo * first[c] - slopeSecond.hi * second[c];
    const double highest = slopeFirst.hi * first[c] - slopeSecond.lo * second[c];
    if (lowest > 1e-9) {
      least[c] = box.lo[c];
      most[c] = box.hi[c];
    } else if (highest < -1e-9) {
      least[c] = box.hi[c];
      most[c] = box.lo[c];
    } else {
      return Widen(Scale(scale, fFirst - fSecond));
    }
  }
  auto component = [which](const std::array<int, 3>& corner) {
    const Lab lab = LabFromSrgb(static_cast<std::uint8_t>(corner[0]), static_cast<std::uint8_t>(corner[1]),
                                static_cast<std::uint8_t>(corner[2]));
    return which == 0 ? lab.a : lab.b;
  };
  return Widen({component(least), component(most)});
}

}  // namespace

LabBox LabBoxOf(const SrgbBox& box) {
  using namespace cielab;
  auto linear = [](int channel) { return LinearLight(static_cast<std::uint8_t>(channel)); };
  // Every coefficient of the matrix is positive, so the ratios grow with each channel.
  const WhiteRatios low = RatiosOf(linear(box.lo[0]), linear(box.lo[1]), linear(box.lo[2]));
  const WhiteRatios high = RatiosOf(linear(box.hi[0]), linear(box.hi[1]), linear(box.hi[2]));
  const R x{low.x, high.x}, y{low.y, high.y}, z{low.z, high.z};
  const R fx{Compand(x.lo), Compand(x.hi)}, fy{Compand(y.lo), Compand(y.hi)},
      fz{Compand(z.lo), Compand(z.hi)};
  // The companding's slope shrinks as its argument grows.
  const R sx{CompandSlope(x.hi), CompandSlope(x.lo)}, sy{CompandSlope(y.hi), CompandSlope(y.lo)},
      sz{CompandSlope(z.hi), CompandSlope(z.lo)};
  double xRow[3], yRow[3], zRow[3];
  for (int c = 0; c < 3; ++c) {
    xRow[c] = kToXyz[0][c] / kWhiteX;
    yRow[c] = kToXyz[1][c];
    zRow[c] = kToXyz[2][c] / kWhiteZ;
  }
  LabBox lab;
  lab.L = Widen({116 * fy.lo - 16, 116 * fy.hi - 16});
  lab.a = LabDifferenceRange(box, 0, fx, fy, sx, sy, xRow, yRow, 500);
  lab.b = LabDifferenceRange(box, 1, fy, fz, sy, sz, yRow, zRow, 200);
  return lab;
}

ValueRange Ciede2000Bounds(const LabBox& box, const Lab& entry) {
  const R c1 = NormOf(box.a, box.b);
  const double c2 = std::sqrt(entry.a * entry.a + entry.b * entry.b);
  const R weight = ChromaWeight(Widen(Scale(0.5, c1 + Point(c2))));
  // G = (1 − sqrt(weight)) / 2 falls as the weight grows.
  const R stretch = Widen({1 + 0.5 * (1 - std::sqrt(weight.hi)), 1 + 0.5 * (1 - std::sqrt(weight.lo))});
  const R a1 = Widen(stretch * box.a), a2 = Widen(Scale(entry.a, stretch));
  const R b2 = Point(entry.b);
  const R cp1 = NormOf(a1, box.b), cp2 = NormOf(a2, b2);
  const bool entryNeutral = entry.a == 0 && entry.b == 0;
  const Hues h1 = HuesOf(a1, box.b);
  Hues h2;
  if (entryNeutral) {
    h2.Add(Point(0));
  } else {
    h2 = HuesOf(a2, b2);
  }
  const R product = entryNeutral ? Point(0) : Widen(cp1 * cp2);
  const bool zeroProduct = product.lo <= 0;
  const bool nonzeroProduct = product.hi > 0;
  const HueTerms hue = HueTermsOf(h1, h2, zeroProduct, nonzeroProduct);

  const R deltaL = Point(entry.L) - box.L;
  const R deltaC = Widen((entryNeutral ? Point(0) : cp2) - cp1);
  const R halfDelta = Scale(0.5, hue.delta);
  const R deltaH = Widen(Scale(2, Sqrt(product)) * SinDegrees(halfDelta.lo, halfDelta.hi));

  const R meanL = Scale(0.5, box.L + Point(entry.L));
  const R meanC = Widen(Scale(0.5, cp1 + (entryNeutral ? Point(0) : cp2)));
  R weightT{1e300, -1e300}, theta{1e300, -1e300};
  for (int i = 0; i < hue.meanCount; ++i) {
    weightT = Hull(weightT, HueWeightOf(hue.mean[i]));
    theta = Hull(theta, RotationAngleOf(hue.mean[i]));
  }
  const R rc = Scale(2, Sqrt(ChromaWeight(meanC)));
  const R lOffset = Square(meanL - Point(50));
  auto lightnessScale = [](double x) { return 1 + 0.015 * x / std::sqrt(20 + x); };
  const R sl = Widen({lightnessScale(lOffset.lo), lightnessScale(lOffset.hi)});
  const R sc = Widen({1 + 0.045 * meanC.lo, 1 + 0.045 * meanC.hi});
  const R sh = Widen(Point(1) + Scale(0.015, meanC * weightT));
  // 2Δθ stays within 0..60°, where the sine grows.
  const R sinTerm = Widen({std::sin(2 * theta.lo * kRadians), std::sin(2 * theta.hi * kRadians)});
  const R rt = Scale(-1, Widen(sinTerm * rc));

  const R l = DividePositive(deltaL, sl), c = DividePositive(deltaC, sc), h = DividePositive(deltaH, sh);
  const R sum = Square(l) + Square(c) + Square(h) + rt * c * h;
  return Widen(Sqrt(Widen(sum)));
}

}  // namespace mozenta
