#include "platform/gfx/Drawing.h"

#include "platform/gfx/Raster.h"
#include "platform/gfx/SystemColors.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

// Coordinates beyond this are refused by the calls whose work grows with the
// distance between points (lines, triangles), so no call can run for long or
// overflow.
constexpr int SpanLimit = 1 << 24;

bool InLimit(int aValue) {
  return aValue > -SpanLimit && aValue < SpanLimit;
}

TRect ToDevice(HDC aDC, const TRect& aRect) {
  return aDC->ToDevice(aRect);
}

// The logical rectangle at (aX, aY) of the size, in device coordinates.
TRect DeviceBounds(HDC aDC, int aX, int aY, int aWidth, int aHeight) {
  const TPoint v = aDC->ViewportOrigin();
  const std::int64_t left = std::int64_t(aX) + v.X;
  const std::int64_t top = std::int64_t(aY) + v.Y;
  return DeviceContext::Limited(left, top, left + aWidth, top + aHeight);
}

// Calls aDraw(bitmap, piece) for every piece of the DC's clip that meets
// aDeviceRect, the piece in bitmap coordinates. Nothing is called without a
// bitmap or when nothing is visible.
template <class Draw>
void ForEachVisible(HDC aDC, const TRect& aDeviceRect, Draw&& aDraw) {
  Bitmap* bitmap = aDC->SelectedBitmap();
  if (!bitmap || bitmap->Empty() || aDeviceRect.IsEmpty())
    return;
  const Region& clip = aDC->Clip();
  if (clip.Bounds().Intersect(aDeviceRect).IsEmpty())
    return;
  const TPoint o = aDC->DeviceOrigin();
  for (const TRect& piece : clip.Rects()) {
    if (piece.Top >= aDeviceRect.Bottom)
      break;
    const TRect visible = piece.Intersect(aDeviceRect);
    if (!visible.IsEmpty())
      aDraw(*bitmap, visible.Offset(o.X, o.Y));
  }
}

void FillDevice(HDC aDC, const TRect& aDeviceRect, COLORREF aColor) {
  const std::uint32_t pixel = raster::PixelOf(ResolveColor(aColor));
  ForEachVisible(aDC, aDeviceRect, [&](Bitmap& aBitmap, const TRect& aPiece) {
    raster::Fill(aBitmap, aPiece, pixel);
  });
}

// A line in device coordinates with the DC's pen; the end point is left out.
void PenLine(HDC aDC, TPoint aFrom, TPoint aTo) {
  const Pen& pen = aDC->SelectedPen();
  if (pen.Style == PS_NULL)
    return;
  const int width = pen.Width;
  const int back = (width - 1) / 2;
  const TRect box{std::min(aFrom.X, aTo.X) - back, std::min(aFrom.Y, aTo.Y) - back,
                  std::max(aFrom.X, aTo.X) - back + width, std::max(aFrom.Y, aTo.Y) - back + width};
  const std::uint32_t pixel = raster::PixelOf(ResolveColor(pen.Color));
  const TPoint o = aDC->DeviceOrigin();
  const bool dotted = pen.Style == PS_DOT || pen.Style == PS_ALTERNATE;
  ForEachVisible(aDC, box, [&](Bitmap& aBitmap, const TRect& aPiece) {
    raster::Line(aBitmap, aPiece, {aFrom.X + o.X, aFrom.Y + o.Y}, {aTo.X + o.X, aTo.Y + o.Y}, pixel,
                 width, dotted);
  });
}

// The bitmap coordinates of a logical point of a DC.
TPoint ToBitmap(HDC aDC, int aX, int aY) {
  const TPoint device = aDC->ToDevice(TPoint{aX, aY});
  const TPoint o = aDC->DeviceOrigin();
  return {device.X + o.X, device.Y + o.Y};
}

