#include "skin/controls/sListBoxSkin.h"

#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "platform/gfx/Text.h"
#include "platform/win/Input.h"
#include "platform/win/Paint.h"
#include "platform/win/WindowGeometry.h"
#include "skin/controls/sBitmapCanvas.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCacheCopy.h"
#include "skin/paint/sControlMessages.h"
#include "skin/paint/sSectionPaint.h"
#include "skin/paint/sSkinnedText.h"

#include <algorithm>

using namespace platform;

namespace {

constexpr UINT LineTextFormat =
    DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOPREFIX | DT_NOCLIP;

} // namespace

TsListBoxSkin::TsListBoxSkin(TCustomListBox& aList, TsScrollWndData& aSkinData,
                             TsLinePainter& aPainter, TsListEvents& aEvents)
    : fList(aList), fSkinData(aSkinData), fPainter(aPainter), fEvents(aEvents) {}

TsListBoxSkin::~TsListBoxSkin() = default;

void TsListBoxSkin::UpdateAdapter() {
  const bool wanted =
      Skinned() && fList.HandleAllocated() && !fList.ComponentState().Contains(csDestroying);
  if (fListSW && (!wanted || fListSW->Destroyed()))
    fListSW.reset();
  if (wanted && !fListSW) {
    TqcSkinParams params;
    params.Control = &fList;
    fListSW =
        std::make_unique<TqcEditWnd>(fList.Handle(), &fSkinData, fSkinData.SkinManager(), params);
  }
}

bool TsListBoxSkin::Skinned() const {
  return fSkinData.Skinned(true);
}

TPoint TsListBoxSkin::CacheOffset() const {
  if (!fList.HandleAllocated())
    return {0, 0};
  RECT window{};
  GetWindowRect(fList.Handle(), &window);
  POINT origin{0, 0};
  ClientToScreen(fList.Handle(), &origin);
  return {origin.X - window.Left, origin.Y - window.Top};
}

void TsListBoxSkin::CopyBackground(Bitmap& aBmp, const TRect& aRect) const {
  const Bitmap* cache = fSkinData.CacheBmp();
  if (cache == nullptr)
    return;
  const TPoint offset = CacheOffset();
  raster::Copy(aBmp, aBmp.BoundsRect(), *cache, {offset.X + aRect.Left, offset.Y + aRect.Top});
}

TColor TsListBoxSkin::TextColor(bool aSelected, bool aFocused) const {
  if (aSelected)
    return fSkinData.SkinManager()->GetHighLightFontColor(aFocused);
  if (fSkinData.CustomFont())
    return fList.Font().Color();
  const TsGeneralData* section = fSkinData.Section();
  const bool hot = section != nullptr && section->States > 1 && fSkinData.ShowsHotState();
  return TColor(fSkinData.StateProps(hot ? 1 : 0).FontColor.Color);
}

