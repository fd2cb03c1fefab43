#pragma once
// A plain skin for push buttons: a BUTTON-like section with a background per
// state (pressed shows the hot one), a one-pixel ring per state from a border
// mask with key pixels in its corners, and font colours for the normal and
// the hot state; with the look such a button has by the rules.

#include "SkinTestUtil.h"
#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "support/PixelCheck.h"

#include <cstdint>
#include <string>

namespace plainbutton {

constexpr TColor kFormColor = 0x00A0A0A0;
constexpr TColor kNormal = 0x00302010;
constexpr TColor kHot = 0x00604020;
constexpr TColor kFont = 0x0000FFFF;
constexpr TColor kHotFont = 0x00FFFFFF;
constexpr TColor kRing[3] = {0x000000C0, 0x0000C000, 0x00C00000};

inline std::string ButtonSection(const std::string& aName) {
  return "[" + aName + "]\nSTATES=3\nCOLOR=" + std::to_string(kNormal) +
         "\nHOTCOLOR=" + std::to_string(kHot) + "\nFONTCOLOR=" + std::to_string(kFont) +
         "\nHOTFONTCOLOR=" + std::to_string(kHotFont) +
         "\nBORDERSMASK=!M.PNG!3!0!0!0001!0001!0001!0001!1\n";
}

// Three 3 x 3 frames: the ring in the state's colour, key pixels at the corners.
inline platform::Bitmap MaskImage() {
  return MakeBitmap(9, 3, [](int aX, int aY) {
    const int x = aX % 3;
    if ((x == 0 || x == 2) && (aY == 0 || aY == 2))
      return 0x00FF00FFu;
    return pixelcheck::Opaque(kRing[aX / 3]);
  });
}

// A button without caption in a painted state: the state's background in
// the state's ring, the corners showing the parent's pixel.
inline platform::Bitmap Look(int aW, int aH, int aState, std::uint32_t aParent) {
  platform::Bitmap b = pixelcheck::Filled(aW, aH, pixelcheck::Opaque(kRing[aState]));
  pixelcheck::Paint(b, {1, 1, aW - 1, aH - 1}, pixelcheck::Opaque(aState == 0 ? kNormal : kHot));
  for (TPoint p : {TPoint{0, 0}, TPoint{aW - 1, 0}, TPoint{0, aH - 1}, TPoint{aW - 1, aH - 1}})
    b.SetPixel(p.X, p.Y, aParent);
  return b;
}

} // namespace plainbutton
