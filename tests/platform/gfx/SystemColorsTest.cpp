#include "platform/gfx/SystemColors.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(SystemColors, ClassicSchemeTable) {
  struct Case {
    int Index;
    COLORREF Color;
  };
  const Case cases[] = {{COLOR_BTNFACE, RGB(212, 208, 200)},
                        {COLOR_WINDOW, RGB(255, 255, 255)},
                        {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
                        {COLOR_HIGHLIGHT, RGB(10, 36, 106)},
                        {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)},
                        {COLOR_BTNSHADOW, RGB(128, 128, 128)},
                        {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)},
                        {COLOR_3DDKSHADOW, RGB(64, 64, 64)},
                        {COLOR_GRAYTEXT, RGB(128, 128, 128)},
                        {COLOR_ACTIVECAPTION, RGB(10, 36, 106)},
                        {COLOR_GRADIENTACTIVECAPTION, RGB(166, 202, 240)},
                        {COLOR_INFOBK, RGB(255, 255, 225)},
                        {COLOR_MENUBAR, RGB(212, 208, 200)},
                        {-1, 0},
                        {31, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(GetSysColor(c.Index), c.Color) << c.Index;
    if (c.Color != 0 || c.Index == COLOR_WINDOWTEXT)
      EXPECT_EQ(GetSysColorBrush(c.Index)->Color, c.Color) << c.Index;
  }
  EXPECT_EQ(GetSysColorBrush(31), nullptr);
}

TEST(SystemColors, ResolvingColours) {
  struct Case {
    TColor In;
    COLORREF Out;
  };
  const Case cases[] = {{0x8000000F, RGB(212, 208, 200)}, // button face
                        {0xFF00000F, RGB(212, 208, 200)}, // negative form of the same
                        {0x80000005, RGB(255, 255, 255)}, // window
                        {0x80000008, RGB(0, 0, 0)},       // window text
                        {0x800000FF, 0},                  // outside the table
                        {0x00123456, 0x00123456},
                        {0x1FFFFFFF, 0x00FFFFFF},
                        {KeyColor, KeyColor}};
  for (const Case& c : cases)
    EXPECT_EQ(ResolveColor(c.In), c.Out) << std::hex << c.In;
}

TEST(SystemMetrics, ClassicValuesAndScreen) {
  struct Case {
    int Index;
    int Value;
  };
  const Case cases[] = {
      {SM_CYCAPTION, 19}, {SM_CYSMCAPTION, 15}, {SM_CXFRAME, 4},      {SM_CYFRAME, 4},
      {SM_CXDLGFRAME, 3}, {SM_CYMENU, 19},      {SM_CXVSCROLL, 16},   {SM_CYHSCROLL, 16},
      {SM_CXEDGE, 2},     {SM_CXBORDER, 1},     {SM_CXSIZE, 18},      {SM_CXSMSIZE, 12},
      {SM_CXICON, 32},    {SM_CXSMICON, 16},    {SM_CXMENUCHECK, 13}, {-4, 0},
      {1000, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(GetSystemMetrics(c.Index), c.Value) << c.Index;
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  SetScreenMetrics(800, 600);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
  EXPECT_EQ(GetSystemMetrics(SM_CXMAXIMIZED), 808);
  SetScreenMetrics(0, 600);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800) << "sizes below 1 are ignored";
  SetScreenMetrics(1280, 1024);
}
