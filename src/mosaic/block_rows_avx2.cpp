// The AVX2 kernel that turns a block's columns into rows of cells and counts them.
//
// The grid is stored column by column, the reports are written row by row. The kernel takes a block in
// strips of 16 rows and each strip in tiles of 16 columns. A tile is loaded as eight vectors, each holding
// 16 rows of a column c in its low half and of column c + 8 in its high half; three rounds of byte, word
// and dword unpacks transpose both halves at once, so that each vector then holds two neighbouring rows, 8
// cells of each, in each half: [row r cells 0..7, row r + 1 cells 0..7 | row r cells 8..15, row r + 1
// cells 8..15]. One permutation puts each row together, and its 16 cells are stored in their row.
//
// The cells are counted before the transpose (see CellCounters).
//
// A row whose width is not a multiple of 16 ends with a tile that overlaps the one before it: it stores the
// same cells again, and its columns that were already counted are masked off. Rows of a tile below the
// block are transposed and stored too, into the buffer's rows past the strip's, and never handed on; they
// are masked off from the counts.
#include "simd.h"

#if MOZENTA_AVX2_BUILT

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "block_rows.h"

namespace mozenta::block_internal {
namespace {

constexpr int kTileRows = kStripRows;
constexpr int kPairs = kTileColumns / 2;  // vectors per tile, each a pair of columns c and c + 8

// The tile's eight column pairs, 16 rows each, with the low three bits of each cell. Where the grid's
// storage ends within the last columns' 16 rows, the tile is read through a zeroed copy.
MOZENTA_AVX2_INLINE void LoadTile(const BlockCells& block, const std::uint8_t* top, __m256i pairs[kPairs]) {
  const __m256i low3 = _mm256_set1_epi8(7);
  const std::ptrdiff_t stride = block.columnStride;
  if (block.storageEnd - (top + (kTileColumns - 1) * stride) >= kTileRows) {
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
    const std::ptrdiff_t readable = std::clamp<std::ptrdiff_t>(block.storageEnd - column, 0, kTileRows);
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
  int columns;
  bool startsBlock;
};
MOZENTA_AVX2_INLINE StripAhead StripAheadOf(const BlockCells& block, const BlockCells& next, int top) {
  const int ahead = top + kStripsAhead * kTileRows;
  if (ahead < block.rows) return {block.first + ahead, block.columns, false};
  if (next.Empty()) return {nullptr, 0, false};
  const int stripsInBlock = (block.rows + kTileRows - 1) / kTileRows;
  const int intoNext = ahead - stripsInBlock * kTileRows;
  if (intoNext >= next.rows) return {nullptr, 0, false};
  return {next.first + intoNext, next.columns, intoNext == 0};
}

// Asks the cache for the 16 rows from `top` on of the tile's columns. Within a block the rows above `top`
// were read with the strip before, so only the line holding the strip's last row can be new; the first
// strip of a block needs both.
MOZENTA_AVX2_INLINE void PrefetchTile(const BlockCells& block, const std::uint8_t* top, bool startsBlock) {
  const std::ptrdiff_t stride = block.columnStride;
  if (block.storageEnd - (top + (kTileColumns - 1) * stride) < kTileRows) return;
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

MOZENTA_AVX2_INLINE CellCounts CountsOf(const CellCounters& counters) {
  CellCounts counts{};
  for (int k = 0; k < 4; ++k) {
    const std::int64_t low = SumOfLanes(counters.lowSums[k]);
    counts[2 * k] = static_cast<std::int32_t>(low);
    counts[2 * k + 1] = static_cast<std::int32_t>((SumOfLanes(counters.wholeSums[k]) - low) / 16);
  }
  return counts;
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

// Stores the transposed tile's 16 rows of 16 cells at `out`, the tile's place in its top row.
MOZENTA_AVX2_INLINE void StoreTile(const __m256i rows[kPairs], std::uint8_t* out, std::ptrdiff_t stride) {
  for (int v = 0; v < kPairs; ++v) {
    std::uint8_t* upper = out + RowOfVector(v) * stride;
    // [upper 0..7, lower 0..7 | upper 8..15, lower 8..15] to [upper 0..15 | lower 0..15]
    const __m256i both = _mm256_permute4x64_epi64(rows[v], 0xD8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(upper), _mm256_castsi256_si128(both));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(upper + stride), _mm256_extracti128_si256(both, 1));
  }
}

}  // namespace

MOZENTA_AVX2 CellCounts BlockRowsAvx2(const BlockCells& block, const BlockCells& next, std::uint8_t* rows,
                                      std::ptrdiff_t stride, StripSink& sink) {
  if (block.columns < kTileColumns) return BlockRowsPortable(block, next, rows, stride, sink);
  const std::ptrdiff_t columnStride = block.columnStride;
  // Row numbers 0..15 in both halves.
  const __m256i rowNumbers = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2,
                                              3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  CellCounters counters;
  StartCounting(counters);

  // Each strip is handed on once the next one is stored, so that the visitors' loads find the cells in
  // the cache rather than waiting for the stores to drain (they read them in other pieces than stored).
  std::uint8_t* const halves[2] = {rows, rows + kStripRows * stride};
  int ready = -1, readyCount = 0;
  for (int top = 0; top < block.rows; top += kTileRows) {
    std::uint8_t* const out = halves[(top / kTileRows) % 2];
    const int count = std::min(kTileRows, block.rows - top);
    const std::uint8_t* const strip = block.first + top;
    const StripAhead ahead = StripAheadOf(block, next, top);
    const __m256i rowsBelow = _mm256_cmpgt_epi8(rowNumbers, _mm256_set1_epi8(static_cast<char>(count - 1)));

    for (int counted = 0; counted < block.columns;) {
      const int first = std::min(counted, block.columns - kTileColumns);
      __m256i v[kPairs];
      LoadTile(block, strip + first * columnStride, v);
      if (ahead.top != nullptr && first + kTileColumns <= ahead.columns) {
        PrefetchTile(block, ahead.top + first * columnStride, ahead.startsBlock);
      }
      // The last tile of an uneven row overlaps the one before: its columns left of `counted` are counted.
      CountTile(v, rowsBelow, counted - first, counters);
      Transpose(v);
      StoreTile(v, out + first, stride);
      counted = first + kTileColumns;
    }
    if (ready >= 0) sink.PutStrip(ready, readyCount, halves[(ready / kTileRows) % 2]);
    ready = top;
    readyCount = count;
  }
  sink.PutStrip(ready, readyCount, halves[(ready / kTileRows) % 2]);
  return CountsOf(counters);
}

}  // namespace mozenta::block_internal

#endif  // MOZENTA_AVX2_BUILT
