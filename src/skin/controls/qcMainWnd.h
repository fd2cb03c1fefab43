#pragma once
// Window adapters: objects that attach to one window, sit in front of its
// message handling and paint its non-client area from the skin. TqcMainWnd is
// the base of every adapter kind: attaching and detaching, the "QCSBSC"
// window property that finds the adapter of a window, handing messages on to
// the procedure it replaced, and the message handling all kinds share. A
// window owned by a toolkit control is attached in front of the control's
// WindowProc; a foreign window gets its platform procedure replaced.
// User-interface thread only.

#include "platform/Types.h"
#include "platform/win/WinDefs.h"
#include "skin/paint/sCacheInfo.h"
#include "toolkit/Control.h"
#include "toolkit/Messages.h"

#include <memory>
#include <string>

class TsCommonData;
class TsSkinManager;

// What an adapter is made with.
struct TqcSkinParams {
  TControl* Control = nullptr; // the toolkit control, or none for a foreign window
  std::string SkinSection;     // empty: keep the skin data's section
  bool UseSkinFontColor = true;
  bool UseSkinColor = true;
  // Scroll-bar thickness and arrow length; -1 takes the skin's.
  int VertScrollSize = -1;
  int VertScrollBtnSize = -1;
  int HorzScrollSize = -1;
  int HorzScrollBtnSize = -1;
};

// The window property that holds a window's adapter.
inline constexpr char kAdapterProp[] = "QCSBSC";

class TqcMainWnd {
public:
  virtual ~TqcMainWnd();
  TqcMainWnd(const TqcMainWnd&) = delete;
  TqcMainWnd& operator=(const TqcMainWnd&) = delete;

  // The adapter attached to aWnd, or nullptr.
  static TqcMainWnd* Of(platform::HWND aWnd);

  // The adapter's message handling; kinds extend it and call the base for
  // what they do not handle.
  virtual void qcWndProc(TMessage& aMessage);
  // Hands a message to the replaced procedure (0 when there is none).
  platform::LRESULT CallPrevWndProc(platform::HWND aWnd, platform::UINT aMsg,
                                    platform::WPARAM aWParam, platform::LPARAM aLParam);
  // Takes the adapter out of the window's message handling; Destroyed then
  // holds. Safe to call more than once.
  void Detach();

  // The window is gone or the adapter detached: the owner replaces it.
  bool Destroyed() const { return FDestroyed; }
  platform::HWND CtrlHandle() const { return FCtrlHandle; }
  TsCommonData& SkinData() const { return *FSkinData; }
  TsSkinManager* SkinManager() const;
  // The owner control (the skin data's), or nullptr for a foreign window.
  TControl* OwnerControl() const;

  void RefreshGeometry();
  // What the parent shows behind the window: its cache (X and Y its client
  // origin inside it; add WndPos) or its plain colour. aNotReady is set when
  // the parent's cache is being rebuilt; the answer is then empty.
  TCacheInfo ParentBackground(bool* aNotReady = nullptr);

  // The window's geometry, refreshed before painting (RefreshGeometry):
  // its size and its place in the parent's client area.
  TSize WndSize;
  TPoint WndPos;
  // No scroll-bar repaint during a scroll step.
  bool DontRepaint = false;
  // The skin's colours were applied to the control.
  bool ParamsChanged = false;
  // The control's own colours, restored when the adapter goes.
  TColor StdColor = 0;
  TColor StdFontColor = 0;

protected:
  // aOwnData is used when aSkinData is null; the adapter then owns it.
  TqcMainWnd(platform::HWND aHandle, TsCommonData* aSkinData, TsSkinManager* aManager,
             const TqcSkinParams& aParams, std::unique_ptr<TsCommonData> aOwnData);

  // Hands aMessage on, keeping the answer in its Result.
  void CallPrev(TMessage& aMessage);
  // The same; false when the adapter was freed meanwhile (the owner may
  // replace it while it handles the message): then touch nothing of it.
  bool CallPrevAlive(TMessage& aMessage);
  // Keep and restore the control's own colours; apply the skin's.
  virtual void SaveStdParams();
  virtual void RestoreStdParams();
  virtual void SetSkinParams();
  // Expires with the adapter.
  std::weak_ptr<int> LifeToken() const { return FLife; }
  // The adapter can paint: attached, with a skin data resolved against an
  // active skin.
  bool Skinned() const;
  // WM_DESTROY / WM_NCDESTROY: detach, then the window gets the message
  // again without the adapter.
  void HandleDestroy(TMessage& aMessage);
  // Skin commands every kind answers the same way; false for the others.
  bool HandleCommonSkinCommand(TMessage& aMessage);

private:
  void Subclass();

  platform::HWND FCtrlHandle = nullptr;
  TsSkinManager* FSkinManager = nullptr;
  TsCommonData* FSkinData = nullptr;
  std::unique_ptr<TsCommonData> FOwnSkinData;
  bool FDestroyed = false;
  // The replaced procedures: the owner control's WindowProc, or the
  // window's platform procedure with the one made in its place.
  TWndMethod FOldWndProc;
  TControl* FSubclassedControl = nullptr;
  platform::WNDPROC FOldProc = nullptr;
  platform::WNDPROC FNewWndProcInstance = nullptr;
  // Expires with the adapter (see CallPrevAlive).
  std::shared_ptr<int> FLife = std::make_shared<int>(0);
};