// Blits from a source DC with a stretch or blend; a source that is the
// destination's own bitmap is first copied aside.
BOOL StretchFrom(HDC aDest, int aX, int aY, int aWidth, int aHeight, HDC aSrc, int aXSrc, int aYSrc,
                 int aWidthSrc, int aHeightSrc, raster::BlendMode aMode) {
  if (!aDest || !aSrc || aWidth < 0 || aHeight < 0 || aWidthSrc < 0 || aHeightSrc < 0)
    return false;
  const Bitmap* source = aSrc->SelectedBitmap();
  if (!source || aWidth == 0 || aHeight == 0 || aWidthSrc == 0 || aHeightSrc == 0)
    return true;
  const TPoint at = ToBitmap(aSrc, aXSrc, aYSrc);
  TRect sourceRect = DeviceContext::Limited(at.X, at.Y, std::int64_t(at.X) + aWidthSrc,
                                            std::int64_t(at.Y) + aHeightSrc);
  Bitmap aside;
  if (source == aDest->SelectedBitmap()) {
    const TRect used = sourceRect.Intersect(source->BoundsRect());
    if (used.IsEmpty())
      return true;
    if (!aside.SetSize(used.Width(), used.Height()))
      return false;
    raster::Copy(aside, aside.BoundsRect(), *source, {used.Left, used.Top});
    sourceRect = sourceRect.Offset(-used.Left, -used.Top);
    source = &aside;
  }
  const TRect deviceRect = DeviceBounds(aDest, aX, aY, aWidth, aHeight);
  const TPoint o = aDest->DeviceOrigin();
  const TRect destRect = deviceRect.Offset(o.X, o.Y);
  ForEachVisible(aDest, deviceRect, [&](Bitmap& aBitmap, const TRect& aPiece) {
    raster::Stretch(aBitmap, aPiece, destRect, *source, sourceRect, aMode);
  });
  return true;
}

} // namespace

int FillRect(HDC aDC, const RECT* aRect, HBRUSH aBrush) {
  if (!aDC || !aRect || !aBrush)
    return 0;
  if (aBrush->Style != BS_NULL)
    FillDevice(aDC, ToDevice(aDC, *aRect), aBrush->Color);
  return 1;
}

BOOL FillSolidRect(HDC aDC, const RECT* aRect, COLORREF aColor) {
  if (!aDC || !aRect)
    return false;
  FillDevice(aDC, ToDevice(aDC, *aRect), aColor);
  return true;
}

int FrameRect(HDC aDC, const RECT* aRect, HBRUSH aBrush) {
  if (!aDC || !aRect || !aBrush)
    return 0;
  if (aBrush->Style == BS_NULL || aRect->IsEmpty())
    return 1;
  const TRect r = ToDevice(aDC, *aRect);
  const Region frame =
      Region(r).Subtract(Region({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}));
  for (const TRect& piece : frame.Rects())
    FillDevice(aDC, piece, aBrush->Color);
  return 1;
}

BOOL Rectangle(HDC aDC, int aLeft, int aTop, int aRight, int aBottom) {
  if (!aDC)
    return false;
  const TRect r = ToDevice(aDC, {aLeft, aTop, aRight, aBottom});
  if (r.IsEmpty())
    return true;
  const Brush& brush = aDC->SelectedBrush();
  const bool outlined = aDC->SelectedPen().Style != PS_NULL;
  if (brush.Style != BS_NULL) {
    const TRect inside = outlined ? TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1} : r;
    FillDevice(aDC, inside, brush.Color);
  }
  if (outlined) {
    const TPoint corners[] = {
        {r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}};
    for (int i = 0; i < 4; ++i)
      PenLine(aDC, corners[i], corners[(i + 1) % 4]);
  }
  return true;
}

BOOL BitBlt(HDC aDest, int aX, int aY, int aWidth, int aHeight, HDC aSrc, int aXSrc, int aYSrc,
            DWORD aRop) {
  if (!aDest || !aSrc || aRop != SRCCOPY || aWidth < 0 || aHeight < 0)
    return false;
  const Bitmap* source = aSrc->SelectedBitmap();
  Bitmap* dest = aDest->SelectedBitmap();
  if (!source || !dest)
    return true;
  const TPoint from = ToBitmap(aSrc, aXSrc, aYSrc);
  const TPoint to = ToBitmap(aDest, aX, aY);
  // Source minus destination position, both in bitmap coordinates.
  const int dx = from.X - to.X;
  const int dy = from.Y - to.Y;
  const TPoint o = aDest->DeviceOrigin();
  const TRect sourceInDevice = source->BoundsRect().Offset(-dx - o.X, -dy - o.Y);
  const TRect deviceRect = DeviceBounds(aDest, aX, aY, aWidth, aHeight).Intersect(sourceInDevice);
  if (source == dest && aDest->Clip().Rects().size() > 1) {
    // Copying piece by piece within one bitmap could read pixels an earlier
    // piece has already overwritten, so the source is copied aside first.
    const TRect used = deviceRect.Offset(o.X + dx, o.Y + dy);
    if (used.IsEmpty())
      return true;
    Bitmap aside(used.Width(), used.Height());
    if (aside.Empty())
      return false;
    raster::Copy(aside, aside.BoundsRect(), *source, {used.Left, used.Top});
    ForEachVisible(aDest, deviceRect, [&](Bitmap& aBitmap, const TRect& aPiece) {
      raster::Copy(aBitmap, aPiece, aside,
                   {aPiece.Left + dx - used.Left, aPiece.Top + dy - used.Top});
    });
    return true;
  }
  ForEachVisible(aDest, deviceRect, [&](Bitmap& aBitmap, const TRect& aPiece) {
    raster::Copy(aBitmap, aPiece, *source, {aPiece.Left + dx, aPiece.Top + dy});
  });
  return true;
}

