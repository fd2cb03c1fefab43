#pragma once
// Windowed controls: a platform window made on demand and registered under
// the component's class name, children laid out by alignment and anchors,
// tab order and keyboard focus. Every message of the window goes through
// the control's WindowProc; what it does not handle reaches the default
// handler, which calls the procedure the window had before (the class's own,
// or the standard class the control is built on).
// Runs on the user-interface thread.

#include "platform/gfx/DeviceContext.h"
#include "platform/win/WinDefs.h"
#include "platform/win/Window.h"
#include "toolkit/Control.h"

#include <functional>
#include <string>
#include <vector>

// What a control asks of the platform when its window is made.
struct TCreateParams {
  std::string Caption;
  platform::DWORD Style = 0;
  platform::DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  platform::HWND WndParent = nullptr;
  // The class registered under WinClassName; its procedure is the one the
  // default handler calls (a standard class's, when subclassing one).
  platform::WNDCLASSEXW WindowClass;
  std::string WinClassName;
};

// Called inside the window procedure when a handler raised; the application
// object installs the top-level handler here. Nothing escapes into the
// platform's message dispatch.
using TExceptionHandler = std::function<void()>;
void SetToolkitExceptionHandler(TExceptionHandler aHandler);
// Runs the installed handler for the exception being handled (call it inside
// a catch block); without one the exception is dropped.
void HandleToolkitException();

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* aOwner);
  ~TWinControl() override;

  std::string ClassName() const override { return "TWinControl"; }
  bool IsWindowed() const final { return true; }

  // Children in z-order (first = bottom).
  int ControlCount() const { return int(fControls.size()); }
  TControl* Controls(int aIndex) const;
  void InsertControl(TControl* aControl);
  void RemoveControl(TControl* aControl);
  bool ContainsControl(const TControl* aControl) const;
  // The visible child under a client point (windowless ones included).
  TControl* ControlAtPos(TPoint aPoint, bool aAllowDisabled = false) const;

  // Alignment: children with Align set are laid out in the order top,
  // bottom, left, right, client; anchored children follow size changes.
  void DisableAlign() { ++fAlignLevel; }
  void EnableAlign();
  void Realign();
  void AlignControl(TControl* aControl);

  // The platform window.
  platform::HWND Handle();
  bool HandleAllocated() const { return fHandle != nullptr; }
  void HandleNeeded();
  // Makes the window again with the current creation parameters.
  void RecreateWnd();

  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  bool Showing() const override { return fShowing; }

  int TabOrder() const;
  void SetTabOrder(int aValue);
  bool TabStop() const { return fTabStop; }
  void SetTabStop(bool aValue);
  // Windowed children in tab order.
  std::vector<TWinControl*> TabList() const;
  // The next (or previous) control after aCurrent among this control's
  // descendants in tab order, wrapping; nullptr when there is none.
  TWinControl* FindNextControl(TWinControl* aCurrent, bool aGoForward, bool aCheckTabStop,
                               bool aCheckParent) const;
  // Moves the focus to the next control; returns whether it moved.
  bool SelectNext(TWinControl* aCurrent, bool aGoForward, bool aCheckTabStop);

  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();

  // Marks a part of the client area (windowless children use it).
  void InvalidateRect(const TRect& aRect);
  void Invalidate() override;
  void Update() override;
  void Repaint() override;

  // Sends aMessage to every child (not deeper) until one sets a result.
  void Broadcast(TMessage& aMessage);
  // Sends the message to every child.
  void NotifyControls(platform::UINT aMsg);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;

  // Called by the platform (through the window's procedure).
  platform::LRESULT MainWndProc(platform::HWND aWnd, platform::UINT aMsg, platform::WPARAM aWParam,
                                platform::LPARAM aLParam);

  void WndProc(TMessage& aMessage) override;
  void DefaultHandler(TMessage& aMessage) override;

  // A solid brush of Color, kept until the colour changes.
  platform::HBRUSH BrushHandle();

  // The form (top-level windowed control) this control is on.
  TWinControl* TopLevel();

  void BeforeDestruction() override;

