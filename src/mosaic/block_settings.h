// How the reports cut a mosaic into blocks of sheets, and in which order they list them. The main window's
// two spin edits and mozenta-batch's options offer the same ranges.
#pragma once

#include <cstdint>

namespace mozenta {

inline constexpr std::int32_t kDefaultBlockWidth = 40;
inline constexpr std::int32_t kDefaultBlockHeight = 100;
inline constexpr std::int32_t kMaxBlockWidth = 640;   // the range offered: 0..640
inline constexpr std::int32_t kMaxBlockHeight = 480;  // 0..480

struct BlockSettings {
  std::int32_t width = kDefaultBlockWidth;    // sheets across one block
  std::int32_t height = kDefaultBlockHeight;  // sheets down one block
};

enum class BlockOrder {
  kByRows,     // rows of blocks, top to bottom (the main window's "縦向出力" clear)
  kByColumns,  // columns of blocks, left to right ("縦向出力" checked)
};

}  // namespace mozenta
