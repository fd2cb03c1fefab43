#include "skin/paint/sSectionPaint.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sGradient.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/sMaskPieces.h"
#include "skin/paint/sTexture.h"

#include <algorithm>

namespace {

// The background of one state, as the layers need it.
struct TBackground {
  TColor C = 0;
  int T = 0, GP = 0, IP = 0;
  int Mask = -1;                        // texture entry
  int Pattern = -1;                     // separate pattern image
  const TsGenState* Gradient = nullptr; // when GP > 0
  TColor FinalFill = 0;                 // the fill when neither texture nor gradient has a share
};

bool CanPaint(const TsSkinManager* aManager, int aSkinIndex, const platform::Bitmap* aBmp,
              const TRect& aR) {
  return aManager && aBmp && aBmp->Width() >= aR.Right && aBmp->Height() >= aR.Bottom &&
         aR.Left >= 0 && aR.Top >= 0 && aManager->IsValidSkinIndex(aSkinIndex);
}

int ClampState(const TsGeneralData& aSection, int aState) {
  return std::clamp(aState, 0, std::max(aSection.States, 1) - 1);
}

TCacheInfo Shifted(TCacheInfo aInfo, int aDx, int aDy) {
  aInfo.X += aDx;
  aInfo.Y += aDy;
  return aInfo;
}

const TsMaskData* Entry(const TsSkinManager& aManager, int aIndex) {
  return aManager.IsValidImgIndex(aIndex) ? &aManager.ma[std::size_t(aIndex)] : nullptr;
}

void CopyFromParent(platform::Bitmap& aBmp, const TRect& aR, const TCacheInfo& aParent, int aX,
                    int aY) {
  if (aParent.Bmp && aParent.Bmp != &aBmp && !aR.IsEmpty())
    platform::raster::Copy(aBmp, aR, *aParent.Bmp, {aX, aY});
}

// Colour, texture and gradient, opaque, into aQ of aTarget.
void PaintOpaqueBackground(const TsSkinManager& aManager, platform::Bitmap& aTarget,
                           const TRect& aQ, const TBackground& aBg, const TCacheInfo& aParent,
                           bool aOnePass) {
  const TsMaskData* texture = Entry(aManager, aBg.Mask);
  const platform::Bitmap* pattern =
      !texture && aBg.Pattern >= 0 && aBg.Pattern < int(aManager.pa.size())
          ? aManager.pa[std::size_t(aBg.Pattern)].Img.get()
          : nullptr;
  const TsGradArray* gradient = aBg.Gradient ? &aBg.Gradient->GradientArray : nullptr;
  if (aOnePass && aBg.GP + aBg.IP == 100 && aBg.GP >= 1 && aBg.GP <= 99 && texture &&
      texture->DrawMode == 0 && gradient && !gradient->empty() &&
      (gradient->front().Mode1 == 0 || gradient->front().Mode1 == 1)) {
    if (const platform::Bitmap* src = MaskSource(*texture)) {
      FillGradientTextured(aTarget, aQ, *gradient, 255, std::uint8_t(aBg.IP * 255 / 100),
                           texture->R, *src);
      return;
    }
  }
  bool textured = false;
  if (aBg.IP > 0) {
    TRect rest = aQ;
    if (pattern) {
      DrawTexture(aTarget, rest, pattern, 0, nullptr);
      textured = true;
    } else if (texture) {
      const int kind = DrawKindTable(texture->DrawMode);
      if (texture->MaskType != 0)
        DrawAlphaTexture(aTarget, rest, aParent, kind, *texture);
      else
        DrawTexture(aTarget, rest, nullptr, kind, texture);
      textured = true;
    }
    if (rest.Right != -1)
      FillRect32(aTarget, rest, aBg.C);
  }
  if (aBg.GP > 0) {
    const bool hasGradient = aBg.Gradient && !aBg.Gradient->GradientData.empty();
    if (textured) {
      platform::Bitmap layer(aQ.Width(), aQ.Height());
      if (hasGradient)
        FillGradient(layer, layer.BoundsRect(), *gradient);
      else
        FillRect32(layer, layer.BoundsRect(), aBg.C);
      BlendBitmapInto(aTarget, layer, std::clamp(aBg.IP * 255 / 100, 0, 255), {aQ.Left, aQ.Top},
                      TInclusiveRect::Of(layer.BoundsRect()));
    } else if (hasGradient) {
      FillGradient(aTarget, aQ, *gradient);
    } else {
      FillRect32(aTarget, aQ, aBg.C);
    }
  }
  const int share = aBg.GP + aBg.IP;
  if (share >= 1 && share <= 99)
    BlendColorIntoRect(aTarget, TInclusiveRect::Of(aQ), share, aBg.C);
  else if (share == 0)
    FillRect32(aTarget, aQ, aBg.FinalFill);
}

// The opaque background painted aside and blended over the parent already
// in aR with the parent's share aWeight.
void BlendOverParent(const TsSkinManager& aManager, platform::Bitmap& aBmp, const TRect& aR,
                     const TBackground& aBg, const TCacheInfo& aParent, int aWeight,
                     bool aOnePass) {
  platform::Bitmap own(aR.Width(), aR.Height());
  PaintOpaqueBackground(aManager, own, own.BoundsRect(), aBg, Shifted(aParent, aR.Left, aR.Top),
                        aOnePass);
  BlendBitmapInto(aBmp, own, aWeight, {aR.Left, aR.Top}, TInclusiveRect::Of(own.BoundsRect()));
}

// A plain parent with border strips of its own: the strips behind aR are
// copied from its bitmap, the rest is its colour.
void ParentWithStrips(platform::Bitmap& aBmp, const TRect& aR, const TCacheInfo& aParent,
                      TPoint aOffset) {
  const platform::Bitmap& parent = *aParent.Bmp;
  const int w = aR.Width(), h = aR.Height();
  const int sx = aParent.X + aOffset.X, sy = aParent.Y + aOffset.Y;
  const TRect p{aOffset.X, aOffset.Y, aOffset.X + w, aOffset.Y + h};
  const TRect& strips = aParent.FillRect;
  int left = 0, top = 0, right = 0, bottom = 0;
  if (strips.Left - aParent.X > 0 && p.Left < strips.Left) {
    left = strips.Left - p.Left;
    CopyFromParent(aBmp, Bounds(aR.Left, aR.Top, left, h), aParent, sx, sy);
  }
  if (strips.Top - aParent.Y > 0 && p.Top < strips.Top) {
    top = strips.Top - p.Top;
    CopyFromParent(aBmp, Bounds(aR.Left, aR.Top, w, top), aParent, sx, sy);
  }
  const int rightEdge = parent.Width() - strips.Right;
  if (strips.Right > 0 && rightEdge < p.Right && p.Right < parent.Width()) {
    right = p.Right - rightEdge;
    CopyFromParent(aBmp, Bounds(aR.Right - right, aR.Top, right, h), aParent, rightEdge + aParent.X,
                   sy);
  }
  const int bottomEdge = parent.Height() - strips.Bottom;
  if (strips.Bottom > 0 && bottomEdge < p.Bottom && p.Bottom < parent.Height()) {
    bottom = p.Bottom - bottomEdge;
    CopyFromParent(aBmp, Bounds(aR.Left, aR.Bottom - bottom, w, bottom), aParent, sx,
                   aParent.Y + p.Bottom - bottom);
  }
  FillRect32(aBmp, {aR.Left + left, aR.Top + top, aR.Right - right, aR.Bottom - bottom},
             aParent.FillColor);
}

// The section's own masked texture once more over everything (DrawMode 10).
void PaintOverlayTexture(const TsSkinManager& aManager, const TsGeneralData& aSection, int aState,
                         int aTexture, int aHotTexture, platform::Bitmap& aBmp, const TRect& aR,
                         const TCacheInfo& aParent) {
  const int index =
      aState == 0 ? (aTexture < 0 ? aSection.Props[0].TextureIndex : aTexture) : aHotTexture;
  const TsMaskData* entry = Entry(aManager, index);
  if (entry && entry->MaskType > 0 && entry->DrawMode == 10) {
    TRect r = aR;
    DrawAlphaTexture(aBmp, r, aParent, 10, *entry);
  }
}

void PaintCorners(const TsSkinManager& aManager, const TsGeneralData& aSection, int aState,
                  platform::Bitmap& aBmp, const TRect& aR) {
  const TCacheInfo keep = CacheInfoFromBitmap(&aBmp, 0, 0);
  auto corner = [&](int aIndex, bool aRight, bool aBottom) {
    const TsMaskData* entry = Entry(aManager, aIndex);
    if (!entry)
      return;
    const int w = StateImageWidth(*entry), h = StateImageHeight(*entry);
    PaintMaskGlyph(aBmp, {aRight ? aR.Right - w : aR.Left, aBottom ? aR.Bottom - h : aR.Top},
                   aState, keep, *entry, 1);
  };
  corner(aSection.ImgTL, false, false);
  corner(aSection.ImgTR, true, false);
  corner(aSection.ImgBL, false, true);
  corner(aSection.ImgBR, true, true);
}

bool PaintBorder(const TsSkinManager& aManager, int aBorderIndex, int aState,
                 platform::Bitmap& aBmp, const TRect& aR, const TCacheInfo& aParent,
                 bool aParentCorners) {
  const TsMaskData* entry = Entry(aManager, aBorderIndex);
  if (!entry || (aState == 0 && (entry->DrawMode & 2)))
    return false;
  PaintBorderMask(aBmp, aR, aParent, aParentCorners, aState, *entry);
  return true;
}

bool HasParentInfo(const TCacheInfo& aParent) {
  return aParent.Ready || aParent.FillColor != KeyColor;
}

// The texture of the section's state s, else its pattern (a mask entry, or a
// separate image).
void ChooseTexture(const TsSkinManager& aManager, int aSkinIndex, const TsGeneralData& aSection,
                   int aTextureIndex, TBackground& aBg) {
  aBg.Mask = aTextureIndex;
  if (aBg.Mask < 0) {
    const int pattern = aManager.GetMaskIndex(aSkinIndex, aSection.ClassName, "PATTERN");
    aBg.Mask = pattern >= 0 && aManager.ma[std::size_t(pattern)].MaskType == 0 ? pattern : -1;
  }
  if (!aManager.IsValidImgIndex(aBg.Mask)) {
    aBg.Mask = -1;
    aBg.Pattern = aManager.GetPatternIndex(aSkinIndex, aSection.ClassName, "PATTERN");
  }
}

// What the section's state paints; a custom colour replaces all of it.
TBackground SectionBackground(const TsSkinManager& aManager, int aSkinIndex, int aState,
                              const TCacheInfo& aParentBg, int aTexture, int aHotTexture,
                              TColor aCustomColor) {
  const TsGeneralData& section = aManager.gd[std::size_t(aSkinIndex)];
  const TsGenState& props = section.Props[std::size_t(aState)];
  TBackground bg;
  bg.C = ColorToRGB(TColor(props.Color));
  bg.T = props.Transparency;
  if (bg.T != 100) {
    bg.IP = props.ImagePercent;
    bg.GP = props.GradientPercent;
  }
  if (bg.IP > 0) {
    const int argument = aState == 0 ? aTexture : aHotTexture;
    ChooseTexture(aManager, aSkinIndex, section, argument < 0 ? props.TextureIndex : argument, bg);
  }
  if (bg.GP > 0)
    bg.Gradient = &props;
  if (aCustomColor != KeyColor) {
    bg = TBackground{};
    bg.C = ColorToRGB(aCustomColor);
  }
  // Without parent information there is no parent colour to mix in: the
  // section's own colour is used (KeyColor would be no colour at all).
  bg.FinalFill = !aParentBg.Ready && bg.T != 0 && bg.T != 100 && aParentBg.FillColor != KeyColor
                     ? ColorMix(aParentBg.FillColor, bg.C, bg.T / 100.0)
                     : bg.C;
  return bg;
}

// Paints bg over what the parent shows behind aR.
void PaintOverParent(const TsSkinManager& aManager, platform::Bitmap& aBmp, const TRect& aR,
                     const TBackground& aBg, const TCacheInfo& aParentBg, TPoint aOffset) {
  const TCacheInfo parent = Shifted(aParentBg, aOffset.X, aOffset.Y);
  if (!HasParentInfo(aParentBg) || aBg.T == 0) {
    PaintOpaqueBackground(aManager, aBmp, aR, aBg, parent, true);
  } else if (aBg.T == 100) {
    if (aParentBg.Ready)
      CopyFromParent(aBmp, aR, aParentBg, parent.X, parent.Y);
    else if (aParentBg.Bmp)
      ParentWithStrips(aBmp, aR, aParentBg, aOffset);
    else
      FillRect32(aBmp, aR, aParentBg.FillColor);
  } else if (aParentBg.Ready || aBg.GP + aBg.IP > 0) {
    if (!aParentBg.Ready)
      FillRect32(aBmp, aR, aParentBg.FillColor);
    else
      CopyFromParent(aBmp, aR, aParentBg, parent.X, parent.Y);
    BlendOverParent(aManager, aBmp, aR, aBg, parent, TransparencyWeight(aBg.T), true);
  } else {
    FillRect32(aBmp, aR, aBg.FinalFill);
  }
}

} // namespace

