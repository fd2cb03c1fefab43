#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "toolkit/WinControl.h"

#include <algorithm>

// Children, alignment and anchors, tab order and the focus chain of
// windowed controls (the window and its messages are in WinControl.cpp,
// keys and focus messages in WinControlKeys.cpp).

using namespace platform;

// ---- children ----

TControl* TWinControl::Controls(int aIndex) const {
  if (aIndex < 0 || aIndex >= ControlCount())
    throw EComponentError("Control index out of bounds (" + std::to_string(aIndex) + ")");
  return fControls[std::size_t(aIndex)];
}

bool TWinControl::ContainsControl(const TControl* aControl) const {
  for (const TControl* c = aControl; c != nullptr; c = c->Parent())
    if (c == this)
      return true;
  return false;
}

void TWinControl::InsertControl(TControl* aControl) {
  if (TWinControl* w = aControl->AsWindowed(); w != nullptr && w->ContainsControl(this))
    throw EComponentError("A control cannot be placed inside itself");
  fControls.push_back(aControl);
  aControl->fParent = this;
  if (TWinControl* w = aControl->AsWindowed()) {
    fTabList.push_back(w);
    if (w->fPendingTabOrder >= 0 && !w->fComponentState.Contains(csLoading)) {
      w->SetTabOrder(w->fPendingTabOrder);
      w->fPendingTabOrder = -1;
    }
  }
  if (!aControl->fComponentState.Contains(csReading)) {
    aControl->Perform(CM_PARENTFONTCHANGED);
    aControl->Perform(CM_PARENTCOLORCHANGED);
  }
  aControl->UpdateAnchorRules();
  if (!fComponentState.Contains(csDestroying))
    Perform(CM_CONTROLLISTCHANGE, WPARAM(aControl), 1);
  if (TWinControl* w = aControl->AsWindowed()) {
    if (fHandle != nullptr && w->fHandle != nullptr)
      platform::SetParent(w->fHandle, fHandle);
    w->UpdateControlState();
  } else {
    aControl->Invalidate();
  }
  AlignControl(aControl);
}

void TWinControl::RemoveControl(TControl* aControl) {
  if (std::find(fControls.begin(), fControls.end(), aControl) == fControls.end())
    return;
  const bool destroying = fComponentState.Contains(csDestroying);
  if (!destroying)
    Perform(CM_CONTROLLISTCHANGE, WPARAM(aControl), 0);
  if (fMouseControl == aControl)
    fMouseControl = nullptr;
  if (fCaptureControl == aControl)
    fCaptureControl = nullptr;
  if (TWinControl* w = aControl->AsWindowed()) {
    if (TWinControl* top = TopLevel(); top != nullptr)
      top->ControlRemoving(w);
    w->DestroyHandle();
    fTabList.erase(std::find(fTabList.begin(), fTabList.end(), w));
  } else if (!destroying) {
    aControl->Invalidate();
  }
  fControls.erase(std::find(fControls.begin(), fControls.end(), aControl));
  aControl->fParent = nullptr;
  if (!destroying)
    Realign();
}

void TWinControl::ControlRemoving(TWinControl*) {}

TControl* TWinControl::ControlAtPos(TPoint aPoint, bool aAllowDisabled) const {
  for (auto it = fControls.rbegin(); it != fControls.rend(); ++it) {
    TControl* c = *it;
    if (c->Visible() && (aAllowDisabled || c->Enabled()) && c->BoundsRect().Contains(aPoint))
      return c;
  }
  return nullptr;
}

