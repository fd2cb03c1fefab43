#include "skin/controls/sPageControl.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "platform/gfx/Text.h"
#include "platform/win/Paint.h"
#include "skin/controls/sBitmapSectionText.h"
#include "skin/controls/sControlPaint.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinText.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonPaint.h"
#include "skin/paint/sControlCodes.h"
#include "skin/paint/sControlMessages.h"
#include "skin/paint/sParentBg.h"
#include "skin/paint/sSectionPaint.h"
#include "skin/paint/sSkinCommandHandler.h"

#include <algorithm>

using namespace platform;

namespace {

// The body reaches this far above the page area when the tabs are on top.
constexpr int kBodyAboveAreaTop = 4;
// The active tab grows this much on every side in the tabs style.
constexpr int kActiveTabGrowth = 2;
// Top tabs keep this much free below their content.
constexpr int kContentBottomGap = 2;
// The focus frame around the active tab's caption.
constexpr int kFocusMargin = 3;

TSize CaptionExtent(const TFont& aFont, const std::string& aText) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, aFont.Handle());
  SIZE s{0, 0};
  GetTextExtentPoint32W(dc, aText, &s);
  DeleteDC(dc);
  return {s.cx, s.cy};
}

} // namespace

// ---- TsTabSkinData ----

void TsTabSkinData::SetSkinSection(const std::string& aValue) {
  FSkinSection = UpperCase(aValue);
}

// ---- TsTabSheet ----

TsTabSheet::TsTabSheet(TComponent* aOwner) : TTabSheet(aOwner) {}

void TsTabSheet::SetTabSkin(const std::string& aValue) {
  FTabSkin = UpperCase(aValue);
  if (PageControl() != nullptr)
    PageControl()->Invalidate();
}

TsPageControl* TsTabSheet::SkinnedControl() const {
  auto* control = dynamic_cast<TsPageControl*>(PageControl());
  return control != nullptr && control->SkinPaints() ? control : nullptr;
}

void TsTabSheet::PaintFromControl(HDC aDC) {
  TsPageControl* control = SkinnedControl();
  if (control->SkinData.BGChanged || !control->SkinData.CacheFilled())
    control->PrepareCache();
  if (!control->SkinData.CacheFilled())
    return;
  CopyCacheToDC(this, control->SkinData, BoundsRect(), {0, 0}, aDC, ClientRect());
  PaintGraphicChildren(aDC, this);
  RepaintChildrenAfterParent(this);
}

void TsTabSheet::WMPaint(TMessage& aMessage) {
  if (SkinnedControl() == nullptr) {
    TTabSheet::WMPaint(aMessage);
    return;
  }
  if (aMessage.WParam != 0) {
    PaintFromControl(HDC(aMessage.WParam));
    return;
  }
  // Erasing paints the page; a paint without a pending erase paints it here.
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  if (!ps.fErase)
    PaintFromControl(dc);
  EndPaint(Handle(), &ps);
}

void TsTabSheet::WMEraseBkgnd(TMessage& aMessage) {
  if (SkinnedControl() == nullptr) {
    TTabSheet::WMEraseBkgnd(aMessage);
    return;
  }
  PaintFromControl(HDC(aMessage.WParam));
  aMessage.Result = 1;
}

int TsTabSheet::SkinIndexOn(const TsPageControl& aControl) const {
  const TsSkinManager* manager = aControl.SkinData.SkinManager();
  const int own = manager != nullptr ? manager->GetSkinIndex(SkinData.SkinSection()) : -1;
  return own >= 0 ? own : aControl.SkinData.SkinIndex;
}

void TsTabSheet::AnswerParentBg(TsPageControl& aControl, ParentBgInfo& aInfo) {
  TsCommonData& data = aControl.SkinData;
  if (data.BGChanged || !data.CacheFilled())
    aControl.PrepareCache();
  if (!data.CacheFilled()) {
    data.SetUpdating(true);
    aInfo.BgType = btNotReady;
    return;
  }
  Bitmap* cache = data.CacheBmp();
  if (aInfo.PleaseDraw) {
    CopyBitmapToDC(aInfo.DC, aInfo.R, *cache, {aInfo.X + Left(), aInfo.Y + Top()});
    aInfo.BgType = btCache;
  } else {
    aInfo.AnswerCache(cache, Left(), Top());
  }
}

