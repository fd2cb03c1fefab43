#include "platform/gfx/Bitmap.h"

#include "platform/gfx/Raster.h"

#include <climits>
#include <gtest/gtest.h>
#include <vector>

using platform::Bitmap;

namespace {

// Colours are 0x00BBGGRR, pixels 0xAARRGGBB: red and blue change places, the
// colour's highest byte is dropped and the alpha is the argument.
TEST(Raster, PixelOfAndColorOf) {
  using platform::raster::ColorOf;
  using platform::raster::PixelOf;
  EXPECT_EQ(PixelOf(0x00112233), 0xFF332211u);
  EXPECT_EQ(PixelOf(0xAA0000FF), 0xFFFF0000u);
  EXPECT_EQ(PixelOf(0x00FF00FF, 0), 0x00FF00FFu);
  EXPECT_EQ(PixelOf(0x00112233, 0x80), 0x80332211u);
  EXPECT_EQ(ColorOf(0x80332211u), 0x00112233u);
}

TEST(Bitmap, SizesThatFailLeaveItEmpty) {
  struct Case {
    int Width, Height;
    bool Sized;
  };
  const std::vector<Case> cases = {
      {1, 1, true},   {732, 351, true},    {0, 5, false},        {5, 0, false}, {-1, 3, false},
      {3, -1, false}, {INT_MAX, 2, false}, {65536, 8192, false}, // 2^29 pixels: over the limit
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Width << " x " << c.Height);
    Bitmap bitmap(c.Width, c.Height);
    EXPECT_EQ(bitmap.Width(), c.Sized ? c.Width : 0);
    EXPECT_EQ(bitmap.Height(), c.Sized ? c.Height : 0);
    EXPECT_EQ(bitmap.Empty(), !c.Sized);
    Bitmap resized(4, 4);
    EXPECT_EQ(resized.SetSize(c.Width, c.Height), c.Sized);
    EXPECT_EQ(resized.BoundsRect(), (TRect{0, 0, bitmap.Width(), bitmap.Height()}));
  }
}

TEST(Bitmap, RowsAreTopDownWithAFixedStride) {
  Bitmap bitmap(3, 4);
  EXPECT_EQ(bitmap.Stride(), 12);
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(reinterpret_cast<const char*>(bitmap.ScanLine(y)) -
                  reinterpret_cast<const char*>(bitmap.ScanLine(0)),
              y * bitmap.Stride());
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(bitmap.Pixel(x, y), 0u) << x << ", " << y;
  }
  bitmap.SetPixel(2, 1, 0xAABBCCDD);
  EXPECT_EQ(bitmap.ScanLine(1)[2], 0xAABBCCDDu);
  // Bytes in memory: blue, green, red, alpha.
  const auto* bytes = reinterpret_cast<const unsigned char*>(bitmap.ScanLine(1) + 2);
  EXPECT_EQ(bytes[0], 0xDD);
  EXPECT_EQ(bytes[3], 0xAA);
}

TEST(Bitmap, CopiesAreIndependentAndResizingClears) {
  Bitmap original(2, 2);
  original.SetPixel(1, 1, 0x01020304);
  Bitmap copy(original);
  EXPECT_TRUE(copy == original);
  copy.SetPixel(0, 0, 7);
  EXPECT_EQ(original.Pixel(0, 0), 0u);
  EXPECT_FALSE(copy == original);

  Bitmap assigned(5, 1);
  assigned = original;
  EXPECT_TRUE(assigned == original);
  assigned = Bitmap();
  EXPECT_TRUE(assigned.Empty());

  ASSERT_TRUE(original.SetSize(2, 2));
  EXPECT_EQ(original.Pixel(1, 1), 0u);
  EXPECT_FALSE(Bitmap(2, 3) == Bitmap(3, 2));
  EXPECT_TRUE(Bitmap() == Bitmap(0, 9));
}

} // namespace
