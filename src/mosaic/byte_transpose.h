// Transposing small squares of bytes: how the grid's columns become rows without vector code.
#pragma once

#include <cstdint>

namespace mozenta {

// Transposes an 8 × 8 matrix of bytes held in eight words, word i holding row i in its bytes 0..7: in
// three rounds, the 1 × 1, 2 × 2 and 4 × 4 blocks off the diagonal of each 2 × 2, 4 × 4 and 8 × 8 block
// change places.
inline void Transpose8x8(std::uint64_t x[8]) {
  for (int i = 0; i < 8; i += 2) {
    const std::uint64_t t = ((x[i] >> 8) ^ x[i + 1]) & 0x00FF00FF00FF00FF;
    x[i + 1] ^= t;
    x[i] ^= t << 8;
  }
  for (const int i : {0, 1, 4, 5}) {
    const std::uint64_t t = ((x[i] >> 16) ^ x[i + 2]) & 0x0000FFFF0000FFFF;
    x[i + 2] ^= t;
    x[i] ^= t << 16;
  }
  for (int i = 0; i < 4; ++i) {
    const std::uint64_t t = ((x[i] >> 32) ^ x[i + 4]) & 0x00000000FFFFFFFF;
    x[i + 4] ^= t;
    x[i] ^= t << 32;
  }
}

}  // namespace mozenta
