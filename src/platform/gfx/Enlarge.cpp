#include "platform/gfx/Enlarge.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace platform {

void EnlargeInto(const Bitmap& aSource, const TRect& aArea, int aFactor, std::uint32_t* aTarget,
                 std::ptrdiff_t aTargetStride) {
  const TRect area = aArea.Intersect(aSource.BoundsRect());
  if (area.IsEmpty() || aFactor < 1 || !aTarget)
    return;
  const std::size_t rowBytes = std::size_t(area.Width()) * std::size_t(aFactor) * 4;
  auto* rowStart = reinterpret_cast<std::byte*>(aTarget);
  for (int y = area.Top; y < area.Bottom; ++y) {
    // The first target row of the source row, then copies of it.
    auto* first = reinterpret_cast<std::uint32_t*>(rowStart);
    const std::uint32_t* source = aSource.ScanLine(y) + area.Left;
    if (aFactor == 1) {
      std::memcpy(first, source, rowBytes);
    } else {
      std::uint32_t* out = first;
      for (int x = 0; x < area.Width(); ++x, out += aFactor)
        std::fill_n(out, aFactor, source[x]);
    }
    rowStart += aTargetStride;
    for (int copy = 1; copy < aFactor; ++copy, rowStart += aTargetStride)
      std::memcpy(rowStart, first, rowBytes);
  }
}

Bitmap Enlarged(const Bitmap& aSource, int aFactor) {
  Bitmap target;
  constexpr int Largest = std::numeric_limits<int>::max();
  if (aFactor < 1 || aSource.Empty() || aSource.Width() > Largest / aFactor ||
      aSource.Height() > Largest / aFactor ||
      !target.SetSize(aSource.Width() * aFactor, aSource.Height() * aFactor))
    return Bitmap();
  EnlargeInto(aSource, aSource.BoundsRect(), aFactor, target.ScanLine(0), target.Stride());
  return target;
}

} // namespace platform
