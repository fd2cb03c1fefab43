#include "platform/win/MessageLoop.h"

#include "platform/win/Input.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "platform/win/WindowState.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <mutex>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

using namespace detail;

namespace {

// The queue shared with other threads: posted messages and raw input in
// arrival order.
struct SharedQueue {
  std::mutex Lock;
  std::deque<QueuedItem> Items;
};

SharedQueue& Shared() {
  static SharedQueue queue;
  return queue;
}

int WakeFd() {
  static const int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  return fd;
}

void WriteWake() noexcept {
  const std::uint64_t one = 1;
  // A full counter already means "woken"; nothing else can fail here.
  [[maybe_unused]] auto written = write(WakeFd(), &one, sizeof one);
}

// User-interface thread only.
struct LoopState {
  std::deque<MSG> Ready; // messages made from input, and WM_CHAR
  std::vector<UiWakeup*> Wakeups;
  std::vector<std::unique_ptr<Window>> Graveyard;
  int SendDepth = 0;
  DWORD LastMessageTime = 0;
  // The time of a ManualTimerClock while one exists, else -1.
  std::int64_t ManualTime = -1;
};

LoopState& Loop() {
  static LoopState state;
  return state;
}

// Returns whether a handler ran.
bool RunWakeups() {
  bool ran = false;
  auto wakeups = Loop().Wakeups;
  for (UiWakeup* w : wakeups)
    if (std::find(Loop().Wakeups.begin(), Loop().Wakeups.end(), w) != Loop().Wakeups.end())
      ran = w->RunIfSignalled() || ran;
  return ran;
}

// The time timers fall due by: a manual clock's while one exists.
std::int64_t TimerNow() {
  return Loop().ManualTime >= 0 ? Loop().ManualTime : NowMs();
}

// Milliseconds until the next timer is due (0 when one is due), -1 without
// timers.
int MsToNextTimer() {
  std::int64_t due = -1;
  for (const Timer& t : Ui().Timers)
    if (due < 0 || t.Due < due)
      due = t.Due;
  return due < 0 ? -1 : int(std::clamp<std::int64_t>(due - TimerNow(), 0, 1 << 30));
}

void FreeGraveyard() {
  if (Loop().SendDepth == 0)
    Loop().Graveyard.clear();
}

// The window and message-number filter of GetMessageW and PeekMessageW.
struct Filter {
  HWND Wnd = nullptr; // nullptr: any; ThreadOnly(): thread messages only
  UINT Min = 0, Max = 0;

  static HWND ThreadOnly() { return reinterpret_cast<HWND>(std::intptr_t(-1)); }
  // A filter window that does not exist.
  bool WindowGone() const { return Wnd && Wnd != ThreadOnly() && !Live(Wnd); }
  bool InRange(UINT aMsg) const { return (Min == 0 && Max == 0) || (aMsg >= Min && aMsg <= Max); }
  bool ForWindow(HWND aWnd) const {
    if (!Wnd)
      return true;
    if (Wnd == ThreadOnly())
      return aWnd == nullptr;
    return aWnd == Wnd || IsChild(Wnd, aWnd);
  }
  // WM_QUIT passes every filter, so a filtered loop still ends.
  bool Matches(const MSG& aMsg) const {
    return aMsg.message == WM_QUIT || (InRange(aMsg.message) && ForWindow(aMsg.hwnd));
  }
};

bool TakeTimer(MSG* aMsg, bool aRemove, const Filter& aFilter) {
  if (!aFilter.InRange(WM_TIMER))
    return false;
  const std::int64_t now = TimerNow();
  Timer* next = nullptr;
  for (Timer& t : Ui().Timers)
    if (t.Due <= now && aFilter.ForWindow(t.Wnd) && (!next || t.Due < next->Due))
      next = &t;
  if (!next)
    return false;
  *aMsg = MSG{};
  aMsg->hwnd = next->Wnd;
  aMsg->message = WM_TIMER;
  aMsg->wParam = next->Id;
  aMsg->lParam = reinterpret_cast<LPARAM>(next->Proc);
  if (aRemove)
    next->Due = now + next->Interval;
  return true;
}

HWND PaintWindowFor(const Filter& aFilter) {
  if (!aFilter.InRange(WM_PAINT) || aFilter.Wnd == Filter::ThreadOnly())
    return nullptr;
  return NextPaintWindow(aFilter.Wnd);
}

// The next message passing the filter, if there is one, without waiting.
// Messages the filter passes over stay queued in their order.
bool NextMessage(MSG* aMsg, bool aRemove, const Filter& aFilter = {}) {
  RunWakeups();
  FreeGraveyard();
  LoopState& loop = Loop();
  std::size_t scanned = 0;
  for (;;) {
    for (; scanned < loop.Ready.size(); ++scanned) {
      if (!aFilter.Matches(loop.Ready[scanned]))
        continue;
      *aMsg = loop.Ready[scanned];
      if (aRemove)
        loop.Ready.erase(loop.Ready.begin() + std::ptrdiff_t(scanned));
      return true;
    }
    QueuedItem item;
    {
      SharedQueue& q = Shared();
      std::lock_guard lock(q.Lock);
      if (q.Items.empty())
        break;
      item = q.Items.front();
      q.Items.pop_front();
    }
    if (item.IsInput)
      ConvertInput(item.Input, loop.Ready);
    else if (!item.Msg.hwnd || Live(item.Msg.hwnd))
      loop.Ready.push_back(item.Msg);
  }
  if (HWND wnd = PaintWindowFor(aFilter)) {
    *aMsg = MSG{};
    aMsg->hwnd = wnd;
    aMsg->message = WM_PAINT;
    return true;
  }
  return TakeTimer(aMsg, aRemove, aFilter);
}

void Stamp(MSG* aMsg) {
  if (!aMsg->time)
    aMsg->time = TickCount();
  Loop().LastMessageTime = aMsg->time;
}

} // namespace

