#include "platform/win/FramePainter.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/SystemColors.h"
#include "platform/gfx/Text.h"
#include "platform/win/Menu.h"
#include "platform/win/NonClient.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowState.h"

namespace platform {

using namespace detail;

namespace {

void Fill(HDC aDC, const TRect& aRect, int aColorIndex) {
  if (!aRect.IsEmpty())
    FillSolidRect(aDC, &aRect, GetSysColor(aColorIndex));
}

// A one-pixel line along each side of aRect: top and left in aTopLeft,
// bottom and right in aBottomRight.
void Edge(HDC aDC, const TRect& aRect, int aTopLeft, int aBottomRight) {
  if (aRect.IsEmpty())
    return;
  Fill(aDC, {aRect.Left, aRect.Top, aRect.Right - 1, aRect.Top + 1}, aTopLeft);
  Fill(aDC, {aRect.Left, aRect.Top, aRect.Left + 1, aRect.Bottom - 1}, aTopLeft);
  Fill(aDC, {aRect.Left, aRect.Bottom - 1, aRect.Right, aRect.Bottom}, aBottomRight);
  Fill(aDC, {aRect.Right - 1, aRect.Top, aRect.Right, aRect.Bottom}, aBottomRight);
}

TRect Deflate(const TRect& aRect, int aBy) {
  return {aRect.Left + aBy, aRect.Top + aBy, aRect.Right - aBy, aRect.Bottom - aBy};
}

// A raised (or, pressed, sunken) classic button face.
void ButtonFace(HDC aDC, const TRect& aRect, bool aPressed) {
  Fill(aDC, aRect, COLOR_BTNFACE);
  if (aPressed) {
    Edge(aDC, aRect, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT);
    Edge(aDC, Deflate(aRect, 1), COLOR_BTNSHADOW, COLOR_3DLIGHT);
  } else {
    Edge(aDC, aRect, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    Edge(aDC, Deflate(aRect, 1), COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
  }
}

// The glyphs of the caption buttons, centred in the button, in button text
// colour (grey text when the button does nothing); drawn one pixel lower
// right when pressed.
void CaptionGlyph(HDC aDC, const TRect& aButton, LRESULT aHit, bool aPressed, bool aMaximized,
                  bool aEnabled) {
  const int shift = aPressed ? 1 : 0;
  const int size = std::min(aButton.Width(), aButton.Height()) - 6;
  if (size < 3)
    return;
  const int x = aButton.Left + (aButton.Width() - size) / 2 + shift;
  const int y = aButton.Top + (aButton.Height() - size) / 2 + shift;
  const COLORREF ink = GetSysColor(aEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  auto box = [&](const TRect& aRect) { FillSolidRect(aDC, &aRect, ink); };
  switch (aHit) {
  case HTCLOSE:
    // Two diagonals, two pixels wide.
    for (int i = 0; i < size; ++i) {
      box({x + i, y + i, x + i + 2 > x + size ? x + size : x + i + 2, y + i + 1});
      box({x + size - i - 2 < x ? x : x + size - i - 2, y + i, x + size - i, y + i + 1});
    }
    break;
  case HTMINBUTTON:
    box({x, y + size - 2, x + size, y + size});
    break;
  case HTMAXBUTTON:
    if (aMaximized) {
      const int s = size - 2;
      const TRect back{x + 2, y, x + 2 + s, y + s};
      const TRect front{x, y + 2, x + s, y + 2 + s};
      box({back.Left, back.Top, back.Right, back.Top + 2});
      box({back.Right - 1, back.Top, back.Right, back.Bottom});
      box({front.Left, front.Top, front.Right, front.Top + 2});
      box({front.Left, front.Top, front.Left + 1, front.Bottom});
      box({front.Right - 1, front.Top, front.Right, front.Bottom});
      box({front.Left, front.Bottom - 1, front.Right, front.Bottom});
    } else {
      box({x, y, x + size, y + 2});
      box({x, y, x + 1, y + size});
      box({x + size - 1, y, x + size, y + size});
      box({x, y + size - 1, x + size, y + size});
    }
    break;
  }
}

// A scroll bar arrow: a triangle pointing up, down, left or right.
void Arrow(HDC aDC, const TRect& aButton, int aDirection) {
  const int half = std::max(1, std::min(aButton.Width(), aButton.Height()) / 4);
  const int cx = aButton.Left + aButton.Width() / 2;
  const int cy = aButton.Top + aButton.Height() / 2;
  const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  for (int i = 0; i < half; ++i) {
    TRect r;
    switch (aDirection) {
    case 0: // up
      r = {cx - i, cy - half / 2 + i, cx + i + 1, cy - half / 2 + i + 1};
      break;
    case 1: // down
      r = {cx - i, cy + half / 2 - i, cx + i + 1, cy + half / 2 - i + 1};
      break;
    case 2: // left
      r = {cx - half / 2 + i, cy - i, cx - half / 2 + i + 1, cy + i + 1};
      break;
    default: // right
      r = {cx + half / 2 - i, cy - i, cx + half / 2 - i + 1, cy + i + 1};
      break;
    }
    FillSolidRect(aDC, &r, ink);
  }
}

void ScrollBar(HDC aDC, const TRect& aBar, bool aVertical, const SCROLLINFO& aInfo) {
  if (aBar.IsEmpty())
    return;
  const ScrollBarLayout l = ComputeScrollBar(aBar, aVertical, aInfo);
  Fill(aDC, aBar, COLOR_SCROLLBAR);
  ButtonFace(aDC, l.ArrowUp, false);
  ButtonFace(aDC, l.ArrowDown, false);
  Arrow(aDC, l.ArrowUp, aVertical ? 0 : 2);
  Arrow(aDC, l.ArrowDown, aVertical ? 1 : 3);
  if (!l.Thumb.IsEmpty())
    ButtonFace(aDC, l.Thumb, false);
}

void PaintBorder(HDC aDC, const Window* aWnd, const FrameLayout& aFrame, const TRect& aWhole,
                 bool aActive) {
  const bool thick = HasThickFrame(aWnd->Style);
  const bool dialog = (aWnd->Style & WS_DLGFRAME) || (aWnd->ExStyle & WS_EX_DLGMODALFRAME);
  if (thick || dialog) {
    Fill(aDC, aWhole,
         thick ? (aActive ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER) : COLOR_BTNFACE);
    Edge(aDC, aWhole, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    Edge(aDC, Deflate(aWhole, 1), COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
    if (thick)
      Edge(aDC, Deflate(aWhole, aFrame.Border.Left - 1), COLOR_BTNFACE, COLOR_BTNFACE);
  } else if (aFrame.Border.Left > 0) {
    Edge(aDC, aWhole, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME);
  }
}

// The caption buttons from the right; returns the caption's left part that
// they leave for the text.
TRect PaintCaptionButtons(HDC aDC, const Window* aWnd, const FrameLayout& aFrame,
                          LRESULT aPressedHit) {
  TRect text = aFrame.Caption;
  text.Left += 4;
  const LRESULT hits[] = {HTCLOSE, HTMAXBUTTON, HTMINBUTTON};
  const CaptionButton buttons[] = {CaptionButton::Close, CaptionButton::Maximize,
                                   CaptionButton::Minimize};
  for (int i = 0; i < 3; ++i) {
    const TRect column = CaptionButtonRect(aFrame, aWnd->Style, aWnd->ExStyle, buttons[i]);
    if (column.IsEmpty())
      continue;
    text.Right = std::min(text.Right, column.Left);
    const TRect button{column.Left + 1, column.Top + 2, column.Right - (i == 0 ? 2 : 0),
                       column.Bottom - 2};
    const bool pressed = aPressedHit == hits[i];
    ButtonFace(aDC, button, pressed);
    // A Close greyed in the system menu greys the close button.
    const bool enabled = hits[i] != HTCLOSE || CloseAllowed(aWnd->Handle);
    CaptionGlyph(aDC, button, hits[i], pressed, (aWnd->Style & WS_MAXIMIZE) != 0, enabled);
  }
  return text;
}

void PaintCaption(HDC aDC, const Window* aWnd, const FrameLayout& aFrame, bool aActive,
                  LRESULT aPressedHit) {
  const TRect& caption = aFrame.Caption;
  Fill(aDC, caption, aActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  Fill(aDC, {caption.Left, caption.Bottom, caption.Right, caption.Bottom + 1}, COLOR_BTNFACE);
  TRect text = PaintCaptionButtons(aDC, aWnd, aFrame, aPressedHit);
  if (aWnd->Text.empty() || text.Width() <= 0)
    return;
  SetBkMode(aDC, TRANSPARENT);
  SelectObject(aDC, GetNonClientFont(aFrame.SmallCaption ? NonClientFont::SmallCaption
                                                         : NonClientFont::Caption));
  SetTextColor(aDC, GetSysColor(aActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  DrawTextW(aDC, aWnd->Text, &text,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
}

// The sunken edge round the client area and its scroll bars.
void PaintClientEdge(HDC aDC, const FrameLayout& aFrame) {
  const int e = aFrame.ClientEdge;
  TRect edge{aFrame.Client.Left - e, aFrame.Client.Top - e, aFrame.Client.Right + e,
             aFrame.Client.Bottom + e};
  if (!aFrame.VScroll.IsEmpty())
    edge.Right = aFrame.VScroll.Right + e;
  if (!aFrame.HScroll.IsEmpty())
    edge.Bottom = aFrame.HScroll.Bottom + e;
  Edge(aDC, edge, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  Edge(aDC, Deflate(edge, 1), COLOR_3DDKSHADOW, COLOR_3DLIGHT);
}

} // namespace

void PaintDefaultFrame(HWND aWnd, HDC aDC, bool aActive, LRESULT aPressedHit) {
  Window* w = Live(aWnd);
  if (!w || !aDC)
    return;
  const TSize size{w->Rect.Width(), w->Rect.Height()};
  const FrameLayout f = ComputeFrame(FrameStyle(w), w->ExStyle, size);
  const ScopedSaveDC saved(aDC);
  // Everything but the client area.
  ExcludeClipRect(aDC, f.Client.Left, f.Client.Top, f.Client.Right, f.Client.Bottom);
  PaintBorder(aDC, w, f, {0, 0, size.cx, size.cy}, aActive);
  if (!f.Caption.IsEmpty())
    PaintCaption(aDC, w, f, aActive, aPressedHit);
  if (f.ClientEdge > 0)
    PaintClientEdge(aDC, f);
  ScrollBar(aDC, f.VScroll, true, w->ScrollV);
  ScrollBar(aDC, f.HScroll, false, w->ScrollH);
  if (!f.VScroll.IsEmpty() && !f.HScroll.IsEmpty())
    Fill(aDC, {f.VScroll.Left, f.HScroll.Top, f.VScroll.Right, f.HScroll.Bottom}, COLOR_BTNFACE);
}

} // namespace platform
