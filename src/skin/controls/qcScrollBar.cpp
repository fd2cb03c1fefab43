#include "skin/controls/qcScrollBar.h"

#include "platform/gfx/SystemColors.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/Window.h"
#include "skin/controls/qcScrollTracking.h"
#include "skin/controls/qcScrollWnd.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/sSectionPaint.h"

#include <algorithm>

using namespace platform;

namespace {

// Share of the bar's own pixel in a disabled bar, in percent.
constexpr int DisabledBarPercent = 60;

const TqcScrollData* ScrollDataOf(const TqcScrollWnd& aWnd, bool aVertical) {
  auto* data = dynamic_cast<TsScrollWndData*>(&aWnd.SkinData());
  if (data == nullptr)
    return nullptr;
  return aVertical ? &data->VertScrollData() : &data->HorzScrollData();
}

// The skin's bar thickness, else the platform's.
int SkinThickness(const TsSkinManager* aManager) {
  if (aManager != nullptr && aManager->ScrollsOptions.ScrollSize >= 0)
    return aManager->ScrollsOptions.ScrollSize;
  return GetSystemMetrics(SM_CXVSCROLL);
}

// The piece [aFrom, aTo) of a bar image along its direction.
TRect Along(const Bitmap& aImage, bool aVertical, int aFrom, int aTo) {
  if (aVertical)
    return {0, aFrom, aImage.Width(), aTo};
  return {aFrom, 0, aTo, aImage.Height()};
}

} // namespace

void FillFromParent(Bitmap& aImage, const TCacheInfo& aParent, TPoint aOffset) {
  if (aParent.Bmp == nullptr || !aParent.Ready) {
    FillRect32(aImage, aImage.BoundsRect(), aParent.FillColor == KeyColor ? 0 : aParent.FillColor);
    return;
  }
  for (int y = 0; y < aImage.Height(); ++y)
    for (int x = 0; x < aImage.Width(); ++x) {
      const int px = aParent.X + aOffset.X + x, py = aParent.Y + aOffset.Y + y;
      if (px >= 0 && py >= 0 && px < aParent.Bmp->Width() && py < aParent.Bmp->Height())
        aImage.SetPixel(x, y, aParent.Bmp->Pixel(px, py));
    }
}

namespace {

// round(aOwn * aPercent / 100 + aBack * (100 - aPercent) / 100) per channel.
TPixel MixPixel(TPixel aOwn, TPixel aBack, int aPercent) {
  TPixel out = aOwn & 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int own = int((aOwn >> shift) & 0xFF), back = int((aBack >> shift) & 0xFF);
    out |= TPixel((own * aPercent + back * (100 - aPercent) + 50) / 100) << shift;
  }
  return out;
}

// A disabled bar shows its background through: 60 % bar, 40 % background.
void BlendDisabled(Bitmap& aImage, const TCacheInfo& aParent, TPoint aOffset, TColor aFallback) {
  if (aParent.Bmp == nullptr || !aParent.Ready) {
    const TColor back = aParent.FillColor != KeyColor ? aParent.FillColor : aFallback;
    BlendColorIntoRect(aImage, TInclusiveRect::Of(aImage.BoundsRect()), DisabledBarPercent, back);
    return;
  }
  Bitmap back = CreateBitmap32(aImage.Width(), aImage.Height());
  FillFromParent(back, aParent, aOffset);
  for (int y = 0; y < aImage.Height(); ++y)
    for (int x = 0; x < aImage.Width(); ++x)
      aImage.SetPixel(x, y, MixPixel(aImage.Pixel(x, y), back.Pixel(x, y), DisabledBarPercent));
}

