#include "skin/paint/sFade.h"

#include "platform/gfx/Raster.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/qcGlow.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonData.h"
#include "toolkit/Forms.h"

#include <map>

using namespace platform;

namespace {

int gLiveTimers = 0;

// The running fade timers by the id of their platform timer.
std::map<UINT_PTR, TsFadeTimer*>& RunningTimers() {
  static std::map<UINT_PTR, TsFadeTimer*> timers;
  return timers;
}

bool ApplicationTerminating() {
  return Application != nullptr && Application->Terminating();
}

} // namespace

bool TsFadeTimer::StopFading = false;

TRect TsFadeTarget::LookArea() const {
  const Bitmap* look = Look();
  return look != nullptr ? look->BoundsRect() : TRect{};
}

// ---- TsFadeTimer ----

TsFadeTimer::TsFadeTimer() {
  ++gLiveTimers;
}

TsFadeTimer::~TsFadeTimer() {
  SetEnabled(false);
  --gLiveTimers;
}

int TsFadeTimer::LiveCount() {
  return gLiveTimers;
}

UINT_PTR TsFadeTimer::StartPlatformTimer() {
  return SetTimer(nullptr, 0, IntervalMs, &TsFadeTimer::TimerProc);
}

void TsFadeTimer::SetEnabled(bool aValue) {
  if (aValue == fEnabled)
    return;
  if (aValue) {
    fTimerId = StartPlatformTimer();
    fEnabled = fTimerId != 0;
    if (fEnabled)
      RunningTimers()[fTimerId] = this;
  } else {
    fEnabled = false;
    KillTimer(nullptr, fTimerId);
    RunningTimers().erase(fTimerId);
    fTimerId = 0;
  }
}

void TsFadeTimer::SetDirection(TFadeDirection aDirection) {
  fDirection = aDirection;
  if (FadeLevel < 0)
    FadeLevel = 1;
  SetEnabled(aDirection != TFadeDirection::fdNone);
}

void TsFadeTimer::SetTarget(std::unique_ptr<TsFadeTarget> aTarget) {
  fTarget = std::move(aTarget);
  const Bitmap* look = fTarget->Look();
  const TRect area = fTarget->LookArea();
  // A fade cut short goes on from the frame on screen, not from the look it
  // was heading for.
  const bool cutShort = fEnabled && fFrameShown && fLastFrame.Width() == area.Width() &&
                        fLastFrame.Height() == area.Height();
  if (cutShort) {
    BmpFrom = fLastFrame;
  } else {
    BmpFrom = CreateBitmap32(area.Width(), area.Height());
    if (look != nullptr && !BmpFrom.Empty())
      raster::Copy(BmpFrom, BmpFrom.BoundsRect(), *look, {area.Left, area.Top});
  }
  fFrameShown = false;
  switch (fDirection) {
  case TFadeDirection::fdNone:
    Iterations = FullIterations;
    break;
  case TFadeDirection::fdUp:
    Iterations = FadeLevel;
    break;
  case TFadeDirection::fdDown:
    Iterations = FullIterations - FadeLevel;
    break;
  }
}

void TsFadeTimer::TimerProc(HWND, UINT, UINT_PTR aId, DWORD) {
  const auto found = RunningTimers().find(aId);
  if (found == RunningTimers().end())
    return;
  TsFadeTimer* timer = found->second;
  // A nested message loop inside a frame's painting may meet the tick again.
  if (timer->fTicking)
    return;
  timer->fTicking = true;
  timer->Tick();
  timer->fTicking = false;
  if (timer->fFreeAfterTick)
    delete timer;
}

void TsFadeTimer::Tick() {
  if (!fTarget)
    return;
  if (StopFading) {
    // Ends the fade, so that its owner frees the timer and whoever waits for
    // the live timers to go sees them go.
    SetEnabled(false);
    fTarget->FadeFinished();
    return;
  }
  if (ToEnd())
    return;
  if (fDirection != TFadeDirection::fdNone)
    Change();
}

bool TsFadeTimer::ToEnd() {
  if (fTarget->Gone() || ApplicationTerminating()) {
    SetDirection(TFadeDirection::fdNone);
    return false;
  }
  if (FadeLevel > Iterations || FadeLevel < 0) {
    SetEnabled(false);
    fTarget->FadeFinished();
    return true;
  }
  return false;
}

void TsFadeTimer::Change() {
  if (!fTarget || fTarget->Gone() || Iterations == 0 || StopFading)
    return;
  if (fTarget->Disabled()) {
    SetEnabled(false);
    Iterations = 0;
    fTarget->Repaint();
    return;
  }
  if (const Bitmap* look = fTarget->Look()) {
    const int alpha = FadeLevel * 255 / Iterations;
    fLastFrame = FadeFrame(BmpFrom, *look, fTarget->LookArea(), alpha);
    fFrameShown = true;
    fTarget->ShowFrame(fLastFrame, alpha);
  }
  ++FadeLevel;
}

// ---- frames, starting and stopping ----

