#include "skin/paint/pixels/ColorFilters.h"

#include <algorithm>

namespace {

struct Rgb {
  int Red, Green, Blue;
};

Rgb Unpack(TPixel aPixel) {
  return {int((aPixel >> 16) & 0xFF), int((aPixel >> 8) & 0xFF), int(aPixel & 0xFF)};
}

TPixel Pack(TPixel aFourthByteFrom, long long aRed, long long aGreen, long long aBlue) {
  auto c = [](long long aValue) { return TPixel(std::clamp(aValue, 0LL, 255LL)); };
  return (aFourthByteFrom & 0xFF000000u) | (c(aRed) << 16) | (c(aGreen) << 8) | c(aBlue);
}

// Swaps the first and third bytes: a colour value 0x00BBGGRR and a pixel
// 0xAARRGGBB hold red and blue at opposite ends.
TPixel SwapRedBlue(TPixel aValue) {
  return (aValue & 0xFF00FF00u) | ((aValue & 0xFF) << 16) | ((aValue >> 16) & 0xFF);
}

} // namespace

void ApplyPixelFilter(platform::Bitmap& aBitmap, TPixelFilter aFilter, int aValue, TPixel aKey) {
  const bool keyed = aKey != NoKey;
  for (int y = 0; y < aBitmap.Height(); ++y) {
    TPixel* row = aBitmap.ScanLine(y);
    for (int x = 0; x < aBitmap.Width(); ++x)
      if (!keyed || row[x] != aKey)
        row[x] = aFilter(row[x], aValue);
  }
}

TPixel ToneFilter(TPixel aPixel, int aToneColor) {
  const Rgb c = Unpack(aPixel);
  const int m = std::max({c.Red, c.Green, c.Blue});
  const int toneRed = aToneColor & 0xFF;
  const int toneGreen = (aToneColor >> 8) & 0xFF;
  const int toneBlue = (aToneColor >> 16) & 0xFF;
  return Pack(aPixel, (toneRed * m) >> 8, (toneGreen * m) >> 8, (toneBlue * m) >> 8);
}

// HSV with V = max, S = (max - min) / max. The rule's values are computed
// exactly in integers: V * S is max - min, f * 60 is the hue's remainder
// modulo 60, so p, q and t are whole fractions of 60 that integer division
// truncates like the rule does, with no rounding error of floating point.
TPixel HueShift(TPixel aPixel, int aDegrees) {
  const Rgb c = Unpack(aPixel);
  const long long max = std::max({c.Red, c.Green, c.Blue});
  const long long min = std::min({c.Red, c.Green, c.Blue});
  if (max == min)
    return aPixel;
  const long long delta = max - min;
  // The hue is hueTimesDelta / delta degrees.
  long long hueTimesDelta;
  if (max == c.Red)
    hueTimesDelta = 60 * (c.Green - c.Blue);
  else if (max == c.Green)
    hueTimesDelta = 120 * delta + 60 * (c.Blue - c.Red);
  else
    hueTimesDelta = 240 * delta + 60 * (c.Red - c.Green);
  if (hueTimesDelta < 0)
    hueTimesDelta += 360 * delta;
  // trunc(H + d) mod 360; shifts below zero wrap into 0..359 like those above.
  long long hue = (hueTimesDelta + aDegrees * delta) / delta % 360;
  if (hue < 0)
    hue += 360;
  const long long sector = hue / 60, remainder = hue % 60;
  const long long p = min;
  const long long q = (60 * max - remainder * delta) / 60;
  const long long t = (60 * max - (60 - remainder) * delta) / 60;
  switch (sector) {
  case 0:
    return Pack(aPixel, max, t, p);
  case 1:
    return Pack(aPixel, q, max, p);
  case 2:
    return Pack(aPixel, p, max, t);
  case 3:
    return Pack(aPixel, p, q, max);
  case 4:
    return Pack(aPixel, t, p, max);
  default:
    return Pack(aPixel, max, p, q);
  }
}

TColor HueShiftColor(TColor aColor, int aDegrees) {
  return SwapRedBlue(HueShift(SwapRedBlue(aColor), aDegrees));
}

TPixel SaturationShift(TPixel aPixel, int aAmount) {
  if (aAmount == 0)
    return aPixel;
  const Rgb c = Unpack(aPixel);
  const int grey = (c.Red + c.Green + c.Blue) / 3;
  // In 64 bits, so that no amount can overflow.
  auto shift = [&](long long aChannel) { return aChannel - aAmount * (grey - aChannel) / 255; };
  return Pack(aPixel, shift(c.Red), shift(c.Green), shift(c.Blue));
}

TPixel BrightnessShift(TPixel aPixel, int aAmount) {
  if (aAmount == 0)
    return aPixel;
  const Rgb c = Unpack(aPixel);
  const long long amount = aAmount;
  return Pack(aPixel, c.Red + amount, c.Green + amount, c.Blue + amount);
}
