#include "cielab.h"

#include <array>
#include <cmath>

namespace mozenta {
namespace cielab {
namespace {

constexpr double kDelta = 6.0 / 29.0;

const std::array<double, 256>& LinearTable() {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> t{};
    for (int i = 0; i < 256; ++i) {
      const double v = i / 255.0;
      t[i] = v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    }
    return t;
  }();
  return table;
}

}  // namespace

double LinearLight(std::uint8_t channel) {
  return LinearTable()[channel];
}

WhiteRatios RatiosOf(double r, double g, double b) {
  const double x = kToXyz[0][0] * r + kToXyz[0][1] * g + kToXyz[0][2] * b;
  const double y = kToXyz[1][0] * r + kToXyz[1][1] * g + kToXyz[1][2] * b;
  const double z = kToXyz[2][0] * r + kToXyz[2][1] * g + kToXyz[2][2] * b;
  return {x / kWhiteX, y, z / kWhiteZ};
}

double Compand(double t) {
  return t > kDelta * kDelta * kDelta ? std::cbrt(t) : t / (3 * kDelta * kDelta) + 4.0 / 29.0;
}

double CompandSlope(double t) {
  return t > kDelta * kDelta * kDelta ? 1 / (3 * std::cbrt(t * t)) : 1 / (3 * kDelta * kDelta);
}

Lab LabOfRatios(const WhiteRatios& ratios) {
  const double fx = Compand(ratios.x), fy = Compand(ratios.y), fz = Compand(ratios.z);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

}  // namespace cielab

Lab LabFromSrgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  using namespace cielab;
  return LabOfRatios(RatiosOf(LinearLight(red), LinearLight(green), LinearLight(blue)));
}

}  // namespace mozenta
