#include "support/PixelCheck.h"

#include "platform/gfx/PngCodec.h"

#include <filesystem>
#include <sstream>

namespace pixelcheck {

platform::Bitmap Filled(int aWidth, int aHeight, std::uint32_t aPixel) {
  platform::Bitmap bitmap(aWidth, aHeight);
  Paint(bitmap, bitmap.BoundsRect(), aPixel);
  return bitmap;
}

TRect ChangedBox(const platform::Bitmap& aBitmap, std::uint32_t aBackground) {
  TRect box{};
  for (int y = 0; y < aBitmap.Height(); ++y)
    for (int x = 0; x < aBitmap.Width(); ++x)
      if (aBitmap.Pixel(x, y) != aBackground)
        box = box.Union(Bounds(x, y, 1, 1));
  return box;
}

platform::Bitmap Cropped(const platform::Bitmap& aBitmap, const TRect& aRect) {
  platform::Bitmap part(aRect.Width(), aRect.Height());
  for (int y = 0; y < aRect.Height(); ++y)
    for (int x = 0; x < aRect.Width(); ++x)
      part.SetPixel(x, y, aBitmap.Pixel(aRect.Left + x, aRect.Top + y) | 0xFF000000u);
  return part;
}

void Paint(platform::Bitmap& aBitmap, const TRect& aRect, std::uint32_t aPixel) {
  for (int y = aRect.Top; y < aRect.Bottom; ++y)
    for (int x = aRect.Left; x < aRect.Right; ++x)
      if (x >= 0 && y >= 0 && x < aBitmap.Width() && y < aBitmap.Height())
        aBitmap.SetPixel(x, y, aPixel);
}

::testing::AssertionResult SameBitmap(const platform::Bitmap& aActual,
                                      const platform::Bitmap& aExpected, const std::string& aName,
                                      TPixelMatch aMatch) {
  const std::uint32_t compared = aMatch == TPixelMatch::Exact ? 0xFFFFFFFFu : 0x00FFFFFFu;
  if (aActual.Width() != aExpected.Width() || aActual.Height() != aExpected.Height())
    return ::testing::AssertionFailure()
           << aName << ": size " << aActual.Width() << "x" << aActual.Height() << ", expected "
           << aExpected.Width() << "x" << aExpected.Height();
  std::ostringstream report;
  int mismatches = 0;
  for (int y = 0; y < aActual.Height(); ++y)
    for (int x = 0; x < aActual.Width(); ++x)
      if (((aActual.Pixel(x, y) ^ aExpected.Pixel(x, y)) & compared) != 0 && ++mismatches <= 8)
        report << "\n  (" << x << ", " << y << "): " << std::hex << aActual.Pixel(x, y)
               << ", expected " << aExpected.Pixel(x, y) << std::dec;
  if (mismatches == 0)
    return ::testing::AssertionSuccess();
  const std::filesystem::path folder = std::filesystem::path(MM_BINARY_DIR) / "test-output";
  std::filesystem::create_directories(folder);
  platform::SavePngFile(aActual, (folder / (aName + "-actual.png")).string());
  platform::SavePngFile(aExpected, (folder / (aName + "-expected.png")).string());
  return ::testing::AssertionFailure() << aName << ": " << mismatches << " pixels differ"
                                       << report.str() << "\n  images in " << folder;
}

} // namespace pixelcheck
