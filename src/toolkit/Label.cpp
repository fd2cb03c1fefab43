#include "toolkit/Label.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Drawing.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Text.h"
#include "platform/gfx/TextLayout.h"

#include <cctype>

using namespace platform;

TLabel::TLabel(TComponent* aOwner) : TGraphicControl(aOwner) {
  ControlStyleRef().Include(csOpaque).Exclude(csCaptureMouse);
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
}

TLabel::~TLabel() {
  if (fFocusControl != nullptr)
    fFocusControl->RemoveFreeNotification(this);
}

void TLabel::Notification(TComponent* aComponent, TOperation aOperation) {
  TGraphicControl::Notification(aComponent, aOperation);
  if (aOperation == opRemove && aComponent == fFocusControl)
    fFocusControl = nullptr;
}

void TLabel::SetFocusControl(TWinControl* aControl) {
  if (fFocusControl != nullptr)
    fFocusControl->RemoveFreeNotification(this);
  fFocusControl = aControl;
  if (aControl != nullptr)
    aControl->FreeNotification(this);
}

void TLabel::SetAlignment(TAlignment aValue) {
  fAlignment = aValue;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout aValue) {
  fLayout = aValue;
  Invalidate();
}

void TLabel::SetAutoSize(bool aValue) {
  fAutoSize = aValue;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool aValue) {
  fWordWrap = aValue;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool aValue) {
  fTransparent = aValue;
  if (aValue)
    ControlStyleRef().Exclude(csOpaque);
  else
    ControlStyleRef().Include(csOpaque);
  Invalidate();
}

void TLabel::SetShowAccelChar(bool aValue) {
  fShowAccelChar = aValue;
  AdjustBounds();
  Invalidate();
}

UINT TLabel::TextFormat() const {
  UINT format = DT_EXPANDTABS | AlignmentFormat(fAlignment);
  if (fWordWrap)
    format |= DT_WORDBREAK;
  if (!fShowAccelChar)
    format |= DT_NOPREFIX;
  return format;
}

TSize TLabel::TextSize() {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT old = SelectObject(dc, Font().Handle());
  RECT r{0, 0, fWordWrap ? Width() : 0, 0};
  DrawTextW(dc, Caption().empty() ? std::string_view(" ") : std::string_view(Caption()), &r,
            TextFormat() | DT_CALCRECT);
  SelectObject(dc, old);
  DeleteDC(dc);
  return {Caption().empty() ? 0 : r.Width(), r.Height()};
}

void TLabel::AdjustBounds() {
  if (!fAutoSize || fComponentState.Contains(csLoading))
    return;
  const TSize s = TextSize();
  int left = Left();
  if (fAlignment == taRightJustify)
    left += Width() - s.cx;
  else if (fAlignment == taCenter)
    left += (Width() - s.cx) / 2;
  SetBounds(left, Top(), fWordWrap ? Width() : s.cx, s.cy);
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::PlaceLeftOf(TControl* aControl, int aSpacing) {
  if (aControl == nullptr)
    return;
  SetParent(aControl->Parent());
  SetBounds(aControl->Left() - Width() - aSpacing,
            aControl->Top() + (aControl->Height() - Height()) / 2, Width(), Height());
  SetVisible(aControl->Visible());
}

void TLabel::Paint() {
  TCanvas& c = Canvas();
  const TRect client = ClientRect();
  if (!fTransparent) {
    c.SetBrushColor(Color());
    c.FillRect(client);
  }
  if (Caption().empty())
    return;
  TRect r = client;
  UINT format = TextFormat();
  if (fLayout != tlTop) {
    // Text height first, then the offset that puts it in the middle or at the bottom.
    TRect calc = client;
    c.TextRect(calc, Caption(), format | DT_CALCRECT);
    const int offset = client.Height() - calc.Height();
    r.Top += fLayout == tlCenter ? offset / 2 : offset;
  }
  if (Enabled()) {
    c.TextRect(r, Caption(), format);
  } else {
    // Disabled text is embossed: a light copy one pixel down-right under it.
    const TColor color = c.Font().Color();
    TRect light = r.Offset(1, 1);
    c.Font().SetColor(clBtnHighlight);
    c.TextRect(light, Caption(), format);
    c.Font().SetColor(clBtnShadow);
    c.TextRect(r, Caption(), format);
    c.Font().SetColor(color);
  }
}

void TLabel::WndProc(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case CM_TEXTCHANGED:
  case CM_FONTCHANGED:
    AdjustBounds();
    break;
  case CM_DIALOGCHAR:
    // The accelerator: '&' before the character in the caption.
    if (fFocusControl != nullptr && fShowAccelChar && Enabled() && aMessage.WParam < 0x80) {
      const std::string& text = Caption();
      const char key = char(std::tolower(int(aMessage.WParam)));
      for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
          continue;
        if (text[i + 1] == '&') {
          ++i;
          continue;
        }
        if (char(std::tolower(static_cast<unsigned char>(text[i + 1]))) == key) {
          if (fFocusControl->CanFocus())
            fFocusControl->SetFocus();
          aMessage.Result = 1;
          return;
        }
        break;
      }
    }
    break;
  default:
    break;
  }
  TGraphicControl::WndProc(aMessage);
}
