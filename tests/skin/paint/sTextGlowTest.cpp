#include "skin/paint/sTextGlow.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Text.h"
#include "support/PixelCheck.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using pixelcheck::ChangedBox;
using pixelcheck::Filled;
using pixelcheck::Px;
using platform::Bitmap;

namespace {

// The kernel as the rule states it, in floating point: weights rounded to
// whole numbers and divided by their sum, the radius cut while the tail stays
// below 1/510, the central weights divided by their sum again.
std::vector<double> RuleKernel(int aSize) {
  std::vector<double> w(33);
  double sum = 0;
  for (int k = -16; k <= 16; ++k) {
    const double e = std::exp(-std::pow(double(k) / aSize, 2) / 2);
    w[std::size_t(k + 16)] = e - std::floor(e) == 0.5 ? 2 * std::round(e / 2) : std::round(e);
    sum += w[std::size_t(k + 16)];
  }
  for (double& v : w)
    v /= sum;
  int r = 16;
  double tail = 0;
  while (tail < 1.0 / 510 && r > 1) {
    tail += 2 * w[std::size_t(r + 16)];
    --r;
  }
  std::vector<double> kept(w.begin() + (16 - r), w.begin() + (16 + r + 1));
  double keptSum = 0;
  for (double v : kept)
    keptSum += v;
  for (double& v : kept)
    v /= keptSum;
  return kept;
}

TEST(TextGlow, KernelMatchesTheRuleForEverySize) {
  // n = 3: exp(-(k/3)^2/2) is 0.61 at k = 3 and 0.41 at k = 4, so seven ones;
  // the first non-zero tail term (k = 3) already passes 1/510, leaving r = 2.
  const TGlowKernel three = GlowKernel(3);
  EXPECT_EQ(three.Radius, 2);
  EXPECT_EQ(three.Weights, std::vector<int>(5, 1));
  EXPECT_EQ(three.Sum, 5);
  for (int size : {1, 2, 3, 4, 7, 13, 14, 30, 1000}) {
    const TGlowKernel kernel = GlowKernel(size);
    const std::vector<double> rule = RuleKernel(size);
    ASSERT_EQ(kernel.Weights.size(), rule.size()) << "size " << size;
    EXPECT_EQ(kernel.Radius, int(rule.size() / 2)) << "size " << size;
    for (std::size_t i = 0; i < rule.size(); ++i)
      EXPECT_NEAR(double(kernel.Weights[i]) / kernel.Sum, rule[i], 1e-12) << "size " << size;
  }
}

TEST(TextGlow, BlurAveragesRowsThenColumnsWithClampedEndsAndTruncates) {
  // Radius 2, five equal weights. A 6 x 1 row and a 1 x 6 column of the same
  // values give the same result; the end values repeat beyond the ends.
  const TGlowKernel kernel = GlowKernel(3);
  const std::vector<std::uint8_t> line{0, 255, 255, 255, 255, 100};
  // x = 0: (0 + 0 + 0 + 255 + 255) / 5 = 102; x = 1: (0 + 0 + 255 * 3) / 5 = 153;
  // x = 2: (0 + 255 * 4) / 5 = 204; x = 3: 255 * 4 / 5 + 100 / 5 = 224;
  // x = 4: (255 * 3 + 100 * 2) / 5 = 193; x = 5: (255 * 2 + 100 * 3) / 5 = 162.
  const std::vector<std::uint8_t> blurred{102, 153, 204, 224, 193, 162};
  TGreyImage row{6, 1, line};
  BlurGrey(row, kernel);
  EXPECT_EQ(row.Pixels, blurred);
  TGreyImage column{1, 6, line};
  BlurGrey(column, kernel);
  EXPECT_EQ(column.Pixels, blurred);
  // Separable: a single dark pixel becomes a 5 x 5 square. The row pass
  // leaves 204 beside it, the column pass averages that with four 255s.
  TGreyImage dot{7, 7, std::vector<std::uint8_t>(49, 255)};
  dot.At(3, 3) = 0;
  BlurGrey(dot, kernel);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x) {
      const bool near = std::abs(x - 3) <= 2 && std::abs(y - 3) <= 2;
      // Each pass: (255 * 4 + 204) / 5 = 244 for a row value of 204.
      EXPECT_EQ(dot.At(x, y), near ? 244 : 255) << x << "," << y;
    }
  // A white image stays white: no rounding leaves 254 behind.
  TGreyImage white{4, 3, std::vector<std::uint8_t>(12, 255)};
  BlurGrey(white, GlowKernel(5));
  EXPECT_EQ(white.Pixels, std::vector<std::uint8_t>(12, 255));
}

