#pragma once
// TqcScrollBar: one skinned scroll bar of a scroll-window adapter. It knows
// its thickness and arrow length from the control's scroll data, the skin
// manager or the platform, its rectangle in the window from the frame edges
// the platform computed, the parts under a point, and paints itself from the
// skin's scroll sections. User-interface thread only.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/win/WinDefs.h"
#include "skin/controls/qcScrollGeometry.h"
#include "skin/paint/sCacheInfo.h"

#include <optional>

class TqcScrollWnd;

// aImage's pixels from what lies behind it: the parent's cache where it has
// one (aImage's place in the parent at aOffset), else its plain colour.
void FillFromParent(platform::Bitmap& aImage, const TCacheInfo& aParent, TPoint aOffset);

// fScrollFlags bits.
inline constexpr platform::WORD sfFirstArrowOff = 1;
inline constexpr platform::WORD sfSecondArrowOff = 2;
inline constexpr platform::WORD sfHideWhenNotNeeded = 4;
inline constexpr platform::WORD sfStyleHasBar = 8;

// Where a dragged thumb is drawn instead of at the bar's position.
struct TqcThumbOverride {
  int Offset; // the thumb's start after the track's start
};

class TqcScrollBar {
public:
  TqcScrollBar(TqcScrollWnd* aOwner, platform::WORD aBarType);

  bool Vertical() const { return nBarType == 1; }
  // SB_HORZ or SB_VERT.
  int BarCode() const { return Vertical() ? platform::SB_VERT : platform::SB_HORZ; }
  platform::UINT ScrollMessage() const {
    return Vertical() ? platform::WM_VSCROLL : platform::WM_HSCROLL;
  }
  // Reads the scroll information from the platform.
  void ReadInfo();

  // Height of the horizontal bar or width of the vertical one.
  int Thickness() const;
  int ArrowLength() const;
  // The bar in window coordinates; empty when it is not visible.
  TRect Rect() const;
  TqcScrollBarMetrics Metrics() const;
  TqcScrollGeometry Geometry() const;
  // The part under a point in window coordinates.
  TqcScrollPart PartAt(TPoint aPoint) const;
  // The bar can be operated: the window asks for it, an arrow is on, it can
  // scroll when it hides while not needed, and the control is enabled.
  bool Enabled() const;

  // Paints the bar into the window's DC (window coordinates), the thumb at
  // aThumb when given. Nothing while a thumb of the window is dragged
  // (unless aThumb is given), when the bar is hidden or shorter than two
  // pixels, without a manager or without the track sections.
  void Paint(platform::HDC aWindowDC, std::optional<TqcThumbOverride> aThumb = std::nullopt);
  // The bar's image as Paint draws it (empty when it draws nothing).
  platform::Bitmap Render(std::optional<TqcThumbOverride> aThumb = std::nullopt);

  platform::WORD fScrollFlags = 0;
  int nArrowLength = -1; // -1: the skin's
  platform::WORD nBarType = 0;
  int nMinThumbSize = 16;
  TqcScrollWnd* sw;
  bool fScrollVisible = false;
  platform::SCROLLINFO ScrollInfo;

private:
  // The state of a part: 2 pressed, 1 hot, 0 normal.
  int PartState(TqcScrollPart aPart) const;
  // Track, arrows and thumb into aImage (bar coordinates) over aParent.
  void PaintParts(platform::Bitmap& aImage, const TCacheInfo& aParent, TPoint aOffset,
                  std::optional<TqcThumbOverride> aThumb);
  void PaintArrow(platform::Bitmap& aImage, const TRect& aR, int aSide, int aState,
                  const TCacheInfo& aParent, TPoint aOffset);
};
