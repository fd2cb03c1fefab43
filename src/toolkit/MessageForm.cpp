#include "toolkit/MessageForm.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Drawing.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/SystemColors.h"
#include "platform/gfx/Text.h"
#include "platform/gfx/TextLayout.h"
#include "platform/win/WindowGeometry.h"

#include <algorithm>

using namespace platform;

namespace {

constexpr int kMargin = 11;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 6;
constexpr int kTextMaxWidth = 400;

struct TButtonChoice {
  const char* Caption;
  TModalResult Result;
};

std::vector<TButtonChoice> ButtonsFor(UINT aFlags) {
  switch (aFlags & MB_TYPEMASK) {
  case MB_OKCANCEL:
    return {{"OK", mrOk}, {"Abbrechen", mrCancel}};
  case MB_ABORTRETRYIGNORE:
    return {{"Abbrechen", mrAbort}, {"Wiederholen", mrRetry}, {"Ignorieren", mrIgnore}};
  case MB_YESNOCANCEL:
    return {{"Ja", mrYes}, {"Nein", mrNo}, {"Abbrechen", mrCancel}};
  case MB_YESNO:
    return {{"Ja", mrYes}, {"Nein", mrNo}};
  case MB_RETRYCANCEL:
    return {{"Wiederholen", mrRetry}, {"Abbrechen", mrCancel}};
  default:
    return {{"OK", mrOk}};
  }
}

int ButtonRowWidth(std::size_t aCount) {
  return int(aCount) * kButtonWidth + (int(aCount) - 1) * kButtonGap;
}

struct TMessageExtent {
  SIZE Text;
  SIZE Caption;
};

// The text broken into lines no wider than kTextMaxWidth in aFont, and the
// caption in the title bar's font.
TMessageExtent MeasureMessage(HFONT aFont, const std::string& aText, const std::string& aCaption) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr)
    throw EComponentError("Cannot measure the message text");
  HFONT old = SelectObject(dc, aFont);
  RECT calc{0, 0, kTextMaxWidth, 0};
  DrawTextW(dc, aText.empty() ? std::string_view(" ") : std::string_view(aText), &calc,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, GetNonClientFont(NonClientFont::Caption));
  TMessageExtent extent{{calc.Width(), calc.Height()}, {}};
  GetTextExtentPoint32W(dc, aCaption, &extent.Caption);
  SelectObject(dc, old);
  DeleteDC(dc);
  return extent;
}

} // namespace

TMessageIcon::TMessageIcon(TComponent* aOwner) : TGraphicControl(aOwner) {
  SetBounds(0, 0, IconSize, IconSize);
}

void TMessageIcon::Paint() {
  // A disc of radius 15 around (15.5, 15.5), red with a dark rim, and a
  // white cross of two 3-pixel-wide diagonals.
  TCanvas& c = Canvas();
  const double centre = (IconSize - 1) / 2.0;
  for (int y = 0; y < IconSize; ++y) {
    for (int x = 0; x < IconSize; ++x) {
      const double dx = x - centre;
      const double dy = y - centre;
      const double d2 = dx * dx + dy * dy;
      if (d2 > 15.5 * 15.5)
        continue;
      TColor color = d2 > 14.5 * 14.5 ? RGB(128, 0, 0) : RGB(255, 0, 0);
      const bool inCross = std::abs(dx) <= 8 && std::abs(dy) <= 8 &&
                           (std::abs(dx - dy) <= 1.5 || std::abs(dx + dy) <= 1.5);
      if (inCross)
        color = RGB(255, 255, 255);
      SetPixel(c.Handle(), x, y, color);
    }
  }
}

TMessageForm::TMessageForm(TComponent* aOwner, const std::string& aText,
                           const std::string& aCaption, UINT aFlags)
    : TForm(aOwner), fMessage(aText) {
  ControlStateRef().Include(csCustomPaint);
  SetBorderStyle(bsDialog);
  SetBorderIcons({biSystemMenu});
  SetPosition(poMainFormCenter);
  SetCaption(aCaption);
  if ((aFlags & MB_ICONMASK) == MB_ICONHAND)
    fIcon = miError;
  const TMessageExtent extent = MeasureMessage(Font().Handle(), aText, aCaption);
  int textLeft = kMargin;
  int textTop = kMargin;
  int contentBottom = kMargin;
  if (fIcon != miNone) {
    auto* icon = new TMessageIcon(this);
    icon->SetParent(this);
    icon->SetBounds(kMargin, kMargin, TMessageIcon::IconSize, TMessageIcon::IconSize);
    textLeft += TMessageIcon::IconSize + kMargin;
    contentBottom = kMargin + TMessageIcon::IconSize;
    // A text lower than the icon stands centred beside it.
    if (extent.Text.cy < TMessageIcon::IconSize)
      textTop += (TMessageIcon::IconSize - extent.Text.cy) / 2;
  }
  fTextRect = Bounds(textLeft, textTop, extent.Text.cx, extent.Text.cy);
  contentBottom = std::max(contentBottom, fTextRect.Bottom);

  const int buttonsWidth = ButtonRowWidth(ButtonsFor(aFlags).size());
  // The caption fits beside the close button.
  const int captionWidth = extent.Caption.cx + GetSystemMetrics(SM_CXSIZE) + 2 * kMargin;
  const int clientWidth =
      std::max({fTextRect.Right + kMargin, buttonsWidth + 2 * kMargin, captionWidth});
  const int buttonTop = contentBottom + 14;
  SetClientSize(clientWidth, buttonTop + kButtonHeight + kMargin);
  AddButtons(aFlags, (clientWidth - buttonsWidth) / 2, buttonTop);
  SetActiveControl(fButtons.front());
}

void TMessageForm::AddButtons(UINT aFlags, int aLeft, int aTop) {
  const std::vector<TButtonChoice> choices = ButtonsFor(aFlags);
  bool hasCancel = false;
  for (const TButtonChoice& choice : choices)
    hasCancel = hasCancel || choice.Result == mrCancel || choice.Result == mrNo;
  int x = aLeft;
  for (std::size_t i = 0; i < choices.size(); ++i) {
    auto* b = new TButton(this);
    b->SetParent(this);
    b->SetCaption(choices[i].Caption);
    b->SetModalResult(choices[i].Result);
    b->SetBounds(x, aTop, kButtonWidth, kButtonHeight);
    b->SetTabOrder(int(i));
    // Escape answers Cancel (or No); a box without one closes with its
    // only answer.
    if (choices[i].Result == mrCancel || (!hasCancel && choices.size() == 1) ||
        (choices[i].Result == mrNo && (aFlags & MB_TYPEMASK) == MB_YESNO))
      b->SetCancel(true);
    if (i == 0)
      b->SetDefault(true);
    fButtons.push_back(b);
    x += kButtonWidth + kButtonGap;
  }
}

void TMessageForm::PaintWindow(HDC aDC) {
  TCanvas canvas;
  canvas.SetHandle(aDC);
  canvas.Font().Assign(Font());
  Paint(canvas);
}

void TMessageForm::Paint(TCanvas& aCanvas) {
  TRect r = fTextRect;
  aCanvas.TextRect(r, fMessage, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
}

int ShowMessageForm(const std::string& aText, const std::string& aCaption, UINT aFlags) {
  auto* form = TComponent::Create<TMessageForm>(Application, aText, aCaption, aFlags);
  TModalResult result = mrCancel;
  try {
    result = form->ShowModal();
  } catch (...) {
    TComponent::Free(form);
    throw;
  }
  TComponent::Free(form);
  return result;
}
