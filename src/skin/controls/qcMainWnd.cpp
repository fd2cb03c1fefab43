#include "skin/controls/qcMainWnd.h"

#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sParentBg.h"
#include "skin/paint/sSkinCommandHandler.h"
#include "toolkit/WinControl.h"

using namespace platform;

TqcMainWnd::TqcMainWnd(HWND aHandle, TsCommonData* aSkinData, TsSkinManager* aManager,
                       const TqcSkinParams& aParams, std::unique_ptr<TsCommonData> aOwnData)
    : FCtrlHandle(aHandle), FSkinManager(aManager) {
  if (aSkinData != nullptr) {
    FSkinData = aSkinData;
  } else {
    FOwnSkinData = std::move(aOwnData);
    FSkinData = FOwnSkinData.get();
    if (aManager != nullptr)
      FSkinData->SetSkinManager(aManager);
    if (!aParams.SkinSection.empty())
      FSkinData->SetSkinSection(aParams.SkinSection);
    FSkinData->SetCustomFont(!aParams.UseSkinFontColor);
    FSkinData->SetCustomColor(!aParams.UseSkinColor);
  }
  SaveStdParams();
  ParamsChanged = false;
  Subclass();
  FSkinData->Loading = false;
}

TqcMainWnd::~TqcMainWnd() {
  Detach();
}

TqcMainWnd* TqcMainWnd::Of(HWND aWnd) {
  return static_cast<TqcMainWnd*>(GetPropW(aWnd, kAdapterProp));
}

void TqcMainWnd::Subclass() {
  DontRepaint = false;
  SetPropW(FCtrlHandle, kAdapterProp, this);
  if (TControl* control = OwnerControl()) {
    FSubclassedControl = control;
    FOldWndProc = control->WindowProc;
    control->WindowProc = [this](TMessage& aMessage) { qcWndProc(aMessage); };
    return;
  }
  FNewWndProcInstance = MakeObjectInstance([this](HWND, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
    TMessage message{aMsg, aWParam, aLParam, 0};
    qcWndProc(message);
    return message.Result;
  });
  FOldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      FCtrlHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FNewWndProcInstance)));
}

void TqcMainWnd::Detach() {
  if (FDestroyed)
    return;
  FDestroyed = true;
  if (IsWindow(FCtrlHandle)) {
    if (FSubclassedControl != nullptr)
      FSubclassedControl->WindowProc = FOldWndProc;
    else if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(FCtrlHandle, GWLP_WNDPROC)) ==
             FNewWndProcInstance)
      SetWindowLongPtrW(FCtrlHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldProc));
    if (Of(FCtrlHandle) == this)
      RemovePropW(FCtrlHandle, kAdapterProp);
    RestoreStdParams();
  } else if (FSubclassedControl != nullptr) {
    FSubclassedControl->WindowProc = FOldWndProc;
  }
  if (FNewWndProcInstance != nullptr && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(
                                            FCtrlHandle, GWLP_WNDPROC)) != FNewWndProcInstance)
    FreeObjectInstance(FNewWndProcInstance);
  FNewWndProcInstance = nullptr;
}

TsSkinManager* TqcMainWnd::SkinManager() const {
  return FSkinManager != nullptr ? FSkinManager : FSkinData->SkinManager();
}

TControl* TqcMainWnd::OwnerControl() const {
  return FSkinData->OwnerControl();
}

LRESULT TqcMainWnd::CallPrevWndProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  TMessage message{aMsg, aWParam, aLParam, 0};
  if (FOldWndProc) {
    FOldWndProc(message);
    return message.Result;
  }
  if (FOldProc != nullptr)
    return CallWindowProcW(FOldProc, aWnd, aMsg, aWParam, aLParam);
  return 0;
}

void TqcMainWnd::CallPrev(TMessage& aMessage) {
  if (FOldWndProc) {
    // A copy: the control may free this adapter while it handles the message.
    TWndMethod previous = FOldWndProc;
    previous(aMessage);
    return;
  }
  aMessage.Result = FOldProc != nullptr ? CallWindowProcW(FOldProc, FCtrlHandle, aMessage.Msg,
                                                          aMessage.WParam, aMessage.LParam)
                                        : 0;
}