protected:
  friend class TControl;
  friend class TForm;

  void Loaded() override;
  // Sorts the tab list by the tab orders stored while loading.
  void FixupTabList();
  // Top-level controls: whether the window is to be shown.
  virtual bool IsTopLevelShown() const;
  // Top-level controls: a windowed descendant is about to be removed.
  virtual void ControlRemoving(TWinControl* aControl);
  // Top-level controls: give aControl the keyboard focus (a form remembers it
  // as its active control while it is hidden).
  virtual void FocusControl(TWinControl* aControl);
  // Top-level controls: aControl received the keyboard focus.
  virtual void SetFocusedControl(TWinControl* aControl);
  void BoundsChanged() override;

  virtual void CreateParams(TCreateParams& aParams);
  // Builds on the standard window class aClassName: its procedure becomes
  // the default handler's. Throws when that class is not registered.
  void CreateSubClass(TCreateParams& aParams, const char* aClassName);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& aParams);
  virtual void DestroyWnd();
  void CreateHandle();
  void DestroyHandle();
  // Creates or shows/hides the window when the control and all its parents
  // are showing.
  void UpdateControlState();
  void UpdateShowing();
  void UpdateShowing(bool aParentShows);

  // The client area children are aligned in (a panel leaves out its border).
  virtual void AdjustClientRect(TRect& aRect) const;
  virtual void AlignControls(TControl* aControl, TRect& aRect);

  // Painting: the window's own content, then the windowless children.
  virtual void PaintWindow(platform::HDC aDC);
  void PaintControls(platform::HDC aDC, TControl* aFirst);
  void PaintHandler(TMessage& aMessage);

  virtual void KeyDown(platform::WORD& aKey, TShiftState aShift);
  virtual void KeyUp(platform::WORD& aKey, TShiftState aShift);
  virtual void KeyPress(char& aKey);
  // Whether the control handles aKey (arrows, Tab, Enter...) itself.
  virtual bool WantsKey(platform::WORD aKey) const;

  virtual void DoEnter();
  virtual void DoExit();

  void SetChildOrder(TControl* aChild, int aOrder);

  // Message handlers.
  virtual void WMPaint(TMessage& aMessage);
  virtual void WMEraseBkgnd(TMessage& aMessage);
  virtual void WMSize(TMessage& aMessage);
  virtual void WMWindowPosChanged(TMessage& aMessage);
  virtual void WMSetFocus(TMessage& aMessage);
  virtual void WMKillFocus(TMessage& aMessage);
  virtual void WMKeyDown(TMessage& aMessage);
  virtual void WMKeyUp(TMessage& aMessage);
  virtual void CNKeyDown(TMessage& aMessage);
  virtual void CMChildKey(TMessage& aMessage);
  virtual void WMChar(TMessage& aMessage);
  virtual void WMMouseWheel(TMessage& aMessage);
  virtual void WMMouseLeave(TMessage& aMessage);
  virtual void WMNCDestroy(TMessage& aMessage);
  virtual void WMCommand(TMessage& aMessage);
  virtual void WMDrawItem(TMessage& aMessage);
  virtual void CMShowingChanged(TMessage& aMessage);
  virtual void CMRecreateWnd(TMessage& aMessage);
  virtual void CMDialogKey(TMessage& aMessage);
  virtual void CMDialogChar(TMessage& aMessage);
  virtual void CMFocusChanged(TMessage& aMessage);
  virtual void CMMouseWheel(TMessage& aMessage);
  void CMEnabledChanged(TMessage& aMessage) override;
  void CMVisibleChanged(TMessage& aMessage) override;
  void CMFontChanged(TMessage& aMessage) override;
  void CMColorChanged(TMessage& aMessage) override;
  void CMTextChanged(TMessage& aMessage) override;

  // Routes a mouse message over a windowless child (or to the one that has
  // the mouse captured) to it; returns whether it did.
  bool IsControlMouseMsg(TMessage& aMessage);

  platform::HWND fHandle = nullptr;
  platform::WNDPROC fDefWndProc = nullptr;
  bool fShowing = false;

private:
  friend void BindCreatingWindow(platform::HWND aWnd);
  // Whether the focused window is this control's or a descendant's.
  bool HoldsFocus() const;
  // The control can no longer hold the focus: to the next control in tab
  // order, or to the form when there is none.
  void PassFocusOn();
  void DoAlign(TAlign aAlign, TRect& aRect);
  void ApplyAnchors(TControl* aControl);
  void UpdateBoundsFromWindow();

  // The handler of each message a windowed control acts on; nullptr for the
  // others, which go to TControl's procedure. Handlers of messages that
  // TControl also acts on pass them on themselves.
  using TMessageMethod = void (TWinControl::*)(TMessage&);
  static TMessageMethod HandlerFor(platform::UINT aMsg);
  void WMPrintClient(TMessage& aMessage);
  void WMSysChar(TMessage& aMessage);
  void WMCtlColor(TMessage& aMessage);
  void WMMouseMove(TMessage& aMessage);
  void WMLButtonDown(TMessage& aMessage);
  void WMLButtonUp(TMessage& aMessage);

  std::vector<TControl*> fControls;
  int fPendingTabOrder = -1;
  platform::HBRUSH fBrush = nullptr;
  std::vector<TWinControl*> fTabList;
  int fAlignLevel = 0;
  bool fTabStop = false;
  bool fMouseInControl = false;
  TControl* fMouseControl = nullptr;
  TControl* fCaptureControl = nullptr;
  platform::WNDPROC fObjectInstance = nullptr;
};

// The control whose window is aWnd, or nullptr.
TWinControl* FindControl(platform::HWND aWnd);
