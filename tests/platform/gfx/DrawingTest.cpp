#include "platform/gfx/Drawing.h"

#include "platform/gfx/SystemColors.h"
#include "support/PixelCheck.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

using namespace platform;
using pixelcheck::DCHolder;
using pixelcheck::Opaque;
using pixelcheck::Paint;
using pixelcheck::SameBitmap;

namespace {

constexpr std::uint32_t Back = 0xFF000000;
constexpr TColor Red = RGB(255, 0, 0);
constexpr TColor Blue = RGB(0, 0, 255);

struct Canvas {
  Bitmap Pixels;
  DCHolder DC{CreateCompatibleDC(nullptr)};
  explicit Canvas(int aWidth = 16, int aHeight = 12, std::uint32_t aFill = Back)
      : Pixels(pixelcheck::Filled(aWidth, aHeight, aFill)) {
    SelectObject(DC.get(), &Pixels);
  }
  HDC dc() { return DC.get(); }
};

// Every pixel gets a value of its own, so copies show where each came from.
std::uint32_t Pattern(int aX, int aY) {
  return 0xFF000000u | std::uint32_t(aX) << 8 | std::uint32_t(aY);
}

Bitmap Patterned(int aWidth, int aHeight) {
  Bitmap bitmap(aWidth, aHeight);
  for (int y = 0; y < aHeight; ++y)
    for (int x = 0; x < aWidth; ++x)
      bitmap.SetPixel(x, y, Pattern(x, y));
  return bitmap;
}

} // namespace

TEST(Fill, BrushesAndFrames) {
  Canvas c;
  const RECT r{2, 1, 6, 4};
  HBRUSH brush = CreateSolidBrush(Red);
  EXPECT_EQ(FillRect(c.dc(), &r, brush), 1);
  const RECT face{8, 1, 10, 3};
  EXPECT_EQ(FillRect(c.dc(), &face, GetSysColorBrush(COLOR_BTNFACE)), 1);
  const RECT none{0, 0, 16, 12};
  EXPECT_EQ(FillRect(c.dc(), &none, GetStockBrush(NULL_BRUSH)), 1);
  const RECT frame{1, 6, 6, 10};
  EXPECT_EQ(FrameRect(c.dc(), &frame, brush), 1);
  const RECT solid{10, 6, 12, 8};
  EXPECT_TRUE(FillSolidRect(c.dc(), &solid, 0x80000000u | COLOR_HIGHLIGHT));
  Bitmap expected = pixelcheck::Filled(16, 12, Back);
  Paint(expected, {2, 1, 6, 4}, Opaque(Red));
  Paint(expected, {8, 1, 10, 3}, Opaque(GetSysColor(COLOR_BTNFACE)));
  Paint(expected, {1, 6, 6, 10}, Opaque(Red));
  Paint(expected, {2, 7, 5, 9}, Back);
  Paint(expected, {10, 6, 12, 8}, Opaque(GetSysColor(COLOR_HIGHLIGHT)));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "fills"));
  EXPECT_EQ(FillRect(c.dc(), &r, nullptr), 0);
  EXPECT_EQ(FillRect(nullptr, &r, brush), 0);
  DeleteObject(brush);
  EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE))) << "ignored for shared brushes";
  EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE)->Color, GetSysColor(COLOR_BTNFACE));
}

TEST(Fill, RectanglesPartlyOutsideAndInverted) {
  Canvas c;
  const RECT outside{-5, -5, 3, 2};
  FillSolidRect(c.dc(), &outside, Red);
  const RECT inverted{10, 10, 5, 5};
  FillSolidRect(c.dc(), &inverted, Blue);
  Bitmap expected = pixelcheck::Filled(16, 12, Back);
  Paint(expected, {0, 0, 3, 2}, Opaque(Red));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "partly-outside"));
}

TEST(Fill, RectangleUsesPenAndBrush) {
  Canvas c;
  HPEN pen = CreatePen(PS_SOLID, 1, Blue);
  HBRUSH brush = CreateSolidBrush(Red);
  SelectObject(c.dc(), pen);
  SelectObject(c.dc(), brush);
  EXPECT_TRUE(Rectangle(c.dc(), 1, 1, 6, 5));
  SelectObject(c.dc(), GetStockPen(NULL_PEN));
  EXPECT_TRUE(Rectangle(c.dc(), 8, 1, 10, 3));
  Bitmap expected = pixelcheck::Filled(16, 12, Back);
  Paint(expected, {1, 1, 6, 5}, Opaque(Blue));
  Paint(expected, {2, 2, 5, 4}, Opaque(Red));
  Paint(expected, {8, 1, 10, 3}, Opaque(Red));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "rectangle"));
  SelectObject(c.dc(), HPEN(nullptr));
  SelectObject(c.dc(), HBRUSH(nullptr));
  DeleteObject(pen);
  DeleteObject(brush);
  EXPECT_EQ(CreatePen(77, 1, 0), nullptr);
}

