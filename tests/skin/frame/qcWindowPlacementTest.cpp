// Snapping a moved window to the edges of its area, and the maximized
// placement that pushes the platform frame outside the area.

#include "skin/frame/qcWindowPlacement.h"

#include <gtest/gtest.h>

namespace {

struct SnapCase {
  const char* Name;
  TPoint Pos;
  TSize Size;
  TRect Area;
  int Buffer;
  TPoint Expected;
};

TEST(SnapToArea, MovesCoordinatesCloserThanTheBufferOntoTheEdges) {
  const TRect area{0, 0, 1920, 1040};
  const SnapCase cases[] = {
      {"9 from the left edge snaps", {9, 300}, {400, 300}, area, 10, {0, 300}},
      {"10 from the left edge stays", {10, 300}, {400, 300}, area, 10, {10, 300}},
      {"just outside the left edge snaps", {-9, 300}, {400, 300}, area, 10, {0, 300}},
      {"near the top edge snaps", {500, 4}, {400, 300}, area, 10, {500, 0}},
      {"right edge: the window's right side snaps", {1515, 300}, {400, 300}, area, 10, {1520, 300}},
      {"right edge 10 away stays", {1510, 300}, {400, 300}, area, 10, {1510, 300}},
      {"bottom edge snaps", {500, 735}, {400, 300}, area, 10, {500, 740}},
      {"corner snaps both ways", {1525, 745}, {400, 300}, area, 10, {1520, 740}},
      {"left wins over right in a narrow area",
       {1, 50},
       {400, 300},
       {0, 0, 402, 1040},
       10,
       {0, 50}},
      {"top wins over bottom in a low area", {50, 1}, {400, 300}, {0, 0, 1920, 302}, 10, {50, 0}},
      {"an area that does not start at 0",
       {205, 105},
       {400, 300},
       {200, 100, 1000, 800},
       10,
       {200, 100}},
      {"buffer 0 never snaps", {0, 1}, {400, 300}, area, 0, {0, 1}},
      {"the middle stays", {700, 400}, {400, 300}, area, 10, {700, 400}},
  };
  for (const SnapCase& c : cases)
    EXPECT_EQ(SnapToArea(c.Pos, c.Size, c.Area, c.Buffer), c.Expected) << c.Name;
}

struct MaxCase {
  const char* Name;
  int Border;
  TRect Area;
  TPoint Position;
  TSize Size;
};

TEST(MaximizedPlacement, FrameLiesJustOutsideTheArea) {
  const MaxCase cases[] = {
      {"frame 3, 1920 x 1040", 3, {0, 0, 1920, 1040}, {-3, -3}, {1926, 1046}},
      {"no frame", 0, {0, 0, 1280, 1024}, {0, 0}, {1280, 1024}},
      {"area with a panel on the left", 4, {48, 0, 1280, 1000}, {44, -4}, {1240, 1008}},
  };
  for (const MaxCase& c : cases) {
    const TqcMaximizedPlacement p = MaximizedPlacement(c.Border, c.Area);
    EXPECT_EQ(p.Position, c.Position) << c.Name;
    EXPECT_EQ(p.Size, c.Size) << c.Name;
    platform::MINMAXINFO info;
    ApplyMaximizedPlacement(info, p);
    EXPECT_EQ(info.ptMaxPosition, (platform::POINT{c.Position.X, c.Position.Y})) << c.Name;
    EXPECT_EQ(info.ptMaxSize, (platform::POINT{c.Size.cx, c.Size.cy})) << c.Name;
  }
}

} // namespace
