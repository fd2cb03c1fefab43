#include "skin/data/sSkinBroadcast.h"

#include "platform/win/MessageLoop.h"
#include "skin/data/sSkinCommands.h"

#include <set>

std::vector<TForm*> FramedForms;
bool WindowAnimationRunning = false;
bool SkinUpdating = false;

namespace {

std::set<const TForm*>& NotSkinned() {
  static std::set<const TForm*> forms;
  return forms;
}

bool Reachable(TForm* aForm) {
  const auto& state = aForm->ComponentState();
  return !state.Contains(csDestroying) && !state.Contains(csLoading) && IsFormSkinned(aForm);
}

} // namespace

void SetFormSkinned(TForm* aForm, bool aSkinned) {
  if (aSkinned)
    NotSkinned().erase(aForm);
  else
    NotSkinned().insert(aForm);
}

bool IsFormSkinned(const TForm* aForm) {
  return NotSkinned().count(aForm) == 0;
}

TsSkinEngineHooks& SkinEngineHooks() {
  static TsSkinEngineHooks hooks;
  return hooks;
}

void SendSkinCommandToChildren(TWinControl* aParent, platform::WORD aCommand,
                               platform::LPARAM aValue, platform::WORD aArgument) {
  for (int i = 0; i < aParent->ControlCount(); ++i)
    SendSkinCommand(aParent->Controls(i), aCommand, aValue, aArgument);
}

void SendSkinCommandToLiveChildren(TWinControl* aParent, platform::WORD aCommand,
                                   platform::LPARAM aValue, platform::WORD aArgument) {
  for (int i = 0; i < aParent->ControlCount(); ++i)
    if (TControl* child = aParent->Controls(i); !child->ComponentState().Contains(csDestroying))
      SendSkinCommand(child, aCommand, aValue, aArgument);
}

void SendSkinCommandDeep(TControl* aControl, platform::WORD aCommand, platform::LPARAM aValue) {
  aControl->Perform(SkinCommandMessage, SkinCommandParam(aCommand), aValue);
  if (auto* parent = dynamic_cast<TWinControl*>(aControl))
    for (int i = 0; i < parent->ControlCount(); ++i)
      SendSkinCommandDeep(parent->Controls(i), aCommand, aValue);
}

void BroadcastSkinCommand(platform::WORD aCommand, platform::LPARAM aValue) {
  // Indexes are checked again at every step: a form may go away while it
  // handles the command.
  if (Application)
    for (int i = Application->FormCount() - 1; i >= 0; --i)
      if (i < Application->FormCount() && Reachable(Application->Forms(i)))
        SendSkinCommandDeep(Application->Forms(i), aCommand, aValue);
  for (std::size_t i = 0; i < FramedForms.size(); ++i)
    if (Reachable(FramedForms[i]))
      SendSkinCommandDeep(FramedForms[i], aCommand, aValue);
  if (SkinEngineHooks().AdoptedWindows)
    for (platform::HWND window : SkinEngineHooks().AdoptedWindows())
      if (platform::IsWindowVisible(window))
        platform::SendMessageW(window, SkinCommandMessage, SkinCommandParam(aCommand), aValue);
}
