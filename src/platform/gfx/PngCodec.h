#pragma once
// PNG reading (every colour type and bit depth, palettes with transparency,
// interlacing) and writing, through libpng.

#include "platform/gfx/ImageCodec.h"

#include <vector>

namespace platform {

// 16-bit channels are scaled to 8 bits; pixels without alpha get 255. No
// gamma correction is applied: the stored values are the pixels.
ImageResult DecodePng(std::span<const std::uint8_t> aData);

enum class PngAlpha {
  Keep,   // RGBA: the fourth byte of each pixel is written as alpha
  Opaque, // RGB: the fourth byte is dropped (screenshots of opaque windows)
};

struct PngEncodeResult {
  std::vector<std::uint8_t> Data;
  std::string Error;
  bool Ok() const { return Error.empty(); }
};

// An empty bitmap cannot be written and gives an error.
PngEncodeResult EncodePng(const Bitmap& aImage, PngAlpha aAlpha = PngAlpha::Keep);

// Writes the PNG to aPath, replacing the file.
FileResult SavePngFile(const Bitmap& aImage, const std::string& aPath,
                       PngAlpha aAlpha = PngAlpha::Keep);

} // namespace platform
