#include "skin/paint/pixels/ColorFilters.h"

#include "support/PixelCheck.h"

#include <climits>
#include <gtest/gtest.h>
#include <vector>

namespace {

using pixelcheck::Px;

struct FilterCase {
  TPixel Before;
  int Value;
  TPixel After;
};

void ExpectFilter(TPixelFilter aFilter, const std::vector<FilterCase>& aCases) {
  for (const FilterCase& c : aCases)
    EXPECT_EQ(aFilter(c.Before, c.Value), c.After)
        << std::hex << "pixel " << c.Before << std::dec << ", value " << c.Value;
}

TPixel Invert(TPixel aPixel, int) {
  return aPixel ^ 0x00FFFFFF;
}

TEST(ColorFilters, ApplyPixelFilterSkipsTheKeyOnly) {
  const std::vector<TPixel> pixels = {KeyColor, Px(1, 2, 3), 0xFFFF00FF, NoKey, 0};
  struct Case {
    TPixel Key;
    std::vector<bool> Changed;
  };
  const std::vector<Case> cases = {
      // Magenta with alpha 0 is the key; opaque magenta is a different pixel.
      {KeyColor, {false, true, true, true, true}},
      // NoKey matches no pixel, not even one of the same value.
      {NoKey, {true, true, true, true, true}},
      {0, {true, true, true, true, false}},
  };
  for (const Case& c : cases) {
    platform::Bitmap bitmap(int(pixels.size()), 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        bitmap.SetPixel(x, y, pixels[std::size_t(x)]);
    ApplyPixelFilter(bitmap, Invert, 0, c.Key);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < bitmap.Width(); ++x) {
        TPixel p = pixels[std::size_t(x)];
        EXPECT_EQ(bitmap.Pixel(x, y), c.Changed[std::size_t(x)] ? Invert(p, 0) : p)
            << std::hex << "key " << c.Key << ", pixel " << p;
      }
  }
  platform::Bitmap empty;
  ApplyPixelFilter(empty, Invert, 0);
  EXPECT_TRUE(empty.Empty());
}

TEST(ColorFilters, ApplyPixelFilterPassesTheValue) {
  platform::Bitmap bitmap(2, 1);
  bitmap.SetPixel(0, 0, Px(0, 0, 128, 9));
  bitmap.SetPixel(1, 0, Px(10, 20, 30, 9));
  ApplyPixelFilter(bitmap, BrightnessShift, 5);
  EXPECT_EQ(bitmap.Pixel(0, 0), Px(5, 5, 133, 9));
  EXPECT_EQ(bitmap.Pixel(1, 0), Px(15, 25, 35, 9));
}

TEST(ColorFilters, ToneFilter) {
  ExpectFilter(ToneFilter, {
                               {Px(0, 0, 128), 0xFFFFFF, Px(127, 127, 127)}, // 255 * 128 >> 8
                               // tone red 200, green 100, blue 0 at brightness 255
                               {Px(50, 255, 10, 7), 0x0064C8, Px(199, 99, 0, 7)},
                               {Px(0, 0, 0, 0x40), 0xFFFFFF, Px(0, 0, 0, 0x40)},
                               // tone blue at brightness 100: 255 * 100 >> 8 = 99
                               {Px(100, 20, 30), 0xFF0000, Px(0, 0, 99)},
                           });
}

TEST(ColorFilters, HueShiftOfPureColours) {
  // Hues 0, 60, ..., 300: red, yellow, green, cyan, blue, magenta.
  const TPixel wheel[6] = {Px(255, 0, 0),   Px(255, 255, 0), Px(0, 255, 0),
                           Px(0, 255, 255), Px(0, 0, 255),   Px(255, 0, 255)};
  for (int from = 0; from < 6; ++from)
    for (int steps = -7; steps <= 13; ++steps) {
      const TPixel expected = wheel[((from + steps) % 6 + 6) % 6];
      EXPECT_EQ(HueShift(wheel[from], steps * 60), expected)
          << "hue " << from * 60 << " shifted by " << steps * 60;
    }
}

TEST(ColorFilters, HueShift) {
  ExpectFilter(HueShift, {
                             {Px(255, 0, 0), 120, Px(0, 255, 0)},
                             {Px(255, 0, 0, 0x33), 240, Px(0, 0, 255, 0x33)}, // alpha kept
                             {Px(255, 0, 0), -120, Px(0, 0, 255)},
                             {Px(128, 128, 128), 90, Px(128, 128, 128)}, // grey unchanged
                             {Px(0, 0, 0, 0x10), 45, Px(0, 0, 0, 0x10)}, // black unchanged
                             // orange: H = 60 * 128 / 255 = 30.1; 30.1 + 30 truncates to 60:
                             // i = 1, f = 0, S = 1 -> (q, V, p) = (255, 255, 0)
                             {Px(255, 128, 0), 30, Px(255, 255, 0)},
                             // V = 200, S = 0.75, H = 20; 140: i = 2, f = 1/3, p = 50,
                             // t = 200 * (1 - 2/3 * 0.75) = 100 -> (p, V, t)
                             {Px(200, 100, 50), 120, Px(50, 200, 100)},
                             // 260: i = 4, t = 200 - 40 * 150 / 60 = 100 exactly -> (t, p, V)
                             {Px(200, 100, 50), 240, Px(100, 50, 200)},
                             // 20 + 350 = 370 -> 10: i = 0, f = 1/6, p = 50,
                             // t = 200 * (1 - 5/6 * 0.75) = 75 -> (V, t, p)
                             {Px(200, 100, 50), 350, Px(200, 75, 50)},
                             // the shift is truncated after adding: 20 + 0 stays 20
                             {Px(200, 100, 50), 0, Px(200, 100, 50)},
                             // H = 30.1; 30.1 - 31 = -0.9 truncates to 0, not -1 (359):
                             // i = 0, f = 0, t = p = 0 -> (V, t, p)
                             {Px(255, 128, 0), -31, Px(255, 0, 0)},
                         });
}

// Inputs where p, q or t are whole numbers that floating point misses by a
// hair (99.999... truncated to 99): the results are those of exact arithmetic.
TEST(ColorFilters, HueShiftWholeChannelsAreNotOneStepLow) {
  ExpectFilter(HueShift, {
                             // V = 60, S = 1, H = 240; 599 -> 239: i = 3, f = 59/60,
                             // q = 60 * (1 - 59/60) = 1 -> (p, q, V)
                             {Px(0, 0, 60), 359, Px(0, 1, 60)},
                             {Px(0, 0, 120), 359, Px(0, 2, 120)},
                             // V = 30, S = 1, H = 240 - 14 = 226; 256: i = 4, f = 16/60,
                             // t = 30 * (1 - 44/60) = 8 -> (t, p, V)
                             {Px(0, 7, 30), 30, Px(8, 0, 30)},
                             // V = 12, S = 1, H = 240 - 35 = 205; 325: i = 5, f = 25/60,
                             // q = 12 * (1 - 25/60) = 7 -> (V, p, q)
                             {Px(0, 7, 12), 120, Px(12, 0, 7)},
                         });
}

TEST(ColorFilters, HueShiftRoundTripsOnWholeHues) {
  // Colours whose hue is a whole number of degrees and whose max - min is a
  // multiple of 60 have whole channels at every whole hue, so they come back
  // after a full turn in two steps.
  const std::vector<TPixel> colours = {Px(200, 100, 50), Px(10, 250, 130), Px(90, 30, 210)};
  for (TPixel c : colours)
    for (int d : {60, 120, 180, 240, 300})
      EXPECT_EQ(HueShift(HueShift(c, d), 360 - d), c) << std::hex << c << std::dec << " by " << d;
}

TEST(ColorFilters, HueShiftColorSwapsRedAndBlue) {
  EXPECT_EQ(HueShiftColor(0x000000FF, 120), 0x0000FF00u); // red -> green
  EXPECT_EQ(HueShiftColor(0x00FF0000, 120), 0x000000FFu); // blue -> red
  EXPECT_EQ(HueShiftColor(0x00808080, 77), 0x00808080u);
  EXPECT_EQ(HueShiftColor(0x7F0000FF, 240), 0x7FFF0000u); // highest byte kept
}

TEST(ColorFilters, SaturationShift) {
  ExpectFilter(SaturationShift,
               {
                   {Px(200, 100, 0), 255, Px(255, 100, 0)}, // g = 100: 300 -> 255, -100 -> 0
                   {Px(200, 100, 0, 0x21), -255, Px(100, 100, 100, 0x21)},
                   {Px(200, 100, 0), 0, Px(200, 100, 0)},
                   // g = 20: 10 - 1000 / 255 = 10 - 3; 31 - (-1100 / 255) = 31 + 4
                   // (truncation towards zero, not floor)
                   {Px(10, 20, 31), 100, Px(7, 20, 35)},
                   {Px(10, 20, 31), INT_MAX, Px(0, 20, 255)}, // no overflow
               });
}

TEST(ColorFilters, BrightnessShift) {
  ExpectFilter(BrightnessShift, {
                                    {Px(250, 100, 0), 10, Px(255, 110, 10)},
                                    {Px(10, 100, 255, 0x42), -20, Px(0, 80, 235, 0x42)},
                                    {Px(10, 100, 255), 0, Px(10, 100, 255)},
                                    {Px(1, 2, 3), INT_MAX, Px(255, 255, 255)},
                                    {Px(1, 2, 3), INT_MIN, Px(0, 0, 0)},
                                });
}

} // namespace
