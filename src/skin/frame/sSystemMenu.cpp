#include "skin/frame/sSystemMenu.h"

#include "platform/win/Input.h"
#include "platform/win/Menu.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Window.h"
#include "platform/win/WindowProcedures.h"

using namespace platform;

namespace {

// System commands of the platform lie in this range; other ids of the
// platform menu are the window's own items.
constexpr UINT FirstSysCommand = 61440;
constexpr UINT LastSysCommand = 61951;

std::string BeforeTab(const std::string& aText) {
  return aText.substr(0, aText.find('\t'));
}

std::string AfterTab(const std::string& aText) {
  const auto tab = aText.find('\t');
  return tab == std::string::npos ? std::string() : aText.substr(tab + 1);
}

bool IsFixedCommand(UINT aId) {
  return aId == SC_RESTORE || aId == SC_MOVE || aId == SC_SIZE || aId == SC_MINIMIZE ||
         aId == SC_MAXIMIZE || aId == SC_CLOSE;
}

HMENU PlatformMenu(TForm* aForm) {
  return aForm->HandleAllocated() ? GetSystemMenu(aForm->Handle(), FALSE) : nullptr;
}

} // namespace

TsSystemMenu::TsSystemMenu(TComponent* aOwner, TForm* aForm) : TPopupMenu(aOwner), fForm(aForm) {
  SetName("qcSysMenu" + std::to_string(GetTickCount()));
}

void TsSystemMenu::AddCommand(const char* aName, unsigned aCommand, const std::string& aDefault) {
  const std::string text = GetMenuStringW(PlatformMenu(fForm), UINT(aCommand), MF_BYCOMMAND);
  TMenuItem* item = Add(text.empty() ? aDefault : BeforeTab(text),
                        [this, aCommand](TObject*) { CommandClick(aCommand); });
  item->SetName(aName);
  item->SetTag(int(aCommand));
  item->SetShortCutText(AfterTab(text));
}

void TsSystemMenu::Generate() {
  Clear();
  fExtItemsCount = 0;
  HMENU menu = PlatformMenu(fForm);
  if (menu == nullptr)
    return;
  AddCommand("qcIR", SC_RESTORE, "Restore");
  AddCommand("qcIM", SC_MOVE, "Move");
  AddCommand("qcIS", SC_SIZE, "Size");
  AddCommand("qcIN", SC_MINIMIZE, "Minimize");
  AddCommand("qcIX", SC_MAXIMIZE, "Maximize");
  Add("-");
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    const UINT id = GetMenuItemID(menu, i);
    if (id == UINT(-1) || (id >= FirstSysCommand && id <= LastSysCommand) || IsFixedCommand(id))
      continue;
    const std::string text = GetMenuStringW(menu, UINT(i), MF_BYPOSITION);
    if (text.empty())
      continue;
    TMenuItem* item = Add(BeforeTab(text), [this, id](TObject*) {
      PostMessageW(fForm->Handle(), WM_SYSCOMMAND, WPARAM(id), 0);
    });
    item->SetTag(int(id));
    item->SetShortCutText(AfterTab(text));
    ++fExtItemsCount;
  }
  if (fExtItemsCount > 0)
    Add("-");
  AddCommand("qcIC", SC_CLOSE, "Close");
}

TMenuItem* TsSystemMenu::ItemOf(unsigned aCommand) const {
  for (int i = 0; i < Count(); ++i)
    if (!Items(i)->Name().empty() && Items(i)->Tag() == int(aCommand))
      return Items(i);
  return nullptr;
}

void TsSystemMenu::UpdateItems(bool aFull) {
  if (aFull || ItemOf(SC_CLOSE) == nullptr)
    Generate();
  const auto set = [this](unsigned aCommand, bool aVisible, bool aEnabled) {
    if (TMenuItem* item = ItemOf(aCommand)) {
      item->SetVisible(aVisible);
      item->SetEnabled(aEnabled);
    }
  };
  set(SC_RESTORE, VisibleRestore(), EnabledRestore());
  set(SC_MOVE, true, EnabledMove());
  set(SC_SIZE, VisibleSize(), EnabledSize());
  set(SC_MINIMIZE, VisibleMin(), EnabledMin());
  set(SC_MAXIMIZE, VisibleMax(), EnabledMax());
  set(SC_CLOSE, VisibleClose(), EnabledClose());
}