int TransparencyWeight(int aPercent) {
  const int n = aPercent * 255;
  int q = n / 100;
  const int r = n % 100;
  if (r > 50 || (r == 50 && (q & 1)))
    ++q;
  return q;
}

void PaintSectionBackground(const TsSkinManager* aManager, int aSkinIndex,
                            const TCacheInfo& aParentBg, int aState, const TRect& aR,
                            TPoint aOffset, platform::Bitmap* aBmp, int aTexture, int aHotTexture,
                            TColor aCustomColor) {
  if (!CanPaint(aManager, aSkinIndex, aBmp, aR))
    return;
  const TsGeneralData& section = aManager->gd[std::size_t(aSkinIndex)];
  const int s = std::min(ClampState(section, aState), 1);
  const TBackground bg =
      SectionBackground(*aManager, aSkinIndex, s, aParentBg, aTexture, aHotTexture, aCustomColor);
  PaintOverParent(*aManager, *aBmp, aR, bg, aParentBg, aOffset);
  PaintOverlayTexture(*aManager, section, s, aTexture, aHotTexture, *aBmp, aR,
                      Shifted(aParentBg, aOffset.X, aOffset.Y));
}

TSectionPainted PaintSection(const TsSkinManager* aManager, int aSkinIndex, int aBorderIndex,
                             int aTexture, int aHotTexture, TColor aCustomColor,
                             const TCacheInfo& aParentBg, int aState, platform::Bitmap* aBmp,
                             TPoint aOffset, const TRect& aR, bool aParentCorners,
                             TLayerOrder aOrder) {
  TSectionPainted result;
  if (!CanPaint(aManager, aSkinIndex, aBmp, aR))
    return result;
  result.Painted = true;
  const TsGeneralData& section = aManager->gd[std::size_t(aSkinIndex)];
  const int state = ClampState(section, aState);
  PaintSectionBackground(aManager, aSkinIndex, aParentBg, state, aR, aOffset, aBmp, aTexture,
                         aHotTexture, aCustomColor);
  const TCacheInfo parent = Shifted(aParentBg, aOffset.X, aOffset.Y);
  if (aOrder == TLayerOrder::BorderThenCorners) {
    result.BorderDrawn =
        PaintBorder(*aManager, aBorderIndex, state, *aBmp, aR, parent, aParentCorners);
    PaintCorners(*aManager, section, state, *aBmp, aR);
  } else {
    PaintCorners(*aManager, section, state, *aBmp, aR);
    result.BorderDrawn =
        PaintBorder(*aManager, aBorderIndex, state, *aBmp, aR, parent, aParentCorners);
  }
  return result;
}