TEST(Blit, BetweenDCsWithOriginsAndClips) {
  Bitmap source = Patterned(10, 10);
  DCHolder sourceDC{CreateCompatibleDC(nullptr)};
  SelectObject(sourceDC.get(), &source);
  SetViewportOrgEx(sourceDC.get(), -2, -1, nullptr); // logical (2, 1) is pixel (0, 0)
  IntersectClipRect(sourceDC.get(), 0, 0, 1, 1);     // the source's clip does not matter
  Canvas c;
  SetViewportOrgEx(c.dc(), 3, 2, nullptr);
  IntersectClipRect(c.dc(), 0, 0, 4, 20);
  // Logical (0, 0) of the destination is pixel (3, 2); the source starts at
  // logical (3, 2), pixel (1, 1). Width 6 is clipped to 4.
  EXPECT_TRUE(BitBlt(c.dc(), 0, 0, 6, 3, sourceDC.get(), 3, 2, SRCCOPY));
  Bitmap expected = pixelcheck::Filled(16, 12, Back);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      expected.SetPixel(3 + x, 2 + y, Pattern(1 + x, 1 + y));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "blit-origins"));
  EXPECT_FALSE(BitBlt(c.dc(), 0, 0, 6, 3, sourceDC.get(), 3, 2, 0x00EE0086));
}

TEST(Blit, SourceOutsideItsBitmapLeavesDestination) {
  Bitmap source = Patterned(4, 4);
  DCHolder sourceDC{CreateCompatibleDC(nullptr)};
  SelectObject(sourceDC.get(), &source);
  Canvas c;
  EXPECT_TRUE(BitBlt(c.dc(), 0, 0, 8, 8, sourceDC.get(), -2, 1, SRCCOPY));
  Bitmap expected = pixelcheck::Filled(16, 12, Back);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      expected.SetPixel(2 + x, y, Pattern(x, 1 + y));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "blit-outside"));
}

TEST(Blit, OverlappingCopiesWithinOneBitmap) {
  struct Case {
    int Dx, Dy;
    bool ComplexClip;
  };
  const Case cases[] = {{3, 0, false},  {-3, 0, false},  {0, 2, false},  {0, -2, false},
                        {2, 2, false},  {-2, -2, false}, {2, -1, false}, {2, 2, true},
                        {-1, -2, true}, {1, 1, true}};
  for (const Case& k : cases) {
    Canvas c(16, 12);
    c.Pixels = Patterned(16, 12);
    SelectObject(c.dc(), &c.Pixels);
    const Region visible = Region(TRect{0, 0, 16, 12}).Subtract(Region(TRect{5, 0, 7, 12}));
    if (k.ComplexClip)
      c.DC->SetSystemClip(&visible);
    // Copy (3, 3, 11, 9) to (3 + Dx, 3 + Dy).
    EXPECT_TRUE(BitBlt(c.dc(), 3 + k.Dx, 3 + k.Dy, 8, 6, c.dc(), 3, 3, SRCCOPY));
    Bitmap expected = Patterned(16, 12);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) {
        const TPoint to{3 + k.Dx + x, 3 + k.Dy + y};
        if (!k.ComplexClip || visible.Contains(to))
          expected.SetPixel(to.X, to.Y, Pattern(3 + x, 3 + y));
      }
    EXPECT_TRUE(SameBitmap(c.Pixels, expected,
                           "overlap-" + std::to_string(k.Dx) + "-" + std::to_string(k.Dy)));
  }
}

