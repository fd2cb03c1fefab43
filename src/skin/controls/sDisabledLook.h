#pragma once
// How a disabled skinned control dims its cache: blended into what its parent
// shows behind it, and/or greyed.

#include "platform/gfx/Bitmap.h"
#include "toolkit/Sets.h"

class TsCommonData;

enum class TsDisabledKind { dkBlended, dkGrayed };
using TsDisabledKinds = TSet<TsDisabledKind>;

// Share of the control's own pixel in the blended look, in percent; the
// parent's pixel gives the rest.
inline constexpr int DisabledOwnPercent = 40;

// Dims the cache of aSkinData's owner. dkGrayed: the saturation shift -90
// over every pixel but key pixels. dkBlended: each pixel becomes
// trunc(own * 40 % + parent * 60 %) per channel with the parent's background
// pixel behind it, left alone where the parent holds the key colour or has
// no pixel; a parent without a background bitmap gives its plain colour,
// mixed in by BlendColorIntoRect.
void ApplyDisabledLook(platform::Bitmap& aCache, TsCommonData& aSkinData, TsDisabledKinds aKinds);
