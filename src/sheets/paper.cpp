#include "paper.h"

namespace mozenta {

PaperSize PaperOf(PageSize page) {
  switch (page) {
    case PageSize::kA3:
      return {297 * kPointsPerMillimetre, 420 * kPointsPerMillimetre};
    case PageSize::kLetter:
      return {612, 792};
    case PageSize::kA4:
      break;
  }
  return {210 * kPointsPerMillimetre, 297 * kPointsPerMillimetre};
}

}  // namespace mozenta
