#pragma once
// Gradients of skin sections: bands top to bottom (kind 0), left to right
// (kind 1) or four shaded triangles meeting in the centre (kind 2), and the
// banded kinds mixed with a texture in one pass.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "skin/data/sSkinTypes.h"

#include <cstdint>

// Paints aGradient into aR (limited to the bitmap) with opaque pixels. Each
// piece covers its Percent of the extent and ends on a line it shares with
// the next piece, which paints over it; the last piece runs to the far edge.
// Channels step from Color1 to Color2 in single precision, truncated. The
// kind comes from the first piece's Mode1.
void FillGradient(platform::Bitmap& aBmp, TRect aR, const TsGradArray& aGradient);

// A banded gradient mixed with a texture tile in one pass: every channel is
// (texture * aTextureWeight + gradient * (256 - aTextureWeight)) >> 8, alpha
// aAlpha. The tile is aTexRect of aTexBmp (empty: all of it), ending at least
// one pixel before the bitmap's right and bottom edges, and is anchored at
// the target's origin. Without a tile left after that, the plain gradient is
// painted; the triangle kind is not handled.
void FillGradientTextured(platform::Bitmap& aBmp, TRect aR, const TsGradArray& aGradient,
                          std::uint8_t aAlpha, std::uint8_t aTextureWeight, TRect aTexRect,
                          const platform::Bitmap& aTexBmp);
