#include "platform/win/Window.h"

#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/Menu.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/NonClient.h"
#include "platform/win/WindowState.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace platform {

using namespace detail;

namespace {

std::uintptr_t HandleValue(HWND aWnd) {
  return reinterpret_cast<std::uintptr_t>(aWnd);
}

LRESULT DesktopProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
}

int CopyText(const std::string& aText, char* aBuffer, int aMaxCount) {
  if (!aBuffer || aMaxCount <= 0)
    return 0;
  std::size_t n = std::min<std::size_t>(aText.size(), std::size_t(aMaxCount - 1));
  // Never end inside a UTF-8 sequence.
  while (n > 0 && n < aText.size() && (static_cast<unsigned char>(aText[n]) & 0xC0) == 0x80)
    --n;
  std::memcpy(aBuffer, aText.data(), n);
  aBuffer[n] = '\0';
  return int(n);
}

void RemoveFromParent(Window* aWnd) {
  if (!aWnd->Parent)
    return;
  auto& siblings = aWnd->Parent->Children;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), aWnd), siblings.end());
}

std::vector<Window*> SnapshotChildren(const Window* aWnd) {
  return aWnd->Children;
}

void SendDestroy(Window* aWnd) {
  const HWND h = aWnd->Handle;
  Send(aWnd, WM_DESTROY, 0, 0);
  if (!(aWnd = Find(h)))
    return;
  for (Window* child : SnapshotChildren(aWnd))
    SendDestroy(child);
}

void SendNcDestroy(Window* aWnd) {
  for (Window* child : SnapshotChildren(aWnd))
    SendNcDestroy(child);
  Send(aWnd, WM_NCDESTROY, 0, 0);
}

// Frees the records of a destroyed subtree. The records go to the graveyard,
// freed when no message is being handled, so a procedure that destroyed its own
// window may still return through it.
void Release(Window* aWnd) {
  for (Window* child : SnapshotChildren(aWnd))
    Release(child);
  aWnd->Destroyed = true;
  ForgetPaint(aWnd);
  FreeSystemMenu(aWnd->SystemMenu);
  auto& timers = Ui().Timers;
  timers.erase(std::remove_if(timers.begin(), timers.end(),
                              [&](const Timer& t) { return t.Wnd == aWnd->Handle; }),
               timers.end());
  RemoveFromParent(aWnd);
  aWnd->Children.clear();
  auto it = Ui().Windows.find(HandleValue(aWnd->Handle));
  if (it != Ui().Windows.end()) {
    BuryWindow(std::move(it->second));
    Ui().Windows.erase(it);
  }
}

} // namespace

