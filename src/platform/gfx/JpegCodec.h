#pragma once
// JPEG reading (baseline and progressive; greyscale, colour and CMYK) through
// libjpeg.

#include "platform/gfx/ImageCodec.h"

namespace platform {

// Pixels get alpha 255. Data that the library can only decode with a
// corrupt-data warning (such as a file cut short) is reported as an error.
ImageResult DecodeJpeg(std::span<const std::uint8_t> aData);

} // namespace platform
