#pragma once
// The pixel unit: the only code that walks pixel rows. Every routine works in
// bitmap coordinates and touches only pixels inside aClip, which the caller has
// already limited to the bitmap (the routines limit it again, so a wrong clip
// never writes outside the rows). Colours are pixels: 0xAARRGGBB values.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace platform::raster {

// The pixel of an RGB colour (0x00BBGGRR) with aAlpha as its fourth byte; the
// colour's highest byte is ignored.
constexpr std::uint32_t PixelOf(TColor aColor, std::uint8_t aAlpha = 255) {
  return std::uint32_t(aAlpha) << 24 | ((aColor & 0xFFu) << 16) | (aColor & 0xFF00u) |
         ((aColor >> 16) & 0xFFu);
}
// The RGB colour (0x00BBGGRR) of a pixel; its alpha is dropped.
constexpr TColor ColorOf(std::uint32_t aPixel) {
  return ((aPixel >> 16) & 0xFFu) | (aPixel & 0xFF00u) | ((aPixel & 0xFFu) << 16);
}

void Fill(Bitmap& aBitmap, const TRect& aClip, std::uint32_t aPixel);
// Inverts the colour channels of the pixels inside aClip where (x + y) has
// the parity of aParity (0 or 1).
void InvertCheckered(Bitmap& aBitmap, const TRect& aClip, int aParity);

// Copies the source pixels whose top-left is aSourceTopLeft to aDestRect, limited to both
// bitmaps. Source and destination may be the same bitmap and overlap.
void Copy(Bitmap& aDest, const TRect& aDestRect, const Bitmap& aSource, TPoint aSourceTopLeft);

// How Stretch puts a source pixel onto the destination.
struct BlendMode {
  bool Blend = false;          // false: copy the source pixel
  std::uint8_t Constant = 255; // constant alpha applied to the source
  bool SourceAlpha = false;    // the source is premultiplied with per-pixel alpha
};

// Maps aSourceRect onto aDestRect by nearest neighbour: destination column x
// takes source column aSourceRect.Left + ((2 (x - aDestRect.Left) + 1) *
// source width) div (2 * destination width), rows alike. Only destination
// pixels inside aClip whose source pixel lies inside the source bitmap change.
// The source must not be the destination bitmap.
void Stretch(Bitmap& aDest, const TRect& aClip, const TRect& aDestRect, const Bitmap& aSource,
             const TRect& aSourceRect, BlendMode aMode);

// Blends aColor into the pixels under an 8-bit coverage mask whose top-left
// lies at aAt: channel = (colour * m + old * (255 - m)) / 255 rounded, alpha =
// m + old alpha * (255 - m) / 255 rounded.
void BlendMask(Bitmap& aBitmap, const TRect& aClip, TPoint aAt, const std::uint8_t* aMask,
               int aWidth, int aHeight, std::ptrdiff_t aMaskStride, TColor aColor);

// A triangle corner with 16-bit colour channels (0..0xFF00 for 0..255).
struct GradientVertex {
  int X = 0;
  int Y = 0;
  std::uint16_t Red = 0, Green = 0, Blue = 0, Alpha = 0;
};

// Fills the triangle taking pixel (x, y) as the point (x, y): pixels inside
// it, and pixels on an edge when that edge is a top edge (horizontal, with the
// inside below it) or a left edge (with the inside to its right). So triangles
// sharing an edge paint each pixel of it once, and a rectangle split into
// triangles paints exactly its pixels, Right and Bottom exclusive. Each
// channel is the barycentric blend of the corners' 16-bit values, truncated to
// 8 bits; a corner's pixel, when painted, gets the corner's colour exactly.
// Degenerate triangles fill nothing.
void GradientTriangle(Bitmap& aBitmap, const TRect& aClip, const GradientVertex (&aCorners)[3]);
// Fills aRect from aFrom at its left (or top) edge towards aTo: channel at
// offset i of n columns (rows) = from + (to - from) * i / n, truncated to 8 bits.
void GradientRect(Bitmap& aBitmap, const TRect& aClip, const TRect& aRect,
                  const GradientVertex& aFrom, const GradientVertex& aTo, bool aHorizontal);

// Fills the polygon's interior by the alternate (even-odd) rule, sampling each
// pixel at its centre (x + 0.5, y + 0.5).
void FillPolygon(Bitmap& aBitmap, const TRect& aClip, std::span<const TPoint> aPoints,
                 std::uint32_t aPixel);

// Draws the line from aFrom to aTo without its last point: n = the larger of
// |dx| and |dy| points, point i steps i along the longer axis and i * (the
// shorter extent) / n along the other, rounded to nearest with halves towards
// the start. Each
// point of the line is a aWidth x aWidth square whose top-left is the point
// moved up and left by (aWidth - 1) / 2. Dotted: only points 0, 2, 4, ...
void Line(Bitmap& aBitmap, const TRect& aClip, TPoint aFrom, TPoint aTo, std::uint32_t aPixel,
          int aWidth, bool aDotted);

} // namespace platform::raster