// An arrow triangle pointing to aSide (asLeft, asTop, asRight, asBottom),
// centred in aR: rows (or columns) growing by two pixels, a quarter of the
// button's shorter side long.
void ArrowTriangle(Bitmap& aImage, const TRect& aR, int aSide, TColor aColor) {
  const int depth = std::max(1, std::min(aR.Width(), aR.Height()) / 4);
  const int cx = aR.Left + aR.Width() / 2, cy = aR.Top + aR.Height() / 2;
  for (int i = 0; i < depth; ++i) {
    // i = 0 is the tip.
    const int along = depth / 2 - i;
    TRect r;
    switch (aSide) {
    case asLeft:
      r = {cx - along, cy - i, cx - along + 1, cy + i + 1};
      break;
    case asRight:
      r = {cx + along, cy - i, cx + along + 1, cy + i + 1};
      break;
    case asTop:
      r = {cx - i, cy - along, cx + i + 1, cy - along + 1};
      break;
    default:
      r = {cx - i, cy + along, cx + i + 1, cy + along + 1};
      break;
    }
    FillRect32(aImage, r, ColorToRGB(aColor));
  }
}

// aState limited to the states of the element's section.
int ElementState(const TsSkinManager& aManager, const TqcConstElementData& aElement, int aState) {
  if (!aManager.IsValidSkinIndex(aElement.SkinIndex))
    return 0;
  return std::clamp(aState, 0,
                    std::max(aManager.gd[std::size_t(aElement.SkinIndex)].States - 1, 0));
}

// The texture of a constant element for a state.
int ElementTexture(const TqcConstElementData& aElement, int aState) {
  return aState > 0 && aElement.BGIndex[1] >= 0 ? aElement.BGIndex[1] : aElement.BGIndex[0];
}

} // namespace

TqcScrollBar::TqcScrollBar(TqcScrollWnd* aOwner, WORD aBarType) : nBarType(aBarType), sw(aOwner) {
  ScrollInfo.fMask = SIF_ALL;
}

void TqcScrollBar::ReadInfo() {
  ScrollInfo.cbSize = sizeof(SCROLLINFO);
  ScrollInfo.fMask = SIF_ALL;
  GetScrollInfo(sw->CtrlHandle(), BarCode(), &ScrollInfo);
}

int TqcScrollBar::Thickness() const {
  if (const TqcScrollData* own = ScrollDataOf(*sw, Vertical()); own && own->ScrollWidth() >= 0)
    return own->ScrollWidth();
  return SkinThickness(sw->SkinManager());
}

int TqcScrollBar::ArrowLength() const {
  if (const TqcScrollData* own = ScrollDataOf(*sw, Vertical()); own && own->ButtonsSize() >= 0)
    return own->ButtonsSize();
  const TsSkinManager* manager = sw->SkinManager();
  if (manager != nullptr && manager->ScrollsOptions.ButtonsSize >= 0)
    return manager->ScrollsOptions.ButtonsSize;
  if (nArrowLength >= 0)
    return nArrowLength;
  return SkinThickness(manager);
}

TRect TqcScrollBar::Rect() const {
  if (!fScrollVisible)
    return {};
  RECT window;
  GetWindowRect(sw->CtrlHandle(), &window);
  const int w = window.Width(), h = window.Height();
  const TqcScrollBar& other = Vertical() ? sw->sBarHorz : sw->sBarVert;
  const int across = other.fScrollVisible ? other.Thickness() : 0;
  const int t = Thickness();
  if (!Vertical()) {
    const int left = sw->cxLeftEdge + (sw->fLeftScrollbar ? across : 0);
    const int right = w - sw->cxRightEdge - (sw->fLeftScrollbar ? 0 : across);
    const int bottom = h - sw->cyBottomEdge;
    return {left, bottom - t, right, bottom};
  }
  const int top = sw->cyTopEdge;
  const int bottom = h - sw->cyBottomEdge - across;
  if (sw->fLeftScrollbar)
    return {sw->cxLeftEdge, top, sw->cxLeftEdge + t, bottom};
  return {w - sw->cxRightEdge - t, top, w - sw->cxRightEdge, bottom};
}

