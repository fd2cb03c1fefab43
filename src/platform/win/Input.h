#pragma once
// Keyboard focus, activation, mouse capture and tracking, keyboard state and
// the cursor position; and the entry points through which a host feeds raw
// input into the layer (screen coordinates). User-interface thread only.

#include "platform/win/WinDefs.h"

namespace platform {

HWND SetFocus(HWND aWnd);
HWND GetFocus();
// Activates a top-level window (or the top-level window of a child).
HWND SetActiveWindow(HWND aWnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND aWnd);
HWND GetForegroundWindow();
HWND SetCapture(HWND aWnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* aEvent);
// The high bit is set while the key is down, the low bit toggles per press.
short GetKeyState(int aVirtKey);
short GetAsyncKeyState(int aVirtKey);
BOOL GetCursorPos(POINT* aPoint);
// Moves the layer's idea of the cursor and generates the mouse messages a
// move there gives.
BOOL SetCursorPos(int aX, int aY);

// Raw input from a host. Each call queues the event; GetMessageW turns it into
// messages (hit test, cursor, activation on click, capture, leave tracking,
// double clicks) when it takes it from the queue.
enum class MouseButton { Left, Right, Middle };
void InputMouseMove(POINT aScreen);
void InputMouseButton(MouseButton aButton, bool aDown, POINT aScreen);
// aDelta in WHEEL_DELTA units per notch, positive away from the user.
void InputMouseWheel(int aDelta, POINT aScreen);
// aChar: the Unicode character the key produces (0: none).
void InputKey(int aVirtKey, bool aDown, char32_t aChar);
// The application lost or got the input focus of the display.
void InputAppFocus(bool aActive);

} // namespace platform
