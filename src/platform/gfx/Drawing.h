#pragma once
// Drawing on device contexts: fills, copies, stretch, alpha blend, gradients,
// polygons, lines and single pixels, with the platform's names. Every call
// takes logical coordinates, moves them by the DC's origins, clips to the
// DC's effective clip and leaves early when nothing is left to draw.
//
// Solid drawing (fills, frames, lines, polygons, edges, frame controls,
// SetPixel) writes opaque pixels (alpha 255), so what is drawn stays visible
// when a bitmap is later shown with per-pixel alpha; copies and stretches
// carry the source's alpha, gradients the vertices' alpha.

#include "platform/Types.h"
#include "platform/gfx/DeviceContext.h"

#include <cstddef>
#include <cstdint>

namespace platform {

// Raster operations (BitBlt, StretchBlt).
constexpr DWORD SRCCOPY = 0x00CC0020;

// Fills the rectangle (Right and Bottom exclusive) with the brush's colour; a
// null brush fills nothing. Returns nonzero when the arguments are valid.
int FillRect(HDC aDC, const RECT* aRect, HBRUSH aBrush);
// Fills the rectangle with a colour (a system colour is resolved).
BOOL FillSolidRect(HDC aDC, const RECT* aRect, COLORREF aColor);
// Draws a 1-pixel frame just inside the rectangle with the brush's colour.
int FrameRect(HDC aDC, const RECT* aRect, HBRUSH aBrush);
// Outlines the rectangle with the selected pen and fills its inside with the
// selected brush.
BOOL Rectangle(HDC aDC, int aLeft, int aTop, int aRight, int aBottom);

// Copies a rectangle from aSrc (which may be aDest, overlapping or not).
// Only SRCCOPY is supported; other operations return FALSE. Source pixels
// outside the source bitmap leave the destination unchanged.
BOOL BitBlt(HDC aDest, int aX, int aY, int aWidth, int aHeight, HDC aSrc, int aXSrc, int aYSrc,
            DWORD aRop);
// Nearest-neighbour stretch of the source rectangle onto the destination
// rectangle (the mapping is described at raster::Stretch). Sizes must be
// positive.
BOOL StretchBlt(HDC aDest, int aX, int aY, int aWidth, int aHeight, HDC aSrc, int aXSrc, int aYSrc,
                int aWidthSrc, int aHeightSrc, DWORD aRop);

constexpr BYTE AC_SRC_OVER = 0x00;
constexpr BYTE AC_SRC_ALPHA = 0x01;

struct BLENDFUNCTION {
  BYTE BlendOp = AC_SRC_OVER;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;
};

// Blends the source onto the destination (stretched by nearest neighbour when
// the sizes differ). With AC_SRC_ALPHA the source is premultiplied: with
// s = SourceConstantAlpha and a = source alpha * s / 255, every channel
// (alpha included) becomes src * s / 255 + dst * (255 - a) / 255; without it,
// src * s / 255 + dst * (255 - s) / 255. Each product is rounded to nearest.
BOOL AlphaBlend(HDC aDest, int aX, int aY, int aWidth, int aHeight, HDC aSrc, int aXSrc, int aYSrc,
                int aWidthSrc, int aHeightSrc, BLENDFUNCTION aBlend);

using COLOR16 = WORD;

struct TRIVERTEX {
  LONG x = 0;
  LONG y = 0;
  COLOR16 Red = 0;
  COLOR16 Green = 0;
  COLOR16 Blue = 0;
  COLOR16 Alpha = 0;
};

struct GRADIENT_TRIANGLE {
  UINT Vertex1 = 0;
  UINT Vertex2 = 0;
  UINT Vertex3 = 0;
};

struct GRADIENT_RECT {
  UINT UpperLeft = 0;
  UINT LowerRight = 0;
};

constexpr UINT GRADIENT_FILL_RECT_H = 0;
constexpr UINT GRADIENT_FILL_RECT_V = 1;
constexpr UINT GRADIENT_FILL_TRIANGLE = 2;

// Fills triangles (aMesh points to GRADIENT_TRIANGLE) or rectangles (to
// GRADIENT_RECT) with colours interpolated from the vertices; the pixel rules
// are those of raster::GradientTriangle and raster::GradientRect. A mesh entry
// naming a vertex beyond aVertexCount makes the call fail before anything is
// drawn.
BOOL GradientFill(HDC aDC, const TRIVERTEX* aVertices, UINT aVertexCount, const void* aMesh,
                  UINT aMeshCount, UINT aMode);

// Fills the polygon with the selected brush (alternate rule, pixel centres),
// then outlines it with the selected pen as lines from each point to the next
// and from the last back to the first. At least 2 points.
BOOL Polygon(HDC aDC, const POINT* aPoints, int aCount);

// The current position for LineTo; LineTo draws with the selected pen up to,
// not including, the end point, which becomes the current position.
BOOL MoveToEx(HDC aDC, int aX, int aY, POINT* aOld);
BOOL LineTo(HDC aDC, int aX, int aY);

// Inverts the colour of every second pixel of the 1-pixel frame just inside
// the rectangle, starting with its top-left pixel: the pixels (x, y) of the
// frame with x + y of the same parity as Left + Top. Drawing it twice restores
// the pixels.
BOOL DrawFocusRect(HDC aDC, const RECT* aRect);

// SetPixel returns the colour set, or CLR_INVALID when the pixel is clipped
// away; GetPixel returns the pixel's RGB colour, or CLR_INVALID outside the
// clip.
COLORREF SetPixel(HDC aDC, int aX, int aY, COLORREF aColor);
COLORREF GetPixel(HDC aDC, int aX, int aY);

// For text drawing: blends aColor through an 8-bit coverage mask whose
// top-left lies at the device position (aX, aY) (logical position plus the
// viewport origin), clipped to the DC's effective clip; the blend is that of
// raster::BlendMask.
void BlendCoverageMask(HDC aDC, int aX, int aY, const std::uint8_t* aMask, int aWidth, int aHeight,
                       std::ptrdiff_t aMaskStride, COLORREF aColor);

} // namespace platform
