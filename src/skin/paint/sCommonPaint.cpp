#include "skin/paint/sCommonPaint.h"

#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/ColorFilters.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sCornerRefresh.h"
#include "skin/paint/sParentBg.h"
#include "skin/paint/sSectionPaint.h"
#include "skin/paint/sSkinnedText.h"
#include "toolkit/Control.h"
#include "toolkit/WinControl.h"

#include <algorithm>

namespace {

// The colour a custom-coloured control paints itself in; KeyColor otherwise.
TColor CustomColorOf(const TsCommonData& aSkinData) {
  if (!aSkinData.CustomColor())
    return KeyColor;
  if (aSkinData.OwnerControl() == nullptr && aSkinData.FrameOwner() == nullptr)
    return KeyColor;
  return aSkinData.OwnerColor();
}

TSectionPainted PaintOwnSection(TsCommonData& aSkinData, const TCacheInfo& aParentBg, int aState,
                                platform::Bitmap* aBmp, TPoint aOffset, const TRect& aR,
                                bool aParentCorners, TLayerOrder aOrder) {
  return PaintSection(aSkinData.SkinManager(), aSkinData.SkinIndex, aSkinData.BorderIndex,
                      aSkinData.Texture, aSkinData.HotTexture, CustomColorOf(aSkinData), aParentBg,
                      aState, aBmp, aOffset, aR, aParentCorners, aOrder);
}

void ApplyFilters(platform::Bitmap& aBmp, const TsCommonData& aSkinData, int aSaturation) {
  constexpr TPixel KeyPixel = 0x00FF00FF;
  if (aSkinData.ColorTone() != clNoColorTone)
    ApplyPixelFilter(aBmp, ToneFilter, int(ColorToRGB(aSkinData.ColorTone())), KeyPixel);
  if (aSkinData.HUEOffset() != 0)
    ApplyPixelFilter(aBmp, HueShift, aSkinData.HUEOffset(), KeyPixel);
  if (aSaturation != 0)
    ApplyPixelFilter(aBmp, SaturationShift, aSaturation, KeyPixel);
}

// The section a parent n levels above the control paints with.
std::optional<int> ParentSection(const TsCommonData& aSkinData, int aLevel) {
  TControl* parent = aSkinData.OwnerControl();
  for (int i = 0; i < aLevel && parent != nullptr; ++i)
    parent = parent->Parent();
  if (parent == nullptr)
    return std::nullopt;
  if (auto* data = reinterpret_cast<TsCommonData*>(SendSkinCommand(parent, scGetCommonData)))
    return data->SkinIndex;
  int index = -1;
  SendSkinCommand(parent, scGetSkinIndex, reinterpret_cast<platform::LPARAM>(&index));
  return index;
}

} // namespace

bool PaintSectionOnParent(TsCommonData& aSkinData, TControl* aParent, int aState, const TRect& aR,
                          TPoint aOffset, platform::Bitmap* aBmp, bool aParentCorners) {
  ParentBgInfo info;
  if (aParent != nullptr)
    RequestParentBackground(aParent, info, false);
  if (info.BgType == btNotReady)
    return false;
  const TCacheInfo parentBg = aParent != nullptr ? ParentBgToCacheInfo(info) : EmptyCacheInfo();
  PaintOwnSection(aSkinData, parentBg, aState, aBmp, aOffset, aR, aParentCorners,
                  TLayerOrder::BorderThenCorners);
  return true;
}

void PaintCommonSection(TsCommonData& aSkinData, const TCacheInfo& aParentBg, int aState,
                        platform::Bitmap* aBmp, TPoint aOffset, const TRect& aR,
                        bool aParentCorners) {
  const TSectionPainted painted = PaintOwnSection(aSkinData, aParentBg, aState, aBmp, aOffset, aR,
                                                  aParentCorners, TLayerOrder::CornersThenBorder);
  if (!painted.Painted)
    return;
  const TsGeneralData* section = aSkinData.Section();
  const bool opaque =
      section != nullptr && section->Props[std::size_t(std::min(aState, 1))].Transparency == 0;
  if (painted.BorderDrawn || opaque)
    ApplyFilters(*aBmp, aSkinData, aSkinData.Saturation());
}

void PaintCommonBackground(TsCommonData& aSkinData, const TCacheInfo& aParentBg, int aState,
                           platform::Bitmap* aBmp, TPoint aOffset, const TRect& aR) {
  PaintSectionBackground(aSkinData.SkinManager(), aSkinData.SkinIndex, aParentBg, aState, aR,
                         aOffset, aBmp, aSkinData.Texture, aSkinData.HotTexture,
                         CustomColorOf(aSkinData));
}

void ApplyControlFilters(platform::Bitmap& aBmp, TsCommonData& aSkinData, int aState) {
  ApplyFilters(aBmp, aSkinData, std::clamp(aSkinData.Saturation() * 255 / 100, -255, 255));
  RefreshCorners(aSkinData, aState, AllCorners);
}

void RefreshCorners(TsCommonData& aSkinData, int aState, int aCorners) {
  const TsMaskData* border = aSkinData.BorderMask();
  TControl* owner = aSkinData.OwnerControl();
  platform::Bitmap* cache = aSkinData.CacheBmp();
  if (border == nullptr || owner == nullptr || cache == nullptr || cache->Empty())
    return;
  ParentBgInfo info;
  if (owner->Parent() != nullptr)
    RequestParentBackground(owner->Parent(), info, false);
  TCacheInfo parent = ParentBgToCacheInfo(info);
  if (info.BgType == btCache) {
    parent.X += owner->Left();
    parent.Y += owner->Top();
  }
  RefreshCornerPixels(*border, aState, aCorners, *cache, parent);
}

void WriteSkinnedText(platform::HDC aCanvas, std::string_view aText, bool aEnabled, int aState,
                      TsCommonData& aSkinData, platform::UINT aFormat, const TRect& aR) {
  const TsSkinManager* manager = aSkinData.SkinManager();
  TsTextSkinInfo info;
  info.Skin = manager;
  info.UseSkinColors = aSkinData.Skinned() && !aSkinData.CustomFont();
  info.WebButton = manager != nullptr && manager->IsValidSkinIndex(aSkinData.SkinIndex) &&
                   aSkinData.SkinIndex == manager->ConstData.Sections[ssWebBtn];
  info.Filters = {aSkinData.ColorTone(), aSkinData.HUEOffset(), aSkinData.Saturation()};
  info.Cache = aSkinData.CacheBmp();
  info.Section =
      manager != nullptr
          ? TextColorSection(*manager, aSkinData.SkinIndex, aState,
                             [&aSkinData](int aLevel) { return ParentSection(aSkinData, aLevel); })
          : -1;
  WriteSkinnedText(aCanvas, aText, aEnabled, aState, info, aFormat, aR);
}