BOOL StretchBlt(HDC aDest, int aX, int aY, int aWidth, int aHeight, HDC aSrc, int aXSrc, int aYSrc,
                int aWidthSrc, int aHeightSrc, DWORD aRop) {
  if (aRop != SRCCOPY)
    return false;
  if (aWidth == aWidthSrc && aHeight == aHeightSrc)
    return BitBlt(aDest, aX, aY, aWidth, aHeight, aSrc, aXSrc, aYSrc, aRop);
  return StretchFrom(aDest, aX, aY, aWidth, aHeight, aSrc, aXSrc, aYSrc, aWidthSrc, aHeightSrc,
                     raster::BlendMode{});
}

BOOL AlphaBlend(HDC aDest, int aX, int aY, int aWidth, int aHeight, HDC aSrc, int aXSrc, int aYSrc,
                int aWidthSrc, int aHeightSrc, BLENDFUNCTION aBlend) {
  if (aBlend.BlendOp != AC_SRC_OVER || (aBlend.AlphaFormat & ~AC_SRC_ALPHA) != 0)
    return false;
  const raster::BlendMode mode{true, aBlend.SourceConstantAlpha,
                               (aBlend.AlphaFormat & AC_SRC_ALPHA) != 0};
  return StretchFrom(aDest, aX, aY, aWidth, aHeight, aSrc, aXSrc, aYSrc, aWidthSrc, aHeightSrc,
                     mode);
}

BOOL GradientFill(HDC aDC, const TRIVERTEX* aVertices, UINT aVertexCount, const void* aMesh,
                  UINT aMeshCount, UINT aMode) {
  if (!aDC || (!aVertices && aVertexCount > 0) || (!aMesh && aMeshCount > 0))
    return false;
  for (UINT i = 0; i < aVertexCount; ++i)
    if (!InLimit(aVertices[i].x) || !InLimit(aVertices[i].y))
      return false;
  const TPoint o = aDC->DeviceOrigin();
  auto vertex = [&](UINT aIndex) {
    const TRIVERTEX& t = aVertices[aIndex];
    const TPoint device = aDC->ToDevice(TPoint{int(t.x), int(t.y)});
    return raster::GradientVertex{device.X + o.X, device.Y + o.Y, t.Red, t.Green, t.Blue, t.Alpha};
  };
  if (aMode == GRADIENT_FILL_TRIANGLE) {
    const auto* triangles = static_cast<const GRADIENT_TRIANGLE*>(aMesh);
    for (UINT i = 0; i < aMeshCount; ++i)
      if (triangles[i].Vertex1 >= aVertexCount || triangles[i].Vertex2 >= aVertexCount ||
          triangles[i].Vertex3 >= aVertexCount)
        return false;
    for (UINT i = 0; i < aMeshCount; ++i) {
      const raster::GradientVertex corners[3] = {
          vertex(triangles[i].Vertex1), vertex(triangles[i].Vertex2), vertex(triangles[i].Vertex3)};
      const TRect box{std::min({corners[0].X, corners[1].X, corners[2].X}) - o.X,
                      std::min({corners[0].Y, corners[1].Y, corners[2].Y}) - o.Y,
                      std::max({corners[0].X, corners[1].X, corners[2].X}) + 1 - o.X,
                      std::max({corners[0].Y, corners[1].Y, corners[2].Y}) + 1 - o.Y};
      ForEachVisible(aDC, box, [&](Bitmap& aBitmap, const TRect& aPiece) {
        raster::GradientTriangle(aBitmap, aPiece, corners);
      });
    }
    return true;
  }
  if (aMode == GRADIENT_FILL_RECT_H || aMode == GRADIENT_FILL_RECT_V) {
    const auto* rects = static_cast<const GRADIENT_RECT*>(aMesh);
    for (UINT i = 0; i < aMeshCount; ++i)
      if (rects[i].UpperLeft >= aVertexCount || rects[i].LowerRight >= aVertexCount)
        return false;
    for (UINT i = 0; i < aMeshCount; ++i) {
      const raster::GradientVertex from = vertex(rects[i].UpperLeft);
      const raster::GradientVertex to = vertex(rects[i].LowerRight);
      const TRect rect{from.X, from.Y, to.X, to.Y};
      ForEachVisible(aDC, rect.Offset(-o.X, -o.Y), [&](Bitmap& aBitmap, const TRect& aPiece) {
        raster::GradientRect(aBitmap, aPiece, rect, from, to, aMode == GRADIENT_FILL_RECT_H);
      });
    }
    return true;
  }
  return false;
}

