#pragma once
// Check marks of check list boxes: the skin's check glyphs when it has them,
// else the platform's standard check box.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "skin/paint/sCacheInfo.h"

class TsSkinManager;

// Scoped: the toolkit's check list names its states alike.
enum class TqcCheckState { cbUnchecked, cbChecked, cbGrayed };

// With an active manager whose skin has the checked glyph (small or normal):
// its frame width + 2 and frame height; otherwise the size of the platform's
// check box (TCheckListBox::CheckBoxSize).
int CheckGlyphWidth(const TsSkinManager* aManager, bool aSmall);
int CheckGlyphHeight(const TsSkinManager* aManager, bool aSmall);

// The check glyph for aCheckState centred in aR's width (and in aR's height
// measured from the bitmap's top), faded when not enabled. Without skin
// glyphs, a strip at the bitmap's left takes the parent's background and the
// platform's check box is drawn centred in aR's size, inactive when disabled.
void DrawCheckGlyph(const TRect& aR, TqcCheckState aCheckState, bool aEnabled, bool aSmall,
                    const TsSkinManager* aManager, const TCacheInfo& aParent,
                    platform::Bitmap& aBmp);
