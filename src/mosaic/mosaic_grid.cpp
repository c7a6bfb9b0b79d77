#include "mosaic_grid.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>
#include <stdexcept>

namespace mozenta {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

MosaicGrid::MosaicGrid() {
  // Zeroed pages straight from the system, aligned to huge pages so that the first conversion's touch of
  // the 40 MB is cheap: a row of the mosaic writes one byte in every column, 20001 bytes apart.
  const std::size_t bytes = (kCells + kHugePage - 1) / kHugePage * kHugePage;
  mappedBytes_ = bytes + kHugePage;
  mapping_ = ::mmap(nullptr, mappedBytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping_ == MAP_FAILED) throw std::bad_alloc();
  const auto address = reinterpret_cast<std::uintptr_t>(mapping_);
  cells_ = static_cast<std::uint8_t*>(mapping_) + (kHugePage - address % kHugePage) % kHugePage;
  ::madvise(cells_, bytes, MADV_HUGEPAGE);
}

MosaicGrid::~MosaicGrid() {
  ::munmap(mapping_, mappedBytes_);
}

void MosaicGrid::SetLimits(std::int32_t maxX, std::int32_t maxY) {
  if (maxX < -1 || maxX >= kGridColumns || maxY < -1 || maxY >= kGridRows) {
    throw std::out_of_range("mosaic limits outside the grid");
  }
  maxX_ = maxX;
  maxY_ = maxY;
}

}  // namespace mozenta