BOOL Polygon(HDC aDC, const POINT* aPoints, int aCount) {
  if (!aDC || !aPoints || aCount < 2)
    return false;
  std::vector<TPoint> points;
  TRect box;
  for (int i = 0; i < aCount; ++i) {
    if (!InLimit(aPoints[i].X) || !InLimit(aPoints[i].Y))
      return false;
    const TPoint p = aDC->ToDevice(aPoints[i]);
    points.push_back(p);
    box = box.Union({p.X, p.Y, p.X + 1, p.Y + 1});
  }
  const Brush& brush = aDC->SelectedBrush();
  if (brush.Style != BS_NULL) {
    const std::uint32_t pixel = raster::PixelOf(ResolveColor(brush.Color));
    const TPoint o = aDC->DeviceOrigin();
    std::vector<TPoint> inBitmap(points);
    for (TPoint& p : inBitmap)
      p = {p.X + o.X, p.Y + o.Y};
    ForEachVisible(aDC, box, [&](Bitmap& aBitmap, const TRect& aPiece) {
      raster::FillPolygon(aBitmap, aPiece, inBitmap, pixel);
    });
  }
  for (std::size_t i = 0; i < points.size(); ++i)
    PenLine(aDC, points[i], points[(i + 1) % points.size()]);
  return true;
}

BOOL MoveToEx(HDC aDC, int aX, int aY, POINT* aOld) {
  if (!aDC)
    return false;
  if (aOld)
    *aOld = aDC->Current().CurrentPosition;
  aDC->MutableState().CurrentPosition = {aX, aY};
  return true;
}

BOOL LineTo(HDC aDC, int aX, int aY) {
  if (!aDC)
    return false;
  const TPoint from = aDC->Current().CurrentPosition;
  if (!InLimit(from.X) || !InLimit(from.Y) || !InLimit(aX) || !InLimit(aY))
    return false;
  PenLine(aDC, aDC->ToDevice(from), aDC->ToDevice(TPoint{aX, aY}));
  aDC->MutableState().CurrentPosition = {aX, aY};
  return true;
}

BOOL DrawFocusRect(HDC aDC, const RECT* aRect) {
  if (!aDC || !aRect)
    return false;
  const TRect r = ToDevice(aDC, *aRect);
  const TPoint o = aDC->DeviceOrigin();
  const int parity = (r.Left + r.Top + o.X + o.Y) & 1;
  const Region frame =
      Region(r).Subtract(Region(TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1}));
  for (const TRect& side : frame.Rects())
    ForEachVisible(aDC, side, [&](Bitmap& aBitmap, const TRect& aPiece) {
      raster::InvertCheckered(aBitmap, aPiece, parity);
    });
  return true;
}

COLORREF SetPixel(HDC aDC, int aX, int aY, COLORREF aColor) {
  if (!aDC)
    return CLR_INVALID;
  const TPoint device = aDC->ToDevice(TPoint{aX, aY});
  if (!aDC->Clip().Contains(device))
    return CLR_INVALID;
  const COLORREF color = ResolveColor(aColor);
  FillDevice(aDC, Bounds(device.X, device.Y, 1, 1), color);
  return color;
}

COLORREF GetPixel(HDC aDC, int aX, int aY) {
  if (!aDC)
    return CLR_INVALID;
  if (!aDC->Clip().Contains(aDC->ToDevice(TPoint{aX, aY})))
    return CLR_INVALID;
  // The clip follows the bitmap's size at selection; a bitmap resized since
  // may no longer hold the pixel.
  const Bitmap* bitmap = aDC->SelectedBitmap();
  const TPoint at = ToBitmap(aDC, aX, aY);
  if (!bitmap || !bitmap->BoundsRect().Contains(at))
    return CLR_INVALID;
  return raster::ColorOf(bitmap->Pixel(at.X, at.Y));
}

void BlendCoverageMask(HDC aDC, int aX, int aY, const std::uint8_t* aMask, int aWidth, int aHeight,
                       std::ptrdiff_t aMaskStride, COLORREF aColor) {
  if (!aDC || !aMask || aWidth <= 0 || aHeight <= 0)
    return;
  const TPoint o = aDC->DeviceOrigin();
  const COLORREF color = ResolveColor(aColor);
  const TRect deviceRect =
      DeviceContext::Limited(aX, aY, std::int64_t(aX) + aWidth, std::int64_t(aY) + aHeight);
  ForEachVisible(aDC, deviceRect, [&](Bitmap& aBitmap, const TRect& aPiece) {
    raster::BlendMask(aBitmap, aPiece, {aX + o.X, aY + o.Y}, aMask, aWidth, aHeight, aMaskStride,
                      color);
  });
}

} // namespace platform
