#pragma once
// The non-client geometry the platform derives from a window's style: frame
// widths, caption band, caption buttons, scroll bars, and the default hit
// test. Pure functions of the style, the window size and the system metrics.

#include "platform/win/WinDefs.h"

namespace platform {

// What lies around the client area.
struct FrameLayout {
  // Border widths (left, top, right, bottom) outside the caption.
  TRect Border;
  // The caption band in window coordinates; empty without a caption.
  TRect Caption;
  bool SmallCaption = false;
  // The client edge (WS_EX_CLIENTEDGE / WS_EX_STATICEDGE) inside the caption.
  int ClientEdge = 0;
  // Scroll bar areas in window coordinates; empty when the style has none.
  TRect VScroll;
  TRect HScroll;
  // The client rectangle in window coordinates.
  TRect Client;
};

// The caption buttons a style has, from the right.
enum class CaptionButton { Close, Maximize, Minimize, SysMenu };

bool HasThickFrame(DWORD aStyle);
bool HasCaption(DWORD aStyle);

// The frame of a window of the style and size (window coordinates, (0, 0)
// top-left). A minimized window has no client area.
FrameLayout ComputeFrame(DWORD aStyle, DWORD aExStyle, TSize aSize);

// The rectangle of a caption button in window coordinates; empty when the
// style has no such button.
TRect CaptionButtonRect(const FrameLayout& aFrame, DWORD aStyle, DWORD aExStyle,
                        CaptionButton aButton);

// The platform's default hit code for a point in window coordinates.
LRESULT DefaultHitTest(DWORD aStyle, DWORD aExStyle, TSize aSize, TPoint aPoint);

} // namespace platform
