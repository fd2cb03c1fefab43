// The frame provider's answers to skin commands in each state, and how it
// follows the skin manager's skin changes.

#include "platform/gfx/SystemColors.h"
#include "platform/win/Paint.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/frame/sSkinProvider.h"
#include "skin/paint/sParentBg.h"
#include "skin/paint/sSkinCommandHandler.h"

#include <algorithm>

using namespace platform;

bool TsSkinProvider::FromOwnManager(const TSkinCommand& aCommand) const {
  return aCommand.Value != 0 && aCommand.Ref<TsSkinManager>() == SkinManager();
}

bool TsSkinProvider::CommandInAnyState(const TSkinCommand& aCommand, TMessage& aMessage) {
  switch (aCommand.Command) {
  case scPrepareSkin:
    if (!Destroying() && FromOwnManager(aCommand) && !fRunState.Prepared())
      PrepareForm();
    return false;
  case scRemoveSkin:
    RemoveSkin(aMessage);
    return true;
  case scIsSkinned:
    aMessage.Result = 1;
    return true;
  case scGetParentBg:
    if (!Skinned())
      return false;
    GetParentBg(*aCommand.Ref<ParentBgInfo>());
    return true;
  case scQuerySkinState:
    if ((FCommonData->CtrlSkinState & cssNotComputed) != 0)
      FCommonData->RefreshPlainState(false);
    aMessage.Result = FCommonData->CtrlSkinState;
    return true;
  case scGetApplication:
    aMessage.Result = LRESULT(Application);
    return true;
  case scGetClientOffset:
    aMessage.Result = LRESULT((DWORD(OffsetY()) << 16) | (DWORD(OffsetX()) & 0xFFFF));
    return true;
  default:
    return false;
  }
}

bool TsSkinProvider::CommandPassive(const TSkinCommand& aCommand, TMessage& aMessage) {
  switch (aCommand.Command) {
  case scPrepareSkin:
    if (FromOwnManager(aCommand) && !Destroying())
      PrepareSkinPassive();
    return true;
  case scGetProvider:
    aMessage.Result = LRESULT(this);
    return true;
  case scPrepareCache:
    FCommonData->BGChanged = false;
    return true;
  default:
    return false;
  }
}

bool TsSkinProvider::CommandSkinned(const TSkinCommand& aCommand, TMessage& aMessage) {
  TsCommonData& data = *FCommonData;
  switch (aCommand.Command) {
  case scPrepareSkin:
    if (FromOwnManager(aCommand))
      PrepareSkinSkinned();
    return true;
  case scApplySkin:
    if (FromOwnManager(aCommand))
      ApplySkin();
    return true;
  case scGetProvider:
    aMessage.Result = LRESULT(this);
    return true;
  case scRepaintChildren:
    RepaintAfterUpdate();
    return true;
  case scSetUpdating:
    data.SetUpdating(aCommand.Argument == 1);
    if (data.IsUpdating())
      data.BGChanged = true;
    return true;
  case scQueryUpdating:
    aMessage.Result = data.Updating() && !WindowAnimationRunning ? 1 : 0;
    return true;
  case scBgChanged:
    data.BGChanged = true;
    return true;
  case scQueryRepaintOnMove:
    aMessage.Result = RepaintsOnMove() ? 1 : 0;
    return true;
  case scGetBgColor:
    aMessage.Result = EncodeBgColor(data.StateBackgroundColor(0));
    return true;
  case scHoverLost:
    fCaptionMouse.MouseLeave();
    return true;
  case scPrepareCache:
    PrepareCache();
    return true;
  case scControlLoaded:
    ControlLoaded(aCommand.Ref<TControl>());
    return true;
  case scRefreshFrame:
    if (aCommand.Value == 1)
      data.BGChanged = true;
    RefreshFrame();
    return true;
  case scSuspendRedraw:
  case scResumeRedraw:
    if (data.RepaintIfMoved() && fForm->HandleAllocated())
      SetRedraw(aCommand.Command == scResumeRedraw);
    return true;
  default:
    return false;
  }
}

