#include "skin/controls/qcBaseWnd.h"

#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "skin/data/sSkinCommands.h"
#include "skin/paint/sCommonData.h"

using namespace platform;

void TqcBaseWnd::RepaintFrame() {
  RedrawWindow(CtrlHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

bool TqcBaseWnd::HandleBaseMessage(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case WM_SIZE:
  case WM_EXITSIZEMOVE:
    SkinData().BGChanged = true;
    return false;
  case WM_SETCURSOR:
    CallPrev(aMessage);
    return true;
  default:
    break;
  }
  if (aMessage.Msg != SkinCommandMessage)
    return false;
  const TSkinCommand command(aMessage);
  if (command.Command == scPrepareCache) {
    RenderFrameImage();
    return true;
  }
  if (command.Command == scApplySkin && command.Ref<TsSkinManager>() == SkinManager()) {
    const std::weak_ptr<int> life = LifeToken();
    TqcScrollWnd::qcWndProc(aMessage);
    if (!life.expired())
      RepaintFrame();
    return true;
  }
  return false;
}

void TqcBaseWnd::AfterBaseMessage(const TMessage& aMessage) {
  switch (aMessage.Msg) {
  case WM_SIZE:
  case WM_HSCROLL:
  case WM_VSCROLL:
    RefreshScrolls();
    break;
  case WM_ENABLE:
  case CM_ENABLEDCHANGED:
    SkinData().BGChanged = true;
    RepaintFrame();
    break;
  default:
    break;
  }
}

void TqcBaseWnd::qcWndProc(TMessage& aMessage) {
  if (!Skinned()) {
    TqcScrollWnd::qcWndProc(aMessage);
    return;
  }
  if (HandleBaseMessage(aMessage))
    return;
  const std::weak_ptr<int> life = LifeToken();
  TqcScrollWnd::qcWndProc(aMessage);
  if (!life.expired())
    AfterBaseMessage(aMessage);
}