namespace detail {

// Places aWnd among its siblings after aInsertAfter (HWND_TOP, HWND_BOTTOM,
// HWND_TOPMOST, HWND_NOTOPMOST or a sibling). Topmost windows stay above the
// others.
void PlaceInZOrder(Window* aWnd, HWND aInsertAfter) {
  Window* parent = aWnd->Parent;
  if (!parent)
    return;
  if (aInsertAfter == HWND_TOPMOST)
    aWnd->ExStyle |= WS_EX_TOPMOST;
  else if (aInsertAfter == HWND_NOTOPMOST)
    aWnd->ExStyle &= ~WS_EX_TOPMOST;
  RemoveFromParent(aWnd);
  auto& list = parent->Children;
  const bool topmost = aWnd->IsTopLevel() && (aWnd->ExStyle & WS_EX_TOPMOST);
  auto firstPlain = std::find_if(list.begin(), list.end(), [](Window* w) {
    return !(w->IsTopLevel() && (w->ExStyle & WS_EX_TOPMOST));
  });
  auto pos = list.end();
  if (aInsertAfter == HWND_TOP || aInsertAfter == HWND_TOPMOST || aInsertAfter == HWND_NOTOPMOST)
    pos = topmost ? list.begin() : firstPlain;
  else if (aInsertAfter == HWND_BOTTOM)
    pos = topmost ? firstPlain : list.end();
  else if (Window* after = Find(aInsertAfter); after && after->Parent == parent) {
    pos = std::find(list.begin(), list.end(), after);
    if (pos != list.end())
      ++pos;
    // Keep the topmost band together.
    const auto band = firstPlain - list.begin();
    const auto at = pos - list.begin();
    if (topmost && at > band)
      pos = list.begin() + band;
    else if (!topmost && at < band)
      pos = list.begin() + band;
  }
  list.insert(pos, aWnd);
}

bool Window::IsTopLevel() const {
  return Parent && Parent == Ui().Desktop;
}

State& Ui() {
  static State* state = [] {
    auto* s = new State;
    auto desktop = std::make_unique<Window>();
    desktop->Handle = reinterpret_cast<HWND>(s->NextHandle);
    s->NextHandle += 4;
    desktop->Class = std::make_shared<WindowClass>();
    desktop->Class->Name = "#32769";
    desktop->Class->Proc = DesktopProc;
    desktop->Proc = DesktopProc;
    desktop->Style = WS_VISIBLE | WS_CLIPCHILDREN;
    desktop->Created = true;
    s->Desktop = desktop.get();
    s->Windows.emplace(HandleValue(desktop->Handle), std::move(desktop));
    return s;
  }();
  return *state;
}

Window* Find(HWND aWnd) {
  if (!aWnd)
    return nullptr;
  auto& windows = Ui().Windows;
  auto it = windows.find(HandleValue(aWnd));
  return it == windows.end() ? nullptr : it->second.get();
}

Window* Live(HWND aWnd) {
  Window* w = Find(aWnd);
  return w && !w->Destroyed ? w : nullptr;
}

Window* TopLevelOf(Window* aWnd) {
  while (aWnd && aWnd->Parent && aWnd->Parent != Ui().Desktop)
    aWnd = aWnd->Parent;
  return aWnd;
}

TPoint ScreenOrigin(const Window* aWnd) {
  TPoint p{aWnd->Rect.Left, aWnd->Rect.Top};
  for (const Window* w = aWnd->Parent; w && w != Ui().Desktop; w = w->Parent) {
    p.X += w->Rect.Left + w->Client.Left;
    p.Y += w->Rect.Top + w->Client.Top;
  }
  return p;
}

TPoint ClientScreenOrigin(const Window* aWnd) {
  TPoint p = ScreenOrigin(aWnd);
  return {p.X + aWnd->Client.Left, p.Y + aWnd->Client.Top};
}

TPoint OriginInTopLevel(const Window* aWnd) {
  TPoint p;
  for (const Window* w = aWnd; w && !w->IsTopLevel() && w != Ui().Desktop; w = w->Parent) {
    p.X += w->Rect.Left + w->Parent->Client.Left;
    p.Y += w->Rect.Top + w->Parent->Client.Top;
  }
  return p;
}

bool IsShowing(const Window* aWnd) {
  for (const Window* w = aWnd; w; w = w->Parent)
    if (!(w->Style & WS_VISIBLE))
      return false;
  return true;
}

DWORD FrameStyle(const Window* aWnd) {
  return (aWnd->Style & ~(WS_VSCROLL | WS_HSCROLL)) | aWnd->NativeBars;
}

// Recomputes the client rectangle through WM_NCCALCSIZE.
void CalcClient(Window* aWnd, const TRect& aNewRect, const TRect& aOldRect, bool aValidRects) {
  const TRect oldClient = aWnd->Client.Offset(aOldRect.Left, aOldRect.Top);
  TRect client = aNewRect;
  if (aValidRects) {
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = aNewRect;
    params.rgrc[1] = aOldRect;
    params.rgrc[2] = oldClient;
    Send(aWnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    client = params.rgrc[0];
  } else {
    Send(aWnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
  }
  if (!Find(aWnd->Handle))
    return;
  client.Left = std::clamp(client.Left, aNewRect.Left, aNewRect.Right);
  client.Right = std::clamp(client.Right, client.Left, aNewRect.Right);
  client.Top = std::clamp(client.Top, aNewRect.Top, aNewRect.Bottom);
  client.Bottom = std::clamp(client.Bottom, client.Top, aNewRect.Bottom);
  aWnd->Client = client.Offset(-aNewRect.Left, -aNewRect.Top);
}

} // namespace detail

// Classes -------------------------------------------------------------------

ATOM RegisterClassExW(const WNDCLASSEXW* aClass) {
  if (!aClass || !aClass->lpszClassName || !*aClass->lpszClassName)
    return 0;
  auto& classes = Ui().Classes;
  if (classes.count(aClass->lpszClassName))
    return 0;
  auto cls = std::make_shared<WindowClass>();
  cls->Name = aClass->lpszClassName;
  cls->Style = aClass->style;
  cls->Proc = aClass->lpfnWndProc ? aClass->lpfnWndProc : DefWindowProcW;
  cls->Instance = aClass->hInstance;
  cls->Icon = aClass->hIcon;
  cls->IconSmall = aClass->hIconSm;
  cls->Cursor = aClass->hCursor;
  cls->Background = aClass->hbrBackground;
  classes.emplace(cls->Name, cls);
  // Atoms of registered classes start where the platform's own end.
  return ATOM(0xC000 + classes.size());
}

BOOL UnregisterClassW(const char* aClassName, HINSTANCE) {
  if (!aClassName)
    return FALSE;
  auto& classes = Ui().Classes;
  auto it = classes.find(aClassName);
  if (it == classes.end() || it->second.use_count() > 1)
    return FALSE;
  classes.erase(it);
  return TRUE;
}

namespace {

std::shared_ptr<WindowClass> LookupClass(const char* aName) {
  if (!aName)
    return nullptr;
  auto& classes = Ui().Classes;
  if (auto it = classes.find(aName); it != classes.end())
    return it->second;
  if (std::strcmp(aName, DialogClassName) == 0) {
    auto cls = std::make_shared<WindowClass>();
    cls->Name = DialogClassName;
    cls->Style = CS_DBLCLKS | CS_SAVEBITS;
    cls->Proc = DefWindowProcW;
    cls->Background = reinterpret_cast<HBRUSH>(std::uintptr_t(15 + 1)); // COLOR_BTNFACE
    classes.emplace(cls->Name, cls);
    return cls;
  }
  return nullptr;
}

} // namespace

BOOL GetClassInfoExW(HINSTANCE, const char* aClassName, WNDCLASSEXW* aClass) {
  auto cls = LookupClass(aClassName);
  if (!cls || !aClass)
    return FALSE;
  aClass->style = cls->Style;
  aClass->lpfnWndProc = cls->Proc;
  aClass->hInstance = cls->Instance;
  aClass->hIcon = cls->Icon;
  aClass->hIconSm = cls->IconSmall;
  aClass->hCursor = cls->Cursor;
  aClass->hbrBackground = cls->Background;
  aClass->lpszClassName = cls->Name.c_str();
  return TRUE;
}

int GetClassNameW(HWND aWnd, char* aBuffer, int aMaxCount) {
  Window* w = Find(aWnd);
  return w ? CopyText(w->Class->Name, aBuffer, aMaxCount) : 0;
}

std::string GetClassNameW(HWND aWnd) {
  Window* w = Find(aWnd);
  return w ? w->Class->Name : std::string();
}

// Creation and destruction --------------------------------------------------

namespace {

// Where a new window goes: a child into its parent, any other window under
// the desktop, owned by the top-level window of aParent when one is given.
// False when the parent or owner is not there.
bool ResolveParent(DWORD aStyle, HWND aParent, Window*& aPlace, HWND& aOwner) {
  State& ui = Ui();
  aPlace = ui.Desktop;
  aOwner = nullptr;
  if (aStyle & WS_CHILD) {
    aPlace = Live(aParent);
    return aPlace && aPlace != ui.Desktop;
  }
  if (aParent) {
    Window* owner = Live(aParent);
    if (!owner)
      return false;
    aOwner = TopLevelOf(owner)->Handle;
  }
  return true;
}

// A new hidden window's record, entered under a new handle at the top of
// its siblings.
Window* NewWindow(const std::shared_ptr<WindowClass>& aClass, const CREATESTRUCTW& aCreate,
                  Window* aParent, HWND aOwner) {
  State& ui = Ui();
  auto record = std::make_unique<Window>();
  Window* w = record.get();
  w->Handle = reinterpret_cast<HWND>(ui.NextHandle);
  ui.NextHandle += 4;
  w->Class = aClass;
  w->Proc = aClass->Proc;
  w->Style = DWORD(aCreate.style) & ~WS_VISIBLE;
  w->ExStyle = aCreate.dwExStyle;
  w->Parent = aParent;
  w->Owner = aOwner;
  w->Text = aCreate.lpszName ? aCreate.lpszName : "";
  const bool child = (aCreate.style & WS_CHILD) != 0;
  w->Id = child ? LONG_PTR(reinterpret_cast<std::intptr_t>(aCreate.hMenu)) : 0;
  w->IconBig = aClass->Icon;
  w->IconSmall = aClass->IconSmall;
  w->ScrollV.nMax = w->ScrollH.nMax = 100;
  ui.Windows.emplace(HandleValue(w->Handle), std::move(record));
  PlaceInZOrder(w, HWND_TOP);
  return w;
}

// Undoes a creation that the hook or WM_NCCREATE refused.
void DiscardRefusedWindow(HWND aWnd) {
  if (Window* dead = Find(aWnd); dead && !dead->Destroyed) {
    if (dead->Created)
      SendNcDestroy(dead);
    if ((dead = Find(aWnd)))
      Release(dead);
  }
}

// Tells the ancestors up to the first that asks not to hear it.
void NotifyParentsOfCreation(Window* aWnd) {
  for (Window* p = aWnd->Parent; p && p != Ui().Desktop; p = p->Parent) {
    Send(p, WM_PARENTNOTIFY, MAKEWPARAM(int(WM_CREATE), int(aWnd->Id)),
         reinterpret_cast<LPARAM>(aWnd->Handle));
    if (p->ExStyle & WS_EX_NOPARENTNOTIFY)
      break;
  }
}

// CW_USEDEFAULT as the left edge places the window at (100, 100), as the
// width sizes it 640 by 480.
void UseDefaultPlace(int& aX, int& aY, int& aWidth, int& aHeight) {
  if (aX == CW_USEDEFAULT) {
    aX = 100;
    aY = 100;
  }
  if (aWidth == CW_USEDEFAULT) {
    aWidth = 640;
    aHeight = 480;
  }
}

int ShowCommandOfStyle(DWORD aStyle) {
  if (aStyle & WS_MAXIMIZE)
    return SW_SHOWMAXIMIZED;
  if (aStyle & WS_MINIMIZE)
    return SW_SHOWMINIMIZED;
  return SW_SHOW;
}

// The creation messages from WM_NCCREATE to WM_MOVE; the window's rectangle
// is set before. False when the window refused or is gone.
bool SendCreationMessages(HWND aWnd, CREATESTRUCTW& aCreate) {
  Window* w = Live(aWnd);
  if (!Send(w, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&aCreate))) {
    DiscardRefusedWindow(aWnd);
    return false;
  }
  if (!(w = Live(aWnd)))
    return false;
  w->Created = true;
  CalcClient(w, w->Rect, w->Rect, false);
  if (w->IsTopLevel()) {
    TopLevelResized(w);
    HostOf().WindowCreated(aWnd);
  }
  if (Send(w, WM_CREATE, 0, reinterpret_cast<LPARAM>(&aCreate)) == -1) {
    DestroyWindow(aWnd);
    return false;
  }
  if (!(w = Live(aWnd)))
    return false;
  Send(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->Client.Width(), w->Client.Height()));
  if (!(w = Live(aWnd)))
    return false;
  Send(w, WM_MOVE, 0, MAKELPARAM(w->Rect.Left + w->Client.Left, w->Rect.Top + w->Client.Top));
  return Live(aWnd) != nullptr;
}

} // namespace