TEST(Stretch, NearestNeighbourMapping) {
  Bitmap source = Patterned(6, 4);
  DCHolder sourceDC{CreateCompatibleDC(nullptr)};
  SelectObject(sourceDC.get(), &source);
  struct Case {
    TRect Dest;
    TRect Source;
  };
  const Case cases[] = {
      {{0, 0, 12, 8}, {0, 0, 6, 4}},  // twice the size
      {{1, 1, 4, 3}, {0, 0, 6, 4}},   // half the size
      {{0, 0, 5, 7}, {1, 1, 4, 3}},   // uneven factors
      {{2, 2, 9, 3}, {0, 0, 6, 4}},   // squashed to one row
      {{0, 0, 10, 10}, {3, 2, 9, 8}}, // source partly outside its bitmap
  };
  for (const Case& k : cases) {
    Canvas c;
    EXPECT_TRUE(StretchBlt(c.dc(), k.Dest.Left, k.Dest.Top, k.Dest.Width(), k.Dest.Height(),
                           sourceDC.get(), k.Source.Left, k.Source.Top, k.Source.Width(),
                           k.Source.Height(), SRCCOPY));
    Bitmap expected = pixelcheck::Filled(16, 12, Back);
    for (int y = k.Dest.Top; y < k.Dest.Bottom; ++y)
      for (int x = k.Dest.Left; x < k.Dest.Right; ++x) {
        // The source pixel whose centre is nearest to the destination pixel's
        // centre mapped back into the source.
        const double cx =
            k.Source.Left + (x - k.Dest.Left + 0.5) * k.Source.Width() / k.Dest.Width();
        const double cy =
            k.Source.Top + (y - k.Dest.Top + 0.5) * k.Source.Height() / k.Dest.Height();
        const int sx = int(std::floor(cx));
        const int sy = int(std::floor(cy));
        if (sx < 6 && sy < 4)
          expected.SetPixel(x, y, Pattern(sx, sy));
      }
    EXPECT_TRUE(SameBitmap(c.Pixels, expected,
                           "stretch-" + std::to_string(k.Dest.Width()) + "x" +
                               std::to_string(k.Dest.Height())));
  }
  Canvas c;
  EXPECT_FALSE(StretchBlt(c.dc(), 0, 0, -4, 4, sourceDC.get(), 0, 0, 2, 2, SRCCOPY));
}

TEST(Stretch, WithinOneBitmap) {
  Canvas c;
  c.Pixels = Patterned(16, 12);
  SelectObject(c.dc(), &c.Pixels);
  EXPECT_TRUE(StretchBlt(c.dc(), 1, 1, 8, 8, c.dc(), 0, 0, 4, 4, SRCCOPY));
  Bitmap expected = Patterned(16, 12);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      expected.SetPixel(1 + x, 1 + y, Pattern(x / 2, y / 2));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "stretch-self"));
}

TEST(AlphaBlendTest, PremultipliedPerPixelAndConstantAlpha) {
  // Source pixels (premultiplied): colour channels at most the alpha.
  const std::uint32_t sources[] = {0xFF336699, 0x80402010, 0x00000000, 0x40404040, 0xC0A00000};
  const std::uint32_t dest = 0xFF20C0F0;
  for (int constant : {255, 128, 0}) {
    for (bool perPixel : {true, false}) {
      Bitmap source(5, 1);
      for (int x = 0; x < 5; ++x)
        source.SetPixel(x, 0, sources[x]);
      DCHolder sourceDC{CreateCompatibleDC(nullptr)};
      SelectObject(sourceDC.get(), &source);
      Canvas c(5, 1, dest);
      BLENDFUNCTION blend;
      blend.SourceConstantAlpha = BYTE(constant);
      blend.AlphaFormat = perPixel ? AC_SRC_ALPHA : 0;
      EXPECT_TRUE(AlphaBlend(c.dc(), 0, 0, 5, 1, sourceDC.get(), 0, 0, 5, 1, blend));
      for (int x = 0; x < 5; ++x) {
        const std::uint32_t s = sources[x];
        const double a = perPixel ? std::lround((s >> 24) * constant / 255.0) : constant;
        std::uint32_t want = 0;
        for (int shift = 0; shift < 32; shift += 8) {
          const long v = std::lround(((s >> shift) & 0xFF) * constant / 255.0) +
                         std::lround(((dest >> shift) & 0xFF) * (255 - a) / 255.0);
          want |= std::uint32_t(std::min(v, 255L)) << shift;
        }
        EXPECT_EQ(c.Pixels.Pixel(x, 0), want)
            << std::hex << s << " constant " << std::dec << constant << " per-pixel " << perPixel;
      }
    }
  }
}

TEST(AlphaBlendTest, OpaqueSourceCopiesAndBadOperationFails) {
  Bitmap source = Patterned(4, 4);
  DCHolder sourceDC{CreateCompatibleDC(nullptr)};
  SelectObject(sourceDC.get(), &source);
  Canvas c;
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  EXPECT_TRUE(AlphaBlend(c.dc(), 2, 2, 8, 8, sourceDC.get(), 0, 0, 4, 4, blend));
  Bitmap expected = pixelcheck::Filled(16, 12, Back);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      expected.SetPixel(2 + x, 2 + y, Pattern(x / 2, y / 2));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "alpha-opaque-stretch"));
  blend.BlendOp = 1;
  EXPECT_FALSE(AlphaBlend(c.dc(), 0, 0, 4, 4, sourceDC.get(), 0, 0, 4, 4, blend));
}

