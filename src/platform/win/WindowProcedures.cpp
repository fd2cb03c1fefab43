#include "platform/win/WindowProcedures.h"

#include "platform/win/MessageLoop.h"
#include "platform/win/Window.h"
#include "platform/win/WindowState.h"

#include <unordered_set>
#include <utility>

namespace platform {

using namespace detail;

namespace {

// Procedures bound to objects, recognised by their address.
std::unordered_set<const ObjectWndProc*>& ObjectProcs() {
  static std::unordered_set<const ObjectWndProc*> procs;
  return procs;
}

} // namespace

LONG_PTR GetWindowLongPtrW(HWND aWnd, int aIndex) {
  Window* w = Live(aWnd);
  if (!w)
    return 0;
  switch (aIndex) {
  case GWLP_WNDPROC:
    return reinterpret_cast<LONG_PTR>(w->Proc);
  case GWL_STYLE:
    return LONG_PTR(w->Style);
  case GWL_EXSTYLE:
    return LONG_PTR(w->ExStyle);
  case GWLP_USERDATA:
    return w->UserData;
  case GWLP_ID:
    return w->Id;
  case GWLP_HWNDPARENT:
    return reinterpret_cast<LONG_PTR>(GetParent(aWnd));
  case GWLP_HINSTANCE:
    return reinterpret_cast<LONG_PTR>(w->Class->Instance);
  }
  return 0;
}

LONG_PTR SetWindowLongPtrW(HWND aWnd, int aIndex, LONG_PTR aValue) {
  Window* w = Live(aWnd);
  if (!w)
    return 0;
  switch (aIndex) {
  case GWLP_WNDPROC: {
    auto old = reinterpret_cast<LONG_PTR>(w->Proc);
    if (aValue)
      w->Proc = reinterpret_cast<WNDPROC>(aValue);
    return aValue ? old : 0;
  }
  case GWL_STYLE:
  case GWL_EXSTYLE: {
    DWORD& field = aIndex == GWL_STYLE ? w->Style : w->ExStyle;
    STYLESTRUCT ss{field, DWORD(aValue)};
    const WPARAM which = WPARAM(aIndex);
    Send(w, WM_STYLECHANGING, which, reinterpret_cast<LPARAM>(&ss));
    if (!(w = Live(aWnd)))
      return 0;
    DWORD& target = aIndex == GWL_STYLE ? w->Style : w->ExStyle;
    const DWORD old = target;
    target = ss.styleNew;
    if (aIndex == GWL_EXSTYLE && ((old ^ target) & WS_EX_LAYERED)) {
      if (!(target & WS_EX_LAYERED)) {
        w->LayerPerPixel = w->LayerUpdated = false;
        w->LayerAlpha = 255;
        w->LayerFlags = 0;
      }
      if (w->IsTopLevel())
        HostOf().WindowChanged(aWnd);
    }
    ss.styleOld = old;
    Send(w, WM_STYLECHANGED, which, reinterpret_cast<LPARAM>(&ss));
    return LONG_PTR(old);
  }
  case GWLP_USERDATA:
    return std::exchange(w->UserData, aValue);
  case GWLP_ID:
    return std::exchange(w->Id, aValue);
  case GWLP_HWNDPARENT: {
    if (!w->IsTopLevel())
      return 0;
    Window* o = Live(reinterpret_cast<HWND>(aValue));
    HWND old = w->Owner;
    w->Owner = o ? TopLevelOf(o)->Handle : nullptr;
    return reinterpret_cast<LONG_PTR>(old);
  }
  }
  return 0;
}

// A procedure or owner handle does not fit in 32 bits: those indexes are only
// served by the pointer-sized functions, as on 64-bit platforms.
LONG GetWindowLongW(HWND aWnd, int aIndex) {
  if (aIndex == GWLP_WNDPROC || aIndex == GWLP_HWNDPARENT)
    return 0;
  return LONG(GetWindowLongPtrW(aWnd, aIndex));
}

LONG SetWindowLongW(HWND aWnd, int aIndex, LONG aValue) {
  if (aIndex == GWLP_WNDPROC || aIndex == GWLP_HWNDPARENT)
    return 0;
  if (aIndex == GWL_STYLE || aIndex == GWL_EXSTYLE)
    return LONG(SetWindowLongPtrW(aWnd, aIndex, LONG_PTR(DWORD(aValue))));
  return LONG(SetWindowLongPtrW(aWnd, aIndex, aValue));
}

LRESULT CallWindowProcW(WNDPROC aProc, HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  if (!aProc)
    return 0;
  auto* object = reinterpret_cast<const ObjectWndProc*>(aProc);
  if (ObjectProcs().count(object))
    return (*object)(aWnd, aMsg, aWParam, aLParam);
  return aProc(aWnd, aMsg, aWParam, aLParam);
}

ULONG_PTR GetClassLongPtrW(HWND aWnd, int aIndex) {
  Window* w = Live(aWnd);
  if (!w)
    return 0;
  const WindowClass& c = *w->Class;
  switch (aIndex) {
  case GCL_STYLE:
    return c.Style;
  case GCLP_HBRBACKGROUND:
    return reinterpret_cast<ULONG_PTR>(c.Background);
  case GCLP_HCURSOR:
    return reinterpret_cast<ULONG_PTR>(c.Cursor);
  case GCLP_HICON:
    return reinterpret_cast<ULONG_PTR>(c.Icon);
  case GCLP_HICONSM:
    return reinterpret_cast<ULONG_PTR>(c.IconSmall);
  case GCLP_WNDPROC:
    return reinterpret_cast<ULONG_PTR>(c.Proc);
  }
  return 0;
}

ULONG_PTR SetClassLongPtrW(HWND aWnd, int aIndex, LONG_PTR aValue) {
  const ULONG_PTR old = GetClassLongPtrW(aWnd, aIndex);
  Window* w = Live(aWnd);
  if (!w)
    return 0;
  WindowClass& c = *w->Class;
  switch (aIndex) {
  case GCL_STYLE:
    c.Style = UINT(aValue);
    break;
  case GCLP_HBRBACKGROUND:
    c.Background = reinterpret_cast<HBRUSH>(aValue);
    break;
  case GCLP_HCURSOR:
    c.Cursor = reinterpret_cast<HCURSOR>(aValue);
    break;
  case GCLP_HICON:
    c.Icon = reinterpret_cast<HICON>(aValue);
    break;
  case GCLP_HICONSM:
    c.IconSmall = reinterpret_cast<HICON>(aValue);
    break;
  case GCLP_WNDPROC:
    if (aValue)
      c.Proc = reinterpret_cast<WNDPROC>(aValue);
    break;
  default:
    return 0;
  }
  return old;
}

WNDPROC MakeObjectInstance(ObjectWndProc aMethod) {
  auto* object = new ObjectWndProc(std::move(aMethod));
  ObjectProcs().insert(object);
  return reinterpret_cast<WNDPROC>(object);
}

void FreeObjectInstance(WNDPROC aProc) {
  auto* object = reinterpret_cast<const ObjectWndProc*>(aProc);
  if (ObjectProcs().erase(object))
    delete object;
}

} // namespace platform
