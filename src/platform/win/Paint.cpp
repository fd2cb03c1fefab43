#include "platform/win/Paint.h"

#include "platform/win/Window.h"
#include "platform/win/WindowState.h"

#include <memory>
#include <unordered_map>

namespace platform {

using namespace detail;

namespace {

struct WindowDC {
  std::unique_ptr<DeviceContext> DC;
  HWND Wnd = nullptr;
  TPoint Origin; // device (0, 0) in top-level coordinates
};

std::unordered_map<HDC, WindowDC>& WindowDCs() {
  static std::unordered_map<HDC, WindowDC> dcs;
  return dcs;
}

TRect ClientInWindow(const Window* aWnd) {
  return aWnd->Client;
}

// The part of a child (in its parent's client coordinates) that covers what
// lies below it.
Region Footprint(const Window* aChild, TPoint aOffset) {
  Region r(aChild->Rect.Offset(aOffset.X, aOffset.Y));
  if (aChild->Shape) {
    Region shape = *aChild->Shape;
    shape.Offset(aChild->Rect.Left + aOffset.X, aChild->Rect.Top + aOffset.Y);
    r = r.Intersect(shape);
  }
  return r;
}

bool HasPending(const Window* aWnd) {
  return !aWnd->Update.IsEmpty() || aWnd->NeedNcPaint || aWnd->InternalPaint;
}

Window* FindPending(Window* aWnd) {
  if (!(aWnd->Style & WS_VISIBLE))
    return nullptr;
  if (HasPending(aWnd))
    return aWnd;
  for (Window* child : aWnd->Children)
    if (Window* hit = FindPending(child))
      return hit;
  return nullptr;
}

// The children's handles, taken before messages that may destroy some.
std::vector<HWND> ChildHandles(const Window* aWnd) {
  std::vector<HWND> handles;
  handles.reserve(aWnd->Children.size());
  for (Window* c : aWnd->Children)
    handles.push_back(c->Handle);
  return handles;
}

void PaintTree(HWND aWnd, bool aChildren) {
  Window* w = Live(aWnd);
  if (!w || !IsShowing(w))
    return;
  if (HasPending(w))
    SendPaintMessage(w);
  if (!aChildren || !(w = Live(aWnd)))
    return;
  for (HWND c : ChildHandles(w))
    PaintTree(c, true);
}

HDC MakeDC(Window* aWnd, bool aClient, const Region* aLimit) {
  Window* top = TopLevelOf(aWnd);
  if (!top || top == Ui().Desktop)
    return nullptr;
  WindowDC entry;
  entry.DC = std::make_unique<DeviceContext>();
  entry.Wnd = aWnd->Handle;
  TPoint origin = OriginInTopLevel(aWnd);
  if (aClient) {
    origin.X += aWnd->Client.Left;
    origin.Y += aWnd->Client.Top;
  }
  entry.Origin = origin;
  Region clip = VisibleRegion(aWnd, aClient);
  if (aLimit)
    clip = clip.Intersect(*aLimit);
  clip.Offset(-origin.X, -origin.Y);
  HDC dc = entry.DC.get();
  SelectObject(dc, &top->Backing);
  dc->SetDeviceOrigin(origin);
  dc->SetSystemClip(&clip);
  WindowDCs().emplace(dc, std::move(entry));
  return dc;
}

void Erase(Window* aWnd) {
  if (!aWnd->NeedErase && aWnd->DelayedErase.IsEmpty())
    return;
  Region area = aWnd->DelayedErase;
  if (aWnd->NeedErase)
    area = area.Union(aWnd->Update);
  aWnd->NeedErase = false;
  aWnd->DelayedErase = Region();
  area = area.Intersect(Region(ClientInWindow(aWnd)));
  if (area.IsEmpty())
    return;
  area.Offset(OriginInTopLevel(aWnd).X, OriginInTopLevel(aWnd).Y);
  const HWND h = aWnd->Handle;
  HDC dc = MakeDC(aWnd, true, &area);
  if (!dc)
    return;
  Send(aWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  ReleaseDC(h, dc);
}

void NcPaint(Window* aWnd) {
  if (!aWnd->NeedNcPaint)
    return;
  aWnd->NeedNcPaint = false;
  Send(aWnd, WM_NCPAINT, 1, 0);
}

void EraseNow(HWND aWnd, bool aChildren) {
  Window* w = Live(aWnd);
  if (!w || !IsShowing(w))
    return;
  NcPaint(w);
  if ((w = Live(aWnd)))
    Erase(w);
  if (!aChildren || !(w = Live(aWnd)))
    return;
  for (HWND c : ChildHandles(w))
    EraseNow(c, true);
}

Region ToWindowCoords(const Window* aWnd, const RECT* aRect, HRGN aRgn, bool aFrame) {
  Region area;
  if (aRgn)
    area = *aRgn;
  else if (aRect)
    area = Region(*aRect);
  else
    return aFrame ? Region(aWnd->WindowBounds()) : Region(aWnd->Client);
  area.Offset(aWnd->Client.Left, aWnd->Client.Top);
  return area;
}

} // namespace

namespace detail {

Region VisibleRegion(const Window* aWnd, bool aClient) {
  TPoint origin = OriginInTopLevel(aWnd);
  TRect base = aClient ? aWnd->Client : aWnd->WindowBounds();
  Region area(base.Offset(origin.X, origin.Y));
  if (aWnd->Shape) {
    Region shape = *aWnd->Shape;
    shape.Offset(origin.X, origin.Y);
    area = area.Intersect(shape);
  }
  if (aWnd->Style & WS_CLIPCHILDREN) {
    const TPoint inner{origin.X + aWnd->Client.Left, origin.Y + aWnd->Client.Top};
    for (const Window* c : aWnd->Children)
      if ((c->Style & WS_VISIBLE) && area.Intersects(c->Rect.Offset(inner.X, inner.Y)))
        area = area.Subtract(Footprint(c, inner));
  }
  for (const Window* cur = aWnd; cur && !cur->IsTopLevel() && cur->Parent; cur = cur->Parent) {
    const Window* p = cur->Parent;
    const TPoint pOrigin = OriginInTopLevel(p);
    const TRect parentClient = p->Client.Offset(pOrigin.X, pOrigin.Y);
    if (parentClient.Intersect(area.Bounds()) != area.Bounds())
      area = area.Intersect(Region(parentClient));
    if (p->Shape) {
      Region shape = *p->Shape;
      shape.Offset(pOrigin.X, pOrigin.Y);
      area = area.Intersect(shape);
    }
    if (cur->Style & WS_CLIPSIBLINGS) {
      const TPoint inner{pOrigin.X + p->Client.Left, pOrigin.Y + p->Client.Top};
      for (const Window* s : p->Children) {
        if (s == cur)
          break;
        if ((s->Style & WS_VISIBLE) && area.Intersects(s->Rect.Offset(inner.X, inner.Y)))
          area = area.Subtract(Footprint(s, inner));
      }
    }
  }
  return area;
}

void InvalidateWindow(Window* aWnd, const Region* aRgn, UINT aFlags) {
  if (aWnd != Ui().Desktop && TopLevelOf(aWnd)->LayerUpdated)
    return;
  if (!IsShowing(aWnd) || aWnd == Ui().Desktop) {
    if (aWnd == Ui().Desktop && (aFlags & RDW_ALLCHILDREN))
      for (Window* top : aWnd->Children)
        InvalidateWindow(top, nullptr, aFlags | RDW_FRAME);
    return;
  }
  const bool frame = (aFlags & RDW_FRAME) != 0;
  const TRect limit = frame ? aWnd->WindowBounds() : aWnd->Client;
  Region area = aRgn ? aRgn->Intersect(Region(limit)) : Region(limit);
  if (aFlags & RDW_INVALIDATE) {
    if (!area.IsEmpty()) {
      aWnd->Update = aWnd->Update.Union(area);
      if (aFlags & RDW_ERASE)
        aWnd->NeedErase = true;
      if (frame && !area.Subtract(Region(aWnd->Client)).IsEmpty())
        aWnd->NeedNcPaint = true;
    }
    if (aFlags & RDW_INTERNALPAINT)
      aWnd->InternalPaint = true;
  } else if (aFlags & RDW_VALIDATE) {
    if (aWnd->NeedErase && !(aFlags & RDW_NOERASE))
      aWnd->DelayedErase =
          aWnd->DelayedErase.Union(aWnd->Update.Intersect(area).Intersect(Region(aWnd->Client)));
    aWnd->Update = aWnd->Update.Subtract(area);
    if (frame && !(aFlags & RDW_NOFRAME))
      aWnd->NeedNcPaint = false;
    if ((aFlags & RDW_NOERASE) || aWnd->Update.IsEmpty())
      aWnd->NeedErase = false;
    if (aFlags & RDW_NOINTERNALPAINT)
      aWnd->InternalPaint = false;
    if (aWnd->Update.Intersect(Region(aWnd->Client)).IsEmpty() && !aWnd->NeedNcPaint)
      aWnd->Update = Region();
  }
  if (aFlags & RDW_NOERASE)
    aWnd->NeedErase = false;
  if (aFlags & RDW_NOFRAME)
    aWnd->NeedNcPaint = false;

  const bool children = (aFlags & RDW_ALLCHILDREN) ||
                        (!(aFlags & RDW_NOCHILDREN) && !(aWnd->Style & WS_CLIPCHILDREN));
  if (!children)
    return;
  Region inClient = area.Intersect(Region(aWnd->Client));
  if (inClient.IsEmpty())
    return;
  for (Window* c : aWnd->Children) {
    if (!(c->Style & WS_VISIBLE))
      continue;
    Region part = inClient;
    part.Offset(-aWnd->Client.Left - c->Rect.Left, -aWnd->Client.Top - c->Rect.Top);
    part = part.Intersect(Region(c->WindowBounds()));
    if (!part.IsEmpty())
      InvalidateWindow(c, &part, (aFlags | RDW_FRAME) & ~(RDW_NOFRAME));
  }
}

LRESULT SendPaintMessage(Window* aWnd) {
  const HWND h = aWnd->Handle;
  aWnd->BeganPaint = false;
  const LRESULT result = Send(aWnd, WM_PAINT, 0, 0);
  // What is still due for the frame and the background is done now, as the
  // platform's dispatch does.
  if ((aWnd = Live(h)))
    NcPaint(aWnd);
  if ((aWnd = Live(h)))
    Erase(aWnd);
  if ((aWnd = Live(h)) && !aWnd->BeganPaint)
    ForgetPaint(aWnd);
  return result;
}

void ForgetPaint(Window* aWnd) {
  aWnd->Update = Region();
  aWnd->DelayedErase = Region();
  aWnd->NeedErase = false;
  aWnd->NeedNcPaint = false;
  aWnd->InternalPaint = false;
}

HWND NextPaintWindow(HWND aWithin) {
  if (aWithin) {
    Window* within = Live(aWithin);
    Window* w = within ? FindPending(within) : nullptr;
    return w ? w->Handle : nullptr;
  }
  for (Window* top : Ui().Desktop->Children)
    if (Window* w = FindPending(top))
      return w->Handle;
  return nullptr;
}

void PresentDirty() {
  std::vector<HWND> tops;
  for (Window* t : Ui().Desktop->Children)
    if (!t->Dirty.IsEmpty())
      tops.push_back(t->Handle);
  for (HWND h : tops) {
    Window* t = Live(h);
    if (!t)
      continue;
    Region dirty = std::move(t->Dirty);
    t->Dirty = Region();
    if (IsShowing(t))
      HostOf().Present(h, t->Backing, dirty);
  }
}

void TopLevelResized(Window* aWnd) {
  const int w = std::max(aWnd->Rect.Width(), 1);
  const int h = std::max(aWnd->Rect.Height(), 1);
  if (aWnd->Backing.Width() != w || aWnd->Backing.Height() != h)
    aWnd->Backing.SetSize(w, h);
  aWnd->Dirty = Region(aWnd->WindowBounds());
}

void MarkDirty(Window* aTop, const Region& aArea) {
  aTop->Dirty = aTop->Dirty.Union(aArea.Intersect(Region(aTop->WindowBounds())));
}

} // namespace detail

BOOL InvalidateRect(HWND aWnd, const RECT* aRect, BOOL aErase) {
  return RedrawWindow(aWnd, aRect, nullptr,
                      RDW_INVALIDATE | (aErase ? RDW_ERASE : 0) | (aWnd ? 0 : RDW_ALLCHILDREN));
}

BOOL InvalidateRgn(HWND aWnd, HRGN aRgn, BOOL aErase) {
  return RedrawWindow(aWnd, nullptr, aRgn, RDW_INVALIDATE | (aErase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND aWnd, const RECT* aRect) {
  return RedrawWindow(aWnd, aRect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND aWnd, HRGN aRgn) {
  return RedrawWindow(aWnd, nullptr, aRgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL RedrawWindow(HWND aWnd, const RECT* aUpdate, HRGN aUpdateRgn, UINT aFlags) {
  Window* w = aWnd ? Live(aWnd) : Ui().Desktop;
  if (!w)
    return FALSE;
  if (w == Ui().Desktop) {
    std::vector<HWND> tops;
    for (Window* t : w->Children)
      tops.push_back(t->Handle);
    for (HWND t : tops)
      RedrawWindow(t, nullptr, nullptr, aFlags | RDW_FRAME);
    return TRUE;
  }
  if (aFlags & (RDW_INVALIDATE | RDW_VALIDATE)) {
    Region area = ToWindowCoords(w, aUpdate, aUpdateRgn, (aFlags & RDW_FRAME) != 0);
    InvalidateWindow(w, &area, aFlags);
  } else if (aFlags & (RDW_NOERASE | RDW_NOFRAME)) {
    InvalidateWindow(w, nullptr, aFlags & (RDW_NOERASE | RDW_NOFRAME | RDW_NOCHILDREN));
  }
  const bool children = !(aFlags & RDW_NOCHILDREN);
  if (aFlags & RDW_UPDATENOW)
    PaintTree(aWnd, children);
  else if (aFlags & RDW_ERASENOW)
    EraseNow(aWnd, children);
  return TRUE;
}

BOOL UpdateWindow(HWND aWnd) {
  if (!Live(aWnd))
    return FALSE;
  return RedrawWindow(aWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL GetUpdateRect(HWND aWnd, RECT* aRect, BOOL aErase) {
  Window* w = Live(aWnd);
  if (!w)
    return FALSE;
  if (aErase)
    Erase(w);
  Region client = w->Update.Intersect(Region(w->Client));
  if (aRect) {
    *aRect = client.Bounds();
    if (!client.IsEmpty())
      *aRect = aRect->Offset(-w->Client.Left, -w->Client.Top);
  }
  return client.IsEmpty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND aWnd, HRGN aRgn, BOOL aErase) {
  Window* w = Live(aWnd);
  if (!w || !aRgn)
    return ERROR;
  if (aErase)
    Erase(w);
  Region client = w->Update.Intersect(Region(w->Client));
  client.Offset(-w->Client.Left, -w->Client.Top);
  *aRgn = client;
  return aRgn->Kind();
}

HDC BeginPaint(HWND aWnd, PAINTSTRUCT* aPaint) {
  Window* w = Live(aWnd);
  if (!w || !aPaint)
    return nullptr;
  NcPaint(w);
  if (!(w = Live(aWnd)))
    return nullptr;
  Region area = w->Update.Union(w->DelayedErase).Intersect(Region(w->Client));
  const bool erase = w->NeedErase || !w->DelayedErase.IsEmpty();
  ForgetPaint(w);
  w->BeganPaint = true;
  *aPaint = PAINTSTRUCT{};
  aPaint->rcPaint =
      area.IsEmpty() ? TRect{} : area.Bounds().Offset(-w->Client.Left, -w->Client.Top);
  const TPoint origin = OriginInTopLevel(w);
  area.Offset(origin.X, origin.Y);
  HDC dc = MakeDC(w, true, &area);
  aPaint->hdc = dc;
  if (dc && erase && !area.IsEmpty())
    aPaint->fErase = Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  return dc;
}

BOOL EndPaint(HWND aWnd, const PAINTSTRUCT* aPaint) {
  if (!aPaint)
    return FALSE;
  ReleaseDC(aWnd, aPaint->hdc);
  return TRUE;
}

HDC GetDC(HWND aWnd) {
  Window* w = Live(aWnd);
  return w ? MakeDC(w, true, nullptr) : nullptr;
}

HDC GetWindowDC(HWND aWnd) {
  Window* w = Live(aWnd);
  return w ? MakeDC(w, false, nullptr) : nullptr;
}

int ReleaseDC(HWND, HDC aDC) {
  auto& dcs = WindowDCs();
  auto it = dcs.find(aDC);
  if (it == dcs.end())
    return 0;
  if (Window* w = Live(it->second.Wnd)) {
    if (Window* top = TopLevelOf(w); top && aDC->SystemClip()) {
      Region drawn = *aDC->SystemClip();
      drawn.Offset(it->second.Origin.X, it->second.Origin.Y);
      MarkDirty(top, drawn);
    }
  }
  dcs.erase(it);
  return 1;
}

HWND WindowFromDC(HDC aDC) {
  auto& dcs = WindowDCs();
  auto it = dcs.find(aDC);
  return it == dcs.end() ? nullptr : it->second.Wnd;
}

} // namespace platform
