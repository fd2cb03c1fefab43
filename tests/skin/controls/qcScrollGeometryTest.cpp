// Skinned scroll-bar geometry: parts worked out by hand from the thumb
// rules, the ranges with nothing to scroll or no room for a thumb, and a
// sweep of invariants over many bars and ranges.

#include "skin/controls/qcScrollGeometry.h"

#include <climits>
#include <gtest/gtest.h>

using platform::SCROLLINFO;

// Found by the test framework to show rectangles in failure messages.
void PrintTo(const TRect& r, std::ostream* os) {
  *os << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
}

namespace {

SCROLLINFO Info(int aMin, int aMax, unsigned aPage, int aPos) {
  SCROLLINFO i;
  i.nMin = aMin;
  i.nMax = aMax;
  i.nPage = aPage;
  i.nPos = aPos;
  return i;
}

// A vertical bar 17 wide with 17-pixel arrows and the shortest thumb 16.
TqcScrollBarMetrics Vertical(int aLength, int aArrow = 17) {
  return {Rect(0, 0, 17, aLength), true, aArrow, 16};
}

TEST(qcScrollGeometryTest, PartsOfBars) {
  const struct {
    const char* Name;
    TqcScrollBarMetrics Bar;
    SCROLLINFO Info;
    TqcScrollGeometry Expected;
  } cases[] = {
      // L = 166, t = 10 * 166 / 100 = 17, span 90: p = 45 * 149 / 90 = 74.5 -> 75.
      {"100 lines, 10 shown, at 45",
       Vertical(200),
       Info(0, 99, 10, 45),
       {Rect(0, 0, 17, 17), Rect(0, 183, 17, 200), Rect(0, 17, 17, 183), Rect(0, 92, 17, 109),
        Rect(0, 17, 17, 92), Rect(0, 109, 17, 183)}},
      {"at the top",
       Vertical(200),
       Info(0, 99, 10, 0),
       {Rect(0, 0, 17, 17), Rect(0, 183, 17, 200), Rect(0, 17, 17, 183), Rect(0, 17, 17, 34),
        Rect(0, 17, 17, 17), Rect(0, 34, 17, 183)}},
      {"position past the end stays at the end",
       Vertical(200),
       Info(0, 99, 10, 500),
       {Rect(0, 0, 17, 17), Rect(0, 183, 17, 200), Rect(0, 17, 17, 183), Rect(0, 166, 17, 183),
        Rect(0, 17, 17, 166), Rect(0, 183, 17, 183)}},
      // Horizontal at (10, 5): L = 60, t = 5 * 60 / 10 = 30, span 5, p = 2 * 30 / 5 = 12.
      {"horizontal from nMin 10",
       {Rect(10, 5, 110, 22), false, 20, 16},
       Info(10, 19, 5, 12),
       {Rect(10, 5, 30, 22), Rect(90, 5, 110, 22), Rect(30, 5, 90, 22), Rect(42, 5, 72, 22),
        Rect(30, 5, 42, 22), Rect(72, 5, 90, 22)}},
      // No page: t = max(16, 17) = 17, span 10, p = 5 * 49 / 10 = 24.5 -> 25.
      {"no page",
       Vertical(100),
       Info(0, 10, 0, 5),
       {Rect(0, 0, 17, 17), Rect(0, 83, 17, 100), Rect(0, 17, 17, 83), Rect(0, 42, 17, 59),
        Rect(0, 17, 17, 42), Rect(0, 59, 17, 83)}},
      // No arrows and t = 10 <= 18: the thumb becomes 19 long.
      {"no arrows, short thumb",
       {Rect(0, 0, 100, 10), false, 0, 16},
       Info(0, 99, 10, 0),
       {Rect(0, 0, 0, 10), Rect(100, 0, 100, 10), Rect(0, 0, 100, 10), Rect(0, 0, 19, 10),
        Rect(0, 0, 0, 10), Rect(19, 0, 100, 10)}},
      {"no arrows, long thumb",
       {Rect(0, 0, 100, 10), false, 0, 16},
       Info(0, 99, 40, 60),
       {Rect(0, 0, 0, 10),
        Rect(100, 0, 100, 10),
        Rect(0, 0, 100, 10),
        Rect(60, 0, 100, 10),
        Rect(0, 0, 60, 10),
        {}}},
      // Two arrows do not fit in 31 pixels: each takes 15, the middle pixel none.
      {"shorter than two arrows",
       Vertical(31),
       Info(0, 99, 10, 0),
       {Rect(0, 0, 17, 15), Rect(0, 16, 17, 31), {}, {}, {}, {}}},
      // Ranges over 0x7FFFFFFE keep the thumb at its shortest and at the start.
      {"huge range",
       Vertical(100),
       Info(INT_MIN, INT_MAX, 0, 0),
       {Rect(0, 0, 17, 17), Rect(0, 83, 17, 100), Rect(0, 17, 17, 83), Rect(0, 17, 17, 34),
        Rect(0, 17, 17, 17), Rect(0, 34, 17, 83)}},
      // Nothing to scroll: no thumb and no pages, whatever the position.
      {"page covers the range",
       Vertical(200),
       Info(0, 9, 10, 0),
       {Rect(0, 0, 17, 17), Rect(0, 183, 17, 200), Rect(0, 17, 17, 183), {}, {}, {}}},
      {"one-item range",
       Vertical(200),
       Info(5, 5, 1, 5),
       {Rect(0, 0, 17, 17), Rect(0, 183, 17, 200), Rect(0, 17, 17, 183), {}, {}, {}}},
      {"inverted range",
       Vertical(200),
       Info(9, 0, 0, 0),
       {Rect(0, 0, 17, 17), Rect(0, 183, 17, 200), Rect(0, 17, 17, 183), {}, {}, {}}},
      // L = 10 < shortest thumb 16: no room for the thumb.
      {"thumb longer than the track",
       Vertical(44),
       Info(0, 99, 10, 50),
       {Rect(0, 0, 17, 17), Rect(0, 27, 17, 44), Rect(0, 17, 17, 27), {}, {}, {}}},
      // L = 16 = t: the thumb fills the track and leaves no pages.
      {"thumb fills the track",
       Vertical(50),
       Info(0, 99, 10, 50),
       {Rect(0, 0, 17, 17), Rect(0, 33, 17, 50), Rect(0, 17, 17, 33), Rect(0, 17, 17, 33), {}, {}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TqcScrollGeometry g = ComputeScrollGeometry(c.Bar, c.Info);
    EXPECT_EQ(g.FirstArrow, c.Expected.FirstArrow);
    EXPECT_EQ(g.SecondArrow, c.Expected.SecondArrow);
    EXPECT_EQ(g.Track, c.Expected.Track);
    EXPECT_EQ(g.Thumb, c.Expected.Thumb);
    EXPECT_EQ(g.PageBefore.IsEmpty() ? TRect{} : g.PageBefore,
              c.Expected.PageBefore.IsEmpty() ? TRect{} : c.Expected.PageBefore);
    EXPECT_EQ(g.PageAfter.IsEmpty() ? TRect{} : g.PageAfter,
              c.Expected.PageAfter.IsEmpty() ? TRect{} : c.Expected.PageAfter);
  }
}

TEST(qcScrollGeometryTest, HitParts) {
  const TqcScrollGeometry normal = ComputeScrollGeometry(Vertical(200), Info(0, 99, 10, 45));
  const TqcScrollGeometry halves = ComputeScrollGeometry(Vertical(31), Info(0, 99, 10, 0));
  const TqcScrollGeometry fills = ComputeScrollGeometry(Vertical(50), Info(0, 99, 10, 0));
  const TqcScrollGeometry covered = ComputeScrollGeometry(Vertical(200), Info(0, 9, 10, 0));
  const struct {
    const char* Name;
    const TqcScrollGeometry& Geometry;
    TPoint At;
    TqcScrollPart Part;
  } cases[] = {
      {"first arrow", normal, {0, 0}, spFirstArrow},
      {"first arrow's end", normal, {16, 16}, spFirstArrow},
      {"before the thumb", normal, {8, 17}, spPageBefore},
      {"thumb start", normal, {8, 92}, spThumb},
      {"thumb end", normal, {8, 108}, spThumb},
      {"after the thumb", normal, {8, 109}, spPageAfter},
      {"second arrow", normal, {8, 183}, spSecondArrow},
      {"below the bar", normal, {8, 200}, spNone},
      {"beside the bar", normal, {17, 100}, spNone},
      {"half arrow", halves, {8, 14}, spFirstArrow},
      {"middle pixel", halves, {8, 15}, spNone},
      {"second half arrow", halves, {8, 16}, spSecondArrow},
      {"thumb filling the track", fills, {8, 20}, spNone},
      {"track without thumb", covered, {8, 100}, spNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(HitScrollPart(c.Geometry, c.At), c.Part);
  }
}

TEST(qcScrollGeometryTest, DraggedThumb) {
  const TqcScrollBarMetrics horizontal{Rect(10, 5, 110, 22), false, 20, 16};
  const struct {
    const char* Name;
    TqcScrollBarMetrics Bar;
    SCROLLINFO Info;
    int Offset;
    std::optional<TqcThumbDrag> Expected;
  } cases[] = {
      // Free track 149 for 90 positions.
      {"middle", Vertical(200), Info(0, 99, 10, 0), 75, TqcThumbDrag{75, 45}},
      {"rounds to nearest", Vertical(200), Info(0, 99, 10, 0), 73, TqcThumbDrag{73, 44}},
      {"end", Vertical(200), Info(0, 99, 10, 0), 149, TqcThumbDrag{149, 90}},
      {"past the end", Vertical(200), Info(0, 99, 10, 0), 500, TqcThumbDrag{149, 90}},
      {"before the start", Vertical(200), Info(0, 99, 10, 0), -5, TqcThumbDrag{0, 0}},
      // Free track 30 for 5 positions from 10.
      {"counts from nMin", horizontal, Info(10, 19, 5, 0), 0, TqcThumbDrag{0, 10}},
      {"from nMin, middle", horizontal, Info(10, 19, 5, 0), 12, TqcThumbDrag{12, 12}},
      {"from nMin, half rounds up", horizontal, Info(10, 19, 5, 0), 3, TqcThumbDrag{3, 11}},
      {"from nMin, end", horizontal, Info(10, 19, 5, 0), 30, TqcThumbDrag{30, 15}},
      // Without a page the last position is nMax.
      {"no page, end", Vertical(100), Info(0, 10, 0, 0), 49, TqcThumbDrag{49, 10}},
      {"huge range, start", Vertical(100), Info(INT_MIN, INT_MAX, 0, 0), 0,
       TqcThumbDrag{0, INT_MIN}},
      {"huge range, end", Vertical(100), Info(INT_MIN, INT_MAX, 0, 0), 49,
       TqcThumbDrag{49, INT_MAX}},
      {"page covers the range", Vertical(200), Info(0, 9, 10, 0), 10, std::nullopt},
      {"one-item range", Vertical(200), Info(5, 5, 1, 5), 10, std::nullopt},
      {"thumb longer than the track", Vertical(44), Info(0, 99, 10, 0), 3, std::nullopt},
      {"thumb fills the track", Vertical(50), Info(0, 99, 10, 0), 0, std::nullopt},
      {"shorter than two arrows", Vertical(31), Info(0, 99, 10, 0), 0, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::optional<TqcThumbDrag> d = DragThumb(c.Bar, c.Info, c.Offset);
    ASSERT_EQ(d.has_value(), c.Expected.has_value());
    if (d) {
      EXPECT_EQ(d->Offset, c.Expected->Offset);
      EXPECT_EQ(d->Position, c.Expected->Position);
    }
  }
}

// Over many bars and ranges: the thumb stays inside the track and away from
// the arrows, every pixel of the bar hits the part whose rectangle holds it,
// and a drag runs monotonically from nMin to nMax - max(nPage, 1) + 1.
TEST(qcScrollGeometryTest, InvariantSweep) {
  for (int length : {0, 1, 20, 33, 34, 35, 50, 51, 120, 400})
    for (int arrow : {0, 5, 17})
      for (int min : {-7, 0, 3})
        for (int range : {0, 1, 2, 9, 99, 1000})
          for (unsigned page : {0u, 1u, 3u, 10u, 50u, 2000u})
            for (bool vertical : {false, true}) {
              const TqcScrollBarMetrics bar{vertical ? Rect(2, 3, 19, 3 + length)
                                                     : Rect(2, 3, 2 + length, 20),
                                            vertical, arrow, 16};
              const SCROLLINFO info = Info(min, min + range, page, min + range / 2);
              SCOPED_TRACE(::testing::Message()
                           << "length " << length << " arrow " << arrow << " min " << min
                           << " range " << range << " page " << page << " vertical " << vertical);
              const TqcScrollGeometry g = ComputeScrollGeometry(bar, info);
              const std::int64_t last = std::int64_t(min) + range - std::max(page, 1u) + 1;
              if (!g.Thumb.IsEmpty()) {
                EXPECT_EQ(g.Thumb.Intersect(g.Track), g.Thumb);
                EXPECT_GT(last, min);
              }
              for (int at = -1; at <= length; ++at) {
                const TPoint p = vertical ? TPoint{10, 3 + at} : TPoint{2 + at, 10};
                const TqcScrollPart part = HitScrollPart(g, p);
                const TRect* in = part == spFirstArrow    ? &g.FirstArrow
                                  : part == spSecondArrow ? &g.SecondArrow
                                  : part == spPageBefore  ? &g.PageBefore
                                  : part == spPageAfter   ? &g.PageAfter
                                  : part == spThumb       ? &g.Thumb
                                                          : nullptr;
                if (in)
                  EXPECT_TRUE(in->Contains(p));
                else
                  EXPECT_FALSE(g.FirstArrow.Contains(p) || g.SecondArrow.Contains(p) ||
                               g.PageBefore.Contains(p) || g.PageAfter.Contains(p));
              }
              const std::optional<TqcThumbDrag> start = DragThumb(bar, info, INT_MIN);
              const int thumb = vertical ? g.Thumb.Height() : g.Thumb.Width();
              const int track = vertical ? g.Track.Height() : g.Track.Width();
              ASSERT_EQ(start.has_value(), thumb > 0 && thumb < track);
              if (!start)
                continue;
              EXPECT_EQ(start->Position, min);
              EXPECT_EQ(DragThumb(bar, info, INT_MAX)->Position, last);
              int previous = min;
              for (int offset = 0; offset <= track - thumb; ++offset) {
                const int pos = DragThumb(bar, info, offset)->Position;
                EXPECT_GE(pos, previous);
                previous = pos;
              }
            }
}

} // namespace
