#pragma once
// The platform's default handling of window messages: non-client calculation,
// painting and hit test, caption and border dragging, caption buttons and
// system commands, native scroll bars, text, activation and focus defaults.

#include "platform/win/WinDefs.h"

namespace platform {

LRESULT DefWindowProcW(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam);

// What WM_GETMINMAXINFO starts from: the screen as the maximized size, the
// minimum tracking size of the system metrics.
MINMAXINFO DefaultMinMaxInfo(HWND aWnd);
// The size held within the tracking sizes the window answers
// WM_GETMINMAXINFO with (the size itself for a dead window).
TSize LimitToTrackSize(HWND aWnd, TSize aSize);

} // namespace platform
