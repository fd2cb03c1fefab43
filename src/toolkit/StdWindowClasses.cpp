#include "toolkit/StdWindowClasses.h"

#include "platform/win/DefWindowProc.h"
#include "platform/win/Window.h"

namespace platform {

namespace {

void RegisterOnce(const char* aClassName, WNDPROC aProc) {
  WNDCLASSEXW existing;
  if (GetClassInfoExW(nullptr, aClassName, &existing))
    return;
  WNDCLASSEXW wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = aProc;
  wc.lpszClassName = aClassName;
  RegisterClassExW(&wc);
}

} // namespace

void RegisterStandardWindowClasses() {
  RegisterOnce("BUTTON", ButtonWndProc);
  RegisterOnce("LISTBOX", ListBoxWndProc);
}

} // namespace platform
