#include "platform/win/Dwm.h"

#include "platform/win/Window.h"

namespace platform {

HRESULT DwmIsCompositionEnabled(BOOL* aEnabled) {
  if (!aEnabled)
    return E_INVALIDARG;
  *aEnabled = FALSE;
  return S_OK;
}

HRESULT DwmSetWindowAttribute(HWND aWnd, DWORD aAttribute, const void* aValue, DWORD aSize) {
  if (!IsWindow(aWnd))
    return E_HANDLE;
  // The settable attributes used here are BOOL or enumeration values.
  const bool known =
      aAttribute == DWMWA_NCRENDERING_POLICY || aAttribute == DWMWA_TRANSITIONS_FORCEDISABLED;
  if (!known || !aValue || aSize != sizeof(BOOL))
    return E_INVALIDARG;
  return DWM_E_COMPOSITIONDISABLED;
}

} // namespace platform
