#include "picture/bitmap.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "picture/errors.h"
#include "picture/pixel_store.h"

namespace mozenta {
namespace {

std::unique_ptr<TBitmap> Make(int width, int height, int bpp, std::vector<RgbQuad> table = {}) {
  DibFormat format;
  format.width = width;
  format.height = height;
  format.bitsPerPixel = static_cast<std::uint16_t>(bpp);
  format.colorTable = std::move(table);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->CreateDib(format);
  return bitmap;
}

TEST(DibStride, PadsRowsToWholeWords) {
  EXPECT_EQ(DibStride(5, 24), 16u);
  EXPECT_EQ(DibStride(5, 32), 20u);
  EXPECT_EQ(DibStride(5, 16), 12u);
  EXPECT_EQ(DibStride(1, 1), 4u);
  EXPECT_EQ(DibStride(33, 1), 8u);
  EXPECT_EQ(DibStride(0, 24), 0u);
  EXPECT_EQ(DibStride(INT64_MAX / 2, 32), 0u);  // overflow
}

TEST(TBitmap, RowsFollowTheSignOfTheHeight) {
  auto bottomUpHolder = Make(2, 3, 24);
  TBitmap& bottomUp = *bottomUpHolder;
  auto topDownHolder = Make(2, -3, 24);
  TBitmap& topDown = *topDownHolder;
  EXPECT_EQ(bottomUp.Height(), 3);
  EXPECT_EQ(topDown.Height(), 3);
  bottomUp.SetPixel(1, 0, 0x00112233);
  topDown.SetPixel(1, 0, 0x00112233);
  // Row 0 is the top row: stored last bottom-up, first top-down.
  EXPECT_EQ(bottomUp.StoredBytes()[2 * 8 + 3], 0x11);
  EXPECT_EQ(topDown.StoredBytes()[3], 0x11);
  EXPECT_EQ(bottomUp.GetPixel(1, 0), 0x00112233u);
  EXPECT_EQ(topDown.GetPixel(1, 0), 0x00112233u);
}

TEST(TBitmap, AssignedBitmapsChangeIndependently) {
  auto aHolder = Make(4, 4, 32);
  TBitmap& a = *aHolder;
  a.SetPixel(0, 0, 0x000000FF);
  TBitmap b;
  b.Assign(a);
  EXPECT_EQ(b.GetPixel(0, 0), 0x000000FFu);
  b.SetPixel(0, 0, 0x0000FF00);
  EXPECT_EQ(a.GetPixel(0, 0), 0x000000FFu);
  EXPECT_EQ(b.GetPixel(0, 0), 0x0000FF00u);
  TBitmap c;
  c.Assign(a);
  a.StoredBytesForWrite()[0] = 0x11;
  EXPECT_EQ(c.GetPixel(0, 3), 0x00000000u)
      << "the first stored byte is the blue of the bottom row's first pixel";
  EXPECT_EQ(a.GetPixel(0, 3), 0x00110000u);
}

TEST(TBitmap, ChangesAreReported) {
  TBitmap a;
  int changes = 0;
  a.SetOnChange([&] { ++changes; });
  a.SetSize(3, 2);
  a.SetSize(3, 2);  // same size, reused store
  auto bHolder = Make(1, 1, 24);
  TBitmap& b = *bHolder;
  a.Assign(b);
  EXPECT_EQ(changes, 3);
}

TEST(TBitmap, SetSizeOfTheSameSizeKeepsThePixelsAndNeverWritesThroughToACopy) {
  TBitmap a;
  a.SetSize(8, 8);
  a.SetPixel(2, 3, 0x00ABCDEF);
  a.SetSize(8, 8);
  EXPECT_EQ(a.GetPixel(2, 3), 0x00ABCDEFu);
  TBitmap b;
  b.Assign(a);
  a.SetSize(8, 8);
  a.SetPixel(2, 3, 0x00123456);
  EXPECT_EQ(b.GetPixel(2, 3), 0x00ABCDEFu);
}

TEST(TBitmap, IndexedPixelsReadTheirTableEntry) {
  const std::vector<RgbQuad> table = {{0, 0, 0, 0}, {10, 20, 30, 0}, {1, 2, 3, 0}};
  auto oneHolder = Make(9, 1, 1, table);
  TBitmap& one = *oneHolder;
  one.StoredBytesForWrite()[0] = 0b01000000;
  one.StoredBytesForWrite()[1] = 0b10000000;
  EXPECT_EQ(one.GetPixel(0, 0), 0u);
  EXPECT_EQ(one.GetPixel(1, 0), 0x000A141Eu);
  EXPECT_EQ(one.GetPixel(8, 0), 0x000A141Eu);
  auto fourHolder = Make(3, 1, 4, table);
  TBitmap& four = *fourHolder;
  four.StoredBytesForWrite()[0] = 0x21;
  four.StoredBytesForWrite()[1] = 0xF0;
  EXPECT_EQ(four.GetPixel(0, 0), 0x00010203u);
  EXPECT_EQ(four.GetPixel(1, 0), 0x000A141Eu);
  EXPECT_EQ(four.GetPixel(2, 0), 0u);  // index 15 lies beyond the table
}

TEST(TBitmap, ThirtyTwoBitPixelsIgnoreTheFourthByte) {
  auto bitmapHolder = Make(1, 1, 32);
  TBitmap& bitmap = *bitmapHolder;
  auto bytes = bitmap.StoredBytesForWrite();
  bytes[0] = 1;
  bytes[1] = 2;
  bytes[2] = 3;
  bytes[3] = 0xFF;
  EXPECT_EQ(bitmap.GetPixel(0, 0), 0x00010203u);
}

TEST(TBitmap, RefusesPixelStoresOverTheCap) {
  TBitmap bitmap;
  DibFormat format;
  format.width = 40000;
  format.height = 40000;
  format.bitsPerPixel = 32;
  EXPECT_THROW(bitmap.CreateDib(format), EOutOfResources);
  format.width = 0x7FFFFFFF;
  format.height = -0x7FFFFFFF;
  EXPECT_THROW(bitmap.CreateDib(format), EOutOfResources);
  EXPECT_EQ(bitmap.Width(), 0);
}

// Whether every page of the `size` bytes at `data` is in memory.
bool Resident(const std::uint8_t* data, std::size_t size) {
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data) / page * page;
  const std::size_t pages = (reinterpret_cast<std::uintptr_t>(data) + size - start + page - 1) / page;
  std::vector<unsigned char> flags(pages);
  if (mincore(reinterpret_cast<void*>(start), pages * page, flags.data()) != 0) return false;
  return std::all_of(flags.begin(), flags.end(), [](unsigned char f) { return (f & 1) != 0; });
}

// A program that reads one large picture after another reuses the memory of the picture it let go: it is
// in memory already, where fresh pages would cost a fault each at the first touch, and zero-filled.
TEST(PixelStore, MemoryOfALargeStoreServesTheNextOfTheSameSize) {
  constexpr std::size_t kSize = std::size_t{3} << 20;
  {
    auto store = PixelStore::Create(kSize);
    EXPECT_FALSE(Resident(store->Data(), kSize)) << "fresh memory";
    std::memset(store->Data(), 0xAB, kSize + PixelStore::kSlackBytes);
  }
  auto reused = PixelStore::Create(kSize);
  EXPECT_TRUE(Resident(reused->Data(), kSize));
  EXPECT_TRUE(std::all_of(reused->Data(), reused->Data() + kSize + PixelStore::kSlackBytes,
                          [](std::uint8_t byte) { return byte == 0; }));
  auto another = PixelStore::Create(kSize);
  EXPECT_FALSE(Resident(another->Data(), kSize)) << "the kept memory serves one store at a time";
  reused.reset();
  EXPECT_FALSE(Resident(PixelStore::Create(kSize * 2)->Data(), kSize * 2)) << "nor a store of another size";
}

TEST(WithFinalStop, AppendsAStopAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(WithFinalStop("ゼロによる除算"), "ゼロによる除算.");
  EXPECT_EQ(WithFinalStop("JPEG エラー #42"), "JPEG エラー #42.");
  EXPECT_EQ(WithFinalStop("I/O エラー (32)"), "I/O エラー (32)");
  EXPECT_EQ(WithFinalStop("done."), "done.");
  EXPECT_EQ(WithFinalStop(""), "");
}

}  // namespace
}  // namespace mozenta
