#pragma once
// TsFrameRunState: what a frame provider knows about its form while it runs,
// apart from its published properties: whether the frame is drawn active,
// the hot caption item, the deferred initialisation, the window region and
// its corner cut-outs, redraw suspensions, the show and hide animations and
// the transient states of the form. The provider owns one; the units that
// follow the window's state, the caption's mouse protocol and the frame
// painting change it through these operations only. User-interface thread
// only.

#include "platform/Types.h"

#include <algorithm>
#include <utility>
#include <vector>

class TsFrameRunState {
public:
  // The frame is drawn active (the window's last activation).
  bool Active() const { return fActive; }
  void SetActive(bool aActive) { fActive = aActive; }

  // The caption item under the mouse: a hit code, 0 for none, -1 after the
  // mouse left the frame.
  int HotItem() const { return fHotItem; }
  void SetHotItem(int aCode) { fHotItem = aCode; }

  // A provider made at run time initialises on its form's first real use.
  bool InitPending() const { return fInitPending; }
  void DeferInit() { fInitPending = true; }
  // True once, for the first use after DeferInit.
  bool TakeDeferredInit() { return std::exchange(fInitPending, false); }

  // The form's preparation for the current skin has run (system menu, style,
  // indexes); a skin removal undoes it.
  bool Prepared() const { return fPrepared; }
  void SetPrepared(bool aPrepared) { fPrepared = aPrepared; }

  // The window region no longer matches the frame.
  bool RegionStale() const { return fRegionStale; }
  void MarkRegionStale() { fRegionStale = true; }
  // The window is being given a new region: the position change that causes
  // is no move of the window.
  bool RegionChanging() const { return fRegionChanging; }
  void BeginRegionChange(std::vector<TRect> aCutouts) {
    fRegionChanging = true;
    fCutouts = std::move(aCutouts);
    fRegionStale = false;
  }
  void EndRegionChange() { fRegionChanging = false; }
  // The window has no region of the frame's any more.
  void ForgetRegion() {
    fCutouts.clear();
    fRegionStale = true;
  }
  // The corner parts cut out of the window by its region.
  const std::vector<TRect>& Cutouts() const { return fCutouts; }

  // Redrawing switched off (WM_SETREDRAW) more often than on.
  bool RedrawSuspended() const { return fLockCount > 0; }
  void SuspendRedraw() { ++fLockCount; }
  void ResumeRedraw() { fLockCount = std::max(0, fLockCount - 1); }

  // Showing the form: with the show animation it is prepared unseen until
  // its finished look is taken, then the animation runs.
  void BeginShow(bool aAnimated) {
    fPreparingShow = aAnimated;
    fShowAnimating = aAnimated;
  }
  // The finished look is taken; the animation takes over.
  void ShowPrepared() { fPreparingShow = false; }
  void EndShow() {
    fPreparingShow = false;
    fShowAnimating = false;
  }
  // The form is being prepared for the show animation and paints nothing.
  bool PreparingShow() const { return fPreparingShow; }
  // The show animation of the form runs.
  bool ShowAnimating() const { return fShowAnimating; }

  // The hide animation is not to run (again) until the form is shown anew.
  bool HideSkipped() const { return fHideSkipped; }
  void SetHideSkipped(bool aSkipped) { fHideSkipped = aSkipped; }

  // The minimize animation runs.
  bool Minimizing() const { return (fFormState & fsMinimizing) != 0; }
  void SetMinimizing(bool aOn) { SetBit(fsMinimizing, aOn); }
  // The hide cover keeps the form's last look on screen.
  bool HideCoverUp() const { return (fFormState & fsHideCover) != 0; }
  void SetHideCoverUp(bool aOn) { SetBit(fsHideCover, aOn); }
  // Re-entry guard while the form's own scroll-bar adapter is made.
  bool CreatingScrollAdapter() const { return (fFormState & fsCreatingScrollAdapter) != 0; }
  void SetCreatingScrollAdapter(bool aOn) { SetBit(fsCreatingScrollAdapter, aOn); }
  // A transient state that keeps the caption buttons from fading.
  bool InTransientState() const { return (fFormState & (fsMinimizing | fsHideCover)) != 0; }
  // A form shown again has no hide cover and no minimize animation left.
  void Shown() { fFormState &= ~(fsMinimizing | fsHideCover); }

private:
  static constexpr unsigned fsMinimizing = 0x0100;
  static constexpr unsigned fsHideCover = 0x0200;
  static constexpr unsigned fsCreatingScrollAdapter = 0x20000;

  void SetBit(unsigned aBit, bool aOn) {
    fFormState = aOn ? fFormState | aBit : fFormState & ~aBit;
  }

  bool fActive = true;
  int fHotItem = 0;
  bool fInitPending = false;
  bool fPrepared = false;
  bool fRegionStale = true;
  bool fRegionChanging = false;
  std::vector<TRect> fCutouts;
  int fLockCount = 0;
  bool fPreparingShow = false;
  bool fShowAnimating = false;
  bool fHideSkipped = false;
  unsigned fFormState = 0;
};
