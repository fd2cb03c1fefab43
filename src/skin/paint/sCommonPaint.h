#pragma once
// Painting for a control's own skin data: its section with its indexes, its
// custom colour and its colour filters, over what its parent shows, and its
// captions in its section's colours.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "skin/paint/sCacheInfo.h"

#include <string_view>

class TControl;
class TsCommonData;

// Asks aParent for its background and paints the control's section over it
// into aR of aBmp: background, border image, corner images. aOffset is the
// control's place in the parent. False only when the parent's background is
// not ready; nothing is painted then and the caller repaints later.
bool PaintSectionOnParent(TsCommonData& aSkinData, TControl* aParent, int aState, const TRect& aR,
                          TPoint aOffset, platform::Bitmap* aBmp, bool aParentCorners);

// The control's section over a background the caller has (usually from
// QueryParentCache): background, corner images, border image, then the
// control's colour filters over the whole bitmap.
void PaintCommonSection(TsCommonData& aSkinData, const TCacheInfo& aParentBg, int aState,
                        platform::Bitmap* aBmp, TPoint aOffset, const TRect& aR,
                        bool aParentCorners);

// The background layers of the control's section only; a custom colour
// paints the control's own colour.
void PaintCommonBackground(TsCommonData& aSkinData, const TCacheInfo& aParentBg, int aState,
                           platform::Bitmap* aBmp, TPoint aOffset, const TRect& aR);

// The control's colour filters over every pixel of aBmp except key pixels,
// for controls that paint their cache themselves; then the border corners
// are refreshed over the parent.
void ApplyControlFilters(platform::Bitmap& aBmp, TsCommonData& aSkinData, int aState);

// Where the border image is transparent at the corners (bits of
// sCornerRefresh.h), the control's cache shows its parent's current look.
void RefreshCorners(TsCommonData& aSkinData, int aState, int aCorners);

// A caption in the colours of the control's section (or of a parent that
// lends its font), through the control's filters; see sSkinnedText.h.
void WriteSkinnedText(platform::HDC aCanvas, std::string_view aText, bool aEnabled, int aState,
                      TsCommonData& aSkinData, platform::UINT aFormat, const TRect& aR);