TqcScrollBarMetrics TqcScrollBar::Metrics() const {
  return {Rect(), Vertical(), ArrowLength(), nMinThumbSize};
}

TqcScrollGeometry TqcScrollBar::Geometry() const {
  return ComputeScrollGeometry(Metrics(), ScrollInfo);
}

TqcScrollPart TqcScrollBar::PartAt(TPoint aPoint) const {
  return HitScrollPart(Geometry(), aPoint);
}

bool TqcScrollBar::Enabled() const {
  if ((fScrollFlags & (sfFirstArrowOff | sfSecondArrowOff)) == (sfFirstArrowOff | sfSecondArrowOff))
    return false;
  if ((fScrollFlags & sfHideWhenNotNeeded) != 0) {
    const bool canScroll = ScrollInfo.nMax >= int(ScrollInfo.nPage) &&
                           ScrollInfo.nMin < ScrollInfo.nMax && ScrollInfo.nMax != 0;
    if (!canScroll)
      return false;
  }
  return IsWindowEnabled(sw->CtrlHandle()) != FALSE;
}

int TqcScrollBar::PartState(TqcScrollPart aPart) const {
  const TqcScrollTracking& t = ScrollTracking();
  const HWND wnd = sw->CtrlHandle();
  if (t.Pressed(wnd) && t.PressedBar == nBarType && t.PressedPart == aPart &&
      (aPart == spThumb || t.PartUnderMouse == aPart))
    return 2;
  if (t.Hovered(wnd) && t.HoverBar == nBarType && t.HotPart == aPart)
    return 1;
  return 0;
}

void TqcScrollBar::Paint(HDC aWindowDC, std::optional<TqcThumbOverride> aThumb) {
  const Bitmap image = Render(aThumb);
  if (!image.Empty())
    CopyBitmapToDC(aWindowDC, Rect(), image, {0, 0});
}

Bitmap TqcScrollBar::Render(std::optional<TqcThumbOverride> aThumb) {
  const TsSkinManager* manager = sw->SkinManager();
  if ((sw->fThumbTracking && !aThumb) || !fScrollVisible || manager == nullptr)
    return {};
  const TqcConstElementData& track =
      manager->ConstData.Scrolls[std::size_t(Vertical() ? asTop : asLeft)];
  if (!manager->IsValidSkinIndex(track.SkinIndex))
    return {};
  const TRect r = Rect();
  if ((Vertical() ? r.Height() : r.Width()) <= 1)
    return {};
  ReadInfo();
  Bitmap image = CreateBitmap32(r.Width(), r.Height());
  const TCacheInfo parent = sw->ParentBackground();
  const TPoint offset{sw->WndPos.X + r.Left, sw->WndPos.Y + r.Top};
  FillFromParent(image, parent, offset);
  PaintParts(image, parent, offset, aThumb);
  if (!Enabled())
    BlendDisabled(image, parent, offset, ColorToRGB(manager->GetGlobalColor()));
  return image;
}

