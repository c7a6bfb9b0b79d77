// The AVX2 kernel of the chart's cell lines.
//
// The grid is stored column by column, the chart is written row by row. The kernel takes a block in strips
// of 16 rows and each strip in tiles of 16 columns. A tile is loaded as eight vectors, each holding 16 rows
// of a column c in its low half and of column c + 8 in its high half; three rounds of byte, word and dword
// unpacks transpose both halves at once, so that each vector then holds two neighbouring rows, 8 cells of
// each, in each half: [row r cells 0..7, row r + 1 cells 0..7 | row r cells 8..15, row r + 1 cells 8..15].
// A byte shuffle from a 16-byte table of the labels turns the cells into their labels; for two-byte labels
// the shuffles of the first and the second bytes, interleaved, give row r and row r + 1 whole, 32 bytes each.
// They are stored straight into the rows' places in a staging buffer, from which the strip is written.
//
// The cells are counted before the transpose (see CellCounters).
//
// A row whose width is not a multiple of 16 ends with a tile that overlaps the one before it: it stores the
// same labels again, and its columns that were already counted are masked off. Rows of a tile below the
// block are transposed and stored too, into the staging buffer past the strip's rows, and are never
// written; they are masked off from the counts.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "report_cells.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define MOZENTA_REPORT_AVX2_KERNEL 1
#else
#define MOZENTA_REPORT_AVX2_KERNEL 0
#endif

namespace mozenta::report_internal {

#if MOZENTA_REPORT_AVX2_KERNEL

// Only the functions so marked use AVX2; everything else in the program stays portable.
#define MOZENTA_AVX2 __attribute__((target("avx2")))
#define MOZENTA_AVX2_INLINE __attribute__((target("avx2"), always_inline)) inline

namespace {

constexpr int kTileColumns = kVectorTileColumns;
constexpr int kTileRows = kVectorTileRows;
constexpr int kPairs = kTileColumns / 2;  // vectors per tile, each a pair of columns c and c + 8

// The tile's eight column pairs, 16 rows each, with the low three bits of each cell. Where the grid's
// storage ends within the last columns' 16 rows, the tile is read through a zeroed copy.
MOZENTA_AVX2_INLINE void LoadTile(const GridBlock& block, const std::uint8_t* top, __m256i pairs[kPairs]) {
  const __m256i low3 = _mm256_set1_epi8(7);
  const std::ptrdiff_t stride = block.columnStride;
  if (block.readableEnd - (top + (kTileColumns - 1) * stride) >= kTileRows) {
    for (int c = 0; c < kPairs; ++c) {
      const __m128i left = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + c * stride));
      const __m128i right = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + (c + kPairs) * stride));
      pairs[c] = _mm256_and_si256(_mm256_inserti128_si256(_mm256_castsi128_si256(left), right, 1), low3);
    }
    return;
  }
  alignas(32) std::uint8_t copy[kTileColumns][kTileRows] = {};
  for (int c = 0; c < kTileColumns; ++c) {
    const std::uint8_t* column = top + c * stride;
    const std::ptrdiff_t readable = std::clamp<std::ptrdiff_t>(block.readableEnd - column, 0, kTileRows);
    std::memcpy(copy[c], column, static_cast<std::size_t>(readable));
  }
  for (int c = 0; c < kPairs; ++c) {
    const __m128i left = _mm_load_si128(reinterpret_cast<const __m128i*>(copy[c]));
    const __m128i right = _mm_load_si128(reinterpret_cast<const __m128i*>(copy[c + kPairs]));
    pairs[c] = _mm256_and_si256(_mm256_inserti128_si256(_mm256_castsi128_si256(left), right, 1), low3);
  }
}

// The strip three strips on from the one at `top`, in the same block or the next one, whose cells are asked
// for ahead; without a next block, none.
constexpr int kStripsAhead = 3;
struct StripAhead {
  const std::uint8_t* top;
  int cells;
  bool startsBlock;
};
MOZENTA_AVX2_INLINE StripAhead StripAheadOf(const GridBlock& block, int top) {
  const int ahead = top + kStripsAhead * kTileRows;
  if (ahead < block.rows) return {block.firstCell + ahead, block.cells, false};
  if (block.next == nullptr) return {nullptr, 0, false};
  const int stripsInBlock = (block.rows + kTileRows - 1) / kTileRows;
  const int intoNext = ahead - stripsInBlock * kTileRows;
  return {block.next + intoNext, block.nextCells, intoNext == 0};
}

