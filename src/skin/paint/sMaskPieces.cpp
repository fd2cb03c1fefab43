#include "skin/paint/sMaskPieces.h"

#include "platform/gfx/Raster.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sResample.h"

#include <algorithm>
#include <vector>

namespace {

// A piece clipped to its source (image and mask rows) and to the target.
struct TClipped {
  int DstX = 0, DstY = 0, SrcX = 0, SrcY = 0, Width = 0, Height = 0;
};

bool ClipPiece(const platform::Bitmap& aDst, TPoint aDstAt, const platform::Bitmap& aSrc,
               TRect aSrcRect, int aMaskOffset, TClipped& aOut) {
  aSrcRect = aSrcRect.Intersect({0, 0, aSrc.Width(), aSrc.Height() - aMaskOffset});
  if (aSrcRect.IsEmpty())
    return false;
  int dx = aDstAt.X, dy = aDstAt.Y, sx = aSrcRect.Left, sy = aSrcRect.Top;
  int w = aSrcRect.Width(), h = aSrcRect.Height();
  if (dx < 0) {
    sx -= dx;
    w += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    h += dy;
    dy = 0;
  }
  w = std::min(w, aDst.Width() - dx);
  h = std::min(h, aDst.Height() - dy);
  if (w <= 0 || h <= 0)
    return false;
  aOut = {dx, dy, sx, sy, w, h};
  return true;
}

bool HasFill(const TCacheInfo& aParent) {
  return aParent.FillColor != KeyColor;
}

std::uint32_t FillPixel(const TCacheInfo& aParent) {
  return platform::raster::PixelOf(aParent.FillColor);
}

// Image and mask of a piece scaled to the span, row by row.
void ScalePiece(const platform::Bitmap& aSrc, const TRect& aRect, int aWidth, int aHeight,
                bool aResample, std::vector<std::uint32_t>& aOut) {
  if (aResample) {
    ResampleMitchell(aSrc, aRect, aWidth, aHeight, aOut);
    return;
  }
  aOut.resize(std::size_t(aWidth) * std::size_t(aHeight));
  const int sw = aRect.Width(), sh = aRect.Height();
  for (int y = 0; y < aHeight; ++y) {
    const std::uint32_t* row =
        aSrc.ScanLine(aRect.Top + int((2LL * y + 1) * sh / (2LL * aHeight))) + aRect.Left;
    for (int x = 0; x < aWidth; ++x)
      aOut[std::size_t(y) * std::size_t(aWidth) + std::size_t(x)] =
          row[(2LL * x + 1) * sw / (2LL * aWidth)];
  }
}

} // namespace

const platform::Bitmap* MaskSource(const TsMaskData& aMask) {
  if (aMask.Bmp)
    return aMask.Bmp.get();
  if (aMask.Manager)
    return aMask.Manager->MasterBitmap.get();
  return nullptr;
}

std::uint32_t MixThroughMask(std::uint32_t aDst, std::uint32_t aImage, std::uint32_t aMask) {
  std::uint32_t result = aDst & 0xFF000000u;
  for (int shift : {0, 8, 16}) {
    const std::uint32_t c = (aMask >> shift) & 0xFF;
    const std::uint32_t d = (aDst >> shift) & 0xFF;
    const std::uint32_t s = (aImage >> shift) & 0xFF;
    result |= ((d * c + s * (256 - c)) >> 8) << shift;
  }
  return result;
}

const std::uint32_t* ParentPixel(const TCacheInfo& aParent, int aX, int aY) {
  if (!aParent.Bmp)
    return nullptr;
  const long long x = (long long)aParent.X + aX, y = (long long)aParent.Y + aY;
  if (x < 0 || y < 0 || x >= aParent.Bmp->Width() || y >= aParent.Bmp->Height())
    return nullptr;
  return aParent.Bmp->ScanLine(int(y)) + x;
}

void CopyKeyedPiece(platform::Bitmap& aDst, TPoint aDstAt, const platform::Bitmap& aSrc,
                    TRect aSrcRect, const TCacheInfo& aParent, bool aUseParent) {
  TClipped c;
  if (!ClipPiece(aDst, aDstAt, aSrc, aSrcRect, 0, c))
    return;
  const bool fromParent = aUseParent && aParent.Ready && aParent.Bmp && aParent.Bmp != &aDst;
  const bool parentIsTarget = aUseParent && aParent.Ready && aParent.Bmp == &aDst;
  const bool fill = !aParent.Ready && HasFill(aParent);
  const std::uint32_t fillPixel = FillPixel(aParent);
  for (int y = 0; y < c.Height; ++y) {
    const std::uint32_t* src = aSrc.ScanLine(c.SrcY + y) + c.SrcX;
    std::uint32_t* dst = aDst.ScanLine(c.DstY + y) + c.DstX;
    for (int x = 0; x < c.Width; ++x) {
      if (src[x] != KeyPixel) {
        dst[x] = parentIsTarget ? (src[x] | 0xFF000000u) : src[x];
      } else if (fromParent) {
        if (const std::uint32_t* p = ParentPixel(aParent, c.DstX + x, c.DstY + y))
          dst[x] = *p;
      } else if (fill) {
        dst[x] = fillPixel;
      }
    }
  }
}

