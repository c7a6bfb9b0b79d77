// The AVX2 kernel of the chart's cell lines.
//
// The grid is stored column by column, the chart is written row by row. The kernel takes a block in strips
// of 16 rows and each strip in tiles of 16 columns. A tile is loaded as eight vectors, each holding 16 rows
// of a column c in its low half and of column c + 8 in its high half; three rounds of byte, word and dword
// unpacks transpose both halves at once, so that each vector then holds two neighbouring rows, 8 cells of
// each, in each half: [row r cells 0..7, row r + 1 cells 0..7 | row r cells 8..15, row r + 1 cells 8..15].
// A byte shuffle from a 16-byte table of the labels turns the cells into their labels; for two-byte labels
// the shuffles of the first and the second bytes, interleaved, give row r and row r + 1 whole, 32 bytes each.
// They are stored straight into the rows' places in the chart's buffer.
//
// The cells are counted before the transpose: a compare per palette entry gives −1 in each byte that holds
// the entry, and subtracting it counts the cell in that byte. A byte counts at most 255 cells, so the byte
// counters are summed into 64-bit ones (vpsadbw) every few tiles.
//
// A row whose width is not a multiple of 16 ends with a tile that overlaps the one before it: it stores the
// same labels again, and its columns that were already counted are masked off. Rows of a tile below the
// block are transposed and stored too, into buffer space past the block's rows that is reserved but never
// kept; they are masked off from the counts.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "report_cells.h"

#if defined(__x86_64__) || defined(__i386__)
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
// Tiles whose counts the byte counters hold before they are emptied: a tile adds at most 8 to a byte.
constexpr int kTilesPerFlush = 31;
static_assert(kTilesPerFlush * kPairs <= 255);

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

// The strip two strips on from the one at `top`, in the same block or the next one, whose cells are asked
// for ahead; without a next block, none.
constexpr int kStripsAhead = 2;
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

// Adds the cells of a column pair to the byte counters; cells under 0xFF in `masked` match no entry.
MOZENTA_AVX2_INLINE void CountPair(__m256i pair, __m256i masked, __m256i counters[8]) {
  const __m256i cells = _mm256_or_si256(pair, masked);
  for (int i = 0; i < 8; ++i) {
    const __m256i match = _mm256_cmpeq_epi8(cells, _mm256_set1_epi8(static_cast<char>(i)));
    counters[i] = _mm256_sub_epi8(counters[i], match);
  }
}

MOZENTA_AVX2_INLINE void FlushCounters(__m256i counters[8], __m256i sums[8]) {
  for (int i = 0; i < 8; ++i) {
    sums[i] = _mm256_add_epi64(sums[i], _mm256_sad_epu8(counters[i], _mm256_setzero_si256()));
    counters[i] = _mm256_setzero_si256();
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
MOZENTA_AVX2 void WriteBlockCells(ReportFile& chart, const GridBlock& block, const UniformLabels& labels,
                                  std::array<std::int32_t, 8>& counts) {
  const std::ptrdiff_t stride = block.columnStride;
  const std::ptrdiff_t rowBytes = static_cast<std::ptrdiff_t>(block.cells) * kLength + 2;
  __m256i tables[2];
  for (int k = 0; k < 2; ++k) {
    tables[k] =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(labels.bytes[k])));
  }
  // Row numbers 0..15 in both halves, and column numbers of the pairs: c in the low half, c + 8 in the high.
  const __m256i rowNumbers = _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0, 1, 2,
                                              3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  const __m256i pairColumns = _mm256_setr_epi64x(0, 0, 0x0808080808080808, 0x0808080808080808);

  __m256i counters[8], sums[8];
  for (int i = 0; i < 8; ++i)
    counters[i] = sums[i] = _mm256_setzero_si256();
  int tilesCounted = 0;

  for (int top = 0; top < block.rows; top += kTileRows) {
    const int rows = std::min(kTileRows, block.rows - top);
    const std::uint8_t* const strip = block.firstCell + top;
    const StripAhead ahead = StripAheadOf(block, top);
    const __m256i rowsBelow = _mm256_cmpgt_epi8(rowNumbers, _mm256_set1_epi8(static_cast<char>(rows - 1)));

    char* const out = chart.Reserve(VectorReserveBytes(block.cells, kLength));
    for (int counted = 0; counted < block.cells;) {
      const int first = std::min(counted, block.cells - kTileColumns);
      __m256i v[kPairs];
      LoadTile(block, strip + first * stride, v);
      if (ahead.top != nullptr && first + kTileColumns <= ahead.cells) {
        PrefetchTile(block, ahead.top + first * stride, ahead.startsBlock);
      }
      if (first == counted) {
        for (int c = 0; c < kPairs; ++c)
          CountPair(v[c], rowsBelow, counters);
      } else {
        // The last tile of an uneven row: its columns left of `counted` were counted with the tile before.
        const __m256i countedColumns = _mm256_set1_epi8(static_cast<char>(counted - first));
        for (int c = 0; c < kPairs; ++c) {
          const __m256i columns = _mm256_add_epi8(pairColumns, _mm256_set1_epi8(static_cast<char>(c)));
          CountPair(v[c], _mm256_or_si256(rowsBelow, _mm256_cmpgt_epi8(countedColumns, columns)), counters);
        }
      }
      if (++tilesCounted == kTilesPerFlush) {
        FlushCounters(counters, sums);
        tilesCounted = 0;
      }
      Transpose(v);
      StoreTile<kLength>(v, out + first * kLength, rowBytes, tables);
      counted = first + kTileColumns;
    }
    for (int r = 0; r < rows; ++r)
      std::memcpy(out + r * rowBytes + rowBytes - 2, "\r\n", 2);
    chart.Commit(out + rows * rowBytes);
  }

  FlushCounters(counters, sums);
  for (int i = 0; i < 8; ++i) {
    const __m128i halves =
        _mm_add_epi64(_mm256_castsi256_si128(sums[i]), _mm256_extracti128_si256(sums[i], 1));
    counts[i] += static_cast<std::int32_t>(_mm_cvtsi128_si64(halves) + _mm_extract_epi64(halves, 1));
  }
}

}  // namespace

bool Avx2CellKernelAvailable() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

void WriteBlockCellsAvx2(ReportFile& chart, const GridBlock& block, const UniformLabels& labels,
                         std::array<std::int32_t, 8>& counts) {
  if (labels.length == 1) {
    WriteBlockCells<1>(chart, block, labels, counts);
  } else {
    WriteBlockCells<2>(chart, block, labels, counts);
  }
}

#else  // no AVX2 kernel on this processor family

bool Avx2CellKernelAvailable() {
  return false;
}

void WriteBlockCellsAvx2(ReportFile&, const GridBlock&, const UniformLabels&, std::array<std::int32_t, 8>&) {}

#endif

}  // namespace mozenta::report_internal
