#pragma once
// Nearest-neighbour enlargement by a whole factor, for high-density screens:
// every pixel becomes a block of aFactor x aFactor pixels of its value, so
// pixel art stays sharp.

#include "platform/gfx/Bitmap.h"

#include <cstddef>
#include <cstdint>

namespace platform {

// Writes the part aArea of aSource (clipped to it), enlarged by aFactor
// (1 or more), into a target of 32-bit pixels: aTarget is where the block of
// aArea's top-left pixel goes, aTargetStride the bytes from one target row to
// the next.
void EnlargeInto(const Bitmap& aSource, const TRect& aArea, int aFactor, std::uint32_t* aTarget,
                 std::ptrdiff_t aTargetStride);

// The whole of aSource enlarged by aFactor; a copy when aFactor is 1. Empty
// when the enlarged size cannot be had.
Bitmap Enlarged(const Bitmap& aSource, int aFactor);

} // namespace platform
