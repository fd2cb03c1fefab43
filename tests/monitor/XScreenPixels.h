#pragma once
// The pixels an X server shows on its screen (kept apart from the tests,
// whose names Xlib's macros would clash with).

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"

#include <string>

// The part aRect of the screen as opaque pixels; empty when the display
// cannot be reached or the part lies off the screen.
platform::Bitmap XScreenArea(const std::string& aDisplay, const TRect& aRect);