namespace {

TRIVERTEX Vertex(int aX, int aY, TColor aColor, BYTE aAlpha = 255) {
  return TRIVERTEX{aX,
                   aY,
                   COLOR16(GetRValue(aColor) << 8),
                   COLOR16(GetGValue(aColor) << 8),
                   COLOR16(GetBValue(aColor) << 8),
                   COLOR16(aAlpha << 8)};
}

// The barycentric weights of (x, y) in the triangle, computed with doubles.
void Barycentric(const TRIVERTEX (&aV)[3], int aX, int aY, double (&aW)[3]) {
  const double x0 = aV[0].x, y0 = aV[0].y, x1 = aV[1].x, y1 = aV[1].y, x2 = aV[2].x, y2 = aV[2].y;
  const double area = (x1 - x0) * (y2 - y0) - (x2 - x0) * (y1 - y0);
  aW[0] = ((x1 - aX) * (y2 - aY) - (x2 - aX) * (y1 - aY)) / area;
  aW[1] = ((x2 - aX) * (y0 - aY) - (x0 - aX) * (y2 - aY)) / area;
  aW[2] = 1 - aW[0] - aW[1];
}

// Whether the fill rule paints (x, y): inside the triangle, or on an edge that
// is a top edge (horizontal, the third corner below it) or a left edge (the
// third corner to the right of its line).
bool Painted(const TRIVERTEX (&aV)[3], int aX, int aY) {
  const double area = double(aV[1].x - aV[0].x) * (aV[2].y - aV[0].y) -
                      double(aV[2].x - aV[0].x) * (aV[1].y - aV[0].y);
  if (area == 0)
    return false;
  for (int k = 0; k < 3; ++k) {
    const TRIVERTEX& a = aV[k];
    const TRIVERTEX& b = aV[(k + 1) % 3];
    const TRIVERTEX& c = aV[(k + 2) % 3];
    // Which side of the line a-b the point and the third corner are on.
    auto side = [&](double aX2, double aY2) {
      return double(b.x - a.x) * (aY2 - a.y) - double(b.y - a.y) * (aX2 - a.x);
    };
    const double point = side(aX, aY);
    const double corner = side(c.x, c.y);
    if (point != 0) {
      if ((point > 0) != (corner > 0))
        return false;
      continue;
    }
    const bool top = a.y == b.y && c.y > a.y;
    const bool left = a.y != b.y && c.x > a.x + double(c.y - a.y) * (b.x - a.x) / (b.y - a.y);
    if (!top && !left)
      return false;
  }
  return true;
}

std::uint32_t VertexPixel(const TRIVERTEX& aV) {
  return std::uint32_t(aV.Alpha >> 8) << 24 | std::uint32_t(aV.Red >> 8) << 16 |
         std::uint32_t(aV.Green >> 8) << 8 | (aV.Blue >> 8);
}

} // namespace

TEST(Gradient, TrianglesHaveExactCornersAndInterpolatedInsides) {
  // Corner 0 lies on the top and the left edge and is painted; the others lie
  // on the right edge and are not.
  const TRIVERTEX v[3] = {Vertex(1, 1, RGB(255, 0, 0)), Vertex(14, 1, RGB(0, 255, 0), 128),
                          Vertex(3, 10, RGB(10, 20, 250), 0)};
  for (bool reversed : {false, true}) {
    Canvas c;
    SetViewportOrgEx(c.dc(), 1, 1, nullptr);
    const TRIVERTEX logical[3] = {Vertex(0, 0, RGB(255, 0, 0)), Vertex(13, 0, RGB(0, 255, 0), 128),
                                  Vertex(2, 9, RGB(10, 20, 250), 0)};
    GRADIENT_TRIANGLE mesh{0, reversed ? 2u : 1u, reversed ? 1u : 2u};
    EXPECT_TRUE(GradientFill(c.dc(), logical, 3, &mesh, 1, GRADIENT_FILL_TRIANGLE));
    EXPECT_EQ(c.Pixels.Pixel(1, 1), VertexPixel(v[0]));
    EXPECT_EQ(c.Pixels.Pixel(14, 1), Back);
    EXPECT_EQ(c.Pixels.Pixel(3, 10), Back);
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x) {
        const std::uint32_t got = c.Pixels.Pixel(x, y);
        if (!Painted(v, x, y)) {
          EXPECT_EQ(got, Back) << x << "," << y;
          continue;
        }
        double w[3];
        Barycentric(v, x, y, w);
        auto channel = [&](COLOR16 TRIVERTEX::*aChannel) {
          return int(w[0] * (v[0].*aChannel) + w[1] * (v[1].*aChannel) + w[2] * (v[2].*aChannel)) >>
                 8;
        };
        const int want[4] = {channel(&TRIVERTEX::Blue), channel(&TRIVERTEX::Green),
                             channel(&TRIVERTEX::Red), channel(&TRIVERTEX::Alpha)};
        for (int k = 0; k < 4; ++k)
          EXPECT_NEAR(int((got >> (8 * k)) & 0xFF), want[k], 1)
              << x << "," << y << " channel " << k;
      }
  }
}