void TsListBoxSkin::DrawLineContent(Bitmap& aBmp, int aIndex, const TRect& aRect,
                                    TOwnerDrawState aState) {
  const TsSkinManager* manager = fSkinData.SkinManager();
  const bool selected = aState.Contains(odSelected);
  const bool focused = aState.Contains(odFocused);
  TBitmapCanvas canvas(&aBmp, fList.Font().Handle());
  SetBkMode(canvas.DC(), TRANSPARENT);
  if (fList.OnDrawItem) {
    // The user's drawing gets the line's own coordinates on the bitmap.
    TCanvas& listCanvas = fList.Canvas();
    listCanvas.SetHandle(canvas.DC());
    listCanvas.Font().Assign(fList.Font());
    listCanvas.SetBrushColor(selected ? manager->GetHighLightColor(focused) : fList.Color());
    listCanvas.Font().SetColor(selected ? manager->GetHighLightFontColor(focused)
                                        : fList.Font().Color());
    SetViewportOrgEx(canvas.DC(), -aRect.Left, -aRect.Top, nullptr);
    try {
      fList.OnDrawItem(&fList, aIndex, aRect, aState);
    } catch (...) {
      listCanvas.SetHandle(nullptr);
      throw;
    }
    listCanvas.SetHandle(nullptr);
    return;
  }
  const TRect whole = aBmp.BoundsRect();
  const int selection = manager->GetSkinIndex("SELECTION");
  const bool selectionLook = selected && manager->IsValidSkinIndex(selection);
  const int state = focused ? 1 : 0;
  if (selectionLook) {
    const Bitmap behind(aBmp);
    PaintSectionByIndex(manager, selection, CacheInfoFromBitmap(const_cast<Bitmap*>(&behind), 0, 0),
                        -1, -1, &aBmp, {0, 0}, whole, state);
  } else if (selected) {
    FillRect32(aBmp, whole, manager->GetHighLightColor(true));
  }
  if (aIndex < 0 || aIndex >= fList.Count())
    return;
  const std::string text = fList.Items()[aIndex];
  RECT textRect{whole.Left + 1, whole.Top, whole.Right - 1, whole.Bottom};
  const bool enabled = fList.Enabled();
  if (selectionLook) {
    WriteSectionText(canvas.DC(), text, enabled, manager, state, selection, LineTextFormat,
                     textRect);
    return;
  }
  if (enabled) {
    SetTextColor(canvas.DC(), ColorToRGB(TextColor(selected, focused)));
    DrawTextW(canvas.DC(), text, &textRect, LineTextFormat);
  } else {
    // The frame image behind the line is dimmed already; the text is
    // written as the section writes disabled text.
    WriteSectionText(canvas.DC(), text, false, manager, 0, fSkinData.SkinIndex, LineTextFormat,
                     textRect);
  }
  if (focused) {
    const RECT frame{whole.Left, whole.Top, whole.Right, whole.Bottom};
    DrawFocusRect(canvas.DC(), &frame);
  }
}

void TsListBoxSkin::DrawLine(HDC aDC, int aIndex, const TRect& aRect, TOwnerDrawState aState) {
  if (aRect.IsEmpty())
    return;
  Bitmap line(aRect.Width(), aRect.Height());
  CopyBackground(line, aRect);
  DrawLineContent(line, aIndex, aRect, aState);
  CopyBitmapToDC(aDC, aRect, line, {0, 0});
}

void TsListBoxSkin::PrepareCache() {
  if (fSkinData.BGChanged || !fSkinData.CacheFilled())
    SendSkinCommand(fList.Handle(), scPrepareCache);
}

void TsListBoxSkin::Paint(HDC aDC, const TRect& aUpdate) {
  PrepareCache();
  const TRect client = fList.ClientRect();
  const int count = fList.Count();
  const int height = std::max(1, fList.ItemHeight());
  const int top = fList.TopIndex();
  const int selected = fList.ItemIndex();
  const int caret = selected >= 0 ? selected : (count > 0 ? 0 : -1);
  const bool focused = GetFocus() == fList.Handle();
  // Only the lines that meet the area to paint, from the top one shown.
  const int skipped = std::max(0, aUpdate.Top) / height;
  int y = skipped * height;
  for (int i = top + skipped; i < count && y < client.Bottom && y < aUpdate.Bottom;
       ++i, y += height) {
    TOwnerDrawState state;
    if (i == selected)
      state.Include(odSelected);
    if (focused && i == caret)
      state.Include(odFocused);
    fPainter.PaintSkinnedLine(aDC, i, {client.Left, y, client.Right, y + height}, state);
  }
  // Below the last line the frame image shows.
  const int linesEnd = std::max(y, (count - top) * height);
  if (linesEnd < client.Bottom && fSkinData.CacheFilled()) {
    const TPoint offset = CacheOffset();
    const TRect rest{client.Left, std::max(linesEnd, 0), client.Right, client.Bottom};
    CopyBitmapToDC(aDC, rest, *fSkinData.CacheBmp(), {offset.X + rest.Left, offset.Y + rest.Top});
  }
}