// Asks the cache for the 16 rows from `top` on of the tile's columns: the columns lie far apart, a stride
// that no hardware prefetcher follows. Within a block the rows above `top` were read with the strip before,
// so only the line holding the strip's last row can be new; the first strip of a block needs both.
MOZENTA_AVX2_INLINE void PrefetchTile(const GridBlock& block, const std::uint8_t* top, bool startsBlock) {
  const std::ptrdiff_t stride = block.columnStride;
  if (block.readableEnd - (top + (kTileColumns - 1) * stride) < kTileRows) return;
  for (int c = 0; c < kTileColumns; ++c) {
    if (startsBlock) _mm_prefetch(reinterpret_cast<const char*>(top + c * stride), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(top + c * stride + kTileRows - 1), _MM_HINT_T0);
  }
}

// The cells' counts. A byte shuffle maps a cell of entry 2k to 1 and a cell of entry 2k + 1 to 16, so that
// adding the results counts the two entries in the low and high nibbles of the bytes (a tile adds at most 8
// to each). After each tile the bytes are summed into 64-bit counters (vpsadbw), once whole and once only
// their low nibbles; the difference is 16 times the odd entry's count.
struct CellCounters {
  __m256i tables[4];
  __m256i wholeSums[4], lowSums[4];
};

MOZENTA_AVX2_INLINE void StartCounting(CellCounters& counters) {
  for (int k = 0; k < 4; ++k) {
    alignas(16) std::uint8_t table[16] = {};
    table[2 * k] = 1;
    table[2 * k + 1] = 16;
    counters.tables[k] = _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(table)));
    counters.wholeSums[k] = counters.lowSums[k] = _mm256_setzero_si256();
  }
}

// Counts the tile's cells but those of the rows where `rowsBelow` holds 0xFF and those of the columns left
// of `firstNew`: or-ing them with 0xFF makes the shuffles give 0.
MOZENTA_AVX2_INLINE void CountTile(const __m256i pairs[kPairs], __m256i rowsBelow, int firstNew,
                                   CellCounters& counters) {
  // Column numbers of the pairs: c in the low half, c + 8 in the high half.
  const __m256i pairColumns = _mm256_setr_epi64x(0, 0, 0x0808080808080808, 0x0808080808080808);
  const __m256i counted = _mm256_set1_epi8(static_cast<char>(firstNew));
  __m256i nibbles[4];
  for (int k = 0; k < 4; ++k)
    nibbles[k] = _mm256_setzero_si256();
  for (int c = 0; c < kPairs; ++c) {
    __m256i cells = _mm256_or_si256(pairs[c], rowsBelow);
    if (firstNew > 0) {
      const __m256i columns = _mm256_add_epi8(pairColumns, _mm256_set1_epi8(static_cast<char>(c)));
      cells = _mm256_or_si256(cells, _mm256_cmpgt_epi8(counted, columns));
    }
    for (int k = 0; k < 4; ++k)
      nibbles[k] = _mm256_add_epi8(nibbles[k], _mm256_shuffle_epi8(counters.tables[k], cells));
  }
  const __m256i zero = _mm256_setzero_si256(), lowNibbles = _mm256_set1_epi8(0x0F);
  for (int k = 0; k < 4; ++k) {
    counters.wholeSums[k] = _mm256_add_epi64(counters.wholeSums[k], _mm256_sad_epu8(nibbles[k], zero));
    counters.lowSums[k] = _mm256_add_epi64(counters.lowSums[k],
                                           _mm256_sad_epu8(_mm256_and_si256(nibbles[k], lowNibbles), zero));
  }
}

MOZENTA_AVX2_INLINE std::int64_t SumOfLanes(__m256i sums) {
  const __m128i halves = _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
  return _mm_cvtsi128_si64(halves) + _mm_extract_epi64(halves, 1);
}

MOZENTA_AVX2_INLINE void AddCounts(const CellCounters& counters, std::array<std::int32_t, 8>& counts) {
  for (int k = 0; k < 4; ++k) {
    const std::int64_t low = SumOfLanes(counters.lowSums[k]);
    counts[2 * k] += static_cast<std::int32_t>(low);
    counts[2 * k + 1] += static_cast<std::int32_t>((SumOfLanes(counters.wholeSums[k]) - low) / 16);
  }
}

// Three rounds of unpacks, each interleaving pairs of vectors in elements of 8, 16 and 32 bits. Afterwards
// vector v holds rows RowOfVector(v) and RowOfVector(v) + 1.
MOZENTA_AVX2_INLINE void Transpose(__m256i v[kPairs]) {
  __m256i a[kPairs], b[kPairs];
  for (int i = 0; i < kPairs / 2; ++i) {
    a[i] = _mm256_unpacklo_epi8(v[2 * i], v[2 * i + 1]);
    a[i + kPairs / 2] = _mm256_unpackhi_epi8(v[2 * i], v[2 * i + 1]);
  }
  for (int i = 0; i < kPairs / 2; ++i) {
    b[i] = _mm256_unpacklo_epi16(a[2 * i], a[2 * i + 1]);
    b[i + kPairs / 2] = _mm256_unpackhi_epi16(a[2 * i], a[2 * i + 1]);
  }
  for (int i = 0; i < kPairs / 2; ++i) {
    v[i] = _mm256_unpacklo_epi32(b[2 * i], b[2 * i + 1]);
    v[i + kPairs / 2] = _mm256_unpackhi_epi32(b[2 * i], b[2 * i + 1]);
  }
}