HWND CreateWindowExW(DWORD aExStyle, const char* aClassName, const char* aWindowName, DWORD aStyle,
                     int aX, int aY, int aWidth, int aHeight, HWND aParent, HANDLE aMenu,
                     HINSTANCE aInstance, void* aParam) {
  auto cls = LookupClass(aClassName);
  Window* parent = nullptr;
  HWND owner = nullptr;
  if (!cls || !ResolveParent(aStyle, aParent, parent, owner))
    return nullptr;
  if (!(aStyle & (WS_CHILD | WS_POPUP)))
    aStyle |= WS_CAPTION | WS_CLIPSIBLINGS;
  UseDefaultPlace(aX, aY, aWidth, aHeight);
  const HWND createParent = (aStyle & WS_CHILD) ? parent->Handle : owner;
  CREATESTRUCTW cs{.lpCreateParams = aParam,
                   .hInstance = aInstance,
                   .hMenu = aMenu,
                   .hwndParent = createParent,
                   .cy = aHeight,
                   .cx = aWidth,
                   .y = aY,
                   .x = aX,
                   .style = LONG(aStyle),
                   .lpszName = aWindowName,
                   .lpszClass = cls->Name.c_str(),
                   .dwExStyle = aExStyle};
  Window* w = NewWindow(cls, cs, parent, owner);
  const HWND handle = w->Handle;
  cs.lpszName = w->Text.c_str();

  // The system menu comes with the window, so a later change of the style
  // (a frame that drops WS_SYSMENU to draw its own buttons) keeps it.
  GetSystemMenu(handle, FALSE);
  CBT_CREATEWNDW cbt{&cs, HWND_TOP};
  if (CallHooks(HCBT_CREATEWND, reinterpret_cast<WPARAM>(handle), reinterpret_cast<LPARAM>(&cbt))) {
    DiscardRefusedWindow(handle);
    return nullptr;
  }
  if (!Live(handle))
    return nullptr;
  if (!(aStyle & WS_CHILD) && ((aStyle & WS_THICKFRAME) || HasCaption(aStyle))) {
    const TSize size = LimitToTrackSize(handle, {cs.cx, cs.cy});
    cs.cx = size.cx;
    cs.cy = size.cy;
  }
  if (!(w = Live(handle)))
    return nullptr;
  w->Rect = Bounds(cs.x, cs.y, std::max(cs.cx, 0), std::max(cs.cy, 0));
  w->RestoredRect = w->Rect;
  if (!SendCreationMessages(handle, cs))
    return nullptr;
  if ((aStyle & WS_CHILD) && !(aExStyle & WS_EX_NOPARENTNOTIFY))
    NotifyParentsOfCreation(Live(handle));
  if (Live(handle) && (aStyle & WS_VISIBLE))
    ShowWindow(handle, ShowCommandOfStyle(aStyle));
  return Live(handle) ? handle : nullptr;
}

