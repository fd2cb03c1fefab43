#include "skin/paint/sLayeredImage.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/win/Layered.h"

using namespace platform;

void PresentLayeredImage(HWND aWnd, Bitmap& aImage, TPoint aAt, BYTE aOpacity) {
  HDC source = CreateCompatibleDC(nullptr);
  SelectObject(source, &aImage);
  const POINT at{aAt.X, aAt.Y};
  const SIZE size{aImage.Width(), aImage.Height()};
  const POINT origin{0, 0};
  BLENDFUNCTION blend;
  blend.SourceConstantAlpha = aOpacity;
  blend.AlphaFormat = AC_SRC_ALPHA;
  UpdateLayeredWindow(aWnd, nullptr, &at, &size, source, &origin, 0, &blend, ULW_ALPHA);
  DeleteDC(source);
}
