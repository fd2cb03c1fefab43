#include "skin/frame/qcDials.h"

#include "platform/win/Dwm.h"
#include "platform/win/Hook.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "platform/win/WindowProcedures.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/frame/sSkinProvider.h"
#include "toolkit/Forms.h"

#include <algorithm>
#include <cctype>

using namespace platform;

std::vector<TqcProvider*> AdoptedWindows;

namespace {

// Overlay and cover windows of the skin engine carry this tag bit.
constexpr int NotSkinnedTag = 0x100;

HHOOK gHook = nullptr;

bool ApplicationDestroying() {
  return Application == nullptr || Application->ComponentState().Contains(csDestroying);
}

bool IsSkinnedWindow(HWND aWindow) {
  return SendSkinCommand(aWindow, scIsSkinned) == 1;
}

bool HasHolder(HWND aWindow) {
  return std::any_of(AdoptedWindows.begin(), AdoptedWindows.end(),
                     [&](TqcProvider* h) { return h != nullptr && h->CtrlHandle == aWindow; });
}

TForm* FormOfWindow(HWND aWindow) {
  for (int i = Application->FormCount() - 1; i >= 0; --i) {
    TForm* form = Application->Forms(i);
    if (!form->ComponentState().Contains(csDestroying) && form->HandleAllocated() &&
        form->Handle() == aWindow)
      return form;
  }
  return nullptr;
}

BOOL FindToolbar(HWND aWindow, LPARAM aFound) {
  std::string name = GetClassNameW(aWindow);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  if (name != "toolbarwindow32")
    return TRUE;
  *reinterpret_cast<bool*>(aFound) = true;
  return FALSE;
}

// A dialog is adopted while fewer than DialogLimit adopted dialogs show, or
// when it holds a toolbar (such dialogs are the file dialogs worth skinning).
bool DialogAllowed(HWND aDialog) {
  const auto visibleDialogs =
      std::count_if(AdoptedWindows.begin(), AdoptedWindows.end(), [](TqcProvider* h) {
        return h != nullptr && h->sp == nullptr && IsWindowVisible(h->CtrlHandle);
      });
  if (visibleDialogs < DialogLimit)
    return true;
  bool toolbar = false;
  EnumChildWindows(aDialog, &FindToolbar, reinterpret_cast<LPARAM>(&toolbar));
  return toolbar;
}

int AdoptDialog(HWND aWindow, TsSkinManager& aManager) {
  if (!aManager.SkinningRules().Contains(TqcSkinningRule::srStdDialogs) || !DialogAllowed(aWindow))
    return 0;
  auto* holder = new TqcProvider(nullptr);
  if (holder->InitSkin(aWindow))
    AdoptedWindows.push_back(holder);
  else
    TComponent::Free(holder);
  return 1;
}

void AdoptForm(TForm* aForm) {
  auto* holder = new TqcProvider(aForm);
  holder->CtrlHandle = aForm->Handle();
  AdoptedWindows.push_back(holder);
  holder->InitForm(aForm);
}

void FreeHoldersOf(HWND aWindow) {
  for (TqcProvider*& holder : AdoptedWindows)
    if (holder != nullptr && holder->sp == nullptr && holder->CtrlHandle == aWindow)
      TComponent::Free(holder);
}

} // namespace

// ---- TqcProvider ----

TqcProvider::TqcProvider(TForm* aForm) : TComponent(aForm) {}

TqcProvider::~TqcProvider() {
  // Only the slot is emptied; an adopted form keeps its provider.
  std::replace(AdoptedWindows.begin(), AdoptedWindows.end(), this,
               static_cast<TqcProvider*>(nullptr));
}

