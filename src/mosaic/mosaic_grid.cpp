#include "mosaic_grid.h"

#include <sys/mman.h>

#include <new>
#include <stdexcept>

namespace mozenta {

MosaicGrid::MosaicGrid() {
  // Zeroed pages straight from the system, mapped as cells are first written. No huge-page advice:
  // measured on cold memory, it made the first conversion's touch of the 40 MB several times dearer.
  void* mapping = ::mmap(nullptr, kCells, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping == MAP_FAILED) throw std::bad_alloc();
  cells_ = static_cast<std::uint8_t*>(mapping);
}

MosaicGrid::~MosaicGrid() {
  ::munmap(cells_, kCells);
}

void MosaicGrid::SetLimits(std::int32_t maxX, std::int32_t maxY) {
  if (maxX < -1 || maxX >= kGridColumns || maxY < -1 || maxY >= kGridRows) {
    throw std::out_of_range("mosaic limits outside the grid");
  }
  maxX_ = maxX;
  maxY_ = maxY;
}

}  // namespace mozenta
