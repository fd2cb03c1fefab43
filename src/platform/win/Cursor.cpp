#include "platform/win/Cursor.h"

#include "platform/win/WindowState.h"

namespace platform {

using namespace detail;

HCURSOR LoadCursorW(HINSTANCE aInstance, int aCursorName) {
  if (aInstance)
    return nullptr;
  switch (aCursorName) {
  case IDC_ARROW:
  case IDC_IBEAM:
  case IDC_WAIT:
  case IDC_CROSS:
  case IDC_SIZENWSE:
  case IDC_SIZENESW:
  case IDC_SIZEWE:
  case IDC_SIZENS:
  case IDC_SIZEALL:
  case IDC_HAND:
    return reinterpret_cast<HCURSOR>(std::uintptr_t(aCursorName));
  }
  return nullptr;
}

int CursorId(HCURSOR aCursor) {
  return int(reinterpret_cast<std::uintptr_t>(aCursor));
}

HCURSOR SetCursor(HCURSOR aCursor) {
  State& ui = Ui();
  const HCURSOR old = ui.CurrentCursor;
  if (aCursor == old)
    return old;
  ui.CurrentCursor = aCursor;
  if (Window* top = TopLevelOf(Live(ui.MouseWnd)))
    HostOf().CursorChanged(top->Handle, aCursor);
  return old;
}

HCURSOR GetCursor() {
  return Ui().CurrentCursor;
}

HCURSOR DefaultCursorFor(LRESULT aHit, HCURSOR aClassCursor) {
  switch (aHit) {
  case HTLEFT:
  case HTRIGHT:
    return LoadCursorW(nullptr, IDC_SIZEWE);
  case HTTOP:
  case HTBOTTOM:
    return LoadCursorW(nullptr, IDC_SIZENS);
  case HTTOPLEFT:
  case HTBOTTOMRIGHT:
    return LoadCursorW(nullptr, IDC_SIZENWSE);
  case HTTOPRIGHT:
  case HTBOTTOMLEFT:
    return LoadCursorW(nullptr, IDC_SIZENESW);
  case HTCLIENT:
    return aClassCursor ? aClassCursor : LoadCursorW(nullptr, IDC_ARROW);
  }
  return LoadCursorW(nullptr, IDC_ARROW);
}

} // namespace platform