void PaintSectionByIndex(const TsSkinManager* aManager, int aSkinIndex, const TCacheInfo& aParentBg,
                         int aHotTexture, int aTexture, platform::Bitmap* aBmp, TPoint aOffset,
                         const TRect& aR, int aState) {
  if (aR.IsEmpty() || !CanPaint(aManager, aSkinIndex, aBmp, aR))
    return;
  PaintSection(aManager, aSkinIndex, aManager->gd[std::size_t(aSkinIndex)].BorderIndex, aTexture,
               aHotTexture, KeyColor, aParentBg, aState, aBmp, aOffset, aR, true,
               TLayerOrder::CornersThenBorder);
}

void PaintSectionToDC(const TsSkinManager* aManager, int aSkinIndex, const TCacheInfo& aParentBg,
                      platform::HDC aDC, TPoint aOffset, const TRect& aR, int aState) {
  if (aR.IsEmpty() || aR.Left < 0 || aR.Top < 0 || !aManager ||
      !aManager->IsValidSkinIndex(aSkinIndex))
    return;
  platform::Bitmap bmp(aR.Width(), aR.Height());
  PaintSectionByIndex(aManager, aSkinIndex, aParentBg, -1, -1, &bmp, aOffset, bmp.BoundsRect(),
                      aState);
  platform::HDC source = platform::CreateCompatibleDC(nullptr);
  platform::SelectObject(source, &bmp);
  platform::BitBlt(aDC, aR.Left, aR.Top, aR.Width(), aR.Height(), source, 0, 0, platform::SRCCOPY);
  platform::DeleteDC(source);
}

