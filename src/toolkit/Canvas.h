#pragma once
// A drawing surface over a device context: the brush and pen colours and
// the font that the painting code of the controls uses. The canvas does not
// own the device context; it selects its font into it while drawing text.

#include "platform/gfx/DeviceContext.h"
#include "toolkit/Font.h"

#include <string>
#include <string_view>

class TCanvas {
public:
  TCanvas() = default;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  platform::HDC Handle() const { return fDC; }
  void SetHandle(platform::HDC aDC) { fDC = aDC; }

  TFont& Font() { return fFont; }
  // Colour of FillRect (system colours allowed).
  TColor BrushColor() const { return fBrushColor; }
  void SetBrushColor(TColor aColor) { fBrushColor = aColor; }
  // Colour of lines and frames.
  TColor PenColor() const { return fPenColor; }
  void SetPenColor(TColor aColor) { fPenColor = aColor; }

  void FillRect(const TRect& aRect);
  void FrameRect(const TRect& aRect);
  void MoveTo(int aX, int aY);
  void LineTo(int aX, int aY);
  void DrawFocusRect(const TRect& aRect);
  // Text in the font's colour with a transparent background.
  void TextOut(int aX, int aY, std::string_view aText);
  // Formatted text (DT_* flags) inside aRect; returns the text height.
  int TextRect(TRect& aRect, std::string_view aText, platform::UINT aFormat);
  TSize TextExtent(std::string_view aText);
  int TextWidth(std::string_view aText) { return TextExtent(aText).cx; }
  int TextHeight(std::string_view aText) { return TextExtent(aText).cy; }

private:
  // Selects the font and colour for text; returns the previous font.
  platform::HFONT PrepareText();

  platform::HDC fDC = nullptr;
  TFont fFont;
  TColor fBrushColor = clWhite;
  TColor fPenColor = clBlack;
};
