#pragma once
// The toolkit's own notification messages (numbers in the application range,
// clear of the skin command message 0xA100), the message record that travels
// through a control's window procedure, and the typed views that decode the
// parameters of each message family in one place.

#include "platform/Types.h"
#include "platform/win/WinDefs.h"

class TControl;

// Notifications. Each one is sent through the receiving control's
// WindowProc, so that whatever was placed in front of the procedure sees it.
inline constexpr platform::UINT CM_BASE = 0xB000;
inline constexpr platform::UINT CM_ACTIVATE = CM_BASE + 0;
inline constexpr platform::UINT CM_DEACTIVATE = CM_BASE + 1;
// WParam: 1 when the control became enabled, 0 when disabled.
inline constexpr platform::UINT CM_ENABLEDCHANGED = CM_BASE + 2;
inline constexpr platform::UINT CM_COLORCHANGED = CM_BASE + 3;
inline constexpr platform::UINT CM_FONTCHANGED = CM_BASE + 4;
inline constexpr platform::UINT CM_PARENTCOLORCHANGED = CM_BASE + 5;
inline constexpr platform::UINT CM_PARENTFONTCHANGED = CM_BASE + 6;
// WParam: 1 when the control became visible, 0 when hidden.
inline constexpr platform::UINT CM_VISIBLECHANGED = CM_BASE + 7;
// Sent to a windowed control before its window is shown or hidden; WParam 1
// when it is about to show.
inline constexpr platform::UINT CM_SHOWINGCHANGED = CM_BASE + 8;
inline constexpr platform::UINT CM_TEXTCHANGED = CM_BASE + 9;
// Sent to a form when its focused control changes; LParam: the new control.
inline constexpr platform::UINT CM_FOCUSCHANGED = CM_BASE + 10;
// Sent to a windowed parent; WParam: the control, LParam: 1 when it is being
// inserted, 0 when removed. Sent before removal and after insertion.
inline constexpr platform::UINT CM_CONTROLLISTCHANGE = CM_BASE + 11;
// Sent to a control whose window is to be made again.
inline constexpr platform::UINT CM_RECREATEWND = CM_BASE + 12;
inline constexpr platform::UINT CM_MOUSEENTER = CM_BASE + 13;
inline constexpr platform::UINT CM_MOUSELEAVE = CM_BASE + 14;
// A wheel turn offered to the focused control and then to its parents before
// the platform's WM_MOUSEWHEEL handling; WParam and LParam as WM_MOUSEWHEEL.
// Result 1 when handled.
inline constexpr platform::UINT CM_MOUSEWHEEL = CM_BASE + 15;
// A key offered to the form before the focused control handles it (Tab,
// arrows, Enter, Escape). WParam: key code. Result 1 when the form used it.
inline constexpr platform::UINT CM_DIALOGKEY = CM_BASE + 16;
// A character offered to every control of the form (accelerators).
inline constexpr platform::UINT CM_DIALOGCHAR = CM_BASE + 17;
// Asked of the focused control before CM_DIALOGKEY: result 1 when it wants
// the key itself (a list box wants the arrows).
inline constexpr platform::UINT CM_WANTSPECIALKEY = CM_BASE + 18;
// A key pressed in a child, offered to its parents. WParam: key, LParam: the
// control. Result 1 stops it.
inline constexpr platform::UINT CM_CHILDKEY = CM_BASE + 19;
inline constexpr platform::UINT CM_ENTER = CM_BASE + 20;
inline constexpr platform::UINT CM_EXIT = CM_BASE + 21;
inline constexpr platform::UINT CM_MENUCHANGED = CM_BASE + 22;
// WParam 1 when the button becomes the focused default button.
inline constexpr platform::UINT CM_FOCUSEDDEFAULT = CM_BASE + 23;
inline constexpr platform::UINT CM_BORDERCHANGED = CM_BASE + 24;
inline constexpr platform::UINT CM_TABSTOPCHANGED = CM_BASE + 25;
inline constexpr platform::UINT CM_HINTSHOW = CM_BASE + 26;
inline constexpr platform::UINT CM_FLOAT = CM_BASE + 27;
inline constexpr platform::UINT CM_INVALIDATE = CM_BASE + 28;
inline constexpr platform::UINT CM_CONTROLCHANGE = CM_BASE + 29;
inline constexpr platform::UINT CM_MOUSEACTIVATE = CM_BASE + 30;

