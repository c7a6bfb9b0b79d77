// JPEG bytes from the fuzzer through header reading and the full decode, at both output depths.
#include <cstddef>
#include <cstdint>
#include <span>

#include "picture/errors.h"
#include "picture/jpeg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    const mozenta::JpegHeaderInfo header = mozenta::ReadJpegHeader(bytes);
    // Large pictures are legitimate and refused or decoded correctly, only slowly; keep each run short.
    if (static_cast<std::int64_t>(header.width) * header.height > (std::int64_t{1} << 22)) return 0;
    mozenta::TBitmap bitmap;
    mozenta::DecodeJpegInto(bytes, size % 2 == 0 ? 32 : 8, bitmap);
  } catch (const mozenta::Exception&) {
    // Refusals are the expected outcome for most inputs.
  }
  return 0;
}
