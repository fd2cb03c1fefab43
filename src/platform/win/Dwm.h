#pragma once
// Desktop composition queries. The X11 and headless hosts compose nothing
// themselves, so composition is always reported off; callers that take the
// composed path only when composition is on take the plain path.

#include "platform/win/WinDefs.h"

#include <cstdint>

namespace platform {

using HRESULT = std::int32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
constexpr HRESULT E_HANDLE = HRESULT(0x80070006u);
constexpr HRESULT DWM_E_COMPOSITIONDISABLED = HRESULT(0x80263001u);

constexpr bool SUCCEEDED(HRESULT aResult) {
  return aResult >= 0;
}
constexpr bool FAILED(HRESULT aResult) {
  return aResult < 0;
}

constexpr DWORD DWMWA_NCRENDERING_ENABLED = 1;
constexpr DWORD DWMWA_NCRENDERING_POLICY = 2;
constexpr DWORD DWMWA_TRANSITIONS_FORCEDISABLED = 3;

// S_OK with *aEnabled FALSE; E_INVALIDARG for a null pointer.
HRESULT DwmIsCompositionEnabled(BOOL* aEnabled);
// Window attributes only mean something to a compositor: a live window with
// a well-formed attribute gets DWM_E_COMPOSITIONDISABLED, which callers treat
// as "composition off". E_HANDLE for a window that does not exist,
// E_INVALIDARG for a missing value or a size that does not fit the attribute.
HRESULT DwmSetWindowAttribute(HWND aWnd, DWORD aAttribute, const void* aValue, DWORD aSize);

} // namespace platform
