#include "skin/controls/qcEditWnd.h"

#include "platform/win/Input.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "skin/controls/sDisabledLook.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sCommonPaint.h"
#include "toolkit/StdCtrlDefs.h"
#include "toolkit/WinControl.h"

using namespace platform;

namespace {

std::unique_ptr<TsCommonData> NewEditData(const TqcSkinParams& aParams) {
  std::unique_ptr<TsCommonData> data = NewScrollWndData(aParams);
  data->COC = cocEditAdapter;
  return data;
}

} // namespace

TqcEditWnd::TqcEditWnd(HWND aHandle, TsCommonData* aSkinData, TsSkinManager* aManager,
                       const TqcSkinParams& aParams, bool aRepaint)
    : TqcBaseWnd(aHandle, aSkinData, aManager, aParams, false,
                 aSkinData == nullptr ? NewEditData(aParams) : nullptr) {
  if (SkinData().SkinSection().empty())
    SkinData().SetSkinSection(aParams.SkinSection.empty() ? "EDIT" : aParams.SkinSection);
  if (aRepaint)
    RecalcFrame();
}

TPoint TqcEditWnd::ClientOffset() const {
  POINT origin{0, 0};
  ClientToScreen(CtrlHandle(), &origin);
  RECT window;
  GetWindowRect(CtrlHandle(), &window);
  return {origin.X - window.Left, origin.Y - window.Top};
}

bool TqcEditWnd::SectionHasHotLook() const {
  const TsGeneralData* section = SkinData().Section();
  if (section == nullptr)
    return false;
  const TsMaskData* border = SkinData().BorderMask();
  return section->States > 1 || (border != nullptr && border->ImageCount > 1);
}

void TqcEditWnd::RenderFrameImage() {
  TsCommonData& data = SkinData();
  if (!data.BGChanged || data.CacheBmp() == nullptr)
    return;
  RefreshGeometry();
  bool notReady = false;
  const TCacheInfo parent = ParentBackground(&notReady);
  if (notReady) {
    data.SetUpdating(true);
    return;
  }
  Bitmap& cache = *data.CacheBmp();
  if (cache.Width() != WndSize.cx || cache.Height() != WndSize.cy)
    cache.SetSize(WndSize.cx, WndSize.cy);
  const TsSkinManager* manager = SkinManager();
  const bool hover = data.MouseAbove() && manager != nullptr && !manager->Options.NoMouseHover() &&
                     SectionHasHotLook();
  const int state = data.Focused() || hover ? 1 : 0;
  PaintCommonSection(data, parent, state, &cache, WndPos, cache.BoundsRect(), true);
  if (!IsWindowEnabled(CtrlHandle()))
    ApplyDisabledLook(cache, data, {TsDisabledKind::dkBlended});
  data.BGChanged = false;
}

void TqcEditWnd::SetSkinParams() {
  TsCommonData& data = SkinData();
  if (bPreventStyleChange)
    return;
  data.SetUpdating(true);
  TControl* control = OwnerControl();
  const TsGeneralData* section = data.Section();
  if (control != nullptr && section != nullptr) {
    const int state = data.ShowsHotState() && section->States > 1 ? 1 : 0;
    if (!data.CustomColor())
      control->SetColor(data.StateBackgroundColor(state));
    if (!data.CustomFont())
      control->Font().SetColor(TColor(section->Props[state].FontColor.Color));
  }
  data.BGChanged = true;
  data.SetUpdating(false);
  TqcBaseWnd::SetSkinParams();
}

void TqcEditWnd::CopyFrameRing(HDC aDC) {
  const TsCommonData& data = SkinData();
  if (!data.CacheFilled())
    return;
  const Bitmap& cache = *data.CacheBmp();
  const int w = cache.Width(), h = cache.Height();
  const TRect inner{cxLeftEdge, cyTopEdge, w - cxRightEdge, h - cyBottomEdge};
  const TRect strips[] = {{0, 0, w, inner.Top},
                          {0, inner.Bottom, w, h},
                          {0, inner.Top, inner.Left, inner.Bottom},
                          {inner.Right, inner.Top, w, inner.Bottom}};
  for (const TRect& strip : strips)
    if (!strip.IsEmpty())
      CopyBitmapToDC(aDC, strip, cache, {strip.Left, strip.Top});
}

