#include "skin/paint/pixels/PixelOps.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "platform/gfx/SystemColors.h"

#include <algorithm>
#include <climits>

namespace {

std::uint32_t Channel(std::uint32_t aValue, int aShift) {
  return (aValue >> aShift) & 0xFF;
}

std::uint32_t Clamp255(double aValue) {
  return std::uint32_t(std::clamp(aValue, 0.0, 255.0));
}

// old * p / 100 + colour * (1 - p / 100) is n / 100 with n a whole number,
// so the rounding to nearest with ties to even is done exactly on n.
std::uint32_t MixPercent(std::uint32_t aOld, std::uint32_t aColor, int aPercent) {
  const long long percent = aPercent;
  const long long n = aOld * percent + aColor * (100 - percent);
  if (n <= 0)
    return 0;
  long long q = n / 100;
  const long long r = n % 100;
  if (r > 50 || (r == 50 && (q & 1)))
    ++q;
  return std::uint32_t(std::min(q, 255LL));
}

// One axis of BlendBitmapInto's clipping: a negative destination start moves
// the source start by as much, then a negative source start moves the
// destination start. The axes do not affect each other. Computed in 64 bits;
// a start moved beyond the int range lies outside any bitmap and is held at
// INT_MAX, so the caller draws nothing.
void ClipStart(int& aDst, int& aSrc) {
  std::int64_t dst = aDst, src = aSrc;
  if (dst < 0) {
    src -= dst;
    dst = 0;
  }
  if (src < 0) {
    dst -= src;
    src = 0;
  }
  aDst = int(std::min<std::int64_t>(dst, INT_MAX));
  aSrc = int(std::min<std::int64_t>(src, INT_MAX));
}

} // namespace

TColor ColorToRGB(TColor aColor) {
  return platform::ResolveColor(aColor);
}

platform::Bitmap CreateBitmap32(int aWidth, int aHeight) {
  return platform::Bitmap(aWidth, aHeight);
}

void FillRect32(platform::Bitmap& aBitmap, const TRect& aRect, TColor aColor, std::uint8_t aAlpha) {
  platform::raster::Fill(aBitmap, aRect, platform::raster::PixelOf(aColor, aAlpha));
}

void FillRectOnDC(platform::HDC aDC, const TRect& aRect, TColor aColor) {
  platform::FillSolidRect(aDC, &aRect, ColorToRGB(aColor));
}

TColor ColorMix(TColor aColorA, TColor aColorB, double aShare) {
  TColor result = aColorA & 0xFF000000u;
  for (int shift : {0, 8, 16})
    result |= Clamp255(Channel(aColorA, shift) * aShare + Channel(aColorB, shift) * (1.0 - aShare))
              << shift;
  return result;
}

void BlendColorIntoRect(platform::Bitmap& aBitmap, TInclusiveRect aRect, int aPercent,
                        TColor aColor) {
  if (aBitmap.Empty())
    return;
  const TPixel color = platform::raster::PixelOf(ColorToRGB(aColor));
  aRect.Left = std::max(aRect.Left, 0);
  aRect.Top = std::max(aRect.Top, 0);
  aRect.Right = std::min(aRect.Right, aBitmap.Width() - 1);
  aRect.Bottom = std::min(aRect.Bottom, aBitmap.Height() - 1);
  // Each channel's result depends only on its old value: one table per channel.
  std::uint32_t blue[256], green[256], red[256];
  for (std::uint32_t v = 0; v < 256; ++v) {
    blue[v] = MixPercent(v, Channel(color, 0), aPercent);
    green[v] = MixPercent(v, Channel(color, 8), aPercent) << 8;
    red[v] = MixPercent(v, Channel(color, 16), aPercent) << 16;
  }
  for (int y = aRect.Top; y <= aRect.Bottom; ++y) {
    TPixel* row = aBitmap.ScanLine(y);
    for (int x = aRect.Left; x <= aRect.Right; ++x) {
      const TPixel p = row[x];
      row[x] = (p & 0xFF000000u) | red[Channel(p, 16)] | green[Channel(p, 8)] | blue[p & 0xFF];
    }
  }
}

