#include "skin/controls/sButtonSkin.h"

#include "platform/gfx/Raster.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/Text.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowGeometry.h"
#include "skin/controls/sBitmapCanvas.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonPaint.h"
#include "skin/paint/sControlMessages.h"
#include "skin/paint/sCornerRefresh.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/sParentBg.h"

#include <algorithm>
#include <vector>

using namespace platform;

namespace {

int SectionStates(const TsCommonData& aSkinData) {
  const TsGeneralData* section = aSkinData.Section();
  return section != nullptr ? std::max(section->States, 1) : 1;
}

bool ShiftsContent(const TsCommonData& aSkinData) {
  const TsSkinManager* manager = aSkinData.SkinManager();
  return !aSkinData.Skinned() ||
         (manager != nullptr && manager->ButtonsOptions.ShiftContentOnClick);
}

} // namespace

TsButtonSkin::TsButtonSkin(TButton& aButton, TsCommonData& aSkinData, TsButtonEvents& aEvents)
    : fButton(aButton), fSkinData(aSkinData), fEvents(aEvents) {}

void TsButtonSkin::SetDown(bool aValue) {
  if (aValue == fDown)
    return;
  fDown = aValue;
  StartFade(TsAnimEvent::aeMouseDown);
}

bool TsButtonSkin::Skinned() const {
  return fSkinData.Skinned();
}

bool TsButtonSkin::TracksInput() const {
  return Skinned() && fButton.Enabled() && !fSkinData.OwnerDesigning();
}

bool TsButtonSkin::Hovers() const {
  const TsSkinManager* manager = fSkinData.SkinManager();
  return TracksInput() && manager != nullptr && !manager->Options.NoMouseHover();
}

TsButtonState TsButtonSkin::CurrentState() const {
  const TsSkinManager* manager = fSkinData.SkinManager();
  const bool noHover = manager != nullptr && manager->Options.NoMouseHover();
  if ((fButton.Pushed() || fForcingPressed) &&
      (fSkinData.MouseAbove() || !fMouseClicked || noHover))
    return bsPressed;
  if (fDown)
    return bsPressed;
  if (!fSkinData.OwnerDesigning() && fSkinData.ShowsHotState())
    return bsHot;
  if (fButton.IsActive())
    return bsDefault;
  return bsNormal;
}

TsButtonState TsButtonSkin::PaintedState() const {
  const int states = SectionStates(fSkinData);
  const TsButtonState state = CurrentState();
  // A default button on a section without a default state looks hot; a
  // state past the section's last paints as the last.
  if (state == bsDefault && states <= bsDefault)
    return TsButtonState(std::min<int>(bsHot, states - 1));
  return TsButtonState(std::min(int(state), states - 1));
}

TRect TsButtonSkin::CaptionRect() {
  TBitmapCanvas canvas(nullptr, fButton.Font().Handle());
  const int width = fButton.Width();
  const int height = fButton.Height();
  RECT text{fContentMargin, 0, width - fContentMargin, 0};
  DrawTextW(canvas.DC(), fButton.Caption(), &text,
            DT_CALCRECT | DT_CENTER | DT_EXPANDTABS |
                (fButton.WordWrap() ? DT_WORDBREAK : DT_SINGLELINE));
  TRect r;
  r.Left = (width - text.Width()) / 2 - 1;
  r.Right = r.Left + text.Width() + 2;
  r.Top = (height - text.Height()) / 2;
  r.Bottom = height - r.Top;
  if (CurrentState() == bsPressed && ShiftsContent(fSkinData))
    r = r.Offset(1, 1);
  return r;
}

bool TsButtonSkin::FocusFrameShown() const {
  const TsSkinManager* manager = fSkinData.SkinManager();
  return fButton.Focused() && manager != nullptr && manager->ButtonsOptions.ShowFocusRect &&
         fButton.Enabled() && !fButton.Caption().empty() && fShowFocus && Skinned();
}

TsButtonSkin::TLook TsButtonSkin::CurrentLook() const {
  return {PaintedState(), fButton.Enabled(), FocusFrameShown()};
}