// Messages a parent reflects back to the child window that sent them: key
// notifications (CN_KEYDOWN...), commands and owner drawing.
inline constexpr platform::UINT CN_BASE = 0xBC00;
inline constexpr platform::UINT CN_COMMAND = CN_BASE + 0x0111;
inline constexpr platform::UINT CN_DRAWITEM = CN_BASE + 0x002B;
inline constexpr platform::UINT CN_MEASUREITEM = CN_BASE + 0x002C;
inline constexpr platform::UINT CN_KEYDOWN = CN_BASE + 0x0100;
inline constexpr platform::UINT CN_KEYUP = CN_BASE + 0x0101;
inline constexpr platform::UINT CN_CHAR = CN_BASE + 0x0102;
inline constexpr platform::UINT CN_SYSKEYDOWN = CN_BASE + 0x0104;
inline constexpr platform::UINT CN_CTLCOLORLISTBOX = CN_BASE + 0x0134;

// One message on its way through a window procedure.
struct TMessage {
  platform::UINT Msg = 0;
  platform::WPARAM WParam = 0;
  platform::LPARAM LParam = 0;
  platform::LRESULT Result = 0;
};

// Mouse messages: client coordinates in LParam (signed 16-bit each), the
// button and modifier keys in WParam.
struct TWMMouse {
  explicit TWMMouse(const TMessage& aMessage)
      : Keys(platform::UINT(aMessage.WParam)),
        X(std::int16_t(platform::LOWORD(platform::DWORD_PTR(aMessage.LParam)))),
        Y(std::int16_t(platform::HIWORD(platform::DWORD_PTR(aMessage.LParam)))) {}
  platform::UINT Keys;
  int X;
  int Y;
  TPoint Pos() const { return {X, Y}; }
};

// WM_MOUSEWHEEL and CM_MOUSEWHEEL: keys in the low word of WParam, the signed
// distance (120 per notch) in its high word, screen coordinates in LParam.
struct TWMMouseWheel {
  explicit TWMMouseWheel(const TMessage& aMessage)
      : Keys(platform::LOWORD(aMessage.WParam)),
        WheelDelta(std::int16_t(platform::HIWORD(aMessage.WParam))),
        X(std::int16_t(platform::LOWORD(platform::DWORD_PTR(aMessage.LParam)))),
        Y(std::int16_t(platform::HIWORD(platform::DWORD_PTR(aMessage.LParam)))) {}
  platform::UINT Keys;
  int WheelDelta;
  int X;
  int Y;
};

// Key messages: the virtual key (or character) in WParam.
struct TWMKey {
  explicit TWMKey(const TMessage& aMessage) : CharCode(platform::UINT(aMessage.WParam)) {}
  platform::UINT CharCode;
};

// WM_COMMAND and CN_COMMAND: the control's id in the low word of WParam, the
// notification code (BN_CLICKED, LBN_SELCHANGE...) in its high word, the
// control's window in LParam.
struct TWMCommand {
  explicit TWMCommand(const TMessage& aMessage)
      : ItemID(platform::LOWORD(aMessage.WParam)), NotifyCode(platform::HIWORD(aMessage.WParam)),
        Ctl(platform::HWND(aMessage.LParam)) {}
  platform::WORD ItemID;
  platform::WORD NotifyCode;
  platform::HWND Ctl;
};

// WM_ACTIVATE: WA_INACTIVE, WA_ACTIVE or WA_CLICKACTIVE in the low word.
struct TWMActivate {
  explicit TWMActivate(const TMessage& aMessage) : Active(platform::LOWORD(aMessage.WParam)) {}
  platform::WORD Active;
};

// Builds the LParam of a mouse message from client coordinates.
constexpr platform::LPARAM MakeMousePos(int aX, int aY) {
  return platform::LPARAM(
      platform::MAKELONG(platform::WORD(std::int16_t(aX)), platform::WORD(std::int16_t(aY))));
}

// CM_CONTROLLISTCHANGE: the control named and whether it is being inserted.
struct TCMControlListChange {
  explicit TCMControlListChange(const TMessage& aMessage)
      : Control(reinterpret_cast<TControl*>(aMessage.WParam)), Inserting(aMessage.LParam != 0) {}
  TControl* Control;
  bool Inserting;
};
