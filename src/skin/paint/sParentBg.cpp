#include "skin/paint/sParentBg.h"

#include "platform/gfx/Drawing.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "skin/data/sSkinAdjust.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonData.h"
#include "toolkit/Font.h"
#include "toolkit/WinControl.h"

using namespace platform;

namespace {

TColor ManagerMainColor(const TsSkinManager* aManager) {
  return aManager != nullptr ? ColorToRGB(aManager->GetGlobalColor()) : ColorToRGB(clBtnFace);
}

// Each colour channel (aBack * aWeight + aFront * (256 - aWeight)) >> 8.
TColor BlendChannels(TColor aBack, TColor aFront, int aWeight) {
  TColor result = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int b = int((aBack >> shift) & 0xFF);
    const int f = int((aFront >> shift) & 0xFF);
    result |= TColor(((b * aWeight + f * (256 - aWeight)) >> 8) & 0xFF) << shift;
  }
  return result;
}

// The cache as the answer, rebuilding it first when it is stale; a cache that
// stays stale gives the plain colour of the normal state.
void AnswerWithCache(TsCommonData& aData, ParentBgInfo& aInfo) {
  if (aData.BGChanged && aData.OwnerControl() != nullptr)
    SendSkinCommand(aData.OwnerControl(), scPrepareCache);
  if (aData.BGChanged || !aData.CacheFilled()) {
    aInfo.BgType = btFill;
    aInfo.Color = aData.StateBackgroundColor(0);
    return;
  }
  aInfo.AnswerCache(aData.CacheBmp());
}

// A 100 % transparent control passes the question on to what lies behind it.
void ForwardToParent(TsCommonData& aData, ParentBgInfo& aInfo) {
  TControl* owner = aData.OwnerControl();
  if (owner != nullptr && owner->Parent() != nullptr) {
    SendSkinCommand(owner->Parent(), scGetParentBg, LPARAM(&aInfo));
    if (aInfo.Bmp != nullptr) {
      aInfo.X += owner->Left();
      aInfo.Y += owner->Top();
      aInfo.FillRect.Left -= owner->Left();
      aInfo.FillRect.Top -= owner->Top();
    }
    return;
  }
  const HWND window = aData.OwnerWindow();
  const HWND parent = window != nullptr ? GetParent(window) : nullptr;
  if (parent == nullptr) {
    aInfo.BgType = btFill;
    aInfo.Color = ManagerMainColor(aData.SkinManager());
    return;
  }
  SendSkinCommand(parent, scGetParentBg, LPARAM(&aInfo));
  if (aInfo.BgType == btCache) {
    POINT origin{0, 0};
    MapWindowPoints(window, parent, &origin, 1);
    aInfo.X += origin.X;
    aInfo.Y += origin.Y;
  }
}

// PleaseDraw: the control paints its background into the asker's DC.
void DrawForChild(TsCommonData& aData, ParentBgInfo& aInfo, int aState) {
  aData.RefreshPlainState(false);
  if (!aData.HasOwnBackground()) {
    FillRectOnDC(aInfo.DC, aInfo.R, aData.StateBackgroundColor(aState));
    aInfo.BgType = btFill;
    return;
  }
  if (aData.BGChanged && aData.OwnerControl() != nullptr)
    SendSkinCommand(aData.OwnerControl(), scPrepareCache);
  if (aData.BGChanged || !aData.CacheFilled()) {
    aInfo.BgType = btNotReady;
    return;
  }
  CopyBitmapToDC(aInfo.DC, aInfo.R, *aData.CacheBmp(), {aInfo.X, aInfo.Y});
  aInfo.BgType = btCache;
}

bool CacheFitsOwner(const TsCommonData& aData) {
  const TControl* owner = aData.OwnerControl();
  return aData.CacheFilled() &&
         (owner == nullptr || (aData.CacheBmp()->Width() == owner->Width() &&
                               aData.CacheBmp()->Height() == owner->Height()));
}

