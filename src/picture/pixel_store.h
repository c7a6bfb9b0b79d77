// A zero-filled block of pixel memory that bitmaps share by reference count.
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

  ~PixelStore();
  PixelStore(const PixelStore&) = delete;
  PixelStore& operator=(const PixelStore&) = delete;

  std::uint8_t* Data() { return data_; }
  const std::uint8_t* Data() const { return data_; }
  std::size_t Size() const { return size_; }

  static constexpr std::size_t kSlackBytes = 4;

 private:
  PixelStore(std::uint8_t* data, std::size_t size, void* mapping, std::size_t mappingSize);

  std::uint8_t* data_;
  std::size_t size_;
  void* mapping_;  // nullptr when the store came from the heap
  std::size_t mappingSize_;
};

}  // namespace mozenta
