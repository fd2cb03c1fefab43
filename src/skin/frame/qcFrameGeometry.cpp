#include "skin/frame/qcFrameGeometry.h"

#include "platform/gfx/SystemColors.h"
#include "skin/paint/sMaskPieces.h"

#include <algorithm>

using namespace platform;

namespace {

bool Has(const TqcFrameForm& aForm, DWORD aBits) {
  return (aForm.Style & aBits) == aBits;
}

bool Iconic(const TqcFrameForm& aForm) {
  return Has(aForm, WS_MINIMIZE);
}

bool Maximized(const TqcFrameForm& aForm) {
  return Has(aForm, WS_MAXIMIZE);
}

bool SystemButtons(const TqcFrameForm& aForm) {
  return aForm.SystemMenu.Exists && aForm.BorderIcons.Contains(biSystemMenu);
}

// The platform's caption heights are read once for the life of the process,
// so that the frame keeps its shape when the setting changes.
int PlatformCaptionHeight(bool aSmall) {
  static const int normal = GetSystemMetrics(SM_CYCAPTION);
  static const int small = GetSystemMetrics(SM_CYSMCAPTION);
  return aSmall ? small : normal;
}

int Spacing(const TsSkinTables& aSkin, const TqcCaptionButtons& aButtons) {
  return aButtons.BigButtons ? aSkin.CommonSkinData.BISpacing : 0;
}

void SetImage(TqcCaptionButton& aButton, int aImageIndex, bool aHaveAlignment) {
  aButton.ImageIndex = aImageIndex;
  aButton.HaveAlignment = aHaveAlignment;
}

// Places buttons from right to left, each ending at the current x.
class ButtonPlacer {
public:
  ButtonPlacer(const TsSkinTables& aSkin, const TqcCaptionButtons& aButtons, int aX, int aTop,
               int aVCenter)
      : fX(aX), fTop(aTop), fAlignedTop(aSkin.CommonSkinData.BIVAlign == 1),
        fHeight(ButtonHeight(aSkin, aButtons)), fVCenter(aVCenter),
        fSpacing(Spacing(aSkin, aButtons)) {}

