#include "platform/gfx/Region.h"

#include <bitset>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

using namespace platform;

namespace {

// Regions are checked against a plain pixel set on a small grid.
constexpr int Grid = 24;
using PixelSet = std::bitset<Grid * Grid>;

PixelSet PixelsOf(const Region& aRegion) {
  PixelSet set;
  for (int y = 0; y < Grid; ++y)
    for (int x = 0; x < Grid; ++x)
      if (aRegion.Contains({x, y}))
        set.set(std::size_t(y * Grid + x));
  return set;
}

PixelSet PixelsOf(const std::vector<TRect>& aRects) {
  PixelSet set;
  for (const TRect& r : aRects)
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        set.set(std::size_t(y * Grid + x));
  return set;
}

// Bands do not overlap, rectangles of a band are sorted, disjoint and do not
// touch, touching bands differ, and the bounds are tight.
void ExpectWellFormed(const Region& aRegion) {
  const auto& rects = aRegion.Rects();
  TRect bounds;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    ASSERT_FALSE(rects[i].IsEmpty());
    bounds = bounds.Union(rects[i]);
    if (i == 0)
      continue;
    const TRect& a = rects[i - 1];
    const TRect& b = rects[i];
    if (a.Top == b.Top) {
      EXPECT_EQ(a.Bottom, b.Bottom) << "a band has one height";
      EXPECT_LT(a.Right, b.Left) << "rectangles of a band neither overlap nor touch";
    } else {
      EXPECT_LE(a.Bottom, b.Top) << "bands do not overlap";
    }
  }
  EXPECT_EQ(aRegion.Bounds(), bounds);
  // Touching bands with the same spans would have been merged.
  std::vector<std::vector<TRect>> bands;
  for (const TRect& r : rects) {
    if (bands.empty() || bands.back().front().Top != r.Top)
      bands.emplace_back();
    bands.back().push_back(r);
  }
  for (std::size_t i = 1; i < bands.size(); ++i) {
    if (bands[i - 1].front().Bottom != bands[i].front().Top ||
        bands[i - 1].size() != bands[i].size())
      continue;
    bool same = true;
    for (std::size_t k = 0; k < bands[i].size(); ++k)
      same = same && bands[i][k].Left == bands[i - 1][k].Left &&
             bands[i][k].Right == bands[i - 1][k].Right;
    EXPECT_FALSE(same) << "touching bands with equal spans are merged";
  }
}

Region RandomRegion(std::mt19937& aRandom) {
  std::uniform_int_distribution<int> coordinate(0, Grid);
  std::uniform_int_distribution<int> count(0, 5);
  std::vector<TRect> rects;
  for (int i = count(aRandom); i > 0; --i) {
    int x0 = coordinate(aRandom), x1 = coordinate(aRandom);
    int y0 = coordinate(aRandom), y1 = coordinate(aRandom);
    rects.push_back({std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)});
  }
  return Region::FromRects(rects);
}

} // namespace

TEST(Region, EmptyRectangleGivesEmptyRegion) {
  EXPECT_TRUE(Region(TRect{5, 5, 5, 9}).IsEmpty());
  EXPECT_TRUE(Region(TRect{5, 5, 2, 9}).IsEmpty());
  EXPECT_EQ(Region().Kind(), NULLREGION);
  EXPECT_EQ(Region().Bounds(), TRect{});
}