void TsButtonSkin::DrawCaption(TsButtonState aState) {
  const TRect r = CaptionRect();
  {
    TBitmapCanvas canvas(fSkinData.CacheBmp(), fButton.Font().Handle());
    const UINT format = DT_CENTER | DT_VCENTER | DT_EXPANDTABS |
                        (fButton.WordWrap() ? DT_WORDBREAK : DT_SINGLELINE);
    // A disabled button writes as if enabled: the disabled look dims it all.
    WriteSkinnedText(canvas.DC(), fButton.Caption(), true, aState != bsNormal ? 1 : 0, fSkinData,
                     format, r);
  }
  if (FocusFrameShown())
    DrawFocusFrame(r);
}

void TsButtonSkin::DrawFocusFrame(const TRect& aCaption) {
  Bitmap& cache = *fSkinData.CacheBmp();
  TRect r{aCaption.Left - fFocusMargin - 1, aCaption.Top - fFocusMargin,
          aCaption.Right + fFocusMargin + 1, aCaption.Bottom + fFocusMargin};
  r.Top = std::max(r.Top, 3);
  r.Bottom = std::min(r.Bottom, fButton.Height() - 3);
  const int state = SectionStates(fSkinData) > bsHot ? bsHot : bsNormal;
  const std::uint32_t pixel =
      raster::PixelOf(ColorToRGB(TColor(fSkinData.Section()->Props[state].FontColor.Color)));
  auto dot = [&](int aX, int aY) {
    if ((aX - r.Left + aY - r.Top) % 2 == 0 && aX >= 0 && aY >= 0 && aX < cache.Width() &&
        aY < cache.Height())
      cache.SetPixel(aX, aY, pixel);
  };
  for (int x = r.Left; x < r.Right; ++x) {
    dot(x, r.Top);
    dot(x, r.Bottom - 1);
  }
  for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
    dot(r.Left, y);
    dot(r.Right - 1, y);
  }
}

bool TsButtonSkin::RebuildRegion(TsButtonState aState) {
  const TsMaskData* mask = fSkinData.BorderMask();
  if (!fRegionChanged || mask == nullptr || mask->CornerType != 2 || !fButton.HandleAllocated())
    return false;
  const int width = fButton.Width();
  const int height = fButton.Height();
  HRGN shape = CreateRectRgn(0, 0, width, height);
  std::vector<RECT> holes;
  ForEachTransparentCornerPixel(*mask, aState, AllCorners, width, height, [&holes](int aX, int aY) {
    holes.push_back({aX, aY, aX + 1, aY + 1});
  });
  if (!holes.empty()) {
    HRGN cut = CreateRectRgnList(holes.data(), int(holes.size()));
    CombineRgn(shape, shape, cut, RGN_DIFF);
    DeleteObject(cut);
  }
  SetWindowRgn(fButton.Handle(), shape, FALSE);
  fHasRegion = true;
  fRegionChanged = false;
  return true;
}

void TsButtonSkin::DropRegion() {
  fRegionChanged = true;
  if (!fHasRegion || !fButton.HandleAllocated())
    return;
  SetWindowRgn(fButton.Handle(), nullptr, TRUE);
  fHasRegion = false;
}

bool TsButtonSkin::PrepareCache() {
  TWinControl* parentControl = fButton.Parent();
  ParentBgInfo info;
  if (parentControl != nullptr)
    RequestParentBackground(parentControl, info, false);
  if (info.BgType == btNotReady) {
    fSkinData.SetUpdating(true);
    return false;
  }
  fSkinData.InitCacheBmp();
  Bitmap& cache = *fSkinData.CacheBmp();
  const TsButtonState state = PaintedState();
  TCacheInfo parent = parentControl != nullptr ? ParentBgToCacheInfo(info) : EmptyCacheInfo();
  const TPoint position{fButton.Left(), fButton.Top()};
  PaintCommonBackground(fSkinData, parent, state, &cache, position, cache.BoundsRect());
  if (const TsMaskData* mask = fSkinData.BorderMask()) {
    RebuildRegion(state);
    if (parent.Ready) {
      parent.X += position.X;
      parent.Y += position.Y;
    }
    PaintBorderMask(cache, cache.BoundsRect(), parent, true, state, *mask);
  }
  ApplyControlFilters(cache, fSkinData, state);
  DrawCaption(state);
  if (!fButton.Enabled())
    ApplyDisabledLook(cache, fSkinData, fDisabledKind);
  fCachedLook = CurrentLook();
  fSkinData.BGChanged = false;
  return true;
}

