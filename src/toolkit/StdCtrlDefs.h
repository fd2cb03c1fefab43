#pragma once
// Messages, styles, notification codes and records of the platform's
// standard window classes (push button, list box), owner drawing and message
// boxes, with the platform's names and values. The classes themselves are
// in StdWindowClasses.

#include "platform/gfx/DeviceContext.h"
#include "platform/win/WinDefs.h"

namespace platform {

constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;

constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// Push buttons.
constexpr DWORD BS_PUSHBUTTON = 0x00000000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x00000001;
constexpr DWORD BS_OWNERDRAW = 0x0000000B;
constexpr DWORD BS_TYPEMASK = 0x0000000F;
constexpr DWORD BS_MULTILINE = 0x00002000;
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;
constexpr LRESULT BST_PUSHED = 0x0004;
constexpr LRESULT BST_FOCUS = 0x0008;
constexpr WORD BN_CLICKED = 0;

// List boxes.
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_WANTKEYBOARDINPUT = 0x0400;
constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_OKAY = 0;
constexpr LRESULT LB_ERR = -1;
constexpr LRESULT LB_ERRSPACE = -2;
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;

// Owner drawing.
constexpr UINT ODT_LISTBOX = 2;
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODA_DRAWENTIRE = 0x0001;
constexpr UINT ODA_SELECT = 0x0002;
constexpr UINT ODA_FOCUS = 0x0004;
constexpr UINT ODS_SELECTED = 0x0001;
constexpr UINT ODS_DISABLED = 0x0004;
constexpr UINT ODS_FOCUS = 0x0010;
constexpr UINT ODS_DEFAULT = 0x0020;

struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  RECT rcItem;
  DWORD_PTR itemData = 0;
};

// Message boxes.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

} // namespace platform
