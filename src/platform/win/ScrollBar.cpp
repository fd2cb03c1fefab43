#include "platform/win/ScrollBar.h"

#include "platform/gfx/SystemColors.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/NonClient.h"
#include "platform/win/WindowState.h"

#include <algorithm>

namespace platform {

using namespace detail;

namespace {

constexpr int MinThumb = 8;
constexpr UINT_PTR RepeatTimer = 0xFFF0;
constexpr UINT FirstRepeat = 400;
constexpr UINT NextRepeat = 50;

SCROLLINFO* InfoOf(Window* aWnd, int aBar) {
  if (aBar == SB_VERT)
    return &aWnd->ScrollV;
  if (aBar == SB_HORZ)
    return &aWnd->ScrollH;
  return nullptr;
}

int MaxPos(const SCROLLINFO& aInfo) {
  return std::max(aInfo.nMin, aInfo.nMax - std::max(int(aInfo.nPage) - 1, 0));
}

// Track length and thumb length of a bar; thumb 0 when it cannot scroll.
struct Track {
  int Start = 0;
  int Length = 0;
  int Thumb = 0;
};

Track TrackOf(const TRect& aBar, bool aVertical, const SCROLLINFO& aInfo) {
  const int along = aVertical ? aBar.Height() : aBar.Width();
  const int across = aVertical ? aBar.Width() : aBar.Height();
  const int arrow = std::min(across, along / 2);
  Track t;
  t.Start = (aVertical ? aBar.Top : aBar.Left) + arrow;
  t.Length = along - 2 * arrow;
  const long long range = (long long)aInfo.nMax - aInfo.nMin + 1;
  if (range <= 1 || (aInfo.nPage && range <= aInfo.nPage))
    return t;
  int thumb = aInfo.nPage ? int(t.Length * (long long)aInfo.nPage / range) : across;
  thumb = std::max(thumb, MinThumb);
  if (thumb > t.Length)
    return t;
  t.Thumb = thumb;
  return t;
}

int ThumbOffset(const Track& aTrack, const SCROLLINFO& aInfo, int aPos) {
  const int span = MaxPos(aInfo) - aInfo.nMin;
  if (span <= 0)
    return 0;
  const int pos = std::clamp(aPos, aInfo.nMin, MaxPos(aInfo)) - aInfo.nMin;
  return int((long long)(aTrack.Length - aTrack.Thumb) * pos / span);
}

void RepaintBar(Window* aWnd, int aBar) {
  const FrameLayout f =
      ComputeFrame(FrameStyle(aWnd), aWnd->ExStyle, {aWnd->Rect.Width(), aWnd->Rect.Height()});
  const TRect bar = aBar == SB_VERT ? f.VScroll : f.HScroll;
  if (bar.IsEmpty())
    return;
  Region area(bar);
  InvalidateWindow(aWnd, &area, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

} // namespace

ScrollBarLayout ComputeScrollBar(const TRect& aBar, bool aVertical, const SCROLLINFO& aInfo) {
  ScrollBarLayout l;
  l.Bar = aBar;
  const Track t = TrackOf(aBar, aVertical, aInfo);
  const int end = t.Start + t.Length;
  if (aVertical) {
    l.ArrowUp = {aBar.Left, aBar.Top, aBar.Right, t.Start};
    l.ArrowDown = {aBar.Left, end, aBar.Right, aBar.Bottom};
  } else {
    l.ArrowUp = {aBar.Left, aBar.Top, t.Start, aBar.Bottom};
    l.ArrowDown = {end, aBar.Top, aBar.Right, aBar.Bottom};
  }
  if (!t.Thumb)
    return l;
  const int from = t.Start + ThumbOffset(t, aInfo, aInfo.nPos);
  const int to = from + t.Thumb;
  if (aVertical) {
    l.Thumb = {aBar.Left, from, aBar.Right, to};
    l.PageUp = {aBar.Left, t.Start, aBar.Right, from};
    l.PageDown = {aBar.Left, to, aBar.Right, end};
  } else {
    l.Thumb = {from, aBar.Top, to, aBar.Bottom};
    l.PageUp = {t.Start, aBar.Top, from, aBar.Bottom};
    l.PageDown = {to, aBar.Top, end, aBar.Bottom};
  }
  return l;
}

int ThumbPosition(const TRect& aBar, bool aVertical, const SCROLLINFO& aInfo, int aStartPos,
                  int aOffset) {
  const Track t = TrackOf(aBar, aVertical, aInfo);
  const int free = t.Length - t.Thumb;
  const int span = MaxPos(aInfo) - aInfo.nMin;
  if (!t.Thumb || free <= 0 || span <= 0)
    return aStartPos;
  const int pixel = std::clamp(ThumbOffset(t, aInfo, aStartPos) + aOffset, 0, free);
  return aInfo.nMin + int(((long long)pixel * span + free / 2) / free);
}

BOOL GetScrollInfo(HWND aWnd, int aBar, SCROLLINFO* aInfo) {
  Window* w = Live(aWnd);
  SCROLLINFO* info = w ? InfoOf(w, aBar) : nullptr;
  if (!info || !aInfo)
    return FALSE;
  if (aInfo->fMask & SIF_RANGE) {
    aInfo->nMin = info->nMin;
    aInfo->nMax = info->nMax;
  }
  if (aInfo->fMask & SIF_PAGE)
    aInfo->nPage = info->nPage;
  if (aInfo->fMask & SIF_POS)
    aInfo->nPos = info->nPos;
  if (aInfo->fMask & SIF_TRACKPOS)
    aInfo->nTrackPos = info->nTrackPos;
  return TRUE;
}

int SetScrollInfo(HWND aWnd, int aBar, const SCROLLINFO* aInfo, BOOL aRedraw) {
  Window* w = Live(aWnd);
  SCROLLINFO* info = w ? InfoOf(w, aBar) : nullptr;
  if (!info || !aInfo)
    return 0;
  if (aInfo->fMask & SIF_RANGE) {
    info->nMin = aInfo->nMin;
    info->nMax = std::max(aInfo->nMin, aInfo->nMax);
  }
  if (aInfo->fMask & SIF_PAGE)
    info->nPage = aInfo->nPage;
  const UINT range = UINT((long long)info->nMax - info->nMin + 1);
  info->nPage = std::min(info->nPage, range);
  if (aInfo->fMask & SIF_POS)
    info->nPos = aInfo->nPos;
  info->nPos = std::clamp(info->nPos, info->nMin, MaxPos(*info));
  // A bar drawn by someone else sets the position its dragged thumb stands
  // for here, where SB_THUMBTRACK's receiver reads it (wParam holds only 16
  // bits of it).
  if (aInfo->fMask & SIF_TRACKPOS)
    info->nTrackPos = std::clamp(aInfo->nTrackPos, info->nMin, MaxPos(*info));
  if (aRedraw && IsShowing(w))
    RepaintBar(w, aBar);
  return info->nPos;
}

int GetScrollPos(HWND aWnd, int aBar) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  return GetScrollInfo(aWnd, aBar, &si) ? si.nPos : 0;
}

int SetScrollPos(HWND aWnd, int aBar, int aPos, BOOL aRedraw) {
  const int old = GetScrollPos(aWnd, aBar);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = aPos;
  SetScrollInfo(aWnd, aBar, &si, aRedraw);
  return old;
}

BOOL SetScrollRange(HWND aWnd, int aBar, int aMinPos, int aMaxPos, BOOL aRedraw) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = aMinPos;
  si.nMax = aMaxPos;
  return Live(aWnd) && SetScrollInfo(aWnd, aBar, &si, aRedraw) >= aMinPos ? TRUE : FALSE;
}

namespace {

// The layout of the window's bar as its frame is now; empty when the window
// is gone.
ScrollBarLayout CurrentLayout(HWND aWnd, int aBar) {
  Window* w = Live(aWnd);
  if (!w)
    return {};
  const FrameLayout f =
      ComputeFrame(FrameStyle(w), w->ExStyle, {w->Rect.Width(), w->Rect.Height()});
  const bool vertical = aBar == SB_VERT;
  return ComputeScrollBar(vertical ? f.VScroll : f.HScroll, vertical, *InfoOf(w, aBar));
}

TPoint ToWindow(HWND aWnd, POINT aScreen) {
  Window* w = Live(aWnd);
  const TPoint o = w ? ScreenOrigin(w) : TPoint{};
  return {aScreen.X - o.X, aScreen.Y - o.Y};
}

// The part of a bar a scroll code stands for: the arrows, the thumb
// (SB_THUMBTRACK) and the page areas.
TRect PartRect(const ScrollBarLayout& aLayout, WPARAM aCode) {
  switch (aCode) {
  case SB_LINEUP:
    return aLayout.ArrowUp;
  case SB_LINEDOWN:
    return aLayout.ArrowDown;
  case SB_THUMBTRACK:
    return aLayout.Thumb;
  case SB_PAGEUP:
    return aLayout.PageUp;
  case SB_PAGEDOWN:
    return aLayout.PageDown;
  }
  return {};
}

// The scroll code of the part under a point, SB_ENDSCROLL for none.
WPARAM PartAt(const ScrollBarLayout& aLayout, TPoint aAt) {
  for (WPARAM code : {SB_LINEUP, SB_LINEDOWN, SB_THUMBTRACK, SB_PAGEUP, SB_PAGEDOWN})
    if (PartRect(aLayout, code).Contains(aAt))
      return code;
  return SB_ENDSCROLL;
}

// A press on a bar held until the left button comes up: an arrow or page
// area repeats its scroll while the cursor stays on it, the thumb follows
// the cursor.
struct ScrollBarDrag {
  HWND Wnd;
  int Bar;
  WPARAM Code;
  TPoint At; // where the press was, window coordinates
  int StartPos;
  int TrackPos;
  TPoint Cursor;

