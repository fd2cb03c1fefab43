#pragma once
// Sending and posting messages, the message loop, timers and the wake-up of
// the user-interface thread from other threads.
//
// Order in which GetMessageW/PeekMessageW produce messages: posted messages and
// input in arrival order, then WM_PAINT for windows that need painting, then
// WM_TIMER for timers that are due. Wake-up handlers run inside the loop before
// posted messages are looked at. When nothing is left, GetMessageW presents
// the changed parts of the top-level windows to the host and waits in the host
// for events, the wake-up or the next timer; it never spins.

#include "platform/win/WinDefs.h"

#include <atomic>
#include <chrono>
#include <functional>

namespace platform {

// Synchronous, on the user-interface thread; may nest. Returns 0 for an
// invalid window.
LRESULT SendMessageW(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam);
// Queued; callable from any thread; wakes the loop. A null window posts a
// thread message. Returns FALSE for an invalid window handle.
BOOL PostMessageW(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam);
// Posts WM_QUIT with the exit code.
void PostQuitMessage(int aExitCode);

// Filters of GetMessageW and PeekMessageW: aWnd nullptr takes messages of any
// window and thread messages, a window takes those of the window and its
// descendants, HWND(-1) only thread messages; aMsgFilterMin..aMsgFilterMax
// (both 0: all) limits the message numbers. WM_QUIT passes every filter.
// Messages passed over stay queued in their order.
//
// Waits for the next message; returns FALSE on WM_QUIT (aMsg->wParam holds the
// exit code) and -1 for a null aMsg or a filter window that does not exist.
BOOL GetMessageW(MSG* aMsg, HWND aWnd, UINT aMsgFilterMin, UINT aMsgFilterMax);
// Takes (PM_REMOVE) or looks at (PM_NOREMOVE) the next message without
// waiting; FALSE when none passes the filter.
BOOL PeekMessageW(MSG* aMsg, HWND aWnd, UINT aMsgFilterMin, UINT aMsgFilterMax, UINT aRemove);
// Queues WM_CHAR (WM_SYSCHAR for WM_SYSKEYDOWN) for a key-down message that
// produces a character.
BOOL TranslateMessage(const MSG* aMsg);
LRESULT DispatchMessageW(const MSG* aMsg);
// Waits until a message may be available or a wake-up handler ran.
BOOL WaitMessage();
// The time of the last message taken (milliseconds of GetTickCount).
LONG GetMessageTime();
// Milliseconds of a monotonic clock.
DWORD GetTickCount();

// Timers. aElapse is clamped to at least 10 milliseconds. A timer of a
// window with the same id replaces the old one. Without a window the id is
// chosen. A timer procedure is called instead of WM_TIMER reaching the
// window procedure.
UINT_PTR SetTimer(HWND aWnd, UINT_PTR aIdEvent, UINT aElapse, TIMERPROC aTimerFunc);
BOOL KillTimer(HWND aWnd, UINT_PTR aIdEvent);
// The time timers fall due by (a ManualTimerClock's while one exists, else
// the monotonic clock's). Code that spaces its work with a timer measures the
// spacing on it, so both agree.
std::chrono::milliseconds TimerClockNow();

// A clock for the timers that moves only when told, so that tests step
// timers one period at a time without waiting. While it exists, timers fall
// due by its time alone: it starts at the real time, and when it goes the
// timers keep the delays they have left on the real clock. One at a time,
// user-interface thread only.
class ManualTimerClock {
public:
  ManualTimerClock();
  ~ManualTimerClock();
  ManualTimerClock(const ManualTimerClock&) = delete;
  ManualTimerClock& operator=(const ManualTimerClock&) = delete;
  // Moves the time on; the loop then delivers the timers that fell due, each
  // once however far the time moved.
  void Advance(DWORD aMilliseconds);
};

// Runs the loop without waiting until no posted message, input, paint or
// due timer is left, dispatching everything; stops early on WM_QUIT (and
// reposts it). Returns the number of messages dispatched.
int PumpUntilIdle();
// Runs the loop (with waiting) until aDone returns true or aTimeoutMs
// passes; returns aDone().
bool PumpUntil(const std::function<bool()>& aDone, int aTimeoutMs);

// Runs a modal loop: dispatches messages until aDone returns true or WM_QUIT
// arrives (which is reposted). Returns aDone().
bool RunModalLoop(const std::function<bool()>& aDone);

// A wake-up of the user-interface thread for the real-time path. Create it on
// the user-interface thread with the handler to run there; Signal() may then
// be called from any thread, including a real-time audio thread: it takes no
// lock, allocates nothing and never blocks (an atomic flag and, when the flag
// was clear, one write to a non-blocking eventfd). The handler runs once on
// the user-interface thread inside the message loop for any number of signals
// since its last run. Destroy it on the user-interface thread after the
// signalling threads have stopped.
class UiWakeup {
public:
  explicit UiWakeup(std::function<void()> aHandler);
  ~UiWakeup();
  UiWakeup(const UiWakeup&) = delete;
  UiWakeup& operator=(const UiWakeup&) = delete;

  // Any thread; real-time safe.
  void Signal() noexcept;

  // User-interface thread: runs the handler when a signal is pending.
  bool RunIfSignalled();

private:
  std::function<void()> fHandler;
  std::atomic<bool> fPending{false};
};

// The descriptor the loop waits on for posted messages and wake-ups
// (readable when woken). Hosts include it in their wait.
int WakeDescriptor();
// Reads the descriptor empty (user-interface thread).
void DrainWakeDescriptor();

} // namespace platform
