#pragma once
// The pixel part of refreshing a cached control's border corners over its
// parent's current look: where the border image is transparent at a corner,
// the cache pixel is set from the parent again.

#include "platform/gfx/Bitmap.h"
#include "skin/data/sSkinTypes.h"
#include "skin/paint/sCacheInfo.h"

#include <functional>

// Corner bits.
constexpr int CornerTopLeft = 1;
constexpr int CornerBottomLeft = 2;
constexpr int CornerTopRight = 4;
constexpr int CornerBottomRight = 8;
constexpr int AllCorners = 15;

// For each corner in aCorners, the pixels of a aWidth x aHeight control that
// lie under key pixels of the corner area (WL/WR wide, WT/WB high) of the
// border entry's frame for aState: aVisit(x, y) in control coordinates.
void ForEachTransparentCornerPixel(const TsMaskData& aBorder, int aState, int aCorners, int aWidth,
                                   int aHeight, const std::function<void(int, int)>& aVisit);

// For each corner in aCorners: the corner area (WL/WR wide, WT/WB high) of
// the border entry's frame for aState against the same area at that corner
// of aCache. Cache pixels under key pixels of the image take the parent's
// pixel at (X + x, Y + y) when aParent is Ready with a bitmap (left where
// that lies outside it), else the parent's FillColor (nothing for KeyColor).
void RefreshCornerPixels(const TsMaskData& aBorder, int aState, int aCorners,
                         platform::Bitmap& aCache, const TCacheInfo& aParent);
