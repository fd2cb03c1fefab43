#pragma once
// Colour names of the toolkit and the font description that controls carry.

#include "platform/Types.h"
#include "platform/gfx/GdiObjects.h"
#include "toolkit/Component.h"
#include "toolkit/Sets.h"

#include <string>

// System colours: the top bit set, the low byte the platform's colour index.
inline constexpr TColor clScrollBar = 0x80000000;
inline constexpr TColor clBackground = 0x80000001;
inline constexpr TColor clActiveCaption = 0x80000002;
inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clWindowFrame = 0x80000006;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clCaptionText = 0x80000009;
inline constexpr TColor clHighlight = 0x8000000D;
inline constexpr TColor clHighlightText = 0x8000000E;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnShadow = 0x80000010;
inline constexpr TColor clGrayText = 0x80000011;
inline constexpr TColor clBtnText = 0x80000012;
inline constexpr TColor clBtnHighlight = 0x80000014;
inline constexpr TColor cl3DDkShadow = 0x80000015;
inline constexpr TColor cl3DLight = 0x80000016;
inline constexpr TColor clInfoText = 0x80000017;
inline constexpr TColor clInfoBk = 0x80000018;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clGreen = 0x008000;

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
using enum TFontStyle;

// Pixels per logical inch the toolkit assumes when converting points.
inline constexpr int ScreenPixelsPerInch = 96;

class TFont : public TObject {
public:
  TFont() = default;
  ~TFont() override;

  std::string ClassName() const override { return "TFont"; }

  const std::string& Name() const { return fName; }
  void SetName(const std::string& aName);
  // Pixel height; negative values give the character height, as the platform.
  int Height() const { return fHeight; }
  void SetHeight(int aHeight);
  // Points at ScreenPixelsPerInch: Size = -Height * 72 / 96, rounded.
  int Size() const;
  void SetSize(int aPoints);
  const TFontStyles& Style() const { return fStyle; }
  void SetStyle(const TFontStyles& aStyle);
  TColor Color() const { return fColor; }
  void SetColor(TColor aColor);

  // Copies every attribute; one OnChange when anything differs.
  void Assign(const TFont& aSource);
  bool SameAs(const TFont& aOther) const;

  // The platform font for these attributes, made on first use and kept until
  // an attribute changes; nullptr when no face can be loaded.
  platform::HFONT Handle() const;

  // Called after any attribute changed.
  TNotifyEvent OnChange;

private:
  void Changed();

  std::string fName = "Tahoma";
  int fHeight = -11;
  TFontStyles fStyle;
  TColor fColor = clWindowText;
  mutable platform::HFONT fHandle = nullptr;
};