namespace detail {

std::int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

DWORD TickCount() {
  return DWORD(NowMs());
}

LRESULT Send(Window* aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  LoopState& loop = Loop();
  ++loop.SendDepth;
  struct Leave {
    ~Leave() { --Loop().SendDepth; }
  } leave;
  return CallWindowProcW(aWnd->Proc, aWnd->Handle, aMsg, aWParam, aLParam);
}

void BuryWindow(std::unique_ptr<Window> aWnd) {
  Loop().Graveyard.push_back(std::move(aWnd));
}

void QueueInput(const RawInput& aInput) {
  QueuedItem item;
  item.IsInput = true;
  item.Input = aInput;
  SharedQueue& q = Shared();
  std::lock_guard lock(q.Lock);
  q.Items.push_back(item);
}

void PushReadyFront(const MSG& aMsg) {
  Loop().Ready.push_front(aMsg);
}

} // namespace detail

LRESULT SendMessageW(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  Window* w = Live(aWnd);
  return w ? Send(w, aMsg, aWParam, aLParam) : 0;
}

BOOL PostMessageW(HWND aWnd, UINT aMsg, WPARAM aWParam, LPARAM aLParam) {
  // Handles are checked when the message is taken: the window table belongs to
  // the user-interface thread.
  if (aWnd == reinterpret_cast<HWND>(std::intptr_t(-1)))
    return FALSE;
  QueuedItem item;
  item.Msg.hwnd = aWnd;
  item.Msg.message = aMsg;
  item.Msg.wParam = aWParam;
  item.Msg.lParam = aLParam;
  item.Msg.time = TickCount();
  {
    SharedQueue& q = Shared();
    std::lock_guard lock(q.Lock);
    q.Items.push_back(item);
  }
  WriteWake();
  return TRUE;
}

void PostQuitMessage(int aExitCode) {
  PostMessageW(nullptr, WM_QUIT, WPARAM(aExitCode), 0);
}

BOOL PeekMessageW(MSG* aMsg, HWND aWnd, UINT aMsgFilterMin, UINT aMsgFilterMax, UINT aRemove) {
  const Filter filter{aWnd, aMsgFilterMin, aMsgFilterMax};
  if (!aMsg || filter.WindowGone())
    return FALSE;
  if (!NextMessage(aMsg, (aRemove & PM_REMOVE) != 0, filter)) {
    HostOf().ProcessEvents();
    if (!NextMessage(aMsg, (aRemove & PM_REMOVE) != 0, filter))
      return FALSE;
  }
  Stamp(aMsg);
  return TRUE;
}

