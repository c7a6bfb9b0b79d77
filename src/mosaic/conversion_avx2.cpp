// The AVX2 kernel of the conversion.
//
// A band of 32 rows is converted at once, one row per 16-bit lane, in two vectors per colour channel (rows
// 0..15 and 16..31). In step t, lane a works on column t − a: the error its row hands right is the lane's
// own result of the previous step, and the error from above is the previous step's result of lane a − 1,
// which worked on the same column one row up; the vectors get it by shifting their lanes by one. Lane 0
// takes the error the band above left in that column.
//
// The rows' pixels reach the lanes through byte transposes: each row is split into red, green and blue
// planes with zero margins, and 16 × 16 blocks of those, read with a skew of one column per row, give the
// sixteen lanes of sixteen steps. The nearest palette entry is computed rather than looked up: for the
// 4-bit colour v and entry P the squared distance is |v|² + |P|² − 2 P·v, so the entry with the least
// 16 × (|P|² − 2 P·v) + index is the nearest, the lower index winning a tie; that key fits 16 bits and takes
// two multiply-adds of byte pairs per entry.
//
// The steps leave the band's indices skewed (column x, row a at step x + a). Transposing them gives each
// row's indices, one column per step, so a mosaic row is read from its row with an offset; transposing
// those rows back gives the grid columns (the grid is stored column by column).
#include "simd.h"

#if MOZENTA_AVX2_BUILT

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "conversion_kernel.h"

namespace mozenta::conversion_internal {
namespace {

constexpr int kLanes = 16;                       // rows per vector
constexpr int kVectors = 2;                      // vectors per channel
constexpr int kBandRows = kLanes * kVectors;     // rows in flight
constexpr int kBlock = 16;                       // steps whose source pixels are transposed together
constexpr int kMargin = kBandRows + 2 * kBlock;  // zero bytes on either side of a plane row

// The errors the band's bottom vector hands on in one step, lanes 8..15 of each channel; lane 15 is the
// band's bottom row.
struct BottomErrors {
  std::int16_t red[8], green[8], blue[8];
};

// One palette entry the search considers, as the constants of its key in all 16 lanes. (Plain arrays:
// outside the AVX2 functions the compiler aligns vector types to 16 bytes only.)
struct alignas(32) Candidate {
  std::int16_t redGreen[kLanes];  // bytes −2R, −2G (4-bit channels) against the pair 16 × r4, 16 × g4
  std::int16_t blue[kLanes];      // bytes −2B, 0 against the pair 16 × b4, 0
  std::int16_t base[kLanes];      // 16 × |P|² + index
};

// Expanded channels by palette index for vpshufb, and the mosaic pixel by index for vpermd.
struct alignas(32) PaletteVectors {
  std::uint8_t red[32], green[32], blue[32];
  std::uint32_t pixel[8];
};

// Buffers of one conversion, sized once for its width.
struct Workspace {
  explicit Workspace(int width)
      : width(width),
        planeStride(width + 2 * kMargin),
        planes(static_cast<std::size_t>(kBandRows) * 3 * planeStride),
        blockSource(static_cast<std::size_t>(3) * kBlock * kBandRows),
        bottom(static_cast<std::size_t>(width) + 2 * kBandRows),
        stepsRounded((width + kBandRows - 1 + kBlock - 1) / kBlock * kBlock),
        skewed(static_cast<std::size_t>(stepsRounded) * kBandRows),
        rowStride(stepsRounded + kBlock),
        rows(static_cast<std::size_t>(kLanes) * rowStride) {}

  // Plane c (0 red, 1 green, 2 blue) of band row a, column 0.
  std::uint8_t* Plane(int a, int c) {
    return planes.data() + (static_cast<std::size_t>(a) * 3 + c) * planeStride + kMargin;
  }