void TWinControl::SetChildOrder(TControl* aChild, int aOrder) {
  auto it = std::find(fControls.begin(), fControls.end(), aChild);
  if (it == fControls.end())
    return;
  fControls.erase(it);
  aOrder = std::clamp(aOrder, 0, int(fControls.size()));
  fControls.insert(fControls.begin() + aOrder, aChild);
  if (TWinControl* w = aChild->AsWindowed(); w != nullptr && w->fHandle != nullptr) {
    // Place the window just above the windowed sibling below it.
    HWND after = HWND_BOTTOM;
    for (int i = aOrder - 1; i >= 0; --i) {
      if (TWinControl* below = fControls[std::size_t(i)]->AsWindowed();
          below != nullptr && below->fHandle != nullptr) {
        after = GetWindow(below->fHandle, GW_HWNDPREV);
        if (after == nullptr)
          after = HWND_TOP;
        break;
      }
    }
    SetWindowPos(w->fHandle, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  aChild->Invalidate();
}

// ---- alignment and anchors ----

void TWinControl::EnableAlign() {
  if (fAlignLevel > 0)
    --fAlignLevel;
  if (fAlignLevel == 0 && fControlState.Contains(csAlignmentNeeded))
    Realign();
}

void TWinControl::Realign() {
  AlignControl(nullptr);
}

void TWinControl::AlignControl(TControl* aControl) {
  if (fAlignLevel > 0 || fComponentState.Contains(csLoading) ||
      fComponentState.Contains(csDestroying)) {
    fControlState.Include(csAlignmentNeeded);
    return;
  }
  fControlState.Exclude(csAlignmentNeeded);
  DisableAlign();
  TRect r = ClientRect();
  AdjustClientRect(r);
  try {
    AlignControls(aControl, r);
  } catch (...) {
    --fAlignLevel;
    throw;
  }
  --fAlignLevel;
  fControlState.Exclude(csAlignmentNeeded);
}

void TWinControl::AdjustClientRect(TRect&) const {}

void TWinControl::AlignControls(TControl*, TRect& aRect) {
  fControlState.Include(csAligning);
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient})
    DoAlign(a, aRect);
  for (TControl* c : std::vector<TControl*>(fControls))
    if (c->Align() == alNone)
      ApplyAnchors(c);
  fControlState.Exclude(csAligning);
}

void TWinControl::DoAlign(TAlign aAlign, TRect& aRect) {
  std::vector<TControl*> list;
  for (TControl* c : fControls)
    if (c->Align() == aAlign && c->Visible())
      list.push_back(c);
  // Nearest to the edge it is aligned to first; ties keep the z-order.
  auto key = [aAlign](const TControl* c) {
    switch (aAlign) {
    case alTop:
      return c->Top();
    case alBottom:
      return -(c->Top() + c->Height());
    case alLeft:
      return c->Left();
    case alRight:
      return -(c->Left() + c->Width());
    default:
      return 0;
    }
  };
  std::stable_sort(list.begin(), list.end(),
                   [&](const TControl* a, const TControl* b) { return key(a) < key(b); });
  for (TControl* c : list) {
    TRect r;
    switch (aAlign) {
    case alTop:
      r = {aRect.Left, aRect.Top, aRect.Right, aRect.Top + c->Height()};
      aRect.Top = std::min(r.Bottom, aRect.Bottom);
      break;
    case alBottom:
      r = {aRect.Left, aRect.Bottom - c->Height(), aRect.Right, aRect.Bottom};
      aRect.Bottom = std::max(r.Top, aRect.Top);
      break;
    case alLeft:
      r = {aRect.Left, aRect.Top, aRect.Left + c->Width(), aRect.Bottom};
      aRect.Left = std::min(r.Right, aRect.Right);
      break;
    case alRight:
      r = {aRect.Right - c->Width(), aRect.Top, aRect.Right, aRect.Bottom};
      aRect.Right = std::max(r.Left, aRect.Left);
      break;
    default:
      r = aRect;
      break;
    }
    c->SetAlignedBounds(r);
  }
}

void TWinControl::ApplyAnchors(TControl* aControl) {
  if (aControl->fComponentState.Contains(csLoading))
    return;
  const TRect client = ClientRect();
  const TSize now{client.Width(), client.Height()};
  const TSize was = aControl->fAnchorParentSize;
  if (was.cx == 0 || was.cy == 0) {
    // The rules were taken before this control had a size; start from here.
    aControl->UpdateAnchorRules();
    return;
  }
  const TRect a = aControl->fAnchorRect;
  const TAnchors& k = aControl->Anchors();
  auto place = [](bool aNear, bool aFar, int aStart, int aSize, int aWas, int aNow, int& aNewStart,
                  int& aNewSize) {
    aNewStart = aStart;
    aNewSize = aSize;
    if (aNear && aFar) {
      aNewSize = aSize + aNow - aWas;
    } else if (aFar) {
      aNewStart = aStart + aNow - aWas;
    } else if (!aNear) {
      // Neither edge: the centre keeps its relative place.
      const long long centre = (2LL * aStart + aSize) * aNow / aWas;
      aNewStart = int((centre - aSize) / 2);
    }
  };
  int left = 0, width = 0, top = 0, height = 0;
  place(k.Contains(akLeft), k.Contains(akRight), a.Left, a.Width(), was.cx, now.cx, left, width);
  place(k.Contains(akTop), k.Contains(akBottom), a.Top, a.Height(), was.cy, now.cy, top, height);
  aControl->SetAlignedBounds(Bounds(left, top, width, height));
}

