// The labels of palette entries 0..7 that the reports print for each cell: UTF-8 text of any length.
#pragma once

#include <array>
#include <string>

namespace mozenta {

using ColorLabels = std::array<std::string, 8>;

// The labels at start-up: "黒","青","赤","紫","緑","水","黄","白" (black, blue, red, purple, green, light
// blue, yellow, white).
const ColorLabels& DefaultColorLabels();

}  // namespace mozenta
