#include "skin/paint/sMaskPaint.h"

#include "platform/gfx/Raster.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/sMaskPieces.h"

#include <algorithm>

namespace {

constexpr int DrawStretch = 1;
constexpr int DrawNotInState0 = 2;
constexpr int DrawCentre = 4;

// What one border is drawn with.
struct TBorderJob {
  platform::Bitmap& Dst;
  const platform::Bitmap& Src;
  const TCacheInfo& Parent;
  bool Masked;
  bool Stretch;
  bool UseParentCorners;
  int MaskOffset;
};

void Corner(const TBorderJob& aJob, const TRect& aSrc, TPoint aAt) {
  if (aSrc.IsEmpty())
    return;
  if (aJob.Masked)
    CopyMaskedPiece(aJob.Dst, aAt, aJob.Src, aSrc, aJob.MaskOffset, aJob.Parent,
                    aJob.UseParentCorners);
  else
    CopyKeyedPiece(aJob.Dst, aAt, aJob.Src, aSrc, aJob.Parent, aJob.UseParentCorners);
}

// A side or the centre: aSrc repeated over aSpan from its top-left corner
// (the last copies clipped to the span), or stretched over it.
void Span(const TBorderJob& aJob, const TRect& aSrc, const TRect& aSpan, bool aCentre) {
  if (aSrc.IsEmpty() || aSpan.IsEmpty())
    return;
  if (aJob.Stretch) {
    if (aJob.Masked)
      StretchMaskedPiece(aJob.Dst, aSpan, aJob.Src, aSrc, aJob.MaskOffset, aCentre);
    else
      platform::raster::Stretch(aJob.Dst, aSpan.Intersect(aJob.Dst.BoundsRect()), aSpan, aJob.Src,
                                aSrc, {});
    return;
  }
  for (int y = aSpan.Top; y < aSpan.Bottom; y += aSrc.Height())
    for (int x = aSpan.Left; x < aSpan.Right; x += aSrc.Width()) {
      const TRect piece{aSrc.Left, aSrc.Top, aSrc.Left + std::min(aSrc.Width(), aSpan.Right - x),
                        aSrc.Top + std::min(aSrc.Height(), aSpan.Bottom - y)};
      if (aJob.Masked)
        CopyMaskedPiece(aJob.Dst, {x, y}, aJob.Src, piece, aJob.MaskOffset, EmptyCacheInfo(),
                        false);
      else
        platform::raster::Copy(aJob.Dst, Bounds(x, y, piece.Width(), piece.Height()), aJob.Src,
                               {piece.Left, piece.Top});
    }
}

// Border widths with an excess (the rectangle is narrower than both) taken
// off both sides, the odd pixel off the far side.
void FitSides(int& aNear, int& aFar, int aExtent) {
  const int excess = aNear + aFar - aExtent;
  if (excess <= 0)
    return;
  aNear = std::max(0, aNear - excess / 2);
  aFar = std::max(0, aFar - excess / 2 - excess % 2);
}

// The destination pixels of a glyph piece at aAt (not left of or above the
// bitmap), with aSrcRect limited to aValid of the source.
TRect GlyphArea(const platform::Bitmap& aDst, TPoint aAt, const TRect& aSrcRect,
                const TRect& aValid) {
  const TRect src = aSrcRect.Intersect(aValid);
  return Bounds(aAt.X + src.Left - aSrcRect.Left, aAt.Y + src.Top - aSrcRect.Top, src.Width(),
                src.Height())
      .Intersect(aDst.BoundsRect());
}

// A glyph from an image with mask rows (MaskType 1 and above) one frame
// height below; mode 1 normal, any other faded (mask raised by 100). Key
// pixels and pixels masked out entirely are left.
void MaskedGlyph(platform::Bitmap& aDst, TPoint aAt, const platform::Bitmap& aSrc,
                 const TRect& aSrcRect, const TsMaskData& aMask, int aMode) {
  if (aMask.MaskType <= 0) {
    CopyKeyedPiece(aDst, aAt, aSrc, aSrcRect, CacheInfoFromBitmap(nullptr, 0, 0), false);
    return;
  }
  const int maskOffset = StateImageHeight(aMask);
  const TRect dst =
      GlyphArea(aDst, aAt, aSrcRect, {0, 0, aSrc.Width(), aSrc.Height() - maskOffset});
  for (int y = dst.Top; y < dst.Bottom; ++y) {
    const int sy = aSrcRect.Top + y - aAt.Y;
    const std::uint32_t* image = aSrc.ScanLine(sy);
    const std::uint32_t* mask = aSrc.ScanLine(sy + maskOffset);
    std::uint32_t* row = aDst.ScanLine(y);
    for (int x = dst.Left; x < dst.Right; ++x) {
      const int sx = aSrcRect.Left + x - aAt.X;
      std::uint32_t m = mask[sx];
      if (image[sx] == KeyPixel || ((m >> 16) & 0xFF) == 255)
        continue;
      if (aMode != 1) {
        std::uint32_t raised = 0;
        for (int shift : {0, 8, 16})
          raised |= std::min<std::uint32_t>(((m >> shift) & 0xFF) + 100, 255) << shift;
        m = raised;
      }
      // The coverage follows the mask as applied, so a faded glyph is also
      // less opaque.
      const std::uint32_t a = row[x] >> 24;
      const std::uint32_t alpha = a + (((255 - a) * (255 - ((m >> 16) & 0xFF))) >> 8);
      row[x] = (MixThroughMask(row[x], image[sx], m) & 0x00FFFFFFu) | (alpha << 24);
    }
  }
}

// Non-key pixels half over the destination: every byte trunc((s + d) / 2).
void HalfGlyph(platform::Bitmap& aDst, TPoint aAt, const platform::Bitmap& aSrc,
               const TRect& aSrcRect) {
  const TRect dst = GlyphArea(aDst, aAt, aSrcRect, aSrc.BoundsRect());
  for (int y = dst.Top; y < dst.Bottom; ++y) {
    const std::uint32_t* image = aSrc.ScanLine(aSrcRect.Top + y - aAt.Y);
    std::uint32_t* row = aDst.ScanLine(y);
    for (int x = dst.Left; x < dst.Right; ++x) {
      const std::uint32_t s = image[aSrcRect.Left + x - aAt.X];
      if (s == KeyPixel)
        continue;
      row[x] =
          ((s >> 1) & 0x7F7F7F7Fu) + ((row[x] >> 1) & 0x7F7F7F7Fu) + (s & row[x] & 0x01010101u);
    }
  }
}

} // namespace

