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

#include <optional>

using namespace platform;

namespace {

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
  SendSkinCommandToLiveChildren(w, scMoved);
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

void ApplySkin(TsCommonData& aData) {
  aData.BGChanged = true;
  aData.SetUpdating(false);
  aData.ApplySkinColors(true);
  aData.RefreshPlainState(false);
}

// A skin change (see IsSkinChange); false for one another manager sends.
bool ChangeSkin(TsCommonData& aData, const TSkinCommand& aCommand) {
  if (!FromOwnManager(aData, aCommand))
    return false;
  if (aCommand.Command == scPrepareSkin)
    PrepareSkin(aData);
  else if (aCommand.Command == scRemoveSkin)
    RemoveSkin(aData, aCommand.Ref<TsSkinManager>());
  else
    ApplySkin(aData);
  return true;
}

void SetPrintDC(TsCommonData& aData, DeviceContext* aDC) {
  aData.PrintDC = aDC;
  if (aData.PrintDC != nullptr)
    aData.CtrlSkinState |= cssPrinting;
  else
    aData.CtrlSkinState &= WORD(~cssPrinting);
}

// The commands that ask for a value; nullopt for the others.
std::optional<LRESULT> AnswerQuery(TsCommonData& aData, const TSkinCommand& aCommand) {
  switch (aCommand.Command) {
  case scIsSkinned:
  case scQueryRepaintOnMove:
    return 1;
  case scQueryUpdating:
    return QueryUpdating(aData);
  case scQueryHalfVisible:
    return aData.HalfVisible ? 1 : 0;
  case scGetBgColor: {
    const auto color = PlainColorForChildren(aData);
    return color ? EncodeBgColor(*color) : 0;
  }
  case scQuerySkinState:
    return QuerySkinState(aData, aCommand.Argument == 1);
  case scGetCommonData:
    return LRESULT(&aData);
  case scGetApplication:
    return LRESULT(Application);
  default:
    return std::nullopt;
  }
}

// The commands that fill in a record the sender passes.
bool FillRecord(TsCommonData& aData, const TSkinCommand& aCommand) {
  switch (aCommand.Command) {
  case scGetSkinIndex:
    if (int* index = aCommand.Ref<int>())
      *index = aData.SkinIndex;
    return true;
  case scGetParentBg:
    if (auto* info = aCommand.Ref<ParentBgInfo>())
      FillParentBgInfo(aData, *info, aData.Focused() || aData.MouseAbove() ? 1 : 0);
    return true;
  case scGetBounds:
    if (auto* bounds = aCommand.Ref<TRect>())
      *bounds = aData.OwnerControl() != nullptr ? aData.OwnerControl()->BoundsRect() : TRect{};
    return true;
  default:
    return false;
  }
}

// The commands that change the control's state or pass a change on.
bool ChangeState(TsCommonData& aData, const TSkinCommand& aCommand) {
  switch (aCommand.Command) {
  case scRepaintChildren:
    RepaintChildren(aData);
    return true;
  case scSetUpdating:
    aData.SetUpdating(aCommand.Argument == 1);
    return true;
  case scSectionChanged:
    if (const auto* name = aCommand.Ref<const std::string>();
        name != nullptr && UpperCase(*name) == aData.SkinSection())
      aData.Invalidate(false);
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
  case scSetHalfVisible:
    aData.HalfVisible = true;
    return true;
  case scPrepareCache:
    aData.BGChanged = false;
    return true;
  case scClearCache:
    ClearCache(aData);
    return true;
  case scSetPrintDC:
    SetPrintDC(aData, aCommand.Ref<DeviceContext>());
    return true;
  case scFrameChanged:
    FrameChanged(aData);
    return true;
  default:
    return false;
  }
}

} // namespace

bool IsSkinChange(WORD aCommand) {
  return aCommand == scPrepareSkin || aCommand == scRemoveSkin || aCommand == scApplySkin;
}

bool FromOwnManager(const TsCommonData& aData, const TSkinCommand& aCommand) {
  return aCommand.Ref<TsSkinManager>() == aData.SkinManager();
}

bool HandleSkinCommand(TsCommonData& aData, const TSkinCommand& aCommand, LRESULT& aResult) {
  aResult = 0;
  if (IsSkinChange(aCommand.Command))
    return ChangeSkin(aData, aCommand);
  if (const auto answer = AnswerQuery(aData, aCommand)) {
    aResult = *answer;
    return true;
  }
  if (aCommand.Command == scSetSection) {
    if (const auto* info = aCommand.Ref<const TsSetSectionInfo>()) {
      aData.SetSkinSection(info->SectionName);
      aResult = 1;
    }
    return true;
  }
  return FillRecord(aData, aCommand) || ChangeState(aData, aCommand);
}
