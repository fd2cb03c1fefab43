#pragma once
// Geometry of a skinned window frame as pure functions of the skin tables, the
// form's style and its size: the frame metrics, the caption-button images and
// places, the hit code of a point and the corners cut out of the window
// region. All positions are window coordinates (relative to the top-left
// corner of the window rectangle, which is also that of the frame cache).

#include "platform/gfx/Region.h"
#include "platform/win/WinDefs.h"
#include "skin/data/sSkinTables.h"
#include "toolkit/Forms.h"

#include <string>
#include <vector>

// Hit codes the frame adds to the platform's: extra title button i answers
// HTTITLEBUTTON + i, item i of a title-bar component HTTITLEBARITEM + i, and
// the minimize, restore and close buttons of a maximized multi-document
// child HTMDIBUTTONFIRST to HTMDIBUTTONLAST. The two item ranges hold at most
// 101 items each.
constexpr int HTTITLEBUTTON = 1000;
constexpr int HTTITLEBUTTONLAST = HTTITLEBUTTON + 100;
constexpr int HTTITLEBARITEM = 2000;
constexpr int HTTITLEBARITEMLAST = HTTITLEBARITEM + 100;
constexpr int HTMDIBUTTONFIRST = 101;
constexpr int HTMDIBUTTONLAST = 103;

// Width and height of an image that is not there.
constexpr int DefaultButtonSize = 21;

// What the form's system menu offers (read from the menu by the provider).
struct TqcSystemMenuState {
  bool Exists = true;
  bool VisibleMax = true;
  bool VisibleMin = true;
  bool EnabledClose = true;
  bool EnabledMax = true;
  bool EnabledMin = true;
  bool EnabledRestore = true;
};

// An extra button of the title bar, as far as its place depends on it.
struct TqcTitleButtonSpec {
  bool Visible = true;
  bool Enabled = true;
  bool UseSkinData = true;
  int GlyphWidth = 0; // 0: no glyph
};

// The title icon's settings; a width or height of 0 is derived from the
// caption height.
struct TqcTitleIconSpec {
  bool Visible = true;
  int Width = 0;
  int Height = 0;
};

// The form as the frame sees it.
struct TqcFrameForm {
  TFormBorderStyle BorderStyle = bsSizeable;
  TBorderIcons BorderIcons{biSystemMenu, biMinimize, biMaximize};
  // The window style bits: WS_THICKFRAME, WS_BORDER, WS_DLGFRAME, WS_CHILD,
  // WS_MINIMIZE, WS_MAXIMIZE.
  platform::DWORD Style = 0;
  int BorderWidth = 0; // the inner border the form keeps around its client area
  TSize Size;          // the window's size
  bool IsMainForm = true;
  bool ShowAppIcon = true;
  bool GripRightBottom = false; // a size grip in the bottom-right corner
  TqcSystemMenuState SystemMenu;
  TqcTitleIconSpec TitleIcon;
  std::vector<TqcTitleButtonSpec> TitleButtons;
};

// The state of a caption button, which is also its frame in the button's
// image strip.
enum TqcCaptionButtonState : int { cbsNormal = 0, cbsHot = 1, cbsPressed = 2 };

// One caption button: its image strip, place and the hit code it stands for.
struct TqcCaptionButton {
  TqcCaptionButtonState State = cbsNormal;
  int ImageIndex = -1;
  TRect Rect{};
  bool HaveAlignment = false; // large image: BIVALIGN applies
  int HitCode = 0;
};

// The system caption buttons and the image behind extra buttons.
struct TqcCaptionButtons {
  TqcCaptionButton Min{.HitCode = int(platform::HTMINBUTTON)};
  TqcCaptionButton Max{.HitCode = int(platform::HTMAXBUTTON)};
  TqcCaptionButton Close{.HitCode = int(platform::HTCLOSE)};
  TqcCaptionButton Help{.HitCode = int(platform::HTHELP)};
  bool BigButtons = false;
  int UserBtnIndex = -1; // GLOBALINFO "TITLEBUTTON"
};

// The placed caption items of the last layout.
struct TqcFrameLayout {
  int VCenter = 0;      // the line icon and buttons are centred on
  int HeaderHeight = 0; // bottom edge of the caption
  TRect IconRect;       // empty (Right = Left) without icon
  TqcCaptionButtons Buttons;
  std::vector<TqcCaptionButton> TitleButtons; // one per extra button, in order
  int FreeRight = 0; // right end of the band left for a title-bar component
};

// Metrics.
int SysBorderWidth(const TqcFrameForm& aForm);
int SysCaptionHeight(const TqcFrameForm& aForm);
bool HasBorder(const TqcFrameForm& aForm);
int CaptionHeight(const TqcFrameForm& aForm);
// Border width and height: the platform frame plus the form's inner border.
int FrameBorderWidth(const TqcFrameForm& aForm);
int CaptionWidth(const TqcFrameForm& aForm);

// Chooses the button images and sets BigButtons and UserBtnIndex; a skin
// without GLOBALINFO leaves the images as they are.
void UpdateIconsIndexes(const TsSkinTables& aSkin, const TqcFrameForm& aForm,
                        TqcCaptionButtons& aButtons);

// Sizes.
int SysButtonWidth(const TsSkinTables& aSkin, const TqcCaptionButton& aButton);
int ButtonHeight(const TsSkinTables& aSkin, const TqcCaptionButtons& aButtons);
int TitleButtonWidth(const TsSkinTables& aSkin, const TqcCaptionButtons& aButtons,
                     const TqcTitleButtonSpec& aButton);
// Room kept free at the right end of the caption for the buttons.
int TitleBtnsWidth(const TsSkinTables& aSkin, const TqcFrameForm& aForm,
                   const TqcCaptionButtons& aButtons);

// Places the icon and the buttons chosen by UpdateIconsIndexes.
TqcFrameLayout CalcItems(const TsSkinTables& aSkin, const TqcFrameForm& aForm,
                         const TqcCaptionButtons& aButtons);

// The size grip: whether it is in use and where it starts.
bool GripInUse(const TqcFrameForm& aForm);
TPoint GripOrigin(const TsSkinTables& aSkin, const TqcFrameForm& aForm);

// A screen point in the coordinates of a window whose rectangle starts at aWindowTopLeft.
TPoint CursorToPoint(TPoint aScreen, TPoint aWindowTopLeft);

// The hit code of aPoint (window coordinates) with the items of aLayout.
// aScrollCorner is the square between the form's two scroll bars, empty
// unless both show.
int HTProcess(const TsSkinTables& aSkin, const TqcFrameForm& aForm, const TqcFrameLayout& aLayout,
              TPoint aPoint, const TRect& aScrollCorner = {});

// One-pixel-high rectangles cut out of the window: the key pixels in the
// corners of the form's border mask (aBorderIndex, top and bottom rows) and of
// the title section's "BORDERSMASK" (top rows).
std::vector<TRect> BuildCornerCutouts(const TsSkinTables& aSkin, int aBorderIndex,
                                      const std::string& aTitleSection, int aWidth, int aHeight);

// The window region: the window minus the cut-outs; a maximized window
// without size constraints loses its whole platform frame instead.
platform::Region WindowRegion(const TqcFrameForm& aForm, const std::vector<TRect>& aCutouts,
                              bool aHasSizeConstraints = false);