bool TsTabSheet::HandleSkinCommand(TMessage& aMessage) {
  auto* control = dynamic_cast<TsPageControl*>(PageControl());
  if (control == nullptr)
    return false;
  const TSkinCommand command(aMessage);
  const bool ownManager = FromOwnManager(control->SkinData, command);
  switch (command.Command) {
  case scIsSkinned:
    aMessage.Result = 1;
    return true;
  case scPrepareSkin:
    SendSkinCommandToChildren(this, command.Command, aMessage.LParam);
    return true;
  case scRemoveSkin:
  case scApplySkin:
    if (ownManager) {
      SendSkinCommandToChildren(this, command.Command, aMessage.LParam);
      TTabSheet::Invalidate();
    }
    return true;
  case scRepaintChildren:
    if (HandleAllocated() && Showing())
      RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    SendSkinCommandToChildren(this, scRepaintChildren, 0);
    return true;
  case scQueryUpdating:
  case scGetBgColor:
    aMessage.Result = SendSkinCommand(control, command.Command);
    return true;
  case scGetSkinIndex:
    if (int* index = command.Ref<int>())
      *index = SkinIndexOn(*control);
    return true;
  case scGetParentBg:
    if (auto* info = command.Ref<ParentBgInfo>(); info != nullptr && control->SkinPaints()) {
      AnswerParentBg(*control, *info);
      return true;
    }
    return false;
  default:
    return false;
  }
}

void TsTabSheet::WndProc(TMessage& aMessage) {
  if (aMessage.Msg == SkinCommandMessage && HandleSkinCommand(aMessage))
    return;
  TTabSheet::WndProc(aMessage);
}

// ---- TsPageControl ----

TsPageControl::TsPageControl(TComponent* aOwner)
    : TPageControl(aOwner), SkinData(static_cast<TControl*>(this), true) {
  SkinData.COC = cocPageControl;
}

void TsPageControl::Loaded() {
  TPageControl::Loaded();
  SkinData.Loaded();
}

bool TsPageControl::SkinPaints() const {
  return SkinData.Skinned();
}

void TsPageControl::Invalidate() {
  SkinData.BGChanged = true;
  TPageControl::Invalidate();
  if (SkinPaints() && ActivePage() != nullptr)
    ActivePage()->Invalidate();
}

TRect TsPageControl::SkinTabRect(int aTabIndex) {
  TRect r = TabRect(aTabIndex);
  if (r.IsEmpty())
    return r;
  if (Style() == tsTabs && TabSheet(aTabIndex) == ActivePage())
    r = {r.Left - kActiveTabGrowth, r.Top - kActiveTabGrowth, r.Right + kActiveTabGrowth,
         r.Bottom + kActiveTabGrowth};
  const TsSkinManager* manager = SkinData.SkinManager();
  const int covering = manager != nullptr ? manager->CommonSkinData.TabsCovering : 0;
  if (covering > 0)
    r.Right += 2 * covering;
  return r;
}

TRect TsPageControl::BodyRect() {
  TRect body{0, 0, Width(), Height()};
  if (TabCount() > 0)
    body.Top = std::max(0, DisplayRect().Top - kBodyAboveAreaTop);
  return body;
}

TRect TsPageControl::TabRowRect() {
  return {0, 0, Width(), BodyRect().Top};
}

int TsPageControl::TabSection(int aTabIndex) {
  const TsSkinManager* manager = SkinData.SkinManager();
  if (manager == nullptr)
    return -1;
  if (auto* sheet = dynamic_cast<TsTabSheet*>(TabSheet(aTabIndex));
      sheet != nullptr && !sheet->TabSkin().empty())
    return manager->GetSkinIndex(sheet->TabSkin());
  switch (Style()) {
  case tsTabs:
    return manager->ConstData.Tabs[asTop].SkinIndex;
  case tsButtons:
    return manager->GetSkinIndex("BUTTON");
  case tsFlatButtons:
    return manager->GetSkinIndex("TOOLBUTTON");
  }
  return -1;
}

int TsPageControl::SkinTabState(int aTabIndex) {
  int state = 0;
  if (TabSheet(aTabIndex) != nullptr && TabSheet(aTabIndex) == ActivePage())
    state = 2;
  else if (aTabIndex == FCurItem)
    state = 1;
  const TsSkinManager* manager = SkinData.SkinManager();
  const int section = TabSection(aTabIndex);
  if (manager == nullptr || !manager->IsValidSkinIndex(section))
    return 0;
  return std::clamp(state, 0, std::max(manager->gd[std::size_t(section)].States - 1, 0));
}

