#include "skin/controls/qcCtrlAdapter.h"

#include "platform/win/Paint.h"
#include "skin/controls/sButtonSkin.h"
#include "skin/data/sSkinCommands.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sControlCodes.h"
#include "toolkit/Button.h"

#include <algorithm>

using namespace platform;

namespace {

// Overlay and cover windows of the skin engine, and controls their program
// keeps plain, carry this tag bit.
constexpr int NotSkinnedTag = 0x100;

void Repaint(TWinControl& aControl) {
  if (aControl.HandleAllocated())
    RedrawWindow(aControl.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

} // namespace

// A plain push button in front of whose procedure the skin sits.
class TqcCtrlAdapter::TqcButtonWnd {
public:
  explicit TqcButtonWnd(TButton& aButton)
      : fButton(aButton), fSkinData(static_cast<TControl*>(&aButton), true),
        fSkin(aButton, fSkinData, fEvents), fOldWndProc(aButton.WindowProc) {
    fSkinData.COC = cocButton;
    fButton.WindowProc = [this](TMessage& aMessage) { WndProc(aMessage); };
    fSkinData.Loaded();
    Repaint(fButton);
  }
  ~TqcButtonWnd() {
    if (fGone)
      return;
    fSkin.StopFade();
    fButton.WindowProc = fOldWndProc;
    if (!fButton.ComponentState().Contains(csDestroying))
      Repaint(fButton);
  }
  TqcButtonWnd(const TqcButtonWnd&) = delete;
  TqcButtonWnd& operator=(const TqcButtonWnd&) = delete;

  TButton& Button() const { return fButton; }
  TsCommonData& SkinData() { return fSkinData; }
  // The button is being freed: nothing of it may be touched any more.
  void Forget() { fGone = true; }

private:
  void WndProc(TMessage& aMessage) {
    if (fButton.ComponentState().Contains(csDestroying)) {
      fOldWndProc(aMessage);
      return;
    }
    if (fSkin.Before(aMessage))
      return;
    fOldWndProc(aMessage);
    if (!fButton.ComponentState().Contains(csDestroying))
      fSkin.After(aMessage);
  }

  TButton& fButton;
  TsCtrlSkinData fSkinData;
  TsButtonEvents fEvents;
  TsButtonSkin fSkin;
  TWndMethod fOldWndProc;
  bool fGone = false;
};

TqcCtrlAdapter::TqcCtrlAdapter(TComponent* aOwner) : TComponent(aOwner) {}

TqcCtrlAdapter::~TqcCtrlAdapter() {
  // Last adapted first: each button gets back the procedure it had.
  while (!fItems.empty()) {
    fItems.back()->Button().RemoveFreeNotification(this);
    fItems.pop_back();
  }
}

void TqcCtrlAdapter::AddAllItems(TWinControl* aParent) {
  if (aParent == nullptr)
    return;
  AddNewItem(aParent);
  for (int i = 0; i < aParent->ControlCount(); ++i) {
    TControl* child = aParent->Controls(i);
    if (TWinControl* w = AsWindowed(child))
      AddAllItems(w);
  }
}

void TqcCtrlAdapter::AddNewItem(TControl* aControl) {
  // Only the plain push button: a skinned button class answers scIsSkinned.
  auto* button = dynamic_cast<TButton*>(aControl);
  if (button == nullptr || (button->Tag() & NotSkinnedTag) != 0 ||
      button->ComponentState().Contains(csDestroying) || SkinDataOf(button) != nullptr ||
      SendSkinCommand(button, scIsSkinned) == 1)
    return;
  button->FreeNotification(this);
  fItems.push_back(std::make_unique<TqcButtonWnd>(*button));
}

TsCommonData* TqcCtrlAdapter::SkinDataOf(const TControl* aControl) const {
  for (const auto& item : fItems)
    if (&item->Button() == aControl)
      return &item->SkinData();
  return nullptr;
}

void TqcCtrlAdapter::Notification(TComponent* aComponent, TOperation aOperation) {
  TComponent::Notification(aComponent, aOperation);
  if (aOperation != opRemove)
    return;
  const auto it = std::find_if(fItems.begin(), fItems.end(), [&](const auto& aItem) {
    return static_cast<TComponent*>(&aItem->Button()) == aComponent;
  });
  if (it == fItems.end())
    return;
  (*it)->Forget();
  fItems.erase(it);
}