void TsButtonSkin::PaintFrame(HDC aDC) {
  // A running fade paints its own frames.
  if (fSkinData.CheckUpdating(false) || FadeRunning())
    return;
  if (TWinControl* parent = fButton.Parent()) {
    const bool parentHalf = SendSkinCommand(parent, scQueryHalfVisible) != 0;
    fSkinData.BGChanged = fSkinData.BGChanged || fSkinData.HalfVisible || parentHalf;
    const TRect area = parent->ClientRect();
    const TRect bounds = fButton.BoundsRect();
    fSkinData.HalfVisible = bounds.Left < area.Left || bounds.Top < area.Top ||
                            bounds.Right > area.Right || bounds.Bottom > area.Bottom;
  }
  if (!(CurrentLook() == fCachedLook))
    fSkinData.BGChanged = true;
  const TRect oldRect = fLastRect;
  const bool reshape = fRegionChanged && fSkinData.BorderMask() != nullptr &&
                       fSkinData.BorderMask()->CornerType == 2;
  if ((reshape || fSkinData.BGChanged || !fSkinData.CacheFilled()) && !PrepareCache())
    return;
  if (reshape) {
    fLastRect = fButton.BoundsRect();
    const TsMaskData& mask = *fSkinData.BorderMask();
    TWinControl* parent = fButton.Parent();
    if (parent != nullptr && parent->HandleAllocated()) {
      if (oldRect.Right > fLastRect.Right) {
        RECT strip{oldRect.Right - mask.WR, oldRect.Top, oldRect.Right, oldRect.Bottom};
        platform::InvalidateRect(parent->Handle(), &strip, TRUE);
      }
      if (oldRect.Bottom > fLastRect.Bottom) {
        RECT strip{oldRect.Left, oldRect.Bottom - mask.WB, oldRect.Right, oldRect.Bottom};
        platform::InvalidateRect(parent->Handle(), &strip, TRUE);
      }
    }
  }
  CopyCacheToDC(&fButton, fSkinData, fSkinData.CacheBmp()->BoundsRect(), {0, 0}, aDC,
                fButton.ClientRect());
  const bool pressed = fCachedLook.State == bsPressed;
  if (pressed && !fPressedShown)
    fPressedShownAt = fEvents.PressTiming.Now();
  fPressedShown = pressed;
}

void TsButtonSkin::EraseBackground(TMessage& aMessage) {
  aMessage.Result = 1;
  if (fSkinData.CacheBmp() == nullptr || fSkinData.CheckUpdating(false) || FadeRunning())
    return;
  if ((fSkinData.BGChanged || !(CurrentLook() == fCachedLook)) && !PrepareCache())
    return;
  CopyCacheToDC(&fButton, fSkinData, fSkinData.CacheBmp()->BoundsRect(), {0, 0},
                HDC(aMessage.WParam), fButton.ClientRect());
}

void TsButtonSkin::StartFade(TsAnimEvent aKind) {
  const bool half = aKind == TsAnimEvent::aeMouseDown || aKind == TsAnimEvent::aeMouseUp;
  ::StartFade(fFadeTimer, fSkinData, half, TFadeDirection::fdUp,
              ShouldAnimate(aKind, fEvents.AnimatEvents, fSkinData.SkinManager()));
}

void TsButtonSkin::StopFade() {
  ::StopFade(fFadeTimer);
}

