// Runs the pixel operations on small bitmaps with arbitrary rectangles, points,
// weights and amounts, and checks what each must leave alone: pixels outside
// its range, the alpha bytes, the key pixels, and for the hue shift the
// largest and smallest channel.

#include "skin/paint/pixels/ColorFilters.h"
#include "skin/paint/pixels/PixelOps.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

using platform::Bitmap;

namespace {

void Check(bool aCondition) {
  if (!aCondition)
    std::abort();
}

Bitmap RandomBitmap(FuzzedDataProvider& aData) {
  Bitmap bitmap(aData.ConsumeIntegralInRange(0, 12), aData.ConsumeIntegralInRange(0, 12));
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      bitmap.SetPixel(x, y, aData.ConsumeIntegral<std::uint32_t>());
  return bitmap;
}

// Mostly small coordinates around the bitmap, sometimes extreme ones.
int Coordinate(FuzzedDataProvider& aData) {
  return aData.ConsumeBool() ? aData.ConsumeIntegralInRange(-16, 16) : aData.ConsumeIntegral<int>();
}

TRect RandomRect(FuzzedDataProvider& aData) {
  return {Coordinate(aData), Coordinate(aData), Coordinate(aData), Coordinate(aData)};
}

// The same range of values taken as an inclusive rectangle.
TInclusiveRect RandomInclusiveRect(FuzzedDataProvider& aData) {
  const TRect r = RandomRect(aData);
  return {r.Left, r.Top, r.Right, r.Bottom};
}

bool InRange(int aValue, int aLow, int aHigh) {
  return aValue >= aLow && aValue <= aHigh;
}

std::uint32_t MaxChannel(TPixel aPixel) {
  return std::max({(aPixel >> 16) & 0xFF, (aPixel >> 8) & 0xFF, aPixel & 0xFF});
}

std::uint32_t MinChannel(TPixel aPixel) {
  return std::min({(aPixel >> 16) & 0xFF, (aPixel >> 8) & 0xFF, aPixel & 0xFF});
}

void FuzzFillAndPremultiply(FuzzedDataProvider& aData) {
  const Bitmap before = RandomBitmap(aData);
  const TRect r = RandomRect(aData);
  const bool fill = aData.ConsumeBool();
  const TColor color = aData.ConsumeIntegral<std::uint32_t>();
  const auto alpha = aData.ConsumeIntegral<std::uint8_t>();
  Bitmap after = before;
  if (fill)
    FillRect32(after, r, color, alpha);
  else
    PremultiplyAlpha(after, r);
  for (int y = 0; y < before.Height(); ++y)
    for (int x = 0; x < before.Width(); ++x) {
      const TPixel old = before.Pixel(x, y), now = after.Pixel(x, y);
      if (!r.Contains({x, y}))
        Check(now == old);
      else if (fill)
        Check(now == (((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF) |
                      (TPixel(alpha) << 24)));
      else
        Check((now >> 24) == (old == 0x00FFFFFF ? 0 : old >> 24) &&
              MaxChannel(now) <= MaxChannel(old));
    }
}

void FuzzBlendColor(FuzzedDataProvider& aData) {
  const Bitmap before = RandomBitmap(aData);
  const TInclusiveRect r = RandomInclusiveRect(aData);
  Bitmap after = before;
  BlendColorIntoRect(after, r, aData.ConsumeIntegralInRange(-300, 300),
                     aData.ConsumeIntegral<std::uint32_t>() & 0x00FFFFFF);
  for (int y = 0; y < before.Height(); ++y)
    for (int x = 0; x < before.Width(); ++x) {
      const TPixel old = before.Pixel(x, y), now = after.Pixel(x, y);
      Check((now >> 24) == (old >> 24));
      if (!InRange(x, r.Left, r.Right) || !InRange(y, r.Top, r.Bottom))
        Check(now == old);
    }
}

void FuzzBlendBitmap(FuzzedDataProvider& aData) {
  const Bitmap before = RandomBitmap(aData);
  const Bitmap source = RandomBitmap(aData);
  const int weight = aData.ConsumeIntegralInRange(-10, 300);
  const TPoint at{Coordinate(aData), Coordinate(aData)};
  const TInclusiveRect from = RandomInclusiveRect(aData);
  Bitmap after = before;
  BlendBitmapInto(after, source, weight, at, from);
  for (int y = 0; y < before.Height(); ++y)
    for (int x = 0; x < before.Width(); ++x) {
      const TPixel old = before.Pixel(x, y), now = after.Pixel(x, y);
      Check((now >> 24) == (old >> 24));
      // Nothing lands above or left of the destination point unless the
      // source start was negative and moved it further right or down.
      if ((at.X >= 0 && x < at.X) || (at.Y >= 0 && y < at.Y))
        Check(now == old);
    }
}

void FuzzFilters(FuzzedDataProvider& aData) {
  Bitmap before = RandomBitmap(aData);
  const int kind = aData.ConsumeIntegralInRange(0, 3);
  const int value =
      aData.ConsumeBool() ? aData.ConsumeIntegralInRange(-720, 720) : aData.ConsumeIntegral<int>();
  const TPixel key = aData.ConsumeBool() ? NoKey : 0x00FF00FF;
  if (!before.Empty() && aData.ConsumeBool())
    before.SetPixel(0, 0, 0x00FF00FF);
  const TPixelFilter filters[] = {ToneFilter, HueShift, SaturationShift, BrightnessShift};
  Bitmap after = before;
  ApplyPixelFilter(after, filters[kind], value, key);
  for (int y = 0; y < before.Height(); ++y)
    for (int x = 0; x < before.Width(); ++x) {
      const TPixel old = before.Pixel(x, y), now = after.Pixel(x, y);
      Check((now >> 24) == (old >> 24));
      if (key != NoKey && old == key)
        Check(now == old);
      else if (filters[kind] == HueShift)
        Check(MaxChannel(now) == MaxChannel(old) && MinChannel(now) == MinChannel(old));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  FuzzedDataProvider data(aData, aSize);
  switch (data.ConsumeIntegralInRange(0, 3)) {
  case 0:
    FuzzFillAndPremultiply(data);
    break;
  case 1:
    FuzzBlendColor(data);
    break;
  case 2:
    FuzzBlendBitmap(data);
    break;
  default:
    FuzzFilters(data);
    break;
  }
  return 0;
}
