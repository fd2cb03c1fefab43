#include "skin/controls/qcScrollGeometry.h"

#include "platform/gfx/MulDiv.h"

#include <algorithm>
#include <cstdint>

using platform::MulDiv;
using platform::SCROLLINFO;

namespace {

// Ranges wider than this leave the thumb at its shortest and at the start.
constexpr std::int64_t MaxRange = 0x7FFFFFFE;

// The bar measured along its direction, relative to its start.
struct Axis {
  int Length = 0;        // B
  int Arrow = 0;         // each arrow's length
  int Track = 0;         // L, 0 when the arrows take the whole bar
  int Thumb = 0;         // t, 0 when there is no thumb
  int Offset = 0;        // p, the thumb's start after the track's start
  std::int64_t Span = 0; // positions the thumb travels through
};

// Positions the thumb can start at: nMax - max(nPage, 1) + 1 - nMin; at most
// 0 when the page covers the range.
std::int64_t SpanOf(const SCROLLINFO& aInfo) {
  return std::int64_t(aInfo.nMax) - aInfo.nMin - std::max<std::int64_t>(aInfo.nPage, 1) + 1;
}

// Thumb length before it is checked against the track.
int ThumbLength(const TqcScrollBarMetrics& aBar, const SCROLLINFO& aInfo, int aTrack,
                std::int64_t aRange) {
  int t = std::max(aBar.MinThumbSize, aBar.ArrowLength);
  if (aInfo.nPage != 0)
    t = aRange > MaxRange ? 0 : MulDiv(int(aInfo.nPage), aTrack, int(aRange + 1));
  if (aBar.ArrowLength != 0 || t > 18)
    return std::max(t, aBar.MinThumbSize);
  return 19;
}

Axis AxisOf(const TqcScrollBarMetrics& aBar, const SCROLLINFO& aInfo) {
  Axis a;
  a.Length = aBar.Vertical ? aBar.Bar.Height() : aBar.Bar.Width();
  if (2 * aBar.ArrowLength >= a.Length) {
    a.Arrow = a.Length / 2;
    return a;
  }
  a.Arrow = aBar.ArrowLength;
  a.Track = a.Length - 2 * a.Arrow;
  a.Span = SpanOf(aInfo);
  if (a.Span <= 0)
    return a;
  const std::int64_t range = std::int64_t(aInfo.nMax) - aInfo.nMin;
  const int t = ThumbLength(aBar, aInfo, a.Track, range);
  if (t <= 0 || t > a.Track)
    return a;
  a.Thumb = t;
  if (range > MaxRange)
    return a;
  // A position outside the range puts the thumb at the track's nearer end.
  const std::int64_t moved =
      std::clamp<std::int64_t>(std::int64_t(aInfo.nPos) - aInfo.nMin, 0, a.Span);
  a.Offset = MulDiv(int(moved), a.Track - t, int(a.Span));
  return a;
}

// The piece [aFrom, aTo) of the bar along its direction.
TRect Piece(const TqcScrollBarMetrics& aBar, int aFrom, int aTo) {
  const TRect& r = aBar.Bar;
  if (aBar.Vertical)
    return {r.Left, r.Top + aFrom, r.Right, r.Top + aTo};
  return {r.Left + aFrom, r.Top, r.Left + aTo, r.Bottom};
}

} // namespace

TqcScrollGeometry ComputeScrollGeometry(const TqcScrollBarMetrics& aBar, const SCROLLINFO& aInfo) {
  const Axis a = AxisOf(aBar, aInfo);
  TqcScrollGeometry g;
  g.FirstArrow = Piece(aBar, 0, a.Arrow);
  g.SecondArrow = Piece(aBar, a.Length - a.Arrow, a.Length);
  if (a.Track == 0)
    return g;
  const int trackEnd = a.Arrow + a.Track;
  g.Track = Piece(aBar, a.Arrow, trackEnd);
  if (a.Thumb == 0)
    return g;
  const int thumbStart = a.Arrow + a.Offset;
  g.Thumb = Piece(aBar, thumbStart, thumbStart + a.Thumb);
  g.PageBefore = Piece(aBar, a.Arrow, thumbStart);
  g.PageAfter = Piece(aBar, thumbStart + a.Thumb, trackEnd);
  return g;
}

TqcScrollPart HitScrollPart(const TqcScrollGeometry& aGeometry, TPoint aPoint) {
  if (aGeometry.FirstArrow.Contains(aPoint))
    return spFirstArrow;
  if (aGeometry.SecondArrow.Contains(aPoint))
    return spSecondArrow;
  if (aGeometry.PageBefore.Contains(aPoint))
    return spPageBefore;
  if (aGeometry.PageAfter.Contains(aPoint))
    return spPageAfter;
  if (aGeometry.Thumb.Contains(aPoint) && aGeometry.Thumb != aGeometry.Track)
    return spThumb;
  return spNone;
}

std::optional<TqcThumbDrag> DragThumb(const TqcScrollBarMetrics& aBar, const SCROLLINFO& aInfo,
                                      int aOffset) {
  const Axis a = AxisOf(aBar, aInfo);
  const int free = a.Track - a.Thumb;
  if (a.Thumb == 0 || free <= 0)
    return std::nullopt;
  const int offset = std::clamp(aOffset, 0, free);
  // offset * Span / free rounded to nearest; 64-bit as the span may pass int.
  const std::int64_t moved = (offset * a.Span + free / 2) / free;
  return TqcThumbDrag{offset, int(aInfo.nMin + moved)};
}