void TsSystemMenu::CommandClick(unsigned aCommand) {
  if (!fForm->HandleAllocated())
    return;
  SendMessageW(fForm->Handle(), WM_SYSCOMMAND, WPARAM(aCommand), 0);
  if (aCommand == SC_RESTORE || aCommand == SC_MINIMIZE || aCommand == SC_MAXIMIZE)
    UpdateItems(false);
}

bool TsSystemMenu::Iconic() const {
  return fForm->HandleAllocated() ? IsIconic(fForm->Handle()) : fForm->WindowState() == wsMinimized;
}

bool TsSystemMenu::Maximized() const {
  return fForm->HandleAllocated() ? IsZoomed(fForm->Handle()) : fForm->WindowState() == wsMaximized;
}

bool TsSystemMenu::Sizeable() const {
  return fForm->BorderStyle() == bsSingle || fForm->BorderStyle() == bsSizeable;
}

bool TsSystemMenu::IsMainForm() const {
  return Application != nullptr && Application->MainForm() == fForm;
}

bool TsSystemMenu::VisibleClose() const {
  HMENU menu = PlatformMenu(fForm);
  return fForm->BorderIcons().Contains(biSystemMenu) && menu != nullptr &&
         GetMenuState(menu, UINT(SC_CLOSE), MF_BYCOMMAND) != UINT(-1);
}

bool TsSystemMenu::VisibleMax() const {
  const bool taskBarMain = IsMainForm() && Application->MainFormOnTaskBar();
  return fForm->BorderIcons().Contains(biSystemMenu) &&
         ((Iconic() && !taskBarMain) || (Sizeable() && fForm->BorderIcons().Contains(biMaximize)));
}

bool TsSystemMenu::VisibleMin() const {
  return fForm->BorderIcons().Contains(biSystemMenu) &&
         (Iconic() || (Sizeable() && fForm->BorderIcons().Contains(biMinimize)));
}

bool TsSystemMenu::VisibleRestore() const {
  return fForm->BorderIcons().Contains(biSystemMenu) && Sizeable();
}

bool TsSystemMenu::VisibleSize() const {
  const TFormBorderStyle s = fForm->BorderStyle();
  return s != bsNone && s != bsDialog && s != bsToolWindow;
}

bool TsSystemMenu::EnabledClose() const {
  HMENU menu = PlatformMenu(fForm);
  if (menu == nullptr)
    return false;
  const UINT state = GetMenuState(menu, UINT(SC_CLOSE), MF_BYCOMMAND);
  return state != UINT(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool TsSystemMenu::EnabledMax() const {
  return Sizeable() && fForm->BorderIcons().Contains(biMaximize);
}

bool TsSystemMenu::EnabledMin() const {
  return fForm->BorderIcons().Contains(biMinimize) && (!Iconic() || IsMainForm());
}

bool TsSystemMenu::EnabledRestore() const {
  return (fForm->BorderIcons().Contains(biMaximize) && Maximized()) || Iconic();
}

bool TsSystemMenu::EnabledMove() const {
  return !Maximized();
}

bool TsSystemMenu::EnabledSize() const {
  return fForm->BorderStyle() != bsSingle && !Iconic();
}

void DropSysMenu(TsSystemMenu& aMenu, int aX, int aY) {
  TForm* form = aMenu.Form();
  if (!form->HandleAllocated() || GetActiveWindow() != form->Handle())
    return;
  aMenu.UpdateItems(aMenu.ExtItemsCount() > 0);
  aMenu.SetWindowHandle(form->Handle());
  aMenu.Popup(aX, aY);
}