Bitmap FadeFrame(const Bitmap& aOld, const Bitmap& aNew, const TRect& aArea, int aAlpha) {
  Bitmap frame = aOld;
  const bool fits = aOld.Width() == aArea.Width() && aOld.Height() == aArea.Height() &&
                    aArea.Left >= 0 && aArea.Top >= 0 && aArea.Right <= aNew.Width() &&
                    aArea.Bottom <= aNew.Height();
  // BlendBitmapInto weighs the destination by w and the source by 256 - w,
  // so w = 255 - a gives old * (255 - a) + new * (a + 1).
  if (fits && !frame.Empty())
    BlendBitmapInto(frame, aNew, 255 - aAlpha, {0, 0}, TInclusiveRect::Of(aArea));
  return frame;
}

void StartFade(std::unique_ptr<TsFadeTimer>& aTimer, std::unique_ptr<TsFadeTarget> aTarget,
               bool aHalf, TFadeDirection aDirection) {
  if (aTimer) {
    aTimer->FadeLevel = TsFadeTimer::FullIterations;
  } else {
    aTimer = std::make_unique<TsFadeTimer>();
    aTimer->FadeLevel = 1;
  }
  TsFadeTimer& timer = *aTimer;
  timer.SetTarget(std::move(aTarget));
  if (aHalf)
    timer.Iterations /= 2;
  if (timer.FadeLevel >= timer.Iterations || timer.FadeLevel <= 0)
    timer.FadeLevel = 1;
  timer.Target()->PrepareNewLook();
  timer.SetDirection(aDirection);
  if (aDirection != TFadeDirection::fdNone && !timer.Enabled()) {
    timer.Target()->Repaint();
    StopFade(aTimer);
  }
}

void StopFade(std::unique_ptr<TsFadeTimer>& aTimer) {
  if (!aTimer)
    return;
  aTimer->SetEnabled(false);
  if (aTimer->fTicking) {
    // The tick that asked for this is still running on this object: the
    // timer procedure frees it once the tick has returned.
    aTimer->fFreeAfterTick = true;
    static_cast<void>(aTimer.release());
    return;
  }
  aTimer.reset();
}

bool ShouldAnimate(TsAnimEvent aEvent, TsAnimEvents aControlEvents, const TsSkinManager* aManager) {
  if ((aControlEvents & AnimBit(aEvent)) != 0)
    return true;
  if ((aControlEvents & AnimBit(TsAnimEvent::aeGlobalDef)) == 0 || aManager == nullptr ||
      aEvent == TsAnimEvent::aeGlobalDef)
    return false;
  const auto& events = aManager->AnimEffects.Buttons.Events;
  switch (aEvent) {
  case TsAnimEvent::aeMouseEnter:
    return events.Contains(TqcButtonEvent::beMouseEnter);
  case TsAnimEvent::aeMouseLeave:
    return events.Contains(TqcButtonEvent::beMouseLeave);
  case TsAnimEvent::aeMouseDown:
    return events.Contains(TqcButtonEvent::beMouseDown);
  case TsAnimEvent::aeMouseUp:
    return events.Contains(TqcButtonEvent::beMouseUp);
  case TsAnimEvent::aeGlobalDef:
    break;
  }
  return false;
}

// ---- TsControlFadeTarget ----

const Bitmap* TsControlFadeTarget::Look() const {
  return fData.CacheBmp();
}

TRect TsControlFadeTarget::LookArea() const {
  return fArea ? *fArea : TsFadeTarget::LookArea();
}

void TsControlFadeTarget::PrepareNewLook() {
  SendSkinCommand(fData.OwnerControl(), scPrepareCache);
}

void TsControlFadeTarget::ShowFrame(const Bitmap& aFrame, int) {
  if (SendSkinCommand(fData.OwnerControl(), scFadeFrame, LPARAM(&aFrame)) != 0)
    return;
  const HWND window = fData.OwnerWindow();
  if (window == nullptr)
    return;
  const TRect area = LookArea();
  HDC dc = GetDC(window);
  CopyBitmapToDC(dc, {area.Left, area.Top, area.Left + aFrame.Width(), area.Top + aFrame.Height()},
                 aFrame, {0, 0});
  ReleaseDC(window, dc);
}

void TsControlFadeTarget::FadeFinished() {
  SendSkinCommand(fData.OwnerControl(), scStopFading);
}

bool TsControlFadeTarget::Gone() const {
  return fData.OwnerControl() == nullptr || fData.OwnerDestroying();
}

bool TsControlFadeTarget::Disabled() const {
  return !fData.OwnerControl()->Enabled();
}

void TsControlFadeTarget::Repaint() {
  fData.Invalidate(false);
}

void StartFade(std::unique_ptr<TsFadeTimer>& aTimer, TsCommonData& aData, bool aHalf,
               TFadeDirection aDirection, bool aAnimate, std::optional<TRect> aArea) {
  if (!aData.Skinned())
    return;
  if (aAnimate && !WindowAnimationRunning && !TsFadeTimer::StopFading && aData.CacheFilled() &&
      !aData.BGChanged) {
    aData.BGChanged = true;
    StartFade(aTimer, std::make_unique<TsControlFadeTarget>(aData, aArea), aHalf, aDirection);
  } else {
    StopFade(aTimer);
    aData.BGChanged = true;
    if (const HWND window = aData.OwnerWindow()) {
      RedrawWindow(window, aArea ? &*aArea : nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
  }
  aData.ShowGlowIfHot(aHalf);
}