// Twice the vector's number with its three bits reversed.
constexpr int RowOfVector(int v) {
  return 2 * ((v & 1) << 2 | (v & 2) | (v & 4) >> 2);
}

// Stores the labels of the transposed tile's 16 rows at `out`, the tile's place in its top row.
template <int kLength>
MOZENTA_AVX2_INLINE void StoreTile(const __m256i rows[kPairs], char* out, std::ptrdiff_t rowBytes,
                                   const __m256i tables[2]) {
  for (int v = 0; v < kPairs; ++v) {
    char* upper = out + RowOfVector(v) * rowBytes;
    char* lower = upper + rowBytes;
    if constexpr (kLength == 1) {
      // [upper 0..7, lower 0..7 | upper 8..15, lower 8..15] to [upper 0..15 | lower 0..15]
      const __m256i labels = _mm256_permute4x64_epi64(_mm256_shuffle_epi8(tables[0], rows[v]), 0xD8);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(upper), _mm256_castsi256_si128(labels));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(lower), _mm256_extracti128_si256(labels, 1));
    } else {
      const __m256i first = _mm256_shuffle_epi8(tables[0], rows[v]);
      const __m256i second = _mm256_shuffle_epi8(tables[1], rows[v]);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(upper), _mm256_unpacklo_epi8(first, second));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(lower), _mm256_unpackhi_epi8(first, second));
    }
  }
}

template <int kLength>
MOZENTA_AVX2 void WriteBlockCells(ReportFile& chart, char* staging, const GridBlock& block,
                                  const UniformLabels& labels, std::array<std::int32_t, 8>& counts) {
  const std::ptrdiff_t stride = block.columnStride;
  const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(block.cells) * kLength + 2;
  __m256i tables[2];
  for (int k = 0; k < 2; ++k) {
    tables[k] =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(labels.bytes[k])));
  }
  // Row numbers 0..15 in both halves.
  const __m256i rowNumbers = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2,
                                              3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  CellCounters counters;
  StartCounting(counters);

  for (int top = 0; top < block.rows; top += kTileRows) {
    const int rows = std::min(kTileRows, block.rows - top);
    const std::uint8_t* const strip = block.firstCell + top;
    const StripAhead ahead = StripAheadOf(block, top);
    const __m256i rowsBelow = _mm256_cmpgt_epi8(rowNumbers, _mm256_set1_epi8(static_cast<char>(rows - 1)));

    for (int counted = 0; counted < block.cells;) {
      const int first = std::min(counted, block.cells - kTileColumns);
      __m256i v[kPairs];
      LoadTile(block, strip + first * stride, v);
      if (ahead.top != nullptr && first + kTileColumns <= ahead.cells) {
        PrefetchTile(block, ahead.top + first * stride, ahead.startsBlock);
      }
      // The last tile of an uneven row overlaps the one before: its columns left of `counted` are counted.
      CountTile(v, rowsBelow, counted - first, counters);
      Transpose(v);
      StoreTile<kLength>(v, staging + first * kLength, rowBytes, tables);
      counted = first + kTileColumns;
    }
    for (int r = 0; r < rows; ++r)
      std::memcpy(staging + r * rowBytes + rowBytes - 2, "\r\n", 2);
    chart.Write(std::string_view(staging, static_cast<std::size_t>(rows * rowBytes)));
  }

  AddCounts(counters, counts);
}

}  // namespace

bool Avx2CellKernelAvailable() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

void WriteBlockCellsAvx2(ReportFile& chart, char* staging, const GridBlock& block,
                         const UniformLabels& labels, std::array<std::int32_t, 8>& counts) {
  if (labels.length == 1) {
    WriteBlockCells<1>(chart, staging, block, labels, counts);
  } else {
    WriteBlockCells<2>(chart, staging, block, labels, counts);
  }
}

#else  // no AVX2 kernel for this processor family

bool Avx2CellKernelAvailable() {
  return false;
}

void WriteBlockCellsAvx2(ReportFile&, char*, const GridBlock&, const UniformLabels&,
                         std::array<std::int32_t, 8>&) {}

#endif

}  // namespace mozenta::report_internal
