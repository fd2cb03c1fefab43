#pragma once
// The tables a loaded skin consists of: sections (gd), images (ma), large
// patterns (pa), skin-wide values, the palette, the outer effects and the cached
// indexes of often-used sections and images. Plain data with defaults.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// A failed skin load; the text is the one shown to the user.
class ESkinError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A text that should have been an integer ("'abc' is not a valid integer value").
class EConvertError : public ESkinError {
public:
  using ESkinError::ESkinError;
};

// One gradient record of a GRADIENTDATA value.
struct TsGradPie {
  TColor Color1 = 0;
  TColor Color2 = 0;
  std::uint8_t Percent = 0;
  int Mode1 = 0;
  int Mode2 = 0;
  friend bool operator==(const TsGradPie&, const TsGradPie&) = default;
};
using TsGradArray = std::vector<TsGradPie>;

// Text colour and the four contour colours; -1 (as TColor 0xFFFFFFFF) is none.
struct TsFontColor {
  int Color = 0;
  int Left = -1;
  int Top = -1;
  int Right = -1;
  int Bottom = -1;
  friend bool operator==(const TsFontColor&, const TsFontColor&) = default;
};

// The values of one visual state of a section.
struct TsGenState {
  int Color = 0;
  TsFontColor FontColor;
  int GradientPercent = 0;
  std::string GradientData;
  TsGradArray GradientArray;
  int ImagePercent = 0;
  int TextureIndex = 0;
  int GlowColor = 0;
  int GlowSize = 0;
  int Transparency = 0;
  friend bool operator==(const TsGenState&, const TsGenState&) = default;
};

// One options-file section. Its colours, gradients, textures, glow and
// transparency are held only in Props, per state.
struct TsGeneralData {
  std::string ParentClass;
  std::string ClassName;
  int States = 0;
  std::array<TsGenState, 2> Props; // 0 normal, 1 hot
  bool GiveOwnFont = false;
  bool ReservedBoolean = false;
  int GlowCount = 0;
  int GlowMargin = 0;
  int BorderIndex = 0;
  int ImgTL = 0;
  int ImgTR = 0;
  int ImgBL = 0;
  int ImgBR = 0;
  int TextureNormal = 0;
  bool FadingEnabled = false;
  int FadingIterations = 0;
  int OuterMode = 0;
  TRect OuterOffset;
  int OuterMask = 0;
  int OuterOpacity = 0;
};
using TsGeneralDataArray = std::vector<TsGeneralData>;

enum class TqcImgType { itisaBorder, itisaTexture, itisaGlyph, itisaGlow, itisaPngGlyph };

class TsSkinManager;

// One image reference: a piece of the master image or an image of its own.
struct TsMaskData {
  std::shared_ptr<platform::Bitmap> Bmp; // none: a piece of MasterBitmap
  std::string ClassName;
  std::string PropertyName;
  TRect R;
  std::int16_t ImageCount = 0;
  std::int16_t MaskType = 0;
  std::int16_t BorderWidth = 0;
  std::int16_t DrawMode = 0;
  TqcImgType ImgType = TqcImgType::itisaBorder;
  const TsSkinManager* Manager = nullptr;
  std::int16_t WL = 0;
  std::int16_t WT = 0;
  std::int16_t WR = 0;
  std::int16_t WB = 0;
  int CornerType = 0;
};
using TsMaskArray = std::vector<TsMaskData>;

// A large JPEG kept whole (at least 900,000 pixels), decoded.
struct TsPatternData {
  std::shared_ptr<platform::Bitmap> Img;
  std::string ClassName;
  std::string PropertyName;
};
using TsPatternArray = std::vector<TsPatternData>;

struct TqcConstElementData {
  int SkinIndex = -1;
  int MaskIndex = -1;
  int GlyphIndex = -1;
  std::array<int, 2> BGIndex{-1, -1}; // PATTERN, HOTPATTERN
  std::string SkinSection;
};

enum TqcSide { asLeft, asTop, asRight, asBottom };
using TqcSideElements = std::array<TqcConstElementData, 4>;
using TqcBoolElements = std::array<TqcConstElementData, 2>; // false H, true V

enum TqcIntSection { ssMenuItem, ssToolButton, ssCheckBox, ssTransparent, ssGroupBox, ssWebBtn };
using TqcIntSections = std::array<int, 6>;

