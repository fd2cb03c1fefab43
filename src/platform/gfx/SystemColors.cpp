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

namespace {

// What a metric's value is added to: nothing, or the screen's width or height.
enum class MetricBase { None, ScreenWidth, ScreenHeight };

struct Metric {
  int Index;
  int Value;
  MetricBase AddedTo = MetricBase::None;
};

constexpr Metric Metrics[] = {
    {SM_CXSCREEN, 0, MetricBase::ScreenWidth},
    {SM_CXFULLSCREEN, 0, MetricBase::ScreenWidth},
    {SM_CYSCREEN, 0, MetricBase::ScreenHeight},
    {SM_CYFULLSCREEN, -19, MetricBase::ScreenHeight},
    {SM_CXVSCROLL, 16},
    {SM_CYHSCROLL, 16},
    {SM_CYVTHUMB, 16},
    {SM_CXHTHUMB, 16},
    {SM_CYVSCROLL, 16},
    {SM_CXHSCROLL, 16},
    {SM_CXSMICON, 16},
    {SM_CYSMICON, 16},
    {SM_CYCAPTION, 19},
    {SM_CYMENU, 19},
    {SM_CXBORDER, 1},
    {SM_CYBORDER, 1},
    {SM_CXDLGFRAME, 3},
    {SM_CYDLGFRAME, 3},
    {SM_CXICON, 32},
    {SM_CYICON, 32},
    {SM_CXCURSOR, 32},
    {SM_CYCURSOR, 32},
    {SM_CXMIN, 112},
    {SM_CXMINTRACK, 112},
    {SM_CYMIN, 27},
    {SM_CYMINTRACK, 27},
    {SM_CXSIZE, 18},
    {SM_CYSIZE, 18},
    {SM_CXMENUSIZE, 18},
    {SM_CYMENUSIZE, 18},
    {SM_CXFRAME, 4},
    {SM_CYFRAME, 4},
    {SM_CXDOUBLECLK, 4},
    {SM_CYDOUBLECLK, 4},
    {SM_CXEDGE, 2},
    {SM_CYEDGE, 2},
    {SM_CYSMCAPTION, 15},
    {SM_CXSMSIZE, 12},
    {SM_CYSMSIZE, 14},
    {SM_CXMINIMIZED, 160},
    {SM_CYMINIMIZED, 24},
    {SM_CXMAXTRACK, 12, MetricBase::ScreenWidth},
    {SM_CYMAXTRACK, 12, MetricBase::ScreenHeight},
    {SM_CXMAXIMIZED, 8, MetricBase::ScreenWidth},
    {SM_CYMAXIMIZED, 8, MetricBase::ScreenHeight},
    {SM_CXMENUCHECK, 13},
    {SM_CYMENUCHECK, 13},
};

} // namespace

int GetSystemMetrics(int aIndex) {
  for (const Metric& m : Metrics)
    if (m.Index == aIndex)
      switch (m.AddedTo) {
      case MetricBase::None:
        return m.Value;
      case MetricBase::ScreenWidth:
        return ScreenWidth + m.Value;
      case MetricBase::ScreenHeight:
        return ScreenHeight + m.Value;
      }
  return 0;
}

COLORREF ResolveColor(TColor aColor) {
  if (IsSystemColor(aColor))
    return GetSysColor(int(aColor & 0xFF));
  return aColor & 0x00FFFFFF;
}

} // namespace platform
