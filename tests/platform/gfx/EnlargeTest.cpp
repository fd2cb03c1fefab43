#include "platform/gfx/Enlarge.h"

#include <gtest/gtest.h>
#include <vector>

using namespace platform;

namespace {

// Every pixel a different value: x in the low byte, y in the next.
Bitmap Numbered(int aWidth, int aHeight) {
  Bitmap bitmap(aWidth, aHeight);
  for (int y = 0; y < aHeight; ++y)
    for (int x = 0; x < aWidth; ++x)
      bitmap.SetPixel(x, y, 0xFF000000u | std::uint32_t(y) << 8 | std::uint32_t(x));
  return bitmap;
}

// Each target pixel (x, y) of the enlarged area is the source pixel
// (Left + x / f, Top + y / f); the target's margin outside it stays as it was.
TEST(Enlarge, PartsOfABitmapBecomeBlocksAtTheirPlaceInTheTarget) {
  const Bitmap source = Numbered(7, 5);
  const struct {
    TRect Area;
    int Factor;
    TRect Written; // the source part that reaches the target
  } cases[] = {
      {{0, 0, 7, 5}, 1, {0, 0, 7, 5}},
      {{0, 0, 7, 5}, 2, {0, 0, 7, 5}},
      {{2, 1, 5, 4}, 3, {2, 1, 5, 4}},
      {{5, 3, 9, 8}, 2, {5, 3, 7, 5}}, // clipped to the source
  };
  constexpr int Margin = 2;
  constexpr std::uint32_t Untouched = 0x12345678u;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "factor " << c.Factor << ", area " << c.Area.Left << "," << c.Area.Top);
    const int width = c.Written.Width() * c.Factor + 2 * Margin;
    const int height = c.Written.Height() * c.Factor + 2 * Margin;
    std::vector<std::uint32_t> target(std::size_t(width * height), Untouched);
    EnlargeInto(source, c.Area, c.Factor, target.data() + Margin * width + Margin,
                std::ptrdiff_t(width) * 4);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const int sx = x - Margin, sy = y - Margin;
        const bool inside = sx >= 0 && sy >= 0 && sx < c.Written.Width() * c.Factor &&
                            sy < c.Written.Height() * c.Factor;
        const std::uint32_t expected =
            inside ? source.Pixel(c.Written.Left + sx / c.Factor, c.Written.Top + sy / c.Factor)
                   : Untouched;
        ASSERT_EQ(target[std::size_t(y * width + x)], expected) << x << ", " << y;
      }
  }
}

TEST(Enlarge, WholeBitmapsAndSizesThatCannotBe) {
  const Bitmap source = Numbered(3, 2);
  const Bitmap twice = Enlarged(source, 2);
  ASSERT_EQ(twice.Width(), 6);
  ASSERT_EQ(twice.Height(), 4);
  EXPECT_EQ(twice.Pixel(5, 3), source.Pixel(2, 1));
  EXPECT_EQ(twice.Pixel(2, 1), source.Pixel(1, 0));
  EXPECT_TRUE(Enlarged(source, 1) == source);
  EXPECT_TRUE(Enlarged(source, 0).Empty());
  EXPECT_TRUE(Enlarged(Bitmap(), 2).Empty());
  // Larger than a bitmap can be: empty, not a wrapped size.
  EXPECT_TRUE(Enlarged(Bitmap(40000, 1), 60000).Empty());
}

} // namespace