void TsButtonSkin::HoldPressedLook() {
  if (!fButton.Pushed() || !fButton.HandleAllocated())
    return;
  if (FadeRunning()) {
    // The press has not fully faded in yet: it shows at once instead.
    StopFade();
    fSkinData.BGChanged = true;
    fPressedShown = false;
  }
  fForcingPressed = true;
  if (!fPressedShown) {
    fSkinData.BGChanged = true;
    RedrawWindow(fButton.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  if (fPressedShown) {
    const auto shown = std::chrono::duration_cast<std::chrono::milliseconds>(
        fEvents.PressTiming.Now() - fPressedShownAt);
    if (shown < MinPressedTime)
      fEvents.PressTiming.Sleep(MinPressedTime - shown);
  }
  fForcingPressed = false;
}

bool TsButtonSkin::SkinCommand(TMessage& aMessage) {
  const TSkinCommand command(aMessage);
  switch (command.Command) {
  case scStopFading:
    StopFade();
    fButton.Invalidate();
    return true;
  case scPrepareSkin:
  case scRemoveSkin:
  case scApplySkin:
    StopFade();
    if (!HandleControlMessage(fSkinData, aMessage))
      return false;
    DropRegion();
    if (fButton.HandleAllocated() &&
        (command.Command == scRemoveSkin ||
         (command.Command == scApplySkin && fSkinData.PrintDC == nullptr)))
      RedrawWindow(fButton.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return true;
  case scPrepareCache:
    aMessage.Result = Skinned() && PrepareCache() ? 1 : 0;
    return true;
  default:
    return false;
  }
}

bool TsButtonSkin::Before(TMessage& aMessage) {
  if (aMessage.Msg == SkinCommandMessage && SkinCommand(aMessage))
    return true;
  if (aMessage.Msg == CM_MOUSEENTER && Hovers() && fEvents.OnMouseEnter)
    fEvents.OnMouseEnter(&fButton);
  if (aMessage.Msg == CM_MOUSELEAVE && TracksInput() && fEvents.OnMouseLeave)
    fEvents.OnMouseLeave(&fButton);
  if (HandleControlMessage(fSkinData, aMessage))
    return true;
  if (!Skinned())
    return false;
  switch (aMessage.Msg) {
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = aMessage.WParam != 0 ? HDC(aMessage.WParam) : BeginPaint(fButton.Handle(), &ps);
    PaintFrame(dc);
    if (aMessage.WParam == 0)
      EndPaint(fButton.Handle(), &ps);
    aMessage.Result = 0;
    return true;
  }
  case WM_PRINTCLIENT:
    PaintFrame(HDC(aMessage.WParam));
    aMessage.Result = 0;
    return true;
  case WM_ERASEBKGND:
    EraseBackground(aMessage);
    return true;
  case WM_LBUTTONUP:
    // The click itself is the toolkit button's; the release's fade follows.
    if (fMouseClicked && TracksInput()) {
      HoldPressedLook();
      fMouseClicked = false;
      fReleasing = true;
    }
    return false;
  default:
    return false;
  }
}

void TsButtonSkin::After(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case CM_MOUSEENTER:
    if (Hovers())
      StartFade(TsAnimEvent::aeMouseEnter);
    break;
  case CM_MOUSELEAVE:
    if (TracksInput())
      StartFade(TsAnimEvent::aeMouseLeave);
    break;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    if (TracksInput()) {
      fSkinData.SetUpdating(false);
      fMouseClicked = true;
      if (!fDown) {
        fRegionChanged = true;
        StartFade(TsAnimEvent::aeMouseDown);
      }
    }
    break;
  case WM_LBUTTONUP:
    if (fReleasing) {
      fReleasing = false;
      fSkinData.SetUpdating(false);
      fRegionChanged = true;
      StartFade(TsAnimEvent::aeMouseUp);
    }
    break;
  case WM_KEYUP:
    if (aMessage.WParam == VK_SPACE && TracksInput()) {
      StopFade();
      fRegionChanged = true;
      fSkinData.BGChanged = true;
      fButton.Invalidate();
    }
    break;
  case WM_SIZE:
  case WM_MOVE:
    fRegionChanged = true;
    break;
  case WM_KILLFOCUS:
  case CM_ENABLEDCHANGED:
    StopFade();
    [[fallthrough]];
  case WM_SETFOCUS:
  case CM_TEXTCHANGED:
  case CM_FONTCHANGED:
    if (Skinned()) {
      fSkinData.BGChanged = true;
      fButton.Invalidate();
    }
    break;
  default:
    break;
  }
}