struct TConstantSkinData {
  int IndexGLobalInfo = -1;
  int ExBorder = -1;
  TqcSideElements Tabs;
  TqcSideElements ScrollBtns;
  TqcSideElements Scrolls;
  TqcBoolElements Sliders;
  TqcConstElementData ComboBtn;
  int MaskCloseBtn = -1;
  int MaskCloseAloneBtn = -1;
  int MaskMaxBtn = -1;
  int MaskNormBtn = -1;
  int MaskMinBtn = -1;
  int MaskHelpBtn = -1;
  int MaskCloseSmall = -1;
  int MaskMaxSmall = -1;
  int MaskNormSmall = -1;
  int MaskMinSmall = -1;
  int MaskHelpSmall = -1;
  int CheckBoxChecked = -1;
  int CheckBoxUnChecked = -1;
  int CheckBoxGrayed = -1;
  int RadioButtonChecked = -1;
  int RadioButtonUnChecked = -1;
  int RadioButtonGrayed = -1;
  int SmallCheckBoxChecked = -1;
  int SmallCheckBoxUnChecked = -1;
  int SmallCheckBoxGrayed = -1;
  int GripRightBottom = -1;
  int GripHorizontal = -1;
  int GripVertical = -1;
  TqcIntSections Sections{-1, -1, -1, -1, -1, -1};
};

// Skin-wide values of GLOBALINFO.
struct TsSkinData {
  bool Active = false;
  std::string SkinPath;
  double Version = 0;
  std::string Author;
  std::string Description;
  int Shadow1Color = 0;
  int Shadow1Offset = 0;
  int Shadow1Blur = -1;
  int Shadow1Transparency = 0;
  int ExBorderWidth = 0;
  int ExTitleHeight = 0;
  int ExMaxHeight = 0;
  int ExContentOffs = 0;
  int ExCenterOffs = 0;
  int ExDrawMode = 0;
  int ExShadowOffs = 0;
  int ExShadowOffsR = 0;
  int ExShadowOffsT = 0;
  int ExShadowOffsB = 0;
  int FXColor = 0;
  int BISpacing = 0;
  int BIVAlign = 0;
  int BIRightMargin = 0;
  int BILeftMargin = 0;
  int BITopMargin = 0;
  int BIKeepHUE = 0;
  int BICloseGlow = 0;
  int BICloseGlowMargin = 0;
  int BIMaxGlow = 0;
  int BIMaxGlowMargin = 0;
  int BIMinGlow = 0;
  int BIMinGlowMargin = 0;
  bool UseAeroBluring = false;
  int ComboBoxMargin = 0;
  int BrightMin = 0;
  int BrightMax = 0;
  int TabsCovering = 0;
};

enum TqcPaletteColors {
  pcMainColor,
  pcLabelText,
  pcWebText,
  pcWebTextHot,
  pcEditText,
  pcEditBG,
  pcSelectionBG,
  pcSelectionText,
  pcSelectionBG_Focused,
  pcSelectionText_Focused,
  pcEditBG_Inverted,
  pcEditText_Inverted,
  pcEditBG_OddRow,
  pcEditBG_EvenRow,
  pcEditText_Ok,
  pcEditText_Warning,
  pcEditText_Alert,
  pcEditText_Caution,
  pcEditText_Bypassed,
  pcEditBG_Ok,
  pcEditBG_Warning,
  pcEditBG_Alert,
  pcEditBG_Caution,
  pcEditBG_Bypassed,
  pcEditText_Highlight1,
  pcEditText_Highlight2,
  pcEditText_Highlight3,
  pcBorder,
  pcCount
};
using TqcPaletteArray = std::array<TColor, pcCount>;

// The names of the palette entries, in order ("pcMainColor" ...).
extern const std::array<const char*, pcCount> PaletteColorNames;

// One outer effect: 0 the light outline (LO_ keys), 1 the shadow (SH_ keys).
struct TqcOutEffData {
  int ColorL = 0, ColorT = 0, ColorR = 0, ColorB = 0;
  int OffsetL = 0, OffsetT = 0, OffsetR = 0, OffsetB = 0;
  int WidthL = 0, WidthT = 0, WidthR = 0, WidthB = 0;
  int Opacity = 0;
  int Source = 0;
  int Mask = -1;
};
using TqcOutEffArray = std::array<TqcOutEffData, 2>;
