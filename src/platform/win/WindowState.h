#pragma once
// The window layer's own records: windows, classes and the state of the
// user-interface thread. Internal to src/platform/win.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Region.h"
#include "platform/win/WinDefs.h"
#include "platform/win/WindowHost.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace platform::detail {

struct WindowClass {
  std::string Name;
  UINT Style = 0;
  WNDPROC Proc = nullptr;
  HINSTANCE Instance = nullptr;
  HICON Icon = nullptr;
  HICON IconSmall = nullptr;
  HCURSOR Cursor = nullptr;
  HBRUSH Background = nullptr;
};

struct Window {
  HWND Handle = nullptr;
  std::shared_ptr<WindowClass> Class;
  WNDPROC Proc = nullptr;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  Window* Parent = nullptr;
  HWND Owner = nullptr;
  // Children in z-order, topmost first.
  std::vector<Window*> Children;
  std::string Text;
  // The window rectangle in the parent's client coordinates (screen
  // coordinates for top-level windows).
  TRect Rect;
  // The client rectangle in window coordinates.
  TRect Client;
  TRect RestoredRect;
  LONG_PTR UserData = 0;
  LONG_PTR Id = 0;
  HICON IconBig = nullptr;
  HICON IconSmall = nullptr;
  std::map<std::string, HANDLE> Props;
  std::optional<Region> Shape;
  // The system menu (GetSystemMenu), freed with the window.
  HMENU SystemMenu = nullptr;

  // Painting, in window coordinates.
  Region Update;
  bool NeedErase = false;
  // Validated while an erase was pending: erased after WM_PAINT returns.
  Region DelayedErase;
  bool NeedNcPaint = false;
  bool InternalPaint = false;
  bool FrameActive = false; // the frame is drawn active (WM_NCACTIVATE)
  bool BeganPaint = false;  // BeginPaint ran during the current WM_PAINT

  SCROLLINFO ScrollV;
  SCROLLINFO ScrollH;
  // The scroll-bar style bits (WS_VSCROLL, WS_HSCROLL) the last default
  // non-client calculation made room for: the native bars are painted, hit
  // and tracked only there, whatever the style says now. A window procedure
  // that answers WM_NCCALCSIZE itself (or hides the bits from the default
  // calculation) gets no native bars.
  DWORD NativeBars = 0;

  // Layered windows.
  BYTE LayerAlpha = 255;
  COLORREF LayerKey = 0;
  DWORD LayerFlags = 0;
  bool LayerPerPixel = false;
  // The frame comes from UpdateLayeredWindow; WM_PAINT does not draw it.
  bool LayerUpdated = false;

  // Hidden because its owner was minimized; shown again on restore.
  bool HiddenByOwner = false;

  bool Created = false; // WM_NCCREATE answered
  bool Destroying = false;
  bool Destroyed = false; // WM_NCDESTROY sent

  // Top-level windows only: what the host presents.
  Bitmap Backing;
  Region Dirty;

  bool IsTopLevel() const;
  TRect WindowBounds() const { return {0, 0, Rect.Width(), Rect.Height()}; }
};

struct Timer {
  HWND Wnd = nullptr;
  UINT_PTR Id = 0;
  UINT Interval = 0;
  TIMERPROC Proc = nullptr;
  std::int64_t Due = 0; // milliseconds of the monotonic clock
};

struct Hook {
  HHOOK Handle = nullptr;
  HOOKPROC Proc = nullptr;
};

struct MouseTrack {
  HWND Wnd = nullptr;
  DWORD Flags = 0;
};

// Raw input from the host, turned into messages when taken from the queue.
struct RawInput {
  enum class Kind { Move, Button, Wheel, Key, AppFocus };
  Kind What = Kind::Move;
  int Button = 0; // 0 left, 1 right, 2 middle
  bool Down = false;
  POINT Pt;
  int Delta = 0;
  int VirtKey = 0;
  char32_t Char = 0;
  DWORD Time = 0;
};

struct QueuedItem {
  bool IsInput = false;
  MSG Msg;
  RawInput Input;
};

