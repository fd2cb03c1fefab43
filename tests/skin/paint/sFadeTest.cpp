// The fade engine driven frame by frame through the loop's timers on a
// manual clock: each frame follows the blend rule between the old and the
// new look, half fades, fades cut short, the end of a fade (a timer freed in
// its own tick), disabled targets, the stop-fading flag, and the state
// change of a skinned control with and without animation.

#include "skin/paint/sFade.h"

#include "FadeRule.h"
#include "SkinDataFixture.h"
#include "platform/win/MessageLoop.h"
#include "support/PixelCheck.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace platform;
using pixelcheck::SameBitmap;

namespace {

// Distinct values in every channel, so that a wrong weight shows.
Bitmap Pattern(int aW, int aH, int aSeed) {
  return MakeBitmap(aW, aH, [aSeed](int aX, int aY) {
    return 0x80000000u | std::uint32_t((aX * 37 + aSeed) % 256) << 16 |
           std::uint32_t((aY * 53 + aSeed * 3) % 256) << 8 |
           std::uint32_t((aX * aY + aSeed * 7) % 256);
  });
}

// A target over a bitmap: the next look is set by the test and rendered on
// PrepareNewLook; frames and calls are recorded.
struct TTestTarget : TsFadeTarget {
  Bitmap Cache;
  Bitmap NextLook;
  std::optional<TRect> Area;
  std::vector<Bitmap> Frames;
  std::vector<int> Alphas;
  int Finished = 0, Repaints = 0;
  bool IsDisabled = false;
  std::function<void()> OnFinished;

  const Bitmap* Look() const override { return &Cache; }
  TRect LookArea() const override { return Area ? *Area : TsFadeTarget::LookArea(); }
  void PrepareNewLook() override { Cache = NextLook; }
  void ShowFrame(const Bitmap& aFrame, int aAlpha) override {
    Frames.push_back(aFrame);
    Alphas.push_back(aAlpha);
  }
  void FadeFinished() override {
    ++Finished;
    if (OnFinished)
      OnFinished();
  }
  bool Gone() const override { return false; }
  bool Disabled() const override { return IsDisabled; }
  void Repaint() override { ++Repaints; }
};

class FadeTest : public SkinDataTest {
protected:
  void TearDown() override {
    TsFadeTimer::StopFading = false;
    SkinDataTest::TearDown();
  }

  // Moves the clock one timer period on and runs what fell due.
  void Step(int aCount = 1) {
    for (int i = 0; i < aCount; ++i) {
      fClock->Advance(TsFadeTimer::IntervalMs);
      PumpUntilIdle();
    }
  }
  // A target owned by the timer, observed through the returned pointer.
  TTestTarget* Start(std::unique_ptr<TsFadeTimer>& aTimer, const Bitmap& aFrom, const Bitmap& aTo,
                     bool aHalf) {
    auto target = std::make_unique<TTestTarget>();
    TTestTarget* observed = target.get();
    target->Cache = aFrom;
    target->NextLook = aTo;
    StartFade(aTimer, std::move(target), aHalf, TFadeDirection::fdUp);
    return observed;
  }

  std::unique_ptr<ManualTimerClock> fClock = std::make_unique<ManualTimerClock>();
};

// Each tick paints the next frame by the rule; the tick after the last frame
// ends the fade, and the last frame is the new look itself.
TEST_F(FadeTest, FramesFollowTheBlendRuleForFullAndHalfFades) {
  struct Case {
    bool Half;
    std::vector<int> Alphas;
  };
  const Case cases[] = {{false, kFullFadeAlphas}, {true, kHalfFadeAlphas}};
  const Bitmap from = Pattern(7, 5, 1), to = Pattern(7, 5, 90);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Half ? "half" : "full");
    std::unique_ptr<TsFadeTimer> timer;
    TTestTarget* target = Start(timer, from, to, c.Half);
    EXPECT_EQ(timer->Iterations, int(c.Alphas.size()));
    EXPECT_TRUE(target->Frames.empty()) << "the first frame waits for the first tick";
    for (std::size_t i = 0; i < c.Alphas.size(); ++i) {
      Step();
      ASSERT_EQ(target->Frames.size(), i + 1);
      EXPECT_TRUE(
          SameBitmap(target->Frames[i], FadeRuleFrame(from, to, {0, 0}, c.Alphas[i]), "fade-frame"))
          << "frame " << i;
    }
    EXPECT_TRUE(SameBitmap(target->Frames.back(), to, "fade-last"));
    EXPECT_EQ(target->Alphas, c.Alphas);
    EXPECT_EQ(target->Finished, 0);
    Step();
    EXPECT_EQ(target->Finished, 1);
    EXPECT_EQ(target->Frames.size(), c.Alphas.size());
    EXPECT_FALSE(timer->Enabled()) << "a finished fade ticks no more";
    Step(3);
    EXPECT_EQ(target->Finished, 1);
  }
}