void TqcProvider::InitForm(TForm* aForm) {
  sp = TsSkinProvider::CreateRT(aForm);
  sp->SetUseGlobalColor(false);
  BOOL composition = FALSE;
  DwmIsCompositionEnabled(&composition);
  HWND wnd = aForm->Handle();
  if (composition) {
    RedrawWindow(wnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageW(wnd, WM_NCPAINT, 0, 0);
  } else {
    UpdateWindow(wnd);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
  }
}

bool TqcProvider::InitSkin(HWND aHandle) {
  CtrlHandle = aHandle;
  SendSkinCommand(aHandle, scPrepareSkin, LPARAM(DefaultManager));
  return true;
}

// ---- adoption ----

const std::vector<std::string>& ExcludedFormClasses() {
  static const std::vector<std::string> classes = [] {
    std::vector<std::string> list{"TApplication",           "TfcPopup",
                                  "TcxComboBoxPopupWindow", "TcxCustomPopupWindow",
                                  "TcxDateEditPopupWindow", "TcxGridFilterPopup"};
    std::sort(list.begin(), list.end());
    return list;
  }();
  return classes;
}

int AdoptWindow(HWND aWindow, const std::string& aClassName) {
  TsSkinManager* manager = DefaultManager;
  if (manager == nullptr || ApplicationDestroying() || IsSkinnedWindow(aWindow))
    return 0;
  const std::string className = aClassName.empty() ? GetClassNameW(aWindow) : aClassName;
  const DWORD style = DWORD(GetWindowLongW(aWindow, GWL_STYLE));
  if (((style & WS_POPUP) != 0 && (style & WS_BORDER) == 0) || HasHolder(aWindow))
    return 0;
  TForm* form = FormOfWindow(aWindow);
  if (form == nullptr)
    return className == DialogClassName && GetParent(aWindow) == nullptr
               ? AdoptDialog(aWindow, *manager)
               : 0;
  if ((form->Tag() & NotSkinnedTag) != 0)
    return 0;
  if (form->ComponentState().Contains(csLoading))
    return 1;
  const auto& excluded = ExcludedFormClasses();
  if (std::binary_search(excluded.begin(), excluded.end(), className))
    return 0;
  const TqcSkinningRule rule =
      className == "TMessageForm" ? TqcSkinningRule::srStdDialogs : TqcSkinningRule::srStdForms;
  if (!manager->SkinningRules().Contains(rule))
    return 0;
  AdoptForm(form);
  return 1;
}

LRESULT WindowCreationHook(int aCode, WPARAM aWParam, LPARAM aLParam) {
  const LRESULT result = CallNextHookEx(gHook, aCode, aWParam, aLParam);
  if (ApplicationDestroying())
    return result;
  HWND wnd = reinterpret_cast<HWND>(aWParam);
  switch (aCode) {
  case HCBT_ACTIVATE:
    AdoptWindow(wnd);
    break;
  case HCBT_CREATEWND: {
    const CREATESTRUCTW* cs = reinterpret_cast<const CBT_CREATEWNDW*>(aLParam)->lpcs;
    const std::string className = cs->lpszClass != nullptr ? cs->lpszClass : "";
    if (className == DialogClassName) {
      AdoptWindow(wnd, className);
    } else if (!className.empty() && className != "TPUtilWindow" && cs->style != 0 &&
               cs->dwExStyle != 0 && cs->hwndParent == nullptr) {
      TForm* main = Application->MainForm();
      if (main == nullptr || (main->HandleAllocated() && main->Handle() != wnd))
        AdoptWindow(wnd, className);
    }
    break;
  }
  case HCBT_DESTROYWND:
    FreeHoldersOf(wnd);
    break;
  default:
    break;
  }
  return result;
}

// ---- installation ----

bool GlobalHookInstalled() {
  return gHook != nullptr;
}

void InstallHook(TsSkinManager* aManager) {
  if (gHook != nullptr || aManager == nullptr || !aManager->IsDefault() ||
      aManager->ComponentState().Contains(csDesigning))
    return;
  gHook = SetWindowsHookExW(WH_CBT, &WindowCreationHook, nullptr, GetCurrentThreadId());
}

void UnInstallHook(TsSkinManager* aManager) {
  if (gHook == nullptr || aManager == nullptr || !aManager->IsDefault())
    return;
  UnhookWindowsHookEx(gHook);
  gHook = nullptr;
  // Freeing a holder empties its slot; the list goes with the last one.
  for (std::size_t i = 0; i < AdoptedWindows.size(); ++i)
    TComponent::Free(AdoptedWindows[i]);
  AdoptedWindows.clear();
}

void RegisterWindowHook() {
  TsSkinEngineHooks& hooks = SkinEngineHooks();
  hooks.InstallHook = &InstallHook;
  hooks.RemoveHook = &UnInstallHook;
  hooks.AdoptedWindows = [] {
    std::vector<HWND> windows;
    for (TqcProvider* holder : AdoptedWindows)
      if (holder != nullptr && IsWindow(holder->CtrlHandle))
        windows.push_back(holder->CtrlHandle);
    return windows;
  };
}
