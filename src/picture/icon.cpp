#include "icon.h"

#include "byte_reader.h"
#include "errors.h"
#include "input_file.h"

namespace mozenta {
namespace {

constexpr std::size_t kDirectoryHeaderBytes = 6;
constexpr std::size_t kDirectoryEntryBytes = 16;

}  // namespace

void TIcon::LoadFromFile(InputFile& file) {
  std::vector<std::uint8_t> bytes = file.ReadToVector();
  if (bytes.size() < kDirectoryHeaderBytes) throw EReadError(MessageText(MessageId::kReadError));
  const std::uint16_t type = LoadU16(bytes.data() + 2);
  const std::uint16_t count = LoadU16(bytes.data() + 4);
  if (type > 1) throw EInvalidGraphic(MessageText(MessageId::kInvalidIcon));
  // Every directory entry, and the image it points to, lies inside the file.
  const std::uint64_t directoryEnd = kDirectoryHeaderBytes + std::uint64_t{count} * kDirectoryEntryBytes;
  if (directoryEnd > bytes.size()) throw EInvalidGraphic(MessageText(MessageId::kInvalidIcon));
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = bytes.data() + kDirectoryHeaderBytes + i * kDirectoryEntryBytes;
    const std::uint64_t imageBytes = LoadU32(entry + 8);
    const std::uint64_t imageOffset = LoadU32(entry + 12);
    if (imageBytes == 0 || imageOffset < directoryEnd || imageOffset + imageBytes > bytes.size())
      throw EInvalidGraphic(MessageText(MessageId::kInvalidIcon));
  }
  // The size is that of the first image; a width or height byte of 0 stands for 256.
  int width = 0, height = 0;
  if (count > 0) {
    const std::uint8_t* first = bytes.data() + kDirectoryHeaderBytes;
    width = first[0] == 0 ? 256 : first[0];
    height = first[1] == 0 ? 256 : first[1];
  }
  bytes_ = std::move(bytes);
  width_ = width;
  height_ = height;
  Changed();
}

}  // namespace mozenta