TEST(Region, CombineTable) {
  const Region a(TRect{0, 0, 10, 10});
  const Region b(TRect{5, 5, 15, 15});
  const Region side(TRect{10, 0, 20, 10});
  struct Case {
    const char* Name;
    Region Result;
    std::vector<TRect> Expected;
  };
  const Case cases[] = {
      {"and overlapping", a.Intersect(b), {{5, 5, 10, 10}}},
      {"or overlapping", a.Union(b), {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}},
      {"diff overlapping", a.Subtract(b), {{0, 0, 10, 5}, {0, 5, 5, 10}}},
      {"xor overlapping",
       a.Xor(b),
       {{0, 0, 10, 5}, {0, 5, 5, 10}, {10, 5, 15, 10}, {5, 10, 15, 15}}},
      {"or side by side merges", a.Union(side), {{0, 0, 20, 10}}},
      {"and side by side is empty", a.Intersect(side), {}},
      {"diff of itself is empty", a.Subtract(a), {}},
      {"hole in the middle",
       Region(TRect{0, 0, 9, 9}).Subtract(Region(TRect{3, 3, 6, 6})),
       {{0, 0, 9, 3}, {0, 3, 3, 6}, {6, 3, 9, 6}, {0, 6, 9, 9}}},
      {"stacked bands merge",
       Region(TRect{0, 0, 4, 2}).Union(Region(TRect{0, 2, 4, 5})),
       {{0, 0, 4, 5}}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.Result.Rects(), c.Expected) << c.Name;
    ExpectWellFormed(c.Result);
  }
}

TEST(Region, KindsAndBounds) {
  EXPECT_EQ(Region(TRect{1, 2, 3, 4}).Kind(), SIMPLEREGION);
  const Region l = Region(TRect{0, 0, 4, 2}).Union(Region(TRect{0, 2, 2, 4}));
  EXPECT_EQ(l.Kind(), COMPLEXREGION);
  EXPECT_EQ(l.Bounds(), (TRect{0, 0, 4, 4}));
}

TEST(Region, PointAndRectangleTests) {
  const Region ring = Region(TRect{0, 0, 9, 9}).Subtract(Region(TRect{3, 3, 6, 6}));
  struct Case {
    TPoint Point;
    bool Inside;
  };
  const Case points[] = {{{0, 0}, true},   {{8, 8}, true},  {{9, 8}, false}, {{8, 9}, false},
                         {{3, 3}, false},  {{5, 5}, false}, {{2, 4}, true},  {{6, 4}, true},
                         {{-1, 0}, false}, {{4, 6}, true}};
  for (const Case& c : points)
    EXPECT_EQ(ring.Contains(c.Point), c.Inside) << c.Point.X << "," << c.Point.Y;
  EXPECT_FALSE(ring.Intersects({3, 3, 6, 6}));
  EXPECT_TRUE(ring.Intersects({5, 5, 7, 7}));
  EXPECT_FALSE(ring.Intersects({9, 0, 12, 9}));
  EXPECT_FALSE(ring.Intersects({4, 4, 4, 8})) << "an empty rectangle meets nothing";
}

TEST(Region, OffsetMovesEveryRectangle) {
  Region r = Region(TRect{0, 0, 9, 9}).Subtract(Region(TRect{3, 3, 6, 6}));
  r.Offset(10, -3);
  EXPECT_EQ(r.Bounds(), (TRect{10, -3, 19, 6}));
  EXPECT_TRUE(r.Contains({10, -3}));
  EXPECT_FALSE(r.Contains({14, 1}));
}

TEST(Region, FromRectsIsTheUnion) {
  const std::vector<TRect> rects = {{2, 2, 8, 4}, {0, 3, 3, 9}, {6, 0, 7, 12}, {1, 1, 1, 5}};
  const Region r = Region::FromRects(rects);
  ExpectWellFormed(r);
  EXPECT_EQ(PixelsOf(r), PixelsOf(rects));
}

// The operations agree with set algebra on pixels, give well-formed and
// canonical results, and satisfy the usual identities.
TEST(Region, AlgebraMatchesPixelSets) {
  std::mt19937 random(12345);
  for (int round = 0; round < 300; ++round) {
    const Region a = RandomRegion(random);
    const Region b = RandomRegion(random);
    const Region c = RandomRegion(random);
    const PixelSet pa = PixelsOf(a), pb = PixelsOf(b);
    const Region both = a.Intersect(b), either = a.Union(b), onlyA = a.Subtract(b), odd = a.Xor(b);
    for (const Region* r : {&a, &both, &either, &onlyA, &odd})
      ExpectWellFormed(*r);
    ASSERT_EQ(PixelsOf(both), pa & pb);
    ASSERT_EQ(PixelsOf(either), pa | pb);
    ASSERT_EQ(PixelsOf(onlyA), pa & ~pb);
    ASSERT_EQ(PixelsOf(odd), pa ^ pb);
    // Equal pixel sets have equal rectangle lists.
    EXPECT_EQ(either, b.Union(a));
    EXPECT_EQ(both, b.Intersect(a));
    EXPECT_EQ(odd, onlyA.Union(b.Subtract(a)));
    EXPECT_EQ(a, onlyA.Union(both));
    EXPECT_EQ(a.Union(b.Intersect(c)), a.Union(b).Intersect(a.Union(c)));
    EXPECT_TRUE(onlyA.Intersect(b).IsEmpty());
  }
}

