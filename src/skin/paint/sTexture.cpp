#include "skin/paint/sTexture.h"

#include "platform/gfx/Raster.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sMaskPieces.h"

#include <algorithm>

namespace {

// aTile of aSrc repeated over aArea from its top-left corner, clipped to aClip.
void Tile(platform::Bitmap& aDst, const TRect& aArea, const TRect& aClip,
          const platform::Bitmap& aSrc, const TRect& aTile) {
  const TRect clip = aArea.Intersect(aClip).Intersect(aDst.BoundsRect());
  if (clip.IsEmpty() || aTile.IsEmpty())
    return;
  for (int y = aArea.Top; y < clip.Bottom; y += aTile.Height()) {
    if (y + aTile.Height() <= clip.Top)
      continue;
    for (int x = aArea.Left; x < clip.Right; x += aTile.Width()) {
      const TRect piece = Bounds(x, y, aTile.Width(), aTile.Height()).Intersect(clip);
      if (!piece.IsEmpty())
        platform::raster::Copy(aDst, piece, aSrc,
                               {aTile.Left + piece.Left - x, aTile.Top + piece.Top - y});
    }
  }
}

void Stretch(platform::Bitmap& aDst, const TRect& aArea, const TRect& aClip,
             const platform::Bitmap& aSrc, const TRect& aTile) {
  if (!aArea.IsEmpty() && !aTile.IsEmpty())
    platform::raster::Stretch(aDst, aArea.Intersect(aClip).Intersect(aDst.BoundsRect()), aArea,
                              aSrc, aTile, {});
}

// The rules for a key pixel of a masked texture: the parent's pixel, the
// parent's colour, or nothing.
struct TKeyRule {
  const TCacheInfo& Parent;
  bool FromParent;
  bool Fill;
  std::uint32_t FillPixel;
  explicit TKeyRule(const TCacheInfo& aParent)
      : Parent(aParent), FromParent(aParent.Ready && aParent.FillColor == KeyColor),
        Fill(aParent.FillColor != KeyColor),
        FillPixel(platform::raster::PixelOf(aParent.FillColor)) {}
  void Apply(std::uint32_t& aPixel, int aX, int aY) const {
    if (FromParent) {
      if (const std::uint32_t* p = ParentPixel(Parent, aX, aY))
        aPixel = *p;
    } else if (Fill) {
      aPixel = FillPixel;
    }
  }
};

// One masked tile (or its left part aWidth wide) at (aX, aY); its mask lies
// aMaskOffset rows below it.
void AlphaTile(platform::Bitmap& aDst, int aX, int aY, int aWidth, const platform::Bitmap& aSrc,
               const TRect& aTile, int aMaskOffset, const TKeyRule& aKeys) {
  const TRect dst =
      Bounds(aX, aY, std::min(aWidth, aTile.Width()), aTile.Height()).Intersect(aDst.BoundsRect());
  for (int y = dst.Top; y < dst.Bottom; ++y) {
    const std::uint32_t* image = aSrc.ScanLine(aTile.Top + y - aY) + aTile.Left - aX;
    const std::uint32_t* mask = image + std::ptrdiff_t(aMaskOffset) * aSrc.Width();
    std::uint32_t* row = aDst.ScanLine(y);
    for (int x = dst.Left; x < dst.Right; ++x) {
      if (image[x] == KeyPixel)
        aKeys.Apply(row[x], x, y);
      else
        row[x] = MixThroughMask(row[x], image[x], mask[x]);
    }
  }
}

// The parent's background over aArea: its pixels when Ready, else its colour.
void ParentBackground(platform::Bitmap& aDst, const TRect& aArea, const TCacheInfo& aParent) {
  if (aArea.IsEmpty())
    return;
  if (aParent.Ready) {
    if (aParent.Bmp)
      platform::raster::Copy(aDst, aArea, *aParent.Bmp,
                             {aParent.X + aArea.Left, aParent.Y + aArea.Top});
  } else if (aParent.FillColor != KeyColor) {
    FillRect32(aDst, aArea, aParent.FillColor);
  }
}

} // namespace

