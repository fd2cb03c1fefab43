#pragma once
// Separable resampling with the Mitchell-Netravali cubic (B = C = 1/3,
// support 2), used where a masked skin piece is shrunk: it keeps thin lines
// and soft mask edges readable where dropping whole pixels would not.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"

#include <cstdint>
#include <vector>

// Scales aSrcRect of aSrc (which must lie inside it) to aWidth x aHeight
// pixels written row by row into aOut. Every channel, alpha included, is
// weighted in 16.16 fixed point and held to 0..255; source positions beyond
// the piece are mirrored at its edges. When shrinking, the filter is widened
// by the shrink factor so that every source pixel contributes.
void ResampleMitchell(const platform::Bitmap& aSrc, const TRect& aSrcRect, int aWidth, int aHeight,
                      std::vector<std::uint32_t>& aOut);

// The filter's value at distance aX: 8/9 at 0, falling through small
// negative lobes to 0 at distance 2 and beyond.
double MitchellWeight(double aX);
