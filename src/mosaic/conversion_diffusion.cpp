// The portable kernel of every conversion other than the classic one: the diffusions of
// diffusion_shapes.h, walked left to right or serpentine, with the classic or the perceptual match. The
// arithmetic is exact integer arithmetic, so every machine and compiler gives the same mosaic.
//
// The three channels of a cell go together in one vector of 16-bit lanes (the compiler's generic vectors:
// SSE2 on x86-64, NEON on ARM, plain code elsewhere); every value fits: sums stay within −1020..1275 and
// e × n within ±1785. A row keeps in registers the errors it hands ahead and the sums it is building for the
// row below, and stores a sum once no later cell of the row adds to it. Rows walked the same way go a few at
// a time, each trailing the one above by the columns its errors need, so that their serial chains (the
// error handed ahead) overlap in the processor. The cells' indices are gathered in rows and written into
// the column-ordered grid a strip of rows at a time.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "conversion_kernel.h"
#include "diffusion_shapes.h"
#include "perceptual_match.h"
#include "perceptual_match_cache.h"
#include "perceptual_warm_up.h"

namespace mozenta::conversion_internal {
namespace {

// Blue, green and red in lanes 0, 1 and 2, in the order of the source's bytes; lane 3 stays 0.
using Channels = std::int16_t __attribute__((vector_size(8)));
static_assert(std::endian::native == std::endian::little, "lanes are read back as one word");

// The entry a colour takes, with its expanded colour: the number goes into the grid, the colour into the
// error.
struct Match {
  int index;
  Channels colour;
};

struct Palette16 {
  Channels colour[kPaletteSlots];  // each entry's expanded colour
};

// The classic match looks up the entry's colour by the same key as its number, so that the error does not
// wait for a second lookup.
struct ClassicNearest {
  const std::uint8_t* index;  // by (r4 << 8) | (g4 << 4) | b4
  const Channels* colour;     // the same, each entry's expanded colour
  [[gnu::always_inline]] Match operator()(Channels v) const {
    // The top four bits of each channel, at bits 0, 16 and 32 of the word, into (r4 << 8) | (g4 << 4) | b4.
    const Channels top = v >> 4;
    std::uint64_t word;
    std::memcpy(&word, &top, sizeof word);
    const std::size_t key = (word | word >> 12 | word >> 24) & 0xFFF;
    return {index[key], colour[key]};
  }
};

struct PerceptualNearest {
  PerceptualMatch* match;
  const Palette16* palette;
  [[gnu::always_inline]] Match operator()(Channels v) const {
    const int i = match->Nearest(v[2], v[1], v[0]);
    return {i, palette->colour[i]};
  }
};

[[gnu::always_inline]] inline Channels Clamp(Channels v) {
  const Channels zero = {}, top = zero + 255;
  v = v < zero ? zero : v;
  return v > top ? top : v;
}

// e × n / d truncated toward zero in every lane, for e × n within ±32767.
template <int N, int D>
[[gnu::always_inline]] inline Channels ShareOf(Channels e, Channels roundUp) {
  const Channels product = e * static_cast<std::int16_t>(N);
  if constexpr ((D & (D - 1)) == 0) {
    // A shift rounds down; negative products (those of negative errors) first get D − 1 added.
    return (product + roundUp) >> std::countr_zero(static_cast<unsigned>(D));
  } else {
    return product / static_cast<std::int16_t>(D);
  }
}

// Rows of indices gathered before they are written out: into the column-ordered grid a strip at a time, and
// into the mosaic's rows in one pass each, away from the serial chains.
class IndexStrip {
  using Bytes16 = std::uint8_t __attribute__((vector_size(16)));

