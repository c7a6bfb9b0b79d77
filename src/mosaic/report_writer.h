// The two block reports of a save: the chart file (.txt), which lists block by block the label of every
// cell's colour and the block's sheet counts, and the counts file (.csv) beside it. Both are Shift_JIS
// text with CR LF line ends. They are written from ColorGrid, MaxX and MaxY.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "progress_gauge.h"

namespace mozenta {

inline constexpr std::int32_t kMaxBlockWidth = 640;   // the range the main window offers: 0..640
inline constexpr std::int32_t kMaxBlockHeight = 480;  // 0..480

// The labels of palette entries 0..7 at start-up: "黒","青","赤","紫","緑","水","黄","白".
std::array<std::string, 8> DefaultColorLabels();

struct ReportSettings {
  std::int32_t blockWidth = 40;                              // sheets across one block
  std::int32_t blockHeight = 100;                            // sheets down one block
  std::array<std::string, 8> labels = DefaultColorLabels();  // UTF-8, for palette entries 0..7
};

// Both write the chart file `chartFileName` and the counts file of the same name with extension ".csv",
// replacing existing files. WriteReportByRows walks the blocks row of blocks by row of blocks, the gauge
// counting block rows; WriteReportByColumns walks them column by column, the gauge counting block columns.
//
// A block width or height of 0 throws EDivByZero before the gauge is shown or any file is touched; a
// negative one throws Exception likewise. A failing create, write or close throws EInOutError; the gauge
// is then hidden and both files are closed with what had reached them.
void WriteReportByRows(const std::string& chartFileName, const ReportSettings& settings,
                       ProgressGauge& gauge);
void WriteReportByColumns(const std::string& chartFileName, const ReportSettings& settings,
                          ProgressGauge& gauge);

}  // namespace mozenta
