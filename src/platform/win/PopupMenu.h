#pragma once
// Popup menus: TrackPopupMenu shows a menu in a top-level popup window of the
// class "#32768" and runs a modal loop until an item is chosen or the menu is
// cancelled. User-interface thread only; one popup menu at a time.
//
// The mouse: moving over an item highlights it; releasing the left button
// (and with TPM_RIGHTBUTTON the right one) over an enabled item chooses it; a
// button pressed outside the popup cancels (the click is eaten). The keys:
// Up and Down move the highlight (skipping separators, wrapping round), Home
// and End go to the first and the last item, Enter chooses the highlighted
// item when it is enabled, the character after an item's '&' highlights the
// item (and chooses it when no other item has that character), Escape, Alt
// and F10 cancel. The loop also ends, cancelled, when the owner window goes,
// the popup loses the capture, the menu is destroyed or WM_QUIT arrives
// (which is posted again).
//
// The look is the plain classic one: a raised edge, the menu colour, the
// menu text colour, the highlighted item as a band in the highlight colour
// with highlight text, disabled items in grey text, separators as an etched
// line, shortcuts (the text after a tab) in a column of their own; the text
// in the non-client menu font.

#include "platform/win/Menu.h"

namespace platform {

// TrackPopupMenu flags.
constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// Asks a popup menu window for the menu it shows.
constexpr UINT MN_GETHMENU = 0x01E1;
// WM_ENTERIDLE's wParam while a menu's loop waits for input.
constexpr WPARAM MSGF_MENU = 2;

inline constexpr const char* PopupMenuClassName = "#32768";

// Shows aMenu with its corner at the screen point (aX, aY) as the alignment
// flags say, moved to the other side of the point where the screen ends, and
// tracks it. Unless TPM_NONOTIFY, aWnd gets WM_ENTERMENULOOP,
// WM_INITMENUPOPUP (lParam's high word TRUE for a system menu), WM_ENTERIDLE
// each time the loop waits, WM_UNINITMENUPOPUP and WM_EXITMENULOOP. With
// TPM_RETURNCMD the chosen command is returned (0: none). Otherwise a chosen
// command is posted to aWnd, as WM_SYSCOMMAND for a system menu (lParam: the
// cursor when chosen with the mouse) and as WM_COMMAND otherwise, and the
// result is TRUE. FALSE (0) for an invalid or empty menu, an invalid window
// or while another popup menu is tracked. aReserved and aRect are not used.
BOOL TrackPopupMenu(HMENU aMenu, UINT aFlags, int aX, int aY, int aReserved, HWND aWnd,
                    const RECT* aRect);

// The screen rectangle of the item at position aItem of aMenu while it is
// tracked (its highlight band); FALSE otherwise. aWnd is not used.
BOOL GetMenuItemRect(HWND aWnd, HMENU aMenu, UINT aItem, RECT* aRect);

// Cancels the popup menu being tracked; FALSE when there is none.
BOOL EndMenu();

} // namespace platform
