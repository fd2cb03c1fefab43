#include "skin/controls/sButton.h"

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
#include "skin/paint/sControlCodes.h"
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

TsButton::TsButton(TComponent* aOwner)
    : TButton(aOwner), SkinData(static_cast<TControl*>(this), true) {
  SkinData.COC = cocButton;
  SetWordWrap(true);
}

void TsButton::AfterConstruction() {
  TButton::AfterConstruction();
  if (!ComponentState().Contains(csLoading))
    SkinData.Loaded();
}

void TsButton::Loaded() {
  TButton::Loaded();
  SkinData.Loaded();
}

void TsButton::SetDown(bool aValue) {
  if (aValue == fDown)
    return;
  fDown = aValue;
  StartFade(TsAnimEvent::aeMouseDown);
}

void TsButton::SetFocusMargin(int aValue) {
  fFocusMargin = aValue;
  SkinData.Invalidate(false);
}

void TsButton::SetDisabledKind(TsDisabledKinds aValue) {
  fDisabledKind = aValue;
  SkinData.Invalidate(false);
}

void TsButton::SetShowFocus(bool aValue) {
  fShowFocus = aValue;
  SkinData.Invalidate(false);
}

void TsButton::SetContentMargin(int aValue) {
  fContentMargin = aValue;
  SkinData.Invalidate(false);
}

bool TsButton::Skinned() const {
  return SkinData.Skinned();
}

bool TsButton::TracksInput() const {
  return Skinned() && Enabled() && !SkinData.OwnerDesigning();
}

int TsButton::CurrentState() const {
  const TsSkinManager* manager = SkinData.SkinManager();
  const bool noHover = manager != nullptr && manager->Options.NoMouseHover();
  if ((Pushed() || fForcingPressed) && (SkinData.MouseAbove() || !fMouseClicked || noHover))
    return 2;
  if (fDown)
    return 2;
  if (!SkinData.OwnerDesigning() && SkinData.ShowsHotState())
    return 1;
  if (IsActive())
    return 3;
  return 0;
}

int TsButton::PaintedState() const {
  const int states = SectionStates(SkinData);
  const int state = CurrentState();
  if (state == 3 && states < 4)
    return std::min(1, states - 1);
  return std::min(state, states - 1);
}

TRect TsButton::CaptionRect() {
  TBitmapCanvas canvas(nullptr, Font().Handle());
  RECT text{fContentMargin, 0, Width() - fContentMargin, 0};
  DrawTextW(canvas.DC(), Caption(), &text,
            DT_CALCRECT | DT_CENTER | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : DT_SINGLELINE));
  TRect r;
  r.Left = (Width() - text.Width()) / 2 - 1;
  r.Right = r.Left + text.Width() + 2;
  r.Top = (Height() - text.Height()) / 2;
  r.Bottom = Height() - r.Top;
  if (CurrentState() == 2 && ShiftsContent(SkinData))
    r = r.Offset(1, 1);
  return r;
}

bool TsButton::FocusFrameShown() const {
  const TsSkinManager* manager = SkinData.SkinManager();
  return Focused() && manager != nullptr && manager->ButtonsOptions.ShowFocusRect && Enabled() &&
         !Caption().empty() && fShowFocus && Skinned();
}

TsButton::TLook TsButton::CurrentLook() const {
  return {PaintedState(), Enabled(), FocusFrameShown()};
}

void TsButton::DrawCaption(int aState) {
  const TRect r = CaptionRect();
  {
    TBitmapCanvas canvas(SkinData.CacheBmp(), Font().Handle());
    const UINT format =
        DT_CENTER | DT_VCENTER | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : DT_SINGLELINE);
    // A disabled button writes as if enabled: the disabled look dims it all.
    WriteSkinnedText(canvas.DC(), Caption(), true, aState > 0 ? 1 : 0, SkinData, format, r);
  }
  if (FocusFrameShown())
    DrawFocusFrame(r);
}

