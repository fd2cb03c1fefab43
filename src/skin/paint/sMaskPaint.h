#pragma once
// Drawing one skin image entry into a 32-bit bitmap: as a nine-slice border
// around a rectangle, and as a glyph (one state frame) at a point.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "skin/data/sSkinTypes.h"
#include "skin/paint/sCacheInfo.h"

// The frame drawn for aState: min(aState, ImageCount - 1), at least 0.
int MaskFrame(const TsMaskData& aMask, int aState);

// The nine-slice border of aR from the frame of aState. Sides and centre
// (the centre with DrawMode bit 4) are tiled, or stretched with DrawMode bit
// 1; DrawMode bit 2 leaves state 0 undrawn. When aR is narrower (lower) than
// the two border widths, the excess comes off both sides, the odd pixel off
// the right (bottom). Corners take the parent's pixels where the image is
// transparent when aParentCorners is set and the entry's CornerType is above
// 0; aParent describes what lies behind pixel (x, y) of aBmp at (X + x, Y + y).
void PaintBorderMask(platform::Bitmap& aBmp, const TRect& aR, const TCacheInfo& aParent,
                     bool aParentCorners, int aState, const TsMaskData& aMask);

// The frame of aState with its top-left corner at aP; parts left of or above
// the bitmap are cut off. aMode 1 draws normally, any other mode faded.
void PaintMaskGlyph(platform::Bitmap& aBmp, TPoint aP, int aState, const TCacheInfo& aParent,
                    const TsMaskData& aMask, int aMode);