void BlendBitmapInto(platform::Bitmap& aDst, const platform::Bitmap& aSrc, int aWeight,
                     TPoint aDstPoint, TInclusiveRect aSrcRect) {
  ClipStart(aDstPoint.X, aSrcRect.Left);
  ClipStart(aDstPoint.Y, aSrcRect.Top);
  // The source rectangle counts as empty as an exclusive one would, although
  // its ranges are inclusive: one column or row alone is not blended.
  if (aSrcRect.Right <= aSrcRect.Left || aSrcRect.Bottom <= aSrcRect.Top ||
      !aDst.BoundsRect().Contains(aDstPoint) ||
      !aSrc.BoundsRect().Contains({aSrcRect.Left, aSrcRect.Top}))
    return;
  aSrcRect.Right =
      std::min({aSrcRect.Right, aSrc.Width() - 1, aSrcRect.Left + aDst.Width() - 1 - aDstPoint.X});
  aSrcRect.Bottom = std::min(
      {aSrcRect.Bottom, aSrc.Height() - 1, aSrcRect.Top + aDst.Height() - 1 - aDstPoint.Y});

  // Byte by byte in 16-bit arithmetic (each sum is at most 255 * 256), four
  // pixels at a time so that the compiler makes vector code of it. The fourth
  // byte of each pixel, the alpha, gets the weights 256 and 0 and so stays.
  const std::uint16_t weight = std::uint16_t(std::clamp(aWeight, 0, 255));
  const std::uint16_t inverse = std::uint16_t(256 - weight);
  std::uint16_t dstWeights[16], srcWeights[16];
  for (int k = 0; k < 16; ++k) {
    dstWeights[k] = (k & 3) == 3 ? 256 : weight;
    srcWeights[k] = (k & 3) == 3 ? 0 : inverse;
  }
  auto blend = [&](std::uint8_t* aDst, const std::uint8_t* aSrc, int aBytes) {
    for (int k = 0; k < aBytes; ++k)
      aDst[k] = std::uint8_t(std::uint16_t(aDst[k] * dstWeights[k] + aSrc[k] * srcWeights[k]) >> 8);
  };
  const int columns = aSrcRect.Right - aSrcRect.Left + 1;
  for (int y = aSrcRect.Top; y <= aSrcRect.Bottom; ++y) {
    const auto* src = reinterpret_cast<const std::uint8_t*>(aSrc.ScanLine(y) + aSrcRect.Left);
    auto* dst = reinterpret_cast<std::uint8_t*>(aDst.ScanLine(aDstPoint.Y + y - aSrcRect.Top) +
                                                aDstPoint.X);
    int x = 0;
    for (; x + 4 <= columns; x += 4, src += 16, dst += 16)
      blend(dst, src, 16);
    blend(dst, src, (columns - x) * 4);
  }
}

// Replaces each pixel of aRect inside the bitmap by aChange(pixel).
template <class TChange>
void ChangePixels(platform::Bitmap& aBitmap, const TRect& aRect, TChange aChange) {
  const TRect r = aRect.Intersect(aBitmap.BoundsRect());
  for (int y = r.Top; y < r.Bottom; ++y) {
    TPixel* row = aBitmap.ScanLine(y);
    for (int x = r.Left; x < r.Right; ++x)
      row[x] = aChange(row[x]);
  }
}

void PremultiplyAlpha(platform::Bitmap& aBitmap, const TRect& aRect) {
  // White with alpha 0 becomes 0 through the products as well.
  ChangePixels(aBitmap, aRect, [](TPixel p) {
    const std::uint32_t alpha = p >> 24;
    return (p & 0xFF000000u) | ((Channel(p, 16) * alpha >> 8) << 16) |
           ((Channel(p, 8) * alpha >> 8) << 8) | (Channel(p, 0) * alpha >> 8);
  });
}

void ClearTransparentWhite(platform::Bitmap& aBitmap, const TRect& aRect) {
  ChangePixels(aBitmap, aRect, [](TPixel p) { return p == 0x00FFFFFF ? 0 : p; });
}
