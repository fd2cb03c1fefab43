#pragma once
// Regions: sets of pixels held as banded rectangle lists, and the region
// functions with the platform's names and result codes (HRGN is a Region*).

#include "platform/Types.h"

#include <span>
#include <vector>

namespace platform {

// Result codes of the region functions.
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// CombineRgn modes.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;

// A set of pixels as rectangles sorted top to bottom, then left to right. The
// rectangles form bands: all rectangles of a band share Top and Bottom, bands do
// not overlap, rectangles of a band neither overlap nor touch, and two touching
// bands never have the same horizontal spans (they are merged into one). So two
// equal pixel sets always have equal rectangle lists.
class Region {
public:
  Region() = default;
  // The rectangle's pixels; an empty rectangle gives an empty region.
  explicit Region(const TRect& aRect);
  // The union of the rectangles (which may overlap and come in any order).
  static Region FromRects(std::span<const TRect> aRects);

  const std::vector<TRect>& Rects() const { return fRects; }
  bool IsEmpty() const { return fRects.empty(); }
  // The smallest rectangle holding the region; (0, 0, 0, 0) when empty.
  TRect Bounds() const { return fBounds; }
  // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
  int Kind() const;

  bool Contains(TPoint aPoint) const;
  // Whether any pixel of the rectangle belongs to the region.
  bool Intersects(const TRect& aRect) const;
  void Offset(int aDx, int aDy);

  Region Intersect(const Region& aOther) const;
  Region Union(const Region& aOther) const;
  Region Subtract(const Region& aOther) const;
  Region Xor(const Region& aOther) const;

  friend bool operator==(const Region&, const Region&) = default;

private:
  enum class Op { And, Or, Xor, Diff };
  static Region Combine(const Region& aLeft, const Region& aRight, Op aOp);
  void AppendBand(int aTop, int aBottom, const std::vector<int>& aSpans);
  void UpdateBounds();

  std::vector<TRect> fRects;
  TRect fBounds;
};

using HRGN = Region*;

// Region handles are created on the heap and freed with DeleteObject.
HRGN CreateRectRgn(int aLeft, int aTop, int aRight, int aBottom);
HRGN CreateRectRgnIndirect(const RECT* aRect);
// A region made of a list of rectangles (the union of them).
HRGN CreateRectRgnList(const RECT* aRects, int aCount);
// Sets aDest to aSrc1 combined with aSrc2 (aSrc2 is unused for RGN_COPY). The
// destination may be one of the sources. Returns the kind of the result, or
// ERROR for a missing region or an unknown mode (aDest is then unchanged).
int CombineRgn(HRGN aDest, HRGN aSrc1, HRGN aSrc2, int aMode);
// Moves the region; ERROR (and no move) when a coordinate would leave the int
// range.
int OffsetRgn(HRGN aRgn, int aDx, int aDy);
BOOL PtInRegion(HRGN aRgn, int aX, int aY);
BOOL RectInRegion(HRGN aRgn, const RECT* aRect);
int GetRgnBox(HRGN aRgn, RECT* aRect);
BOOL EqualRgn(HRGN aRgn1, HRGN aRgn2);
BOOL SetRectRgn(HRGN aRgn, int aLeft, int aTop, int aRight, int aBottom);
BOOL DeleteObject(HRGN aRgn);

} // namespace platform