void TsButton::DrawFocusFrame(const TRect& aCaption) {
  Bitmap& cache = *SkinData.CacheBmp();
  TRect r{aCaption.Left - fFocusMargin - 1, aCaption.Top - fFocusMargin,
          aCaption.Right + fFocusMargin + 1, aCaption.Bottom + fFocusMargin};
  r.Top = std::max(r.Top, 3);
  r.Bottom = std::min(r.Bottom, Height() - 3);
  const int state = SectionStates(SkinData) > 1 ? 1 : 0;
  const std::uint32_t pixel =
      raster::PixelOf(ColorToRGB(TColor(SkinData.Section()->Props[state].FontColor.Color)));
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

bool TsButton::RebuildRegion(int aState) {
  const TsMaskData* mask = SkinData.BorderMask();
  if (!fRegionChanged || mask == nullptr || mask->CornerType != 2 || !HandleAllocated())
    return false;
  HRGN shape = CreateRectRgn(0, 0, Width(), Height());
  std::vector<RECT> holes;
  ForEachTransparentCornerPixel(*mask, aState, AllCorners, Width(), Height(),
                                [&holes](int aX, int aY) {
                                  holes.push_back({aX, aY, aX + 1, aY + 1});
                                });
  if (!holes.empty()) {
    HRGN cut = CreateRectRgnList(holes.data(), int(holes.size()));
    CombineRgn(shape, shape, cut, RGN_DIFF);
    DeleteObject(cut);
  }
  SetWindowRgn(Handle(), shape, FALSE);
  fHasRegion = true;
  fRegionChanged = false;
  return true;
}

void TsButton::DropRegion() {
  fRegionChanged = true;
  if (!fHasRegion || !HandleAllocated())
    return;
  SetWindowRgn(Handle(), nullptr, TRUE);
  fHasRegion = false;
}

bool TsButton::PrepareCache() {
  ParentBgInfo info;
  if (Parent() != nullptr)
    RequestParentBackground(Parent(), info, false);
  if (info.BgType == btNotReady) {
    SkinData.SetUpdating(true);
    return false;
  }
  SkinData.InitCacheBmp();
  Bitmap& cache = *SkinData.CacheBmp();
  const int state = PaintedState();
  TCacheInfo parent = Parent() != nullptr ? ParentBgToCacheInfo(info) : EmptyCacheInfo();
  const TPoint position{Left(), Top()};
  PaintCommonBackground(SkinData, parent, state, &cache, position, cache.BoundsRect());
  if (const TsMaskData* mask = SkinData.BorderMask()) {
    RebuildRegion(state);
    if (parent.Ready) {
      parent.X += Left();
      parent.Y += Top();
    }
    PaintBorderMask(cache, cache.BoundsRect(), parent, true, state, *mask);
  }
  ApplyControlFilters(cache, SkinData, state);
  DrawCaption(state);
  if (!Enabled())
    ApplyDisabledLook(cache, SkinData, fDisabledKind);
  fCachedLook = CurrentLook();
  SkinData.BGChanged = false;
  return true;
}

void TsButton::PaintFrame(HDC aDC) {
  // A running fade paints its own frames.
  if (SkinData.CheckUpdating(false) || FadeRunning())
    return;
  if (TWinControl* parent = Parent()) {
    const bool parentHalf = SendSkinCommand(parent, scQueryHalfVisible) != 0;
    SkinData.BGChanged = SkinData.BGChanged || SkinData.HalfVisible || parentHalf;
    const TRect area = parent->ClientRect();
    const TRect bounds = BoundsRect();
    SkinData.HalfVisible = bounds.Left < area.Left || bounds.Top < area.Top ||
                           bounds.Right > area.Right || bounds.Bottom > area.Bottom;
  }
  if (!(CurrentLook() == fCachedLook))
    SkinData.BGChanged = true;
  const TRect oldRect = fLastRect;
  const bool reshape =
      fRegionChanged && SkinData.BorderMask() != nullptr && SkinData.BorderMask()->CornerType == 2;
  if ((reshape || SkinData.BGChanged || !SkinData.CacheFilled()) && !PrepareCache())
    return;
  if (reshape) {
    fLastRect = BoundsRect();
    const TsMaskData& mask = *SkinData.BorderMask();
    if (Parent() != nullptr && Parent()->HandleAllocated()) {
      if (oldRect.Right > fLastRect.Right) {
        RECT strip{oldRect.Right - mask.WR, oldRect.Top, oldRect.Right, oldRect.Bottom};
        platform::InvalidateRect(Parent()->Handle(), &strip, TRUE);
      }
      if (oldRect.Bottom > fLastRect.Bottom) {
        RECT strip{oldRect.Left, oldRect.Bottom - mask.WB, oldRect.Right, oldRect.Bottom};
        platform::InvalidateRect(Parent()->Handle(), &strip, TRUE);
      }
    }
  }
  CopyCacheToDC(this, SkinData, SkinData.CacheBmp()->BoundsRect(), {0, 0}, aDC, ClientRect());
  const bool pressed = fCachedLook.State == 2;
  if (pressed && !fPressedShown)
    fPressedShownAt = PressTiming.Now();
  fPressedShown = pressed;
}

void TsButton::EraseBackground(TMessage& aMessage) {
  aMessage.Result = 1;
  if (SkinData.CacheBmp() == nullptr || SkinData.CheckUpdating(false) || FadeRunning())
    return;
  if ((SkinData.BGChanged || !(CurrentLook() == fCachedLook)) && !PrepareCache())
    return;
  CopyCacheToDC(this, SkinData, SkinData.CacheBmp()->BoundsRect(), {0, 0}, HDC(aMessage.WParam),
                ClientRect());
}

void TsButton::StartFade(TsAnimEvent aKind) {
  const bool half = aKind == TsAnimEvent::aeMouseDown || aKind == TsAnimEvent::aeMouseUp;
  ::StartFade(fFadeTimer, SkinData, half, TFadeDirection::fdUp,
              ShouldAnimate(aKind, AnimatEvents, SkinData.SkinManager()));
}

void TsButton::StopFade() {
  ::StopFade(fFadeTimer);
}

void TsButton::HoldPressedLook() {
  if (!Pushed() || !HandleAllocated())
    return;
  if (FadeRunning()) {
    // The press has not fully faded in yet: it shows at once instead.
    StopFade();
    SkinData.BGChanged = true;
    fPressedShown = false;
  }
  fForcingPressed = true;
  if (!fPressedShown) {
    SkinData.BGChanged = true;
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  }
  if (fPressedShown) {
    const auto shown =
        std::chrono::duration_cast<std::chrono::milliseconds>(PressTiming.Now() - fPressedShownAt);
    if (shown < MinPressedTime)
      PressTiming.Sleep(MinPressedTime - shown);
  }
  fForcingPressed = false;
}

void TsButton::MouseReleased(TMessage& aMessage) {
  HoldPressedLook();
  fMouseClicked = false;
  TButton::WndProc(aMessage);
  if (ComponentState().Contains(csDestroying))
    return;
  SkinData.SetUpdating(false);
  fRegionChanged = true;
  StartFade(TsAnimEvent::aeMouseUp);
}

bool TsButton::SkinCommand(TMessage& aMessage) {
  const TSkinCommand command(aMessage);
  switch (command.Command) {
  case scStopFading:
    StopFade();
    Invalidate();
    return true;
  case scPrepareSkin:
  case scRemoveSkin:
  case scApplySkin:
    StopFade();
    if (!HandleControlMessage(SkinData, aMessage))
      return false;
    DropRegion();
    if (HandleAllocated() && (command.Command == scRemoveSkin ||
                              (command.Command == scApplySkin && SkinData.PrintDC == nullptr)))
      RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return true;
  case scPrepareCache:
    aMessage.Result = Skinned() && PrepareCache() ? 1 : 0;
    return true;
  default:
    return false;
  }
}

void TsButton::WndProc(TMessage& aMessage) {
  if (aMessage.Msg == SkinCommandMessage && SkinCommand(aMessage))
    return;
  const TsSkinManager* manager = SkinData.SkinManager();
  const bool hover = TracksInput() && manager != nullptr && !manager->Options.NoMouseHover();
  if (aMessage.Msg == CM_MOUSEENTER && hover && OnMouseEnter)
    OnMouseEnter(this);
  if (aMessage.Msg == CM_MOUSELEAVE && TracksInput() && OnMouseLeave)
    OnMouseLeave(this);
  if (HandleControlMessage(SkinData, aMessage))
    return;
  if (Skinned()) {
    switch (aMessage.Msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = aMessage.WParam != 0 ? HDC(aMessage.WParam) : BeginPaint(Handle(), &ps);
      PaintFrame(dc);
      if (aMessage.WParam == 0)
        EndPaint(Handle(), &ps);
      aMessage.Result = 0;
      return;
    }
    case WM_PRINTCLIENT:
      PaintFrame(HDC(aMessage.WParam));
      aMessage.Result = 0;
      return;
    case WM_ERASEBKGND:
      EraseBackground(aMessage);
      return;
    case WM_LBUTTONUP:
      if (fMouseClicked && TracksInput()) {
        MouseReleased(aMessage);
        return;
      }
      break;
    default:
      break;
    }
  }
  TButton::WndProc(aMessage);
  if (ComponentState().Contains(csDestroying))
    return;
  switch (aMessage.Msg) {
  case CM_MOUSEENTER:
    if (hover)
      StartFade(TsAnimEvent::aeMouseEnter);
    break;
  case CM_MOUSELEAVE:
    if (TracksInput())
      StartFade(TsAnimEvent::aeMouseLeave);
    break;
  case WM_LBUTTONDOWN:
  case WM_LBUTTONDBLCLK:
    if (TracksInput()) {
      SkinData.SetUpdating(false);
      fMouseClicked = true;
      if (!fDown) {
        fRegionChanged = true;
        StartFade(TsAnimEvent::aeMouseDown);
      }
    }
    break;
  case WM_KEYUP:
    if (aMessage.WParam == VK_SPACE && TracksInput()) {
      StopFade();
      fRegionChanged = true;
      SkinData.BGChanged = true;
      Invalidate();
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
      SkinData.BGChanged = true;
      Invalidate();
    }
    break;
  default:
    break;
  }
}