// An area of a larger look fades on its own: frames have the area's size.
TEST_F(FadeTest, AnAreaOfTheLookFades) {
  const Bitmap from = Pattern(20, 10, 3), to = Pattern(20, 10, 200);
  auto target = std::make_unique<TTestTarget>();
  TTestTarget* observed = target.get();
  target->Cache = from;
  target->NextLook = to;
  target->Area = TRect{4, 2, 12, 9};
  std::unique_ptr<TsFadeTimer> timer;
  StartFade(timer, std::move(target), false, TFadeDirection::fdUp);
  Step(2);
  ASSERT_EQ(observed->Frames.size(), 2u);
  Bitmap oldArea(8, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 8; ++x)
      oldArea.SetPixel(x, y, from.Pixel(4 + x, 2 + y));
  EXPECT_TRUE(SameBitmap(observed->Frames[1], FadeRuleFrame(oldArea, to, {4, 2}, 46), "fade-area"));
}

// A new state during a fade goes on from the frame on screen to the newest
// look and ends in it.
TEST_F(FadeTest, AFadeCutShortEndsInTheNewState) {
  const Bitmap a = Pattern(6, 4, 10), b = Pattern(6, 4, 120), c = Pattern(6, 4, 240);
  std::unique_ptr<TsFadeTimer> timer;
  TTestTarget* first = Start(timer, a, b, false);
  Step(4);
  ASSERT_EQ(first->Frames.size(), 4u);
  const Bitmap onScreen = first->Frames.back();
  TsFadeTimer* same = timer.get();
  TTestTarget* second = Start(timer, b, c, false);
  EXPECT_EQ(timer.get(), same) << "the running timer is reused";
  EXPECT_EQ(timer->Iterations, TsFadeTimer::FullIterations);
  EXPECT_EQ(timer->FadeLevel, 1);
  Step();
  ASSERT_EQ(second->Frames.size(), 1u);
  EXPECT_TRUE(SameBitmap(second->Frames[0], FadeRuleFrame(onScreen, c, {0, 0}, 23), "cut-short"));
  Step(TsFadeTimer::FullIterations);
  EXPECT_EQ(second->Finished, 1);
  EXPECT_TRUE(SameBitmap(second->Frames.back(), c, "cut-short-end"));
}

// The owner frees the timer when it hears that the fade is over, while the
// timer's tick is still running: the timer lives on until the tick returns
// (under AddressSanitizer a timer freed at once is a use after free).
TEST_F(FadeTest, ATimerStoppedInItsOwnTickIsFreedAfterTheTick) {
  std::unique_ptr<TsFadeTimer> timer;
  TTestTarget* target = Start(timer, Pattern(3, 3, 1), Pattern(3, 3, 2), true);
  int finished = 0;
  int liveDuringStop = -1;
  target->OnFinished = [&] {
    ++finished;
    StopFade(timer);
    liveDuringStop = TsFadeTimer::LiveCount();
  };
  EXPECT_EQ(TsFadeTimer::LiveCount(), 1);
  Step(5);
  EXPECT_EQ(finished, 0);
  Step();
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(timer, nullptr) << "the reference is cleared at once";
  EXPECT_EQ(liveDuringStop, 1) << "still alive inside its tick";
  EXPECT_EQ(TsFadeTimer::LiveCount(), 0) << "freed once the tick returned";
  Step(2);
  EXPECT_EQ(finished, 1);
}

TEST_F(FadeTest, ADisabledTargetEndsTheFadeAndRepaints) {
  std::unique_ptr<TsFadeTimer> timer;
  TTestTarget* target = Start(timer, Pattern(3, 3, 1), Pattern(3, 3, 2), false);
  Step(2);
  target->IsDisabled = true;
  Step();
  EXPECT_EQ(target->Frames.size(), 2u);
  EXPECT_EQ(target->Repaints, 1);
  EXPECT_FALSE(timer->Enabled());
  EXPECT_EQ(timer->Iterations, 0);
}

