#include "toolkit/Menus.h"

#include "platform/win/Input.h"
#include "platform/win/PopupMenu.h"

#include <algorithm>
#include <string>

TMenuItem::TMenuItem(TComponent* aOwner) : TComponent(aOwner) {}

void TMenuItem::Click() {
  if (OnClick)
    OnClick(this);
}

TPopupMenu::TPopupMenu(TComponent* aOwner) : TComponent(aOwner) {}

int TPopupMenu::IndexOf(const TMenuItem* aItem) const {
  const auto it = std::find(fItems.begin(), fItems.end(), aItem);
  return it == fItems.end() ? -1 : int(it - fItems.begin());
}

TMenuItem* TPopupMenu::Add(const std::string& aCaption, TNotifyEvent aOnClick) {
  return Insert(Count(), aCaption, std::move(aOnClick));
}

TMenuItem* TPopupMenu::Insert(int aIndex, const std::string& aCaption, TNotifyEvent aOnClick) {
  if (aIndex < 0 || aIndex > Count())
    throw EComponentError("menu item index " + std::to_string(aIndex) + " out of range");
  auto* item = new TMenuItem(this);
  item->SetCaption(aCaption);
  item->OnClick = std::move(aOnClick);
  fItems.insert(fItems.begin() + aIndex, item);
  ++fChanges;
  return item;
}

void TPopupMenu::Delete(int aIndex) {
  // Freeing the item takes it off the list (Notification).
  TComponent::Free(Items(aIndex));
}

void TPopupMenu::Clear() {
  while (!fItems.empty())
    Delete(Count() - 1);
}

void TPopupMenu::Notification(TComponent* aComponent, TOperation aOperation) {
  TComponent::Notification(aComponent, aOperation);
  if (aOperation == opRemove && std::erase(fItems, aComponent))
    ++fChanges;
}

void TPopupMenu::DoPopup() {
  if (OnPopup)
    OnPopup(this);
}

TMenuItem* TPopupMenu::Popup(int aX, int aY) {
  using namespace platform;
  if (fShowing)
    return nullptr;
  DoPopup();
  // Command i + 1 stands for shown[i].
  std::vector<TMenuItem*> shown;
  HMENU menu = CreatePopupMenu();
  for (TMenuItem* item : fItems) {
    if (!item->Visible())
      continue;
    if (item->IsSeparator()) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    shown.push_back(item);
    std::string text = item->Caption();
    if (!item->ShortCutText().empty())
      text += '\t' + item->ShortCutText();
    AppendMenuW(menu, MF_STRING | (item->Enabled() ? MF_ENABLED : MF_GRAYED),
                UINT_PTR(shown.size()), text.c_str());
  }
  const HWND owner = fWindowHandle ? fWindowHandle : GetActiveWindow();
  const unsigned changes = fChanges;
  fShowing = true;
  const UINT chosen = UINT(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, aX,
                                          aY, 0, owner, nullptr));
  fShowing = false;
  DestroyMenu(menu);
  // Items added or freed while the menu showed make the choice stale.
  if (!chosen || changes != fChanges)
    return nullptr;
  TMenuItem* item = shown[chosen - 1];
  item->Click();
  return item;
}
