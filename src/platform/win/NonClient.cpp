#include "platform/win/NonClient.h"

#include "platform/gfx/SystemColors.h"

namespace platform {

bool HasThickFrame(DWORD aStyle) {
  return (aStyle & WS_THICKFRAME) != 0;
}

bool HasCaption(DWORD aStyle) {
  return (aStyle & WS_CAPTION) == WS_CAPTION;
}

namespace {

// Width of the frame outside the client edge: the outer 3D edge of dialog and
// sizing frames, the extra sizing band, and the thin border line.
int FrameWidth(DWORD aStyle, DWORD aExStyle) {
  int width = 0;
  if ((aExStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE)
    width = 1;
  else if ((aExStyle & WS_EX_DLGMODALFRAME) || (aStyle & (WS_THICKFRAME | WS_DLGFRAME)))
    width = GetSystemMetrics(SM_CXDLGFRAME) - 1;
  if (aStyle & WS_THICKFRAME)
    width += GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXDLGFRAME);
  if ((aStyle & (WS_BORDER | WS_DLGFRAME)) || (aExStyle & WS_EX_DLGMODALFRAME))
    width += 1;
  return width;
}

} // namespace

FrameLayout ComputeFrame(DWORD aStyle, DWORD aExStyle, TSize aSize) {
  FrameLayout f;
  if (aStyle & WS_MINIMIZE)
    return f;
  const int frame = FrameWidth(aStyle, aExStyle);
  f.Border = {frame, frame, frame, frame};
  TRect inner{frame, frame, aSize.cx - frame, aSize.cy - frame};
  if (HasCaption(aStyle)) {
    f.SmallCaption = (aExStyle & WS_EX_TOOLWINDOW) != 0;
    const int height = GetSystemMetrics(f.SmallCaption ? SM_CYSMCAPTION : SM_CYCAPTION);
    // The caption's last row is the line between caption and client.
    f.Caption = {inner.Left, inner.Top, inner.Right, inner.Top + height - 1};
    inner.Top += height;
  }
  if (aExStyle & WS_EX_CLIENTEDGE)
    f.ClientEdge = GetSystemMetrics(SM_CXEDGE);
  else if (aExStyle & WS_EX_STATICEDGE)
    f.ClientEdge = 0;
  inner = {inner.Left + f.ClientEdge, inner.Top + f.ClientEdge, inner.Right - f.ClientEdge,
           inner.Bottom - f.ClientEdge};
  if (aStyle & WS_VSCROLL) {
    const int w = GetSystemMetrics(SM_CXVSCROLL);
    if (inner.Width() >= w) {
      f.VScroll = {inner.Right - w, inner.Top, inner.Right, inner.Bottom};
      inner.Right -= w;
    }
  }
  if (aStyle & WS_HSCROLL) {
    const int h = GetSystemMetrics(SM_CYHSCROLL);
    if (inner.Height() >= h) {
      f.HScroll = {inner.Left, inner.Bottom - h, inner.Right, inner.Bottom};
      inner.Bottom -= h;
      if (!f.VScroll.IsEmpty())
        f.VScroll.Bottom = inner.Bottom;
    }
  }
  if (inner.Right < inner.Left)
    inner.Right = inner.Left;
  if (inner.Bottom < inner.Top)
    inner.Bottom = inner.Top;
  f.Client = inner;
  return f;
}

TRect CaptionButtonRect(const FrameLayout& aFrame, DWORD aStyle, DWORD aExStyle,
                        CaptionButton aButton) {
  if (aFrame.Caption.IsEmpty() || !(aStyle & WS_SYSMENU))
    return {};
  const int width = GetSystemMetrics(aFrame.SmallCaption ? SM_CXSMSIZE : SM_CXSIZE);
  const TRect& band = aFrame.Caption;
  auto column = [&](int aIndex) {
    return TRect{band.Right - width * (aIndex + 1), band.Top, band.Right - width * aIndex,
                 band.Bottom};
  };
  const bool boxes =
      !aFrame.SmallCaption && (aStyle & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) && !(aStyle & WS_CHILD);
  switch (aButton) {
  case CaptionButton::Close:
    return column(0);
  case CaptionButton::Maximize:
    return boxes ? column(1) : TRect{};
  case CaptionButton::Minimize:
    return boxes ? column(2) : TRect{};
  case CaptionButton::SysMenu:
    if (aFrame.SmallCaption || (aExStyle & WS_EX_DLGMODALFRAME))
      return {};
    return {band.Left, band.Top, band.Left + width, band.Bottom};
  }
  return {};
}

LRESULT DefaultHitTest(DWORD aStyle, DWORD aExStyle, TSize aSize, TPoint aPoint) {
  const TRect whole{0, 0, aSize.cx, aSize.cy};
  if (!whole.Contains(aPoint))
    return HTNOWHERE;
  if (aStyle & WS_MINIMIZE)
    return HTCAPTION;
  const FrameLayout f = ComputeFrame(aStyle, aExStyle, aSize);
  if (f.Client.Contains(aPoint))
    return HTCLIENT;
  const TRect inside{f.Border.Left, f.Border.Top, aSize.cx - f.Border.Right,
                     aSize.cy - f.Border.Bottom};
  if (!inside.Contains(aPoint)) {
    if (!HasThickFrame(aStyle))
      return HTBORDER;
    // Corners reach along the edges as far as a caption button is wide.
    const int cx = GetSystemMetrics(SM_CXSIZE);
    const int cy = GetSystemMetrics(SM_CYSIZE);
    const bool left = aPoint.X < inside.Left;
    const bool right = aPoint.X >= inside.Right;
    const bool top = aPoint.Y < inside.Top;
    const bool bottom = aPoint.Y >= inside.Bottom;
    if (top || bottom) {
      if (aPoint.X < cx)
        return top ? HTTOPLEFT : HTBOTTOMLEFT;
      if (aPoint.X >= aSize.cx - cx)
        return top ? HTTOPRIGHT : HTBOTTOMRIGHT;
      return top ? HTTOP : HTBOTTOM;
    }
    if (aPoint.Y < cy)
      return left ? HTTOPLEFT : HTTOPRIGHT;
    if (aPoint.Y >= aSize.cy - cy)
      return left ? HTBOTTOMLEFT : HTBOTTOMRIGHT;
    return right ? HTRIGHT : HTLEFT;
  }
  if (!f.Caption.IsEmpty() && aPoint.Y < f.Caption.Bottom + 1) {
    const struct {
      CaptionButton Button;
      LRESULT Hit;
    } buttons[] = {{CaptionButton::Close, HTCLOSE},
                   {CaptionButton::Maximize, HTMAXBUTTON},
                   {CaptionButton::Minimize, HTMINBUTTON},
                   {CaptionButton::SysMenu, HTSYSMENU}};
    for (const auto& b : buttons)
      if (CaptionButtonRect(f, aStyle, aExStyle, b.Button).Contains(aPoint))
        return b.Hit;
    return HTCAPTION;
  }
  if (f.VScroll.Contains(aPoint))
    return HTVSCROLL;
  if (f.HScroll.Contains(aPoint))
    return HTHSCROLL;
  return HTBORDER;
}

} // namespace platform
