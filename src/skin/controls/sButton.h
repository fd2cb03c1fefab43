#pragma once
// TsButton: the push button drawn from a skin section ("BUTTON" by default).
// Each state (normal, hot, pressed, default) is rendered into the skin data's
// cache and copied to the screen (TsButtonSkin). Clicks, keys and the default
// and cancel logic stay the toolkit button's. The skinned look is painted
// over the window class: while skinned the button answers the paint and
// erase messages itself, so without a skin the class paints it exactly as a
// TButton. Only the push-button layout exists: the toolkit has no image
// lists, so there are no glyphs, and no split-button or command-link styles.

#include "skin/controls/sButtonSkin.h"
#include "skin/paint/sCommonData.h"
#include "toolkit/Button.h"

class TsButton : public TButton, public TsButtonEvents {
public:
  // How long the pressed look shows at least, also on a quick click.
  static constexpr std::chrono::milliseconds MinPressedTime = TsButtonSkin::MinPressedTime;

  explicit TsButton(TComponent* aOwner);
  std::string ClassName() const override { return "TsButton"; }

  TsCtrlSkinData SkinData;
  // The skinned button's own notices (skinned and enabled) hide the control's.
  using TsButtonEvents::OnMouseEnter;
  using TsButtonEvents::OnMouseLeave;

  bool Down() const { return fSkin.Down(); }
  void SetDown(bool aValue) { fSkin.SetDown(aValue); }
  int FocusMargin() const { return fSkin.FocusMargin(); }
  void SetFocusMargin(int aValue) { fSkin.SetFocusMargin(aValue); }
  TsDisabledKinds DisabledKind() const { return fSkin.DisabledKind(); }
  void SetDisabledKind(TsDisabledKinds aValue) { fSkin.SetDisabledKind(aValue); }
  bool ShowFocus() const { return fSkin.ShowFocus(); }
  void SetShowFocus(bool aValue) { fSkin.SetShowFocus(aValue); }
  int ContentMargin() const { return fSkin.ContentMargin(); }
  void SetContentMargin(int aValue) { fSkin.SetContentMargin(aValue); }

  TsButtonState CurrentState() const { return fSkin.CurrentState(); }
  TsButtonState PaintedState() const { return fSkin.PaintedState(); }
  TRect CaptionRect() { return fSkin.CaptionRect(); }
  bool PrepareCache() { return fSkin.PrepareCache(); }
  bool FadeRunning() const { return fSkin.FadeRunning(); }

  void AfterConstruction() override;

protected:
  void Loaded() override;
  void WndProc(TMessage& aMessage) override;

private:
  TsButtonSkin fSkin;
};