BOOL GetMessageW(MSG* aMsg, HWND aWnd, UINT aMsgFilterMin, UINT aMsgFilterMax) {
  const Filter filter{aWnd, aMsgFilterMin, aMsgFilterMax};
  if (!aMsg || filter.WindowGone())
    return -1;
  for (;;) {
    if (NextMessage(aMsg, true, filter))
      break;
    if (HostOf().ProcessEvents())
      continue;
    PresentDirty();
    if (NextMessage(aMsg, true, filter))
      break;
    HostOf().Wait(WakeFd(), MsToNextTimer());
    DrainWakeDescriptor();
  }
  Stamp(aMsg);
  return aMsg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WaitMessage() {
  MSG msg;
  if (RunWakeups() || NextMessage(&msg, false))
    return TRUE;
  PresentDirty();
  HostOf().Wait(WakeFd(), MsToNextTimer());
  DrainWakeDescriptor();
  return TRUE;
}

BOOL TranslateMessage(const MSG* aMsg) {
  if (!aMsg || (aMsg->message != WM_KEYDOWN && aMsg->message != WM_SYSKEYDOWN) ||
      aMsg->lPrivate == 0)
    return FALSE;
  MSG ch = *aMsg;
  ch.message = aMsg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  ch.wParam = aMsg->lPrivate;
  ch.lPrivate = 0;
  PushReadyFront(ch);
  return TRUE;
}

LRESULT DispatchMessageW(const MSG* aMsg) {
  if (!aMsg)
    return 0;
  if (aMsg->message == WM_TIMER && aMsg->lParam) {
    reinterpret_cast<TIMERPROC>(aMsg->lParam)(aMsg->hwnd, WM_TIMER, aMsg->wParam, TickCount());
    return 0;
  }
  Window* w = Live(aMsg->hwnd);
  if (!w)
    return 0;
  if (aMsg->message == WM_PAINT)
    return SendPaintMessage(w);
  return Send(w, aMsg->message, aMsg->wParam, aMsg->lParam);
}

LONG GetMessageTime() {
  return LONG(Loop().LastMessageTime);
}

DWORD GetTickCount() {
  return TickCount();
}

UINT_PTR SetTimer(HWND aWnd, UINT_PTR aIdEvent, UINT aElapse, TIMERPROC aTimerFunc) {
  if (aWnd && !Live(aWnd))
    return 0;
  auto& timers = Ui().Timers;
  const UINT interval = std::max<UINT>(aElapse, 10);
  if (!aWnd)
    aIdEvent = 0x7000 + Ui().NextTimerId++;
  Timer t{aWnd, aIdEvent, interval, aTimerFunc, TimerNow() + interval};
  auto it = std::find_if(timers.begin(), timers.end(),
                         [&](const Timer& x) { return x.Wnd == aWnd && x.Id == aIdEvent; });
  if (it != timers.end())
    *it = t;
  else
    timers.push_back(t);
  return aWnd ? (aIdEvent ? aIdEvent : 1) : aIdEvent;
}

std::chrono::milliseconds TimerClockNow() {
  return std::chrono::milliseconds(TimerNow());
}

BOOL KillTimer(HWND aWnd, UINT_PTR aIdEvent) {
  auto& timers = Ui().Timers;
  auto it = std::find_if(timers.begin(), timers.end(),
                         [&](const Timer& x) { return x.Wnd == aWnd && x.Id == aIdEvent; });
  if (it == timers.end())
    return FALSE;
  timers.erase(it);
  return TRUE;
}

ManualTimerClock::ManualTimerClock() {
  Loop().ManualTime = NowMs();
}

ManualTimerClock::~ManualTimerClock() {
  // The timers keep the delays they have left, now on the real clock.
  const std::int64_t shift = NowMs() - Loop().ManualTime;
  for (Timer& t : Ui().Timers)
    t.Due += shift;
  Loop().ManualTime = -1;
}

void ManualTimerClock::Advance(DWORD aMilliseconds) {
  Loop().ManualTime += aMilliseconds;
}

int PumpUntilIdle() {
  int count = 0;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++count;
  }
  PresentDirty();
  return count;
}

bool PumpUntil(const std::function<bool()>& aDone, int aTimeoutMs) {
  const std::int64_t end = NowMs() + aTimeoutMs;
  while (!aDone()) {
    PumpUntilIdle();
    if (aDone())
      break;
    const std::int64_t now = NowMs();
    if (now >= end)
      break;
    const int toTimer = MsToNextTimer();
    std::int64_t wait = end - now;
    if (toTimer >= 0)
      wait = std::min<std::int64_t>(wait, toTimer);
    HostOf().Wait(WakeFd(), int(wait));
    DrainWakeDescriptor();
  }
  return aDone();
}

bool RunModalLoop(const std::function<bool()>& aDone) {
  ++Ui().ModalDepth;
  MSG msg;
  while (!aDone()) {
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  --Ui().ModalDepth;
  return aDone();
}

namespace detail {

void RunCaptureLoop(HWND aWnd, const std::function<CaptureStep(const MSG&)>& aHandle) {
  MSG msg;
  while (Live(aWnd) && GetCapture() == aWnd) {
    if (!GetMessageW(&msg, nullptr, 0, 0)) {
      PostQuitMessage(int(msg.wParam));
      return;
    }
    const CaptureStep step = aHandle(msg);
    if (step == CaptureStep::Finished)
      return;
    if (step == CaptureStep::NotMine) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

} // namespace detail

UiWakeup::UiWakeup(std::function<void()> aHandler) : fHandler(std::move(aHandler)) {
  Loop().Wakeups.push_back(this);
}

UiWakeup::~UiWakeup() {
  auto& list = Loop().Wakeups;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void UiWakeup::Signal() noexcept {
  if (!fPending.exchange(true, std::memory_order_acq_rel))
    WriteWake();
}

bool UiWakeup::RunIfSignalled() {
  if (!fPending.exchange(false, std::memory_order_acq_rel))
    return false;
  if (fHandler)
    fHandler();
  return true;
}

int WakeDescriptor() {
  return WakeFd();
}

void DrainWakeDescriptor() {
  std::uint64_t value;
  [[maybe_unused]] auto n = read(WakeFd(), &value, sizeof value);
}

} // namespace platform
