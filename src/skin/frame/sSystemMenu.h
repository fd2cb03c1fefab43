#pragma once
// TsSystemMenu: the skinned frame's own system menu, a popup menu built from
// the platform's system menu of the form's window (Generate) and kept in step
// with the form's border style, border icons and window state (UpdateItems).
// Its fixed items carry their system command as Tag and send it to the form
// when chosen; further items of the platform menu are copied and post their
// own command. Shown in the popup menu's plain look. User-interface thread
// only.

#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

#include <string>

class TsSystemMenu : public TPopupMenu {
public:
  TsSystemMenu(TComponent* aOwner, TForm* aForm);
  std::string ClassName() const override { return "TsSystemMenu"; }

  TForm* Form() const { return fForm; }

  // Rebuilds the items from the platform's system menu (none without one).
  void Generate();
  // Regenerates when aFull or when the close item is missing, then sets each
  // fixed item's visibility and enabled state.
  void UpdateItems(bool aFull);
  // Items copied from the platform menu besides the fixed ones.
  int ExtItemsCount() const { return fExtItemsCount; }
  // The item of a fixed system command, or nullptr.
  TMenuItem* ItemOf(unsigned aCommand) const;

  bool VisibleClose() const;
  bool VisibleMax() const;
  bool VisibleMin() const;
  bool VisibleRestore() const;
  bool VisibleSize() const;
  bool EnabledClose() const;
  bool EnabledMax() const;
  bool EnabledMin() const;
  bool EnabledRestore() const;
  bool EnabledMove() const;
  bool EnabledSize() const;

private:
  void AddCommand(const char* aName, unsigned aCommand, const std::string& aDefault);
  // Sends the fixed item's command to the form; Restore, Minimize and
  // Maximize refresh the items afterwards.
  void CommandClick(unsigned aCommand);
  bool Iconic() const;
  bool Maximized() const;
  bool Sizeable() const; // bsSingle or bsSizeable
  bool IsMainForm() const;

  TForm* fForm;
  int fExtItemsCount = 0;
};

// Opens the form's system menu at a screen point: nothing unless the form is
// the application's active form; the items are refreshed first
// (regenerated when the menu holds copied items).
void DropSysMenu(TsSystemMenu& aMenu, int aX, int aY);
