#pragma once
// Textures: a skin image repeated or stretched over a rectangle, unmasked
// (DrawTexture) or through its mask rows (DrawAlphaTexture). Both take the
// rectangle in and give back the part still to be painted, or NoRect when
// they covered all of it.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "skin/data/sSkinTypes.h"
#include "skin/paint/sCacheInfo.h"

// "Everything covered".
inline constexpr TRect NoRect{-1, -1, -1, -1};

// The texture draw kind of an entry's DrawMode 0..19; -1 (draws nothing)
// outside that range.
int DrawKindTable(int aDrawMode);

// With a separate image that is not empty: the image repeated over aR from
// its top-left corner. Otherwise the tile is the entry's R on its own image
// or the master bitmap, drawn by aKind:
//   0 repeated over aR (last column and row clipped); 1 stretched over aR;
//   2 / 6 repeated along a band one tile high at aR's top / bottom;
//   3 / 7 repeated along a band one tile wide at aR's left / right;
//   4 / 5 stretched along aR's width at its top / its height at its left;
//   10 whole tiles from the top-left, the partial last column drawn, the
//   partial last row not; others nothing.
// Drawing stays inside aR.
void DrawTexture(platform::Bitmap& aTarget, TRect& aR, const platform::Bitmap* aImg, int aKind,
                 const TsMaskData* aMask);

// Tiles of a masked texture, a frame wide and half the entry's height high
// (image above, mask below), from the entry's own image or else the master
// bitmap, limited to that image. Key pixels show the parent (its pixel, or
// its colour); other pixels are mixed through their mask. Kind 0 repeats
// whole tile rows with a last clipped column; kind 10 whole tiles only and
// gives the strips right of and below them the parent's background. Other
// kinds draw nothing and leave aR.
void DrawAlphaTexture(platform::Bitmap& aBmp, TRect& aR, const TCacheInfo& aParent, int aKind,
                      const TsMaskData& aMask);
