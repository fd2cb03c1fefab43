#include "skin/frame/qcWindowPlacement.h"

#include "platform/gfx/SystemColors.h"
#include "platform/win/WindowGeometry.h"

#include <cstdlib>

using namespace platform;

TRect WindowArea(bool aStayOnTop) {
  if (aStayOnTop)
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

TqcMaximizedPlacement MaximizedPlacement(int aBorder, const TRect& aArea) {
  return {{aArea.Left - aBorder, aArea.Top - aBorder},
          {aArea.Width() + 2 * aBorder, aArea.Height() + 2 * aBorder}};
}

void ApplyMaximizedPlacement(MINMAXINFO& aInfo, const TqcMaximizedPlacement& aPlacement) {
  aInfo.ptMaxPosition = {aPlacement.Position.X, aPlacement.Position.Y};
  aInfo.ptMaxSize = {aPlacement.Size.cx, aPlacement.Size.cy};
}

namespace {

// p with offset o snaps to edge e when p + o lies closer than aBuffer to it.
void Snap(int& aCoord, int aOffset, int aEdge, int aBuffer) {
  if (std::abs(aCoord + aOffset - aEdge) < aBuffer)
    aCoord = aEdge - aOffset;
}

} // namespace

TPoint SnapToArea(TPoint aPos, TSize aSize, const TRect& aArea, int aBuffer) {
  Snap(aPos.X, aSize.cx, aArea.Right, aBuffer);
  Snap(aPos.Y, aSize.cy, aArea.Bottom, aBuffer);
  Snap(aPos.X, 0, aArea.Left, aBuffer);
  Snap(aPos.Y, 0, aArea.Top, aBuffer);
  return aPos;
}
