#include "skin/frame/qcWindowAnimation.h"

#include "platform/win/MessageLoop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

using namespace platform;

int AnimationSteps(int aTime) {
  return std::max(aTime, 0) / FrameTime;
}

namespace {

int Round(double aValue) {
  return int(std::lround(aValue));
}

BYTE OpacityByte(double aValue) {
  return BYTE(std::clamp(Round(aValue), 0, 255));
}

TRect RoundedRect(double aLeft, double aTop, double aRight, double aBottom) {
  return {Round(aLeft), Round(aTop), Round(aRight), Round(aBottom)};
}

double Lerp(double aFrom, double aTo, double aT) {
  return aFrom + (aTo - aFrom) * aT;
}

} // namespace

std::vector<TqcAnimationFrame> ShowAnimationFrames(int aTime, BYTE aBlendValue, int aMode,
                                                   TSize aSize) {
  const int n = AnimationSteps(aTime);
  std::vector<TqcAnimationFrame> frames;
  if (n <= 0)
    return frames;
  const double w = aSize.cx, h = aSize.cy;
  const double dx = w / 8 / n, dy = h / 8 / n;
  double left = w / 8, top = h / 8, right = w - w / 8, bottom = h - h / 8;
  double opacity = 0;
  const TRect whole{0, 0, aSize.cx, aSize.cy};
  for (int i = 0; i <= n; ++i) {
    opacity = std::min<double>(aBlendValue, opacity + double(aBlendValue) / n);
    TRect r = whole;
    if (aMode == 1 && left >= 0 && top >= 0)
      r = RoundedRect(left, top, right, bottom);
    frames.push_back({r, OpacityByte(opacity)});
    left -= dx;
    right += dx;
    top -= dy;
    bottom += dy;
  }
  return frames;
}

std::vector<TqcAnimationFrame> HideAnimationFrames(int aTime, int aMode, const TRect& aRect) {
  const int n = AnimationSteps(aTime);
  std::vector<TqcAnimationFrame> frames;
  const double insetX = aMode == 1 ? aRect.Width() / 8.0 : 0;
  const double insetY = aMode == 1 ? aRect.Height() / 8.0 : 0;
  for (int i = 1; i <= n; ++i) {
    const double t = double(i) / n;
    frames.push_back({RoundedRect(aRect.Left + insetX * t, aRect.Top + insetY * t,
                                  aRect.Right - insetX * t, aRect.Bottom - insetY * t),
                      OpacityByte(255 * (1 - t))});
  }
  return frames;
}

std::vector<TqcAnimationFrame> MinimizeAnimationFrames(int aTime, const TRect& aFrom,
                                                       const TRect& aTo) {
  const int n = AnimationSteps(aTime);
  std::vector<TqcAnimationFrame> frames;
  for (int i = 1; i <= n; ++i) {
    const double t = double(i) / n;
    frames.push_back(
        {RoundedRect(Lerp(aFrom.Left, aTo.Left, t), Lerp(aFrom.Top, aTo.Top, t),
                     Lerp(aFrom.Right, aTo.Right, t), Lerp(aFrom.Bottom, aTo.Bottom, t)),
         OpacityByte(255 * (1 - t))});
  }
  return frames;
}

TRect MinimizedTarget(const TRect& aWorkArea, int aWidth, int aHeight) {
  return {aWorkArea.Left, aWorkArea.Bottom - aHeight, aWorkArea.Left + aWidth, aWorkArea.Bottom};
}

TqcWindowAnimation::TqcWindowAnimation(HWND aOwner, std::unique_ptr<TqcLayeredCover> aCover,
                                       Bitmap aImage, std::vector<TqcAnimationFrame> aFrames)
    : fOwner(aOwner), fCover(std::move(aCover)), fImage(std::move(aImage)),
      fFrames(std::move(aFrames)) {}

bool TqcWindowAnimation::Step() {
  if (fNext >= fFrames.size())
    return false;
  const TqcAnimationFrame& frame = fFrames[fNext];
  fCover->PresentStretched(fImage, frame.Rect, frame.Opacity);
  if (OnFrame)
    OnFrame(int(fNext), frame);
  ++fNext;
  return true;
}

namespace {

// The animations the shared timer drives, and the timer while it runs.
struct TqcAnimationRunner {
  std::vector<std::unique_ptr<TqcWindowAnimation>> Running;
  UINT_PTR Timer = 0;
};

TqcAnimationRunner& Runner() {
  static TqcAnimationRunner runner;
  return runner;
}

void Finish(std::unique_ptr<TqcWindowAnimation> aAnimation) {
  if (aAnimation->OnFinished)
    aAnimation->OnFinished();
}

void StopTimerWhenIdle() {
  TqcAnimationRunner& runner = Runner();
  if (runner.Running.empty() && runner.Timer != 0) {
    KillTimer(nullptr, runner.Timer);
    runner.Timer = 0;
  }
}

// The timer procedure runs in the message loop, outside every window
// procedure, so an animation and its cover may be freed here.
void Tick(HWND, UINT, UINT_PTR, DWORD) {
  TqcAnimationRunner& runner = Runner();
  std::vector<std::unique_ptr<TqcWindowAnimation>> finished;
  for (std::size_t i = 0; i < runner.Running.size(); ++i) {
    runner.Running[i]->Step();
    if (runner.Running[i]->FramesLeft() == 0)
      finished.push_back(std::move(runner.Running[i]));
  }
  std::erase(runner.Running, nullptr);
  StopTimerWhenIdle();
  for (auto& animation : finished)
    Finish(std::move(animation));
}

} // namespace

void StartAnimation(std::unique_ptr<TqcWindowAnimation> aAnimation) {
  if (aAnimation->FramesLeft() == 0) {
    Finish(std::move(aAnimation));
    return;
  }
  aAnimation->Step();
  TqcAnimationRunner& runner = Runner();
  runner.Running.push_back(std::move(aAnimation));
  if (runner.Timer == 0)
    runner.Timer = SetTimer(nullptr, 0, FrameTime, Tick);
}

void RunAnimationNow(TqcWindowAnimation& aAnimation) {
  using Clock = std::chrono::steady_clock;
  auto due = Clock::now();
  while (aAnimation.FramesLeft() > 0) {
    std::this_thread::sleep_until(due);
    due = Clock::now() + std::chrono::milliseconds(FrameTime);
    aAnimation.Step();
  }
  std::this_thread::sleep_until(due);
  if (aAnimation.OnFinished)
    aAnimation.OnFinished();
}

TqcWindowAnimation* RunningAnimation(HWND aOwner) {
  for (auto& animation : Runner().Running)
    if (animation->Owner() == aOwner)
      return animation.get();
  return nullptr;
}

void StopAnimation(HWND aOwner, bool aSilently) {
  TqcAnimationRunner& runner = Runner();
  auto it =
      std::find_if(runner.Running.begin(), runner.Running.end(),
                   [aOwner](const auto& aAnimation) { return aAnimation->Owner() == aOwner; });
  if (it == runner.Running.end())
    return;
  std::unique_ptr<TqcWindowAnimation> animation = std::move(*it);
  runner.Running.erase(it);
  StopTimerWhenIdle();
  if (aSilently)
    animation->OnFinished = nullptr;
  Finish(std::move(animation));
}

int RunningAnimationCount() {
  return int(Runner().Running.size());
}
