// The sheets a team has on hand, per palette entry: what the mosaic needs beyond them is short.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "palette.h"

namespace mozenta {

// Sheets on hand of entries 0..7; an entry without a number is not counted against.
using SheetStock = std::array<std::optional<std::int64_t>, kPaletteColors>;

}  // namespace mozenta