void TqcScrollBar::PaintParts(Bitmap& aImage, const TCacheInfo& aParent, TPoint aOffset,
                              std::optional<TqcThumbOverride> aThumb) {
  const TsSkinManager& manager = *sw->SkinManager();
  const bool vertical = Vertical();
  const auto& scrolls = manager.ConstData.Scrolls;
  const TqcConstElementData& before = scrolls[std::size_t(vertical ? asTop : asLeft)];
  const TqcConstElementData& after = scrolls[std::size_t(vertical ? asBottom : asRight)];
  const int length = vertical ? aImage.Height() : aImage.Width();
  const int arrow = ArrowLength();
  const auto trackPiece = [&](const TqcConstElementData& aElement, const TRect& aR, int aState) {
    const int state = ElementState(manager, aElement, aState);
    PaintSectionWithTexture(&manager, aElement.SkinIndex, aElement.MaskIndex,
                            ElementTexture(aElement, state), &aImage, aOffset, aR, state, aParent);
  };
  const int firstSide = vertical ? asTop : asLeft, secondSide = vertical ? asBottom : asRight;
  if (2 * arrow >= length) {
    const int half = length / 2;
    trackPiece(before, Along(aImage, vertical, 0, half), 0);
    trackPiece(after, Along(aImage, vertical, half, length), 0);
    PaintArrow(aImage, Along(aImage, vertical, 0, half), firstSide, PartState(spFirstArrow),
               aParent, aOffset);
    PaintArrow(aImage, Along(aImage, vertical, length - half, length), secondSide,
               PartState(spSecondArrow), aParent, aOffset);
    return;
  }
  const TqcScrollBarMetrics local{aImage.BoundsRect(), vertical, arrow, nMinThumbSize};
  TqcScrollGeometry g = ComputeScrollGeometry(local, ScrollInfo);
  if (aThumb && !g.Thumb.IsEmpty()) {
    const int size = vertical ? g.Thumb.Height() : g.Thumb.Width();
    g.Thumb = Along(aImage, vertical, arrow + aThumb->Offset, arrow + aThumb->Offset + size);
  }
  const int centre = g.Thumb.IsEmpty() ? length / 2
                                       : (vertical ? (g.Thumb.Top + g.Thumb.Bottom) / 2
                                                   : (g.Thumb.Left + g.Thumb.Right) / 2);
  const bool dragging = aThumb.has_value();
  trackPiece(before, Along(aImage, vertical, 0, centre), dragging ? 0 : PartState(spPageBefore));
  trackPiece(after, Along(aImage, vertical, centre, length), dragging ? 0 : PartState(spPageAfter));
  PaintArrow(aImage, g.FirstArrow, firstSide, dragging ? 0 : PartState(spFirstArrow), aParent,
             aOffset);
  PaintArrow(aImage, g.SecondArrow, secondSide, dragging ? 0 : PartState(spSecondArrow), aParent,
             aOffset);
  if (g.Thumb.IsEmpty() || !Enabled())
    return;
  const TqcConstElementData& slider = manager.ConstData.Sliders[vertical ? 1 : 0];
  const int state = ElementState(manager, slider, dragging ? 2 : PartState(spThumb));
  PaintSectionWithTexture(&manager, slider.SkinIndex, slider.MaskIndex,
                          ElementTexture(slider, state), &aImage, aOffset, g.Thumb, state, aParent);
}

void TqcScrollBar::PaintArrow(Bitmap& aImage, const TRect& aR, int aSide, int aState,
                              const TCacheInfo& aParent, TPoint aOffset) {
  const TsSkinManager& manager = *sw->SkinManager();
  const TqcConstElementData& button = manager.ConstData.ScrollBtns[std::size_t(aSide)];
  if (!manager.IsValidSkinIndex(button.SkinIndex) || aR.IsEmpty())
    return;
  const TsGeneralData& section = manager.gd[std::size_t(button.SkinIndex)];
  const int state = ElementState(manager, button, aState);
  PaintSectionWithTexture(&manager, button.SkinIndex, button.MaskIndex,
                          ElementTexture(button, state), &aImage, aOffset, aR, state, aParent);
  if (manager.IsValidImgIndex(button.GlyphIndex)) {
    const TsMaskData& glyph = manager.ma[std::size_t(button.GlyphIndex)];
    const TPoint at{aR.Left + (aR.Width() - StateImageWidth(glyph)) / 2,
                    aR.Top + (aR.Height() - StateImageHeight(glyph)) / 2};
    PaintMaskGlyph(aImage, at, state, CacheInfoFromBitmap(&aImage, 0, 0), glyph, 1);
    return;
  }
  TRect r = aR;
  if (state == 2 && manager.ButtonsOptions.ShiftContentOnClick)
    r = r.Offset(1, 1);
  ArrowTriangle(aImage, r, aSide, TColor(section.Props[state > 0 ? 1 : 0].FontColor.Color));
}
