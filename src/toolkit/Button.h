#pragma once
// The push button, built on the platform's "BUTTON" class: it clicks on a
// release inside it and on the space key; the default button clicks on
// Enter and the cancel button on Escape anywhere on the form. Subclasses
// may add BS_OWNERDRAW in CreateParams and paint in DrawItem.

#include "toolkit/Forms.h"
#include "toolkit/StdCtrlDefs.h"

class TButton : public TWinControl {
public:
  explicit TButton(TComponent* aOwner);
  std::string ClassName() const override { return "TButton"; }

  bool Default() const { return fDefault; }
  void SetDefault(bool aValue);
  bool Cancel() const { return fCancel; }
  void SetCancel(bool aValue) { fCancel = aValue; }
  // Set on the form when the button is clicked.
  TModalResult ModalResult() const { return fModalResult; }
  void SetModalResult(TModalResult aValue) { fModalResult = aValue; }
  bool WordWrap() const { return fWordWrap; }
  void SetWordWrap(bool aValue);
  // Whether the button is drawn pressed now (mouse or space held on it).
  bool Pushed() const;
  // Whether Enter clicks this button now: it has the focus, or it is the
  // default button and the focus is on no other button.
  bool IsActive() const { return fActive; }

  void Click() override;

protected:
  void CreateParams(TCreateParams& aParams) override;
  void WndProc(TMessage& aMessage) override;
  // Paints an owner-drawn button.
  virtual void DrawItem(const platform::DRAWITEMSTRUCT& aItem);
  void SetButtonStyle(bool aActive);

private:
  bool fDefault = false;
  bool fCancel = false;
  bool fActive = false;
  bool fWordWrap = false;
  TModalResult fModalResult = mrNone;
};
