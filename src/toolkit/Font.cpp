#include "toolkit/Font.h"

#include "platform/gfx/Font.h"

#include <cmath>

TFont::~TFont() {
  if (fHandle != nullptr)
    platform::DeleteObject(fHandle);
}

platform::HFONT TFont::Handle() const {
  if (fHandle == nullptr) {
    platform::LOGFONTW lf;
    lf.lfHeight = fHeight;
    lf.lfWeight = fStyle.Contains(fsBold) ? platform::FW_BOLD : platform::FW_NORMAL;
    lf.lfItalic = fStyle.Contains(fsItalic) ? 1 : 0;
    lf.lfUnderline = fStyle.Contains(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = fStyle.Contains(fsStrikeOut) ? 1 : 0;
    lf.lfFaceName = fName;
    fHandle = platform::CreateFontIndirectW(&lf);
  }
  return fHandle;
}

void TFont::SetName(const std::string& aName) {
  if (aName == fName)
    return;
  fName = aName;
  Changed();
}

void TFont::SetHeight(int aHeight) {
  if (aHeight == fHeight)
    return;
  fHeight = aHeight;
  Changed();
}

int TFont::Size() const {
  return int(std::lround(-fHeight * 72.0 / ScreenPixelsPerInch));
}

void TFont::SetSize(int aPoints) {
  SetHeight(-int(std::lround(aPoints * double(ScreenPixelsPerInch) / 72.0)));
}

void TFont::SetStyle(const TFontStyles& aStyle) {
  if (aStyle == fStyle)
    return;
  fStyle = aStyle;
  Changed();
}

void TFont::SetColor(TColor aColor) {
  if (aColor == fColor)
    return;
  fColor = aColor;
  Changed();
}

bool TFont::SameAs(const TFont& aOther) const {
  return fName == aOther.fName && fHeight == aOther.fHeight && fStyle == aOther.fStyle &&
         fColor == aOther.fColor;
}

void TFont::Assign(const TFont& aSource) {
  if (SameAs(aSource))
    return;
  fName = aSource.fName;
  fHeight = aSource.fHeight;
  fStyle = aSource.fStyle;
  fColor = aSource.fColor;
  Changed();
}

void TFont::Changed() {
  if (fHandle != nullptr) {
    platform::DeleteObject(fHandle);
    fHandle = nullptr;
  }
  if (OnChange)
    OnChange(this);
}
