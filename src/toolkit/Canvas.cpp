#include "toolkit/Canvas.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Text.h"

using namespace platform;

void TCanvas::FillRect(const TRect& aRect) {
  FillSolidRect(fDC, &aRect, fBrushColor);
}

void TCanvas::FrameRect(const TRect& aRect) {
  HBRUSH brush = CreateSolidBrush(fPenColor);
  platform::FrameRect(fDC, &aRect, brush);
  DeleteObject(brush);
}

void TCanvas::MoveTo(int aX, int aY) {
  MoveToEx(fDC, aX, aY, nullptr);
}

void TCanvas::LineTo(int aX, int aY) {
  HPEN pen = CreatePen(PS_SOLID, 1, fPenColor);
  HPEN old = SelectObject(fDC, pen);
  platform::LineTo(fDC, aX, aY);
  SelectObject(fDC, old);
  DeleteObject(pen);
}

void TCanvas::DrawFocusRect(const TRect& aRect) {
  platform::DrawFocusRect(fDC, &aRect);
}

HFONT TCanvas::PrepareText() {
  SetTextColor(fDC, fFont.Color());
  SetBkMode(fDC, TRANSPARENT);
  return SelectObject(fDC, fFont.Handle());
}

void TCanvas::TextOut(int aX, int aY, std::string_view aText) {
  HFONT old = PrepareText();
  TextOutW(fDC, aX, aY, aText);
  SelectObject(fDC, old);
}

int TCanvas::TextRect(TRect& aRect, std::string_view aText, UINT aFormat) {
  HFONT old = PrepareText();
  const int h = DrawTextW(fDC, aText, &aRect, aFormat);
  SelectObject(fDC, old);
  return h;
}

TSize TCanvas::TextExtent(std::string_view aText) {
  HFONT old = SelectObject(fDC, fFont.Handle());
  SIZE s;
  GetTextExtentPoint32W(fDC, aText, &s);
  SelectObject(fDC, old);
  return s;
}
