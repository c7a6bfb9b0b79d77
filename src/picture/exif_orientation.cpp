#include "exif_orientation.h"

#include <cstddef>

#include "byte_reader.h"

namespace mozenta {
namespace {

constexpr std::uint8_t kMarkerPrefix = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::size_t kIfdEntryBytes = 12;

// The TIFF structure inside an Exif segment, in its own byte order.
class TiffView {
 public:
  TiffView(std::span<const std::uint8_t> bytes, bool bigEndian) : bytes_(bytes), bigEndian_(bigEndian) {}

  bool Has(std::size_t offset, std::size_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  std::uint16_t U16(std::size_t offset) const {
    const std::uint8_t* p = bytes_.data() + offset;
    return bigEndian_ ? LoadU16BE(p) : LoadU16(p);
  }
  std::uint32_t U32(std::size_t offset) const {
    const std::uint8_t* p = bytes_.data() + offset;
    return bigEndian_ ? LoadU32BE(p) : LoadU32(p);
  }

 private:
  std::span<const std::uint8_t> bytes_;
  bool bigEndian_;
};

// The orientation in the body of an APP1 segment, or 0 when it is not an Exif segment holding one.
int OrientationInExif(std::span<const std::uint8_t> segment) {
  static constexpr std::uint8_t kExifId[6] = {'E', 'x', 'i', 'f', 0, 0};
  if (segment.size() < sizeof kExifId) return 0;
  for (std::size_t i = 0; i < sizeof kExifId; ++i)
    if (segment[i] != kExifId[i]) return 0;
  const std::span<const std::uint8_t> tiff = segment.subspan(sizeof kExifId);
  if (tiff.size() < 8) return 0;
  bool bigEndian;
  if (tiff[0] == 'I' && tiff[1] == 'I') {
    bigEndian = false;
  } else if (tiff[0] == 'M' && tiff[1] == 'M') {
    bigEndian = true;
  } else {
    return 0;
  }
  const TiffView view(tiff, bigEndian);
  if (view.U16(2) != 42) return 0;
  const std::size_t directory = view.U32(4);
  if (!view.Has(directory, 2)) return 0;
  const std::size_t entries = view.U16(directory);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = directory + 2 + i * kIfdEntryBytes;
    if (!view.Has(entry, kIfdEntryBytes)) return 0;
    if (view.U16(entry) != kOrientationTag) continue;
    if (view.U16(entry + 2) != kTypeShort || view.U32(entry + 4) != 1) return 0;
    return view.U16(entry + 8);  // a single short sits at the start of the value field
  }
  return 0;
}

}  // namespace

int JpegExifOrientation(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] != kMarkerPrefix || bytes[1] != kStartOfImage) return 1;
  std::size_t position = 2;
  while (position + 4 <= bytes.size()) {
    if (bytes[position] != kMarkerPrefix) return 1;
    const std::uint8_t marker = bytes[position + 1];
    if (marker == kMarkerPrefix) {  // fill bytes before a marker
      ++position;
      continue;
    }
    if (marker == kStartOfScan || marker == kEndOfImage) return 1;
    const std::size_t length = LoadU16BE(bytes.data() + position + 2);
    if (length < 2 || length > bytes.size() - position - 2) return 1;
    if (marker == kApp1) {
      const int orientation = OrientationInExif(bytes.subspan(position + 4, length - 2));
      if (orientation != 0) return orientation >= 1 && orientation <= 8 ? orientation : 1;
    }
    position += 2 + length;
  }
  return 1;
}

}  // namespace mozenta
