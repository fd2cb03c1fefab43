#include "skin/paint/sSkinCommandHandler.h"

#include "platform/win/Paint.h"
#include "platform/win/WindowGeometry.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinText.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sControlCodes.h"
#include "skin/paint/sParentBg.h"
#include "toolkit/Forms.h"
#include "toolkit/Label.h"

using namespace platform;

namespace {

bool CarriesOwnManager(const TsCommonData& aData, const TSkinCommand& aCommand) {
  return aCommand.Ref<TsSkinManager>() == aData.SkinManager();
}

void PrepareSkin(TsCommonData& aData) {
  aData.ChooseDefaultSection();
  const TsSkinManager* manager = aData.SkinManager();
  aData.SkinIndex = manager != nullptr ? manager->GetSkinIndex(aData.SkinSection()) : -1;
  if (aData.SkinIndex >= 0)
    aData.UpdateIndexes(false);
  aData.EmptyCache();
  aData.RefreshPlainState(false);
}

void RemoveSkin(TsCommonData& aData, TsSkinManager* aManager) {
  if (aManager != nullptr && aManager->ComponentState().Contains(csDestroying))
    aData.ForgetManager(aManager);
  aData.BorderIndex = aData.SkinIndex = aData.Texture = aData.HotTexture = -1;
  aData.SetUpdating(true);
  aData.EmptyCache();
  TWinControl* w = aData.WindowedOwner();
  if (w == nullptr)
    return;
  if (IsSkinColorCode(aData.COC)) {
    if (!aData.CustomColor())
      w->SetColor(clWindow);
    if (!aData.CustomFont())
      w->Font().SetColor(clWindowText);
    if (w->HandleAllocated())
      RedrawWindow(w->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return;
  }
  for (int i = 0; i < w->ControlCount(); ++i)
    if (auto* label = dynamic_cast<TLabel*>(w->Controls(i)))
      label->Font().SetColor(clWindowText);
}

void RepaintChildren(TsCommonData& aData) {
  TWinControl* w = aData.WindowedOwner();
  if (aData.Updating() && w != nullptr && !aData.CheckUpdating(true) && w->HandleAllocated())
    RedrawWindow(w->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  if (w == nullptr || aData.OwnerDesigning() || WindowAnimationRunning)
    return;
  for (int i = 0; i < w->ControlCount(); ++i) {
    TControl* child = w->Controls(i);
    TWinControl* windowed = AsWindowed(child);
    if (windowed == nullptr || windowed->Showing())
      SendSkinCommand(child, scRepaintChildren);
  }
}

LRESULT QueryUpdating(TsCommonData& aData) {
  if (aData.CheckUpdating(false))
    return 1;
  TWinControl* w = aData.WindowedOwner();
  if (w == nullptr || aData.CustomColor() || !aData.HasOwnBackground())
    return 0;
  if (!aData.CacheFilled()) {
    SendSkinCommand(w, scPrepareCache);
    return aData.CacheFilled() ? 0 : 1;
  }
  const bool sizeDiffers =
      aData.CacheBmp()->Width() != w->Width() || aData.CacheBmp()->Height() != w->Height();
  return sizeDiffers ? 1 : 0;
}

void Moved(TsCommonData& aData, bool aRedrawNow) {
  const bool repaint = aData.RepaintIfMoved();
  aData.BGChanged = aData.BGChanged || repaint;
  TWinControl* w = aData.WindowedOwner();
  if (w != nullptr && aRedrawNow && w->HandleAllocated())
    RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_NOERASE);
  if (!repaint || w == nullptr)
    return;
  for (int i = 0; i < w->ControlCount(); ++i)
    if (!w->Controls(i)->ComponentState().Contains(csDestroying))
      SendSkinCommand(w->Controls(i), scMoved);
}

void ClearCache(TsCommonData& aData) {
  if (aData.CacheBmp() == nullptr)
    return;
  if (TWinControl* w = aData.WindowedOwner())
    for (int i = 0; i < w->ControlCount(); ++i)
      if (TWinControl* child = AsWindowed(w->Controls(i)); child && child->HandleAllocated())
        SendSkinCommand(child, scClearCache);
  aData.EmptyCache();
  aData.BGChanged = true;
}

LRESULT QuerySkinState(TsCommonData& aData, bool aRefresh) {
  if (aRefresh)
    aData.RefreshPlainState(true);
  else if (aData.CtrlSkinState == cssNotComputed)
    aData.RefreshPlainState(false);
  return aData.CtrlSkinState;
}

void FrameChanged(TsCommonData& aData) {
  TWinControl* w = aData.WindowedOwner();
  if (w == nullptr || !w->HandleAllocated())
    return;
  SetWindowPos(w->Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendSkinCommandToChildren(w, scFrameChanged);
}

} // namespace

bool HandleSkinCommand(TsCommonData& aData, const TSkinCommand& aCommand, LRESULT& aResult) {
  aResult = 0;
  switch (aCommand.Command) {
  case scPrepareSkin:
    if (!CarriesOwnManager(aData, aCommand))
      return false;
    PrepareSkin(aData);
    return true;
  case scRemoveSkin:
    if (!CarriesOwnManager(aData, aCommand))
      return false;
    RemoveSkin(aData, aCommand.Ref<TsSkinManager>());
    return true;
  case scApplySkin:
    if (!CarriesOwnManager(aData, aCommand))
      return false;
    aData.BGChanged = true;
    aData.SetUpdating(false);
    aData.ApplySkinColors(true);
    aData.RefreshPlainState(false);
    return true;
  case scRepaintChildren:
    RepaintChildren(aData);
    return true;
  case scIsSkinned:
  case scQueryRepaintOnMove:
    aResult = 1;
    return true;
  case scSetUpdating:
    aData.SetUpdating(aCommand.Argument == 1);
    return true;
  case scQueryUpdating:
    aResult = QueryUpdating(aData);
    return true;
  case scQueryHalfVisible:
    aResult = aData.HalfVisible ? 1 : 0;
    return true;
  case scSectionChanged:
    if (const auto* name = aCommand.Ref<const std::string>();
        name != nullptr && UpperCase(*name) == aData.SkinSection())
      aData.Invalidate(false);
    return true;
  case scSetSection:
    if (const auto* info = aCommand.Ref<const TsSetSectionInfo>()) {
      aData.SetSkinSection(info->SectionName);
      aResult = 1;
    }
    return true;
  case scBgChanged:
    aData.BGChanged = true;
    return true;
  case scInvalidate:
    aData.Invalidate(false);
    return true;
  case scMoved:
    Moved(aData, aCommand.Argument == 1);
    return true;
  case scGetBgColor:
    if (const auto color = PlainColorForChildren(aData))
      aResult = EncodeBgColor(*color);
    return true;
  case scSetHalfVisible:
    aData.HalfVisible = true;
    return true;
  case scPrepareCache:
    aData.BGChanged = false;
    return true;
  case scGetSkinIndex:
    if (int* index = aCommand.Ref<int>())
      *index = aData.SkinIndex;
    return true;
  case scClearCache:
    ClearCache(aData);
    return true;
  case scGetParentBg:
    if (auto* info = aCommand.Ref<ParentBgInfo>())
      FillParentBgInfo(aData, *info, aData.Focused() || aData.MouseAbove() ? 1 : 0);
    return true;
  case scQuerySkinState:
    aResult = QuerySkinState(aData, aCommand.Argument == 1);
    return true;
  case scGetCommonData:
    aResult = LRESULT(&aData);
    return true;
  case scSetPrintDC:
    aData.PrintDC = aCommand.Ref<DeviceContext>();
    if (aData.PrintDC != nullptr)
      aData.CtrlSkinState |= cssPrinting;
    else
      aData.CtrlSkinState &= WORD(~cssPrinting);
    return true;
  case scFrameChanged:
    FrameChanged(aData);
    return true;
  case scGetApplication:
    aResult = LRESULT(Application);
    return true;
  case scGetBounds:
    if (auto* bounds = aCommand.Ref<TRect>())
      *bounds = aData.OwnerControl() != nullptr ? aData.OwnerControl()->BoundsRect() : TRect{};
    return true;
  default:
    return false;
  }
}