TEST(Gradient, FourTrianglesPaintExactlyTheirRectangle) {
  // The four triangles of a rectangle around its centre, as the skin paints
  // them, over (2, 1, 12, 9): exactly its pixels are painted, the top-left
  // corner and the centre in their own colours; two clipped halves drawn one
  // after the other give the same pixels as one unclipped draw.
  const TRIVERTEX v[5] = {Vertex(2, 1, RGB(255, 0, 0)), Vertex(7, 5, RGB(255, 255, 255)),
                          Vertex(12, 1, RGB(0, 255, 0)), Vertex(12, 9, RGB(0, 0, 255)),
                          Vertex(2, 9, RGB(0, 0, 0))};
  const GRADIENT_TRIANGLE mesh[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  Canvas whole(16, 12, 0);
  EXPECT_TRUE(GradientFill(whole.dc(), v, 5, mesh, 4, GRADIENT_FILL_TRIANGLE));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      EXPECT_EQ(whole.Pixels.Pixel(x, y) != 0u, (TRect{2, 1, 12, 9}).Contains({x, y}))
          << x << "," << y;
  EXPECT_EQ(whole.Pixels.Pixel(2, 1), Opaque(RGB(255, 0, 0)));
  EXPECT_EQ(whole.Pixels.Pixel(7, 5), 0xFFFFFFFFu);
  Canvas halves(16, 12, 0);
  SaveDC(halves.dc());
  IntersectClipRect(halves.dc(), 0, 0, 7, 12);
  GradientFill(halves.dc(), v, 5, mesh, 4, GRADIENT_FILL_TRIANGLE);
  RestoreDC(halves.dc(), -1);
  ExcludeClipRect(halves.dc(), 0, 0, 7, 12);
  GradientFill(halves.dc(), v, 5, mesh, 4, GRADIENT_FILL_TRIANGLE);
  EXPECT_TRUE(SameBitmap(halves.Pixels, whole.Pixels, "gradient-halves"));
}

TEST(Gradient, RandomTrianglesFollowTheFillRule) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-6, 22);
  for (int round = 0; round < 300; ++round) {
    TRIVERTEX v[3];
    for (TRIVERTEX& corner : v)
      corner = Vertex(coordinate(random), coordinate(random),
                      RGB(random() & 0xFF, random() & 0xFF, random() & 0xFF));
    Canvas c(16, 12, 0); // painted pixels have alpha 255
    const GRADIENT_TRIANGLE mesh{0, 1, 2};
    EXPECT_TRUE(GradientFill(c.dc(), v, 3, &mesh, 1, GRADIENT_FILL_TRIANGLE));
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x)
        ASSERT_EQ(c.Pixels.Pixel(x, y) != 0u, Painted(v, x, y))
            << "round " << round << " at " << x << "," << y;
    for (const TRIVERTEX& corner : v)
      if (corner.x >= 0 && corner.x < 16 && corner.y >= 0 && corner.y < 12 &&
          c.Pixels.Pixel(corner.x, corner.y) != 0u)
        EXPECT_EQ(c.Pixels.Pixel(corner.x, corner.y), VertexPixel(corner)) << "round " << round;
  }
}

