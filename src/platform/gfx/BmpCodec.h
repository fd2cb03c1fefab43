#pragma once
// Reader for device-independent bitmap files (BMP): 1, 4, 8, 16, 24 and 32
// bits per pixel, bottom-up and top-down rows, core, information and V2 to V5
// headers, palettes, bit-field masks and run-length encoding (8 and 4 bits).
// Embedded JPEG/PNG data is refused with an error. The writer makes the plain
// kind skin images use: bottom-up, information header, 24 or 32 bits.

#include "platform/gfx/ImageCodec.h"

namespace platform {

// Palette, 16- and 24-bit pixels get alpha 255; 32-bit pixels keep the file's
// fourth byte (or the alpha mask's value with bit-field masks).
ImageResult DecodeBmp(std::span<const std::uint8_t> aData);

// The bitmap as a bottom-up BMP file of aBitsPerPixel 24 (alpha dropped) or
// 32 (alpha kept); any other value is taken as 24.
std::vector<std::uint8_t> EncodeBmp(const Bitmap& aImage, int aBitsPerPixel);

} // namespace platform
