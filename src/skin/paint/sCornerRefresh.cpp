#include "skin/paint/sCornerRefresh.h"

#include "platform/gfx/Raster.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/sMaskPieces.h"

void ForEachTransparentCornerPixel(const TsMaskData& aBorder, int aState, int aCorners, int aWidth,
                                   int aHeight, const std::function<void(int, int)>& aVisit) {
  const platform::Bitmap* src = MaskSource(aBorder);
  if (!src)
    return;
  const int fw = StateImageWidth(aBorder), fh = StateImageHeight(aBorder);
  const int sx = aBorder.R.Left + MaskFrame(aBorder, aState) * fw, sy = aBorder.R.Top;
  const int w = aWidth, h = aHeight;
  struct TCorner {
    int Bit, Width, Height, SrcX, SrcY, DstX, DstY;
  };
  const TCorner corners[4] = {
      {CornerTopLeft, aBorder.WL, aBorder.WT, sx, sy, 0, 0},
      {CornerBottomLeft, aBorder.WL, aBorder.WB, sx, sy + fh - aBorder.WB, 0, h - aBorder.WB},
      {CornerTopRight, aBorder.WR, aBorder.WT, sx + fw - aBorder.WR, sy, w - aBorder.WR, 0},
      {CornerBottomRight, aBorder.WR, aBorder.WB, sx + fw - aBorder.WR, sy + fh - aBorder.WB,
       w - aBorder.WR, h - aBorder.WB},
  };
  for (const TCorner& c : corners) {
    if (!(aCorners & c.Bit))
      continue;
    for (int y = 0; y < c.Height; ++y) {
      const int srcY = c.SrcY + y, dstY = c.DstY + y;
      if (srcY < 0 || srcY >= src->Height() || dstY < 0 || dstY >= h)
        continue;
      for (int x = 0; x < c.Width; ++x) {
        const int srcX = c.SrcX + x, dstX = c.DstX + x;
        if (srcX < 0 || srcX >= src->Width() || dstX < 0 || dstX >= w ||
            src->Pixel(srcX, srcY) != KeyPixel)
          continue;
        aVisit(dstX, dstY);
      }
    }
  }
}

void RefreshCornerPixels(const TsMaskData& aBorder, int aState, int aCorners,
                         platform::Bitmap& aCache, const TCacheInfo& aParent) {
  const bool fromParent = aParent.Ready && aParent.Bmp;
  const bool fill = !fromParent && aParent.FillColor != KeyColor;
  const std::uint32_t fillPixel = platform::raster::PixelOf(aParent.FillColor);
  ForEachTransparentCornerPixel(aBorder, aState, aCorners, aCache.Width(), aCache.Height(),
                                [&](int aX, int aY) {
                                  if (fromParent) {
                                    if (const std::uint32_t* p = ParentPixel(aParent, aX, aY))
                                      aCache.SetPixel(aX, aY, *p);
                                  } else if (fill) {
                                    aCache.SetPixel(aX, aY, fillPixel);
                                  }
                                });
}
