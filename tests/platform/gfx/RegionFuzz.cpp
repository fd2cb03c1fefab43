// Builds regions from arbitrary rectangles, combines them, and checks that the
// results are well formed and agree with the operands point by point.

#include "platform/gfx/Region.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

using platform::Region;

namespace {

void Check(bool aCondition) {
  if (!aCondition)
    std::abort();
}

void CheckWellFormed(const Region& aRegion) {
  const auto& rects = aRegion.Rects();
  TRect bounds;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    Check(!rects[i].IsEmpty());
    bounds = bounds.Union(rects[i]);
    if (i > 0 && rects[i - 1].Top == rects[i].Top)
      Check(rects[i - 1].Bottom == rects[i].Bottom && rects[i - 1].Right < rects[i].Left);
    else if (i > 0)
      Check(rects[i - 1].Bottom <= rects[i].Top);
  }
  Check(bounds == aRegion.Bounds());
}

std::vector<TRect> ReadRects(const std::uint8_t*& aData, std::size_t& aSize) {
  std::vector<TRect> rects;
  if (aSize == 0)
    return rects;
  std::size_t count = *aData++ % 8;
  --aSize;
  auto read = [&] {
    if (aSize == 0)
      return 0;
    --aSize;
    return int(std::int8_t(*aData++));
  };
  while (count-- > 0 && aSize >= 4)
    rects.push_back({read(), read(), read(), read()});
  return rects;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  const Region a = Region::FromRects(ReadRects(aData, aSize));
  const Region b = Region::FromRects(ReadRects(aData, aSize));
  const Region results[4] = {a.Intersect(b), a.Union(b), a.Subtract(b), a.Xor(b)};
  for (const Region& r : results)
    CheckWellFormed(r);
  for (int y = -130; y <= 130; y += 3)
    for (int x = -130; x <= 130; x += 3) {
      const bool inA = a.Contains({x, y});
      const bool inB = b.Contains({x, y});
      Check(results[0].Contains({x, y}) == (inA && inB));
      Check(results[1].Contains({x, y}) == (inA || inB));
      Check(results[2].Contains({x, y}) == (inA && !inB));
      Check(results[3].Contains({x, y}) == (inA != inB));
    }
  Check(results[1] == b.Union(a));
  return 0;
}
