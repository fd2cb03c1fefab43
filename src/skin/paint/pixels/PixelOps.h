#pragma once
// Pixel operations on 32-bit bitmaps: creating, filling, mixing colours and
// blending one bitmap into another, with the exact rounding and clipping the
// painting code relies on. Pixels are 32-bit values with the bytes blue,
// green, red, alpha in memory order (0xAARRGGBB read as an integer).

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"

#include <cstdint>

using TPixel = std::uint32_t;

// A rectangle whose Right and Bottom are the last column and row it holds,
// for the operations that take their ranges inclusive. It is a type of its
// own so that an exclusive TRect is never passed to them by mistake.
struct TInclusiveRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  // The same pixels as the exclusive aRect.
  static constexpr TInclusiveRect Of(const TRect& aRect) {
    return {aRect.Left, aRect.Top, aRect.Right - 1, aRect.Bottom - 1};
  }
};

// A colour as RGB: system colours (top bit set) are looked up in the
// system colour table; other values are kept without their highest byte.
TColor ColorToRGB(TColor aColor);

// A new 32-bit bitmap, all pixels 0; left 0 x 0 when it cannot be sized.
platform::Bitmap CreateBitmap32(int aWidth, int aHeight);

// Every pixel of aRect (Right and Bottom exclusive) inside the bitmap
// becomes raster::PixelOf(aColor, aAlpha). aColor must be RGB already.
void FillRect32(platform::Bitmap& aBitmap, const TRect& aRect, TColor aColor,
                std::uint8_t aAlpha = 255);

// Solid fill of aRect on a device context with aColor resolved to RGB.
void FillRectOnDC(platform::HDC aDC, const TRect& aRect, TColor aColor);

// Per channel trunc(A * aShare + B * (1 - aShare)) for RGB colours; the
// result keeps A's highest byte. Channels are held to 0..255 when aShare is
// outside 0..1.
TColor ColorMix(TColor aColorA, TColor aColorB, double aShare);

// Per channel round(pixel * p / 100 + colour * (1 - p / 100)), rounding
// half to even, over columns Left..Right and rows Top..Bottom INCLUSIVE after
// limiting them to the bitmap (so (0, 0, width, height) is the whole bitmap).
// The colour is resolved to RGB; alpha is kept; results are held to 0..255.
void BlendColorIntoRect(platform::Bitmap& aBitmap, TInclusiveRect aRect, int aPercent,
                        TColor aColor);

// Blends aSrcRect of aSrc into aDst at aDstPoint: blue, green and red become
// (dst * aWeight + src * (256 - aWeight)) >> 8; alpha is kept. aWeight is
// held to 0..255: 0 copies the source, 255 keeps the destination almost
// unchanged. The source rectangle's columns Left..Right and rows Top..Bottom
// are processed INCLUSIVE after clipping: negative destination coordinates
// move the source start, negative source starts move the destination point,
// Right and Bottom are limited to the source's last column and row and to
// what fits into the destination. Nothing happens for an empty source
// rectangle (Right <= Left or Bottom <= Top, as for an exclusive one), a
// destination point outside the destination or a source start outside the
// source.
void BlendBitmapInto(platform::Bitmap& aDst, const platform::Bitmap& aSrc, int aWeight,
                     TPoint aDstPoint, TInclusiveRect aSrcRect);

// For each pixel of aRect inside the bitmap (Right and Bottom exclusive): a
// pixel 0x00FFFFFF (white with alpha 0) becomes 0; otherwise blue, green and
// red become channel * alpha >> 8.
void PremultiplyAlpha(platform::Bitmap& aBitmap, const TRect& aRect);

// For each pixel of aRect inside the bitmap (Right and Bottom exclusive): a
// pixel 0x00FFFFFF (white with alpha 0) becomes 0; others are kept.
void ClearTransparentWhite(platform::Bitmap& aBitmap, const TRect& aRect);
