#pragma once
// Brushes and pens, the font handle type, and the stock objects. Handles are
// pointers; objects made by the Create functions are freed with DeleteObject,
// stock and system-colour objects are shared and DeleteObject ignores them.

#include "platform/Types.h"

namespace platform {

// Defined by the text units (Font.h).
class Font;
using HFONT = Font*;

constexpr int BS_SOLID = 0;
constexpr int BS_NULL = 1;

struct Brush {
  int Style = BS_SOLID;
  COLORREF Color = 0;
  bool Stock = false;
};
using HBRUSH = Brush*;

// Pen styles. PS_DOT and PS_ALTERNATE set every second pixel of a line,
// starting with its first.
constexpr int PS_SOLID = 0;
constexpr int PS_DOT = 2;
constexpr int PS_NULL = 5;
constexpr int PS_ALTERNATE = 8;

struct Pen {
  int Style = PS_SOLID;
  int Width = 1;
  COLORREF Color = 0;
  bool Stock = false;
};
using HPEN = Pen*;

// Stock object indexes.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;

// A solid brush; a system colour (top bit set) is resolved when it paints.
HBRUSH CreateSolidBrush(COLORREF aColor);
// A pen of the style, width (0 counts as 1) and colour; nullptr for an unknown
// style.
HPEN CreatePen(int aStyle, int aWidth, COLORREF aColor);
// The stock brush or pen for the index; nullptr when the index names the other
// kind or none.
HBRUSH GetStockBrush(int aIndex);
HPEN GetStockPen(int aIndex);

BOOL DeleteObject(HBRUSH aBrush);
BOOL DeleteObject(HPEN aPen);

} // namespace platform