  void Place(TqcCaptionButton& aButton, int aWidth) {
    aButton.Rect.Right = fX;
    aButton.Rect.Left = fX - aWidth;
    aButton.Rect.Top = aButton.HaveAlignment && fAlignedTop ? fTop : fVCenter - fHeight / 2;
    aButton.Rect.Bottom = aButton.Rect.Top + fHeight;
    fX = aButton.Rect.Left - fSpacing;
  }
  void Skip(int aGap) { fX -= aGap; }
  int X() const { return fX; }

private:
  int fX;
  int fTop;
  bool fAlignedTop;
  int fHeight;
  int fVCenter;
  int fSpacing;
};

void MakeEmpty(TqcCaptionButton& aButton) {
  aButton.Rect.Right = aButton.Rect.Left;
}

// The side of the square icon drawn for a caption height.
int IconSide(int aCaptionHeight) {
  if (aCaptionHeight <= 8)
    return 1;
  return aCaptionHeight <= 16 ? 8 : 16;
}

TRect IconRect(const TsSkinTables& aSkin, const TqcFrameForm& aForm, int aVCenter) {
  const int left = SysBorderWidth(aForm) + aSkin.CommonSkinData.BILeftMargin;
  const bool visible = aForm.TitleIcon.Visible &&
                       (aForm.BorderStyle == bsSingle || aForm.BorderStyle == bsSizeable) &&
                       aForm.ShowAppIcon && aForm.SystemMenu.Exists;
  if (!visible)
    return {left, 0, left, 0};
  const int side = IconSide(CaptionHeight(aForm));
  const int width = aForm.TitleIcon.Width ? aForm.TitleIcon.Width : side;
  const int height = aForm.TitleIcon.Height ? aForm.TitleIcon.Height : side;
  const int top = aVCenter - height / 2;
  return {left, top, left + width, top + height};
}

// The hit code of the system caption button under aPoint; 0 for none.
int SystemButtonHit(const TqcFrameForm& aForm, const TqcFrameLayout& aLayout, TPoint aPoint) {
  const TqcSystemMenuState& menu = aForm.SystemMenu;
  const TqcCaptionButtons& b = aLayout.Buttons;
  if (b.Close.Rect.Contains(aPoint))
    return int(menu.EnabledClose ? HTCLOSE : HTCAPTION);
  if (menu.VisibleMax && b.Max.Rect.Contains(aPoint))
    return int(menu.EnabledMax || (menu.EnabledRestore && !Iconic(aForm)) ? HTMAXBUTTON
                                                                          : HTCAPTION);
  if (menu.VisibleMin && b.Min.Rect.Contains(aPoint))
    return int(menu.EnabledMin || Iconic(aForm) ? HTMINBUTTON : HTCAPTION);
  if (aForm.BorderIcons.Contains(biHelp) && b.Help.Rect.Contains(aPoint))
    return int(HTHELP);
  return 0;
}

// The sizing edge under aPoint; 0 for none.
int EdgeHit(const TqcFrameForm& aForm, TPoint aPoint) {
  const int b = SysBorderWidth(aForm);
  const bool top = aPoint.Y < b;
  const bool bottom = !top && aPoint.Y > aForm.Size.cy - b;
  const bool left = aPoint.X < b;
  const bool right = !left && aPoint.X > aForm.Size.cx - b;
  if (top)
    return int(left ? HTTOPLEFT : right ? HTTOPRIGHT : HTTOP);
  if (bottom)
    return int(left ? HTBOTTOMLEFT : right ? HTBOTTOMRIGHT : HTBOTTOM);
  if (left)
    return int(HTLEFT);
  return right ? int(HTRIGHT) : 0;
}

// Adds the runs of key pixels in the corners of aRows rows of the mask's first
// frame, starting at frame row aFirstRow, as rectangles from y aY0 on.
void AddCornerCutouts(const TsSkinTables& aSkin, const TsMaskData& aMask, int aWidth, int aFirstRow,
                      int aRows, int aY0, std::vector<TRect>& aCutouts) {
  const Bitmap& image = aSkin.ImageOf(aMask);
  const int fw = StateImageWidth(aMask);
  const int left = aMask.R.Left;
  const int top = aMask.R.Top + aFirstRow;
  if (aRows <= 0 || fw <= 0 || left < 0 || top < 0 || top + aRows > image.Height() ||
      left + fw > image.Width())
    return;
  const int wl = std::clamp<int>(aMask.WL, 0, fw);
  const int wr = std::clamp<int>(aMask.WR, 0, fw);
  const auto scan = [&](int aRow, int aFrom, int aTo, int aShift) {
    const std::uint32_t* line = image.ScanLine(top + aRow) + left;
    int x = aFrom;
    while (x < aTo) {
      if (line[x] != KeyPixel) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < aTo && line[x] == KeyPixel)
        ++x;
      const int y = aY0 + aRow;
      aCutouts.push_back({start + aShift, y, x + aShift, y + 1});
    }
  };
  for (int row = 0; row < aRows; ++row) {
    scan(row, 0, wl, 0);
    scan(row, fw - wr, fw, aWidth - fw);
  }
}

} // namespace

int SysBorderWidth(const TqcFrameForm& aForm) {
  if (Has(aForm, WS_THICKFRAME))
    return GetSystemMetrics(SM_CXFRAME);
  return Has(aForm, WS_BORDER) ? GetSystemMetrics(SM_CXDLGFRAME) : 0;
}

int SysCaptionHeight(const TqcFrameForm& aForm) {
  const bool tool = aForm.BorderStyle == bsToolWindow || aForm.BorderStyle == bsSizeToolWin;
  return PlatformCaptionHeight(tool && !Iconic(aForm));
}

bool HasBorder(const TqcFrameForm& aForm) {
  return aForm.BorderStyle != bsNone || Has(aForm, WS_CHILD);
}