TEST(Gradient, RectanglesAndBadMeshes) {
  Canvas c;
  const TRIVERTEX v[2] = {Vertex(2, 1, RGB(0, 0, 0)), Vertex(6, 3, RGB(200, 100, 40))};
  const GRADIENT_RECT rect{0, 1};
  EXPECT_TRUE(GradientFill(c.dc(), v, 2, &rect, 1, GRADIENT_FILL_RECT_H));
  for (int x = 2; x < 6; ++x) {
    // Column i of 4 gets from + (to - from) * i / 4.
    const int i = x - 2;
    const std::uint32_t want =
        Opaque(RGB((200 * 256 * i / 4) >> 8, (100 * 256 * i / 4) >> 8, (40 * 256 * i / 4) >> 8));
    EXPECT_EQ(c.Pixels.Pixel(x, 1), want) << x;
    EXPECT_EQ(c.Pixels.Pixel(x, 2), want) << x;
    EXPECT_EQ(c.Pixels.Pixel(x, 3), Back) << "bottom is exclusive";
  }
  EXPECT_EQ(c.Pixels.Pixel(6, 1), Back) << "right is exclusive";
  Canvas vertical;
  const TRIVERTEX tall[2] = {Vertex(0, 0, RGB(0, 0, 0)), Vertex(2, 4, RGB(0, 0, 255))};
  EXPECT_TRUE(GradientFill(vertical.dc(), tall, 2, &rect, 1, GRADIENT_FILL_RECT_V));
  for (int y = 0; y < 4; ++y)
    EXPECT_EQ(vertical.Pixels.Pixel(1, y), Opaque(RGB(0, 0, (255 * 256 * y / 4) >> 8))) << y;
  const GRADIENT_TRIANGLE bad{0, 1, 2};
  EXPECT_FALSE(GradientFill(c.dc(), v, 2, &bad, 1, GRADIENT_FILL_TRIANGLE));
  const GRADIENT_RECT badRect{0, 5};
  EXPECT_FALSE(GradientFill(c.dc(), v, 2, &badRect, 1, GRADIENT_FILL_RECT_H));
  EXPECT_FALSE(GradientFill(c.dc(), v, 2, &rect, 1, 9));
  const TRIVERTEX far[3] = {Vertex(0, 0, 0), Vertex(1 << 30, 0, 0), Vertex(0, 5, 0)};
  EXPECT_FALSE(GradientFill(c.dc(), far, 3, &bad, 1, GRADIENT_FILL_TRIANGLE));
}

TEST(PolygonTest, FillsPixelCentresAndOutlinesWithThePen) {
  // Pixel centres inside by the even-odd rule, computed independently.
  auto inside = [](const std::vector<POINT>& aPoints, double aX, double aY) {
    bool in = false;
    for (std::size_t i = 0, j = aPoints.size() - 1; i < aPoints.size(); j = i++) {
      const POINT a = aPoints[i], b = aPoints[j];
      if ((a.Y > aY) != (b.Y > aY) && aX < a.X + (aY - a.Y) * double(b.X - a.X) / (b.Y - a.Y))
        in = !in;
    }
    return in;
  };
  const std::vector<POINT> triangle = {{1, 1}, {14, 5}, {3, 11}};
  Canvas filled;
  HBRUSH brush = CreateSolidBrush(Red);
  SelectObject(filled.dc(), brush);
  SelectObject(filled.dc(), GetStockPen(NULL_PEN));
  EXPECT_TRUE(Polygon(filled.dc(), triangle.data(), 3));
  Bitmap expected = pixelcheck::Filled(16, 12, Back);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      if (inside(triangle, x + 0.5, y + 0.5))
        expected.SetPixel(x, y, Opaque(Red));
  EXPECT_TRUE(SameBitmap(filled.Pixels, expected, "polygon-fill"));

  // An axis-aligned square outlined in blue: the outline covers all of its
  // corner points, the fill the centres inside.
  Canvas outlined;
  HPEN pen = CreatePen(PS_SOLID, 1, Blue);
  SelectObject(outlined.dc(), brush);
  SelectObject(outlined.dc(), pen);
  const POINT square[4] = {{2, 2}, {8, 2}, {8, 7}, {2, 7}};
  EXPECT_TRUE(Polygon(outlined.dc(), square, 4));
  Bitmap boxed = pixelcheck::Filled(16, 12, Back);
  Paint(boxed, {2, 2, 9, 8}, Opaque(Blue));
  Paint(boxed, {3, 3, 8, 7}, Opaque(Red));
  EXPECT_TRUE(SameBitmap(outlined.Pixels, boxed, "polygon-outline"));
  EXPECT_FALSE(Polygon(outlined.dc(), square, 1));
  SelectObject(filled.dc(), HBRUSH(nullptr));
  SelectObject(outlined.dc(), HBRUSH(nullptr));
  SelectObject(outlined.dc(), HPEN(nullptr));
  DeleteObject(brush);
  DeleteObject(pen);
}

