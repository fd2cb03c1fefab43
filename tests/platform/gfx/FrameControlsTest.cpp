#include "platform/gfx/FrameControls.h"

#include "platform/gfx/SystemColors.h"
#include "support/PixelCheck.h"

#include <gtest/gtest.h>

using namespace platform;
using pixelcheck::DCHolder;
using pixelcheck::Opaque;
using pixelcheck::Paint;
using pixelcheck::SameBitmap;

namespace {

constexpr std::uint32_t Back = 0xFF000000;

std::uint32_t Sys(int aIndex) {
  return Opaque(GetSysColor(aIndex));
}

struct Canvas {
  Bitmap Pixels = pixelcheck::Filled(16, 16, Back);
  DCHolder DC{CreateCompatibleDC(nullptr)};
  Canvas() { SelectObject(DC.get(), &Pixels); }
};

// One ring of an edge painted by the rule: left and top in the top-left
// colour, then right and bottom in the bottom-right colour.
void Ring(Bitmap& aBitmap, const TRect& aRect, std::uint32_t aTopLeft, std::uint32_t aBottomRight) {
  Paint(aBitmap, {aRect.Left, aRect.Top, aRect.Left + 1, aRect.Bottom}, aTopLeft);
  Paint(aBitmap, {aRect.Left, aRect.Top, aRect.Right, aRect.Top + 1}, aTopLeft);
  Paint(aBitmap, {aRect.Right - 1, aRect.Top, aRect.Right, aRect.Bottom}, aBottomRight);
  Paint(aBitmap, {aRect.Left, aRect.Bottom - 1, aRect.Right, aRect.Bottom}, aBottomRight);
}

} // namespace

TEST(DrawEdgeTest, EdgeKindsTable) {
  struct Case {
    const char* Name;
    UINT Edge;
    int OuterTL, OuterBR, InnerTL, InnerBR;
  };
  const Case cases[] = {
      {"raised", EDGE_RAISED, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
      {"sunken", EDGE_SUNKEN, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
      {"etched", EDGE_ETCHED, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT,
       COLOR_BTNSHADOW},
      {"bump", EDGE_BUMP, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
  };
  for (const Case& k : cases) {
    Canvas c;
    SetViewportOrgEx(c.DC.get(), 2, 1, nullptr);
    RECT r{1, 1, 9, 7}; // device (3, 2, 11, 8)
    EXPECT_TRUE(DrawEdge(c.DC.get(), &r, k.Edge, BF_RECT | BF_MIDDLE | BF_ADJUST));
    EXPECT_EQ(r, (RECT{3, 3, 7, 5})) << k.Name;
    Bitmap expected = pixelcheck::Filled(16, 16, Back);
    Ring(expected, {3, 2, 11, 8}, Sys(k.OuterTL), Sys(k.OuterBR));
    Ring(expected, {4, 3, 10, 7}, Sys(k.InnerTL), Sys(k.InnerBR));
    Paint(expected, {5, 4, 9, 6}, Sys(COLOR_BTNFACE));
    EXPECT_TRUE(SameBitmap(c.Pixels, expected, std::string("edge-") + k.Name));
  }
}

TEST(DrawEdgeTest, SingleBordersSidesAndFlatLooks) {
  Canvas c;
  RECT r{0, 0, 6, 5};
  // Only the inner raised border, on the left and bottom, without adjusting.
  EXPECT_TRUE(DrawEdge(c.DC.get(), &r, BDR_RAISEDINNER, BF_LEFT | BF_BOTTOM));
  EXPECT_EQ(r, (RECT{0, 0, 6, 5}));
  RECT flat{8, 8, 14, 12};
  EXPECT_TRUE(DrawEdge(c.DC.get(), &flat, EDGE_SUNKEN, BF_RECT | BF_FLAT | BF_ADJUST));
  EXPECT_EQ(flat, (RECT{10, 10, 12, 10}));
  RECT mono{8, 0, 12, 4};
  DrawEdge(c.DC.get(), &mono, BDR_RAISEDOUTER, BF_RECT | BF_MONO);
  Bitmap expected = pixelcheck::Filled(16, 16, Back);
  Paint(expected, {0, 0, 1, 5}, Sys(COLOR_BTNHIGHLIGHT));
  Paint(expected, {0, 4, 6, 5}, Sys(COLOR_BTNSHADOW));
  Ring(expected, {8, 8, 14, 12}, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW));
  Ring(expected, {9, 9, 13, 11}, Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE));
  Ring(expected, {8, 0, 12, 4}, Sys(COLOR_WINDOWFRAME), Sys(COLOR_WINDOWFRAME));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "edge-sides"));
  EXPECT_FALSE(DrawEdge(c.DC.get(), nullptr, EDGE_RAISED, BF_RECT));
}

