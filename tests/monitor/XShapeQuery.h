#pragma once
// The bounding shape the X server keeps for a window (kept apart from the
// tests, whose names Xlib's macros would clash with).

#include "platform/Types.h"

#include <string>
#include <vector>

// The rectangles of the window's bounding shape in window coordinates; empty
// when the display or the window cannot be reached.
std::vector<TRect> XBoundingShape(const std::string& aDisplay, unsigned long aWindow);
