#pragma once
// The caption buttons in the frame cache: drawn over the strip saved behind
// them (TempBmp), and one button repainted after its state changed.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "skin/frame/sFrameCache.h"

class TsCommonData;
class TsSkinManager;

// Saves the cache strip behind the caption buttons into aTitle.TempBmp:
// b + TitleBtnsWidth + 10 wide, b + caption + b + menu row high, ending one
// pixel left of the cache's right edge.
void SaveButtonStrip(const platform::Bitmap& aCache, const TsSkinManager& aSkin,
                     TsTitleBarData& aTitle, const TsFrameView& aView,
                     const TqcFrameLayout& aLayout);
// Puts the saved strip back.
void RestoreButtonStrip(platform::Bitmap& aCache, const TsTitleBarData& aTitle);

// One button in its state over the cache; faded in its normal state when the
// form is inactive or disabled or the button is disabled. Nothing without an
// image.
void PaintButton(platform::Bitmap& aCache, const TsSkinManager& aSkin, const TsFrameView& aView,
                 const TqcCaptionButton& aButton, bool aEnabled);
// Every visible caption button over the restored strip: close, maximize,
// minimize, help, then the extra buttons with their glyphs.
void PaintBorderIcons(platform::Bitmap& aCache, const TsSkinManager& aSkin,
                      const TsTitleBarData& aTitle, const TsFrameView& aView,
                      const TqcFrameLayout& aLayout);

// The image a system button shows: its own, or on a minimized form
// "BICONNORM" for minimize and "BICONMAX" for maximize, on a maximized form
// "BICONNORM" for maximize.
int ImageInWindowState(const TsSkinManager& aSkin, const TsFrameView& aView,
                       const TqcCaptionButton& aButton);

// The record of caption item aHitCode (HTMINBUTTON, HTMAXBUTTON, HTCLOSE,
// HTHELP, HTTITLEBUTTON + i); nullptr for other codes.
TqcCaptionButton* CaptionButtonOf(TqcFrameLayout& aLayout, int aHitCode);

// Repaints caption item aHitCode in the state its record holds: its
// rectangle is restored from TempBmp, the button drawn, and the rectangle
// copied to aWindowDC (a whole-window DC; nullptr: the cache only). Nothing
// for an unknown code, a stale cache or a button left of the icon.
void RepaintButton(TsCommonData& aData, const TsTitleBarData& aTitle, const TsFrameView& aView,
                   TqcFrameLayout& aLayout, int aHitCode, platform::HDC aWindowDC);