  int width;
  std::size_t planeStride;
  std::vector<std::uint8_t> planes;       // the band's rows split into channel planes with zero margins
  std::vector<std::uint8_t> blockSource;  // [channel][step in block][lane]: the pixels of one block of steps
  // Step t of the band above stored its bottom vector's errors here (lane 15: row 31, column t − 31). The
  // current band reads entry t + 31 in step t, ahead of its own writes, so one buffer serves both.
  std::vector<BottomErrors> bottom;
  int stepsRounded;
  std::vector<std::uint8_t> skewed;  // [step][lane]: the palette index each lane chose
  int rowStride;
  std::vector<std::uint8_t> rows;     // one vector's rows: [row][step]
  std::vector<Candidate> candidates;  // entry 0 first, then the enabled entries
  PaletteVectors palette;
};

// Transposes 16 × 16 bytes: row r of the block is the 16 bytes at in + r × inStep, and column c is stored
// at out + c × outStep.
MOZENTA_AVX2_INLINE void Transpose16(const std::uint8_t* in, std::ptrdiff_t inStep, std::uint8_t* out,
                                     std::ptrdiff_t outStep) {
  __m256i y[8];
  for (int r = 0; r < 8; ++r) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + r * inStep));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + (r + 8) * inStep));
    y[r] = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
  }
  // Each 128-bit half transposes 8 rows × 16 columns: rows 0..7 in the low half, 8..15 in the high.
  __m256i a[8], b[8];
  for (int i = 0; i < 4; ++i) {
    a[2 * i] = _mm256_unpacklo_epi8(y[2 * i], y[2 * i + 1]);
    a[2 * i + 1] = _mm256_unpackhi_epi8(y[2 * i], y[2 * i + 1]);
  }
  for (int i = 0; i < 2; ++i) {  // rows 4i..4i+3, columns 0..3, 4..7, 8..11, 12..15
    b[4 * i] = _mm256_unpacklo_epi16(a[4 * i], a[4 * i + 2]);
    b[4 * i + 1] = _mm256_unpackhi_epi16(a[4 * i], a[4 * i + 2]);
    b[4 * i + 2] = _mm256_unpacklo_epi16(a[4 * i + 1], a[4 * i + 3]);
    b[4 * i + 3] = _mm256_unpackhi_epi16(a[4 * i + 1], a[4 * i + 3]);
  }
  for (int i = 0; i < 4; ++i) {  // columns 4i..4i+3 of rows 0..7
    const __m256i pair[2] = {_mm256_unpacklo_epi32(b[i], b[i + 4]), _mm256_unpackhi_epi32(b[i], b[i + 4])};
    for (int j = 0; j < 2; ++j) {
      // Low half: columns c, c + 1 of rows 0..7; high half: the same of rows 8..15.
      const __m256i columns = _mm256_permute4x64_epi64(pair[j], 0xD8);
      const int c = 4 * i + 2 * j;
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c * outStep), _mm256_castsi256_si128(columns));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (c + 1) * outStep),
                       _mm256_extracti128_si256(columns, 1));
    }
  }
}

// Byte masks for vpshufb: mask[o][i] picks the byte at offset o (blue 0, green 1, red 2) of each of 16
// pixels of SourceStep bytes out of the 16-byte piece i of those pixels; −1 where it lies in another piece.
template <int SourceStep>
struct PlaneMasks {
  std::int8_t mask[3][SourceStep][16];
};

template <int SourceStep>
constexpr PlaneMasks<SourceStep> MakePlaneMasks() {
  PlaneMasks<SourceStep> m{};
  for (int offset = 0; offset < 3; ++offset) {
    for (int piece = 0; piece < SourceStep; ++piece) {
      for (int p = 0; p < 16; ++p) {
        const int byte = SourceStep * p + offset;
        m.mask[offset][piece][p] = static_cast<std::int8_t>(byte / 16 == piece ? byte % 16 : -1);
      }
    }
  }
  return m;
}

template <int SourceStep>
MOZENTA_AVX2_INLINE __m256i PickPlane(const __m256i (&pieces)[SourceStep],
                                      const std::int8_t (&masks)[SourceStep][16]) {
  __m256i plane = _mm256_setzero_si256();
  for (int piece = 0; piece < SourceStep; ++piece) {
    const __m256i mask =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(masks[piece])));
    plane = _mm256_or_si256(plane, _mm256_shuffle_epi8(pieces[piece], mask));
  }
  return plane;
}