TEST(TextGlow, CompositeLaysTheGlowColourOverThePixelThroughItsGrey) {
  struct Case {
    std::uint8_t V;
    std::uint32_t Before;
    std::uint32_t After;
  };
  // Glow colour RGB (200, 100, 50). g = 255 - v.
  const Case cases[] = {
      // v 55, g 200 over (10, 20, 30, alpha 40): alpha 40 + (215 * 200 >> 8) = 207;
      // red (200 * 200 + 55 * 10) >> 8 = 158, green (200 * 100 + 55 * 20) >> 8 = 82,
      // blue (200 * 50 + 55 * 30) >> 8 = 45.
      {55, Px(10, 20, 30, 40), Px(158, 82, 45, 207)},
      // v 0 over opaque white: (255 * c + 0) >> 8 loses one step per channel.
      {0, Px(255, 255, 255, 255), Px(199, 99, 49, 255)},
      // v 255 leaves the pixel alone.
      {255, Px(1, 2, 3, 4), Px(1, 2, 3, 4)},
  };
  for (const Case& c : cases) {
    Bitmap target = Filled(3, 3, Px(9, 9, 9, 9));
    target.SetPixel(1, 2, c.Before);
    CompositeGlow(target, TGreyImage{1, 1, {c.V}}, {1, 2}, RGB(200, 100, 50));
    Bitmap expected = Filled(3, 3, Px(9, 9, 9, 9));
    expected.SetPixel(1, 2, c.After);
    EXPECT_TRUE(pixelcheck::SameBitmap(target, expected, "glow-composite")) << int(c.V);
  }
  // Work pixels outside the target are skipped.
  Bitmap target = Filled(2, 2, Px(9, 9, 9, 9));
  CompositeGlow(target, TGreyImage{3, 3, std::vector<std::uint8_t>(9, 0)}, {-2, -2}, RGB(0, 0, 0));
  Bitmap expected = Filled(2, 2, Px(9, 9, 9, 9));
  expected.SetPixel(0, 0, Px(0, 0, 0, 9 + (246 * 255 >> 8)));
  EXPECT_TRUE(pixelcheck::SameBitmap(target, expected, "glow-composite-clipped"));
}

TEST(TextGlow, GlowSurroundsTheTextByItsRadiusOnePixelDownRight) {
  const std::uint32_t white = Px(255, 255, 255);
  const TRect r{30, 20, 90, 40};
  const platform::UINT format =
      platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE;
  // Where the text's ink lies, drawn plainly.
  Bitmap plain = Filled(120, 60, white);
  {
    pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
    platform::SelectObject(dc.get(), &plain);
    platform::SetBkMode(dc.get(), platform::TRANSPARENT);
    TRect place = r;
    platform::DrawTextW(dc.get(), "Hg", &place, format);
  }
  const TRect ink = ChangedBox(plain, white);
  ASSERT_FALSE(ink.IsEmpty());
  for (int size : {1, 3, 8}) {
    Bitmap target = Filled(120, 60, white);
    DrawTextGlow(target, nullptr, "Hg", r, RGB(0, 0, 255), size, format);
    // Five copies widen the ink by one pixel, the blur by the radius; the
    // whole glow lies one pixel right and down.
    const int reach = 1 + GlowKernel(size).Radius;
    const TRect expected{ink.Left - reach + 1, ink.Top - reach + 1, ink.Right + reach + 1,
                         ink.Bottom + reach + 1};
    EXPECT_EQ(ChangedBox(target, white), expected) << "size " << size;
    // Blue laid over white: red and green fall together, blue stays high.
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 120; ++x) {
        const std::uint32_t p = target.Pixel(x, y);
        ASSERT_EQ((p >> 16) & 0xFF, (p >> 8) & 0xFF) << x << "," << y;
        ASSERT_GE(p & 0xFF, 254u) << x << "," << y;
      }
  }
}

TEST(TextGlow, SizeBelowOneOrEmptyTextDrawsNothing) {
  const std::uint32_t white = Px(255, 255, 255);
  for (auto [text, size] : {std::pair{"Hg", 0}, {"Hg", -3}, {"", 4}}) {
    Bitmap target = Filled(40, 20, white);
    DrawTextGlow(target, nullptr, text, {5, 5, 35, 15}, RGB(0, 0, 0), size, 0);
    EXPECT_TRUE(pixelcheck::SameBitmap(target, Filled(40, 20, white), "glow-none"));
  }
}

} // namespace
