#pragma once
// Per-pixel colour filters (tone, hue, saturation, brightness) and their
// application to a whole bitmap with an optional key pixel that is skipped.
// Pixels are 0xAARRGGBB values as in PixelOps.h; every filter keeps the
// fourth byte.

#include "skin/paint/pixels/PixelOps.h"

// A filter: the new pixel from the old one and the filter's value.
using TPixelFilter = TPixel (*)(TPixel aPixel, int aValue);

// The key of ApplyPixelFilter that matches no pixel.
inline constexpr TPixel NoKey = 0x1FFFFFFF;

// Applies aFilter with aValue to every pixel of the bitmap, row by row,
// except pixels whose 32-bit value equals aKey.
void ApplyPixelFilter(platform::Bitmap& aBitmap, TPixelFilter aFilter, int aValue,
                      TPixel aKey = NoKey);

// The tone colour (0x00BBGGRR, passed as the value) at the pixel's
// brightness: each channel = tone channel * max(R, G, B) >> 8.
TPixel ToneFilter(TPixel aPixel, int aToneColor);

// Rotates the hue by aDegrees in HSV; grey pixels are unchanged. Any number
// of degrees, negative ones included, gives a hue in 0..359.
TPixel HueShift(TPixel aPixel, int aDegrees);

// HueShift for a colour value 0x00BBGGRR rather than a pixel.
TColor HueShiftColor(TColor aColor, int aDegrees);

// Moves the channels away from grey (positive amount) or towards it
// (negative): c - amount * (grey - c) / 255 with grey = (R + G + B) / 3,
// integer division truncating towards zero, held to 0..255.
TPixel SaturationShift(TPixel aPixel, int aAmount);

// Adds aAmount to each of the three channels, held to 0..255.
TPixel BrightnessShift(TPixel aPixel, int aAmount);
