#include "pixel_store.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#include "errors.h"

namespace mozenta {
namespace {

constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;
// Below this a store comes from the heap; above it from its own mapping that the kernel can back with huge
// pages, which makes the first touch of a large picture about twenty times cheaper.
constexpr std::size_t kMappingThreshold = std::size_t{256} << 10;

std::uint8_t* MapHugePageAligned(std::size_t bytes, void** mapping, std::size_t* mappingSize) {
  const std::size_t rounded = (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
  const std::size_t total = rounded + kHugePageBytes;
  void* raw =
      mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (raw == MAP_FAILED) return nullptr;
  auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + total;
  if (end > aligned + rounded) munmap(reinterpret_cast<void*>(aligned + rounded), end - (aligned + rounded));
  madvise(reinterpret_cast<void*>(aligned), rounded, MADV_HUGEPAGE);
  *mapping = reinterpret_cast<void*>(aligned);
  *mappingSize = rounded;
  return reinterpret_cast<std::uint8_t*>(aligned);
}

// The mapping of the last large store freed, kept for the next store of the same size: a program that
// loads one picture after another (the new one is read while the old one is still shown) then finds its
// memory ready instead of paying for fresh pages, which after an idle moment costs about 0.3 s per 100 MB.
class SpareMapping {
 public:
  // The spare mapping if it has `size` bytes, zero-filled; nullptr otherwise.
  void* Take(std::size_t size) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (mapping_ == nullptr || size_ != size) return nullptr;
    void* mapping = std::exchange(mapping_, nullptr);
    std::memset(mapping, 0, size);
    return mapping;
  }

  // Keeps `mapping` in place of the one kept before.
  void Keep(void* mapping, std::size_t size) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (mapping_ != nullptr) munmap(mapping_, size_);
    mapping_ = mapping;
    size_ = size;
  }

 private:
  std::mutex mutex_;
  void* mapping_ = nullptr;
  std::size_t size_ = 0;
};

// Never destroyed: stores held by objects of static duration go after it at exit.
SpareMapping& Spare() {
  static auto* spare = new SpareMapping;
  return *spare;
}

std::size_t MappingSize(std::size_t bytes) {
  return (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

}  // namespace

std::shared_ptr<PixelStore> PixelStore::Create(std::size_t size) {
  if (size > kMaxPixelStoreBytes) throw EOutOfResources(MessageText(MessageId::kOutOfResources));
  const std::size_t bytes = size + kSlackBytes;
  if (bytes >= kMappingThreshold) {
    if (void* reused = Spare().Take(MappingSize(bytes))) {
      return std::shared_ptr<PixelStore>(
          new PixelStore(static_cast<std::uint8_t*>(reused), size, reused, MappingSize(bytes)));
    }
    void* mapping = nullptr;
    std::size_t mappingSize = 0;
    std::uint8_t* data = MapHugePageAligned(bytes, &mapping, &mappingSize);
    if (data == nullptr) throw EOutOfResources(MessageText(MessageId::kOutOfResources));
    return std::shared_ptr<PixelStore>(new PixelStore(data, size, mapping, mappingSize));
  }
  auto* data = static_cast<std::uint8_t*>(std::calloc(bytes, 1));
  if (data == nullptr) throw EOutOfResources(MessageText(MessageId::kOutOfResources));
  return std::shared_ptr<PixelStore>(new PixelStore(data, size, nullptr, 0));
}

PixelStore::PixelStore(std::uint8_t* data, std::size_t size, void* mapping, std::size_t mappingSize)
    : data_(data), size_(size), mapping_(mapping), mappingSize_(mappingSize) {}

PixelStore::~PixelStore() {
  if (mapping_ != nullptr) {
    Spare().Keep(mapping_, mappingSize_);
  } else {
    std::free(data_);
  }
}

}  // namespace mozenta
