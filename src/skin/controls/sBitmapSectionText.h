#pragma once
// Text written into a 32-bit bitmap in a skin section's colours so that the
// bitmap's alpha stays valid: every pixel the text touches becomes opaque.
// The tabs of the skinned page control write their captions this way.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"

#include <string_view>

class TsSkinManager;

// The font and the colour the caption is written with when no section applies.
struct TBitmapTextFont {
  platform::HFONT Font = nullptr;
  TColor Color = 0;
};

// Writes aText with aFormat into aR of aBmp. With a valid section aSkinIndex
// of aManager the colours are its normal state's, or its hot state's when
// aHot and the section has states: enabled text gets the four contour
// colours (those not -1) first, at aR shifted one pixel left, up, right and
// down, then the main font colour at aR. Without a valid section aFont's
// colour is written. Nothing happens for an empty text or rectangle.
void WriteSectionTextOnBitmap(platform::Bitmap& aBmp, const TBitmapTextFont& aFont,
                              std::string_view aText, bool aEnabled, const TsSkinManager* aManager,
                              bool aHot, int aSkinIndex, platform::UINT aFormat, const TRect& aR);