// Splits `width` pixels of one source row into its red, green and blue planes.
template <int SourceStep>
MOZENTA_AVX2 void SplitRow(const std::uint8_t* source, int width, std::uint8_t* red, std::uint8_t* green,
                           std::uint8_t* blue) {
  static constexpr PlaneMasks<SourceStep> kMasks = MakePlaneMasks<SourceStep>();
  int x = 0;
  for (; x + 32 <= width; x += 32) {
    // The low half of every piece holds pixels x..x + 15, the high half pixels x + 16..x + 31.
    const std::uint8_t* p = source + SourceStep * x;
    __m256i pieces[SourceStep];
    for (int i = 0; i < SourceStep; ++i) {
      const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
      const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * SourceStep + 16 * i));
      pieces[i] = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(red + x), PickPlane<SourceStep>(pieces, kMasks.mask[2]));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(green + x), PickPlane<SourceStep>(pieces, kMasks.mask[1]));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(blue + x), PickPlane<SourceStep>(pieces, kMasks.mask[0]));
  }
  for (; x < width; ++x) {
    const std::uint8_t* p = source + SourceStep * x;
    red[x] = p[2];
    green[x] = p[1];
    blue[x] = p[0];
  }
}

// d / 3 truncated toward zero for −255 ≤ d ≤ 255 in every 16-bit lane: d × 21846 / 65536 rounded down is
// d / 3 rounded down (and one less for negative multiples of 3); adding 1 for negative d truncates.
MOZENTA_AVX2_INLINE __m256i DivideByThree(__m256i d) {
  return _mm256_sub_epi16(_mm256_mulhi_epi16(d, _mm256_set1_epi16(21846)), _mm256_srai_epi16(d, 15));
}

// Lane a ← lane a − 1; lane 0 ← lane 15 of `before` (the vector of the rows above).
MOZENTA_AVX2_INLINE __m256i ShiftLanes(__m256i v, __m256i before) {
  return _mm256_alignr_epi8(v, _mm256_permute2x128_si256(v, before, 0x03), 14);
}

// The 16 source bytes of channel `channel` for vector v, widened to 16-bit lanes.
MOZENTA_AVX2_INLINE __m256i LoadLanes(const std::uint8_t* source, int channel, int v) {
  return _mm256_cvtepu8_epi16(
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + channel * kBlock * kBandRows + kLanes * v)));
}

MOZENTA_AVX2_INLINE __m256i LoadAligned(const void* p) {
  return _mm256_load_si256(static_cast<const __m256i*>(p));
}

// 16 × (|P|² − 2 P·v) + index of one candidate P for the 4-bit colours v of 16 lanes.
MOZENTA_AVX2_INLINE __m256i SearchKey(__m256i redGreenPairs, __m256i bluePairs, const Candidate& p) {
  return _mm256_add_epi16(_mm256_add_epi16(_mm256_maddubs_epi16(redGreenPairs, LoadAligned(p.redGreen)),
                                           _mm256_maddubs_epi16(bluePairs, LoadAligned(p.blue))),
                          LoadAligned(p.base));
}

struct Carries {
  __m256i red[kVectors], green[kVectors], blue[kVectors];  // what each lane handed on in the previous step
};