void TsPageControl::DrawTabContent(Bitmap& aTab, int aTabIndex, int aState, int aSection) {
  const TsSkinManager* manager = SkinData.SkinManager();
  TTabSheet* sheet = TabSheet(aTabIndex);
  const int covering = manager->CommonSkinData.TabsCovering;
  TRect content = aTab.BoundsRect();
  if (covering > 0) {
    content.Left += 2 * covering;
    content.Right -= 2 * covering;
  }
  content.Bottom -= kContentBottomGap;
  if (Style() != tsTabs)
    content = content.Offset(0, 1);
  const std::string& caption = sheet->Caption();
  const TSize extent = CaptionExtent(Font(), caption);
  int left = content.Left + (content.Width() - extent.cx) / 2;
  if (TabAlignment == TqcTabAlignment::taLeft)
    left = content.Left + TabMargin + TabPadding;
  else if (TabAlignment == TqcTabAlignment::taRight)
    left = content.Right - extent.cx - TabMargin;
  left = std::max(left, content.Left);
  const int top = content.Top + (content.Height() - extent.cy) / 2;
  const TRect text{left, top, std::min(left + extent.cx + 2, content.Right), top + extent.cy};
  WriteSectionTextOnBitmap(aTab, {Font().Handle(), Font().Color()}, caption, true, manager,
                           aState > 0, aSection, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS,
                           text);
  if (sheet == ActivePage() && ShowFocus && (Focused() || SkinData.Focused()) && !caption.empty()) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, &aTab);
    const RECT focus{text.Left - kFocusMargin, text.Top, text.Right + kFocusMargin,
                     text.Bottom + kFocusMargin};
    DrawFocusRect(dc, &focus);
    DeleteDC(dc);
  }
}

void TsPageControl::DrawSkinTab(Bitmap& aTarget, int aTabIndex, int aState) {
  const TsSkinManager* manager = SkinData.SkinManager();
  TTabSheet* sheet = TabSheet(aTabIndex);
  const TRect r = SkinTabRect(aTabIndex);
  if (sheet == nullptr || sheet->ComponentState().Contains(csDestroying) || r.IsEmpty() ||
      manager->GetSkinIndex("TABTOP") < 0)
    return;
  const int section = TabSection(aTabIndex);
  if (!manager->IsValidSkinIndex(section))
    return;
  // With covering tabs the tab lies over the control's own image; otherwise
  // over what the parent shows.
  const bool covering = manager->CommonSkinData.TabsCovering > 0;
  const TCacheInfo behind =
      covering ? CacheInfoFromBitmap(SkinData.CacheBmp(), 0, 0) : QueryParentCache(SkinData);
  const TPoint origin = covering ? TPoint{0, 0} : TPoint{Left(), Top()};
  Bitmap tab = CreateBitmap32(r.Width(), r.Height());
  PaintSectionByIndex(manager, section, behind, -1, -1, &tab, {origin.X + r.Left, origin.Y + r.Top},
                      tab.BoundsRect(), aState);
  DrawTabContent(tab, aTabIndex, aState, section);
  raster::Copy(aTarget, r, tab, {0, 0});
}

bool TsPageControl::PrepareCache() {
  if (!SkinPaints())
    return false;
  const TCacheInfo behind = QueryParentCache(SkinData);
  if (!behind.Ready && behind.Bmp == nullptr && behind.FillColor == KeyColor)
    return false;
  SkinData.InitCacheBmp();
  Bitmap& cache = *SkinData.CacheBmp();
  ChangedSkinSection = SkinData.SkinSection();
  const TPoint at{Left(), Top()};
  PaintCommonSection(SkinData, behind, 0, &cache, at, BodyRect(), true);
  const TsSkinManager* manager = SkinData.SkinManager();
  if (auto* page = dynamic_cast<TsTabSheet*>(ActivePage())) {
    const int section = manager->GetSkinIndex(page->SkinData.SkinSection());
    if (section >= 0) {
      const TRect bounds = page->BoundsRect();
      Bitmap area = CreateBitmap32(bounds.Width(), bounds.Height());
      PaintSectionByIndex(manager, section, CacheInfoFromBitmap(&cache, 0, 0), -1, -1, &area,
                          {bounds.Left, bounds.Top}, area.BoundsRect(), 0);
      raster::Copy(cache, bounds, area, {0, 0});
    }
  }
  const TRect row = TabRowRect();
  if (behind.Ready && behind.Bmp != nullptr)
    raster::Copy(cache, row, *behind.Bmp, {behind.X + at.X, behind.Y + at.Y});
  else
    FillRect32(cache, row,
               behind.FillColor != KeyColor ? behind.FillColor : ColorToRGB(Parent()->Color()));
  const int active = ActivePage() != nullptr ? ActivePage()->TabIndex() : -1;
  for (int i = 0; i < TabCount(); ++i)
    if (i != active)
      DrawSkinTab(cache, i, SkinTabState(i));
  if (active >= 0)
    DrawSkinTab(cache, active, SkinTabState(active));
  SkinData.BGChanged = false;
  return true;
}

