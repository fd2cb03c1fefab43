#include "skin/paint/qcGlow.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Drawing.h"
#include "platform/gfx/Raster.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Layered.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowProcedures.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinTables.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/sCacheInfo.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sCommonPaint.h"
#include "skin/paint/sLayeredImage.h"
#include "skin/paint/sMaskPaint.h"
#include "toolkit/Forms.h"

#include <memory>
#include <vector>

using namespace platform;

namespace {

// A hidden popup that lets the mouse through to whatever lies below it.
HWND CreateGlowWindow(bool aTopmost) {
  const HWND wnd = AllocateHWnd([](HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
    return aMsg == WM_NCHITTEST ? HTTRANSPARENT : DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  });
  if (wnd != nullptr)
    SetWindowLongW(wnd, GWL_EXSTYLE,
                   GetWindowLongW(wnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TRANSPARENT |
                       WS_EX_NOACTIVATE | (aTopmost ? WS_EX_TOPMOST : 0));
  return wnd;
}

// One glow: its window lives as long as the effect; aOwner is where the
// glow's identifier is kept.
class TqcGlowEffect {
public:
  TqcGlowEffect(HWND aWnd, int* aOwner) : fWnd(aWnd), fOwner(aOwner) {}
  ~TqcGlowEffect() { DeallocateHWnd(fWnd); }
  TqcGlowEffect(const TqcGlowEffect&) = delete;
  TqcGlowEffect& operator=(const TqcGlowEffect&) = delete;
  HWND Wnd() const { return fWnd; }
  bool OwnedBy(const int* aIdentifier) const { return fOwner == aIdentifier; }
  // The owner's identifier no longer names a slot.
  void ReleaseOwner() { *fOwner = -1; }

  // Puts aImage on the window at aAt, directly above aWindow, and shows it.
  void Show(Bitmap& aImage, TPoint aAt, HWND aWindow, BYTE aAlpha) {
    HWND above = aWindow != nullptr ? GetWindow(aWindow, GW_HWNDPREV) : nullptr;
    if (above == nullptr || above == fWnd)
      above = (GetWindowLongW(aWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0 ? HWND_TOPMOST : HWND_TOP;
    SetWindowPos(fWnd, above, aAt.X, aAt.Y, aImage.Width(), aImage.Height(), SWP_NOACTIVATE);
    PresentLayeredImage(fWnd, aImage, aAt, aAlpha);
    ShowWindow(fWnd, SW_SHOWNOACTIVATE);
  }

private:
  HWND fWnd;
  int* fOwner;
};

std::vector<std::unique_ptr<TqcGlowEffect>>& Glows() {
  static std::vector<std::unique_ptr<TqcGlowEffect>> glows;
  return glows;
}

bool ValidIdentifier(int aIdentifier) {
  return aIdentifier >= 0 && aIdentifier < int(Glows().size()) &&
         Glows()[std::size_t(aIdentifier)] != nullptr;
}

// A new glow whose identifier is to be kept in aIdentifier; -1 when none can be shown.
int MakeGlow(int& aIdentifier, const TRect& aR, const TRect& aVisible, const std::string& aSection,
             TsCommonData* aSkinData, TsSkinManager* aManager, HWND aWindow, BYTE aAlpha,
             int aMargin, const std::string& aKey) {
  TsSkinManager* manager = aSkinData != nullptr ? aSkinData->SkinManager() : aManager;
  if (manager == nullptr || !LayeredWindowsSupported() || aVisible.IsEmpty())
    return -1;
  const int maskIndex = manager->GetMaskIndex(aSection, aKey + "0");
  if (!manager->IsValidImgIndex(maskIndex))
    return -1;
  const TsMaskData& mask = manager->ma[std::size_t(maskIndex)];
  const int wl = MaskWidthLeft(mask), wt = MaskWidthTop(mask);
  const int wr = MaskWidthRight(mask), wb = MaskWidthBottom(mask);
  Bitmap image =
      CreateBitmap32(aR.Width() + wl + wr - 2 * aMargin, aR.Height() + wt + wb - 2 * aMargin);
  if (image.Empty())
    return -1;
  PaintBorderMask(image, image.BoundsRect(), EmptyCacheInfo(), false, 0, mask);
  if (aSkinData != nullptr)
    ApplyControlFilters(image, *aSkinData, 0);
  // Only the glow around the visible part of aR shows: on a side where aR is
  // cut, the glow ends with the visible part.
  TRect cut = image.BoundsRect();
  if (aVisible.Width() != aR.Width() || aVisible.Height() != aR.Height()) {
    if (aVisible.Left != 0)
      cut.Left = wl + aVisible.Left - aMargin;
    if (aVisible.Top != 0)
      cut.Top = wt + aVisible.Top - aMargin;
    if (aVisible.Right != aR.Width())
      cut.Right = wl - aMargin + aVisible.Right;
    if (aVisible.Bottom != aR.Height())
      cut.Bottom = wt - aMargin + aVisible.Bottom;
  }
  if (cut.IsEmpty())
    return -1;
  Bitmap shown = CreateBitmap32(cut.Width(), cut.Height());
  raster::Copy(shown, shown.BoundsRect(), image, {cut.Left, cut.Top});
  const HWND wnd = CreateGlowWindow((GetWindowLongW(aWindow, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
  if (wnd == nullptr)
    return -1;
  // A skin change takes every glow away.
  SkinEngineHooks().DiscardGlows = HideAllGlows;
  Glows().push_back(std::make_unique<TqcGlowEffect>(wnd, &aIdentifier));
  Glows().back()->Show(shown, {aR.Left + aMargin + cut.Left - wl, aR.Top + aMargin + cut.Top - wt},
                       aWindow, aAlpha);
  return int(Glows().size()) - 1;
}

} // namespace

int ShowGlow(int& aIdentifier, const TRect& aR, const TRect& aVisible, const std::string& aSection,
             TsCommonData* aSkinData, TsSkinManager* aManager, HWND aWindow, BYTE aAlpha,
             int aMargin, const std::string& aKey) {
  HideGlow(aIdentifier);
  aIdentifier = MakeGlow(aIdentifier, aR, aVisible, aSection, aSkinData, aManager, aWindow, aAlpha,
                         aMargin, aKey);
  return aIdentifier;
}

void HideGlow(int& aIdentifier) {
  if (!ValidIdentifier(aIdentifier) || !Glows()[std::size_t(aIdentifier)]->OwnedBy(&aIdentifier))
    return;
  Glows()[std::size_t(aIdentifier)].reset();
  aIdentifier = -1;
  // The slots are reused once every glow is hidden.
  if (ShownGlowCount() == 0)
    Glows().clear();
}

void HideAllGlows() {
  for (const auto& glow : Glows())
    if (glow != nullptr)
      glow->ReleaseOwner();
  Glows().clear();
}

HWND GlowWindow(int aIdentifier) {
  return ValidIdentifier(aIdentifier) ? Glows()[std::size_t(aIdentifier)]->Wnd() : nullptr;
}

int ShownGlowCount() {
  int count = 0;
  for (const auto& glow : Glows())
    count += glow != nullptr ? 1 : 0;
  return count;
}