// One step of the band: every lane converts its pixel. In edge steps some lanes have not reached column 0
// yet or have gone past the last column; those hand on 0.
template <bool Edge>
MOZENTA_AVX2_INLINE void BandStep(int t, const std::uint8_t* source, Carries& c, Workspace& w) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i channelMax = _mm256_set1_epi16(255);
  const __m256i topNibbles = _mm256_set1_epi16(static_cast<std::int16_t>(0xF0F0));
  const __m256i lowIndex = _mm256_set1_epi16(0x000F);
  const __m256i clearHighByte = _mm256_set1_epi16(static_cast<std::int16_t>(0x8000));
  const __m256i redTable = _mm256_load_si256(reinterpret_cast<const __m256i*>(w.palette.red));
  const __m256i greenTable = _mm256_load_si256(reinterpret_cast<const __m256i*>(w.palette.green));
  const __m256i blueTable = _mm256_load_si256(reinterpret_cast<const __m256i*>(w.palette.blue));

  // The bottom row of the band above, at this step's column of lane 0.
  const BottomErrors& above = w.bottom[static_cast<std::size_t>(t) + kBandRows - 1];
  __m256i before[3] = {_mm256_set1_epi16(above.red[7]), _mm256_set1_epi16(above.green[7]),
                       _mm256_set1_epi16(above.blue[7])};

  __m256i red[kVectors], green[kVectors], blue[kVectors], best[kVectors];
  __m256i redGreenPairs[kVectors], bluePairs[kVectors];
  for (int v = 0; v < kVectors; ++v) {
    const __m256i fromAboveRed = ShiftLanes(c.red[v], v == 0 ? before[0] : c.red[v - 1]);
    const __m256i fromAboveGreen = ShiftLanes(c.green[v], v == 0 ? before[1] : c.green[v - 1]);
    const __m256i fromAboveBlue = ShiftLanes(c.blue[v], v == 0 ? before[2] : c.blue[v - 1]);
    red[v] = _mm256_add_epi16(_mm256_add_epi16(LoadLanes(source, 0, v), c.red[v]), fromAboveRed);
    green[v] = _mm256_add_epi16(_mm256_add_epi16(LoadLanes(source, 1, v), c.green[v]), fromAboveGreen);
    blue[v] = _mm256_add_epi16(_mm256_add_epi16(LoadLanes(source, 2, v), c.blue[v]), fromAboveBlue);
    red[v] = _mm256_max_epi16(_mm256_min_epi16(red[v], channelMax), zero);
    green[v] = _mm256_max_epi16(_mm256_min_epi16(green[v], channelMax), zero);
    blue[v] = _mm256_max_epi16(_mm256_min_epi16(blue[v], channelMax), zero);
    // Byte pairs 16 × r4, 16 × g4 and 16 × b4, 0: the clamped channels with their low nibbles cleared.
    redGreenPairs[v] = _mm256_and_si256(_mm256_or_si256(red[v], _mm256_slli_epi16(green[v], 8)), topNibbles);
    bluePairs[v] = _mm256_and_si256(blue[v], topNibbles);
  }
  // Entry 0 is always the first candidate.
  const Candidate* candidate = w.candidates.data();
  const Candidate* const end = candidate + w.candidates.size();
  for (int v = 0; v < kVectors; ++v)
    best[v] = SearchKey(redGreenPairs[v], bluePairs[v], *candidate);
  for (++candidate; candidate != end; ++candidate) {
    for (int v = 0; v < kVectors; ++v)
      best[v] = _mm256_min_epi16(best[v], SearchKey(redGreenPairs[v], bluePairs[v], *candidate));
  }

  __m256i index[kVectors];
  for (int v = 0; v < kVectors; ++v) {
    index[v] = _mm256_and_si256(best[v], lowIndex);
    const __m256i lookup = _mm256_or_si256(index[v], clearHighByte);
    __m256i handRed = DivideByThree(_mm256_sub_epi16(red[v], _mm256_shuffle_epi8(redTable, lookup)));
    __m256i handGreen = DivideByThree(_mm256_sub_epi16(green[v], _mm256_shuffle_epi8(greenTable, lookup)));
    __m256i handBlue = DivideByThree(_mm256_sub_epi16(blue[v], _mm256_shuffle_epi8(blueTable, lookup)));
    if constexpr (Edge) {
      const __m256i lane =
          _mm256_add_epi16(_mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                           _mm256_set1_epi16(static_cast<std::int16_t>(kLanes * v)));
      const __m256i started = _mm256_cmpgt_epi16(_mm256_set1_epi16(static_cast<std::int16_t>(t + 1)), lane);
      const __m256i notEnded =
          _mm256_cmpgt_epi16(lane, _mm256_set1_epi16(static_cast<std::int16_t>(t - w.width)));
      const __m256i active = _mm256_and_si256(started, notEnded);
      handRed = _mm256_and_si256(handRed, active);
      handGreen = _mm256_and_si256(handGreen, active);
      handBlue = _mm256_and_si256(handBlue, active);
    }
    c.red[v] = handRed;
    c.green[v] = handGreen;
    c.blue[v] = handBlue;
  }

  BottomErrors& bottom = w.bottom[t];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom.red), _mm256_extracti128_si256(c.red[kVectors - 1], 1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom.green),
                   _mm256_extracti128_si256(c.green[kVectors - 1], 1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom.blue),
                   _mm256_extracti128_si256(c.blue[kVectors - 1], 1));

  static_assert(kVectors == 2, "the index bytes of a step fill one 32-byte store");
  const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(index[0], index[1]), 0xD8);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(w.skewed.data() + static_cast<std::size_t>(t) * kBandRows),
                      bytes);
}