  bool Vertical() const { return Bar == SB_VERT; }
  UINT Message() const { return Vertical() ? WM_VSCROLL : WM_HSCROLL; }

  void Repeat() {
    SetTimer(Wnd, RepeatTimer, NextRepeat, nullptr);
    if (PartRect(CurrentLayout(Wnd, Bar), Code).Contains(Cursor) && Live(Wnd))
      Send(Live(Wnd), Message(), Code, 0);
  }

  // Reports the position the thumb stands for where it changed, and where
  // the drag ends.
  void DragThumb(bool aReleased) {
    Window* w = Live(Wnd);
    if (!w)
      return;
    const int offset = Vertical() ? Cursor.Y - At.Y : Cursor.X - At.X;
    const int pos =
        ThumbPosition(CurrentLayout(Wnd, Bar).Bar, Vertical(), *InfoOf(w, Bar), StartPos, offset);
    if (pos == TrackPos && !aReleased)
      return;
    TrackPos = pos;
    InfoOf(w, Bar)->nTrackPos = pos;
    const WPARAM what = aReleased ? SB_THUMBPOSITION : SB_THUMBTRACK;
    Send(w, Message(), MAKEWPARAM(int(what), pos), 0);
  }

  CaptureStep Step(const MSG& aMsg) {
    if (aMsg.hwnd != Wnd)
      return CaptureStep::NotMine;
    if (aMsg.message == WM_TIMER && aMsg.wParam == RepeatTimer) {
      Repeat();
      return CaptureStep::Handled;
    }
    if (aMsg.message != WM_MOUSEMOVE && aMsg.message != WM_LBUTTONUP)
      return CaptureStep::NotMine;
    Cursor = ToWindow(Wnd, aMsg.pt);
    const bool released = aMsg.message == WM_LBUTTONUP;
    if (Code == SB_THUMBTRACK)
      DragThumb(released);
    return released ? CaptureStep::Finished : CaptureStep::Handled;
  }
};

} // namespace

void TrackScrollBar(HWND aWnd, int aBar, POINT aScreen) {
  Window* w = Live(aWnd);
  if (!w || (aBar != SB_VERT && aBar != SB_HORZ) || !(Ui().KeyState[VK_LBUTTON] & 0x80))
    return;
  const TPoint at = ToWindow(aWnd, aScreen);
  const WPARAM code = PartAt(CurrentLayout(aWnd, aBar), at);
  if (code == SB_ENDSCROLL)
    return;
  const int startPos = InfoOf(w, aBar)->nPos;
  ScrollBarDrag drag{aWnd, aBar, code, at, startPos, startPos, at};
  const bool thumb = code == SB_THUMBTRACK;
  if (!thumb)
    Send(w, drag.Message(), code, 0);
  SetCapture(aWnd);
  if (!thumb && Live(aWnd))
    SetTimer(aWnd, RepeatTimer, FirstRepeat, nullptr);
  RunCaptureLoop(aWnd, [&drag](const MSG& aMsg) { return drag.Step(aMsg); });
  if (Live(aWnd))
    KillTimer(aWnd, RepeatTimer);
  if (GetCapture() == aWnd)
    ReleaseCapture();
  if (Window* cur = Live(aWnd))
    Send(cur, drag.Message(), SB_ENDSCROLL, 0);
}

} // namespace platform