// A parent that did not answer paints itself into the asker's DC.
void LetParentPaint(TControl* aParent, ParentBgInfo& aInfo) {
  const int saved = SaveDC(aInfo.DC);
  OffsetViewportOrgEx(aInfo.DC, -aInfo.X, -aInfo.Y, nullptr);
  const TRect r = aInfo.R.Offset(aInfo.X, aInfo.Y);
  IntersectClipRect(aInfo.DC, r.Left, r.Top, r.Right, r.Bottom);
  aParent->Perform(WM_ERASEBKGND, WPARAM(aInfo.DC));
  aParent->Perform(WM_PAINT, WPARAM(aInfo.DC));
  RestoreDC(aInfo.DC, saved);
}

void StartRequest(ParentBgInfo& aInfo, bool aPleaseDraw) {
  aInfo.Bmp = nullptr;
  aInfo.BgType = btNone;
  aInfo.FillRect = TRect{};
  aInfo.PleaseDraw = aPleaseDraw;
}

// A partly transparent control: its cache once it is filled.
void AnswerTranslucent(TsCommonData& aData, ParentBgInfo& aInfo) {
  if (aData.CacheBmp() == nullptr) {
    aInfo.BgType = btFill;
    aInfo.Color = KeyColor;
  } else if (!aData.CacheFilled()) {
    aData.SetUpdating(true);
    aInfo.BgType = btNotReady;
  } else {
    AnswerWithCache(aData, aInfo);
  }
}

// A section of one colour with no images, gradients or effects.
bool PaintsOneColor(const TsCommonData& aData, const TsGenState& aProps) {
  return aProps.GradientPercent < 1 && aProps.ImagePercent < 1 && !aData.HasCornerImages() &&
         !aData.OuterEffectsAllowed();
}

void AnswerOneColor(TsCommonData& aData, ParentBgInfo& aInfo, int aState) {
  aInfo.BgType = btFill;
  aInfo.Color = aData.StateBackgroundColor(aState);
  // Children copy only the border strips from the cache.
  if (const TsMaskData* border = aData.BorderMask();
      border != nullptr && (border->DrawMode & dmNoBorderInNormal) == 0) {
    aInfo.FillRect = TRect{border->WL, border->WT, border->WR, border->WB};
    aInfo.Bmp = aData.CacheBmp();
    aInfo.X = 0;
    aInfo.Y = 0;
  }
}

// An opaque painted section: its cache, rebuilt first when it no longer fits
// the owner.
void AnswerWithFittingCache(TsCommonData& aData, ParentBgInfo& aInfo) {
  aInfo.Color = ManagerMainColor(aData.SkinManager());
  if (!CacheFitsOwner(aData)) {
    aData.BGChanged = true;
    aData.EmptyCache();
    if (aData.OwnerControl() != nullptr)
      SendSkinCommand(aData.OwnerControl(), scPrepareCache);
  }
  if (!aData.CacheFilled()) {
    aInfo.BgType = btNotReady;
    return;
  }
  aInfo.AnswerCache(aData.CacheBmp());
}

} // namespace

TColor ParentPlainColor(const TsCommonData& aData, TColor aFallback) {
  TControl* owner = aData.OwnerControl();
  if (owner != nullptr && owner->Parent() != nullptr)
    return DecodeBgColor(SendSkinCommand(owner->Parent(), scGetBgColor))
        .value_or(ColorToRGB(owner->Parent()->Color()));
  const HWND window = aData.OwnerWindow();
  const HWND parent = window != nullptr ? GetParent(window) : nullptr;
  if (parent == nullptr)
    return aFallback;
  if (auto answer = DecodeBgColor(SendSkinCommand(parent, scGetBgColor)))
    return *answer;
  const TWinControl* control = FindControl(parent);
  return control != nullptr ? ColorToRGB(control->Color()) : aFallback;
}

