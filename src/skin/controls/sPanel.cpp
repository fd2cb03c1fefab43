#include "skin/controls/sPanel.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/Text.h"
#include "platform/gfx/TextLayout.h"
#include "platform/win/Paint.h"
#include "skin/controls/sControlPaint.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonPaint.h"
#include "skin/paint/sControlCodes.h"
#include "skin/paint/sControlMessages.h"
#include "skin/paint/sParentBg.h"
#include "skin/paint/sSkinCommandHandler.h"

using namespace platform;

namespace {

// A canvas drawing into a bitmap, in a control's font.
class TBitmapCanvas {
public:
  TBitmapCanvas(Bitmap& aBitmap, const TControl& aControl) : fDC(CreateCompatibleDC(nullptr)) {
    SelectObject(fDC, &aBitmap);
    fCanvas.SetHandle(fDC);
    fCanvas.Font().Assign(aControl.Font());
    fCanvas.SetBrushColor(aControl.Color());
  }
  ~TBitmapCanvas() {
    fCanvas.SetHandle(nullptr);
    DeleteDC(fDC);
  }
  TBitmapCanvas(const TBitmapCanvas&) = delete;
  TBitmapCanvas& operator=(const TBitmapCanvas&) = delete;
  TCanvas& Canvas() { return fCanvas; }

private:
  HDC fDC;
  TCanvas fCanvas;
};

// A canvas lent to a device context someone else owns.
class TBorrowedCanvas {
public:
  TBorrowedCanvas(HDC aDC, const TControl& aControl) {
    fCanvas.SetHandle(aDC);
    fCanvas.Font().Assign(aControl.Font());
    fCanvas.SetBrushColor(aControl.Color());
  }
  ~TBorrowedCanvas() { fCanvas.SetHandle(nullptr); }
  TBorrowedCanvas(const TBorrowedCanvas&) = delete;
  TBorrowedCanvas& operator=(const TBorrowedCanvas&) = delete;
  TCanvas& Canvas() { return fCanvas; }

private:
  TCanvas fCanvas;
};

TRect Shrunk(const TRect& aR, int aBy) {
  return {aR.Left + aBy, aR.Top + aBy, aR.Right - aBy, aR.Bottom - aBy};
}

// The four strips of width aWidth along the edges of aR.
void CopyBorderStrips(HDC aDC, const TRect& aR, int aWidth, const Bitmap& aCache) {
  const TRect strips[] = {
      {aR.Left, aR.Top, aR.Right, aR.Top + aWidth},
      {aR.Left, aR.Bottom - aWidth, aR.Right, aR.Bottom},
      {aR.Left, aR.Top + aWidth, aR.Left + aWidth, aR.Bottom - aWidth},
      {aR.Right - aWidth, aR.Top + aWidth, aR.Right, aR.Bottom - aWidth},
  };
  for (const TRect& strip : strips)
    if (!strip.IsEmpty())
      CopyBitmapToDC(aDC, strip, aCache, {strip.Left, strip.Top});
}

// The plain fill of a section colour over a parent colour at a transparency
// of aTransparency percent.
TColor TransparentFill(int aTransparency, TColor aParent, TColor aOwn) {
  if (aTransparency <= 0)
    return aOwn;
  if (aTransparency >= 100)
    return aParent;
  return ColorMix(aParent, aOwn, aTransparency / 100.0);
}

} // namespace

const char* SectionOfBevel(TBevelCut aBevel) {
  switch (aBevel) {
  case bvLowered:
    return "PANEL_LOW";
  case bvRaised:
    return "PANEL";
  case bvNone:
  case bvSpace:
    break;
  }
  return "TRANSPARENT";
}

TsPanel::TsPanel(TComponent* aOwner)
    : TPanel(aOwner), FCommonData(static_cast<TControl*>(this), true) {
  FCommonData.COC = cocPanel;
}

TsPanel::~TsPanel() = default;

void TsPanel::AfterConstruction() {
  TPanel::AfterConstruction();
  FCommonData.Loaded();
  FOldBevel = BevelOuter();
}

void TsPanel::Loaded() {
  TPanel::Loaded();
  FCommonData.Loaded();
  FOldBevel = BevelOuter();
}

// ---- painting ----

void TsPanel::Paint() {
  TPanel::Paint();
  if (Showing())
    CallOnPaint(Canvas());
}