TEST(Lines, SolidDottedWideAndEndPointExcluded) {
  struct Case {
    const char* Name;
    int Style;
    int Width;
    POINT From, To;
    std::vector<POINT> Pixels;
  };
  const Case cases[] = {
      {"horizontal", PS_SOLID, 1, {2, 3}, {6, 3}, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
      {"vertical up", PS_SOLID, 1, {4, 6}, {4, 3}, {{4, 6}, {4, 5}, {4, 4}}},
      {"diagonal", PS_SOLID, 1, {1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},
      {"shallow", PS_SOLID, 1, {0, 0}, {4, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {"dotted", PS_DOT, 1, {1, 2}, {8, 2}, {{1, 2}, {3, 2}, {5, 2}, {7, 2}}},
      {"alternate", PS_ALTERNATE, 1, {3, 1}, {3, 6}, {{3, 1}, {3, 3}, {3, 5}}},
      {"wide",
       PS_SOLID,
       3,
       {3, 3},
       {5, 3},
       {{2, 2},
        {3, 2},
        {4, 2},
        {5, 2},
        {2, 3},
        {3, 3},
        {4, 3},
        {5, 3},
        {2, 4},
        {3, 4},
        {4, 4},
        {5, 4}}},
      {"empty", PS_SOLID, 1, {5, 5}, {5, 5}, {}},
  };
  for (const Case& k : cases) {
    Canvas c;
    HPEN pen = CreatePen(k.Style, k.Width, Red);
    SelectObject(c.dc(), pen);
    EXPECT_TRUE(MoveToEx(c.dc(), k.From.X, k.From.Y, nullptr));
    EXPECT_TRUE(LineTo(c.dc(), k.To.X, k.To.Y));
    POINT at;
    MoveToEx(c.dc(), 0, 0, &at);
    EXPECT_EQ(at, k.To) << k.Name;
    Bitmap expected = pixelcheck::Filled(16, 12, Back);
    for (const POINT& p : k.Pixels)
      expected.SetPixel(p.X, p.Y, Opaque(Red));
    EXPECT_TRUE(SameBitmap(c.Pixels, expected, std::string("line-") + k.Name));
    SelectObject(c.dc(), HPEN(nullptr));
    DeleteObject(pen);
  }
}

TEST(Lines, ClippedWithViewportAndFarAwayEndsRefused) {
  Canvas c;
  SetViewportOrgEx(c.dc(), 2, 0, nullptr);
  IntersectClipRect(c.dc(), 0, 0, 3, 12);
  MoveToEx(c.dc(), -10, 5, nullptr);
  EXPECT_TRUE(LineTo(c.dc(), 10, 5));
  Bitmap expected = pixelcheck::Filled(16, 12, Back);
  Paint(expected, {2, 5, 5, 6}, Opaque(RGB(0, 0, 0)));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "line-clipped"));
  EXPECT_FALSE(LineTo(c.dc(), 1 << 30, 5));
}

TEST(Lines, LongLinesMostlyOutsideKeepTheirPattern) {
  Canvas c;
  HPEN dotted = CreatePen(PS_DOT, 1, Red);
  SelectObject(c.dc(), dotted);
  MoveToEx(c.dc(), -1001, 3, nullptr);
  LineTo(c.dc(), 20, 3);
  SelectObject(c.dc(), GetStockPen(WHITE_PEN));
  MoveToEx(c.dc(), 1000, 1000, nullptr);
  LineTo(c.dc(), -1000, -1000);
  Bitmap expected = pixelcheck::Filled(16, 12, Back);
  // Dot i lies at x = -1001 + i for even i: the odd columns.
  for (int x = 1; x < 16; x += 2)
    expected.SetPixel(x, 3, Opaque(Red));
  for (int k = 0; k < 12; ++k)
    expected.SetPixel(k, k, Opaque(RGB(255, 255, 255)));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "line-long"));
  SelectObject(c.dc(), HPEN(nullptr));
  DeleteObject(dotted);
}

TEST(Limits, FarCoordinatesAndOriginsNeitherOverflowNorDrawAmiss) {
  const int big = std::numeric_limits<int>::max();
  const int small = std::numeric_limits<int>::min();
  Bitmap source = Patterned(4, 4);
  DCHolder sourceDC{CreateCompatibleDC(nullptr)};
  SelectObject(sourceDC.get(), &source);
  Canvas c;
  SetViewportOrgEx(c.dc(), 5, 5, nullptr);
  const RECT huge{-5, -5, big, big};
  EXPECT_TRUE(FillSolidRect(c.dc(), &huge, Red));
  EXPECT_TRUE(SameBitmap(c.Pixels, pixelcheck::Filled(16, 12, Opaque(Red)), "limits-fill"));
  EXPECT_EQ(IntersectClipRect(c.dc(), small, small, big, big), SIMPLEREGION);
  EXPECT_TRUE(BitBlt(c.dc(), big - 3, 0, 100, 100, sourceDC.get(), 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(c.dc(), 0, 0, big, big, sourceDC.get(), small, small, SRCCOPY));
  // Logical columns from the far left up to -1 (device 4): the visible ones
  // all map to the last source column.
  EXPECT_TRUE(StretchBlt(c.dc(), small, 0, big, 4, sourceDC.get(), 0, 0, 4, 4, SRCCOPY));
  Bitmap expected = pixelcheck::Filled(16, 12, Opaque(Red));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      expected.SetPixel(x, 5 + y, Pattern(3, y));
  EXPECT_EQ(SetPixel(c.dc(), big, small, Blue), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), small, big), CLR_INVALID);
  BlendCoverageMask(c.dc(), big - 1, big - 1, reinterpret_cast<const std::uint8_t*>("\xff\xff"), 2,
                    1, 2, Blue);
  SetViewportOrgEx(c.dc(), big, big, nullptr);
  const POINT triangle[3] = {{0, 0}, {5, 0}, {0, 5}};
  EXPECT_TRUE(Polygon(c.dc(), triangle, 3));
  MoveToEx(c.dc(), 0, 0, nullptr);
  EXPECT_TRUE(LineTo(c.dc(), 10, 10));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "limits-far"));
}

