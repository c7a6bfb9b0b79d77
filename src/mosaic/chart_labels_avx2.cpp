// The AVX2 kernel of the chart's cell lines: 32 cells of a row at a time become their labels through byte
// shuffles from a 16-byte table of the labels; for two-byte labels the shuffles of the first and the
// second bytes are interleaved. A row's last piece may reach past its end (the rows allow it): the labels
// stored for it are overwritten by the line end and the next row, or left in the slack after the lines.
#include "simd.h"

#if MOZENTA_AVX2_BUILT

#include <cstring>

#include "chart_labels.h"

namespace mozenta::chart_internal {
namespace {

constexpr int kPieceCells = 32;

template <int kLength>
MOZENTA_AVX2 std::size_t LabelRows(const CellRows& rows, const UniformLabels& labels, char* out) {
  const __m256i first =
      _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(labels.bytes[0])));
  const __m256i second =
      _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(labels.bytes[1])));
  // Local copies: the stores below could otherwise be taken to change `rows`.
  const int count = rows.count, columns = rows.columns;
  const std::uint8_t* const cells = rows.cells;
  const std::ptrdiff_t stride = rows.stride;
  char* line = out;
  for (int r = 0; r < count; ++r) {
    const std::uint8_t* row = cells + r * stride;
    for (int x = 0; x < columns; x += kPieceCells) {
      const __m256i piece = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
      const __m256i firstBytes = _mm256_shuffle_epi8(first, piece);
      if constexpr (kLength == 1) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(line + x), firstBytes);
      } else {
        const __m256i secondBytes = _mm256_shuffle_epi8(second, piece);
        // Each cell's two bytes together: [cells 0..7 | 16..23] and [8..15 | 24..31].
        const __m256i low = _mm256_unpacklo_epi8(firstBytes, secondBytes);
        const __m256i high = _mm256_unpackhi_epi8(firstBytes, secondBytes);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(line + 2 * x),
                            _mm256_permute2x128_si256(low, high, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(line + 2 * x + 32),
                            _mm256_permute2x128_si256(low, high, 0x31));
      }
    }
    line += static_cast<std::ptrdiff_t>(columns) * kLength;
    std::memcpy(line, "\r\n", 2);
    line += 2;
  }
  return static_cast<std::size_t>(line - out);
}

}  // namespace

std::size_t LabelRowsAvx2(const CellRows& rows, const UniformLabels& labels, char* out) {
  return labels.length == 1 ? LabelRows<1>(rows, labels, out) : LabelRows<2>(rows, labels, out);
}

}  // namespace mozenta::chart_internal

#endif  // MOZENTA_AVX2_BUILT
