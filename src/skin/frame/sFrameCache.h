#pragma once
// The frame cache of a skinned form: one 32-bit bitmap laid out like the
// whole window (origin at the window's top-left corner), holding the FORM
// section, the title band, the icon, the caption text with its glow and the
// caption buttons. The frame provider owns the state
// (TsTitleBarData next to its TsCommonData, whose cache bitmap this is) and
// describes the form at paint time with a TsFrameView; PaintAll rebuilds the
// cache from them when it is stale. User-interface thread only.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"
#include "skin/frame/qcFrameGeometry.h"
#include "skin/paint/sCacheInfo.h"
#include "skin/paint/sTextGlow.h"
#include "toolkit/Panel.h"

#include <optional>
#include <string>
#include <vector>

class TsCommonData;
class TsSkinManager;

// A second text drawn right of the caption.
struct TqcAddedTitle {
  std::string Text;
  static constexpr TColor NoColor = 0x1FFFFFFF;
  platform::HFONT Font = nullptr; // nullptr: the GUI font
  TColor FontColor = NoColor;     // NoColor or clWindowText: the title section's colour
  bool ShowMainCaption = true;    // false: the added text takes the caption's place
};

// The glow behind the caption text of one frame state with what it was made
// from; it is made again when any of that changes.
struct TqcCaptionGlow {
  std::string Text;
  TRect Area;
  platform::HFONT Font = nullptr;
  int Size = 0;
  platform::UINT Format = 0;
  TTextGlow Glow;
};

// What the frame painter keeps between paints; owned by the provider.
struct TsTitleBarData {
  std::string TitleSkin;     // the title section; empty: "FORMTITLE"
  int TitleSkinIndex = -1;   // the title section's skin index; -1: not looked up yet
  int CaptionSkinIndex = -1; // section "CAPTION"; -1 when the skin has none
  TAlignment CaptionAlignment = taLeftJustify;
  TqcAddedTitle AddedTitle;
  // The cache strip behind the caption buttons, saved after the title band
  // and caption are painted and before any button: a button is repainted
  // over it without traces of its earlier states.
  platform::Bitmap TempBmp;
  TPoint TempBmpOrigin;                 // where TempBmp lies in the cache
  std::optional<TqcCaptionGlow> FGlow1; // active frame
  std::optional<TqcCaptionGlow> FGlow2; // inactive frame

  // Forgets everything that belongs to the previous skin.
  void ResetForSkin();
  // Frees the caption glows (size, caption and frame refresh changes).
  void FreeGlows();
};

// The form as the frame painter sees it at paint time.
struct TsFrameView {
  TqcFrameForm Form;
  TSize ClientSize;              // the client area's size
  int HScrollHeight = 0;         // a visible horizontal scroll bar of the form's adapter
  int VScrollWidth = 0;          // a visible vertical scroll bar of the form's adapter
  bool Active = true;            // FormActive: the frame is drawn active
  bool Enabled = true;           // the form is enabled
  bool RightToLeft = false;      // the form reads right to left
  bool DrawNonClientArea = true; // the frame paints the non-client area
  std::string Caption;
  platform::HFONT CaptionFont = nullptr; // the platform's caption font; nullptr: the GUI font
  // The title icon, 32-bit with premultiplied alpha, stretched into the icon
  // rectangle; nullptr: no icon drawn.
  const platform::Bitmap* Icon = nullptr;
  // The glyphs of the extra title buttons, one per button (nullptr: none),
  // 32-bit with premultiplied alpha.
  std::vector<const platform::Bitmap*> TitleButtonGlyphs;
  TPoint FormPos; // the form's place (window left, top)
  // What lies behind the form: empty for a top-level form; a form inside a
  // parent control passes its parent's answer (the provider handles a parent
  // that is not ready before calling PaintAll).
  TCacheInfo Background = EmptyCacheInfo();
};

// Top of the client area: the caption rows above it.
int HeaderHeight(const TsFrameView& aView);
// Where the client area lies in the cache (OffsetX, OffsetY); children that
// ask the form for their background are answered with it.
TPoint ClientOffset(const TsFrameView& aView);
// The frame state s: min(Active, States - 1) of a section.
int SectionState(const TsSkinManager& aSkin, int aSkinIndex, bool aActive);
// The title section's skin index, cached in aTitle.TitleSkinIndex.
int GetTitleSkinIndex(const TsSkinManager& aSkin, TsTitleBarData& aTitle);
// The form's background is one plain colour; the plain state is computed
// when it is not known yet.
bool PlainForm(TsCommonData& aData);
// The colour of the form's client area: the section colour of the frame
// state, or the form's own colour when it has a custom colour.
TColor FormColor(const TsCommonData& aData, bool aActive);

// Rebuilds the cache of aData when it is stale (BGChanged): chooses the
// button images and lays out the caption items into aLayout (the button
// states of aLayout are kept), paints the window background, the title band,
// the caption and the buttons. Nothing without a skinned FORM
// section.
void PaintAll(TsCommonData& aData, TsTitleBarData& aTitle, const TsFrameView& aView,
              TqcFrameLayout& aLayout);
