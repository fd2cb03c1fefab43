#include "XScreenPixels.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// A part off the screen is an error the default handler would end the test
// for; XGetImage then returns nullptr.
int IgnoreError(Display*, XErrorEvent*) {
  return 0;
}

} // namespace

platform::Bitmap XScreenArea(const std::string& aDisplay, const TRect& aRect) {
  Display* display = XOpenDisplay(aDisplay.c_str());
  if (display == nullptr)
    return {};
  platform::Bitmap area;
  auto* previous = XSetErrorHandler(IgnoreError);
  XImage* image = XGetImage(display, DefaultRootWindow(display), aRect.Left, aRect.Top,
                            unsigned(aRect.Width()), unsigned(aRect.Height()), AllPlanes, ZPixmap);
  if (image != nullptr) {
    area = platform::Bitmap(aRect.Width(), aRect.Height());
    // A 24-bit true-colour screen gives 0x00RRGGBB, the bitmap's order.
    for (int y = 0; y < aRect.Height(); ++y)
      for (int x = 0; x < aRect.Width(); ++x)
        area.SetPixel(x, y, std::uint32_t(XGetPixel(image, x, y)) | 0xFF000000u);
    XDestroyImage(image);
  }
  XSync(display, False);
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  return area;
}
