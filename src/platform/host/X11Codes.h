#pragma once
// The X codes of the layer's own: virtual keys of key symbols, the window
// manager's drag directions of hit codes, and the font cursors of cursor
// ids.

#include "platform/win/WinDefs.h"

namespace platform {

// The virtual key of a key symbol: letters as capitals, digits, function,
// editing and modifier keys; others as the symbol's low byte. The symbol is
// Xlib's KeySym, an unsigned long, so this header needs no Xlib header.
int VirtualKey(unsigned long aSym);
// The _NET_WM_MOVERESIZE direction of a sizing hit code or HTCAPTION; -1 for
// others.
long MoveResizeDirection(LRESULT aHit);
// The X font cursor of an IDC_* id; the arrow for others.
unsigned FontCursorOf(int aCursorId);

} // namespace platform