void TsSkinProvider::RepaintAfterUpdate() {
  if (!FCommonData->Updating())
    return;
  FCommonData->SetUpdating(false);
  if (fForm->HandleAllocated())
    RedrawWindow(fForm->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

bool TsSkinProvider::RepaintsOnMove() const {
  const TsGeneralData* section = FCommonData->Section();
  if (section != nullptr && section->Props[0].GradientPercent + section->Props[0].ImagePercent > 0)
    return true;
  const TsMaskData* mask = FCommonData->BorderMask();
  return mask != nullptr && (mask->DrawMode & 16) != 0;
}

void TsSkinProvider::ControlLoaded(TControl* aControl) {
  if (fAdapter == nullptr || fForm->ComponentState().Contains(csLoading))
    return;
  TWinControl* w = aControl != nullptr ? AsWindowed(aControl) : fForm;
  fAdapter->AddAllItems(w != nullptr ? w : fForm);
}

void TsSkinProvider::SetRedraw(bool aOn) {
  HWND wnd = fForm->Handle();
  SendMessageW(wnd, WM_SETREDRAW, aOn ? 1 : 0, 0);
  if (aOn)
    RedrawWindow(wnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TsSkinProvider::GetParentBg(ParentBgInfo& aInfo) {
  aInfo.X = 0;
  aInfo.Y = 0;
  // Children copy from the cache: a stale one is rebuilt first.
  if (FCommonData->HasOwnBackground() && (!FCommonData->Updating() || fRunState.ShowAnimating()))
    PaintAll();
  if (aInfo.PleaseDraw) {
    aInfo.X += OffsetX();
    aInfo.Y += OffsetY();
  }
  const TsGeneralData* section = FCommonData->Section();
  const int state =
      section != nullptr ? std::min(fRunState.Active() ? 1 : 0, section->States - 1) : 0;
  FillParentBgInfo(*FCommonData, aInfo, std::max(0, state));
  const int dx = OffsetX();
  aInfo.X += dx;
  if (aInfo.X != 0)
    aInfo.FillRect.Left = std::max(0, aInfo.FillRect.Left - dx);
  const int dy = OffsetY();
  aInfo.Y += dy;
  if (aInfo.Y != 0)
    aInfo.FillRect.Top = std::max(0, aInfo.FillRect.Top - dy);
}

void TsSkinProvider::PrepareCache() {
  TsCommonData& data = *FCommonData;
  if (SkinLoadingFlag || !data.BGChanged)
    return;
  PaintAll();
  // A cache that cannot be built now counts as fresh where waiting for it
  // would hold the frame back for good.
  if (data.BGChanged && (fForm->FormState().Contains(fsCreating) || fRunState.HideCoverUp() ||
                         data.Section() == nullptr))
    data.BGChanged = false;
}

void TsSkinProvider::RemoveSkin(TMessage& aMessage) {
  const TSkinCommand command(aMessage);
  if (!FromOwnManager(command)) {
    SendSkinCommandToChildren(fForm, scRemoveSkin, command.Value);
    return;
  }
  ListSW.reset();
  SetTransitions(false);
  LRESULT ignored = 0;
  HandleSkinCommand(*FCommonData, command, ignored);
  SendSkinCommandToChildren(fForm, scRemoveSkin, command.Value);
  FreeAdapter();
  if (fForm->HandleAllocated() && !Destroying()) {
    UpdateSysMenuStyle(false);
    const TqcFrameForm f = FrameForm();
    if (HasBorder(f))
      SetWindowRgn(fForm->Handle(), nullptr, TRUE);
    fRunState.ForgetRegion();
    fRunState.SetPrepared(false);
    if (fUseGlobalColor && !FCommonData->CustomColor())
      fForm->SetColor(clBtnFace);
    RedrawWindow(fForm->Handle(), nullptr, nullptr,
                 RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }
  FCommonData->EmptyCache();
}

void TsSkinProvider::PrepareSkinPassive() {
  TsSkinManager* manager = SkinManager();
  FCommonData->UpdateIndexes(true);
  Title.ResetForSkin();
  if (manager == nullptr)
    return;
  UpdateSysMenuStyle(true);
  fRunState.SetPrepared(true);
  CalcItems();
  FCommonData->BGChanged = true;
  ApplyGlobalColor();
  SetTransitions(DrawNonClientArea);
  AdaptControls();
}

void TsSkinProvider::PrepareSkinSkinned() {
  TsSkinManager* manager = SkinManager();
  FCommonData->UpdateIndexes(true);
  Title.ResetForSkin();
  if (manager == nullptr)
    return;
  CalcItems();
  UpdateSysMenuStyle(DrawNonClientArea);
  FCommonData->BGChanged = true;
  TMessage paint{WM_NCPAINT, 0, 0, 0};
  WMNCPaint(paint);
}

void TsSkinProvider::ApplySkin() {
  AdaptControls();
  if (HasBorder(FrameForm()))
    fRunState.MarkRegionStale();
  if (!fForm->Visible() || !fForm->HandleAllocated())
    return;
  FCommonData->BGChanged = true;
  if (!WindowAnimationRunning)
    RedrawWindow(fForm->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  ApplyGlobalColor();
  FCommonData->SetUpdating(false);
}
