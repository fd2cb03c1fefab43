#include "skin/controls/sButton.h"

#include "skin/paint/sControlCodes.h"

TsButton::TsButton(TComponent* aOwner)
    : TButton(aOwner), SkinData(static_cast<TControl*>(this), true), fSkin(*this, SkinData, *this) {
  SkinData.COC = cocButton;
  SetWordWrap(true);
}

void TsButton::AfterConstruction() {
  TButton::AfterConstruction();
  if (!ComponentState().Contains(csLoading))
    SkinData.Loaded();
}

void TsButton::Loaded() {
  TButton::Loaded();
  SkinData.Loaded();
}

void TsButton::WndProc(TMessage& aMessage) {
  if (fSkin.Before(aMessage))
    return;
  TButton::WndProc(aMessage);
  if (!ComponentState().Contains(csDestroying))
    fSkin.After(aMessage);
}
