#pragma once
// Where a skinned form may go: the area it is maximized into and snaps to,
// the maximized placement that pushes the platform frame outside that area,
// and the snapping of a moved window to the area's edges. Pure functions
// apart from WindowArea, which asks the window layer.

#include "platform/Types.h"
#include "platform/win/WinDefs.h"

// The area a form is maximized into and snaps to: the work area of the
// screen, or the whole screen for a stay-on-top form.
TRect WindowArea(bool aStayOnTop);

// A maximized form covers aArea with its platform frame (of width aBorder)
// just outside it.
struct TqcMaximizedPlacement {
  TPoint Position;
  TSize Size;
};
TqcMaximizedPlacement MaximizedPlacement(int aBorder, const TRect& aArea);
// Writes the placement into the platform's size limits.
void ApplyMaximizedPlacement(platform::MINMAXINFO& aInfo, const TqcMaximizedPlacement& aPlacement);

// The position a window of aSize moved to aPos takes when it snaps to the
// edges of aArea: a coordinate closer than aBuffer to an edge moves onto it.
// The left and top edges win over the right and bottom ones.
TPoint SnapToArea(TPoint aPos, TSize aSize, const TRect& aArea, int aBuffer);
