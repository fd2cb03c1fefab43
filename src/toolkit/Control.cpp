#include "toolkit/Control.h"

#include "toolkit/WinControl.h"

#include <algorithm>

namespace {

// Button and modifier bits of a mouse message's WParam.
constexpr platform::UINT kMkLButton = 0x0001;
constexpr platform::UINT kMkRButton = 0x0002;
constexpr platform::UINT kMkShift = 0x0004;
constexpr platform::UINT kMkControl = 0x0008;
constexpr platform::UINT kMkMButton = 0x0010;

constexpr platform::UINT kWmMouseMove = 0x0200;
constexpr platform::UINT kWmLButtonDown = 0x0201;
constexpr platform::UINT kWmLButtonUp = 0x0202;
constexpr platform::UINT kWmLButtonDblClk = 0x0203;
constexpr platform::UINT kWmRButtonDown = 0x0204;
constexpr platform::UINT kWmRButtonUp = 0x0205;
constexpr platform::UINT kWmMButtonDown = 0x0207;
constexpr platform::UINT kWmMButtonUp = 0x0208;

TShiftState KeysToShiftState(platform::UINT aKeys) {
  TShiftState s;
  if (aKeys & kMkLButton)
    s.Include(ssLeft);
  if (aKeys & kMkRButton)
    s.Include(ssRight);
  if (aKeys & kMkMButton)
    s.Include(ssMiddle);
  if (aKeys & kMkShift)
    s.Include(ssShift);
  if (aKeys & kMkControl)
    s.Include(ssCtrl);
  return s;
}

} // namespace

TControl::TControl(TComponent* aOwner) : TComponent(aOwner) {
  WindowProc = [this](TMessage& aMessage) { WndProc(aMessage); };
  fFont.OnChange = [this](TObject* aSender) { FontChanged(aSender); };
}

TControl::~TControl() {
  Destroying();
  if (fParent != nullptr)
    fParent->RemoveControl(this);
}

TWinControl* TControl::AsWindowed() {
  return IsWindowed() ? static_cast<TWinControl*>(this) : nullptr;
}

void TControl::SetParent(TWinControl* aParent) {
  if (aParent == fParent)
    return;
  if (aParent == this)
    throw EComponentError("A control cannot have itself as its parent");
  if (fParent != nullptr)
    fParent->RemoveControl(this);
  if (aParent != nullptr)
    aParent->InsertControl(this);
}

void TControl::SetBounds(int aLeft, int aTop, int aWidth, int aHeight) {
  aWidth = std::max(aWidth, 0);
  aHeight = std::max(aHeight, 0);
  if (aLeft == fLeft && aTop == fTop && aWidth == fWidth && aHeight == fHeight)
    return;
  const TRect old = BoundsRect();
  fLeft = aLeft;
  fTop = aTop;
  fWidth = aWidth;
  fHeight = aHeight;
  if (fParent == nullptr || !fParent->ControlState().Contains(csAligning))
    UpdateAnchorRules();
  // A windowless control leaves its old place and paints at its new one.
  if (fParent != nullptr && fVisible && !IsWindowed()) {
    fParent->InvalidateRect(old);
    fParent->InvalidateRect(BoundsRect());
  }
  BoundsChanged();
  if (fAlign != alNone)
    RequestAlign();
}

void TControl::SetBoundsRect(const TRect& aRect) {
  SetBounds(aRect.Left, aRect.Top, aRect.Width(), aRect.Height());
}

void TControl::SetAlignedBounds(const TRect& aRect) {
  SetBounds(aRect.Left, aRect.Top, aRect.Width(), aRect.Height());
}

TRect TControl::ClientRect() const {
  return {0, 0, fWidth, fHeight};
}

void TControl::SetClientSize(int aWidth, int aHeight) {
  const TRect client = ClientRect();
  SetBounds(fLeft, fTop, fWidth - client.Width() + aWidth, fHeight - client.Height() + aHeight);
}

TPoint TControl::ClientOrigin() const {
  if (fParent == nullptr)
    return {fLeft, fTop};
  const TPoint p = fParent->ClientOrigin();
  return {p.X + fLeft, p.Y + fTop};
}

TPoint TControl::ClientToScreen(TPoint aPoint) const {
  const TPoint o = ClientOrigin();
  return {aPoint.X + o.X, aPoint.Y + o.Y};
}