int MaskFrame(const TsMaskData& aMask, int aState) {
  return std::max(0, std::min(aState, aMask.ImageCount - 1));
}

void PaintBorderMask(platform::Bitmap& aBmp, const TRect& aR, const TCacheInfo& aParent,
                     bool aParentCorners, int aState, const TsMaskData& aMask) {
  if ((aState == 0 && (aMask.DrawMode & DrawNotInState0)) || aR.Width() < 2 || aR.Height() < 2 ||
      !aMask.Manager)
    return;
  const platform::Bitmap* src = MaskSource(aMask);
  if (!src)
    return;
  const int W = aR.Width(), H = aR.Height();
  int l = aMask.WL, t = aMask.WT, r = aMask.WR, b = aMask.WB;
  FitSides(l, r, W);
  FitSides(t, b, H);
  const int fw = StateImageWidth(aMask), fh = StateImageHeight(aMask);
  const int mw = fw - l - r, mh = fh - t - b;
  if (mw < 0 || mh < 0)
    return;
  const int sx = aMask.R.Left + MaskFrame(aMask, aState) * fw, sy = aMask.R.Top;
  const TBorderJob job{aBmp,
                       *src,
                       aParent,
                       aMask.MaskType >= 1,
                       (aMask.DrawMode & DrawStretch) != 0,
                       aParentCorners && aMask.CornerType > 0,
                       aMask.R.Height() / 2};
  const int x0 = aR.Left, y0 = aR.Top;
  const int bottom = sy + fh - b, right = sx + l + mw;
  Corner(job, Bounds(sx, sy, l, t), {x0, y0});
  Span(job, Bounds(sx, sy + t, l, mh), {x0, y0 + t, x0 + l, y0 + H - b}, false);
  Span(job, Bounds(sx + l, sy, mw, t), {x0 + l, y0, x0 + W - r, y0 + t}, false);
  Corner(job, Bounds(sx, bottom, l, b), {x0, y0 + H - b});
  Span(job, Bounds(sx + l, bottom, mw, b), {x0 + l, y0 + H - b, x0 + W - r, y0 + H}, false);
  Corner(job, Bounds(right, bottom, r, b), {x0 + W - r, y0 + H - b});
  Corner(job, Bounds(right, sy, r, t), {x0 + W - r, y0});
  Span(job, Bounds(right, sy + t, r, mh), {x0 + W - r, y0 + t, x0 + W, y0 + H - b}, false);
  if (aMask.DrawMode & DrawCentre)
    Span(job, Bounds(sx + l, sy + t, mw, mh), {x0 + l, y0 + t, x0 + W - r, y0 + H - b}, true);
}

void PaintMaskGlyph(platform::Bitmap& aBmp, TPoint aP, int aState, const TCacheInfo& aParent,
                    const TsMaskData& aMask, int aMode) {
  const int fw = StateImageWidth(aMask), fh = StateImageHeight(aMask);
  if (fw <= 0 || fh <= 0 || aMask.ImageCount < 1)
    return;
  const int cutX = std::max(0, -aP.X), cutY = std::max(0, -aP.Y);
  const TRect src{aMask.R.Left + MaskFrame(aMask, aState) * fw + cutX, aMask.R.Top + cutY,
                  aMask.R.Left + MaskFrame(aMask, aState) * fw + fw, aMask.R.Top + fh};
  const TPoint at{aP.X + cutX, aP.Y + cutY};
  if (src.IsEmpty())
    return;
  if (aMask.Bmp) {
    if (aMask.Bmp->Width() < aMask.R.Right || aMask.Bmp->Height() < aMask.R.Bottom)
      return;
    MaskedGlyph(aBmp, at, *aMask.Bmp, src, aMask, aMode);
    return;
  }
  if (!aMask.Manager)
    return;
  const platform::Bitmap& master = *aMask.Manager->MasterBitmap;
  if (aMask.MaskType >= 1)
    MaskedGlyph(aBmp, at, master, src, aMask, aMode);
  else if (aMode == 1)
    CopyKeyedPiece(aBmp, at, master, src, aParent, true);
  else
    HalfGlyph(aBmp, at, master, src);
}
