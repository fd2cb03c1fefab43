#pragma once
// The default skin manager's window hook: a per-thread WH_CBT hook that
// adopts the forms and standard dialogs of the user-interface thread that
// carry no frame of their own. A form is adopted the first time it is
// activated and gets a frame provider made at run time; a message box
// (TMessageForm) is adopted the same way when the manager skins standard
// dialogs. Each adoption is recorded by a TqcProvider holder in
// AdoptedWindows. User-interface thread only.

#include "platform/win/WinDefs.h"
#include "toolkit/Component.h"

#include <string>
#include <vector>

class TForm;
class TsSkinManager;
class TsSkinProvider;

// The record of one adopted window.
class TqcProvider : public TComponent {
public:
  // aForm owns the holder of an adopted form; a dialog's holder has no owner.
  explicit TqcProvider(TForm* aForm);
  ~TqcProvider() override;
  std::string ClassName() const override { return "TqcProvider"; }

  // Gives the form its provider and makes its first frame paint arrive.
  void InitForm(TForm* aForm);
  // Records a standard dialog; false when it cannot be adapted.
  bool InitSkin(platform::HWND aHandle);

  platform::HWND CtrlHandle = nullptr;
  TsSkinProvider* sp = nullptr;
};

// Holders in adoption order; a freed holder leaves an empty slot (nullptr).
extern std::vector<TqcProvider*> AdoptedWindows;

// Form classes the hook never adopts, sorted.
const std::vector<std::string>& ExcludedFormClasses();
// How many visible standard dialogs may be adopted at once.
inline constexpr int DialogLimit = 2;

// 1 when the window was adopted or is left for a later activation, else 0.
int AdoptWindow(platform::HWND aWindow, const std::string& aClassName = {});
platform::LRESULT WindowCreationHook(int aCode, platform::WPARAM aWParam, platform::LPARAM aLParam);

// Installs the hook for the current thread (once, for the default manager)
// and removes it, freeing every holder; adopted forms keep their providers.
void InstallHook(TsSkinManager* aManager);
void UnInstallHook(TsSkinManager* aManager);
bool GlobalHookInstalled();

// Lets the skin manager reach the hook (its install and remove calls and the
// adopted windows of its broadcasts). Call once before the first manager is
// made.
void RegisterWindowHook();
