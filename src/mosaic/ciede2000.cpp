#include "ciede2000.h"

#include <cmath>
#include <numbers>

namespace mozenta {
namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;
constexpr double kRadians = std::numbers::pi / 180.0;

// C⁷ / (C⁷ + 25⁷), the share by which chroma damps the a* stretch and the rotation term.
double ChromaWeight(double chroma) {
  const double c2 = chroma * chroma, c7 = c2 * c2 * c2 * chroma;
  constexpr double k25To7 = 6103515625.0;
  return c7 / (c7 + k25To7);
}

// The hue angle in degrees 0..360 of (a′, b); 0 for a neutral colour.
double HueDegrees(double aPrime, double b) {
  if (aPrime == 0 && b == 0) return 0;
  const double h = std::atan2(b, aPrime) * kDegrees;
  return h < 0 ? h + 360 : h;
}

}  // namespace

namespace ciede2000 {

HueCosines HueCosinesOf(double hueDegrees) {
  // cos and sin of 30°, 6° and 63°.
  constexpr double kCos30 = 0.86602540378443865, kSin30 = 0.5;
  constexpr double kCos6 = 0.99452189536827333, kSin6 = 0.10452846326765347;
  constexpr double kCos63 = 0.45399049973954680, kSin63 = 0.89100652418836787;
  const double c = std::cos(hueDegrees * kRadians), s = std::sin(hueDegrees * kRadians);
  const double cos2 = 2 * c * c - 1, sin2 = 2 * s * c;
  const double cos3 = c * (2 * cos2 - 1), sin3 = s * (2 * cos2 + 1);
  const double cos4 = 2 * cos2 * cos2 - 1, sin4 = 2 * sin2 * cos2;
  return {c * kCos30 + s * kSin30, cos2, cos3 * kCos6 - sin3 * kSin6, cos4 * kCos63 + sin4 * kSin63};
}

double HueWeight(double hueDegrees) {
  const HueCosines cosines = HueCosinesOf(hueDegrees);
  return 1 - 0.17 * cosines.c1 + 0.24 * cosines.c2 + 0.32 * cosines.c3 - 0.20 * cosines.c4;
}

}  // namespace ciede2000

double Ciede2000(const Lab& first, const Lab& second) {
  const double c1 = std::sqrt(first.a * first.a + first.b * first.b),
               c2 = std::sqrt(second.a * second.a + second.b * second.b);
  const double g = 0.5 * (1 - std::sqrt(ChromaWeight((c1 + c2) / 2)));
  const double a1 = (1 + g) * first.a, a2 = (1 + g) * second.a;
  const double cp1 = std::sqrt(a1 * a1 + first.b * first.b), cp2 = std::sqrt(a2 * a2 + second.b * second.b);
  const double hp1 = HueDegrees(a1, first.b), hp2 = HueDegrees(a2, second.b);

  const double deltaL = second.L - first.L;
  const double deltaC = cp2 - cp1;
  const double chromaProduct = cp1 * cp2;
  double deltaHue = 0;
  if (chromaProduct != 0) {
    deltaHue = hp2 - hp1;
    if (deltaHue > 180) {
      deltaHue -= 360;
    } else if (deltaHue < -180) {
      deltaHue += 360;
    }
  }
  const double deltaH = 2 * std::sqrt(chromaProduct) * std::sin(deltaHue * kRadians / 2);

  const double meanL = (first.L + second.L) / 2;
  const double meanC = (cp1 + cp2) / 2;
  double meanHue = hp1 + hp2;
  if (chromaProduct != 0) {
    if (std::fabs(hp1 - hp2) <= 180) {
      meanHue /= 2;
    } else if (meanHue < 360) {
      meanHue = (meanHue + 360) / 2;
    } else {
      meanHue = (meanHue - 360) / 2;
    }
  }
  const double t = ciede2000::HueWeight(meanHue);
  const double hueOffset = (meanHue - 275) / 25;
  const double deltaTheta = 30 * std::exp(-hueOffset * hueOffset);
  const double rc = 2 * std::sqrt(ChromaWeight(meanC));
  const double lOffset = (meanL - 50) * (meanL - 50);
  const double sl = 1 + 0.015 * lOffset / std::sqrt(20 + lOffset);
  const double sc = 1 + 0.045 * meanC;
  const double sh = 1 + 0.015 * meanC * t;
  const double rt = -std::sin(2 * deltaTheta * kRadians) * rc;

  const double l = deltaL / sl, c = deltaC / sc, h = deltaH / sh;
  return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

}  // namespace mozenta
