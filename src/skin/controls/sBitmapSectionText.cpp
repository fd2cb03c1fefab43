#include "skin/controls/sBitmapSectionText.h"

#include "platform/gfx/Text.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"

using namespace platform;

namespace {

constexpr int NoContour = -1;
constexpr TColor White = 0x00FFFFFF;

// The text in black on white, the size of aR, for the coverage of its pixels.
Bitmap Coverage(const TBitmapTextFont& aFont, std::string_view aText, UINT aFormat,
                const TRect& aR) {
  Bitmap scratch = CreateBitmap32(aR.Width(), aR.Height());
  FillRect32(scratch, scratch.BoundsRect(), White);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &scratch);
  if (aFont.Font != nullptr)
    SelectObject(dc, aFont.Font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, 0);
  RECT r{0, 0, aR.Width(), aR.Height()};
  DrawTextW(dc, aText, &r, aFormat);
  DeleteDC(dc);
  return scratch;
}

// Each channel of a covered pixel moves from the target towards aColor by
// the coverage: ((target - colour) * scratch + colour * 256) div 256.
void WriteColor(Bitmap& aBmp, const TBitmapTextFont& aFont, std::string_view aText, UINT aFormat,
                const TRect& aR, TColor aColor) {
  const Bitmap scratch = Coverage(aFont, aText, aFormat, aR);
  const TColor rgb = ColorToRGB(aColor);
  // TColor holds red in its low byte; pixels hold blue there.
  const int colour[3] = {int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)};
  for (int y = 0; y < scratch.Height(); ++y) {
    const int ty = aR.Top + y;
    if (ty < 0 || ty >= aBmp.Height())
      continue;
    for (int x = 0; x < scratch.Width(); ++x) {
      const int tx = aR.Left + x;
      const std::uint32_t s = scratch.Pixel(x, y);
      if (tx < 0 || tx >= aBmp.Width() || (s & 0x00FFFFFFu) == 0x00FFFFFFu)
        continue;
      const std::uint32_t t = aBmp.Pixel(tx, ty);
      std::uint32_t result = 0xFF000000u;
      for (int c = 0; c < 3; ++c) {
        const int shift = 8 * c;
        const int target = int((t >> shift) & 0xFF);
        const int cover = int((s >> shift) & 0xFF);
        result |= std::uint32_t((((target - colour[c]) * cover + colour[c] * 256) / 256) & 0xFF)
                  << shift;
      }
      aBmp.SetPixel(tx, ty, result);
    }
  }
}

} // namespace

void WriteSectionTextOnBitmap(Bitmap& aBmp, const TBitmapTextFont& aFont, std::string_view aText,
                              bool aEnabled, const TsSkinManager* aManager, bool aHot,
                              int aSkinIndex, UINT aFormat, const TRect& aR) {
  if (aText.empty() || aR.IsEmpty())
    return;
  if (aManager == nullptr || !aManager->IsValidSkinIndex(aSkinIndex)) {
    WriteColor(aBmp, aFont, aText, aFormat, aR, aFont.Color);
    return;
  }
  const TsGeneralData& section = aManager->gd[std::size_t(aSkinIndex)];
  const TsFontColor& colors = section.Props[aHot && section.States > 1 ? 1 : 0].FontColor;
  if (aEnabled) {
    const struct {
      int Color;
      int Dx, Dy;
    } contours[] = {
        {colors.Left, -1, 0}, {colors.Top, 0, -1}, {colors.Right, 1, 0}, {colors.Bottom, 0, 1}};
    for (const auto& contour : contours)
      if (contour.Color != NoContour)
        WriteColor(aBmp, aFont, aText, aFormat, aR.Offset(contour.Dx, contour.Dy),
                   TColor(contour.Color));
  }
  WriteColor(aBmp, aFont, aText, aFormat, aR, TColor(colors.Color));
}
