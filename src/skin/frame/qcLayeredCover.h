#pragma once
// A borderless layered top-level window that shows an image above other
// windows without ever taking activation or the mouse: the cover over a
// form's frame while the platform handles activation or a caption change,
// the cover that keeps a hidden form's last look, and the pictures of the
// show, hide and minimize animations. The window hook never adopts it (it is
// no form). User-interface thread only.

#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Region.h"
#include "platform/win/WinDefs.h"

#include <functional>
#include <optional>
#include <vector>

class TqcLayeredCover {
public:
  // Creates the window, hidden.
  TqcLayeredCover();
  // Destroys the window.
  ~TqcLayeredCover();
  TqcLayeredCover(const TqcLayeredCover&) = delete;
  TqcLayeredCover& operator=(const TqcLayeredCover&) = delete;

  platform::HWND Handle() const { return fWnd; }
  bool Visible() const;

  // The image (premultiplied BGRA) takes the cover's size. aShape (window
  // coordinates) limits the cover to its pixels; none: the whole image.
  void SetImage(platform::Bitmap aImage, std::optional<platform::Region> aShape = std::nullopt);
  platform::Bitmap& Image() { return fImage; }
  // Shows the image at aAt (screen coordinates) with the constant opacity,
  // just above aAbove (a window) or above all windows (HWND_TOPMOST), without
  // activation, redrawing, position-changing messages or moving owned windows.
  void Show(TPoint aAt, platform::BYTE aOpacity, platform::HWND aAbove);
  // Presents the image again (after it changed) at aAt with the opacity.
  void Present(TPoint aAt, platform::BYTE aOpacity);
  // Presents aSource stretched into aRect (screen coordinates) on black.
  void PresentStretched(const platform::Bitmap& aSource, const TRect& aRect,
                        platform::BYTE aOpacity);

  // A timer of the cover's window (SetTimer on Handle) calls this.
  std::function<void()> OnTimer;

private:
  platform::LRESULT WndProc(platform::HWND aWnd, platform::UINT aMsg, platform::WPARAM aWParam,
                            platform::LPARAM aLParam);

  platform::HWND fWnd = nullptr;
  platform::WNDPROC fProc = nullptr;
  platform::Bitmap fImage;
};

// Places aWnd just above aAbove in the z-order (above all windows for
// HWND_TOPMOST), without activation and redrawing.
void PlaceJustAbove(platform::HWND aWnd, platform::HWND aAbove);

// Images for covers. Every pixel of aImage becomes fully opaque.
void MakeOpaque(platform::Bitmap& aImage);
// The top-left part of aSource in a fully opaque image of the size, black
// where aSource does not reach.
platform::Bitmap OpaqueCopy(const platform::Bitmap& aSource, int aWidth, int aHeight);
// The rectangles (the corners cut out of a window) become transparent.
void ClearCutouts(platform::Bitmap& aImage, const std::vector<TRect>& aCutouts);