TPoint TControl::ScreenToClient(TPoint aPoint) const {
  const TPoint o = ClientOrigin();
  return {aPoint.X - o.X, aPoint.Y - o.Y};
}

void TControl::SetAlign(TAlign aAlign) {
  if (aAlign == fAlign)
    return;
  const TAlign old = fAlign;
  fAlign = aAlign;
  // An aligned control follows the parent on every side it touches.
  switch (aAlign) {
  case alTop:
    fAnchors = {akLeft, akTop, akRight};
    break;
  case alBottom:
    fAnchors = {akLeft, akRight, akBottom};
    break;
  case alLeft:
    fAnchors = {akLeft, akTop, akBottom};
    break;
  case alRight:
    fAnchors = {akRight, akTop, akBottom};
    break;
  case alClient:
    fAnchors = {akLeft, akTop, akRight, akBottom};
    break;
  case alNone:
    if (old != alNone)
      fAnchors = {akLeft, akTop};
    break;
  }
  RequestAlign();
}

void TControl::SetAnchors(const TAnchors& aAnchors) {
  fAnchors = aAnchors;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (fComponentState.Contains(csLoading))
    return;
  fAnchorRect = BoundsRect();
  if (fParent != nullptr) {
    const TRect c = fParent->ClientRect();
    fAnchorParentSize = {c.Width(), c.Height()};
  } else {
    fAnchorParentSize = {};
  }
}

void TControl::RequestAlign() {
  if (fParent != nullptr)
    fParent->AlignControl(this);
}

void TControl::SetVisible(bool aVisible) {
  if (aVisible == fVisible)
    return;
  fVisible = aVisible;
  Perform(CM_VISIBLECHANGED, aVisible ? 1 : 0);
  RequestAlign();
}

bool TControl::Showing() const {
  return fVisible && fParent != nullptr && fParent->Showing();
}

void TControl::SetEnabled(bool aEnabled) {
  if (aEnabled == fEnabled)
    return;
  fEnabled = aEnabled;
  Perform(CM_ENABLEDCHANGED, aEnabled ? 1 : 0);
}