// Runs the diffusion over the band whose rows stand in w.planes.
MOZENTA_AVX2 void DiffuseBand(Workspace& w) {
  Carries c;
  for (int v = 0; v < kVectors; ++v)
    c.red[v] = c.green[v] = c.blue[v] = _mm256_setzero_si256();
  const int steps = w.width + kBandRows - 1;
  const std::ptrdiff_t rowToRow =
      3 * static_cast<std::ptrdiff_t>(w.planeStride) - 1;  // next row, one column left
  for (int t0 = 0; t0 < steps; t0 += kBlock) {
    // Lane a of step t0 + j reads column t0 + j − a of its row.
    for (int channel = 0; channel < 3; ++channel) {
      for (int v = 0; v < kVectors; ++v) {
        const int a = kLanes * v;
        Transpose16(w.Plane(a, channel) + t0 - a, rowToRow,
                    w.blockSource.data() + channel * kBlock * kBandRows + a, kBandRows);
      }
    }
    const int blockEnd = std::min(t0 + kBlock, steps);
    for (int t = t0; t < blockEnd; ++t) {
      const std::uint8_t* source = w.blockSource.data() + (t - t0) * kBandRows;
      if (t >= kBandRows - 1 && t < w.width) {
        BandStep<false>(t, source, c, w);
      } else {
        BandStep<true>(t, source, c, w);
      }
    }
  }
}

// Stores eight mosaic pixels (one 32-bit pixel value per lane) at the mosaic's depth.
template <int MosaicBytes>
MOZENTA_AVX2_INLINE void StorePixels(std::uint8_t* out, __m256i pixels) {
  if constexpr (MosaicBytes == 4) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), pixels);
  } else if constexpr (MosaicBytes == 3) {
    const __m256i dropFourth = _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1,
                                                2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(pixels, dropFourth),
                                                       _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 16), _mm256_extracti128_si256(packed, 1));
  } else {
    const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(pixels, pixels), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(words));
  }
}

// Writes the mosaic rows and grid cells of vector v (band rows 16v..16v + 15, of which `rowCount` are in the
// picture) from the band's skewed indices.
template <int MosaicBytes>
MOZENTA_AVX2 void WriteVectorRows(Workspace& w, int v, int y0, int rowCount, const ConversionJob& job) {
  const int width = w.width;
  // Row k's index of step s lands at rows[k × rowStride + s]; its column x is step x + 16v + k.
  for (int s = 0; s < w.stepsRounded; s += kBlock) {
    Transpose16(w.skewed.data() + static_cast<std::size_t>(s) * kBandRows + kLanes * v, kBandRows,
                w.rows.data() + s, w.rowStride);
  }
  const std::ptrdiff_t rowToRow = w.rowStride + 1;  // next row, one step later
  const std::uint8_t* column0 = w.rows.data() + kLanes * v;

  // The grid: 16 consecutive bytes per column.
  std::uint8_t* grid = job.grid.Cells() + y0 + kLanes * v;
  for (int x = 0; x < width; x += kLanes) {
    if (rowCount == kLanes && x + kLanes <= width) {
      Transpose16(column0 + x, rowToRow, grid + static_cast<std::size_t>(x) * kGridRows, kGridRows);
    } else {
      alignas(16) std::uint8_t block[kLanes][kLanes];
      Transpose16(column0 + x, rowToRow, &block[0][0], kLanes);
      for (int j = 0; j < kLanes && x + j < width; ++j)
        std::memcpy(grid + static_cast<std::size_t>(x + j) * kGridRows, block[j], rowCount);
    }
  }

  if constexpr (MosaicBytes != 0) {  // the mosaic's rows, when there is a mosaic
    const __m256i pixels = _mm256_load_si256(reinterpret_cast<const __m256i*>(w.palette.pixel));
    for (int k = 0; k < rowCount; ++k) {
      const std::uint8_t* indices = column0 + static_cast<std::size_t>(k) * rowToRow;
      std::uint8_t* out = job.mosaic->ScanLineForWrite(y0 + kLanes * v + k);
      int x = 0;
      if (MosaicBytes == 4 && reinterpret_cast<std::uintptr_t>(out) % 32 == 0) {
        for (; x + 8 <= width; x += 8) {
          const __m256i lanes =
              _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(indices + x)));
          _mm256_stream_si256(reinterpret_cast<__m256i*>(out + MosaicBytes * x),
                              _mm256_permutevar8x32_epi32(pixels, lanes));
        }
      }
      for (; x + 8 <= width; x += 8) {
        const __m256i lanes =
            _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(indices + x)));
        StorePixels<MosaicBytes>(out + MosaicBytes * x, _mm256_permutevar8x32_epi32(pixels, lanes));
      }
      for (; x < width; ++x)
        std::memcpy(out + MosaicBytes * x, &job.tables.pixel[indices[x]], MosaicBytes);
    }
  }
}