void TsPanel::PaintWindow(HDC aDC) {
  if (!FCommonData.Skinned())
    TPanel::PaintWindow(aDC);
  else
    OurPaint(aDC, true);
}

void TsPanel::WMPaint(TMessage& aMessage) {
  if (!FCommonData.Skinned()) {
    TPanel::WMPaint(aMessage);
    return;
  }
  // The windowless children are painted by OurPaint, over their background.
  HDC dc = HDC(aMessage.WParam);
  PAINTSTRUCT ps;
  if (dc == nullptr)
    dc = BeginPaint(Handle(), &ps);
  {
    const ScopedSaveDC saved(dc);
    PaintWindow(dc);
  }
  if (aMessage.WParam == 0)
    EndPaint(Handle(), &ps);
}

void TsPanel::WMEraseBkgnd(TMessage& aMessage) {
  if (!FCommonData.Skinned()) {
    TPanel::WMEraseBkgnd(aMessage);
    return;
  }
  aMessage.Result = 1;
  const HDC dc = HDC(aMessage.WParam);
  if (WindowFromDC(dc) != Handle()) {
    OurPaint(dc, false);
    return;
  }
  if (!FCommonData.HasOwnBackground() || FCommonData.CustomColor()) {
    FillRectOnDC(dc, ClientRect(), FCommonData.StateBackgroundColor(0));
    return;
  }
  if (!FCommonData.BGChanged && CacheFits())
    CopyCacheToDC(this, FCommonData, ClientRect(), {0, 0}, dc, ClientRect());
}

void TsPanel::OurPaint(HDC aDC, bool aSendUpdated) {
  if (!Showing() || !FCommonData.Skinned() || SkinLoadingFlag || !HandleAllocated())
    return;
  ForgetPlainWhenPaintedByUser();
  const HDC dc = aDC != nullptr ? aDC : GetDC(Handle());
  const bool copying = ControlState().Contains(csPaintCopy);
  if (FCommonData.HasOwnBackground() && !FCommonData.CustomColor())
    PaintFromCache(dc, copying);
  else
    PaintPlain(dc);
  if (aSendUpdated && !copying)
    RepaintChildrenAfterParent(this);
  if (aDC == nullptr)
    ReleaseDC(Handle(), dc);
}

void TsPanel::PaintFromCache(HDC aDC, bool aCopying) {
  RECT clip;
  if (GetClipBox(aDC, &clip) == ERROR)
    return;
  if (FCommonData.CheckUpdating(false) && !aCopying)
    return;
  const bool stale = FCommonData.HalfVisible || FCommonData.BGChanged || !CacheFits();
  FCommonData.HalfVisible =
      FCommonData.RepaintIfMoved() && (clip.Width() < Width() || clip.Height() < Height());
  if (stale && !PrepareCache())
    return;
  CopyCacheToDC(this, FCommonData, ClientRect(), {0, 0}, aDC, ClientRect());
  PaintGraphicChildren(aDC, this);
}

bool TsPanel::CacheFits() const {
  const Bitmap* cache = FCommonData.CacheBmp();
  return cache != nullptr && cache->Width() == Width() && cache->Height() == Height();
}

bool TsPanel::PaintSectionIntoCache() {
  FCommonData.InitCacheBmp();
  if (PaintSectionOnParent(FCommonData, Parent(), 0, {0, 0, Width(), Height()}, {Left(), Top()},
                           FCommonData.CacheBmp(), true))
    return true;
  FCommonData.SetUpdating(true);
  return false;
}

bool TsPanel::PrepareCache() {
  if (!PaintSectionIntoCache())
    return false;
  TBitmapCanvas canvas(*FCommonData.CacheBmp(), *this);
  WriteText(InnerRect(), &canvas.Canvas(), nullptr);
  CallOnPaint(canvas.Canvas());
  FCommonData.BGChanged = false;
  return true;
}

void TsPanel::PaintPlain(HDC aDC) {
  {
    // The windowless children's rectangles are left out of the panel's own
    // layers, and the clip is restored before the children paint there.
    const ScopedSaveDC saved(aDC);
    for (int i = 0; i < ControlCount(); ++i)
      if (const TControl* child = Controls(i); !child->IsWindowed() && child->Visible()) {
        const TRect b = child->BoundsRect();
        ExcludeClipRect(aDC, b.Left, b.Top, b.Right, b.Bottom);
      }
    if (!PaintPlainLayers(aDC))
      return;
  }
  PaintGraphicChildren(aDC, this);
}