  // Rows 0..15 of a square of bytes become its columns 0..15, by interleaving bytes, pairs, quads and
  // eights of rows in turn (SSE2's unpack instructions on x86-64).
  static void Transpose(Bytes16 (&m)[16]) {
    Bytes16 t[16];
    for (int i = 0; i < 16; i += 2) {
      t[i] = __builtin_shufflevector(m[i], m[i + 1], 0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
      t[i + 1] = __builtin_shufflevector(m[i], m[i + 1], 8, 24, 9, 25, 10, 26, 11, 27, 12, 28, 13, 29, 14, 30,
                                         15, 31);
    }
    for (int j = 0; j < 16; j += 4) {
      for (int h = 0; h < 2; ++h) {
        m[j + 2 * h] = __builtin_shufflevector(t[j + h], t[j + h + 2], 0, 1, 16, 17, 2, 3, 18, 19, 4, 5, 20,
                                               21, 6, 7, 22, 23);
        m[j + 2 * h + 1] = __builtin_shufflevector(t[j + h], t[j + h + 2], 8, 9, 24, 25, 10, 11, 26, 27, 12,
                                                   13, 28, 29, 14, 15, 30, 31);
      }
    }
    for (int k = 0; k < 16; k += 8) {
      for (int q = 0; q < 4; ++q) {
        t[k + 2 * q] = __builtin_shufflevector(m[k + q], m[k + q + 4], 0, 1, 2, 3, 16, 17, 18, 19, 4, 5, 6, 7,
                                               20, 21, 22, 23);
        t[k + 2 * q + 1] = __builtin_shufflevector(m[k + q], m[k + q + 4], 8, 9, 10, 11, 24, 25, 26, 27, 12,
                                                   13, 14, 15, 28, 29, 30, 31);
      }
    }
    for (int p = 0; p < 8; ++p) {
      m[2 * p] =
          __builtin_shufflevector(t[p], t[p + 8], 0, 1, 2, 3, 4, 5, 6, 7, 16, 17, 18, 19, 20, 21, 22, 23);
      m[2 * p + 1] = __builtin_shufflevector(t[p], t[p + 8], 8, 9, 10, 11, 12, 13, 14, 15, 24, 25, 26, 27, 28,
                                             29, 30, 31);
    }
  }

 public:
  static constexpr int kRows = 16;  // whole bands of rows

  IndexStrip(const ConversionJob& job) : job_(job), rows_(kRows * static_cast<std::size_t>(job.width)) {}
  std::uint8_t* Row(int y) { return rows_.data() + static_cast<std::size_t>(y % kRows) * job_.width; }

  // Writes rows first..last − 1, all in one strip, into the grid and the mosaic (MosaicBytes 0: none).
  template <int MosaicBytes>
  void Flush(int first, int last, const std::uint32_t* pixels) {
    const int count = last - first;
    const int width = job_.width;
    if (count == kRows) {
      WriteColumns<kRows>(first);
    } else {
      WriteColumns<1>(first, count);
    }
    if constexpr (MosaicBytes == 0) return;  // a job without a mosaic bitmap
    for (int r = 0; r < count; ++r) {
      const std::uint8_t* indices = Row(first + r);
      std::uint8_t* out = job_.mosaic->ScanLineForWrite(first + r);
      for (int x = 0; x < width; ++x) {
        const std::uint32_t pixel = pixels[indices[x]];
        if constexpr (MosaicBytes == 4) {
          std::memcpy(out + 4 * x, &pixel, 4);
        } else if constexpr (MosaicBytes == 3) {
          std::memcpy(out + 3 * x, &pixel, 3);
        } else {
          const auto word = static_cast<std::uint16_t>(pixel);
          std::memcpy(out + 2 * x, &word, 2);
        }
      }
    }
  }

 private:
  // Rows first..first + count − 1 into the grid's columns, Count rows at a time; a whole strip goes in
  // squares of 16 × 16 turned in registers.
  template <int Count>
  void WriteColumns(int first, int count = Count) {
    const int width = job_.width;
    for (int top = 0; top < count; top += Count) {
      std::uint8_t* cells = job_.grid.Cells() + first + top;
      const std::uint8_t* strip = Row(first + top);
      int x = 0;
      if constexpr (Count == kRows) {
        for (; x + 16 <= width; x += 16) {
          Bytes16 square[16];
          for (int r = 0; r < 16; ++r)
            std::memcpy(&square[r], strip + static_cast<std::size_t>(r) * width + x, 16);
          Transpose(square);
          for (int c = 0; c < 16; ++c)
            std::memcpy(cells + static_cast<std::size_t>(x + c) * kGridRows, &square[c], 16);
        }
      }
      for (; x < width; ++x) {
        std::uint8_t column[Count];
        for (int r = 0; r < Count; ++r)
          column[r] = strip[static_cast<std::size_t>(r) * width + x];
        std::memcpy(cells + static_cast<std::size_t>(x) * kGridRows, column, Count);
      }
    }
  }

  const ConversionJob& job_;
  std::vector<std::uint8_t> rows_;
};

// Each row's error sums, one vector per column, with a spare column on each side for shares that fall
// outside the picture.
class ErrorRows {
 public:
  ErrorRows(int count, int width) : width_(width), values_(static_cast<std::size_t>(count) * (width + 2)) {}
  Channels* Row(int y) {
    const std::size_t count = values_.size() / (width_ + 2);
    return values_.data() + (static_cast<std::size_t>(y) % count) * (width_ + 2) + 1;
  }
  void Clear(int y) { std::fill_n(Row(y) - 1, width_ + 2, Channels{}); }

