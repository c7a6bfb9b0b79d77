#include "pixel_store.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <utility>

#include "errors.h"

namespace mozenta {
namespace {

// Below this a store comes from the heap; above it from a mapping of its own, whose pages go back to the
// system as soon as the store is freed. No huge-page advice: measured on cold memory, it made the first
// touch of a large picture several times dearer.
constexpr std::size_t kMappingThreshold = std::size_t{256} << 10;

std::size_t PageSize() {
  static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

std::size_t RoundUp(std::size_t value, std::size_t unit) {
  return (value + unit - 1) / unit * unit;
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
  return RoundUp(bytes, PageSize());
}

}  // namespace

std::shared_ptr<PixelStore> PixelStore::Create(std::size_t size) {
  if (size > kMaxPixelStoreBytes) throw EOutOfResources(MessageText(MessageId::kOutOfResources));
  const std::size_t bytes = size + kSlackBytes;
  if (bytes >= kMappingThreshold) {
    const std::size_t mappingSize = MappingSize(bytes);
    if (void* reused = Spare().Take(mappingSize)) {
      return std::shared_ptr<PixelStore>(
          new PixelStore(static_cast<std::uint8_t*>(reused), size, reused, mappingSize, false));
    }
    void* mapping = ::mmap(nullptr, mappingSize, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (mapping == MAP_FAILED) throw EOutOfResources(MessageText(MessageId::kOutOfResources));
    return std::shared_ptr<PixelStore>(
        new PixelStore(static_cast<std::uint8_t*>(mapping), size, mapping, mappingSize, false));
  }
  auto* data = static_cast<std::uint8_t*>(std::calloc(bytes, 1));
  if (data == nullptr) throw EOutOfResources(MessageText(MessageId::kOutOfResources));
  return std::shared_ptr<PixelStore>(new PixelStore(data, size, nullptr, 0, false));
}

std::shared_ptr<PixelStore> PixelStore::ViewFile(int fd, std::uint64_t offset, std::size_t size) {
  struct stat status {};
  if (size > kMaxPixelStoreBytes || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
      offset + size > static_cast<std::uint64_t>(status.st_size)) {
    return nullptr;
  }
  const std::size_t page = PageSize();
  const std::uint64_t start = offset / page * page;
  const std::size_t lead = static_cast<std::size_t>(offset - start);
  const std::size_t mappingSize = RoundUp(lead + size + kSlackBytes, page);
  // Pages of zeros first, then the file over them as far as it goes: the slack past the file's last page
  // stays readable.
  void* mapping = ::mmap(nullptr, mappingSize, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (mapping == MAP_FAILED) return nullptr;
  const std::size_t fileBytes =
      std::min(mappingSize, RoundUp(static_cast<std::size_t>(status.st_size - start), page));
  if (::mmap(mapping, fileBytes, PROT_READ, MAP_PRIVATE | MAP_FIXED, fd, static_cast<off_t>(start)) ==
      MAP_FAILED) {
    ::munmap(mapping, mappingSize);
    return nullptr;
  }
  return std::shared_ptr<PixelStore>(
      new PixelStore(static_cast<std::uint8_t*>(mapping) + lead, size, mapping, mappingSize, true));
}

PixelStore::PixelStore(std::uint8_t* data, std::size_t size, void* mapping, std::size_t mappingSize,
                       bool readOnly)
    : data_(data), size_(size), mapping_(mapping), mappingSize_(mappingSize), readOnly_(readOnly) {}

PixelStore::~PixelStore() {
  if (mapping_ != nullptr) {
    // A file's view goes back at once; memory of our own is kept for the next store of its size.
    if (readOnly_) {
      ::munmap(mapping_, mappingSize_);
    } else {
      Spare().Keep(mapping_, mappingSize_);
    }
  } else {
    std::free(data_);
  }
}

}  // namespace mozenta
