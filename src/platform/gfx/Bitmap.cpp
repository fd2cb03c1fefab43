#include "platform/gfx/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace platform {

namespace {
// Larger bitmaps are refused: 2^28 pixels is a gigabyte.
constexpr std::int64_t MaxPixels = std::int64_t(1) << 28;
} // namespace

Bitmap::Bitmap(int aWidth, int aHeight) {
  SetSize(aWidth, aHeight);
}

Bitmap::Bitmap(const Bitmap& aOther) {
  *this = aOther;
}

Bitmap& Bitmap::operator=(const Bitmap& aOther) {
  if (this == &aOther)
    return *this;
  if (SetSize(aOther.fWidth, aOther.fHeight))
    std::copy_n(aOther.fPixels.get(), std::size_t(fWidth) * fHeight, fPixels.get());
  return *this;
}

bool Bitmap::SetSize(int aWidth, int aHeight) {
  fPixels.reset();
  fWidth = 0;
  fHeight = 0;
  if (aWidth <= 0 || aHeight <= 0 || std::int64_t(aWidth) * aHeight > MaxPixels)
    return false;
  std::size_t count = std::size_t(aWidth) * std::size_t(aHeight);
  fPixels.reset(new (std::nothrow) std::uint32_t[count]);
  if (!fPixels)
    return false;
  std::memset(fPixels.get(), 0, count * 4);
  fWidth = aWidth;
  fHeight = aHeight;
  return true;
}

bool operator==(const Bitmap& aLeft, const Bitmap& aRight) {
  if (aLeft.fWidth != aRight.fWidth || aLeft.fHeight != aRight.fHeight)
    return false;
  return std::equal(aLeft.fPixels.get(),
                    aLeft.fPixels.get() + std::size_t(aLeft.fWidth) * aLeft.fHeight,
                    aRight.fPixels.get());
}

} // namespace platform
