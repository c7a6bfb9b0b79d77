// CIELAB colours of 8-bit sRGB values: the standard sRGB transfer curve, the sRGB primaries and the D65
// white, as the perceptual colour match measures them. The steps are exposed for the bounds over boxes of
// colours (ciede2000_bounds.h), which must follow the same arithmetic.
#pragma once

#include <cstdint>

namespace mozenta {

struct Lab {
  double L = 0, a = 0, b = 0;
};

namespace cielab {

// Linear sRGB to XYZ: the four-decimal matrix of the sRGB standard, rows X, Y, Z.
inline constexpr double kToXyz[3][3] = {
    {0.4124, 0.3576, 0.1805}, {0.2126, 0.7152, 0.0722}, {0.0193, 0.1192, 0.9505}};
// The white: XYZ of sRGB white under that matrix (D65 as the sRGB standard rounds it), so that every grey
// has a* = b* = 0 up to rounding.
inline constexpr double kWhiteX = 0.4124 + 0.3576 + 0.1805;
inline constexpr double kWhiteZ = 0.0193 + 0.1192 + 0.9505;

// The linear light of an 8-bit channel by the standard transfer curve, 0..1.
double LinearLight(std::uint8_t channel);

// X / Xn, Y / Yn and Z / Zn of the linear colour (r, g, b).
struct WhiteRatios {
  double x, y, z;
};
WhiteRatios RatiosOf(double r, double g, double b);

// The CIELAB companding of a ratio to the white: the cube root above (6/29)³, a straight line below.
double Compand(double t);
// Its slope, which never grows with t.
double CompandSlope(double t);

Lab LabOfRatios(const WhiteRatios& ratios);

}  // namespace cielab

// The CIELAB colour of the 8-bit sRGB colour (red, green, blue).
Lab LabFromSrgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

}  // namespace mozenta
