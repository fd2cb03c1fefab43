#pragma once
// Fades: a cross-fade of an old look into a new one in a few steps of a
// 12 ms timer of the user-interface thread. The fade works on any target: a
// bitmap that holds the target's look (the whole bitmap or an area of it),
// a way to render the new look into it and a way to show one frame. A
// skinned control's target is its skin data (TsControlFadeTarget); a window
// frame can fade an area of its frame cache the same way.
//
// Each frame blends the old look with the new one, per colour channel
// (old * (255 - a) + new * (a + 1)) >> 8 with a = level * 255 / iterations;
// the last frame is the new look exactly. User-interface thread only.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/win/WinDefs.h"

#include <memory>
#include <optional>

class TsCommonData;
class TsSkinManager;

enum class TFadeDirection { fdNone = 0, fdUp = 1, fdDown = 2 };

// What a fade works on.
class TsFadeTarget {
public:
  virtual ~TsFadeTarget() = default;
  // The bitmap holding the target's current look, or nullptr.
  virtual const platform::Bitmap* Look() const = 0;
  // The part of Look() that fades; the whole bitmap unless overridden.
  virtual TRect LookArea() const;
  // Renders the new look into Look().
  virtual void PrepareNewLook() = 0;
  // Shows one frame: a bitmap of LookArea()'s size. aAlpha is the step's
  // weight of the new look (0..255), for a target that fades by opacity (an
  // overlay window) rather than by pixels.
  virtual void ShowFrame(const platform::Bitmap& aFrame, int aAlpha) = 0;
  // The last frame was shown; the owner usually stops the fade here
  // (StopFade), also while the timer's tick is still running.
  virtual void FadeFinished() = 0;
  // The target can take no more frames (its owner is going): the fade stops
  // without a word to it.
  virtual bool Gone() const = 0;
  // The target no longer fades (a disabled control): the fade ends and the
  // target repaints plainly through Repaint.
  virtual bool Disabled() const { return false; }
  virtual void Repaint() = 0;
};

class TsFadeTimer {
public:
  static constexpr unsigned IntervalMs = 12;
  static constexpr int FullIterations = 11;

  TsFadeTimer();
  virtual ~TsFadeTimer();
  TsFadeTimer(const TsFadeTimer&) = delete;
  TsFadeTimer& operator=(const TsFadeTimer&) = delete;

  // Number of live fade timers (those in the middle of their last tick
  // included).
  static int LiveCount();
  // Once set, every fade stops for good (the window frame sets it when the
  // session ends and then lets pending messages run until LiveCount() is 0).
  static bool StopFading;

  TFadeDirection Direction() const { return fDirection; }
  // Stores the direction, makes a negative level 1 and runs the timer
  // exactly when the direction is not fdNone.
  void SetDirection(TFadeDirection aDirection);
  // Takes a target: its current look becomes the old look (the frame on
  // screen instead when a fade of the same timer is cut short), and the
  // iterations are set by the direction: FullIterations, or the level for
  // fdUp, or FullIterations - level for fdDown.
  void SetTarget(std::unique_ptr<TsFadeTarget> aTarget);
  TsFadeTarget* Target() const { return fTarget.get(); }
  // Whether the timer runs; it stays off when the platform gives no timer.
  bool Enabled() const { return fEnabled; }
  void SetEnabled(bool aValue);

  // One tick of the timer: ends the fade (ToEnd) or paints the next frame.
  void Tick();
  // Whether the fade is over; at its end the target hears FadeFinished.
  bool ToEnd();
  // Paints the frame of the current level and moves the level on.
  void Change();

  int Iterations = 0;
  int FadeLevel = 1;
  // The old look.
  platform::Bitmap BmpFrom;

protected:
  // Starts the platform timer that ticks this fade; 0 when there is none.
  virtual platform::UINT_PTR StartPlatformTimer();

private:
  friend void StopFade(std::unique_ptr<TsFadeTimer>& aTimer);
  // Called by the platform timer of this object.
  static void TimerProc(platform::HWND aWnd, platform::UINT aMsg, platform::UINT_PTR aId,
                        platform::DWORD aTime);

  std::unique_ptr<TsFadeTarget> fTarget;
  TFadeDirection fDirection = TFadeDirection::fdNone;
  bool fEnabled = false;
  platform::UINT_PTR fTimerId = 0;
  // Inside Tick: StopFade defers the freeing until the tick returns.
  bool fTicking = false;
  bool fFreeAfterTick = false;
  // The last frame shown, the old look of a fade that is cut short.
  platform::Bitmap fLastFrame;
  bool fFrameShown = false;
};

// The frame of a fade step: aOld blended with aArea of aNew, a = aAlpha
// (0..255). When the sizes differ the frame is the old look.
platform::Bitmap FadeFrame(const platform::Bitmap& aOld, const platform::Bitmap& aNew,
                           const TRect& aArea, int aAlpha);

// Starts or restarts a fade of aTarget on aTimer (created when missing):
// the old look is taken, the iterations set (halved for aHalf), the target
// renders its new look and the timer runs until the new look is reached.
// Without a platform timer the fade is skipped: the target repaints in its
// new look at once and the timer is freed.
void StartFade(std::unique_ptr<TsFadeTimer>& aTimer, std::unique_ptr<TsFadeTarget> aTarget,
               bool aHalf, TFadeDirection aDirection);
// Stops and frees the timer and clears the reference. Inside the timer's own
// tick the freeing waits until the tick has returned.
void StopFade(std::unique_ptr<TsFadeTimer>& aTimer);

// The animation events of controls, and the bit that defers to the skin
// manager's settings for buttons.
enum class TsAnimEvent { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
using TsAnimEvents = unsigned;
constexpr TsAnimEvents AnimBit(TsAnimEvent aEvent) {
  return 1u << unsigned(aEvent);
}
// Whether an event fades: it is in aControlEvents, or aControlEvents holds
// aeGlobalDef and the manager's button animation events hold it.
bool ShouldAnimate(TsAnimEvent aEvent, TsAnimEvents aControlEvents, const TsSkinManager* aManager);

// The fade target of a skinned control: its skin data's cache, or an area of
// it. The control renders on scPrepareCache, gets each frame with
// scFadeFrame (the frame's address as second parameter; answering 0 has the
// frame copied to the window at the area's top-left) and hears scStopFading
// at the end.
class TsControlFadeTarget : public TsFadeTarget {
public:
  explicit TsControlFadeTarget(TsCommonData& aData, std::optional<TRect> aArea = std::nullopt)
      : fData(aData), fArea(aArea) {}
  const platform::Bitmap* Look() const override;
  TRect LookArea() const override;
  void PrepareNewLook() override;
  void ShowFrame(const platform::Bitmap& aFrame, int aAlpha) override;
  void FadeFinished() override;
  bool Gone() const override;
  bool Disabled() const override;
  void Repaint() override;

private:
  TsCommonData& fData;
  std::optional<TRect> fArea;
};

// A state change of a skinned control (of aArea of it when given). With
// aAnimate, while no window animation runs, fades are not stopped for good
// and the cache is current: the change fades. Otherwise a running fade stops
// and the control (the area) repaints at once. Either way the glow follows
// the hot state (ShowGlowIfHot with aHalf as its refresh flag).
void StartFade(std::unique_ptr<TsFadeTimer>& aTimer, TsCommonData& aData, bool aHalf,
               TFadeDirection aDirection, bool aAnimate, std::optional<TRect> aArea = std::nullopt);