TEST(FrameControl, CheckBoxStates) {
  struct Case {
    const char* Name;
    UINT State;
    int Background;
    int Mark; // -1: no mark
  };
  const Case cases[] = {
      {"unchecked", DFCS_BUTTONCHECK, COLOR_WINDOW, -1},
      {"checked", DFCS_BUTTONCHECK | DFCS_CHECKED, COLOR_WINDOW, COLOR_WINDOWTEXT},
      {"pushed", DFCS_BUTTONCHECK | DFCS_PUSHED, COLOR_BTNFACE, -1},
      {"inactive checked", DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, COLOR_BTNFACE,
       COLOR_BTNSHADOW},
      {"three-state checked", DFCS_BUTTON3STATE | DFCS_CHECKED, COLOR_BTNFACE, COLOR_BTNSHADOW},
      {"three-state unchecked", DFCS_BUTTON3STATE, COLOR_WINDOW, -1},
  };
  for (const Case& k : cases) {
    Canvas c;
    // A 13 x 15 rectangle: the box is the 13 x 13 square one row down.
    RECT r{1, 0, 14, 15};
    EXPECT_TRUE(DrawFrameControl(c.DC.get(), &r, DFC_BUTTON, k.State));
    Bitmap expected = pixelcheck::Filled(16, 16, Back);
    Ring(expected, {1, 1, 14, 14}, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
    Ring(expected, {2, 2, 13, 13}, Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT));
    Paint(expected, {3, 3, 12, 12}, Sys(k.Background));
    if (k.Mark >= 0) {
      // The 7 x 7 mark at (4, 4): columns of three pixels stepping down to the
      // bottom of the tick, then up to the top right.
      const int tops[7] = {2, 3, 4, 3, 2, 1, 0};
      for (int column = 0; column < 7; ++column)
        Paint(expected, {4 + column, 4 + tops[column], 5 + column, 7 + tops[column]}, Sys(k.Mark));
    }
    EXPECT_TRUE(SameBitmap(c.Pixels, expected, std::string("check-") + k.Name));
  }
}

TEST(FrameControl, PushButtonFaceAndUnknownKinds) {
  for (bool pushed : {false, true}) {
    Canvas c;
    RECT r{2, 2, 12, 9};
    EXPECT_TRUE(
        DrawFrameControl(c.DC.get(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0)));
    Bitmap expected = pixelcheck::Filled(16, 16, Back);
    if (pushed) {
      Ring(expected, {2, 2, 12, 9}, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
      Ring(expected, {3, 3, 11, 8}, Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT));
    } else {
      Ring(expected, {2, 2, 12, 9}, Sys(COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW));
      Ring(expected, {3, 3, 11, 8}, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW));
    }
    Paint(expected, {4, 4, 10, 7}, Sys(COLOR_BTNFACE));
    EXPECT_TRUE(SameBitmap(c.Pixels, expected, pushed ? "push-pressed" : "push"));
    EXPECT_EQ(r, (RECT{2, 2, 12, 9}));
  }
  Canvas c;
  RECT r{0, 0, 13, 13};
  EXPECT_FALSE(DrawFrameControl(c.DC.get(), &r, 1, 0));
  EXPECT_FALSE(DrawFrameControl(c.DC.get(), &r, DFC_BUTTON, 0x0004));
  EXPECT_TRUE(SameBitmap(c.Pixels, pixelcheck::Filled(16, 16, Back), "unknown-frame-control"));
}

TEST(FrameControl, CheckBoxStripHoldsFourByThreeCellsOfTheDrawnBox) {
  SIZE size{-1, -1};
  EXPECT_FALSE(GetStandardBitmapSize(1, &size));
  EXPECT_EQ(size, (SIZE{-1, -1}));
  EXPECT_FALSE(GetStandardBitmapSize(OBM_CHECKBOXES, nullptr));
  ASSERT_TRUE(GetStandardBitmapSize(OBM_CHECKBOXES, &size));
  EXPECT_EQ(size.cx % 4, 0);
  EXPECT_EQ(size.cy % 3, 0);
  const int cell = size.cx / 4;
  EXPECT_EQ(cell, size.cy / 3);
  // A cell is exactly the box: its sunken edge runs along the cell's border.
  Canvas c;
  RECT r{0, 0, cell, cell};
  EXPECT_TRUE(DrawFrameControl(c.DC.get(), &r, DFC_BUTTON, DFCS_BUTTONCHECK));
  Bitmap expected = pixelcheck::Filled(16, 16, Back);
  Ring(expected, {0, 0, cell, cell}, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
  Ring(expected, {1, 1, cell - 1, cell - 1}, Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT));
  Paint(expected, {2, 2, cell - 2, cell - 2}, Sys(COLOR_WINDOW));
  EXPECT_TRUE(SameBitmap(c.Pixels, expected, "check-strip-cell"));
}
