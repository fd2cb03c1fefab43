#pragma once
// Mouse cursor shapes: the platform's standard cursors by IDC_* number, the
// current cursor, and the default choice by hit code (WM_SETCURSOR). The host
// shows the shape over the top-level window under the mouse.

#include "platform/win/WinDefs.h"

namespace platform {

constexpr int IDC_ARROW = 32512;
constexpr int IDC_IBEAM = 32513;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int IDC_SIZENWSE = 32642;
constexpr int IDC_SIZENESW = 32643;
constexpr int IDC_SIZEWE = 32644;
constexpr int IDC_SIZENS = 32645;
constexpr int IDC_SIZEALL = 32646;
constexpr int IDC_HAND = 32649;

// A standard cursor (aInstance must be null); nullptr for an unknown number.
HCURSOR LoadCursorW(HINSTANCE aInstance, int aCursorName);
// Returns the previous cursor.
HCURSOR SetCursor(HCURSOR aCursor);
HCURSOR GetCursor();
// The standard cursor number of a cursor handle (0 for none).
int CursorId(HCURSOR aCursor);

// The cursor the default handling of WM_SETCURSOR shows for a hit code:
// sizing arrows on the borders, the class cursor (or the arrow) elsewhere.
HCURSOR DefaultCursorFor(LRESULT aHit, HCURSOR aClassCursor);

} // namespace platform
