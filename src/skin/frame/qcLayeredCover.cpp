#include "skin/frame/qcLayeredCover.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Drawing.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Layered.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Window.h"
#include "skin/paint/sLayeredImage.h"

#include <algorithm>
#include <span>

using namespace platform;

namespace {

constexpr const char* CoverClass = "TqcLayeredCover";

const char* RegisteredCoverClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = CoverClass;
    return RegisterClassExW(&wc) != 0;
  }();
  return registered ? CoverClass : nullptr;
}

constexpr UINT CoverPlacement = SWP_NOACTIVATE | SWP_NOREDRAW | SWP_NOSENDCHANGING |
                                SWP_NOOWNERZORDER | SWP_NOMOVE | SWP_NOSIZE;

} // namespace

void PlaceJustAbove(HWND aWnd, HWND aAbove) {
  HWND after = HWND_TOPMOST;
  if (aAbove != HWND_TOPMOST) {
    // SetWindowPos puts a window below the one it is given: below the
    // window above aAbove is just above aAbove.
    after = GetWindow(aAbove, GW_HWNDPREV);
    if (after == aWnd)
      return;
    if (after == nullptr)
      after = HWND_TOP;
  }
  SetWindowPos(aWnd, after, 0, 0, 0, 0, CoverPlacement);
}

TqcLayeredCover::TqcLayeredCover() {
  fWnd = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                         RegisteredCoverClass(), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         nullptr, nullptr);
  fProc = MakeObjectInstance([this](HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
    return WndProc(aWnd, aMsg, aWParam, aLParam);
  });
  SetWindowLongPtrW(fWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(fProc));
}

TqcLayeredCover::~TqcLayeredCover() {
  if (IsWindow(fWnd)) {
    SetWindowLongPtrW(fWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    DestroyWindow(fWnd);
  }
  FreeObjectInstance(fProc);
}

bool TqcLayeredCover::Visible() const {
  return IsWindowVisible(fWnd) != FALSE;
}

LRESULT TqcLayeredCover::WndProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  switch (aMsg) {
  case WM_ERASEBKGND:
    // The image is the whole content; nothing may be painted under it.
    return 1;
  case WM_TIMER:
    if (OnTimer)
      OnTimer();
    return 0;
  default:
    return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
  }
}

void TqcLayeredCover::SetImage(Bitmap aImage, std::optional<Region> aShape) {
  fImage = std::move(aImage);
  SetWindowRgn(fWnd, aShape ? new Region(*aShape) : nullptr, FALSE);
}

void TqcLayeredCover::Present(TPoint aAt, BYTE aOpacity) {
  if (fImage.Empty())
    return;
  PresentLayeredImage(fWnd, fImage, aAt, aOpacity);
}

void TqcLayeredCover::Show(TPoint aAt, BYTE aOpacity, HWND aAbove) {
  Present(aAt, aOpacity);
  PlaceJustAbove(fWnd, aAbove);
  SetWindowPos(fWnd, nullptr, 0, 0, 0, 0, CoverPlacement | SWP_NOZORDER | SWP_SHOWWINDOW);
}

void TqcLayeredCover::PresentStretched(const Bitmap& aSource, const TRect& aRect, BYTE aOpacity) {
  if (aRect.Width() <= 0 || aRect.Height() <= 0 || aSource.Empty())
    return;
  if (fImage.Width() != aRect.Width() || fImage.Height() != aRect.Height())
    fImage.SetSize(aRect.Width(), aRect.Height());
  HDC dst = CreateCompatibleDC(nullptr);
  HDC src = CreateCompatibleDC(nullptr);
  SelectObject(dst, &fImage);
  SelectObject(src, const_cast<Bitmap*>(&aSource));
  SetStretchBltMode(dst, COLORONCOLOR);
  StretchBlt(dst, 0, 0, aRect.Width(), aRect.Height(), src, 0, 0, aSource.Width(), aSource.Height(),
             SRCCOPY);
  DeleteDC(src);
  DeleteDC(dst);
  Present({aRect.Left, aRect.Top}, aOpacity);
}

void MakeOpaque(Bitmap& aImage) {
  for (int y = 0; y < aImage.Height(); ++y)
    for (std::uint32_t& p : std::span(aImage.ScanLine(y), std::size_t(aImage.Width())))
      p |= 0xFF000000u;
}

Bitmap OpaqueCopy(const Bitmap& aSource, int aWidth, int aHeight) {
  Bitmap image(aWidth, aHeight);
  const int w = std::min(aWidth, aSource.Width());
  for (int y = 0; y < std::min(aHeight, aSource.Height()); ++y)
    std::copy_n(aSource.ScanLine(y), w, image.ScanLine(y));
  MakeOpaque(image);
  return image;
}

void ClearCutouts(Bitmap& aImage, const std::vector<TRect>& aCutouts) {
  for (const TRect& cut : aCutouts)
    for (int y = std::max(cut.Top, 0); y < std::min(cut.Bottom, aImage.Height()); ++y)
      for (int x = std::max(cut.Left, 0); x < std::min(cut.Right, aImage.Width()); ++x)
        aImage.SetPixel(x, y, 0);
}