bool TsPanel::PaintPlainLayers(HDC aDC) {
  const TRect r{0, 0, Width(), Height()};
  FCommonData.SetUpdating(false);
  const int bw = FCommonData.WidestBorder();
  ParentBgInfo parent;
  TColor parentColor = ColorToRGB(Color());
  int transparency = 0;
  TColor own = ColorToRGB(Color());
  if (!FCommonData.CustomColor()) {
    if (Parent() != nullptr) {
      RequestParentBackground(Parent(), parent, false);
      if (parent.BgType == btNotReady) {
        FCommonData.SetUpdating(true);
        return false;
      }
      parentColor = ColorToRGB(parent.Color);
    }
    const TsGenState& normal = FCommonData.Section()->Props[0];
    transparency = normal.Transparency;
    own = ColorToRGB(TColor(normal.Color));
  }
  const bool fromParentBmp = transparency >= 100 && parent.Bmp != nullptr && !parent.Bmp->Empty();
  const TRect inner = Shrunk(r, bw);
  if (bw > 0) {
    if (!PaintSectionIntoCache())
      return false;
    const TsMaskData* border = FCommonData.BorderMask();
    if (!fromParentBmp && transparency >= 100 && (border->DrawMode & dmPaintCentre) != 0) {
      CopyBitmapToDC(aDC, r, *FCommonData.CacheBmp(), {0, 0});
    } else {
      FillRectOnDC(aDC, inner, TransparentFill(transparency, parentColor, own));
      CopyBorderStrips(aDC, r, bw, *FCommonData.CacheBmp());
    }
  } else {
    FillRectOnDC(aDC, r, TransparentFill(transparency, parentColor, own));
  }
  if (fromParentBmp)
    CopyBitmapToDC(aDC, inner, *parent.Bmp,
                   {parent.X + Left() + inner.Left, parent.Y + Top() + inner.Top});
  PaintTextAndEvent(aDC);
  FCommonData.BGChanged = false;
  return true;
}

void TsPanel::PaintTextAndEvent(HDC aDC) {
  TBorrowedCanvas canvas(aDC, *this);
  WriteText(InnerRect(), &canvas.Canvas(), nullptr);
  CallOnPaint(canvas.Canvas());
}

void TsPanel::CallOnPaint(TCanvas& aCanvas) {
  if (OnPaint)
    OnPaint(this, aCanvas);
}

void TsPanel::WriteText(const TRect& aR, TCanvas* aCanvas, HDC aDC) {
  if (!ShowCaption() || Caption().empty())
    return;
  if (aCanvas == nullptr) {
    if (aDC == nullptr)
      return;
    TBorrowedCanvas own(aDC, *this);
    WriteText(aR, &own.Canvas(), nullptr);
    return;
  }
  aCanvas->Font().Assign(Font());
  const HDC dc = aCanvas->Handle();
  const ScopedSaveDC saved(dc);
  SelectObject(dc, aCanvas->Font().Handle());
  SetTextColor(dc, ColorToRGB(aCanvas->Font().Color()));
  UINT flags = AlignmentFormat(Alignment()) | DT_EXPANDTABS;
  TRect r = aR;
  switch (VerticalAlignment()) {
  case taVerticalCenter: {
    // Word-wrapped lines, centred as a block; a caption whose lines would
    // not all fit stays on one centred line, as the unskinned panel writes it.
    RECT measured = r;
    const int height = DrawTextW(dc, Caption(), &measured, flags | DT_WORDBREAK | DT_CALCRECT);
    if (height > r.Height()) {
      flags |= DT_SINGLELINE | DT_VCENTER;
      break;
    }
    flags |= DT_WORDBREAK;
    r.Top += (r.Height() - height) / 2;
    r.Bottom = r.Top + height;
    break;
  }
  case taAlignTop:
    flags |= DT_SINGLELINE | DT_TOP;
    break;
  case taAlignBottom:
    flags |= DT_SINGLELINE | DT_BOTTOM;
    break;
  }
  WriteSkinnedText(dc, Caption(), Enabled(), 0, FCommonData, flags, r);
}

// ---- state ----

void TsPanel::Invalidate() {
  FollowBevel();
  TPanel::Invalidate();
}