void TControl::SetText(const std::string& aText) {
  if (aText == fText)
    return;
  fText = aText;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetParentFont(bool aValue) {
  if (aValue == fParentFont)
    return;
  fParentFont = aValue;
  if (aValue && fParent != nullptr && !fComponentState.Contains(csReading))
    Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontChanged(TObject*) {
  if (!fSettingParentFont)
    fParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetColor(TColor aColor) {
  if (aColor == fColor && !fParentColor)
    return;
  fColor = aColor;
  fParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool aValue) {
  if (aValue == fParentColor)
    return;
  fParentColor = aValue;
  if (aValue && fParent != nullptr && !fComponentState.Contains(csReading))
    Perform(CM_PARENTCOLORCHANGED);
}

platform::LRESULT TControl::Perform(platform::UINT aMsg, platform::WPARAM aWParam,
                                    platform::LPARAM aLParam) {
  TMessage m{aMsg, aWParam, aLParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case kWmMouseMove:
  case kWmLButtonDown:
  case kWmLButtonUp:
  case kWmLButtonDblClk:
  case kWmRButtonDown:
  case kWmRButtonUp:
  case kWmMButtonDown:
  case kWmMButtonUp:
    WMMouse(aMessage);
    break;
  case CM_ENABLEDCHANGED:
    CMEnabledChanged(aMessage);
    break;
  case CM_VISIBLECHANGED:
    CMVisibleChanged(aMessage);
    break;
  case CM_FONTCHANGED:
    CMFontChanged(aMessage);
    break;
  case CM_COLORCHANGED:
    CMColorChanged(aMessage);
    break;
  case CM_TEXTCHANGED:
    CMTextChanged(aMessage);
    break;
  case CM_PARENTFONTCHANGED:
    CMParentFontChanged(aMessage);
    break;
  case CM_PARENTCOLORCHANGED:
    CMParentColorChanged(aMessage);
    break;
  case CM_MOUSEENTER:
    CMMouseEnter(aMessage);
    break;
  case CM_MOUSELEAVE:
    CMMouseLeave(aMessage);
    break;
  default:
    DefaultHandler(aMessage);
    break;
  }
}

void TControl::DefaultHandler(TMessage&) {}

void TControl::WMMouse(TMessage& aMessage) {
  const TWMMouse m(aMessage);
  const TShiftState shift = KeysToShiftState(m.Keys);
  switch (aMessage.Msg) {
  case kWmMouseMove:
    MouseMove(shift, m.X, m.Y);
    break;
  case kWmLButtonDown:
  case kWmLButtonDblClk:
    if (fControlStyle.Contains(csClickEvents))
      fControlState.Include(csClicked);
    fControlState.Include(csLButtonDown);
    if (aMessage.Msg == kWmLButtonDblClk && fControlStyle.Contains(csDoubleClicks)) {
      if (OnDblClick)
        OnDblClick(this);
    }
    MouseDown(mbLeft,
              aMessage.Msg == kWmLButtonDblClk ? TShiftState(shift).Include(ssDouble) : shift, m.X,
              m.Y);
    break;
  case kWmLButtonUp:
    fControlState.Exclude(csLButtonDown);
    if (fControlState.Contains(csClicked)) {
      fControlState.Exclude(csClicked);
      if (ClientRect().Contains(m.Pos()))
        Click();
    }
    MouseUp(mbLeft, shift, m.X, m.Y);
    break;
  case kWmRButtonDown:
    MouseDown(mbRight, shift, m.X, m.Y);
    break;
  case kWmRButtonUp:
    MouseUp(mbRight, shift, m.X, m.Y);
    break;
  case kWmMButtonDown:
    MouseDown(mbMiddle, shift, m.X, m.Y);
    break;
  case kWmMButtonUp:
    MouseUp(mbMiddle, shift, m.X, m.Y);
    break;
  default:
    break;
  }
  DefaultHandler(aMessage);
}

void TControl::MouseDown(TMouseButton aButton, TShiftState aShift, int aX, int aY) {
  if (OnMouseDown)
    OnMouseDown(this, aButton, aShift, aX, aY);
}

void TControl::MouseUp(TMouseButton aButton, TShiftState aShift, int aX, int aY) {
  if (OnMouseUp)
    OnMouseUp(this, aButton, aShift, aX, aY);
}

void TControl::MouseMove(TShiftState aShift, int aX, int aY) {
  if (OnMouseMove)
    OnMouseMove(this, aShift, aX, aY);
}

void TControl::Click() {
  if (OnClick)
    OnClick(this);
}

void TControl::CMEnabledChanged(TMessage& aMessage) {
  Invalidate();
  DefaultHandler(aMessage);
}

void TControl::CMVisibleChanged(TMessage& aMessage) {
  if (fParent != nullptr)
    fParent->InvalidateRect(BoundsRect());
  DefaultHandler(aMessage);
}

void TControl::CMFontChanged(TMessage& aMessage) {
  Invalidate();
  DefaultHandler(aMessage);
}

void TControl::CMColorChanged(TMessage& aMessage) {
  Invalidate();
  DefaultHandler(aMessage);
}

void TControl::CMTextChanged(TMessage& aMessage) {
  Invalidate();
  DefaultHandler(aMessage);
}

void TControl::CMParentFontChanged(TMessage& aMessage) {
  if (fParentFont && fParent != nullptr) {
    fSettingParentFont = true;
    fFont.Assign(fParent->Font());
    fSettingParentFont = false;
  }
  DefaultHandler(aMessage);
}

void TControl::CMParentColorChanged(TMessage& aMessage) {
  if (fParentColor && fParent != nullptr && fColor != fParent->Color()) {
    fColor = fParent->Color();
    Perform(CM_COLORCHANGED);
  }
  DefaultHandler(aMessage);
}

void TControl::CMMouseEnter(TMessage& aMessage) {
  if (OnMouseEnter)
    OnMouseEnter(this);
  DefaultHandler(aMessage);
}

void TControl::CMMouseLeave(TMessage& aMessage) {
  if (OnMouseLeave)
    OnMouseLeave(this);
  DefaultHandler(aMessage);
}

void TControl::Invalidate() {
  if (fParent != nullptr && fVisible)
    fParent->InvalidateRect(BoundsRect());
}

void TControl::Update() {
  if (fParent != nullptr)
    fParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (fParent != nullptr)
    fParent->SetChildOrder(this, fParent->ControlCount() - 1);
}

void TControl::SendToBack() {
  if (fParent != nullptr)
    fParent->SetChildOrder(this, 0);
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateAnchorRules();
}
