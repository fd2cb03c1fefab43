#pragma once
// Delivery of skin commands to every window of the application when the
// skin changes, and the call points that the window frame, the window hook and
// the glow effects fill in from the layers above. User-interface thread only.

#include "platform/win/Window.h"
#include "toolkit/Forms.h"

#include <functional>
#include <vector>

class TsSkinManager;

// Forms that have a frame provider; the frame layer keeps this list.
extern std::vector<TForm*> FramedForms;
// Set while a window show or hide animation or a skin-change freeze runs.
extern bool WindowAnimationRunning;
// Set while the default manager applies a skin (between its prepare and
// apply broadcasts).
extern bool SkinUpdating;

// A form marked as not to be skinned receives no broadcasts.
void SetFormSkinned(TForm* aForm, bool aSkinned);
bool IsFormSkinned(const TForm* aForm);

// What the layers above provide; every member may stay empty.
struct TsSkinEngineHooks {
  // Glow effects (fades and glow).
  std::function<void()> DiscardGlows;
  // Frame: switch redrawing of the framed forms off (covering them with their
  // frame snapshot), and back on, showing them anew when aShow.
  std::function<void()> FreezeForms;
  std::function<void(bool aShow, bool aAnimate)> UnfreezeForms;
  // Window hook: install or remove the per-thread creation hook of a manager;
  // the visible windows it adopted; redraw them completely.
  std::function<void(TsSkinManager* aManager)> InstallHook;
  std::function<void(TsSkinManager* aManager)> RemoveHook;
  std::function<std::vector<platform::HWND>()> AdoptedWindows;
  // Skinned controls: whether a graphic control still shows its hot state.
  std::function<bool(TControl* aControl)> ControlStillHot;
};
TsSkinEngineHooks& SkinEngineHooks();

// Sends the command to each direct child of the control, in list order.
void SendSkinCommandToChildren(TWinControl* aParent, platform::WORD aCommand,
                               platform::LPARAM aValue = 0, platform::WORD aArgument = 0);

// Sends the command to each direct child that is not being destroyed, in list
// order.
void SendSkinCommandToLiveChildren(TWinControl* aParent, platform::WORD aCommand,
                                   platform::LPARAM aValue = 0, platform::WORD aArgument = 0);

// Sends the command to one control and, for a windowed control, to all its
// children, depth first.
void SendSkinCommandDeep(TControl* aControl, platform::WORD aCommand, platform::LPARAM aValue);

// Sends the command to every form of the application (last created first,
// skipping forms being destroyed or loaded and forms not to be skinned), then
// in the same way to the framed forms, then to every adopted window.
void BroadcastSkinCommand(platform::WORD aCommand, platform::LPARAM aValue);