TEST(Pixels, SetAndGetThroughOriginAndClip) {
  Canvas c;
  SetViewportOrgEx(c.dc(), 2, 3, nullptr);
  IntersectClipRect(c.dc(), 0, 0, 4, 4);
  EXPECT_EQ(SetPixel(c.dc(), 1, 1, 0x80000000u | COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c.Pixels.Pixel(3, 4), Opaque(GetSysColor(COLOR_BTNSHADOW)));
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(SetPixel(c.dc(), 4, 1, Red), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), 4, 1), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), -3, 0), CLR_INVALID);
}

// A bitmap shrunk while selected: reads and writes stay inside its new size.
TEST(Pixels, BitmapResizedWhileSelected) {
  Canvas c(8, 8, Back);
  ASSERT_TRUE(c.Pixels.SetSize(2, 2));
  EXPECT_EQ(GetPixel(c.dc(), 5, 5), CLR_INVALID);
  EXPECT_EQ(GetPixel(c.dc(), 1, 1), RGB(0, 0, 0));
  const RECT all{0, 0, 8, 8};
  EXPECT_TRUE(FillSolidRect(c.dc(), &all, Red));
  EXPECT_TRUE(SameBitmap(c.Pixels, pixelcheck::Filled(2, 2, Opaque(Red)), "resized-selected"));
}

TEST(FocusRect, InvertsEverySecondFramePixelAndUndoes) {
  Canvas c(16, 12, 0xFF204060);
  SetViewportOrgEx(c.dc(), 1, 0, nullptr);
  const RECT r{1, 1, 7, 5}; // device (2, 1, 8, 5)
  EXPECT_TRUE(DrawFocusRect(c.dc(), &r));
  Bitmap expected = pixelcheck::Filled(16, 12, 0xFF204060);
  for (int y = 1; y < 5; ++y)
    for (int x = 2; x < 8; ++x) {
      const bool onFrame = x == 2 || x == 7 || y == 1 || y == 4;
      if (onFrame && (x + y - 3) % 2 == 0)
        expected.SetPixel(x, y, 0xFFDFBF9F);
    }
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "focus-rect"));
  DrawFocusRect(c.dc(), &r);
  EXPECT_TRUE(SameBitmap(c.Pixels, pixelcheck::Filled(16, 12, 0xFF204060), "focus-rect-undone"));
}

TEST(CoverageMask, BlendsTheColourClippedToTheDC) {
  Canvas c(8, 4, 0xFF000000);
  IntersectClipRect(c.dc(), 0, 0, 3, 4);
  const std::uint8_t mask[2 * 4] = {0,   255, 128, 64, //
                                    255, 1,   0,   200};
  BlendCoverageMask(c.dc(), 0, 1, mask, 4, 2, 4, RGB(200, 100, 0));
  auto blend = [](int aColour, int aOld, int aM) {
    return int(std::lround((aColour * aM + aOld * (255 - aM)) / 255.0));
  };
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      std::uint32_t want = 0xFF000000;
      if (y >= 1 && y <= 2 && x < 3 && mask[(y - 1) * 4 + x] != 0) {
        const int m = mask[(y - 1) * 4 + x];
        want = 0xFF000000u | std::uint32_t(blend(200, 0, m)) << 16 |
               std::uint32_t(blend(100, 0, m)) << 8;
      }
      EXPECT_EQ(c.Pixels.Pixel(x, y), want) << x << "," << y;
    }
  // Onto a transparent pixel the coverage becomes the alpha.
  Canvas clear(2, 1, 0);
  const std::uint8_t half = 128;
  BlendCoverageMask(clear.dc(), 1, 0, &half, 1, 1, 1, RGB(255, 255, 255));
  EXPECT_EQ(clear.Pixels.Pixel(1, 0), 0x80808080u);
  EXPECT_EQ(clear.Pixels.Pixel(0, 0), 0u);
}