// Everything the user-interface thread owns.
struct State {
  std::unordered_map<std::uintptr_t, std::unique_ptr<Window>> Windows;
  std::uintptr_t NextHandle = 0x10010;
  Window* Desktop = nullptr;
  std::map<std::string, std::shared_ptr<WindowClass>> Classes;
  std::vector<Hook> Hooks;
  std::uintptr_t NextHook = 1;
  std::vector<Timer> Timers;
  UINT_PTR NextTimerId = 1;

  HWND Focus = nullptr;
  HWND Active = nullptr;
  HWND Capture = nullptr;
  MouseTrack Track;   // client-area leave tracking
  MouseTrack NcTrack; // non-client leave tracking
  BYTE KeyState[256] = {};
  POINT Cursor;
  HCURSOR CurrentCursor = nullptr;
  // The window and hit code the mouse was last over.
  HWND MouseWnd = nullptr;
  LRESULT MouseHit = HTNOWHERE;
  // Double clicks.
  UINT LastClickMsg = 0;
  HWND LastClickWnd = nullptr;
  DWORD LastClickTime = 0;
  POINT LastClickPoint;

  // The caption button held down by the default tracking.
  HWND PressedWnd = nullptr;
  LRESULT PressedHit = HTNOWHERE;

  WindowHost* Host = nullptr;
  int ModalDepth = 0;
};

State& Ui();
Window* Find(HWND aWnd);
// The window record, or nullptr when the handle is invalid or destroyed.
Window* Live(HWND aWnd);
Window* TopLevelOf(Window* aWnd);
WindowHost& HostOf();

// The window's origin and client origin in screen coordinates.
TPoint ScreenOrigin(const Window* aWnd);
TPoint ClientScreenOrigin(const Window* aWnd);
// The window's origin relative to its top-level window.
TPoint OriginInTopLevel(const Window* aWnd);
// Whether the window and all its ancestors are visible.
bool IsShowing(const Window* aWnd);
// The style the default frame is drawn and hit-tested with: the window's
// style with the scroll-bar bits of NativeBars.
DWORD FrameStyle(const Window* aWnd);

LRESULT Send(Window* aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam);
void BuryWindow(std::unique_ptr<Window> aWnd);
void QueueInput(const RawInput& aInput);
void PushReadyFront(const MSG& aMsg);
// Turns raw input into messages appended to aOut (Input.cpp).
void ConvertInput(const RawInput& aInput, std::deque<MSG>& aOut);

// Window.cpp helpers.
void PlaceInZOrder(Window* aWnd, HWND aInsertAfter);
void CalcClient(Window* aWnd, const TRect& aNewRect, const TRect& aOldRect, bool aValidRects);
int CopyWindowText(const std::string& aText, char* aBuffer, int aMaxCount);
bool InShape(const Window* aWnd, TPoint aPoint);
Window* HitWindow(Window* aWnd, TPoint aPoint, bool aAskHitTest);
LRESULT CallHooks(int aCode, WPARAM aWParam, LPARAM aLParam);
std::int64_t NowMs();
DWORD TickCount();

// What the handler of a capture loop made of a message.
enum class CaptureStep {
  NotMine,  // not the drag's: translated and dispatched
  Handled,  // taken by the drag, which goes on
  Finished, // taken by the drag, which ends
};
// The loop of a drag that holds the mouse capture (MessageLoop.cpp): each
// message goes to aHandle first. It runs while aWnd lives and holds the
// capture, until aHandle finishes; WM_QUIT ends it and is posted again.
void RunCaptureLoop(HWND aWnd, const std::function<CaptureStep(const MSG&)>& aHandle);

// Activation, focus and input state (Input.cpp).
void ActivateWindow(HWND aWnd, bool aMouse);
void WindowGoingAway(Window* aWnd);

// Painting (Paint.cpp).
void InvalidateWindow(Window* aWnd, const Region* aRgn, UINT aFlags);
void ForgetPaint(Window* aWnd);
// Sends WM_PAINT; a procedure that did not call BeginPaint would get it
// forever, so its update region is dropped then.
LRESULT SendPaintMessage(Window* aWnd);
// The first window that needs painting, searched in aWithin and its
// descendants only when given.
HWND NextPaintWindow(HWND aWithin = nullptr);
void PresentDirty();
Region VisibleRegion(const Window* aWnd, bool aClient);
void MarkDirty(Window* aTop, const Region& aArea);
void TopLevelResized(Window* aWnd);

} // namespace platform::detail