BOOL DestroyWindow(HWND aWnd) {
  State& ui = Ui();
  Window* w = Live(aWnd);
  if (!w || w == ui.Desktop || w->Destroying)
    return FALSE;
  if (CallHooks(HCBT_DESTROYWND, reinterpret_cast<WPARAM>(aWnd), 0))
    return FALSE;
  if (!(w = Live(aWnd)) || w->Destroying)
    return FALSE;
  w->Destroying = true;

  if (!w->IsTopLevel() && !(w->ExStyle & WS_EX_NOPARENTNOTIFY))
    for (Window* p = w->Parent; p && p != ui.Desktop; p = p->Parent) {
      Send(p, WM_PARENTNOTIFY, MAKEWPARAM(int(WM_DESTROY), int(w->Id)),
           reinterpret_cast<LPARAM>(aWnd));
      if (p->ExStyle & WS_EX_NOPARENTNOTIFY || !Live(aWnd))
        break;
    }
  if (!(w = Live(aWnd)))
    return TRUE;

  // Owned windows go first.
  if (w->IsTopLevel()) {
    std::vector<HWND> owned;
    for (Window* t : ui.Desktop->Children)
      if (t->Owner == aWnd)
        owned.push_back(t->Handle);
    for (HWND o : owned)
      DestroyWindow(o);
  }
  if (!(w = Live(aWnd)))
    return TRUE;

  if (w->Style & WS_VISIBLE)
    SetWindowPos(aWnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (!(w = Live(aWnd)))
    return TRUE;
  WindowGoingAway(w);
  if (!(w = Live(aWnd)))
    return TRUE;

  SendDestroy(w);
  if (!(w = Live(aWnd)))
    return TRUE;
  SendNcDestroy(w);
  if (!(w = Live(aWnd)))
    return TRUE;
  const bool topLevel = w->IsTopLevel();
  Release(w);
  if (topLevel)
    HostOf().WindowDestroyed(aWnd);
  return TRUE;
}

BOOL IsWindow(HWND aWnd) {
  return Live(aWnd) ? TRUE : FALSE;
}

// The tree ------------------------------------------------------------------

HWND GetDesktopWindow() {
  return Ui().Desktop->Handle;
}

HWND GetParent(HWND aWnd) {
  Window* w = Live(aWnd);
  if (!w)
    return nullptr;
  if (w->Style & WS_CHILD)
    return w->Parent ? w->Parent->Handle : nullptr;
  return w->Owner;
}

HWND SetParent(HWND aWnd, HWND aNewParent) {
  Window* w = Live(aWnd);
  Window* parent = aNewParent ? Live(aNewParent) : Ui().Desktop;
  if (!w || !parent || w == Ui().Desktop)
    return nullptr;
  for (Window* p = parent; p; p = p->Parent)
    if (p == w)
      return nullptr;
  Window* old = w->Parent;
  const bool visible = (w->Style & WS_VISIBLE) != 0;
  const bool wasTop = w->IsTopLevel();
  if (visible)
    ShowWindow(aWnd, SW_HIDE);
  if (!(w = Live(aWnd)))
    return nullptr;
  RemoveFromParent(w);
  w->Parent = parent;
  PlaceInZOrder(w, HWND_TOP);
  if (wasTop && !w->IsTopLevel())
    HostOf().WindowDestroyed(aWnd);
  else if (!wasTop && w->IsTopLevel()) {
    TopLevelResized(w);
    HostOf().WindowCreated(aWnd);
  }
  if (visible)
    ShowWindow(aWnd, SW_SHOWNA);
  return old ? old->Handle : nullptr;
}

HWND GetAncestor(HWND aWnd, UINT aFlags) {
  Window* w = Live(aWnd);
  if (!w || w == Ui().Desktop)
    return nullptr;
  switch (aFlags) {
  case GA_PARENT:
    return w->Parent ? w->Parent->Handle : nullptr;
  case GA_ROOT:
    return TopLevelOf(w)->Handle;
  case GA_ROOTOWNER: {
    HWND h = TopLevelOf(w)->Handle;
    while (Window* o = Live(Find(h)->Owner))
      h = o->Handle;
    return h;
  }
  }
  return nullptr;
}

HWND GetWindow(HWND aWnd, UINT aCommand) {
  Window* w = Live(aWnd);
  if (!w)
    return nullptr;
  if (aCommand == GW_CHILD)
    return w->Children.empty() ? nullptr : w->Children.front()->Handle;
  if (aCommand == GW_OWNER)
    return w->Owner;
  if (!w->Parent)
    return nullptr;
  const auto& list = w->Parent->Children;
  auto it = std::find(list.begin(), list.end(), w);
  switch (aCommand) {
  case GW_HWNDFIRST:
    return list.front()->Handle;
  case GW_HWNDLAST:
    return list.back()->Handle;
  case GW_HWNDNEXT:
    return (it == list.end() || it + 1 == list.end()) ? nullptr : (*(it + 1))->Handle;
  case GW_HWNDPREV:
    return (it == list.begin() || it == list.end()) ? nullptr : (*(it - 1))->Handle;
  }
  return nullptr;
}

HWND GetTopWindow(HWND aWnd) {
  return GetWindow(aWnd ? aWnd : GetDesktopWindow(), GW_CHILD);
}

BOOL IsChild(HWND aParent, HWND aWnd) {
  Window* parent = Live(aParent);
  Window* w = Live(aWnd);
  if (!parent || !w)
    return FALSE;
  for (Window* p = w->Parent; p && (w->Style & WS_CHILD); w = p, p = p->Parent)
    if (p == parent)
      return TRUE;
  return FALSE;
}

BOOL EnumChildWindows(HWND aParent, WNDENUMPROC aProc, LPARAM aParam) {
  Window* parent = aParent ? Live(aParent) : Ui().Desktop;
  if (!parent || !aProc)
    return FALSE;
  std::vector<HWND> all;
  auto collect = [&](auto&& self, Window* w) -> void {
    for (Window* c : w->Children) {
      all.push_back(c->Handle);
      self(self, c);
    }
  };
  collect(collect, parent);
  for (HWND h : all)
    if (Live(h) && !aProc(h, aParam))
      break;
  return TRUE;
}

// Properties ----------------------------------------------------------------

BOOL SetPropW(HWND aWnd, const char* aName, HANDLE aData) {
  Window* w = Live(aWnd);
  if (!w || !aName)
    return FALSE;
  w->Props[aName] = aData;
  return TRUE;
}

HANDLE GetPropW(HWND aWnd, const char* aName) {
  Window* w = Find(aWnd);
  if (!w || !aName)
    return nullptr;
  auto it = w->Props.find(aName);
  return it == w->Props.end() ? nullptr : it->second;
}

HANDLE RemovePropW(HWND aWnd, const char* aName) {
  Window* w = Find(aWnd);
  if (!w || !aName)
    return nullptr;
  auto it = w->Props.find(aName);
  if (it == w->Props.end())
    return nullptr;
  HANDLE data = it->second;
  w->Props.erase(it);
  return data;
}

// Text ----------------------------------------------------------------------

BOOL SetWindowTextW(HWND aWnd, const char* aText) {
  Window* w = Live(aWnd);
  if (!w)
    return FALSE;
  return BOOL(Send(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(aText ? aText : "")));
}

int GetWindowTextW(HWND aWnd, char* aBuffer, int aMaxCount) {
  Window* w = Live(aWnd);
  if (!w || !aBuffer || aMaxCount <= 0)
    return 0;
  aBuffer[0] = '\0';
  return int(Send(w, WM_GETTEXT, WPARAM(aMaxCount), reinterpret_cast<LPARAM>(aBuffer)));
}

std::string GetWindowTextW(HWND aWnd) {
  const int length = GetWindowTextLengthW(aWnd);
  std::string text(std::size_t(length) + 1, '\0');
  const int n = GetWindowTextW(aWnd, text.data(), length + 1);
  text.resize(std::size_t(std::max(n, 0)));
  return text;
}

int GetWindowTextLengthW(HWND aWnd) {
  Window* w = Live(aWnd);
  return w ? int(Send(w, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

namespace detail {

int CopyWindowText(const std::string& aText, char* aBuffer, int aMaxCount) {
  return CopyText(aText, aBuffer, aMaxCount);
}

} // namespace detail

// State ---------------------------------------------------------------------

BOOL IsWindowVisible(HWND aWnd) {
  Window* w = Live(aWnd);
  return w && IsShowing(w) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND aWnd) {
  Window* w = Live(aWnd);
  return w && !(w->Style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND aWnd, BOOL aEnable) {
  Window* w = Live(aWnd);
  if (!w)
    return FALSE;
  const BOOL wasDisabled = (w->Style & WS_DISABLED) ? TRUE : FALSE;
  if (bool(aEnable) == !wasDisabled)
    return wasDisabled;
  if (aEnable) {
    w->Style &= ~WS_DISABLED;
  } else {
    w->Style |= WS_DISABLED;
    // Neither the window nor a child of it keeps the focus or the mouse: a
    // control that took the mouse on a press which disabled its window (a
    // modal box shown from the press) would get every later mouse message.
    if (Ui().Focus == aWnd || IsChild(aWnd, Ui().Focus))
      SetFocus(nullptr);
    if (Ui().Capture == aWnd || IsChild(aWnd, Ui().Capture))
      ReleaseCapture();
  }
  if ((w = Live(aWnd)))
    Send(w, WM_ENABLE, aEnable ? TRUE : FALSE, 0);
  return wasDisabled;
}

BOOL IsIconic(HWND aWnd) {
  Window* w = Live(aWnd);
  return w && (w->Style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND aWnd) {
  Window* w = Live(aWnd);
  return w && (w->Style & WS_MAXIMIZE) ? TRUE : FALSE;
}

} // namespace platform
