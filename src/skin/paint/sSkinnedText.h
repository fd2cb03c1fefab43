#pragma once
// Captions in the text colours of a skin section: a main colour, up to four
// contour copies shifted by one pixel, and a glow behind the text. The text
// is drawn with DrawTextW on a transparent background with the caller's
// format flags.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "skin/data/sSkinTables.h"

#include <functional>
#include <optional>
#include <string_view>

class TsSkinManager;

// The colour filters of a control.
struct TsColorFilters {
  TColor ColorTone = 0x1FFFFFFF; // tone colour; 0x1FFFFFFF: none
  int HueOffset = 0;             // degrees
  int Saturation = 0;            // percent-like amount, scaled by 2.55
};

// A colour through a control's filters: the tone (when set), the hue
// rotation and the saturation change by trunc(Saturation * 2.55), as RGB.
TColor FilteredColor(TColor aColor, const TsColorFilters& aFilters);

// The section of the aLevel-th parent above a control (1: its parent), as
// that parent reports it (its skin data's section, else its answer to
// scGetSkinIndex); nullopt when there is no parent at that level.
using TsParentSectionQuery = std::function<std::optional<int>(int aLevel)>;

// The section whose colours a control's text takes in state aState. A
// control of one of the six special sections whose state is partly
// transparent shows its parents through, so its text may take a parent's
// colours: parents that are themselves 51 % or more transparent (and do not
// paint a border centre) pass the question up; the first opaque-enough one
// lends its section when it gives its font. Otherwise the control's own.
int TextColorSection(const TsSkinTables& aSkin, int aSkinIndex, int aState,
                     const TsParentSectionQuery& aParentSection);

// What the skinned-text writer needs of a control's skin data.
struct TsTextSkinInfo {
  const TsSkinTables* Skin = nullptr; // the control's manager
  int Section = -1;                   // from TextColorSection
  bool UseSkinColors = false;         // skinned, and the font colour is not the user's
  bool WebButton = false;             // the control's section is the manager's ssWebBtn
  TsColorFilters Filters;
  platform::Bitmap* Cache = nullptr; // the control's cache bitmap, where the glow goes
};

// A control's caption in the colours of its section, through its filters, in
// the rectangle aR of aCanvas (clipped to it). aState 1 is hot. Without skin
// colours the text takes the canvas's colour, or looks engraved when disabled.
void WriteSkinnedText(platform::HDC aCanvas, std::string_view aText, bool aEnabled, int aState,
                      const TsTextSkinInfo& aInfo, platform::UINT aFormat, const TRect& aR);

// A caption in the colours of section aSkinIndex of aManager (nullptr: the
// default manager), unfiltered. Disabled text is 40 % font colour over 60 %
// section colour.
void WriteSectionText(platform::HDC aCanvas, std::string_view aText, bool aEnabled,
                      const TsSkinManager* aManager, int aState, int aSkinIndex,
                      platform::UINT aFormat, const TRect& aR);
