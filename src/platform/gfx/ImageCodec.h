#pragma once
// Decoding BMP, PNG and JPEG images from memory or files into 32-bit BGRA
// bitmaps, and the common result type of the readers and the PNG writer.
// Damaged or truncated data gives an error message; no reader looks outside
// the buffer it is given.

#include "platform/gfx/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

enum class ImageFormat { Unknown, Bmp, Png, Jpeg };

// Larger images are refused by the readers before any pixel memory is taken.
inline constexpr int MaxImageSide = 32767;
inline constexpr std::int64_t MaxImagePixels = std::int64_t(1) << 26;

// The outcome of decoding an image: the pixels, or a message saying why not.
struct ImageResult {
  Bitmap Image;
  ImageFormat Format = ImageFormat::Unknown;
  // Bits per pixel as the file stores them: 1, 4, 8, 16, 24 or 32 for BMP;
  // channels x bit depth for PNG (32 for 8-bit RGBA, 64 for 16-bit RGBA);
  // 8, 24 or 32 (CMYK) for JPEG.
  int FileBitsPerPixel = 0;
  // True when the fourth byte of each pixel is the file's alpha (32-bit BMP,
  // PNG with an alpha channel or transparency chunk); otherwise it is 255.
  bool HasAlpha = false;
  // Empty on success.
  std::string Error;

  bool Ok() const { return Error.empty(); }
  // The file held 32 bits per pixel, the skin loader's test for whether an
  // image needs magenta keying.
  bool Was32Bit() const { return FileBitsPerPixel == 32; }
};

// The outcome of reading or writing a file: empty Error on success.
struct FileResult {
  std::string Error;
  bool Ok() const { return Error.empty(); }
};

// The format named by the data's first bytes (signature), or Unknown.
ImageFormat DetectImageFormat(std::span<const std::uint8_t> aData);

// Decodes by signature; unknown data gives an error.
ImageResult DecodeImage(std::span<const std::uint8_t> aData);

// Reads a whole file and decodes it by signature. A missing or unreadable
// file gives an error naming the file.
ImageResult LoadImageFile(const std::string& aPath);

// Reads a whole file into aBytes; the error names the file.
FileResult ReadFileBytes(const std::string& aPath, std::vector<std::uint8_t>& aBytes);

// The error result shared by the readers: format set, message, no pixels.
ImageResult ImageError(ImageFormat aFormat, std::string aMessage);

// Whether a width and height are within the readers' limits.
bool ImageSizeAllowed(std::int64_t aWidth, std::int64_t aHeight);

} // namespace platform