std::optional<TColor> PlainColorForChildren(const TsCommonData& aData) {
  const TControl* owner = aData.OwnerControl();
  if (owner == nullptr)
    return std::nullopt;
  const TColor own = ColorToRGB(owner->Color());
  if (!aData.Skinned() || aData.CustomColor())
    return own;
  const TsGenState& normal = aData.Section()->Props[0];
  const TColor color = ColorToRGB(TColor(normal.Color));
  if (normal.Transparency <= 0)
    return color;
  const TColor parent = ParentPlainColor(aData, own);
  if (normal.Transparency >= 100)
    return parent;
  // The transparency weight rounds percent x 2.55 like the saturation amount.
  return BlendChannels(parent, color, SaturationAmount(normal.Transparency));
}

void FillParentBgInfo(TsCommonData& aData, ParentBgInfo& aInfo, int aState) {
  if (aInfo.PleaseDraw) {
    DrawForChild(aData, aInfo, aState);
    return;
  }
  aInfo.Bmp = nullptr;
  if (!aData.Skinned() || aData.CustomColor()) {
    aInfo.BgType = btFill;
    aInfo.Color = aData.OwnerColor();
    return;
  }
  const TsGenState& props = aData.StateProps(aState);
  if (props.Transparency >= 100) {
    if ((aData.CtrlSkinState & cssPlain) != 0 || aData.CacheBmp() == nullptr)
      ForwardToParent(aData, aInfo);
    else
      AnswerWithCache(aData, aInfo);
  } else if (props.Transparency > 0) {
    AnswerTranslucent(aData, aInfo);
  } else if (PaintsOneColor(aData, props)) {
    AnswerOneColor(aData, aInfo, aState);
  } else {
    AnswerWithFittingCache(aData, aInfo);
  }
}

void RequestParentBackground(TControl* aParent, ParentBgInfo& aInfo, bool aPleaseDraw) {
  StartRequest(aInfo, aPleaseDraw);
  SendSkinCommand(aParent, scGetParentBg, LPARAM(&aInfo));
  if (aInfo.BgType != btNone)
    return;
  if (aPleaseDraw) {
    LetParentPaint(aParent, aInfo);
    return;
  }
  aInfo.BgType = btFill;
  aInfo.Color =
      DecodeBgColor(SendSkinCommand(aParent, scGetBgColor)).value_or(ColorToRGB(aParent->Color()));
}

void RequestParentBackground(HWND aParent, ParentBgInfo& aInfo, bool aPleaseDraw) {
  if (TWinControl* control = FindControl(aParent)) {
    RequestParentBackground(control, aInfo, aPleaseDraw);
    return;
  }
  StartRequest(aInfo, aPleaseDraw);
  SendSkinCommand(aParent, scGetParentBg, LPARAM(&aInfo));
  if (aInfo.BgType != btNone)
    return;
  aInfo.BgType = btFill;
  aInfo.Color = DecodeBgColor(SendSkinCommand(aParent, scGetBgColor))
                    .value_or(ManagerMainColor(DefaultManager));
}

TCacheInfo QueryParentCache(TsCommonData& aData) {
  TControl* owner = aData.OwnerControl();
  if (owner != nullptr && aData.Skinned()) {
    ParentBgInfo info;
    bool asked = false;
    if (owner->Parent() != nullptr) {
      RequestParentBackground(owner->Parent(), info, false);
      asked = true;
    } else if (const HWND window = aData.OwnerWindow()) {
      if (const HWND parent = GetParent(window)) {
        RequestParentBackground(parent, info, false);
        asked = true;
      }
    }
    if (asked)
      return info.BgType == btNotReady ? EmptyCacheInfo() : ParentBgToCacheInfo(info);
  }
  TCacheInfo info;
  info.X = 0;
  info.Y = 0;
  info.FillColor = aData.StateBackgroundColor(0);
  info.Ready = false;
  return info;
}