template <int SourceStep, int MosaicBytes>
MOZENTA_AVX2 void ConvertBands(SourceRows& source, const ConversionJob& job, Workspace& w) {
  for (int y0 = 0; y0 < job.height; y0 += kBandRows) {
    _mm_sfence();  // the rows streamed so far are in place before they are reported done
    job.RowsDone(y0);
    const int rowCount = std::min(kBandRows, job.height - y0);
    for (int a = 0; a < kBandRows; ++a) {
      if (a < rowCount) {
        SplitRow<SourceStep>(source.Row(y0 + a, a), w.width, w.Plane(a, 0), w.Plane(a, 1), w.Plane(a, 2));
      } else {
        for (int channel = 0; channel < 3; ++channel)
          std::memset(w.Plane(a, channel), 0, w.width);
      }
    }
    DiffuseBand(w);
    for (int v = 0; v < kVectors; ++v) {
      const int n = std::clamp(rowCount - kLanes * v, 0, kLanes);
      if (n > 0) WriteVectorRows<MosaicBytes>(w, v, y0, n, job);
    }
  }
  _mm_sfence();  // the streamed mosaic rows are ordered before whatever follows
}

void PrepareTables(Workspace& w, const Palette& palette, const PaletteTables& t) {
  for (int i = 0; i < 32; ++i) {
    w.palette.red[i] = static_cast<std::uint8_t>(t.red[i % 16]);
    w.palette.green[i] = static_cast<std::uint8_t>(t.green[i % 16]);
    w.palette.blue[i] = static_cast<std::uint8_t>(t.blue[i % 16]);
  }
  std::copy_n(t.pixel.begin(), 8, w.palette.pixel);
  for (int i = 0; i < kPaletteSlots; ++i) {
    if (i != 0 && !palette.Enabled(i)) continue;
    const PaletteEntry& e = palette.Entry(i);
    const int r = e.R, g = e.G, b = e.B;
    Candidate candidate;
    std::fill_n(candidate.redGreen, kLanes,
                static_cast<std::int16_t>((-2 * r & 0xFF) | (-2 * g & 0xFF) << 8));
    std::fill_n(candidate.blue, kLanes, static_cast<std::int16_t>(-2 * b & 0xFF));
    std::fill_n(candidate.base, kLanes, static_cast<std::int16_t>(16 * (r * r + g * g + b * b) + i));
    w.candidates.push_back(candidate);
  }
}

}  // namespace

void ConvertAvx2(const ConversionJob& job) {
  // The mosaic pixels come from an eight-entry vector and the search works on 4-bit channels: the tables
  // say whether the palette keeps to both (KernelFor sends any other to the portable kernel).
  Workspace w(job.width);
  PrepareTables(w, job.palette, job.tables);
  SourceRows rows(job.source, job.width, kBandRows, job.sourceReady);
  ForPixelLayout(
      rows.Step(), job.mosaic != nullptr ? job.mosaic->BitsPerPixel() : 0,
      [&]<int kSourceStep, int kMosaicBytes>() { ConvertBands<kSourceStep, kMosaicBytes>(rows, job, w); });
}

}  // namespace mozenta::conversion_internal

#endif  // MOZENTA_AVX2_BUILT
