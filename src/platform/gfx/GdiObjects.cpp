#include "platform/gfx/GdiObjects.h"

#include <new>

namespace platform {

HBRUSH CreateSolidBrush(COLORREF aColor) {
  return new (std::nothrow) Brush{BS_SOLID, aColor, false};
}

HPEN CreatePen(int aStyle, int aWidth, COLORREF aColor) {
  if (aStyle != PS_SOLID && aStyle != PS_DOT && aStyle != PS_NULL && aStyle != PS_ALTERNATE)
    return nullptr;
  return new (std::nothrow) Pen{aStyle, aWidth < 1 ? 1 : aWidth, aColor, false};
}

HBRUSH GetStockBrush(int aIndex) {
  static Brush brushes[] = {
      {BS_SOLID, RGB(255, 255, 255), true}, {BS_SOLID, RGB(192, 192, 192), true},
      {BS_SOLID, RGB(128, 128, 128), true}, {BS_SOLID, RGB(64, 64, 64), true},
      {BS_SOLID, RGB(0, 0, 0), true},       {BS_NULL, 0, true},
  };
  if (aIndex < WHITE_BRUSH || aIndex > NULL_BRUSH)
    return nullptr;
  return &brushes[aIndex];
}

HPEN GetStockPen(int aIndex) {
  static Pen pens[] = {
      {PS_SOLID, 1, RGB(255, 255, 255), true},
      {PS_SOLID, 1, RGB(0, 0, 0), true},
      {PS_NULL, 1, 0, true},
  };
  if (aIndex < WHITE_PEN || aIndex > NULL_PEN)
    return nullptr;
  return &pens[aIndex - WHITE_PEN];
}

BOOL DeleteObject(HBRUSH aBrush) {
  if (!aBrush)
    return false;
  if (!aBrush->Stock)
    delete aBrush;
  return true;
}

BOOL DeleteObject(HPEN aPen) {
  if (!aPen)
    return false;
  if (!aPen->Stock)
    delete aPen;
  return true;
}

} // namespace platform
