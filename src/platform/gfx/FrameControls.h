#pragma once
// Edges and frame controls in the classic look: DrawEdge for bevels and
// panel borders, DrawFrameControl for the check box and the push-button face.

#include "platform/Types.h"
#include "platform/gfx/DeviceContext.h"

namespace platform {

constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
constexpr UINT BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
constexpr UINT BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;

constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr UINT BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_ADJUST = 0x2000;
constexpr UINT BF_FLAT = 0x4000;
constexpr UINT BF_MONO = 0x8000;

// Draws up to two 1-pixel rings just inside the rectangle on the sides named
// by the BF_ side flags: the outer ring from the BDR_*OUTER bit, then the
// inner ring from the BDR_*INNER bit. Each ring's left and top lines are in
// its top-left colour and its right and bottom lines, drawn over them, in its
// bottom-right colour (so the top-right and bottom-left corners take the
// bottom-right colour):
//   raised outer: 3D light / 3D dark shadow; raised inner: button highlight /
//   button shadow; sunken outer: button shadow / button highlight; sunken
//   inner: 3D dark shadow / 3D light. BF_FLAT: button shadow for the outer
//   ring and button face for the inner; BF_MONO: window frame and window.
// BF_MIDDLE fills what is left inside with the button face; BF_ADJUST stores
// that inner rectangle back into aRect.
BOOL DrawEdge(HDC aDC, RECT* aRect, UINT aEdge, UINT aFlags);

constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFCS_BUTTONCHECK = 0x0000;
constexpr UINT DFCS_BUTTON3STATE = 0x0008;
constexpr UINT DFCS_BUTTONPUSH = 0x0010;
constexpr UINT DFCS_INACTIVE = 0x0100;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_CHECKED = 0x0400;

// DFC_BUTTON with:
//  - DFCS_BUTTONCHECK or DFCS_BUTTON3STATE: a check box in the largest square
//    centred in aRect: a sunken edge; inside it the window colour, or the
//    button face when pushed, inactive or a checked three-state box; with
//    DFCS_CHECKED the 7 x 7 check mark centred inside, in the window-text
//    colour, or the button shadow when inactive or three-state.
//  - DFCS_BUTTONPUSH: a button face over aRect: a raised edge (sunken when
//    DFCS_PUSHED) around the button face.
// Other types and styles draw nothing and return FALSE.
BOOL DrawFrameControl(HDC aDC, RECT* aRect, UINT aType, UINT aState);

// The platform's standard check-box image strip: four columns (unchecked,
// checked, pushed, pushed checked) by three rows (check box, radio button,
// three-state box) of 13 x 13 cells, each cell what DrawFrameControl draws
// into a 13 x 13 rectangle.
constexpr int OBM_CHECKBOXES = 32759;
// The size of a standard bitmap of the platform; FALSE (and aSize left) for
// an identifier it does not have.
BOOL GetStandardBitmapSize(int aId, SIZE* aSize);

// The column tops (rows from the mark's top) of the 3-pixel-high runs that
// make up the 7 x 7 check mark, left to right.
constexpr int CheckMarkColumnTops[7] = {2, 3, 4, 3, 2, 1, 0};

} // namespace platform