bool TqcMainWnd::CallPrevAlive(TMessage& aMessage) {
  const std::weak_ptr<int> life = FLife;
  CallPrev(aMessage);
  return !life.expired();
}

void TqcMainWnd::SaveStdParams() {
  if (TControl* control = OwnerControl()) {
    StdColor = control->Color();
    StdFontColor = control->Font().Color();
  }
}

void TqcMainWnd::RestoreStdParams() {
  TControl* control = OwnerControl();
  if (control == nullptr || !ParamsChanged)
    return;
  control->SetColor(StdColor);
  control->Font().SetColor(StdFontColor);
  ParamsChanged = false;
}

void TqcMainWnd::SetSkinParams() {
  ParamsChanged = true;
}

void TqcMainWnd::RefreshGeometry() {
  RECT r;
  GetWindowRect(FCtrlHandle, &r);
  WndSize = {r.Width(), r.Height()};
  POINT pos{r.Left, r.Top};
  if (const HWND parent = GetParent(FCtrlHandle))
    ScreenToClient(parent, &pos);
  WndPos = {pos.X, pos.Y};
}

TCacheInfo TqcMainWnd::ParentBackground(bool* aNotReady) {
  ParentBgInfo info;
  TControl* owner = OwnerControl();
  if (owner != nullptr && owner->Parent() != nullptr) {
    RequestParentBackground(owner->Parent(), info, false);
  } else if (const HWND parent = GetParent(FCtrlHandle)) {
    RequestParentBackground(parent, info, false);
  } else {
    TCacheInfo plain;
    const TsSkinManager* manager = SkinManager();
    plain.FillColor = ColorToRGB(manager != nullptr ? manager->GetGlobalColor() : clBtnFace);
    return plain;
  }
  if (info.BgType == btNotReady) {
    if (aNotReady != nullptr)
      *aNotReady = true;
    return EmptyCacheInfo();
  }
  return ParentBgToCacheInfo(info);
}

bool TqcMainWnd::Skinned() const {
  return !FDestroyed && FSkinData->Skinned(true);
}

void TqcMainWnd::HandleDestroy(TMessage& aMessage) {
  TControl* control = FSubclassedControl;
  const WNDPROC oldProc = FOldProc;
  const HWND handle = FCtrlHandle;
  Detach();
  if (control != nullptr)
    control->WindowProc(aMessage);
  else if (oldProc != nullptr)
    aMessage.Result =
        CallWindowProcW(oldProc, handle, aMessage.Msg, aMessage.WParam, aMessage.LParam);
}

bool TqcMainWnd::HandleCommonSkinCommand(TMessage& aMessage) {
  const TSkinCommand command(aMessage);
  switch (command.Command) {
  case scIsSkinned:
  case scQueryRepaintOnMove:
    aMessage.Result = 1;
    return true;
  case scSetUpdating:
    FSkinData->SetUpdating(command.Argument == 1);
    return true;
  case scGetCommonData:
    aMessage.Result = LRESULT(FSkinData);
    return true;
  case scGetApplication: {
    LRESULT result = 0;
    HandleSkinCommand(*FSkinData, command, result);
    aMessage.Result = result;
    return true;
  }
  default:
    return false;
  }
}

void TqcMainWnd::qcWndProc(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case WM_DESTROY:
  case WM_NCDESTROY:
    HandleDestroy(aMessage);
    return;
  case WM_SIZE:
    FSkinData->BGChanged = true;
    break;
  case WM_PRINT:
    aMessage.Result = SendMessageW(FCtrlHandle, WM_PAINT, aMessage.WParam, aMessage.LParam);
    return;
  default:
    if (aMessage.Msg == SkinCommandMessage && Skinned() && HandleCommonSkinCommand(aMessage))
      return;
    break;
  }
  CallPrev(aMessage);
}