void TsPanel::FollowBevel() {
  const TBevelCut bevel = BevelOuter();
  if (bevel == FOldBevel || ComponentState().Contains(csLoading))
    return;
  const TBevelCut old = FOldBevel;
  FOldBevel = bevel;
  if (FCommonData.SkinSection() == SectionOfBevel(old))
    FCommonData.SetSkinSection(SectionOfBevel(bevel));
}

void TsPanel::ForgetPlainWhenPaintedByUser() {
  if (OnPaint)
    FCommonData.CtrlSkinState &= WORD(~cssPlain);
}

void TsPanel::ShowingChanged(bool aShown) {
  FCommonData.BGChanged = true;
  FCommonData.SetUpdating(false);
  if (!aShown || !FCommonData.Skinned() || !HandleAllocated())
    return;
  if (FCommonData.HasOwnBackground())
    PrepareCache();
  RepaintChildrenAfterParent(this);
}

void TsPanel::AnswerParentBg(ParentBgInfo& aInfo) {
  ForgetPlainWhenPaintedByUser();
  if (OnPaint && !aInfo.PleaseDraw && FCommonData.Skinned() && !FCommonData.CustomColor() &&
      FCommonData.Section()->Props[0].Transparency == 0) {
    AnswerWithPaintedCache(aInfo);
    return;
  }
  FillParentBgInfo(FCommonData, aInfo, 0);
  if (aInfo.BgType != btCache || !FCommonData.BGChanged || FCommonData.Updating())
    return;
  if (CacheFits())
    return;
  if (Parent() != nullptr && SendSkinCommand(Parent(), scIsSkinned) == 1)
    aInfo.BgType = btNotReady;
}

// What an OnPaint handler drew is part of the background children see, even
// over a section of one colour.
void TsPanel::AnswerWithPaintedCache(ParentBgInfo& aInfo) {
  if ((FCommonData.BGChanged || !CacheFits()) && (FCommonData.Updating() || !PrepareCache())) {
    aInfo.BgType = btNotReady;
    return;
  }
  aInfo.AnswerCache(FCommonData.CacheBmp());
}

bool TsPanel::SkinCommand(TMessage& aMessage) {
  const TSkinCommand command(aMessage);
  switch (command.Command) {
  case scGetParentBg:
    if (auto* info = command.Ref<ParentBgInfo>())
      AnswerParentBg(*info);
    return true;
  case scPrepareCache:
    if (!FCommonData.Updating())
      PrepareCache();
    return true;
  case scQuerySkinState:
    HandleControlMessage(FCommonData, aMessage);
    ForgetPlainWhenPaintedByUser();
    aMessage.Result = FCommonData.CtrlSkinState;
    return true;
  case scPrepareSkin:
  case scRemoveSkin:
  case scApplySkin: {
    const bool own = HandleSkinChange(FCommonData, *this, aMessage, TsChildOrder::ChildrenAfter);
    if (own && command.Command == scApplySkin) {
      ForgetPlainWhenPaintedByUser();
      if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    return own;
  }
  default:
    return HandleControlMessage(FCommonData, aMessage);
  }
}

void TsPanel::WndProc(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case SkinCommandMessage:
    if (!SkinCommand(aMessage))
      TPanel::WndProc(aMessage);
    return;
  case WM_WINDOWPOSCHANGING:
    if (const auto* pos = reinterpret_cast<const WINDOWPOS*>(aMessage.LParam);
        pos != nullptr && (pos->flags & SWP_NOMOVE) == 0 && FCommonData.Skinned() &&
        FCommonData.Section()->Props[0].Transparency > 0)
      FCommonData.BGChanged = true;
    break;
  default:
    break;
  }
  if (HandleControlMessage(FCommonData, aMessage))
    return;
  TPanel::WndProc(aMessage);
  const bool skinned = FCommonData.Skinned();
  switch (aMessage.Msg) {
  case WM_SIZE:
    if (skinned)
      FCommonData.Invalidate(true);
    break;
  case CM_FONTCHANGED:
    if (skinned && !Caption().empty())
      FCommonData.Invalidate(true);
    break;
  case CM_COLORCHANGED:
    if (FCommonData.CustomColor())
      FCommonData.BGChanged = true;
    break;
  case CM_VISIBLECHANGED:
    ShowingChanged(aMessage.WParam != 0);
    break;
  case CM_ENABLEDCHANGED:
  case CM_TEXTCHANGED:
    if (skinned)
      FCommonData.Invalidate(false);
    break;
  default:
    break;
  }
}
