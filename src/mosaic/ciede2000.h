// The CIEDE2000 colour difference of two CIELAB colours (weights kL = kC = kH = 1).
#pragma once

#include "cielab.h"

namespace mozenta {

double Ciede2000(const Lab& first, const Lab& second);

namespace ciede2000 {

// The cosines of h − 30°, 2h, 3h + 6° and 4h − 63°, the hue weight's terms, from one sine and one cosine
// of h (in degrees) by the multiple-angle identities: within a few units in the last place of each.
struct HueCosines {
  double c1, c2, c3, c4;
};
HueCosines HueCosinesOf(double hueDegrees);

// T = 1 − 0.17 cos(h − 30°) + 0.24 cos 2h + 0.32 cos(3h + 6°) − 0.20 cos(4h − 63°).
double HueWeight(double hueDegrees);

}  // namespace ciede2000

}  // namespace mozenta