int DrawKindTable(int aDrawMode) {
  static constexpr int kinds[20] = {0,  1,  2,  3,  4,  5, 6, 7, 8, 9,
                                    10, 11, 12, 13, 14, 0, 1, 2, 3, 3};
  return aDrawMode >= 0 && aDrawMode < 20 ? kinds[aDrawMode] : -1;
}

void DrawTexture(platform::Bitmap& aTarget, TRect& aR, const platform::Bitmap* aImg, int aKind,
                 const TsMaskData* aMask) {
  if (aImg && !aImg->Empty()) {
    Tile(aTarget, aR, aR, *aImg, aImg->BoundsRect());
    aR = NoRect;
    return;
  }
  const platform::Bitmap* src = aMask ? MaskSource(*aMask) : nullptr;
  if (!src || aMask->R.IsEmpty())
    return;
  const TRect tile = aMask->R;
  const int w = tile.Width(), h = tile.Height();
  const TRect r = aR;
  switch (aKind) {
  case 0:
    Tile(aTarget, r, r, *src, tile);
    aR = NoRect;
    break;
  case 1:
    Stretch(aTarget, r, r, *src, tile);
    aR = NoRect;
    break;
  case 2:
    Tile(aTarget, {r.Left, r.Top, r.Right, r.Top + h}, r, *src, tile);
    aR.Top += h;
    break;
  case 3:
    Tile(aTarget, {r.Left, r.Top, r.Left + w, r.Bottom}, r, *src, tile);
    aR.Left += w;
    break;
  case 4:
    Stretch(aTarget, {r.Left, r.Top, r.Right, r.Top + h}, r, *src, tile);
    aR.Top += h;
    break;
  case 5:
    Stretch(aTarget, {r.Left, r.Top, r.Left + w, r.Bottom}, r, *src, tile);
    aR.Left += w;
    break;
  case 6:
    Tile(aTarget, {r.Left, r.Bottom - h, r.Right, r.Bottom}, r, *src, tile);
    aR.Bottom -= h;
    break;
  case 7:
    Tile(aTarget, {r.Right - w, r.Top, r.Right, r.Bottom}, r, *src, tile);
    aR.Right -= w;
    break;
  case 10:
    Tile(aTarget, r, {r.Left, r.Top, r.Right, r.Top + r.Height() / h * h}, *src, tile);
    aR = NoRect;
    break;
  default:
    break;
  }
}

void DrawAlphaTexture(platform::Bitmap& aBmp, TRect& aR, const TCacheInfo& aParent, int aKind,
                      const TsMaskData& aMask) {
  if ((aKind != 0 && aKind != 10) || !aMask.Manager)
    return;
  // The entry's own image when it has one; the tile and its mask rows must
  // lie inside the image they are read from.
  const platform::Bitmap* src = MaskSource(aMask);
  const int th = aMask.R.Height() / 2;
  if (!src || aMask.R.Left < 0 || aMask.R.Top < 0)
    return;
  const TRect tile{aMask.R.Left, aMask.R.Top,
                   std::min(aMask.R.Left + StateImageWidth(aMask), src->Width()),
                   std::min(aMask.R.Top + th, src->Height() - th)};
  if (tile.IsEmpty() || th <= 0)
    return;
  const int tw = tile.Width(), tileHeight = tile.Height();
  const TKeyRule keys(aParent);
  const TRect r = aR;
  int x = r.Left, yEnd = r.Top;
  for (; x < r.Right - tw; x += tw)
    for (int y = r.Top; y < r.Bottom - tileHeight; y += tileHeight)
      AlphaTile(aBmp, x, y, tw, *src, tile, th, keys);
  for (int y = r.Top; y < r.Bottom - tileHeight; y += tileHeight) {
    if (aKind == 0)
      AlphaTile(aBmp, x, y, r.Right - x, *src, tile, th, keys);
    yEnd = y + tileHeight;
  }
  if (aKind == 10) {
    ParentBackground(aBmp, {r.Left, yEnd, r.Right, r.Bottom}, aParent);
    ParentBackground(aBmp, {x, r.Top, r.Right, r.Bottom}, aParent);
  }
  aR = NoRect;
}
