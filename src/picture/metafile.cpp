#include "metafile.h"

#include <algorithm>
#include <cstdlib>

#include "byte_reader.h"
#include "errors.h"
#include "input_file.h"

namespace mozenta {
namespace {

// Enhanced metafile: the header record starts the file.
constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr std::size_t kEmfSignatureOffset = 40;
constexpr std::size_t kEmfTotalBytesOffset = 48;
constexpr std::size_t kEmfRecordCountOffset = 52;
constexpr std::uint32_t kEmfMinimumHeaderBytes = 88;
constexpr std::uint32_t kEmfMinimumTotalBytes = 100;

// Windows metafile: a placeable header, then the metafile header and its records (sizes in 16-bit words).
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::size_t kPlaceableHeaderBytes = 22;
constexpr std::size_t kWmfHeaderBytes = 18;
constexpr std::uint16_t kMetaEof = 0x0000;

int Span(std::int64_t from, std::int64_t to) {
  return static_cast<int>(std::min<std::int64_t>(std::llabs(to - from), 0x7FFFFFFE));
}

// Structural checks of metafile records, as a platform would make them before accepting the data.
bool IsSoundEnhancedMetafile(const std::vector<std::uint8_t>& bytes) {
  const std::uint64_t total = bytes.size();
  if (total < kEmfMinimumTotalBytes || total % 4 != 0) return false;
  if (LoadU32(bytes.data()) != kEmrHeader || LoadU32(bytes.data() + kEmfSignatureOffset) != kEmfSignature)
    return false;
  if (LoadU32(bytes.data() + 4) < kEmfMinimumHeaderBytes) return false;
  const std::uint32_t recordCount = LoadU32(bytes.data() + kEmfRecordCountOffset);
  // Every record is at least 8 bytes, a multiple of 4, inside the data; the header comes first and the
  // end-of-file record last, and the count matches the header's.
  std::uint64_t position = 0, records = 0;
  std::uint32_t lastType = 0;
  while (position < total) {
    if (total - position < 8) return false;
    const std::uint32_t type = LoadU32(bytes.data() + position);
    const std::uint32_t size = LoadU32(bytes.data() + position + 4);
    if (size < 8 || size % 4 != 0 || size > total - position) return false;
    if ((position == 0) != (type == kEmrHeader)) return false;
    lastType = type;
    position += size;
    ++records;
  }
  return lastType == kEmrEof && records == recordCount;
}

bool IsSoundWindowsMetafile(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < kWmfHeaderBytes) return false;
  const std::uint16_t type = LoadU16(bytes.data());
  const std::uint16_t headerWords = LoadU16(bytes.data() + 2);
  const std::uint16_t version = LoadU16(bytes.data() + 4);
  const std::uint64_t totalBytes = std::uint64_t{LoadU32(bytes.data() + 6)} * 2;
  if ((type != 1 && type != 2) || headerWords * 2 != kWmfHeaderBytes ||
      (version != 0x0100 && version != 0x0300))
    return false;
  if (totalBytes < kWmfHeaderBytes || totalBytes > bytes.size()) return false;
  // Records of at least three words, each inside the stated size, up to the end-of-file record.
  std::uint64_t position = kWmfHeaderBytes;
  while (totalBytes - position >= 6) {
    const std::uint64_t size = std::uint64_t{LoadU32(bytes.data() + position)} * 2;
    const std::uint16_t function = LoadU16(bytes.data() + position + 4);
    if (size < 6 || size > totalBytes - position) return false;
    if (function == kMetaEof) return true;
    position += size;
  }
  return false;
}

}  // namespace

void TMetafile::LoadFromFile(InputFile& file) {
  std::uint8_t head[kEmfTotalBytesOffset + 4] = {};
  const std::size_t got = file.Read(head, sizeof head);
  file.Seek(0);
  const bool enhanced = file.Size() > kEmfMinimumTotalBytes && got == sizeof head &&
                        LoadU32(head) == kEmrHeader && LoadU32(head + kEmfSignatureOffset) == kEmfSignature;
  std::vector<std::uint8_t> bytes;
  int width = 0, height = 0;
  if (enhanced) {
    const std::uint32_t total = LoadU32(head + kEmfTotalBytesOffset);
    if (total < kEmfMinimumTotalBytes) throw EInvalidGraphic(MessageText(MessageId::kInvalidMetafile));
    if (total > file.Size()) throw EReadError(MessageText(MessageId::kReadError));
    bytes = file.ReadToVector(total);
    if (bytes.size() != total) throw EReadError(MessageText(MessageId::kReadError));
    if (!IsSoundEnhancedMetafile(bytes)) throw EInvalidGraphic(MessageText(MessageId::kInvalidMetafile));
    // The bounds rectangle in device units, inclusive.
    width = Span(LoadS32(bytes.data() + 8), LoadS32(bytes.data() + 16)) + 1;
    height = Span(LoadS32(bytes.data() + 12), LoadS32(bytes.data() + 20)) + 1;
  } else {
    // A file too short for the placeable header has none: it is a metafile we cannot show, not a cut file.
    std::uint8_t placeable[kPlaceableHeaderBytes];
    if (file.Read(placeable, sizeof placeable) != sizeof placeable)
      throw EInvalidGraphic(MessageText(MessageId::kInvalidMetafile));
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
      checksum ^= LoadU16(placeable + i);
    if (LoadU32(placeable) != kPlaceableKey || LoadU16(placeable + 20) != checksum)
      throw EInvalidGraphic(MessageText(MessageId::kInvalidMetafile));
    bytes = file.ReadToVector();
    if (!IsSoundWindowsMetafile(bytes)) throw EInvalidGraphic(MessageText(MessageId::kInvalidMetafile));
    // The placeable bounds in logical units at `inch` units per inch, shown at 96 pixels per inch.
    const int inch = LoadU16(placeable + 14);
    if (inch > 0) {
      width =
          static_cast<int>(std::int64_t{Span(LoadS16(placeable + 6), LoadS16(placeable + 10))} * 96 / inch);
      height =
          static_cast<int>(std::int64_t{Span(LoadS16(placeable + 8), LoadS16(placeable + 12))} * 96 / inch);
    }
  }
  bytes_ = std::move(bytes);
  width_ = width;
  height_ = height;
  Changed();
}

}  // namespace mozenta