// With fades stopped for good, the next tick ends each fade, so that whoever
// waits for the live timers to go is not kept waiting.
TEST_F(FadeTest, TheStopFlagEndsRunningFadesSoTheLiveCountReachesZero) {
  std::unique_ptr<TsFadeTimer> first, second;
  for (auto* timer : {&first, &second})
    Start(*timer, Pattern(3, 3, 1), Pattern(3, 3, 2), false)->OnFinished = [timer] {
      StopFade(*timer);
    };
  Step();
  EXPECT_EQ(TsFadeTimer::LiveCount(), 2);
  TsFadeTimer::StopFading = true;
  Step();
  EXPECT_EQ(TsFadeTimer::LiveCount(), 0);
}

// When the platform gives no timer, the fade is skipped: no timer is left
// (none waits for a tick that never comes), and the target shows its new
// look at once; a fade on a timer of its own still runs.
TEST_F(FadeTest, WithoutAPlatformTimerTheFadeIsSkipped) {
  struct TNoPlatformTimer : TsFadeTimer {
    UINT_PTR StartPlatformTimer() override { return 0; }
  };
  struct TRepaintTarget : TTestTarget {
    std::vector<Bitmap>* Repainted = nullptr;
    void Repaint() override { Repainted->push_back(Cache); }
  };
  std::unique_ptr<TsFadeTimer> running;
  TTestTarget* other = Start(running, Pattern(3, 3, 1), Pattern(3, 3, 2), false);
  const Bitmap to = Pattern(4, 3, 50);
  std::vector<Bitmap> repainted;
  auto target = std::make_unique<TRepaintTarget>();
  target->Cache = Pattern(4, 3, 5);
  target->NextLook = to;
  target->Repainted = &repainted;
  std::unique_ptr<TsFadeTimer> timer = std::make_unique<TNoPlatformTimer>();
  StartFade(timer, std::move(target), false, TFadeDirection::fdUp);
  EXPECT_EQ(timer, nullptr);
  ASSERT_EQ(repainted.size(), 1u);
  EXPECT_TRUE(SameBitmap(repainted[0], to, "skipped-fade-new-look"));
  EXPECT_EQ(TsFadeTimer::LiveCount(), 1);
  Step(2);
  EXPECT_EQ(other->Frames.size(), 2u);
}

TEST(FadeAnimate, EventsOfTheControlOrTheManagersButtonEvents) {
  TsSkinManager manager;
  manager.AnimEffects.Buttons.Events = {TqcButtonEvent::beMouseEnter};
  const TsAnimEvents global = AnimBit(TsAnimEvent::aeGlobalDef);
  const struct {
    TsAnimEvent Event;
    TsAnimEvents Control;
    const TsSkinManager* Manager;
    bool Animate;
  } rows[] = {
      {TsAnimEvent::aeMouseEnter, global, &manager, true},
      {TsAnimEvent::aeMouseLeave, global, &manager, false},
      {TsAnimEvent::aeMouseLeave, global | AnimBit(TsAnimEvent::aeMouseLeave), &manager, true},
      {TsAnimEvent::aeMouseEnter, 0, &manager, false},
      {TsAnimEvent::aeMouseDown, AnimBit(TsAnimEvent::aeMouseDown), nullptr, true},
      {TsAnimEvent::aeMouseEnter, global, nullptr, false},
  };
  for (const auto& r : rows)
    EXPECT_EQ(ShouldAnimate(r.Event, r.Control, r.Manager), r.Animate)
        << int(r.Event) << " " << r.Control;
}

// A skinned control's state change: with animation the control renders its
// new look on scPrepareCache and its window shows the frames; without it a
// running fade stops and the control repaints at once.
TEST_F(FadeTest, AControlFadesThroughItsCacheOrRepaintsAtOnce) {
  TsTestPanel* panel = Panel(fForm, "PANEL", {10, 10, 30, 20});
  SendSkinCommand(panel, scPrepareCache);
  ASSERT_TRUE(panel->SkinData.CacheFilled());
  panel->SkinData.BGChanged = false;
  const int prepared = panel->Received[scPrepareCache];
  panel->CacheColor = 0x00102030;
  std::unique_ptr<TsFadeTimer> timer;
  StartFade(timer, panel->SkinData, false, TFadeDirection::fdUp, true);
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(panel->Received[scPrepareCache], prepared + 1);
  Step(3);
  EXPECT_EQ(panel->Received[scFadeFrame], 3);

  const int paints = panel->Paints;
  StartFade(timer, panel->SkinData, false, TFadeDirection::fdUp, false);
  EXPECT_EQ(timer, nullptr);
  EXPECT_GT(panel->Paints, paints) << "repainted at once";
  Step(2);
  EXPECT_EQ(panel->Received[scFadeFrame], 3);
}

} // namespace
