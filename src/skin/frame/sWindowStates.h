#pragma once
// How a frame provider follows the changes of its form's window state:
// activation with a cover over the frame while the platform repaints its own
// caption, resizing, the maximized size, moving with snapping, caption, icon
// and style changes, showing with the show animation, closing and hiding
// with the hide cover and animation, minimizing with the minimize animation,
// and printing. Desktop composition is always off on this platform, so only
// the paths without it exist. The provider's routing hands the messages here
// (Handle); everything runs on the user-interface thread, including the
// ticks of the hide and minimize animations (qcWindowAnimation).

#include "platform/gfx/Bitmap.h"
#include "platform/win/WinDefs.h"
#include "skin/frame/qcLayeredCover.h"
#include "toolkit/Messages.h"

#include <memory>

class TsSkinProvider;

class TsWindowStates {
public:
  explicit TsWindowStates(TsSkinProvider& aProvider);
  // Frees the covers and ends a minimize animation of the form silently.
  ~TsWindowStates();
  TsWindowStates(const TsWindowStates&) = delete;
  TsWindowStates& operator=(const TsWindowStates&) = delete;

  // Handles the messages of a skinned frame that change the window's state;
  // false for the others (and for system commands it leaves to the caller).
  bool Handle(TMessage& aMessage);

  // The cover over the frame while the platform handles activation or a
  // caption change; nothing when covering is not allowed now.
  void ShowCoverWindow();
  void HideCoverWindow();
  // The cover while it is up (tests look at it), else nullptr.
  const TqcLayeredCover* CoverWindow() const { return fCover.get(); }
  // The cover that keeps the form's last look while it is hidden.
  const TqcLayeredCover* HideCover() const { return fHideCover.get(); }

  // The form as it looks, frame from the cache, client area and child
  // windows printed, fully opaque; the size of the window.
  platform::Bitmap TakeFormSnapshot();

  // The client size at the last handled size change.
  const TRect& LastClientRect() const { return fLastClientRect; }

private:
  void WMNCActivate(TMessage& aMessage);
  void PassOnUnderCover(TMessage& aMessage);
  void FinishActivation(bool aActive);
  void WMSize(TMessage& aMessage);
  void InvalidateCornerTraces(TSize aClient);
  bool RepaintForNewSize(TSize aClient);
  void WMGetMinMaxInfo(TMessage& aMessage);
  void WMWindowPosChanging(TMessage& aMessage);
  void WMWindowPosChanged(TMessage& aMessage);
  void WMSetText(TMessage& aMessage);
  void WMSetIcon(TMessage& aMessage);
  void WMStyleChanged(TMessage& aMessage);
  void WMShowWindow(TMessage& aMessage);
  void CMShowingChanged(TMessage& aMessage);
  bool PrepareUnseen();
  void ShowPreparedForm(bool aMadeLayered);
  void KeepClientRect();
  void WMClose(TMessage& aMessage);
  bool WMSysCommand(TMessage& aMessage);
  void WMPrint(TMessage& aMessage);

  void ShowAnimation(int aTime, platform::BYTE aBlendValue, int aMode, platform::Bitmap aSource);
  void HideAnimation();
  void StartMinimizeAnimation();
  // A hidden cover with the window's current pixels, above all windows.
  std::unique_ptr<TqcLayeredCover> CreateHideCover();
  // The image of the frame cache with the corners cut out of the window made
  // transparent; empty without a cache.
  platform::Bitmap AnimationImage() const;

  platform::HWND Wnd() const;
  bool Showing() const;
  bool Destroying() const;
  bool HasParent() const;
  bool CacheFilled() const;
  bool HideAllowed() const;
  void PassOn(TMessage& aMessage);
  void OwnNCPaint();
  void SetChildrenRedraw(bool aOn);
  void MakeLayered(bool aLayered);

  TsSkinProvider& fProvider;
  std::unique_ptr<TqcLayeredCover> fCover;
  std::unique_ptr<TqcLayeredCover> fHideCover;
  platform::HWND fAnimatedWnd = nullptr; // the window a minimize animation runs for
  TRect fLastClientRect;
};
