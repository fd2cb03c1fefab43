#pragma once
// A list box with a check box in front of every line. A click on the box or
// the space key toggles the current line's check, and OnClickCheck follows
// the toggle with the toggled line as the current line.

#include "toolkit/ListBox.h"

#include <vector>

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using enum TCheckBoxState;

class TCheckListBox : public TCustomListBox {
public:
  explicit TCheckListBox(TComponent* aOwner);
  std::string ClassName() const override { return "TCheckListBox"; }

  // Reading a line that does not exist raises the list's index error.
  bool Checked(int aIndex) const { return State(aIndex) == cbChecked; }
  void SetChecked(int aIndex, bool aValue) { SetState(aIndex, aValue ? cbChecked : cbUnchecked); }
  TCheckBoxState State(int aIndex) const;
  void SetState(int aIndex, TCheckBoxState aValue);
  bool ItemEnabled(int aIndex) const;
  void SetItemEnabled(int aIndex, bool aValue);
  // Toggling passes through the grayed state.
  bool AllowGrayed() const { return fAllowGrayed; }
  void SetAllowGrayed(bool aValue) { fAllowGrayed = aValue; }

  // The check box's size w x h: one cell of the platform's standard
  // check-box image strip (four columns, three rows).
  static TSize CheckBoxSize();
  // The check area at the start of each line: w + 2 wide.
  static int CheckAreaWidth() { return CheckBoxSize().cx + 2; }

  TNotifyEvent OnClickCheck;

protected:
  void WndProc(TMessage& aMessage) override;
  void DrawItem(int aIndex, const TRect& aRect, TOwnerDrawState aState) override;
  void ItemInserted(int aIndex) override;
  void ItemDeleted(int aIndex) override;
  void ItemsCleared() override;
  void KeyPress(char& aKey) override;

  // How far from the line's start a click toggles the check box: w.
  virtual int CheckHitWidth() const { return CheckBoxSize().cx; }
  // Moves the line to its next state and calls ClickCheck.
  void ToggleClickCheck(int aIndex);
  virtual void ClickCheck();

private:
  struct TLine {
    TCheckBoxState State = cbUnchecked;
    bool Enabled = true;
  };
  const TLine& Line(int aIndex) const;

  std::vector<TLine> fLines;
  bool fAllowGrayed = false;
};
