#pragma once
// The default look of the non-client area: a plain classic frame with caption
// text, caption buttons, client edge and native scroll bars, drawn on a DC in
// window coordinates; the caption text in the non-client caption font.

#include "platform/gfx/DeviceContext.h"
#include "platform/win/WinDefs.h"

namespace platform {

// aActive: the frame is drawn active (WM_NCACTIVATE); aPressedHit: the caption
// button (HTCLOSE, HTMAXBUTTON, HTMINBUTTON) drawn pressed, or HTNOWHERE.
void PaintDefaultFrame(HWND aWnd, HDC aDC, bool aActive, LRESULT aPressedHit);

} // namespace platform