// ---- tab order and focus ----

int TWinControl::TabOrder() const {
  if (fParent == nullptr)
    return fPendingTabOrder;
  const auto& list = fParent->fTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int aValue) {
  if (fParent == nullptr || fComponentState.Contains(csLoading)) {
    // Applied when the parent has finished loading, in the order of values.
    fPendingTabOrder = aValue;
    return;
  }
  auto& list = fParent->fTabList;
  auto it = std::find(list.begin(), list.end(), this);
  list.erase(it);
  aValue = std::clamp(aValue, 0, int(list.size()));
  list.insert(list.begin() + aValue, this);
}

void TWinControl::FixupTabList() {
  // Stored tab orders first, in their order; controls without one keep theirs.
  std::vector<TWinControl*> list = fTabList;
  std::stable_sort(list.begin(), list.end(), [](const TWinControl* a, const TWinControl* b) {
    const int ka = a->fPendingTabOrder >= 0 ? a->fPendingTabOrder : 1 << 30;
    const int kb = b->fPendingTabOrder >= 0 ? b->fPendingTabOrder : 1 << 30;
    return ka < kb;
  });
  for (TWinControl* w : list)
    w->fPendingTabOrder = -1;
  fTabList = list;
}

void TWinControl::SetTabStop(bool aValue) {
  if (aValue == fTabStop)
    return;
  fTabStop = aValue;
  if (fHandle != nullptr) {
    const LONG style = GetWindowLongW(fHandle, GWL_STYLE);
    SetWindowLongW(fHandle, GWL_STYLE,
                   aValue ? (style | LONG(WS_TABSTOP)) : (style & ~LONG(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED);
}

std::vector<TWinControl*> TWinControl::TabList() const {
  return fTabList;
}

namespace {

void CollectTabOrder(const std::vector<TWinControl*>& aList, std::vector<TWinControl*>& aOut) {
  for (TWinControl* w : aList) {
    aOut.push_back(w);
    CollectTabOrder(w->TabList(), aOut);
  }
}

} // namespace

TWinControl* TWinControl::FindNextControl(TWinControl* aCurrent, bool aGoForward,
                                          bool aCheckTabStop, bool aCheckParent) const {
  std::vector<TWinControl*> list;
  CollectTabOrder(fTabList, list);
  if (list.empty())
    return nullptr;
  const int n = int(list.size());
  int start = -1;
  if (auto it = std::find(list.begin(), list.end(), aCurrent); it != list.end())
    start = int(it - list.begin());
  else
    start = aGoForward ? n - 1 : 0;
  for (int step = 1; step <= n; ++step) {
    const int i = ((start + (aGoForward ? step : -step)) % n + n) % n;
    TWinControl* c = list[std::size_t(i)];
    if (c == aCurrent && step < n)
      continue;
    if ((!aCheckTabStop || c->TabStop()) && (!aCheckParent || c->Parent() == this) && c->CanFocus())
      return c;
  }
  return nullptr;
}

bool TWinControl::SelectNext(TWinControl* aCurrent, bool aGoForward, bool aCheckTabStop) {
  TWinControl* next = FindNextControl(aCurrent, aGoForward, aCheckTabStop, !aCheckTabStop);
  if (next == nullptr || next == aCurrent)
    return false;
  next->SetFocus();
  return true;
}

bool TWinControl::CanFocus() const {
  for (const TWinControl* c = this; c != nullptr; c = c->fParent)
    if (!c->Visible() || !c->Enabled())
      return false;
  return true;
}

bool TWinControl::Focused() const {
  return fHandle != nullptr && GetFocus() == fHandle;
}

void TWinControl::SetFocus() {
  TWinControl* top = TopLevel();
  if (top != this) {
    top->FocusControl(this);
    return;
  }
  if (Showing())
    platform::SetFocus(Handle());
}

void TWinControl::FocusControl(TWinControl* aControl) {
  if (Showing() && aControl->CanFocus())
    platform::SetFocus(aControl->Handle());
}

void TWinControl::SetFocusedControl(TWinControl*) {}

void TWinControl::DoEnter() {
  if (OnEnter)
    OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit)
    OnExit(this);
}