int CaptionHeight(const TqcFrameForm& aForm) {
  if ((HasBorder(aForm) && Has(aForm, WS_CAPTION)) || Iconic(aForm))
    return SysCaptionHeight(aForm);
  return 0;
}

int FrameBorderWidth(const TqcFrameForm& aForm) {
  return SysBorderWidth(aForm) + aForm.BorderWidth;
}

int CaptionWidth(const TqcFrameForm& aForm) {
  return Iconic(aForm) && !aForm.IsMainForm ? 160 : aForm.Size.cx;
}

void UpdateIconsIndexes(const TsSkinTables& aSkin, const TqcFrameForm& aForm,
                        TqcCaptionButtons& aButtons) {
  aButtons.BigButtons = aForm.BorderStyle == bsSingle || aForm.BorderStyle == bsSizeable;
  const int globalInfo = aSkin.ConstData.IndexGLobalInfo;
  if (!aSkin.IsValidSkinIndex(globalInfo))
    return;
  const TConstantSkinData& c = aSkin.ConstData;
  const auto large = [&](int aClose) {
    SetImage(aButtons.Min, c.MaskMinBtn, true);
    SetImage(aButtons.Max, c.MaskMaxBtn, true);
    SetImage(aButtons.Help, c.MaskHelpBtn, true);
    SetImage(aButtons.Close, aClose, true);
  };
  if (aButtons.BigButtons) {
    const bool alone = !aForm.SystemMenu.VisibleMax && !aForm.SystemMenu.VisibleMin &&
                       aSkin.IsValidImgIndex(c.MaskCloseAloneBtn);
    large(alone ? c.MaskCloseAloneBtn : c.MaskCloseBtn);
  } else {
    SetImage(aButtons.Close, c.MaskCloseSmall, false);
    SetImage(aButtons.Min, c.MaskMinSmall, false);
    SetImage(aButtons.Max, c.MaskMaxSmall, false);
    SetImage(aButtons.Help,
             aSkin.IsValidImgIndex(c.MaskHelpSmall) ? c.MaskHelpSmall : c.MaskHelpBtn, false);
    if (aButtons.Close.ImageIndex < 0)
      large(c.MaskCloseBtn);
  }
  aButtons.UserBtnIndex = aSkin.GetMaskIndex(globalInfo, "GLOBALINFO", "TITLEBUTTON");
}

int SysButtonWidth(const TsSkinTables& aSkin, const TqcCaptionButton& aButton) {
  if (!aSkin.IsValidImgIndex(aButton.ImageIndex))
    return DefaultButtonSize;
  const TsMaskData& mask = aSkin.ma[aButton.ImageIndex];
  if (mask.Bmp != nullptr)
    return mask.ImageCount > 0 ? mask.Bmp->Width() / mask.ImageCount : DefaultButtonSize;
  return StateImageWidth(mask);
}

int ButtonHeight(const TsSkinTables& aSkin, const TqcCaptionButtons& aButtons) {
  if (!aSkin.IsValidImgIndex(aButtons.Close.ImageIndex))
    return DefaultButtonSize;
  return StateImageHeight(aSkin.ma[aButtons.Close.ImageIndex]);
}

int TitleButtonWidth(const TsSkinTables& aSkin, const TqcCaptionButtons& aButtons,
                     const TqcTitleButtonSpec& aButton) {
  const int glyph = aButton.GlyphWidth > 0 ? aButton.GlyphWidth + 2 : 0;
  const int image = aSkin.IsValidImgIndex(aButtons.UserBtnIndex)
                        ? StateImageWidth(aSkin.ma[aButtons.UserBtnIndex])
                        : DefaultButtonSize;
  return std::max(glyph, image);
}

