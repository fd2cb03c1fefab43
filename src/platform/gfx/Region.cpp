#include "platform/gfx/Region.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace platform {

namespace {

// The horizontal spans [x0, x1) of the band that covers the rows [aTop, ...), as
// a flat list x0, x1, x0, x1, ...; aIndex walks the region's rectangles.
void BandSpans(const std::vector<TRect>& aRects, std::size_t& aIndex, int aTop,
               std::vector<int>& aSpans) {
  aSpans.clear();
  while (aIndex < aRects.size() && aRects[aIndex].Bottom <= aTop)
    ++aIndex;
  if (aIndex == aRects.size() || aRects[aIndex].Top > aTop)
    return;
  for (std::size_t i = aIndex; i < aRects.size() && aRects[i].Top == aRects[aIndex].Top; ++i) {
    aSpans.push_back(aRects[i].Left);
    aSpans.push_back(aRects[i].Right);
  }
}

bool InSpans(const std::vector<int>& aSpans, std::size_t& aIndex, int aX) {
  while (aIndex < aSpans.size() && aSpans[aIndex + 1] <= aX)
    aIndex += 2;
  return aIndex < aSpans.size() && aSpans[aIndex] <= aX;
}

} // namespace

Region::Region(const TRect& aRect) {
  if (!aRect.IsEmpty())
    fRects.push_back(aRect);
  UpdateBounds();
}

Region Region::FromRects(std::span<const TRect> aRects) {
  std::vector<int> edges;
  for (const TRect& r : aRects)
    if (!r.IsEmpty()) {
      edges.push_back(r.Top);
      edges.push_back(r.Bottom);
    }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  Region result;
  std::vector<std::pair<int, int>> pieces;
  std::vector<int> spans;
  for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
    pieces.clear();
    for (const TRect& r : aRects)
      if (!r.IsEmpty() && r.Top <= edges[e] && r.Bottom >= edges[e + 1])
        pieces.emplace_back(r.Left, r.Right);
    std::sort(pieces.begin(), pieces.end());
    spans.clear();
    for (const auto& [left, right] : pieces) {
      if (!spans.empty() && left <= spans.back())
        spans.back() = std::max(spans.back(), right);
      else {
        spans.push_back(left);
        spans.push_back(right);
      }
    }
    result.AppendBand(edges[e], edges[e + 1], spans);
  }
  result.UpdateBounds();
  return result;
}

int Region::Kind() const {
  if (fRects.empty())
    return NULLREGION;
  return fRects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::Contains(TPoint aPoint) const {
  if (!fBounds.Contains(aPoint))
    return false;
  for (const TRect& r : fRects) {
    if (r.Top > aPoint.Y)
      break;
    if (r.Contains(aPoint))
      return true;
  }
  return false;
}

bool Region::Intersects(const TRect& aRect) const {
  if (aRect.IsEmpty() || fBounds.Intersect(aRect).IsEmpty())
    return false;
  for (const TRect& r : fRects) {
    if (r.Top >= aRect.Bottom)
      break;
    if (!r.Intersect(aRect).IsEmpty())
      return true;
  }
  return false;
}

void Region::Offset(int aDx, int aDy) {
  for (TRect& r : fRects)
    r = r.Offset(aDx, aDy);
  UpdateBounds();
}

Region Region::Intersect(const Region& aOther) const {
  return Combine(*this, aOther, Op::And);
}
Region Region::Union(const Region& aOther) const {
  return Combine(*this, aOther, Op::Or);
}
Region Region::Subtract(const Region& aOther) const {
  return Combine(*this, aOther, Op::Diff);
}
Region Region::Xor(const Region& aOther) const {
  return Combine(*this, aOther, Op::Xor);
}

// Sweeps both regions band by band: between two consecutive band edges of
// either region both have fixed spans, which are combined edge by edge.
Region Region::Combine(const Region& aLeft, const Region& aRight, Op aOp) {
  std::vector<int> edges;
  edges.reserve(2 * (aLeft.fRects.size() + aRight.fRects.size()));
  for (const Region* region : {&aLeft, &aRight})
    for (const TRect& r : region->fRects) {
      edges.push_back(r.Top);
      edges.push_back(r.Bottom);
    }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

  Region result;
  std::size_t leftIndex = 0;
  std::size_t rightIndex = 0;
  std::vector<int> leftSpans, rightSpans, xs, spans;
  for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
    BandSpans(aLeft.fRects, leftIndex, edges[e], leftSpans);
    BandSpans(aRight.fRects, rightIndex, edges[e], rightSpans);
    xs.assign(leftSpans.begin(), leftSpans.end());
    xs.insert(xs.end(), rightSpans.begin(), rightSpans.end());
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    spans.clear();
    std::size_t li = 0;
    std::size_t ri = 0;
    for (std::size_t x = 0; x + 1 < xs.size(); ++x) {
      bool inLeft = InSpans(leftSpans, li, xs[x]);
      bool inRight = InSpans(rightSpans, ri, xs[x]);
      bool inside = false;
      switch (aOp) {
      case Op::And:
        inside = inLeft && inRight;
        break;
      case Op::Or:
        inside = inLeft || inRight;
        break;
      case Op::Xor:
        inside = inLeft != inRight;
        break;
      case Op::Diff:
        inside = inLeft && !inRight;
        break;
      }
      if (!inside)
        continue;
      if (!spans.empty() && spans.back() == xs[x])
        spans.back() = xs[x + 1];
      else {
        spans.push_back(xs[x]);
        spans.push_back(xs[x + 1]);
      }
    }
    result.AppendBand(edges[e], edges[e + 1], spans);
  }
  result.UpdateBounds();
  return result;
}

