#include "XShapeQuery.h"

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

std::vector<TRect> XBoundingShape(const std::string& aDisplay, unsigned long aWindow) {
  std::vector<TRect> list;
  Display* display = XOpenDisplay(aDisplay.c_str());
  if (display == nullptr)
    return list;
  int count = 0;
  int ordering = 0;
  XRectangle* rects = XShapeGetRectangles(display, aWindow, ShapeBounding, &count, &ordering);
  for (int i = 0; i < count; ++i)
    list.push_back(
        {rects[i].x, rects[i].y, rects[i].x + rects[i].width, rects[i].y + rects[i].height});
  if (rects != nullptr)
    XFree(rects);
  XCloseDisplay(display);
  return list;
}