void CopyMaskedPiece(platform::Bitmap& aDst, TPoint aDstAt, const platform::Bitmap& aSrc,
                     TRect aSrcRect, int aMaskOffset, const TCacheInfo& aParent, bool aUseParent) {
  TClipped c;
  if (aMaskOffset < 0 || !ClipPiece(aDst, aDstAt, aSrc, aSrcRect, aMaskOffset, c))
    return;
  const bool fill = !aParent.Ready && aUseParent && HasFill(aParent);
  const std::uint32_t fillPixel = FillPixel(aParent);
  for (int y = 0; y < c.Height; ++y) {
    const std::uint32_t* src = aSrc.ScanLine(c.SrcY + y) + c.SrcX;
    const std::uint32_t* mask = aSrc.ScanLine(c.SrcY + y + aMaskOffset) + c.SrcX;
    std::uint32_t* dst = aDst.ScanLine(c.DstY + y) + c.DstX;
    for (int x = 0; x < c.Width; ++x) {
      if (src[x] == KeyPixel) {
        if (aParent.Ready && aUseParent) {
          if (aParent.Bmp != &aDst)
            if (const std::uint32_t* p = ParentPixel(aParent, c.DstX + x, c.DstY + y))
              dst[x] = *p;
          dst[x] |= 0xFF000000u;
          continue;
        }
        if (!aParent.Ready) {
          dst[x] = fill ? fillPixel : (dst[x] | 0xFF000000u);
          continue;
        }
      }
      dst[x] = MixThroughMask(dst[x], src[x], mask[x]) | 0xFF000000u;
    }
  }
}

void StretchMaskedPiece(platform::Bitmap& aDst, const TRect& aDstRect, const platform::Bitmap& aSrc,
                        const TRect& aSrcRect, int aMaskOffset, bool aCentre) {
  const int w = aDstRect.Width(), h = aDstRect.Height();
  if (w <= 0 || h <= 0 || aMaskOffset < 0 || aSrcRect.IsEmpty() || aSrcRect.Left < 0 ||
      aSrcRect.Top < 0 || aSrcRect.Right > aSrc.Width() ||
      aSrcRect.Bottom + aMaskOffset > aSrc.Height())
    return;
  const TRect visible = aDstRect.Intersect(aDst.BoundsRect());
  if (visible.IsEmpty())
    return;
  const int sw = aSrcRect.Width(), sh = aSrcRect.Height();
  if (sw == 1 && sh == 1 && !aCentre) {
    const std::uint32_t image = aSrc.Pixel(aSrcRect.Left, aSrcRect.Top);
    const std::uint32_t mask = aSrc.Pixel(aSrcRect.Left, aSrcRect.Top + aMaskOffset);
    const std::uint32_t c = (mask >> 16) & 0xFF;
    if (c == 255)
      return;
    for (int y = visible.Top; y < visible.Bottom; ++y) {
      std::uint32_t* row = aDst.ScanLine(y);
      for (int x = visible.Left; x < visible.Right; ++x)
        row[x] = c == 0 ? (image | 0xFF000000u)
                        : MixThroughMask(row[x], image, c | (c << 8) | (c << 16)) | 0xFF000000u;
    }
    return;
  }
  const bool shrinksOneWay = (w < sw && h == sh) || (h < sh && w == sw);
  const bool resample = (shrinksOneWay || aCentre) && w > 1 && h > 1;
  thread_local std::vector<std::uint32_t> image, mask;
  ScalePiece(aSrc, aSrcRect, w, h, resample, image);
  ScalePiece(aSrc, aSrcRect.Offset(0, aMaskOffset), w, h, resample, mask);
  for (int y = visible.Top; y < visible.Bottom; ++y) {
    std::uint32_t* row = aDst.ScanLine(y);
    const std::size_t line = std::size_t(y - aDstRect.Top) * std::size_t(w);
    for (int x = visible.Left; x < visible.Right; ++x) {
      const std::size_t i = line + std::size_t(x - aDstRect.Left);
      row[x] = MixThroughMask(row[x], image[i], mask[i]) | 0xFF000000u;
    }
  }
}