void TqcEditWnd::NcPaint() {
  const HWND h = CtrlHandle();
  RefreshGeometry();
  if (SkinData().IsUpdating() || !IsWindowVisible(h))
    return;
  if (!ScrollsInitialized)
    RecalcFrame();
  const HDC dc = GetWindowDC(h);
  if (dc == nullptr)
    return;
  if (SkinData().BGChanged) {
    if (!ParamsChanged)
      SetSkinParams();
    RenderFrameImage();
  }
  PaintScrollBars(dc);
  CopyFrameRing(dc);
  ReleaseDC(h, dc);
}

void TqcEditWnd::FocusChanged(TMessage& aMessage, bool aGained) {
  TWinControl* control = SkinData().WindowedOwner();
  const bool repaint =
      control != nullptr && control->CanFocus() && control->TabStop() && SectionHasHotLook();
  if (!repaint) {
    TqcBaseWnd::qcWndProc(aMessage);
    return;
  }
  SkinData().BGChanged = true;
  SkinData().SetFocused(aGained);
  const std::weak_ptr<int> life = LifeToken();
  TqcBaseWnd::qcWndProc(aMessage);
  if (life.expired())
    return;
  SetSkinParams();
  RedrawWindow(CtrlHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

void TqcEditWnd::Paint(TMessage& aMessage) {
  if (IsWindowVisible(CtrlHandle()) && SkinData().IsUpdating()) {
    if (aMessage.Msg == WM_PAINT)
      ValidateRect(CtrlHandle(), nullptr);
    aMessage.Result = aMessage.Msg == WM_ERASEBKGND ? 1 : 0;
    return;
  }
  TqcBaseWnd::qcWndProc(aMessage);
}

void TqcEditWnd::LookChanged(TMessage& aMessage) {
  const std::weak_ptr<int> life = LifeToken();
  SkinData().BGChanged = true;
  TqcBaseWnd::qcWndProc(aMessage);
  if (!life.expired() && !SkinData().IsUpdating())
    RedrawWindow(CtrlHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

void TqcEditWnd::Print(TMessage& aMessage) {
  const std::weak_ptr<int> life = LifeToken();
  CallPrev(aMessage);
  if (life.expired())
    return;
  SkinData().BGChanged = true;
  RenderFrameImage();
  if (HDC dc = HDC(aMessage.WParam)) {
    PaintScrollBars(dc);
    CopyFrameRing(dc);
  }
}

void TqcEditWnd::qcWndProc(TMessage& aMessage) {
  if (!Skinned()) {
    TqcBaseWnd::qcWndProc(aMessage);
    return;
  }
  switch (aMessage.Msg) {
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    FocusChanged(aMessage, aMessage.Msg == WM_SETFOCUS);
    return;
  case WM_SETTEXT:
  case CM_ENABLEDCHANGED:
  case CM_COLORCHANGED:
    LookChanged(aMessage);
    return;
  case WM_NCPAINT:
    NcPaint();
    aMessage.Result = 0;
    return;
  case WM_PAINT:
  case WM_ERASEBKGND:
    Paint(aMessage);
    return;
  case WM_PRINT:
    Print(aMessage);
    return;
  default:
    break;
  }
  const std::weak_ptr<int> life = LifeToken();
  TqcBaseWnd::qcWndProc(aMessage);
  if (!life.expired())
    AfterMessage(aMessage);
}

void TqcEditWnd::AfterMessage(const TMessage& aMessage) {
  switch (aMessage.Msg) {
  case WM_SIZE:
    if (IsWindowVisible(CtrlHandle()))
      RepaintFrame();
    break;
  case WM_SETFONT:
  case WM_KEYDOWN:
  case WM_KEYUP:
  case WM_LBUTTONDOWN:
  case CN_KEYDOWN:
  case LB_ADDSTRING:
  case LB_INSERTSTRING:
  case LB_DELETESTRING:
  case LB_RESETCONTENT:
  case LB_SETCURSEL:
  case LB_SETTOPINDEX:
    RefreshScrolls();
    break;
  case WM_MOUSEMOVE:
    if (TsSkinManager* manager = SkinManager(); manager != nullptr && IsWindowEnabled(CtrlHandle()))
      manager->SetActiveControl(CtrlHandle());
    if (GetCapture() == CtrlHandle() && !SkinData().IsUpdating())
      RefreshScrolls();
    break;
  default:
    break;
  }
}
