#pragma once
// The popup-menu component: TPopupMenu holds TMenuItem items (caption, a
// shortcut text, enabled, visible, a click event) and shows the visible ones
// as the window layer's popup menu, which paints them in the plain look.
// Derived menus (a skinned one) refresh or rebuild their items in DoPopup.

#include "platform/win/WinDefs.h"
#include "toolkit/Component.h"

#include <string>
#include <vector>

class TPopupMenu;

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* aOwner);
  std::string ClassName() const override { return "TMenuItem"; }

  // The caption "-" makes the item a separator; '&' marks the character
  // that chooses the item from the keyboard.
  const std::string& Caption() const { return fCaption; }
  void SetCaption(const std::string& aCaption) { fCaption = aCaption; }
  bool IsSeparator() const { return fCaption == "-"; }
  // Shown in the menu's shortcut column ("Alt+F4"); the menu does not act
  // on it.
  const std::string& ShortCutText() const { return fShortCutText; }
  void SetShortCutText(const std::string& aText) { fShortCutText = aText; }
  bool Enabled() const { return fEnabled; }
  void SetEnabled(bool aEnabled) { fEnabled = aEnabled; }
  bool Visible() const { return fVisible; }
  void SetVisible(bool aVisible) { fVisible = aVisible; }

  // Runs OnClick; what choosing the item in the menu does.
  virtual void Click();
  TNotifyEvent OnClick;

private:
  std::string fCaption;
  std::string fShortCutText;
  bool fEnabled = true;
  bool fVisible = true;
};

class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* aOwner);
  std::string ClassName() const override { return "TPopupMenu"; }

  // The items in menu order. The menu owns the items it makes.
  int Count() const { return int(fItems.size()); }
  TMenuItem* Items(int aIndex) const { return fItems.at(std::size_t(aIndex)); }
  int IndexOf(const TMenuItem* aItem) const;
  TMenuItem* Add(const std::string& aCaption, TNotifyEvent aOnClick = {});
  // Inserts before position aIndex (Count() appends).
  TMenuItem* Insert(int aIndex, const std::string& aCaption, TNotifyEvent aOnClick = {});
  // Frees the item at aIndex.
  void Delete(int aIndex);
  void Clear();

  // The window the menu belongs to while it shows; unset, the active window.
  platform::HWND WindowHandle() const { return fWindowHandle; }
  void SetWindowHandle(platform::HWND aWnd) { fWindowHandle = aWnd; }

  // Runs DoPopup, then shows the visible items with the menu's top-left
  // corner at the screen point and runs the loop of the popup menu; the
  // chosen item's Click runs after the menu has closed. Returns the chosen
  // item; nullptr when the menu was cancelled, nothing could be shown, or
  // items were added or freed while it showed.
  TMenuItem* Popup(int aX, int aY);
  // Whether this menu's popup is showing now.
  bool Showing() const { return fShowing; }

  // Runs before the menu shows (OnPopup).
  TNotifyEvent OnPopup;

protected:
  virtual void DoPopup();
  void Notification(TComponent* aComponent, TOperation aOperation) override;

private:
  std::vector<TMenuItem*> fItems;
  platform::HWND fWindowHandle = nullptr;
  bool fShowing = false;
  unsigned fChanges = 0; // counts additions and removals of items
};