TEST(RegionHandles, CombineRgnModesAndResults) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  HRGN d = CreateRectRgn(0, 0, 0, 0);
  struct Case {
    int Mode;
    int Kind;
    TRect Box;
  };
  const Case cases[] = {{RGN_AND, SIMPLEREGION, {5, 5, 10, 10}},
                        {RGN_OR, COMPLEXREGION, {0, 0, 15, 15}},
                        {RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}},
                        {RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}},
                        {RGN_COPY, SIMPLEREGION, {0, 0, 10, 10}}};
  for (const Case& c : cases) {
    EXPECT_EQ(CombineRgn(d, a, b, c.Mode), c.Kind) << c.Mode;
    RECT box;
    EXPECT_EQ(GetRgnBox(d, &box), c.Kind);
    EXPECT_EQ(box, c.Box) << c.Mode;
  }
  EXPECT_EQ(CombineRgn(d, a, b, 99), ERROR);
  EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_AND), ERROR);
  // The destination may be a source.
  EXPECT_EQ(CombineRgn(a, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(a, 5, 5));
  EXPECT_FALSE(PtInRegion(a, 4, 5));
  EXPECT_EQ(OffsetRgn(a, -5, -5), SIMPLEREGION);
  EXPECT_EQ(OffsetRgn(a, std::numeric_limits<int>::max() - 4, 0), ERROR);
  EXPECT_EQ(OffsetRgn(a, 0, std::numeric_limits<int>::min()), ERROR);
  EXPECT_TRUE(PtInRegion(a, 0, 0));
  RECT r{4, 4, 6, 6};
  EXPECT_TRUE(RectInRegion(a, &r));
  r = {5, 5, 6, 6};
  EXPECT_FALSE(RectInRegion(a, &r));
  EXPECT_TRUE(SetRectRgn(d, 0, 0, 5, 5));
  EXPECT_TRUE(EqualRgn(a, d));
  for (HRGN h : {a, b, d})
    EXPECT_TRUE(DeleteObject(h));
}

TEST(RegionHandles, CreationFromRectanglesAndSwappedCorners) {
  HRGN swapped = CreateRectRgn(10, 8, 2, 3);
  RECT box;
  EXPECT_EQ(GetRgnBox(swapped, &box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{2, 3, 10, 8}));
  const RECT rects[] = {{0, 0, 4, 4}, {4, 0, 8, 4}, {0, 4, 2, 6}};
  HRGN list = CreateRectRgnList(rects, 3);
  EXPECT_EQ(list->Rects(), (std::vector<TRect>{{0, 0, 8, 4}, {0, 4, 2, 6}}));
  HRGN empty = CreateRectRgnList(nullptr, 0);
  EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
  EXPECT_EQ(CreateRectRgnList(nullptr, 2), nullptr);
  EXPECT_EQ(CreateRectRgnList(rects, -1), nullptr);
  const RECT one{1, 2, 3, 4};
  HRGN indirect = CreateRectRgnIndirect(&one);
  EXPECT_EQ(indirect->Rects(), std::vector<TRect>{one});
  for (HRGN h : {swapped, list, empty, indirect})
    DeleteObject(h);
  EXPECT_FALSE(DeleteObject(HRGN(nullptr)));
  EXPECT_EQ(GetRgnBox(nullptr, &box), ERROR);
  EXPECT_FALSE(PtInRegion(nullptr, 0, 0));
}
