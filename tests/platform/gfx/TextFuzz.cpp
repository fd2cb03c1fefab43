// Formatted text from arbitrary bytes: any format flags, rectangle and text
// (damaged UTF-8 included) must lay out and draw without a fault or a write
// outside the bitmap.
#include "platform/gfx/Text.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  using namespace platform;
  if (aSize < 8)
    return 0;
  std::uint32_t format;
  std::memcpy(&format, aData, 4);
  const int left = std::int8_t(aData[4]);
  const int top = std::int8_t(aData[5]);
  const int width = aData[6];
  const int height = aData[7] / 4;
  const std::string_view text(reinterpret_cast<const char*>(aData + 8), aSize - 8);

  static HFONT font = [] {
    LOGFONTW logFont;
    logFont.lfHeight = -11;
    logFont.lfFaceName = "Tahoma";
    logFont.lfUnderline = 1;
    return CreateFontIndirectW(&logFont);
  }();
  Bitmap image(64, 32);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &image);
  SelectObject(dc, font);
  SetBkMode(dc, (format & 0x80000000u) ? OPAQUE : TRANSPARENT);
  RECT r{left, top, left + width, top + height};
  DrawTextW(dc, text, &r, format & 0x7FFFFFFFu);
  ExtTextOutW(dc, left, top, ETO_CLIPPED | ETO_OPAQUE, &r, text);
  DeleteDC(dc);
  return 0;
}
