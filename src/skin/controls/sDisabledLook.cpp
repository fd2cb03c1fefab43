#include "skin/controls/sDisabledLook.h"

#include "skin/paint/pixels/ColorFilters.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sMaskPieces.h"
#include "skin/paint/sParentBg.h"
#include "toolkit/WinControl.h"

#include <cstdint>

namespace {

constexpr std::uint32_t RgbMask = 0x00FFFFFFu;

std::uint32_t BlendChannel(std::uint32_t aOwn, std::uint32_t aParent, int aShift) {
  const std::uint32_t own = (aOwn >> aShift) & 0xFFu;
  const std::uint32_t parent = (aParent >> aShift) & 0xFFu;
  const std::uint32_t mixed =
      (own * DisabledOwnPercent + parent * (100 - DisabledOwnPercent)) / 100;
  return mixed << aShift;
}

// aParent's pixel (aX + x, aY + y) lies behind cache pixel (x, y).
void BlendOverParent(platform::Bitmap& aCache, const platform::Bitmap& aParent, int aX, int aY) {
  for (int y = 0; y < aCache.Height(); ++y) {
    const int py = aY + y;
    if (py < 0 || py >= aParent.Height())
      continue;
    for (int x = 0; x < aCache.Width(); ++x) {
      const int px = aX + x;
      if (px < 0 || px >= aParent.Width())
        continue;
      const std::uint32_t parent = aParent.Pixel(px, py);
      if ((parent & RgbMask) == (KeyPixel & RgbMask))
        continue;
      const std::uint32_t own = aCache.Pixel(x, y);
      aCache.SetPixel(x, y,
                      (own & ~RgbMask) | BlendChannel(own, parent, 16) |
                          BlendChannel(own, parent, 8) | BlendChannel(own, parent, 0));
    }
  }
}

} // namespace

void ApplyDisabledLook(platform::Bitmap& aCache, TsCommonData& aSkinData, TsDisabledKinds aKinds) {
  if (aKinds.Contains(TsDisabledKind::dkGrayed))
    ApplyPixelFilter(aCache, SaturationShift, -90, KeyPixel);
  if (!aKinds.Contains(TsDisabledKind::dkBlended))
    return;
  TControl* owner = aSkinData.OwnerControl();
  ParentBgInfo info;
  if (owner != nullptr && owner->Parent() != nullptr)
    RequestParentBackground(owner->Parent(), info, false);
  const TCacheInfo parent = ParentBgToCacheInfo(info);
  if (info.BgType == btCache && parent.Bmp != nullptr) {
    BlendOverParent(aCache, *parent.Bmp, parent.X + owner->Left(), parent.Y + owner->Top());
    return;
  }
  const TColor color = parent.FillColor != KeyColor
                           ? parent.FillColor
                           : ParentPlainColor(aSkinData, ColorToRGB(clBtnFace));
  BlendColorIntoRect(aCache, TInclusiveRect::Of(aCache.BoundsRect()), DisabledOwnPercent, color);
}