int TitleBtnsWidth(const TsSkinTables& aSkin, const TqcFrameForm& aForm,
                   const TqcCaptionButtons& aButtons) {
  const int spacing = Spacing(aSkin, aButtons);
  int width = aSkin.CommonSkinData.BIRightMargin;
  if (SystemButtons(aForm)) {
    width += SysButtonWidth(aSkin, aButtons.Close);
    if (aForm.SystemMenu.VisibleMax)
      width += SysButtonWidth(aSkin, aButtons.Max) + spacing;
    if (aForm.SystemMenu.VisibleMin)
      width += SysButtonWidth(aSkin, aButtons.Min) + spacing;
    if (aForm.BorderIcons.Contains(biHelp))
      width += SysButtonWidth(aSkin, aButtons.Help) + spacing;
  }
  if (!aForm.TitleButtons.empty())
    width += 6;
  for (const TqcTitleButtonSpec& button : aForm.TitleButtons)
    width += TitleButtonWidth(aSkin, aButtons, button) + spacing;
  return width;
}

TqcFrameLayout CalcItems(const TsSkinTables& aSkin, const TqcFrameForm& aForm,
                         const TqcCaptionButtons& aButtons) {
  TqcFrameLayout layout;
  layout.Buttons = aButtons;
  TqcCaptionButtons& b = layout.Buttons;
  const int border = SysBorderWidth(aForm);
  const bool maximized = Maximized(aForm);
  layout.VCenter = CaptionHeight(aForm) / 2 + border / 2 + (maximized ? 2 : 0);
  const int top = maximized ? GetSystemMetrics(SM_CXFRAME) - 1 : 0;
  layout.HeaderHeight = border + CaptionHeight(aForm);
  layout.IconRect = IconRect(aSkin, aForm, layout.VCenter);

  ButtonPlacer placer(aSkin, b, CaptionWidth(aForm) - aSkin.CommonSkinData.BIRightMargin - border,
                      top, layout.VCenter);
  const TConstantSkinData& c = aSkin.ConstData;
  if (SystemButtons(aForm)) {
    placer.Place(b.Close, SysButtonWidth(aSkin, b.Close));
    if (aForm.SystemMenu.VisibleMax) {
      b.Max.ImageIndex = maximized ? c.MaskNormBtn : c.MaskMaxBtn;
      placer.Place(b.Max, SysButtonWidth(aSkin, b.Max));
    } else {
      MakeEmpty(b.Max);
    }
    if (aForm.SystemMenu.VisibleMin) {
      b.Min.ImageIndex = Iconic(aForm) && !aForm.IsMainForm ? c.MaskNormBtn : c.MaskMinBtn;
      placer.Place(b.Min, SysButtonWidth(aSkin, b.Min));
    } else {
      MakeEmpty(b.Min);
    }
    if (aForm.BorderIcons.Contains(biHelp)) {
      placer.Skip(6);
      placer.Place(b.Help, SysButtonWidth(aSkin, b.Help));
    } else {
      MakeEmpty(b.Help);
    }
  } else {
    MakeEmpty(b.Close);
  }

  if (!aForm.TitleButtons.empty())
    placer.Skip(6);
  layout.TitleButtons.resize(aForm.TitleButtons.size());
  for (std::size_t i = 0; i < aForm.TitleButtons.size(); ++i) {
    const TqcTitleButtonSpec& spec = aForm.TitleButtons[i];
    TqcCaptionButton& button = layout.TitleButtons[i];
    if (!spec.Visible)
      continue;
    button.ImageIndex =
        spec.UseSkinData && aSkin.IsValidImgIndex(b.UserBtnIndex) ? b.UserBtnIndex : -1;
    placer.Place(button, TitleButtonWidth(aSkin, b, spec));
    button.HitCode = HTTITLEBUTTON + int(i);
  }
  layout.FreeRight = placer.X();
  return layout;
}

bool GripInUse(const TqcFrameForm& aForm) {
  return aForm.GripRightBottom && !Maximized(aForm) && Has(aForm, WS_THICKFRAME);
}

