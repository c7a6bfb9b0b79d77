// A block of pixel memory that bitmaps share by reference count: zero-filled memory of its own, or a
// read-only view of a file's pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace mozenta {

// No pixel store may grow past this; larger pictures are refused before anything is allocated.
inline constexpr std::size_t kMaxPixelStoreBytes = std::size_t{1} << 30;

class PixelStore {
 public:
  // A zero-filled store of `size` bytes plus a few bytes of slack after the end, so that a 24-bit pixel
  // can be read with one 32-bit load. Throws EOutOfResources when `size` exceeds kMaxPixelStoreBytes or the
  // memory cannot be had.
  static std::shared_ptr<PixelStore> Create(std::size_t size);

  // `size` bytes of the open file `fd` from `offset` on, which the file must hold, mapped read-only: the
  // system's cached pages of the file, nothing copied. The slack after the end reads as zeros. nullptr when
  // the file cannot be mapped or `size` exceeds kMaxPixelStoreBytes.
  static std::shared_ptr<PixelStore> ViewFile(int fd, std::uint64_t offset, std::size_t size);

  ~PixelStore();
  PixelStore(const PixelStore&) = delete;
  PixelStore& operator=(const PixelStore&) = delete;

  // Writable only when not ReadOnly().
  std::uint8_t* Data() { return data_; }
  const std::uint8_t* Data() const { return data_; }
  std::size_t Size() const { return size_; }
  // A view of a file: a bitmap copies it before its first change.
  bool ReadOnly() const { return readOnly_; }

  static constexpr std::size_t kSlackBytes = 4;

 private:
  PixelStore(std::uint8_t* data, std::size_t size, void* mapping, std::size_t mappingSize, bool readOnly);

  std::uint8_t* data_;
  std::size_t size_;
  void* mapping_;  // nullptr when the store came from the heap
  std::size_t mappingSize_;
  bool readOnly_;
};

}  // namespace mozenta
