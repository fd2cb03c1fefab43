#include "platform/gfx/ImageCodec.h"
#include "platform/gfx/PngCodec.h"
#include "platform/gfx/Text.h"
#include "support/PixelCheck.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace platform {
namespace {

// The face the reference image was drawn with on the machine it was made on.
constexpr const char* ReferenceFamily = "Tahoma";
const std::string ReferencePath =
    std::string(MM_SOURCE_DIR) + "/tests/platform/gfx/reference/TextCaption.png";

// The status heading of the monitor window: 13 pixels bold, centred on a
// silver panel of 185 x 20 in black.
Bitmap DrawHeading(HFONT aFont) {
  Bitmap image = pixelcheck::Filled(185, 20, pixelcheck::Opaque(RGB(192, 192, 192)));
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &image);
  SelectObject(dc, aFont);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  RECT r{0, 0, 185, 20};
  DrawTextW(dc, "Statusbyte und Midikanal", &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  DeleteDC(dc);
  return image;
}

TEST(TextReferenceTest, HeadingCaptionMatchesTheReviewedImage) {
  LOGFONTW logFont;
  logFont.lfHeight = -13;
  logFont.lfWeight = FW_BOLD;
  logFont.lfFaceName = "Tahoma";
  HFONT font = CreateFontIndirectW(&logFont);
  ASSERT_NE(font, nullptr);
  const std::string family = font->Family();
  const Bitmap actual = DrawHeading(font);
  DeleteObject(font);
  if (family != ReferenceFamily)
    GTEST_SKIP() << "the reference was drawn with " << ReferenceFamily << ", this machine uses "
                 << family;
  // Set MM_UPDATE_REFERENCES=1 to store a new reference (then look at it).
  if (std::getenv("MM_UPDATE_REFERENCES"))
    ASSERT_TRUE(SavePngFile(actual, ReferencePath).Ok());
  const ImageResult reference = LoadImageFile(ReferencePath);
  ASSERT_TRUE(reference.Ok()) << reference.Error;
  EXPECT_TRUE(pixelcheck::SameBitmap(actual, reference.Image, "text-caption"));
}

} // namespace
} // namespace platform