void TsListBoxSkin::EndScrollStep(const TMessage& aMessage) {
  fSkinData.SetUpdating(fInScrollStep);
  // Inside the adapter's step the end of the step repaints.
  if (fInScrollStep)
    return;
  RedrawWindow(fList.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  if (fEvents.OnVScroll && aMessage.Msg == WM_VSCROLL)
    fEvents.OnVScroll(&fList);
}

bool TsListBoxSkin::SkinCommand(TMessage& aMessage) {
  const TSkinCommand command(aMessage);
  switch (command.Command) {
  case scIsSkinned:
    aMessage.Result = 1;
    return true;
  case scSuspendRedraw:
    fInScrollStep = true;
    fSkinData.SetUpdating(true);
    aMessage.Result = 0;
    return true;
  case scResumeRedraw:
    fInScrollStep = false;
    fSkinData.SetUpdating(false);
    RedrawWindow(fList.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    if (fEvents.OnVScroll && HIWORD(DWORD(aMessage.LParam)) == WM_VSCROLL)
      fEvents.OnVScroll(&fList);
    aMessage.Result = 0;
    return true;
  default:
    return false;
  }
}

bool TsListBoxSkin::Before(TMessage& aMessage) {
  if (aMessage.Msg == SkinCommandMessage && Skinned() && SkinCommand(aMessage))
    return true;
  if (HandleControlMessage(fSkinData, aMessage)) {
    // A skin that comes or goes brings or takes the adapter.
    if (aMessage.Msg == SkinCommandMessage)
      UpdateAdapter();
    return true;
  }
  if (!Skinned() || !fList.HandleAllocated())
    return false;
  switch (aMessage.Msg) {
  case WM_SETREDRAW:
    // While redrawing is off (lines added in bulk) neither the lines nor
    // the adapter's bars are painted.
    fSkinData.SetUpdating(aMessage.WParam == FALSE);
    return false;
  case WM_ERASEBKGND:
    aMessage.Result = 1;
    return true;
  case WM_PAINT: {
    PAINTSTRUCT ps;
    HDC dc = aMessage.WParam != 0 ? HDC(aMessage.WParam) : BeginPaint(fList.Handle(), &ps);
    if (!fSkinData.CheckUpdating(false)) {
      TRect update = fList.ClientRect();
      if (aMessage.WParam == 0)
        update = ps.rcPaint;
      Paint(dc, update);
    }
    if (aMessage.WParam == 0)
      EndPaint(fList.Handle(), &ps);
    aMessage.Result = 0;
    return true;
  }
  case WM_PRINTCLIENT:
    Paint(HDC(aMessage.WParam), fList.ClientRect());
    aMessage.Result = 0;
    return true;
  case WM_VSCROLL:
  case WM_HSCROLL:
    // No line is painted while the list scrolls.
    fSkinData.SetUpdating(true);
    return false;
  default:
    return false;
  }
}

void TsListBoxSkin::After(TMessage& aMessage) {
  const bool tracks = fList.Enabled() && !fList.ComponentState().Contains(csDesigning);
  if (aMessage.Msg == CM_MOUSEENTER && tracks && fEvents.OnMouseEnter)
    fEvents.OnMouseEnter(&fList);
  if (aMessage.Msg == CM_MOUSELEAVE && tracks && fEvents.OnMouseLeave)
    fEvents.OnMouseLeave(&fList);
  if (aMessage.Msg == WM_CREATE)
    UpdateAdapter();
  if (!Skinned() || !fList.HandleAllocated())
    return;
  switch (aMessage.Msg) {
  case WM_VSCROLL:
  case WM_HSCROLL:
    EndScrollStep(aMessage);
    break;
  case CM_ENABLEDCHANGED:
    fSkinData.BGChanged = true;
    RedrawWindow(fList.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    break;
  case CM_MOUSEENTER:
  case CM_MOUSELEAVE:
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    // The section's hot look covers the frame and the lines' text.
    fSkinData.BGChanged = true;
    RedrawWindow(fList.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    break;
  default:
    break;
  }
}