void TsPageControl::WMPaint(TMessage& aMessage) {
  if (!SkinPaints()) {
    TPageControl::WMPaint(aMessage);
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = HDC(aMessage.WParam);
  if (dc == nullptr)
    dc = BeginPaint(Handle(), &ps);
  const TRect client = ClientRect();
  bool ready = !SkinData.CheckUpdating(false);
  if (ready) {
    RECT clip;
    GetClipBox(dc, &clip);
    SkinData.HalfVisible = TRect(clip).Width() < Width() || TRect(clip).Height() < Height();
    const bool parentHalf = Parent() != nullptr && SendSkinCommand(Parent(), scQueryHalfVisible);
    if (SkinData.BGChanged || SkinData.HalfVisible || parentHalf || !SkinData.CacheFilled())
      ready = PrepareCache();
  }
  if (ready) {
    CopyCacheToDC(this, SkinData, client, {0, 0}, dc, client);
    PaintGraphicChildren(dc, this);
    RepaintChildrenAfterParent(this);
    StoredVisiblePageCount = TabCount();
  }
  if (aMessage.WParam == 0)
    EndPaint(Handle(), &ps);
}

void TsPageControl::WMEraseBkgnd(TMessage& aMessage) {
  if (!SkinPaints()) {
    TPageControl::WMEraseBkgnd(aMessage);
    return;
  }
  aMessage.Result = 1;
}

void TsPageControl::StartTabFade(TsAnimEvent aKind) {
  if (!SkinPaints() || !HandleAllocated())
    return;
  // The tabs lie in their row, which holds no child windows: the fade's
  // frames go straight to that part of the window.
  StartFade(fFadeTimer, SkinData, false, TFadeDirection::fdUp,
            ShouldAnimate(aKind, AnimatEvents, SkinData.SkinManager()), TabRowRect());
}

void TsPageControl::SetCurItem(int aTabIndex) {
  if (aTabIndex == FCurItem)
    return;
  const int old = FCurItem;
  FCurItem = aTabIndex;
  if (old >= 0 && OnTabMouseLeave)
    OnTabMouseLeave(this, old);
  if (aTabIndex >= 0 && OnTabMouseEnter)
    OnTabMouseEnter(this, aTabIndex);
  StartTabFade(aTabIndex >= 0 ? TsAnimEvent::aeMouseEnter : TsAnimEvent::aeMouseLeave);
}

void TsPageControl::MouseMove(TShiftState aShift, int aX, int aY) {
  TPageControl::MouseMove(aShift, aX, aY);
  if (!SkinPaints() || !Enabled())
    return;
  int tab = IndexOfTabAt({aX, aY});
  // The active tab and the tabs of disabled pages never become hot.
  if (tab >= 0 && (TabSheet(tab) == ActivePage() || !TabSheet(tab)->Enabled()))
    tab = -1;
  SetCurItem(tab);
}

bool TsPageControl::HandleOwnSkinCommand(TMessage& aMessage) {
  const TSkinCommand command(aMessage);
  switch (command.Command) {
  case scPrepareCache:
    PrepareCache();
    return true;
  case scStopFading:
    StopFade(fFadeTimer);
    return true;
  case scHoverLost:
    Perform(CM_MOUSELEAVE, 0, 0);
    return true;
  case scPrepareSkin:
  case scRemoveSkin:
  case scApplySkin:
    StopFade(fFadeTimer);
    if (!HandleSkinChange(SkinData, *this, aMessage, TsChildOrder::ChildrenFirst))
      return false;
    Invalidate();
    return true;
  default:
    return false;
  }
}

void TsPageControl::WndProc(TMessage& aMessage) {
  if (aMessage.Msg == SkinCommandMessage && HandleOwnSkinCommand(aMessage))
    return;
  if (aMessage.Msg == CM_MOUSELEAVE)
    SetCurItem(-1);
  if (HandleControlMessage(SkinData, aMessage))
    return;
  TPageControl::WndProc(aMessage);
}