void PaintSectionWithTexture(const TsSkinManager* aManager, int aSkinIndex, int aBorderIndex,
                             int aTexture, platform::Bitmap* aBmp, TPoint aOffset, const TRect& aR,
                             int aState, const TCacheInfo& aParentBg) {
  if (!CanPaint(aManager, aSkinIndex, aBmp, aR))
    return;
  const TsGeneralData& section = aManager->gd[std::size_t(aSkinIndex)];
  const int state = ClampState(section, aState);
  const TsGenState& props = section.Props[aState > 0 ? 1 : 0];
  TBackground bg;
  bg.C = ColorToRGB(TColor(props.Color));
  bg.T = props.Transparency;
  bg.GP = props.GradientPercent;
  bg.IP = props.ImagePercent;
  bg.Mask = aTexture;
  if (bg.GP != 0)
    bg.Gradient = &props;
  // A parent without a colour of its own leaves the section's colour.
  bg.FinalFill = !aParentBg.Ready && bg.T == 100 && aParentBg.FillColor != KeyColor
                     ? aParentBg.FillColor
                     : bg.C;
  platform::Bitmap& bmp = *aBmp;
  const TCacheInfo parent = Shifted(aParentBg, aOffset.X, aOffset.Y);
  if (!aParentBg.Ready || bg.T == 0) {
    PaintOpaqueBackground(*aManager, bmp, aR, bg, parent, false);
  } else if (bg.T < 100) {
    CopyFromParent(bmp, aR, aParentBg, parent.X, parent.Y);
    BlendOverParent(*aManager, bmp, aR, bg, parent, bg.T * 255 / 100, false);
  } else {
    CopyFromParent(bmp, aR, aParentBg, parent.X, parent.Y);
  }
  PaintBorder(*aManager, aBorderIndex, state, bmp, aR, parent, true);
}
