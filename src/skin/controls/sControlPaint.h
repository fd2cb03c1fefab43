#pragma once
// Painting steps every skinned control of the window shares.

#include "platform/gfx/DeviceContext.h"

class TWinControl;

// Tells the children of aControl that its look changed (scRepaintChildren),
// so that transparent ones repaint over it: windowed children only when
// their window exists and shows, windowless ones directly. Nothing while the
// control is being designed.
void RepaintChildrenAfterParent(TWinControl* aControl);

// Paints the visible windowless children of aControl onto aDC, each through
// a bitmap of its own size over its own background: its colour when it is
// opaque, otherwise what aControl shows behind it.
void PaintGraphicChildren(platform::HDC aDC, TWinControl* aControl);
