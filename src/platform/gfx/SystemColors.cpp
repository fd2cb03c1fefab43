#include "platform/gfx/SystemColors.h"

#include <array>
#include <atomic>

namespace platform {

namespace {

// The classic desktop scheme.
constexpr std::array<COLORREF, 31> SysColors = {
    RGB(212, 208, 200), // COLOR_SCROLLBAR
    RGB(58, 110, 165),  // COLOR_BACKGROUND
    RGB(10, 36, 106),   // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(212, 208, 200), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0),       // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(212, 208, 200), // COLOR_ACTIVEBORDER
    RGB(212, 208, 200), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(10, 36, 106),   // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(212, 208, 200), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),    // COLOR_3DDKSHADOW
    RGB(212, 208, 200), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(181, 181, 181), // 25, unnamed
    RGB(0, 0, 128),     // COLOR_HOTLIGHT
    RGB(166, 202, 240), // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192), // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),   // COLOR_MENUHILIGHT
    RGB(212, 208, 200), // COLOR_MENUBAR
};

std::atomic<int> ScreenWidth{1280};
std::atomic<int> ScreenHeight{1024};

} // namespace

COLORREF GetSysColor(int aIndex) {
  if (aIndex < 0 || aIndex >= int(SysColors.size()))
    return 0;
  return SysColors[std::size_t(aIndex)];
}

HBRUSH GetSysColorBrush(int aIndex) {
  static std::array<Brush, SysColors.size()> brushes = [] {
    std::array<Brush, SysColors.size()> result;
    for (std::size_t i = 0; i < SysColors.size(); ++i)
      result[i] = Brush{BS_SOLID, SysColors[i], true};
    return result;
  }();
  if (aIndex < 0 || aIndex >= int(SysColors.size()))
    return nullptr;
  return &brushes[std::size_t(aIndex)];
}

void SetScreenMetrics(int aWidth, int aHeight) {
  if (aWidth < 1 || aHeight < 1)
    return;
  ScreenWidth = aWidth;
  ScreenHeight = aHeight;
}

int GetSystemMetrics(int aIndex) {
  const int width = ScreenWidth;
  const int height = ScreenHeight;
  switch (aIndex) {
  case SM_CXSCREEN:
  case SM_CXFULLSCREEN:
    return width;
  case SM_CYSCREEN:
    return height;
  case SM_CYFULLSCREEN:
    return height - 19;
  case SM_CXVSCROLL:
  case SM_CYHSCROLL:
  case SM_CYVTHUMB:
  case SM_CXHTHUMB:
  case SM_CYVSCROLL:
  case SM_CXHSCROLL:
  case SM_CXSMICON:
  case SM_CYSMICON:
    return 16;
  case SM_CYCAPTION:
  case SM_CYMENU:
    return 19;
  case SM_CXBORDER:
  case SM_CYBORDER:
    return 1;
  case SM_CXDLGFRAME:
  case SM_CYDLGFRAME:
    return 3;
  case SM_CXICON:
  case SM_CYICON:
  case SM_CXCURSOR:
  case SM_CYCURSOR:
    return 32;
  case SM_CXMIN:
  case SM_CXMINTRACK:
    return 112;
  case SM_CYMIN:
  case SM_CYMINTRACK:
    return 27;
  case SM_CXSIZE:
  case SM_CYSIZE:
  case SM_CXMENUSIZE:
  case SM_CYMENUSIZE:
    return 18;
  case SM_CXFRAME:
  case SM_CYFRAME:
  case SM_CXDOUBLECLK:
  case SM_CYDOUBLECLK:
    return 4;
  case SM_CXEDGE:
  case SM_CYEDGE:
    return 2;
  case SM_CYSMCAPTION:
    return 15;
  case SM_CXSMSIZE:
    return 12;
  case SM_CYSMSIZE:
    return 14;
  case SM_CXMINIMIZED:
    return 160;
  case SM_CYMINIMIZED:
    return 24;
  case SM_CXMAXTRACK:
    return width + 12;
  case SM_CYMAXTRACK:
    return height + 12;
  case SM_CXMAXIMIZED:
    return width + 8;
  case SM_CYMAXIMIZED:
    return height + 8;
  case SM_CXMENUCHECK:
  case SM_CYMENUCHECK:
    return 13;
  default:
    return 0;
  }
}

COLORREF ResolveColor(TColor aColor) {
  if (IsSystemColor(aColor))
    return GetSysColor(int(aColor & 0xFF));
  return aColor & 0x00FFFFFF;
}

} // namespace platform
