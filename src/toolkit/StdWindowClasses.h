#pragma once
// The platform's standard window classes that the toolkit builds on: the
// push button ("BUTTON": click on release inside, space key, default style,
// owner drawing through WM_DRAWITEM) and the list box ("LISTBOX": strings
// kept in one contiguous buffer with an offset per line, single selection,
// the LB_* messages, a native vertical scroll bar, owner-draw fixed lines,
// keyboard and wheel scrolling). Their state lives with the window; every
// message answers in time independent of the number of lines, except
// inserting or deleting in the middle.
// Runs on the user-interface thread.

#include "platform/win/WinDefs.h"

namespace platform {

// Registers "BUTTON" and "LISTBOX" once; later calls do nothing.
void RegisterStandardWindowClasses();

LRESULT ButtonWndProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam);
LRESULT ListBoxWndProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam);

// Bytes held by a list box window for its lines (text buffer, offsets and
// item data), for memory figures.
std::size_t ListBoxMemoryUsed(HWND aWnd);

} // namespace platform
