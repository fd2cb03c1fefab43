#include "platform/host/ScreenComposer.h"

#include "platform/gfx/Raster.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/SystemColors.h"
#include "platform/win/Layered.h"
#include "platform/win/Window.h"
#include "platform/win/WindowHost.h"

#include <vector>

namespace platform {

namespace {

std::uint32_t Channel(std::uint32_t aPixel, int aShift) {
  return (aPixel >> aShift) & 0xFF;
}

std::uint32_t Div255(std::uint32_t aValue) {
  return (aValue + 127) / 255;
}

// Premultiplied source over destination, scaled by the constant alpha.
std::uint32_t Over(std::uint32_t aDst, std::uint32_t aSrc, std::uint32_t aConst, bool aPerPixel) {
  const std::uint32_t a = aPerPixel ? Div255(Channel(aSrc, 24) * aConst) : aConst;
  std::uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    // Premultiplied or not, the source is scaled by the constant alpha.
    const std::uint32_t src = Div255(Channel(aSrc, shift) * aConst);
    const std::uint32_t dst = Div255(Channel(aDst, shift) * (255 - a));
    out |= std::min<std::uint32_t>(src + dst, 255) << shift;
  }
  return out;
}

void DrawWindow(Bitmap& aScreen, HWND aWnd, bool aBlendLayers) {
  const Bitmap* frame = TopLevelFrame(aWnd);
  RECT r;
  if (!frame || frame->Empty() || !GetWindowRect(aWnd, &r))
    return;
  Region area(
      TRect{0, 0, std::min(r.Width(), frame->Width()), std::min(r.Height(), frame->Height())});
  Region shape;
  if (GetWindowRgn(aWnd, &shape) != ERROR)
    area = area.Intersect(shape);
  area.Offset(r.Left, r.Top);
  area = area.Intersect(Region(aScreen.BoundsRect()));
  const LayerInfo layer = GetLayerInfo(aWnd);
  const bool blend = aBlendLayers && layer.Layered;
  const std::uint32_t key = raster::PixelOf(layer.Key) & 0x00FFFFFFu;
  for (const TRect& band : area.Rects())
    for (int y = band.Top; y < band.Bottom; ++y) {
      std::uint32_t* dst = aScreen.ScanLine(y);
      const std::uint32_t* src = frame->ScanLine(y - r.Top);
      for (int x = band.Left; x < band.Right; ++x) {
        const std::uint32_t p = src[x - r.Left];
        if (!blend) {
          dst[x] = p | 0xFF000000u;
          continue;
        }
        if (layer.UseKey && (p & 0x00FFFFFFu) == key)
          continue;
        dst[x] = Over(dst[x], p, layer.Alpha, layer.PerPixelAlpha);
      }
    }
}

} // namespace

Bitmap ComposeScreen(TSize aScreen, bool aBlendLayers) {
  Bitmap screen(aScreen.cx, aScreen.cy);
  if (screen.Empty())
    return screen;
  raster::Fill(screen, screen.BoundsRect(), raster::PixelOf(GetSysColor(COLOR_BACKGROUND)));
  std::vector<HWND> tops;
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT))
    tops.push_back(h);
  for (auto it = tops.rbegin(); it != tops.rend(); ++it)
    if (IsWindowVisible(*it) && !IsIconic(*it))
      DrawWindow(screen, *it, aBlendLayers);
  return screen;
}

Bitmap CaptureWindow(HWND aWnd) {
  const Bitmap* frame = TopLevelFrame(aWnd);
  if (!frame)
    return Bitmap();
  Bitmap copy(frame->Width(), frame->Height());
  if (copy.Empty())
    return copy;
  raster::Fill(copy, copy.BoundsRect(), raster::PixelOf(GetSysColor(COLOR_BACKGROUND)));
  Region shape;
  Region area(copy.BoundsRect());
  if (GetWindowRgn(aWnd, &shape) != ERROR)
    area = area.Intersect(shape);
  for (const TRect& band : area.Rects())
    for (int y = band.Top; y < band.Bottom; ++y)
      for (int x = band.Left; x < band.Right; ++x)
        copy.SetPixel(x, y, frame->Pixel(x, y) | 0xFF000000u);
  return copy;
}

} // namespace platform
