#include "skin/controls/sStatusBar.h"

#include "platform/gfx/Raster.h"
#include "platform/gfx/TextLayout.h"
#include "platform/win/Paint.h"
#include "skin/controls/sControlPaint.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonPaint.h"
#include "skin/paint/sControlCodes.h"
#include "skin/paint/sControlMessages.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/sParentBg.h"
#include "skin/paint/sSectionPaint.h"
#include "skin/paint/sSkinCommandHandler.h"

#include <algorithm>

using namespace platform;

namespace {

// A divider is at least this wide when its border mask is narrower.
constexpr int kMinDividerWidth = 2;

TRect Shrunk(const TRect& aR, int aBy) {
  return {aR.Left + aBy, aR.Top + aBy, aR.Right - aBy, aR.Bottom - aBy};
}

// Where a panel's text goes inside the panel's rectangle: one pixel in, then
// a line less at the bottom, 2 more on the left and 4 more on the right.
TRect TextRect(const TRect& aR) {
  const TRect inner = Shrunk(aR, 1);
  return {inner.Left + 2, inner.Top, inner.Right - 4, inner.Bottom - 1};
}

} // namespace

TsStatusBar::TsStatusBar(TComponent* aOwner)
    : TStatusBar(aOwner), SkinData(static_cast<TControl*>(this), true) {
  SkinData.COC = cocStatusBar;
}

void TsStatusBar::Loaded() {
  TStatusBar::Loaded();
  SkinData.Loaded();
}

void TsStatusBar::PanelsChanged() {
  SkinData.BGChanged = true;
  TStatusBar::PanelsChanged();
}

bool TsStatusBar::SkinPaints() const {
  return SkinData.Skinned();
}

void TsStatusBar::PrepareCache() {
  TWinControl* parent = Parent();
  bool rebuild = SkinData.BGChanged;
  if (parent != nullptr) {
    const TRect client = parent->ClientRect();
    SkinData.HalfVisible = !client.Contains({Left(), Top()}) ||
                           !client.Contains({Left() + Width() - 1, Top() + Height() - 1});
    rebuild = rebuild || SkinData.HalfVisible || SendSkinCommand(parent, scQueryHalfVisible) != 0;
  }
  if (rebuild || !SkinData.CacheFilled())
    RenderCache();
}

void TsStatusBar::RenderCache() {
  SkinData.InitCacheBmp();
  Bitmap* cache = SkinData.CacheBmp();
  const TRect all{0, 0, Width(), Height()};
  PaintCommonSection(SkinData, QueryParentCache(SkinData), 0, cache, {Left(), Top()}, all, true);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, cache);
  SelectObject(dc, Font().Handle());
  const int limit = Width() - (SizeGrip() ? SizeGripWidth : 0);
  if (SimplePanel() || Panels().Count() == 0) {
    PaintPanel(dc, nullptr, {0, 1, limit - 1, Height() - 1}, true);
  } else {
    for (int i = 0; i < Panels().Count(); ++i)
      PaintPanel(dc, &Panels()[i], Shrunk(PanelRect(i), 1), i == Panels().Count() - 1);
  }
  DeleteDC(dc);
  PaintSizeGrip();
  SkinData.BGChanged = false;
}

void TsStatusBar::PaintPanel(HDC aDC, TStatusPanel* aPanel, const TRect& aR, bool aLast) {
  const TsSkinManager* manager = SkinData.SkinManager();
  const int mask =
      manager->GetMaskIndex(SkinData.SkinIndex, SkinData.SkinSection(), "STATUSPANELMASK");
  Bitmap& cache = *SkinData.CacheBmp();
  if (manager->IsValidImgIndex(mask)) {
    const TRect over = aPanel == nullptr ? cache.BoundsRect() : aR;
    PaintBorderMask(cache, over, CacheInfoFromBitmap(&cache, 0, 0), false, 0,
                    manager->ma[std::size_t(mask)]);
  } else if (aPanel != nullptr && !aLast) {
    PaintDivider(aR);
  }
  if (aPanel != nullptr && aPanel->Style() == psOwnerDraw && OnDrawPanel) {
    Canvas().SetHandle(aDC);
    Canvas().Font().Assign(Font());
    DrawPanel(*aPanel, aR);
    Canvas().SetHandle(nullptr);
    return;
  }
  const TAlignment alignment = aPanel != nullptr ? aPanel->Alignment() : taLeftJustify;
  const UINT format = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_END_ELLIPSIS | DT_NOPREFIX |
                      AlignmentFormat(alignment);
  WriteSkinnedText(aDC, aPanel != nullptr ? aPanel->Text() : SimpleText(), true,
                   SkinData.ShowsHotState() ? 1 : 0, SkinData, format, TextRect(aR));
}

