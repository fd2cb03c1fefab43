#pragma once
// Geometry of a skinned scroll bar: where its arrows, track and thumb lie for
// a scroll range, which part a point hits and which position a dragged thumb
// stands for. Pure functions; the adapters that paint and operate the bars
// take their rectangles from here.

#include "platform/Types.h"
#include "platform/win/WinDefs.h"

#include <optional>

// The parts of a bar; the values are the scroll codes a press on them sends
// (SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_THUMBTRACK).
enum TqcScrollPart {
  spNone = -1,
  spFirstArrow = 0, // left or up
  spSecondArrow = 1,
  spPageBefore = 2, // track before the thumb
  spPageAfter = 3,
  spThumb = 5
};

// A bar: its rectangle, its direction, the arrow length along it (resolved
// from the skin, >= 0) and the shortest thumb it shows.
struct TqcScrollBarMetrics {
  TRect Bar;
  bool Vertical = false;
  int ArrowLength = 0;
  int MinThumbSize = 16;
};

// Rectangles inside the bar. When two arrows do not fit, each takes half the
// bar and there is no track. Thumb and pages are empty when there is nothing
// to scroll or no room for the thumb; the pages are also empty when the thumb
// fills the track. A thumb filling the track is shown but is no part to
// press.
struct TqcScrollGeometry {
  TRect FirstArrow;
  TRect SecondArrow;
  TRect Track;
  TRect Thumb;
  TRect PageBefore;
  TRect PageAfter;
};

// The thumb stands at aInfo.nPos.
TqcScrollGeometry ComputeScrollGeometry(const TqcScrollBarMetrics& aBar,
                                        const platform::SCROLLINFO& aInfo);

TqcScrollPart HitScrollPart(const TqcScrollGeometry& aGeometry, TPoint aPoint);

// A thumb dragged to start aOffset pixels after the track's start: the offset
// clamped to the track, and the position it stands for, from nMin (offset 0)
// to nMax - max(nPage, 1) + 1 (thumb at the track's end). None when the thumb
// cannot move: nothing to scroll, no thumb, or a thumb filling the track.
struct TqcThumbDrag {
  int Offset;
  int Position;
};
std::optional<TqcThumbDrag> DragThumb(const TqcScrollBarMetrics& aBar,
                                      const platform::SCROLLINFO& aInfo, int aOffset);
