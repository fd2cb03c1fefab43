#pragma once
// Message boxes: forms of the class "TMessageForm" with an optional icon,
// the text, and a row of buttons; run modally, operated by mouse or keys
// (Enter: the default button, Escape: the cancel button, Tab: the next
// button), returning the button's result.

#include "toolkit/Button.h"
#include "toolkit/CustomControl.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrlDefs.h"

#include <vector>

enum class TMsgDlgIcon { miNone, miError };
using enum TMsgDlgIcon;

// The error icon: a red disc with a white cross, 32 x 32.
class TMessageIcon : public TGraphicControl {
public:
  explicit TMessageIcon(TComponent* aOwner);
  std::string ClassName() const override { return "TMessageIcon"; }
  static constexpr int IconSize = 32;

protected:
  void Paint() override;
};

class TMessageForm : public TForm {
public:
  // aFlags: the MB_* button set and icon.
  TMessageForm(TComponent* aOwner, const std::string& aText, const std::string& aCaption,
               platform::UINT aFlags);
  std::string ClassName() const override { return "TMessageForm"; }

  const std::string& Message() const { return fMessage; }
  int ButtonCount() const { return int(fButtons.size()); }
  TButton* Buttons(int aIndex) const { return fButtons.at(std::size_t(aIndex)); }
  TMsgDlgIcon Icon() const { return fIcon; }

protected:
  void Paint(TCanvas& aCanvas);
  void PaintWindow(platform::HDC aDC) override;

private:
  // The row of buttons of the MB_* set in aFlags, from aLeft at aTop.
  void AddButtons(platform::UINT aFlags, int aLeft, int aTop);

  std::string fMessage;
  TRect fTextRect;
  TMsgDlgIcon fIcon = miNone;
  std::vector<TButton*> fButtons;
};

// Shows a message box and returns the ID* of the button that closed it.
int ShowMessageForm(const std::string& aText, const std::string& aCaption, platform::UINT aFlags);
