#include "toolkit/StdWindowClasses.h"

#include "platform/win/DefWindowProc.h"
#include "platform/win/Window.h"

namespace platform {

void RegisterStandardWindowClasses() {
  WNDCLASSEXW existing;
  if (!GetClassInfoExW(nullptr, "BUTTON", &existing)) {
    WNDCLASSEXW wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ButtonWndProc;
    wc.lpszClassName = "BUTTON";
    RegisterClassExW(&wc);
  }
  if (!GetClassInfoExW(nullptr, "LISTBOX", &existing)) {
    WNDCLASSEXW wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ListBoxWndProc;
    wc.lpszClassName = "LISTBOX";
    RegisterClassExW(&wc);
  }
}

} // namespace platform
