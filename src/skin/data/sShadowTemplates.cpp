#include "skin/data/sShadowTemplates.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSize = 33;
constexpr int kShadow = 9;

platform::Bitmap MakeBuiltIn(int aPeakAlpha) {
  platform::Bitmap image(kSize, kSize);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      // Distance of the pixel centre from the centre square (9 .. 24).
      double dx = std::max({kShadow - (x + 0.5), (x + 0.5) - (kSize - kShadow), 0.0});
      double dy = std::max({kShadow - (y + 0.5), (y + 0.5) - (kSize - kShadow), 0.0});
      double d = std::sqrt(dx * dx + dy * dy);
      bool inside = dx == 0 && dy == 0;
      double f = inside ? 0 : std::max(0.0, 1 - d / kShadow);
      std::uint32_t alpha = std::uint32_t(std::lround(aPeakAlpha * f * f));
      image.SetPixel(x, y, alpha << 24);
    }
  return image;
}

platform::Bitmap StateImage(const platform::Bitmap& aImage, const TsMaskData& aMask, int aState) {
  int w = StateImageWidth(aMask);
  int h = StateImageHeight(aMask);
  platform::Bitmap out(w, h);
  int left = aMask.R.Left + aState * w;
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      int sx = left + x, sy = aMask.R.Top + y;
      if (sx >= 0 && sy >= 0 && sx < aImage.Width() && sy < aImage.Height())
        out.SetPixel(x, y, aImage.Pixel(sx, sy));
    }
  return out;
}

void ClearTransparentWhite(platform::Bitmap& aImage) {
  for (int y = 0; y < aImage.Height(); ++y)
    for (int x = 0; x < aImage.Width(); ++x)
      if (aImage.Pixel(x, y) == 0x00FFFFFFu)
        aImage.SetPixel(x, y, 0);
}

} // namespace

const platform::Bitmap& BuiltInShadowTemplate(bool aActive) {
  static const platform::Bitmap active = MakeBuiltIn(120);
  static const platform::Bitmap inactive = MakeBuiltIn(70);
  return aActive ? active : inactive;
}

TsShadowTemplates MakeShadowTemplates(const TsSkinTables& aTables) {
  TsShadowTemplates t;
  int exBorder = aTables.ConstData.ExBorder;
  if (!aTables.IsValidImgIndex(exBorder)) {
    t.Active = BuiltInShadowTemplate(true);
    t.Inactive = BuiltInShadowTemplate(false);
    t.FormShadowSize = {kShadow, kShadow, kShadow, kShadow};
    return t;
  }
  const TsSkinData& d = aTables.CommonSkinData;
  const TsMaskData& m = aTables.ma[std::size_t(exBorder)];
  if (d.ExDrawMode != 0)
    t.FormShadowSize = {d.ExContentOffs, d.ExContentOffs, d.ExContentOffs, d.ExContentOffs};
  else
    t.FormShadowSize = {m.WL - d.ExContentOffs, m.WT - d.ExContentOffs, m.WR - d.ExContentOffs,
                        m.WB - d.ExContentOffs};
  const platform::Bitmap& image = aTables.ImageOf(m);
  t.Inactive = StateImage(image, m, 0);
  t.Active = StateImage(image, m, m.ImageCount > 1 ? 1 : 0);
  if (d.Version <= 7.6) {
    ClearTransparentWhite(t.Inactive);
    ClearTransparentWhite(t.Active);
  }
  return t;
}
