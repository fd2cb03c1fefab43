#pragma once
// Helpers for pixel-exact tests: expected bitmaps are painted here pixel by
// pixel from the rules, and a mismatch dumps both images for a look.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace pixelcheck {

// The pixel with the given channels (0xAARRGGBB).
constexpr std::uint32_t Px(std::uint32_t aRed, std::uint32_t aGreen, std::uint32_t aBlue,
                           std::uint32_t aAlpha = 255) {
  return aBlue | (aGreen << 8) | (aRed << 16) | (aAlpha << 24);
}

constexpr std::uint32_t Opaque(TColor aColor) {
  return 0xFF000000u | ((aColor & 0xFFu) << 16) | (aColor & 0xFF00u) | ((aColor >> 16) & 0xFFu);
}

// A device context deleted with its holder.
struct DCDeleter {
  void operator()(platform::HDC aDC) const { platform::DeleteDC(aDC); }
};
using DCHolder = std::unique_ptr<platform::DeviceContext, DCDeleter>;

platform::Bitmap Filled(int aWidth, int aHeight, std::uint32_t aPixel);
// Sets the pixels of aRect (limited to the bitmap) one by one.
void Paint(platform::Bitmap& aBitmap, const TRect& aRect, std::uint32_t aPixel);
// The bounding box of the pixels that differ from aBackground; empty when none.
TRect ChangedBox(const platform::Bitmap& aBitmap, std::uint32_t aBackground);
// The part aRect of aBitmap, made opaque (screen captures and caches carry no
// meaningful alpha).
platform::Bitmap Cropped(const platform::Bitmap& aBitmap, const TRect& aRect);

// What SameBitmap compares: whole pixels, or only blue, green and red (for
// images from files or screens, whose alpha says nothing).
enum class TPixelMatch { Exact, ColorOnly };

// Compares pixel by pixel; on a mismatch names the first differing pixels and
// writes <name>-actual.png and <name>-expected.png to the build's test-output
// folder.
::testing::AssertionResult SameBitmap(const platform::Bitmap& aActual,
                                      const platform::Bitmap& aExpected, const std::string& aName,
                                      TPixelMatch aMatch = TPixelMatch::Exact);

} // namespace pixelcheck