void TsStatusBar::PaintDivider(const TRect& aR) {
  const TsSkinManager* manager = SkinData.SkinManager();
  const int section = manager->GetSkinIndex("DIVIDER");
  if (section < 0)
    return;
  const int maskIndex = manager->gd[std::size_t(section)].BorderIndex;
  if (!manager->IsValidImgIndex(maskIndex))
    return;
  const TsMaskData& mask = manager->ma[std::size_t(maskIndex)];
  const int width = std::max(kMinDividerWidth, MaskWidthLeft(mask) + MaskWidthRight(mask));
  const TPoint at{aR.Right - width / 2 - 1, 1};
  Bitmap& cache = *SkinData.CacheBmp();
  Bitmap divider = CreateBitmap32(width, Height() - 2);
  PaintSectionByIndex(manager, section, CacheInfoFromBitmap(&cache, 0, 0), -1, -1, &divider, at,
                      divider.BoundsRect(), 0);
  raster::Copy(cache, Bounds(at.X, at.Y, width, divider.Height()), divider, {0, 0});
}

void TsStatusBar::PaintSizeGrip() {
  const TsSkinManager* manager = SkinData.SkinManager();
  const int grip = manager->ConstData.GripRightBottom;
  if (!SizeGrip() || !manager->IsValidImgIndex(grip))
    return;
  const TsMaskData& image = manager->ma[std::size_t(grip)];
  Bitmap& cache = *SkinData.CacheBmp();
  PaintMaskGlyph(cache, {Width() - StateImageWidth(image), Height() - StateImageHeight(image)}, 0,
                 CacheInfoFromBitmap(&cache, 0, 0), image, 1);
}

void TsStatusBar::CopyCache(HDC aDC) {
  const TRect client = ClientRect();
  CopyCacheToDC(this, SkinData, client, {0, 0}, aDC, client);
}

void TsStatusBar::WMPaint(TMessage& aMessage) {
  if (!SkinPaints()) {
    TStatusBar::WMPaint(aMessage);
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = HDC(aMessage.WParam);
  if (dc == nullptr)
    dc = BeginPaint(Handle(), &ps);
  if (!SkinData.CheckUpdating(false)) {
    PrepareCache();
    CopyCache(dc);
    PaintGraphicChildren(dc, this);
    RepaintChildrenAfterParent(this);
    SkinData.BGChanged = false;
  }
  if (aMessage.WParam == 0)
    EndPaint(Handle(), &ps);
}

void TsStatusBar::WMEraseBkgnd(TMessage& aMessage) {
  if (!SkinPaints()) {
    TStatusBar::WMEraseBkgnd(aMessage);
    return;
  }
  if (!SkinData.BGChanged && SkinData.CacheFilled())
    CopyCache(HDC(aMessage.WParam));
  aMessage.Result = 1;
}

bool TsStatusBar::HandleOwnSkinCommand(TMessage& aMessage) {
  const TSkinCommand command(aMessage);
  switch (command.Command) {
  case scPrepareSkin:
    return HandleSkinChange(SkinData, *this, aMessage, TsChildOrder::ChildrenFirst);
  case scRemoveSkin:
  case scApplySkin:
    if (!FromOwnManager(SkinData, command))
      return false;
    HandleSkinChange(SkinData, *this, aMessage, TsChildOrder::ChildrenAfter);
    if (!HandleAllocated())
      return true;
    if (command.Command == scRemoveSkin)
      RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
    else if (Visible() && !SkinData.OwnerLoading())
      RedrawWindow(Handle(), nullptr, nullptr,
                   RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return true;
  case scPrepareCache:
    if (SkinPaints())
      RenderCache();
    return true;
  default:
    return false;
  }
}

void TsStatusBar::WndProc(TMessage& aMessage) {
  if (aMessage.Msg == SkinCommandMessage && HandleOwnSkinCommand(aMessage))
    return;
  if (aMessage.Msg == WM_MOVE && SkinData.Skinned()) {
    const TsGeneralData& section = *SkinData.Section();
    if (section.Props[0].Transparency > 0 || section.Props[1].Transparency > 0)
      SkinData.BGChanged = true;
  }
  if (HandleControlMessage(SkinData, aMessage))
    return;
  TStatusBar::WndProc(aMessage);
}
