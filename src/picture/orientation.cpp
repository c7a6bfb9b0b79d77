#include "orientation.h"

#include <algorithm>
#include <cstring>

namespace mozenta {
namespace {

// Where the stored pixel of upright pixel (x, y) lies: stored = origin + x * stepX + y * stepY, in pixels of
// the stored picture counted from its top-left corner.
struct Mapping {
  int originX, originY;
  int xOfX, yOfX;  // stored column and row steps for one step right in the upright picture
  int xOfY, yOfY;  // ... and for one step down
};

Mapping MappingOf(int orientation, int width, int height) {
  const int right = width - 1, bottom = height - 1;
  switch (orientation) {
    case 2:  // mirrored left to right
      return {right, 0, -1, 0, 0, 1};
    case 3:  // turned half a turn
      return {right, bottom, -1, 0, 0, -1};
    case 4:  // mirrored top to bottom
      return {0, bottom, 1, 0, 0, -1};
    case 5:  // mirrored along the main diagonal
      return {0, 0, 0, 1, 1, 0};
    case 6:  // to be turned a quarter clockwise
      return {0, bottom, 0, -1, 1, 0};
    case 7:  // mirrored along the other diagonal
      return {right, bottom, 0, -1, -1, 0};
    default:  // 8: to be turned a quarter counter-clockwise
      return {right, 0, 0, 1, -1, 0};
  }
}

// Copies with `kBytes` bytes per pixel. Quarter turns walk the stored picture down its columns, so they go
// tile by tile to keep the rows they touch in the cache.
template <int kBytes>
void CopyMapped(const TBitmap& stored, const Mapping& m, TBitmap& upright) {
  constexpr int kTile = 64;
  const int width = upright.Width(), height = upright.Height();
  for (int top = 0; top < height; top += kTile) {
    const int tileBottom = std::min(height, top + kTile);
    for (int left = 0; left < width; left += kTile) {
      const int tileRight = std::min(width, left + kTile);
      for (int y = top; y < tileBottom; ++y) {
        std::uint8_t* out = upright.ScanLineForWrite(y) + static_cast<std::size_t>(left) * kBytes;
        int sx = m.originX + left * m.xOfX + y * m.xOfY;
        int sy = m.originY + left * m.yOfX + y * m.yOfY;
        for (int x = left; x < tileRight; ++x, out += kBytes, sx += m.xOfX, sy += m.yOfX)
          std::memcpy(out, stored.ScanLine(sy) + static_cast<std::size_t>(sx) * kBytes, kBytes);
      }
    }
  }
}

}  // namespace

void MakeUpright(const TBitmap& stored, int orientation, TBitmap& upright) {
  const int bytesPerPixel = stored.BitsPerPixel() / 8;
  if (orientation < 2 || orientation > 8 || stored.BitsPerPixel() % 8 != 0 || bytesPerPixel < 1 ||
      bytesPerPixel > 4 || stored.Empty()) {
    upright.Assign(stored);
    return;
  }
  DibFormat format = stored.Format();
  if (OrientationSwapsSides(orientation)) {
    format.width = stored.Height();
    format.height = stored.TopDown() ? -stored.Width() : stored.Width();
    format.header.clear();  // it gives the stored size
  }
  upright.CreateDib(std::move(format));
  const Mapping mapping = MappingOf(orientation, stored.Width(), stored.Height());
  switch (bytesPerPixel) {
    case 1:
      CopyMapped<1>(stored, mapping, upright);
      break;
    case 2:
      CopyMapped<2>(stored, mapping, upright);
      break;
    case 3:
      CopyMapped<3>(stored, mapping, upright);
      break;
    default:
      CopyMapped<4>(stored, mapping, upright);
      break;
  }
  upright.PixelsChanged();
}

}  // namespace mozenta
