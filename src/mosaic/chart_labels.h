// Internals of the chart writer shared with its vector kernel: the labels in the form the kernel expands
// them, and the kernel that turns rows of cells into their labels. Only the chart writer, its tests and
// benchmarks include this header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "block_walk.h"
#include "simd.h"

namespace mozenta::chart_internal {

// The eight labels when they all have the same length of one or two bytes: byte k of the label of entry i
// at bytes[k][i]. Entries 8..15 are never looked up.
struct UniformLabels {
  int length = 0;  // 1 or 2
  alignas(16) std::uint8_t bytes[2][16] = {};
};

// Bytes a label kernel may write past the lines it puts together.
inline constexpr std::size_t kLabelSlackBytes = 64;

// Puts together the chart lines of `rows`: each row as the labels of its cells from left to right and
// CR LF, one after the other from `out` on. Returns the bytes of the lines; up to kLabelSlackBytes past
// them may be overwritten.
using LabelRowsKernel = std::size_t (*)(const CellRows& rows, const UniformLabels& labels, char* out);

#if MOZENTA_AVX2_BUILT
std::size_t LabelRowsAvx2(const CellRows& rows, const UniformLabels& labels, char* out);
#endif

// The vector kernel this run takes, chosen once; nullptr where there is none.
LabelRowsKernel ChosenLabelRowsKernel();

}  // namespace mozenta::chart_internal
