#include "toolkit/CheckListBox.h"

#include "platform/gfx/FrameControls.h"
#include "platform/win/Input.h"
#include "platform/win/WinDefs.h"

using namespace platform;

TCheckListBox::TCheckListBox(TComponent* aOwner) : TCustomListBox(aOwner) {
  SetStyle(lbOwnerDrawFixed);
}

TSize TCheckListBox::CheckBoxSize() {
  SIZE strip{0, 0};
  GetStandardBitmapSize(OBM_CHECKBOXES, &strip);
  return {strip.cx / 4, strip.cy / 3};
}

const TCheckListBox::TLine& TCheckListBox::Line(int aIndex) const {
  CheckIndex(aIndex);
  return fLines[std::size_t(aIndex)];
}

TCheckBoxState TCheckListBox::State(int aIndex) const {
  if (aIndex < 0)
    return cbUnchecked;
  return Line(aIndex).State;
}

void TCheckListBox::SetState(int aIndex, TCheckBoxState aValue) {
  CheckIndex(aIndex);
  if (fLines[std::size_t(aIndex)].State == aValue)
    return;
  fLines[std::size_t(aIndex)].State = aValue;
  if (HandleAllocated())
    InvalidateRect(ItemRect(aIndex));
}

bool TCheckListBox::ItemEnabled(int aIndex) const {
  if (aIndex < 0)
    return true;
  return Line(aIndex).Enabled;
}

void TCheckListBox::SetItemEnabled(int aIndex, bool aValue) {
  CheckIndex(aIndex);
  fLines[std::size_t(aIndex)].Enabled = aValue;
  if (HandleAllocated())
    InvalidateRect(ItemRect(aIndex));
}

void TCheckListBox::ItemInserted(int aIndex) {
  fLines.insert(fLines.begin() + aIndex, TLine{});
}

void TCheckListBox::ItemDeleted(int aIndex) {
  fLines.erase(fLines.begin() + aIndex);
}

void TCheckListBox::ItemsCleared() {
  fLines.clear();
}

void TCheckListBox::ToggleClickCheck(int aIndex) {
  if (aIndex < 0 || aIndex >= Count() || !ItemEnabled(aIndex))
    return;
  TCheckBoxState next = cbUnchecked;
  switch (State(aIndex)) {
  case cbUnchecked:
    next = fAllowGrayed ? cbGrayed : cbChecked;
    break;
  case cbGrayed:
    next = cbChecked;
    break;
  case cbChecked:
    next = cbUnchecked;
    break;
  }
  SetState(aIndex, next);
  ClickCheck();
}

void TCheckListBox::ClickCheck() {
  if (OnClickCheck)
    OnClickCheck(this);
}

void TCheckListBox::KeyPress(char& aKey) {
  TCustomListBox::KeyPress(aKey);
  if (aKey == ' ') {
    ToggleClickCheck(ItemIndex());
    aKey = 0;
  }
}

void TCheckListBox::WndProc(TMessage& aMessage) {
  if (aMessage.Msg == WM_LBUTTONDOWN || aMessage.Msg == WM_LBUTTONDBLCLK) {
    // The line under the mouse is taken before the list selects it, since
    // selecting a half-shown line scrolls it; the list selects first, so the
    // toggled line is the current one.
    const TWMMouse m(aMessage);
    const int index = ItemAtPos(m.Pos());
    const bool onBox = index >= 0 && m.X - ItemRect(index).Left < CheckHitWidth();
    TCustomListBox::WndProc(aMessage);
    if (onBox && index < Count() && ItemIndex() == index)
      ToggleClickCheck(index);
    return;
  }
  TCustomListBox::WndProc(aMessage);
}

void TCheckListBox::DrawItem(int aIndex, const TRect& aRect, TOwnerDrawState aState) {
  TCanvas& canvas = Canvas();
  const int w = CheckBoxSize().cx;
  const int area = CheckAreaWidth();
  // The check area keeps the list's colour; the text part shows selection.
  const TColor textBrush = canvas.BrushColor();
  canvas.SetBrushColor(Color());
  canvas.FillRect({aRect.Left, aRect.Top, aRect.Left + area, aRect.Bottom});
  if (aIndex >= 0 && aIndex < Count()) {
    // A w-wide square centred in the area; the frame control shows only 2
    // pixels inside it, ringed by a 1-pixel line in the button shadow.
    const TRect square =
        Bounds(aRect.Left + (area - w) / 2, aRect.Top + (aRect.Height() - w) / 2, w, w);
    UINT flags = State(aIndex) == cbGrayed ? DFCS_BUTTON3STATE : DFCS_BUTTONCHECK;
    if (State(aIndex) != cbUnchecked)
      flags |= DFCS_CHECKED;
    if (!ItemEnabled(aIndex) || !Enabled())
      flags |= DFCS_INACTIVE;
    {
      const ScopedSaveDC saved(canvas.Handle());
      IntersectClipRect(canvas.Handle(), square.Left + 2, square.Top + 2, square.Right - 2,
                        square.Bottom - 2);
      RECT box = square;
      DrawFrameControl(canvas.Handle(), &box, DFC_BUTTON, flags);
    }
    const TColor pen = canvas.PenColor();
    canvas.SetPenColor(clBtnShadow);
    canvas.FrameRect({square.Left + 1, square.Top + 1, square.Right - 1, square.Bottom - 1});
    canvas.SetPenColor(pen);
  }
  canvas.SetBrushColor(textBrush);
  TCustomListBox::DrawItem(aIndex, {aRect.Left + area, aRect.Top, aRect.Right, aRect.Bottom},
                           aState);
}
