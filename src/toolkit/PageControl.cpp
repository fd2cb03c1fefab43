#include "toolkit/PageControl.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/Text.h"
#include "platform/gfx/TextLayout.h"
#include "platform/win/WinDefs.h"

#include <algorithm>

using namespace platform;

namespace {

// Tabs style: the row starts 2 pixels below the top and 2 from the left;
// a tab is its caption's width plus 6 on each side; the selected tab grows
// by 2 on every side. Button styles: buttons from the left edge, 3 apart.
constexpr int kTabMargin = 2;
constexpr int kTabPadding = 6;
constexpr int kButtonGap = 3;
// The page area lies this far inside the body on every side.
constexpr int kPageInset = 4;

int FontLineHeight(const TFont& aFont) {
  HFONT f = FontInUse(aFont.Handle());
  return f != nullptr ? int(f->Metrics().tmHeight) : 13;
}

} // namespace

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* aOwner) : TWinControl(aOwner) {
  ControlStyleRef() = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                       csDoubleClicks};
  SetColor(clBtnFace);
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  Destroying();
  SetPageControl(nullptr);
}

void TTabSheet::SetPageControl(TPageControl* aPageControl) {
  if (aPageControl == fPageControl)
    return;
  if (fPageControl != nullptr)
    fPageControl->RemovePage(this);
  SetParent(aPageControl);
  if (aPageControl != nullptr)
    aPageControl->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (fPageControl == nullptr)
    return -1;
  const auto& pages = fPageControl->fPages;
  return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

int TTabSheet::TabIndex() const {
  if (fPageControl == nullptr || !fTabVisible)
    return -1;
  int index = 0;
  for (TTabSheet* p : fPageControl->fPages) {
    if (p == this)
      return index;
    if (p->fTabVisible)
      ++index;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool aValue) {
  if (aValue == fTabVisible)
    return;
  fTabVisible = aValue;
  if (fPageControl != nullptr) {
    if (!aValue && fPageControl->ActivePage() == this)
      fPageControl->SelectNextPage(true);
    fPageControl->Invalidate();
  }
}

void TTabSheet::WndProc(TMessage& aMessage) {
  if (aMessage.Msg == CM_TEXTCHANGED && fPageControl != nullptr)
    fPageControl->Invalidate();
  TWinControl::WndProc(aMessage);
}

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* aOwner) : TCustomControl(aOwner) {
  ControlStyleRef() = {csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks};
  SetColor(clBtnFace);
  SetTabStop(true);
  SetBounds(0, 0, 289, 193);
}

TPageControl::~TPageControl() {
  Destroying();
  for (TTabSheet* p : fPages)
    p->fPageControl = nullptr;
  fPages.clear();
  fActivePage = nullptr;
}

TTabSheet* TPageControl::Pages(int aIndex) const {
  if (aIndex < 0 || aIndex >= PageCount())
    throw EComponentError("List index out of bounds (" + std::to_string(aIndex) + ")");
  return fPages[std::size_t(aIndex)];
}

void TPageControl::InsertPage(TTabSheet* aPage) {
  fPages.push_back(aPage);
  aPage->fPageControl = this;
  if (fActivePage == nullptr)
    SetActivePage(aPage);
  Realign();
  Invalidate();
}

void TPageControl::RemovePage(TTabSheet* aPage) {
  auto it = std::find(fPages.begin(), fPages.end(), aPage);
  if (it == fPages.end())
    return;
  if (fActivePage == aPage) {
    fActivePage = nullptr;
    if (!fComponentState.Contains(csDestroying)) {
      for (TTabSheet* p : fPages)
        if (p != aPage && p->fTabVisible) {
          SetActivePage(p);
          break;
        }
    }
  }
  fPages.erase(std::find(fPages.begin(), fPages.end(), aPage));
  aPage->fPageControl = nullptr;
  fHotTab = -1;
  Invalidate();
}

int TPageControl::ActivePageIndex() const {
  return fActivePage != nullptr ? fActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int aIndex) {
  SetActivePage(aIndex >= 0 && aIndex < PageCount() ? fPages[std::size_t(aIndex)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* aPage) {
  if (aPage != nullptr && aPage->fPageControl != this)
    return;
  if (aPage == fActivePage)
    return;
  TTabSheet* old = fActivePage;
  fActivePage = aPage;
  if (aPage != nullptr) {
    aPage->BringToFront();
    aPage->SetVisible(true);
  }
  if (old != nullptr)
    old->SetVisible(false);
  Realign();
  Invalidate();
}

int TPageControl::TabCount() const {
  int n = 0;
  for (TTabSheet* p : fPages)
    if (p->fTabVisible)
      ++n;
  return n;
}

TTabSheet* TPageControl::TabSheet(int aTabIndex) const {
  int index = 0;
  for (TTabSheet* p : fPages) {
    if (!p->fTabVisible)
      continue;
    if (index == aTabIndex)
      return p;
    ++index;
  }
  return nullptr;
}

bool TPageControl::SelectNextPage(bool aGoForward) {
  const int n = TabCount();
  if (n == 0)
    return false;
  const int current = fActivePage != nullptr ? fActivePage->TabIndex() : -1;
  int next = current < 0 ? 0 : current + (aGoForward ? 1 : -1);
  if (next < 0 || next >= n)
    return false;
  if (!CanChange())
    return false;
  SetActivePage(TabSheet(next));
  Change();
  return true;
}

void TPageControl::SetStyle(TTabStyle aValue) {
  fStyle = aValue;
  Realign();
  Invalidate();
}

int TPageControl::TabHeight() {
  const int line = FontLineHeight(Font());
  return fStyle == tsTabs ? line + 5 : line + 10;
}

int TPageControl::TabWidth(int aTabIndex) {
  TTabSheet* sheet = TabSheet(aTabIndex);
  if (sheet == nullptr)
    return 0;
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT old = SelectObject(dc, Font().Handle());
  SIZE s;
  GetTextExtentPoint32W(dc, sheet->Caption(), &s);
  SelectObject(dc, old);
  DeleteDC(dc);
  return s.cx + 2 * kTabPadding;
}

TRect TPageControl::TabRect(int aTabIndex) {
  if (aTabIndex < 0 || aTabIndex >= TabCount())
    return {};
  const int h = TabHeight();
  int x = fStyle == tsTabs ? kTabMargin : 0;
  for (int i = 0; i < aTabIndex; ++i)
    x += TabWidth(i) + (fStyle == tsTabs ? 0 : kButtonGap);
  const int y = fStyle == tsTabs ? kTabMargin : 0;
  return Bounds(x, y, TabWidth(aTabIndex), h);
}

int TPageControl::IndexOfTabAt(TPoint aPoint) {
  const int n = TabCount();
  for (int i = 0; i < n; ++i)
    if (TabRect(i).Contains(aPoint))
      return i;
  return -1;
}

TRect TPageControl::DisplayRect() {
  TRect r = ClientRect();
  AdjustClientRect(r);
  return r;
}

void TPageControl::AdjustClientRect(TRect& aRect) const {
  auto* self = const_cast<TPageControl*>(this);
  int top = aRect.Top;
  if (self->TabCount() > 0)
    top += fStyle == tsTabs ? kTabMargin + self->TabHeight() : self->TabHeight();
  aRect = {aRect.Left + kPageInset, top + kPageInset, aRect.Right - kPageInset,
           aRect.Bottom - kPageInset};
  if (aRect.Right < aRect.Left)
    aRect.Right = aRect.Left;
  if (aRect.Bottom < aRect.Top)
    aRect.Bottom = aRect.Top;
}

void TPageControl::AlignControls(TControl* aControl, TRect& aRect) {
  // Every sheet fills the page area; other children align as usual.
  for (TTabSheet* p : fPages)
    p->SetAlignedBounds(aRect);
  TCustomControl::AlignControls(aControl, aRect);
}

bool TPageControl::CanChange() {
  bool allow = true;
  if (OnChanging)
    OnChanging(this, allow);
  return allow;
}

void TPageControl::Change() {
  if (OnChange)
    OnChange(this);
}

void TPageControl::SetHotTab(int aTabIndex) {
  if (aTabIndex == fHotTab)
    return;
  if (fHotTab >= 0)
    InvalidateRect(TabRect(fHotTab));
  fHotTab = aTabIndex;
  if (fHotTab >= 0)
    InvalidateRect(TabRect(fHotTab));
}

bool TPageControl::WantsKey(WORD aKey) const {
  return aKey == VK_LEFT || aKey == VK_RIGHT;
}

void TPageControl::KeyDown(WORD& aKey, TShiftState aShift) {
  TCustomControl::KeyDown(aKey, aShift);
  if (aKey == VK_LEFT || aKey == VK_RIGHT) {
    SelectNextPage(aKey == VK_RIGHT);
    aKey = 0;
  }
}

void TPageControl::MouseDown(TMouseButton aButton, TShiftState aShift, int aX, int aY) {
  if (aButton == mbLeft) {
    const int tab = IndexOfTabAt({aX, aY});
    if (tab >= 0) {
      if (CanFocus() && !Focused())
        SetFocus();
      TTabSheet* sheet = TabSheet(tab);
      if (sheet != fActivePage && CanChange()) {
        SetActivePage(sheet);
        Change();
      }
    }
  }
  TCustomControl::MouseDown(aButton, aShift, aX, aY);
}

void TPageControl::MouseMove(TShiftState aShift, int aX, int aY) {
  if (fHotTrack)
    SetHotTab(IndexOfTabAt({aX, aY}));
  TCustomControl::MouseMove(aShift, aX, aY);
}

void TPageControl::WndProc(TMessage& aMessage) {
  if (aMessage.Msg == CM_MOUSELEAVE)
    SetHotTab(-1);
  if (aMessage.Msg == CM_FONTCHANGED)
    Realign();
  TCustomControl::WndProc(aMessage);
}

TTabState TPageControl::TabState(int aTabIndex) const {
  const TTabSheet* sheet = TabSheet(aTabIndex);
  if (sheet != nullptr && sheet == fActivePage)
    return tabSelected;
  if (sheet != nullptr && !sheet->Enabled())
    return tabDisabled;
  if (fHotTrack && aTabIndex == fHotTab)
    return tabHot;
  return tabNormal;
}

void TPageControl::DrawTab(int aTabIndex, const TRect& aRect, TTabState aState) {
  const bool selected = aState == tabSelected;
  TCanvas& c = Canvas();
  HDC dc = c.Handle();
  TRect r = aRect;
  if (fStyle == tsTabs) {
    // Raised edges on the left, top and right; the face in the button colour.
    c.SetBrushColor(clBtnFace);
    c.FillRect(r);
    RECT edge = r;
    DrawEdge(dc, &edge, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
  } else if (fStyle == tsButtons) {
    RECT face = r;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (selected ? DFCS_PUSHED : 0));
  } else {
    c.SetBrushColor(clBtnFace);
    c.FillRect(r);
    if (selected) {
      RECT edge = r;
      DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
    }
  }
  TTabSheet* sheet = TabSheet(aTabIndex);
  TRect text = r;
  if (fStyle != tsTabs && selected)
    text = text.Offset(1, 1);
  // The selected tab of a disabled page keeps the disabled text colour.
  TColor color = Font().Color();
  if (sheet != nullptr && !sheet->Enabled())
    color = clGrayText;
  else if (aState == tabHot)
    color = 0x8000001A; // the hot-tracking system colour
  const TColor saved = c.Font().Color();
  c.Font().SetColor(color);
  c.TextRect(text, sheet != nullptr ? sheet->Caption() : std::string(),
             DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  c.Font().SetColor(saved);
  if (selected && Focused() && sheet != nullptr && !sheet->Caption().empty()) {
    const TSize s = c.TextExtent(sheet->Caption());
    const int left = r.Left + (r.Width() - s.cx) / 2;
    const int top = r.Top + (r.Height() - s.cy) / 2;
    c.DrawFocusRect({left - 2, top - 1, left + s.cx + 2, top + s.cy + 1});
  }
}

void TPageControl::Paint() {
  TCanvas& c = Canvas();
  const TRect client = ClientRect();
  c.SetBrushColor(Color());
  c.FillRect(client);
  const int n = TabCount();
  const int active = fActivePage != nullptr ? fActivePage->TabIndex() : -1;
  if (fStyle == tsTabs) {
    // The body: a raised frame under the tab row.
    RECT body{client.Left, n > 0 ? kTabMargin + TabHeight() : client.Top, client.Right,
              client.Bottom};
    DrawEdge(c.Handle(), &body, EDGE_RAISED, BF_RECT);
    for (int i = 0; i < n; ++i)
      if (i != active)
        DrawTab(i, TabRect(i), TabState(i));
    if (active >= 0) {
      // The selected tab grows over its neighbours and the body's top line.
      const TRect r = TabRect(active);
      DrawTab(active, {r.Left - 2, r.Top - 2, r.Right + 2, r.Bottom + 1}, tabSelected);
    }
  } else {
    for (int i = 0; i < n; ++i)
      DrawTab(i, TabRect(i), TabState(i));
  }
}
