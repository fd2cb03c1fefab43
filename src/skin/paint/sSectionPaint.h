#pragma once
// Painting one skin section, in one state, into a rectangle of a 32-bit
// bitmap: the background layers (the parent where the section is
// transparent, colour, gradient, texture), the border image and the four
// corner images. Controls name their section, border and textures by index;
// the per-control entries pass their own indexes and colour to PaintSection.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "skin/paint/sCacheInfo.h"

class TsSkinManager;

// Where the border image goes among the layers: after the background and
// before the corner images (a panel painting over its parent), or last.
enum class TLayerOrder { BorderThenCorners, CornersThenBorder };

// What PaintSection did, for the colour filters that may follow it.
struct TSectionPainted {
  bool Painted = false;     // the guards let it paint
  bool BorderDrawn = false; // the border image was drawn
};

// The whole section: background (PaintSectionBackground), border image
// aBorderIndex and the section's corner images, in aOrder. aParentBg
// describes what lies behind aBmp's origin; aOffset is aBmp's place in the
// parent. Nothing is painted without a manager or bitmap, for a rectangle
// outside the bitmap or starting at a negative coordinate, or for an invalid
// section. A state beyond the section's states paints its last one; the
// background knows normal and hot only.
TSectionPainted PaintSection(const TsSkinManager* aManager, int aSkinIndex, int aBorderIndex,
                             int aTexture, int aHotTexture, TColor aCustomColor,
                             const TCacheInfo& aParentBg, int aState, platform::Bitmap* aBmp,
                             TPoint aOffset, const TRect& aR, bool aParentCorners,
                             TLayerOrder aOrder);

// The background layers only. aTexture / aHotTexture -1: the state's own
// texture. A aCustomColor other than KeyColor paints that colour opaque.
void PaintSectionBackground(const TsSkinManager* aManager, int aSkinIndex,
                            const TCacheInfo& aParentBg, int aState, const TRect& aR,
                            TPoint aOffset, platform::Bitmap* aBmp, int aTexture, int aHotTexture,
                            TColor aCustomColor);

// Any section by index with its own border (a tab, a list item, a status
// panel): background, corner images, border; nothing for an empty aR.
void PaintSectionByIndex(const TsSkinManager* aManager, int aSkinIndex, const TCacheInfo& aParentBg,
                         int aHotTexture, int aTexture, platform::Bitmap* aBmp, TPoint aOffset,
                         const TRect& aR, int aState);

// PaintSectionByIndex into a bitmap of aR's size, copied to aDC at aR.
void PaintSectionToDC(const TsSkinManager* aManager, int aSkinIndex, const TCacheInfo& aParentBg,
                      platform::HDC aDC, TPoint aOffset, const TRect& aR, int aState);

// The reduced painter of scroll-bar buttons and sliders: colour, gradient
// and the given texture entry over the parent, then border aBorderIndex.
void PaintSectionWithTexture(const TsSkinManager* aManager, int aSkinIndex, int aBorderIndex,
                             int aTexture, platform::Bitmap* aBmp, TPoint aOffset, const TRect& aR,
                             int aState, const TCacheInfo& aParentBg);

// The weight of a transparency percentage: round(aPercent * 2.55), halves
// to even (50 gives 128, 30 gives 76).
int TransparencyWeight(int aPercent);
