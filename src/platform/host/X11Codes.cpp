#include "platform/host/X11Codes.h"

#include "platform/win/Cursor.h"

// Xlib after the layer's headers: it defines macros such as None and Status.
#include <X11/X.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

// The header passes key symbols as unsigned long.
static_assert(sizeof(KeySym) == sizeof(unsigned long));

namespace platform {

int VirtualKey(unsigned long aSym) {
  if (aSym >= XK_a && aSym <= XK_z)
    return int('A' + (aSym - XK_a));
  if (aSym >= XK_A && aSym <= XK_Z)
    return int('A' + (aSym - XK_A));
  if (aSym >= XK_0 && aSym <= XK_9)
    return int('0' + (aSym - XK_0));
  if (aSym >= XK_F1 && aSym <= XK_F12)
    return VK_F1 + int(aSym - XK_F1);
  switch (aSym) {
  case XK_Return:
  case XK_KP_Enter:
    return VK_RETURN;
  case XK_Escape:
    return VK_ESCAPE;
  case XK_BackSpace:
    return VK_BACK;
  case XK_Tab:
    return VK_TAB;
  case XK_space:
    return VK_SPACE;
  case XK_Left:
    return VK_LEFT;
  case XK_Right:
    return VK_RIGHT;
  case XK_Up:
    return VK_UP;
  case XK_Down:
    return VK_DOWN;
  case XK_Home:
    return VK_HOME;
  case XK_End:
    return VK_END;
  case XK_Prior:
    return VK_PRIOR;
  case XK_Next:
    return VK_NEXT;
  case XK_Delete:
    return VK_DELETE;
  case XK_Insert:
    return VK_INSERT;
  case XK_Shift_L:
  case XK_Shift_R:
    return VK_SHIFT;
  case XK_Control_L:
  case XK_Control_R:
    return VK_CONTROL;
  case XK_Alt_L:
  case XK_Alt_R:
    return VK_MENU;
  }
  return int(aSym & 0xFF);
}

long MoveResizeDirection(LRESULT aHit) {
  switch (aHit) {
  case HTTOPLEFT:
    return 0;
  case HTTOP:
    return 1;
  case HTTOPRIGHT:
    return 2;
  case HTRIGHT:
    return 3;
  case HTBOTTOMRIGHT:
    return 4;
  case HTBOTTOM:
    return 5;
  case HTBOTTOMLEFT:
    return 6;
  case HTLEFT:
    return 7;
  case HTCAPTION:
    return 8;
  }
  return -1;
}

unsigned FontCursorOf(int aCursorId) {
  switch (aCursorId) {
  case IDC_IBEAM:
    return XC_xterm;
  case IDC_WAIT:
    return XC_watch;
  case IDC_CROSS:
    return XC_crosshair;
  case IDC_SIZEWE:
    return XC_sb_h_double_arrow;
  case IDC_SIZENS:
    return XC_sb_v_double_arrow;
  case IDC_SIZENWSE:
    return XC_bottom_right_corner;
  case IDC_SIZENESW:
    return XC_bottom_left_corner;
  case IDC_SIZEALL:
    return XC_fleur;
  case IDC_HAND:
    return XC_hand2;
  }
  return XC_left_ptr;
}

} // namespace platform