// Appends a band below the existing ones, or lengthens the last band when it
// touches the new one and has the same spans.
void Region::AppendBand(int aTop, int aBottom, const std::vector<int>& aSpans) {
  if (aSpans.empty())
    return;
  std::size_t count = aSpans.size() / 2;
  if (fRects.size() >= count && fRects.back().Bottom == aTop) {
    std::size_t first = fRects.size() - count;
    bool same = first == 0 || fRects[first - 1].Top != fRects[first].Top;
    for (std::size_t i = 0; same && i < count; ++i)
      same = fRects[first + i].Top == fRects.back().Top &&
             fRects[first + i].Left == aSpans[2 * i] &&
             fRects[first + i].Right == aSpans[2 * i + 1];
    if (same) {
      for (std::size_t i = first; i < fRects.size(); ++i)
        fRects[i].Bottom = aBottom;
      return;
    }
  }
  for (std::size_t i = 0; i < count; ++i)
    fRects.push_back({aSpans[2 * i], aTop, aSpans[2 * i + 1], aBottom});
}

void Region::UpdateBounds() {
  fBounds = {};
  for (const TRect& r : fRects)
    fBounds = fBounds.Union(r);
}

HRGN CreateRectRgn(int aLeft, int aTop, int aRight, int aBottom) {
  return new Region(TRect{std::min(aLeft, aRight), std::min(aTop, aBottom), std::max(aLeft, aRight),
                          std::max(aTop, aBottom)});
}

HRGN CreateRectRgnIndirect(const RECT* aRect) {
  if (!aRect)
    return nullptr;
  return CreateRectRgn(aRect->Left, aRect->Top, aRect->Right, aRect->Bottom);
}

HRGN CreateRectRgnList(const RECT* aRects, int aCount) {
  if (aCount < 0 || (aCount > 0 && !aRects))
    return nullptr;
  return new Region(Region::FromRects(std::span<const TRect>(aRects, std::size_t(aCount))));
}

int CombineRgn(HRGN aDest, HRGN aSrc1, HRGN aSrc2, int aMode) {
  if (!aDest || !aSrc1)
    return ERROR;
  if (aMode == RGN_COPY) {
    *aDest = *aSrc1;
    return aDest->Kind();
  }
  if (!aSrc2)
    return ERROR;
  switch (aMode) {
  case RGN_AND:
    *aDest = aSrc1->Intersect(*aSrc2);
    break;
  case RGN_OR:
    *aDest = aSrc1->Union(*aSrc2);
    break;
  case RGN_XOR:
    *aDest = aSrc1->Xor(*aSrc2);
    break;
  case RGN_DIFF:
    *aDest = aSrc1->Subtract(*aSrc2);
    break;
  default:
    return ERROR;
  }
  return aDest->Kind();
}

int OffsetRgn(HRGN aRgn, int aDx, int aDy) {
  if (!aRgn)
    return ERROR;
  // A move that would carry a coordinate past the int range fails.
  const TRect box = aRgn->Bounds();
  const std::int64_t limit = std::numeric_limits<int>::max();
  if (!aRgn->IsEmpty() &&
      (std::int64_t(box.Left) + aDx < -limit || std::int64_t(box.Right) + aDx > limit ||
       std::int64_t(box.Top) + aDy < -limit || std::int64_t(box.Bottom) + aDy > limit))
    return ERROR;
  aRgn->Offset(aDx, aDy);
  return aRgn->Kind();
}

BOOL PtInRegion(HRGN aRgn, int aX, int aY) {
  return aRgn && aRgn->Contains({aX, aY});
}

BOOL RectInRegion(HRGN aRgn, const RECT* aRect) {
  return aRgn && aRect && aRgn->Intersects(*aRect);
}

int GetRgnBox(HRGN aRgn, RECT* aRect) {
  if (!aRgn || !aRect)
    return ERROR;
  *aRect = aRgn->Bounds();
  return aRgn->Kind();
}

BOOL EqualRgn(HRGN aRgn1, HRGN aRgn2) {
  return aRgn1 && aRgn2 && *aRgn1 == *aRgn2;
}

BOOL SetRectRgn(HRGN aRgn, int aLeft, int aTop, int aRight, int aBottom) {
  if (!aRgn)
    return false;
  *aRgn = Region(TRect{std::min(aLeft, aRight), std::min(aTop, aBottom), std::max(aLeft, aRight),
                       std::max(aTop, aBottom)});
  return true;
}

BOOL DeleteObject(HRGN aRgn) {
  if (!aRgn)
    return false;
  delete aRgn;
  return true;
}

} // namespace platform