 private:
  int width_;
  std::vector<Channels> values_;
};

template <typename Shape>
struct RowLane {
  using Traits = ShapeTraits<Shape>;
  const std::uint8_t* source;  // blue, green, red at offsets 0, 1, 2 of every pixel
  std::uint8_t* indices;
  const Channels* in;  // the errors this row takes from the rows above
  Channels* down;      // the sums for the row below
  Channels* down2;     // the shares for the row two below
  Channels ahead[Traits::kAheadWidth > 0 ? Traits::kAheadWidth : 1] = {};
  Channels below[Traits::kBelowWidth] = {};
};

template <Share S, int D, typename Traits, typename Lane>
[[gnu::always_inline]] inline void AddShare(Lane& lane, int x, Channels share) {
  if constexpr (S.dy == 0) lane.ahead[S.dx - 1] += share;
  if constexpr (S.dy == 1) lane.below[S.dx - Traits::kFirstBelow] += share;
  if constexpr (S.dy == 2) lane.down2[x] = share;  // the first share that row gets at this column
}

// Cell u of the walk (column x), walked in direction Dir: +1 left to right, −1 right to left.
template <typename Shape, int Dir, int SourceStep, typename Nearest>
[[gnu::always_inline]] inline void PixelStep(RowLane<Shape>& lane, int u, int width, Nearest nearest) {
  using Traits = ShapeTraits<Shape>;
  const int x = Dir > 0 ? u : width - 1 - u;
  const std::uint8_t* p = lane.source + SourceStep * x;
  Channels v = {p[0], p[1], p[2], 0};
  if constexpr (Traits::kDown) v += lane.in[x];
  if constexpr (Traits::kAheadWidth > 0) v += lane.ahead[0];
  v = Clamp(v);
  const Match match = nearest(v);
  const Channels e = v - match.colour;

  if constexpr (Traits::kAheadWidth > 0) {
    for (int k = 0; k + 1 < Traits::kAheadWidth; ++k)
      lane.ahead[k] = lane.ahead[k + 1];
    lane.ahead[Traits::kAheadWidth - 1] = Channels{};
  }
  constexpr int d = Shape::kDivisor;
  const Channels roundUp = (e >> 15) & static_cast<std::int16_t>(d - 1);
  [&]<std::size_t... k>(std::index_sequence<k...>) {
    (AddShare<Shape::kShares[k], d, Traits>(lane, x, ShareOf<Shape::kShares[k].n, d>(e, roundUp)), ...);
  }
  (std::make_index_sequence<Shape::kShares.size()>());
  if constexpr (Traits::kDown) {
    // Column u + kFirstBelow of the row below gets nothing more from this row.
    Channels& done = lane.down[x + Dir * Traits::kFirstBelow];
    if constexpr (Traits::kTwoDown) {
      done += lane.below[0];
    } else {
      done = lane.below[0];
    }
    for (int k = 0; k + 1 < Traits::kBelowWidth; ++k)
      lane.below[k] = lane.below[k + 1];
    lane.below[Traits::kBelowWidth - 1] = Channels{};
  }

  lane.indices[x] = static_cast<std::uint8_t>(match.index);
}

// The sums still open when the row ends: those of columns inside the picture are complete.
template <typename Shape, int Dir>
[[gnu::always_inline]] inline void FinishRow(RowLane<Shape>& lane, int width) {
  using Traits = ShapeTraits<Shape>;
  if constexpr (Traits::kDown) {
    for (int k = 0; Traits::kFirstBelow + k < 0; ++k) {
      const int u = width + Traits::kFirstBelow + k;
      if (u < 0) continue;
      const int x = Dir > 0 ? u : width - 1 - u;
      if constexpr (Traits::kTwoDown) {
        lane.down[x] += lane.below[k];
      } else {
        lane.down[x] = lane.below[k];
      }
    }
  }
}

// Converts Rows consecutive rows walked the same way; row k trails row k − 1 by the shape's lag. The rows'
// state is copied into a local array indexed only by constants, so that it can live in registers.
template <typename Shape, int Rows, int Dir, int SourceStep, typename Nearest>
void ConvertRows(const RowLane<Shape> (&rows)[Rows], int width, Nearest nearest) {
  constexpr int kLag = ShapeTraits<Shape>::kLag;
  RowLane<Shape> lanes[Rows];
  std::copy_n(rows, Rows, lanes);
  const int steps = width + kLag * (Rows - 1);
  auto guardedStep = [&](int s) {
#pragma GCC unroll 8
    for (int k = 0; k < Rows; ++k) {
      const int u = s - kLag * k;
      if (u >= 0 && u < width) PixelStep<Shape, Dir, SourceStep>(lanes[k], u, width, nearest);
      if (u == width - 1) FinishRow<Shape, Dir>(lanes[k], width);
    }
  };
  int step = 0;
  for (; step < kLag * (Rows - 1) && step < steps; ++step)
    guardedStep(step);
  for (; step < width - 1; ++step) {
#pragma GCC unroll 8
    for (int k = 0; k < Rows; ++k)
      PixelStep<Shape, Dir, SourceStep>(lanes[k], step - kLag * k, width, nearest);
  }
  for (; step < steps; ++step)
    guardedStep(step);
}

// Rows converted together where the walk allows. Four overlap the serial chains best: two leave the
// processor waiting, eight spill the rows' state out of the registers.
constexpr int kBand = 4;

template <typename Shape, int SourceStep, int MosaicBytes, typename Nearest>
void ConvertAllRows(SourceRows& rows, const ConversionJob& job, bool serpentine, Nearest nearest) {
  ErrorRows errors(kBand + 2, job.width);
  IndexStrip strip(job);
  auto makeLane = [&](int y, int slot) {
    RowLane<Shape> lane;
    lane.source = rows.Row(y, slot);
    lane.indices = strip.Row(y);
    lane.in = errors.Row(y);
    lane.down = errors.Row(y + 1);
    lane.down2 = errors.Row(y + 2);
    return lane;
  };
  // Whoever writes a row's sums first overwrites them: the row two above where the shape reaches two rows
  // down, else the row above. Rows 0 and 1 have no such writer, so their sums start at zero.
  errors.Clear(0);
  errors.Clear(1);
  for (int top = 0; top < job.height; top += IndexStrip::kRows) {
    job.RowsDone(top);
    const int end = std::min(top + IndexStrip::kRows, job.height);
    int y = top;
    if (!serpentine) {
      constexpr int kRows = kBand;
      for (; y + kRows <= end; y += kRows) {
        RowLane<Shape> lanes[kRows];
        for (int k = 0; k < kRows; ++k)
          lanes[k] = makeLane(y + k, k);
        ConvertRows<Shape, kRows, 1, SourceStep>(lanes, job.width, nearest);
      }
    }
    for (; y < end; ++y) {
      RowLane<Shape> lane[1] = {makeLane(y, 0)};
      if (serpentine && y % 2 == 1) {
        ConvertRows<Shape, 1, -1, SourceStep>(lane, job.width, nearest);
      } else {
        ConvertRows<Shape, 1, 1, SourceStep>(lane, job.width, nearest);
      }
    }
    strip.Flush<MosaicBytes>(top, end, job.tables.pixel.data());
  }
}

template <typename Shape, typename Nearest>
void ConvertWith(const ConversionJob& job, bool serpentine, Nearest nearest) {
  SourceRows rows(job.source, job.width, kBand, job.sourceReady);
  ForPixelLayout(rows.Step(), job.mosaic != nullptr ? job.mosaic->BitsPerPixel() : 0,
                 [&]<int kSourceStep, int kMosaicBytes>() {
                   ConvertAllRows<Shape, kSourceStep, kMosaicBytes>(rows, job, serpentine, nearest);
                 });
}

template <typename Nearest>
void ConvertShaped(const ConversionJob& job, const ConversionOptions& options, Nearest nearest) {
  switch (options.diffusion) {
    case Diffusion::kClassic:
      return ConvertWith<ClassicShape>(job, options.serpentine, nearest);
    case Diffusion::kFloydSteinberg:
      return ConvertWith<FloydSteinbergShape>(job, options.serpentine, nearest);
    case Diffusion::kAtkinson:
      return ConvertWith<AtkinsonShape>(job, options.serpentine, nearest);
    case Diffusion::kSierraLite:
      return ConvertWith<SierraLiteShape>(job, options.serpentine, nearest);
    case Diffusion::kNone:
      return ConvertWith<NoDiffusionShape>(job, options.serpentine, nearest);
  }
}

}  // namespace

void ConvertDiffusing(const ConversionJob& job, const ConversionOptions& options) {
  Palette16 palette;
  for (int i = 0; i < kPaletteSlots; ++i) {
    palette.colour[i] = Channels{static_cast<std::int16_t>(job.tables.blue[i]),
                                 static_cast<std::int16_t>(job.tables.green[i]),
                                 static_cast<std::int16_t>(job.tables.red[i])};
  }
  if (options.match == ColorMatch::kPerceptual) {
    const std::shared_ptr<PerceptualMatch> match = PerceptualMatchCache::Shared().MatchFor(job.palette);
    const PerceptualWarmUp warmUp(*match, job, options);
    ConvertShaped(job, options, PerceptualNearest{match.get(), &palette});
  } else {
    std::vector<Channels> colourByKey(job.tables.nearest.size());
    for (std::size_t key = 0; key < colourByKey.size(); ++key)
      colourByKey[key] = palette.colour[job.tables.nearest[key]];
    ConvertShaped(job, options, ClassicNearest{job.tables.nearest.data(), colourByKey.data()});
  }
}

}  // namespace mozenta::conversion_internal
