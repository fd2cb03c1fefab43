#include "skin/paint/sControlMessages.h"

#include "platform/win/Paint.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sControlCodes.h"
#include "skin/paint/sSkinCommandHandler.h"
#include "toolkit/Forms.h"
#include "toolkit/PageControl.h"

using namespace platform;

namespace {

// A control with an outer effect tells its parent that the area under the
// effect changed.
void NotifyParentOfMove(TsCommonData& aData) {
  TControl* owner = aData.OwnerControl();
  if (aData.OuterEffects().Visibility() != ovAlways || owner == nullptr ||
      owner->Parent() == nullptr || aData.CheckUpdating(false))
    return;
  SendSkinCommand(owner->Parent(), scBgChanged, 0, 1);
  SendSkinCommand(owner->Parent(), scPrepareCache);
}

// Switches the owner's colours to a state's and repaints what shows them.
void ShowStateColors(TsCommonData& aData, int aState) {
  const bool changed = aData.SwitchStateColors(aState);
  TWinControl* w = aData.WindowedOwner();
  if (w == nullptr || !w->HandleAllocated())
    return;
  if (changed)
    InvalidateRect(w->Handle(), nullptr, FALSE);
  RedrawWindow(w->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

bool HasHotColors(const TsCommonData& aData) {
  return IsSkinColorCode(aData.COC) && aData.Section() != nullptr && aData.Section()->States >= 2;
}

bool HoverTracked(const TsCommonData& aData) {
  const TsSkinManager* manager = aData.SkinManager();
  return !aData.OwnerDesigning() && aData.Skinned() && manager != nullptr &&
         !manager->Options.NoMouseHover();
}

// Containers and buttons handle their glow themselves (buttons with their
// fades).
bool CommonGlow(const TsCommonData& aData) {
  return !IsContainerCode(aData.COC) && !IsButtonCode(aData.COC);
}

void Moved(TsCommonData& aData) {
  aData.HideGlow();
  NotifyParentOfMove(aData);
  if (aData.RepaintIfMoved()) {
    aData.BGChanged = true;
    SendSkinCommand(aData.OwnerControl(), scMoved, 0, 1);
  }
}

void Resized(TsCommonData& aData) {
  aData.HideGlow();
  if (!aData.Skinned())
    return;
  aData.BGChanged = true;
  NotifyParentOfMove(aData);
  if (aData.Section()->Props[0].GradientPercent <= 0)
    return;
  TWinControl* parent = aData.WindowedOwner();
  if (auto* pages = dynamic_cast<TPageControl*>(parent))
    parent = pages->ActivePage();
  if (parent == nullptr)
    return;
  SendSkinCommandToLiveChildren(parent, scMoved, 0, 1);
}

// Focus changes count for skinned windowed controls that take the focus.
bool TracksFocus(const TsCommonData& aData) {
  const TWinControl* w = aData.WindowedOwner();
  return w != nullptr && aData.Skinned() && w->CanFocus() && w->TabStop() &&
         !aData.FullyTransparent();
}

void FocusChanged(TsCommonData& aData, bool aFocused) {
  if (!TracksFocus(aData))
    return;
  aData.BGChanged = true;
  aData.SetFocused(aFocused);
  if (aFocused && HasHotColors(aData))
    ShowStateColors(aData, 1);
  else if (!aFocused && IsSkinColorCode(aData.COC) && !aData.ShowsHotState())
    ShowStateColors(aData, 0);
}

void MouseEntered(TsCommonData& aData) {
  if (!HoverTracked(aData) || aData.FullyTransparent())
    return;
  if (!IsNeverHotCode(aData.COC))
    aData.SetMouseAbove(true);
  TsSkinManager* manager = aData.SkinManager();
  if (TWinControl* w = aData.WindowedOwner(); w != nullptr && w->HandleAllocated())
    manager->SetActiveControl(w->Handle());
  else if (aData.WindowedOwner() == nullptr)
    manager->SetActiveGraphControl(aData.OwnerControl());
  if (CommonGlow(aData))
    aData.ShowGlowIfHot(false);
  if (HasHotColors(aData))
    ShowStateColors(aData, 1);
}

void MouseLeft(TsCommonData& aData) {
  if (!HoverTracked(aData))
    return;
  if (!IsNeverHotCode(aData.COC))
    aData.SetMouseAbove(false);
  if (CommonGlow(aData))
    aData.HideGlow();
  if (IsSkinColorCode(aData.COC) && !aData.ShowsHotState() && !aData.FullyTransparent())
    ShowStateColors(aData, 0);
}

void VisibleChanged(TsCommonData& aData, bool aShown) {
  const TsSkinManager* manager = aData.SkinManager();
  if (manager == nullptr ||
      manager->Options.OptimizingPriority() != TqcOptimizingPriority::opMemory)
    return;
  if (aShown) {
    aData.SetUpdating(false);
  } else {
    aData.EmptyCache();
    if (TWinControl* w = aData.WindowedOwner())
      SendSkinCommandToChildren(w, scClearCache);
  }
  aData.BGChanged = true;
}

// A windowed owner tells its form that it is there.
void AnnounceToForm(TsCommonData& aData) {
  TWinControl* w = aData.WindowedOwner();
  if (w == nullptr)
    return;
  if (TForm* form = GetParentForm(w); form != nullptr && form != w)
    SendSkinCommand(form, scControlLoaded, LPARAM(w));
}

} // namespace

bool HandleControlMessage(TsCommonData& aData, TMessage& aMessage) {
  switch (aMessage.Msg) {
  case SkinCommandMessage: {
    LRESULT result = 0;
    if (!HandleSkinCommand(aData, TSkinCommand(aMessage), result))
      return false;
    aMessage.Result = result;
    return true;
  }
  case WM_MOVE:
    Moved(aData);
    break;
  case WM_SIZE:
    Resized(aData);
    break;
  case WM_SETFOCUS:
    FocusChanged(aData, true);
    break;
  case WM_KILLFOCUS:
    FocusChanged(aData, false);
    break;
  case CM_MOUSEENTER:
    MouseEntered(aData);
    break;
  case CM_MOUSELEAVE:
    MouseLeft(aData);
    break;
  case CM_ENABLEDCHANGED:
    aData.SetMouseAbove(false);
    aData.SetFocused(false);
    if (aData.OwnerControl() != nullptr && !aData.OwnerControl()->Enabled())
      aData.HideGlow();
    break;
  case CM_VISIBLECHANGED:
    VisibleChanged(aData, aMessage.WParam != 0);
    break;
  case CM_SHOWINGCHANGED:
    if (aData.OwnerControl() != nullptr && aData.OwnerControl()->Visible())
      aData.Loaded();
    break;
  case WM_PARENTNOTIFY:
    if (LOWORD(DWORD(aMessage.WParam)) == WM_CREATE)
      AnnounceToForm(aData);
    break;
  default:
    break;
  }
  return false;
}

bool HandleSkinChange(TsCommonData& aData, TWinControl& aControl, TMessage& aMessage,
                      TsChildOrder aOrder) {
  const TSkinCommand command(aMessage);
  if (aOrder == TsChildOrder::ChildrenFirst)
    SendSkinCommandToChildren(&aControl, command.Command, command.Value, command.Argument);
  const bool own = HandleControlMessage(aData, aMessage);
  if (aOrder == TsChildOrder::ChildrenAfter)
    SendSkinCommandToChildren(&aControl, command.Command, command.Value, command.Argument);
  return own;
}
