#pragma once
// Helpers of the window layer's tests: a window class whose procedure records
// every message it gets before the default handling.

#include "platform/gfx/SystemColors.h"
#include "platform/win/DefWindowProc.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace wintest {

using namespace platform;

struct Record {
  HWND Wnd;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

// Messages of interest get names; everything else is left out of the log.
inline const std::map<UINT, std::string>& MessageNames() {
  static const std::map<UINT, std::string> names = {
      {WM_CREATE, "WM_CREATE"},
      {WM_DESTROY, "WM_DESTROY"},
      {WM_MOVE, "WM_MOVE"},
      {WM_SIZE, "WM_SIZE"},
      {WM_ACTIVATE, "WM_ACTIVATE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_ENABLE, "WM_ENABLE"},
      {WM_PAINT, "WM_PAINT"},
      {WM_CLOSE, "WM_CLOSE"},
      {WM_ERASEBKGND, "WM_ERASEBKGND"},
      {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
      {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
      {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
      {WM_CONTEXTMENU, "WM_CONTEXTMENU"},
      {WM_STYLECHANGED, "WM_STYLECHANGED"},
      {WM_NCCREATE, "WM_NCCREATE"},
      {WM_NCDESTROY, "WM_NCDESTROY"},
      {WM_NCCALCSIZE, "WM_NCCALCSIZE"},
      {WM_NCPAINT, "WM_NCPAINT"},
      {WM_NCACTIVATE, "WM_NCACTIVATE"},
      {WM_NCMOUSEMOVE, "WM_NCMOUSEMOVE"},
      {WM_NCLBUTTONDOWN, "WM_NCLBUTTONDOWN"},
      {WM_NCLBUTTONUP, "WM_NCLBUTTONUP"},
      {WM_NCLBUTTONDBLCLK, "WM_NCLBUTTONDBLCLK"},
      {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_KEYUP, "WM_KEYUP"},
      {WM_CHAR, "WM_CHAR"},
      {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
      {WM_TIMER, "WM_TIMER"},
      {WM_HSCROLL, "WM_HSCROLL"},
      {WM_VSCROLL, "WM_VSCROLL"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_LBUTTONDBLCLK, "WM_LBUTTONDBLCLK"},
      {WM_RBUTTONDOWN, "WM_RBUTTONDOWN"},
      {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
      {WM_PARENTNOTIFY, "WM_PARENTNOTIFY"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_ENTERSIZEMOVE, "WM_ENTERSIZEMOVE"},
      {WM_EXITSIZEMOVE, "WM_EXITSIZEMOVE"},
      {WM_NCMOUSELEAVE, "WM_NCMOUSELEAVE"},
      {WM_MOUSELEAVE, "WM_MOUSELEAVE"},
  };
  return names;
}

class Log {
public:
  static Log& Get() {
    static Log log;
    return log;
  }
  void Add(const Record& aRecord) { fRecords.push_back(aRecord); }
  void Clear() { fRecords.clear(); }
  const std::vector<Record>& Records() const { return fRecords; }
  // "name:WM_X" for each named message, in order.
  std::vector<std::string> Names() const {
    std::vector<std::string> out;
    for (const Record& r : fRecords) {
      auto it = MessageNames().find(r.Msg);
      if (it != MessageNames().end())
        out.push_back(NameOf(r.Wnd) + ":" + it->second);
    }
    return out;
  }
  // Only the given messages.
  std::vector<std::string> Only(std::initializer_list<UINT> aMsgs) const {
    std::vector<std::string> out;
    for (const Record& r : fRecords)
      for (UINT m : aMsgs)
        if (r.Msg == m)
          out.push_back(NameOf(r.Wnd) + ":" + MessageNames().at(m));
    return out;
  }
  // The last record of a message (a zero record when there is none).
  Record Last(UINT aMsg) const {
    for (auto it = fRecords.rbegin(); it != fRecords.rend(); ++it)
      if (it->Msg == aMsg)
        return *it;
    return Record{nullptr, 0, 0, 0};
  }
  void Name(HWND aWnd, std::string aName) { fNames[aWnd] = std::move(aName); }
  std::string NameOf(HWND aWnd) const {
    auto it = fNames.find(aWnd);
    return it == fNames.end() ? "?" : it->second;
  }
  // Called before the default handling; a set answer replaces it.
  std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)> Override;

private:
  std::vector<Record> fRecords;
  std::map<HWND, std::string> fNames;
};

// Windows are named after their text at WM_NCCREATE.
inline LRESULT RecordingProc(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  if (aMsg == WM_NCCREATE)
    Log::Get().Name(aWnd, reinterpret_cast<const CREATESTRUCTW*>(aLParam)->lpszName);
  Log::Get().Add({aWnd, aMsg, aWParam, aLParam});
  LRESULT answer = 0;
  if (Log::Get().Override && Log::Get().Override(aWnd, aMsg, aWParam, aLParam, answer))
    return answer;
  return DefWindowProcW(aWnd, aMsg, aWParam, aLParam);
}

inline const char* RecordingClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "TRecording";
    wc.style = CS_DBLCLKS;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(15 + 1));
    return RegisterClassExW(&wc) != 0;
  }();
  return registered ? "TRecording" : nullptr;
}

inline HWND Make(const std::string& aName, DWORD aStyle, TRect aRect, HWND aParent = nullptr,
                 DWORD aExStyle = 0) {
  HWND h = CreateWindowExW(aExStyle, RecordingClass(), aName.c_str(), aStyle, aRect.Left, aRect.Top,
                           aRect.Width(), aRect.Height(), aParent, nullptr, nullptr, nullptr);
  return h;
}

// Destroys every top-level window and clears the log, so each test starts
// from an empty desktop.
inline void Reset() {
  Log::Get().Override = nullptr;
  while (HWND top = GetTopWindow(nullptr))
    DestroyWindow(top);
  PumpUntilIdle();
  Log::Get().Clear();
}

} // namespace wintest
