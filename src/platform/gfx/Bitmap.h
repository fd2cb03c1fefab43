#pragma once
// A 32-bit device-independent bitmap in memory: every pixel is one 32-bit value
// with the bytes blue, green, red, alpha in memory order (0xAARRGGBB read as an
// integer), rows top-down, addressed through ScanLine and a fixed stride.

#include "platform/Types.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class Bitmap {
public:
  Bitmap() = default;
  // A bitmap of the given size; when sizing fails (negative, zero or too large
  // a size, or no memory) it is left 0 x 0.
  Bitmap(int aWidth, int aHeight);
  Bitmap(const Bitmap& aOther);
  Bitmap& operator=(const Bitmap& aOther);
  Bitmap(Bitmap&&) noexcept = default;
  Bitmap& operator=(Bitmap&&) noexcept = default;

  // Resizes, discarding the contents (all pixels become 0). Returns false and
  // leaves the bitmap 0 x 0 when sizing fails.
  bool SetSize(int aWidth, int aHeight);

  int Width() const { return fWidth; }
  int Height() const { return fHeight; }
  bool Empty() const { return fWidth == 0 || fHeight == 0; }
  TRect BoundsRect() const { return {0, 0, fWidth, fHeight}; }
  // Bytes from one row's start to the next.
  std::ptrdiff_t Stride() const { return std::ptrdiff_t(fWidth) * 4; }

  std::uint32_t* ScanLine(int aRow) { return fPixels.get() + std::ptrdiff_t(aRow) * fWidth; }
  const std::uint32_t* ScanLine(int aRow) const {
    return fPixels.get() + std::ptrdiff_t(aRow) * fWidth;
  }
  std::uint32_t Pixel(int aX, int aY) const { return ScanLine(aY)[aX]; }
  void SetPixel(int aX, int aY, std::uint32_t aValue) { ScanLine(aY)[aX] = aValue; }

  friend bool operator==(const Bitmap& aLeft, const Bitmap& aRight);

private:
  int fWidth = 0;
  int fHeight = 0;
  std::unique_ptr<std::uint32_t[]> fPixels;
};

} // namespace platform
