#pragma once
// Glow effects: a glow image of the skin shown around a screen rectangle (a
// hot control, a caption button) in a window of its own. The window is a
// borderless, layered top-level window with per-pixel alpha that never
// takes the mouse (hit tests fall through it), never activates and has no
// taskbar entry; it lies directly above the window it belongs to. Glows are
// kept in one process-wide list: a glow's identifier is its slot, -1 means
// none. User-interface thread only.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/win/WinDefs.h"

#include <string>

class TsCommonData;
class TsSkinManager;

// Shows the glow image named aKey + "0" of aSection (for controls "GLOW0")
// around aR (screen coordinates): the image's border widths lie outside aR,
// less aMargin on every side. aVisible is the part of aR that is visible,
// relative to aR's top-left: on a side where aR is cut, the glow ends with
// the visible part. aSkinData, when
// given, supplies the colour filters and the manager (otherwise aManager).
// aWindow is the top-level window the glow belongs to. The glow's
// identifier goes to aIdentifier and is returned; -1 when no glow can be
// shown (no such image, no layered windows). A glow aIdentifier names
// already is hidden first. The glow keeps aIdentifier's place and sets it to
// -1 when all glows go at once, so the owner of aIdentifier hides its glow
// before the variable goes.
int ShowGlow(int& aIdentifier, const TRect& aR, const TRect& aVisible, const std::string& aSection,
             TsCommonData* aSkinData, TsSkinManager* aManager, platform::HWND aWindow,
             platform::BYTE aAlpha, int aMargin, const std::string& aKey);
// Hides and frees the glow shown for aIdentifier and sets it to -1; an
// identifier that names no glow, or a glow shown for another identifier,
// does nothing.
void HideGlow(int& aIdentifier);
// Frees every glow with its window, sets every identifier to -1 and empties
// the list (on a skin change, when a framed window moves).
void HideAllGlows();
// The window of a shown glow, or nullptr.
platform::HWND GlowWindow(int aIdentifier);
// The number of glows shown.
int ShownGlowCount();
