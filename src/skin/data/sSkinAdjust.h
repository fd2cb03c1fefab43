#pragma once
// The colour adjustment of a whole loaded skin (hue, saturation, brightness):
// its images and colours, run at the end of every load.

#include "skin/data/sSkinTables.h"

// Applies the hue shift (degrees), the saturation change (-100..100 scaled
// to -255..255) and the brightness change in that order; a zero value skips
// its step. Pixels equal to 0x00FF00FF are never changed.
void AdjustSkinColors(TsSkinTables& aTables, int aHueOffset, int aSaturation, int aBrightness);

// The saturation amount of a Saturation value: x 2.55, rounded to nearest
// with ties to even, held to -255..255.
int SaturationAmount(int aSaturation);
