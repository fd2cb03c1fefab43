#include "platform/win/Hook.h"

#include "platform/win/WindowState.h"

#include <algorithm>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

using namespace detail;

namespace {

LRESULT CallFrom(std::size_t aIndex, int aCode, WPARAM aWParam, LPARAM aLParam) {
  auto& hooks = Ui().Hooks;
  if (aIndex >= hooks.size())
    return 0;
  return hooks[aIndex].Proc(aCode, aWParam, aLParam);
}

} // namespace

namespace detail {

LRESULT CallHooks(int aCode, WPARAM aWParam, LPARAM aLParam) {
  return CallFrom(0, aCode, aWParam, aLParam);
}

} // namespace detail

HHOOK SetWindowsHookExW(int aIdHook, HOOKPROC aProc, HINSTANCE, DWORD aThreadId) {
  if (aIdHook != WH_CBT || !aProc || (aThreadId != 0 && aThreadId != GetCurrentThreadId()))
    return nullptr;
  State& ui = Ui();
  const HHOOK handle = reinterpret_cast<HHOOK>(ui.NextHook++);
  // The newest hook is called first.
  ui.Hooks.insert(ui.Hooks.begin(), Hook{handle, aProc});
  return handle;
}

LRESULT CallNextHookEx(HHOOK aHook, int aCode, WPARAM aWParam, LPARAM aLParam) {
  auto& hooks = Ui().Hooks;
  auto it =
      std::find_if(hooks.begin(), hooks.end(), [&](const Hook& h) { return h.Handle == aHook; });
  if (it == hooks.end())
    return 0;
  return CallFrom(std::size_t(it - hooks.begin()) + 1, aCode, aWParam, aLParam);
}

BOOL UnhookWindowsHookEx(HHOOK aHook) {
  auto& hooks = Ui().Hooks;
  auto it =
      std::find_if(hooks.begin(), hooks.end(), [&](const Hook& h) { return h.Handle == aHook; });
  if (it == hooks.end())
    return FALSE;
  hooks.erase(it);
  return TRUE;
}

DWORD GetCurrentThreadId() {
  return DWORD(syscall(SYS_gettid));
}

} // namespace platform
