// The CIEDE2000 colour difference of two CIELAB colours (weights kL = kC = kH = 1).
#pragma once

#include "cielab.h"

namespace mozenta {

double Ciede2000(const Lab& first, const Lab& second);

}  // namespace mozenta
