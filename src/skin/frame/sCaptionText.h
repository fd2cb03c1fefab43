#pragma once
// The caption text of the frame cache: where it goes in the title band
// (alignment, room left by icon and buttons), its glow and its colours.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "skin/frame/sFrameCache.h"

class TsSkinManager;

// The horizontal room of the caption text: right of the border, the icon
// and the left margin; left of the buttons' room and 12 pixels. Right <= Left
// means no room.
struct TqcCaptionRoom {
  int Left = 0;
  int Right = 0;
};
TqcCaptionRoom CaptionRoom(const TsSkinManager& aSkin, const TsFrameView& aView,
                           const TqcFrameLayout& aLayout, bool aHasCaptionSection);

// The measured caption: widths of the caption and the added title, and the
// height of the text line.
struct TqcCaptionExtents {
  int CaptionWidth = 0;
  int AddedWidth = 0; // 0 without added title
  int TextHeight = 0;
};

// The rectangle the caption text is drawn in, centred on aVCenter and aligned
// in aRoom by aAlignment (left and right swapped when aRightToLeft).
TRect PlaceCaption(const TqcCaptionRoom& aRoom, const TqcCaptionExtents& aExtents, int aVCenter,
                   TAlignment aAlignment, bool aRightToLeft);

// The DrawTextW format of the caption: one line, vertically centred, no
// prefix characters, ellipsis at the end; right-to-left reading on request.
platform::UINT CaptionFormat(bool aRightToLeft);

// Paints the caption (and the added title) into the cache: the "CAPTION"
// plate when the skin has one, the glow of skins above version 7.5 (kept in
// aTitle.FGlow1 / FGlow2), the text in the colours of the plate or the title
// section.
void PaintCaption(platform::Bitmap& aCache, const TsSkinManager& aSkin, TsTitleBarData& aTitle,
                  const TsFrameView& aView, const TqcFrameLayout& aLayout);