TPoint GripOrigin(const TsSkinTables& aSkin, const TqcFrameForm& aForm) {
  const int grip = aSkin.ConstData.GripRightBottom;
  int width = 0, height = 0;
  if (aSkin.IsValidImgIndex(grip)) {
    width = StateImageWidth(aSkin.ma[grip]);
    height = StateImageHeight(aSkin.ma[grip]);
  }
  const int border = SysBorderWidth(aForm);
  return {CaptionWidth(aForm) - width - border - 1, aForm.Size.cy - height - border - 1};
}

TPoint CursorToPoint(TPoint aScreen, TPoint aWindowTopLeft) {
  return {aScreen.X - aWindowTopLeft.X, aScreen.Y - aWindowTopLeft.Y};
}

int HTProcess(const TsSkinTables& aSkin, const TqcFrameForm& aForm, const TqcFrameLayout& aLayout,
              TPoint aPoint, const TRect& aScrollCorner) {
  if (aForm.SystemMenu.Exists) {
    if (aForm.BorderIcons.Contains(biSystemMenu))
      if (const int hit = SystemButtonHit(aForm, aLayout, aPoint))
        return hit;
    for (std::size_t i = 0; i < aLayout.TitleButtons.size(); ++i)
      if (aForm.TitleButtons[i].Visible && aForm.TitleButtons[i].Enabled &&
          aLayout.TitleButtons[i].Rect.Contains(aPoint))
        return HTTITLEBUTTON + int(i);
  }
  if (!Maximized(aForm) && Has(aForm, WS_THICKFRAME))
    if (const int edge = EdgeHit(aForm, aPoint))
      return edge;

  // The caption rows end where the client area begins; the menu rows follow.
  const int captionBottom = SysBorderWidth(aForm) + SysCaptionHeight(aForm);
  const int y = aPoint.Y;
  if (y >= 0 && y < captionBottom)
    return int(aLayout.IconRect.Contains(aPoint) ? HTSYSMENU : HTCAPTION);
  const bool gripShown = GripInUse(aForm) || aScrollCorner.Contains(aPoint);
  if (gripShown && aSkin.IsValidImgIndex(aSkin.ConstData.GripRightBottom)) {
    const TPoint grip = GripOrigin(aSkin, aForm);
    if (grip.Y < y && grip.X < aPoint.X)
      return int(HTBOTTOMRIGHT);
  }
  return int(HTCLIENT);
}

std::vector<TRect> BuildCornerCutouts(const TsSkinTables& aSkin, int aBorderIndex,
                                      const std::string& aTitleSection, int aWidth, int aHeight) {
  std::vector<TRect> cutouts;
  if (aSkin.IsValidImgIndex(aBorderIndex)) {
    const TsMaskData& mask = aSkin.ma[aBorderIndex];
    AddCornerCutouts(aSkin, mask, aWidth, 0, mask.WT, 0, cutouts);
    AddCornerCutouts(aSkin, mask, aWidth, StateImageHeight(mask) - mask.WB, mask.WB,
                     aHeight - mask.WB, cutouts);
  }
  const std::string title = aTitleSection.empty() ? "FORMTITLE" : aTitleSection;
  const int titleMask = aSkin.GetMaskIndex(aSkin.GetSkinIndex(title), title, "BORDERSMASK");
  if (aSkin.IsValidImgIndex(titleMask)) {
    const TsMaskData& mask = aSkin.ma[titleMask];
    AddCornerCutouts(aSkin, mask, aWidth, 0, mask.WT, 0, cutouts);
  }
  return cutouts;
}

Region WindowRegion(const TqcFrameForm& aForm, const std::vector<TRect>& aCutouts,
                    bool aHasSizeConstraints) {
  if (Maximized(aForm) && !aHasSizeConstraints && !Has(aForm, WS_CHILD)) {
    const int b = SysBorderWidth(aForm);
    return Region(TRect{b, b, aForm.Size.cx - b, aForm.Size.cy - b});
  }
  const Region whole(TRect{0, 0, CaptionWidth(aForm), aForm.Size.cy});
  return whole.Subtract(Region::FromRects(aCutouts));
}
