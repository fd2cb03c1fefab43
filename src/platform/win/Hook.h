#pragma once
// Per-thread hooks: WH_CBT with HCBT_CREATEWND (before WM_NCCREATE, with the
// creation record), HCBT_ACTIVATE (before a window becomes active; a non-zero
// answer prevents it) and HCBT_DESTROYWND (before WM_DESTROY; non-zero
// prevents it). The newest hook runs first and calls the next with
// CallNextHookEx. User-interface thread only.

#include "platform/win/WinDefs.h"

namespace platform {

// Only WH_CBT for the current thread (aThreadId 0 or GetCurrentThreadId()).
HHOOK SetWindowsHookExW(int aIdHook, HOOKPROC aProc, HINSTANCE aModule, DWORD aThreadId);
LRESULT CallNextHookEx(HHOOK aHook, int aCode, WPARAM aWParam, LPARAM aLParam);
BOOL UnhookWindowsHookEx(HHOOK aHook);
DWORD GetCurrentThreadId();

} // namespace platform
