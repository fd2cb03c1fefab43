// Window animations: the frames of the show, hide and minimize animations,
// the layered cover they are shown on, and the shared timer of the
// user-interface thread that drives hide and minimize animations.

#include "skin/frame/qcWindowAnimation.h"

#include "platform/host/HeadlessHost.h"
#include "platform/win/Layered.h"
#include "support/PixelCheck.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>
#include <thread>

using namespace platform;
using pixelcheck::Px;

namespace {

TEST(ShowAnimationFrames, TimeBelowOneFrameShowsNoFrames) {
  EXPECT_TRUE(ShowAnimationFrames(0, 255, 1, {800, 400}).empty());
  EXPECT_TRUE(ShowAnimationFrames(11, 255, 1, {800, 400}).empty());
}

TEST(ShowAnimationFrames, ZoomGrowsFromAnEighthInsetToTheWholeImage) {
  // Time 120: 10 steps, 11 frames; the rectangle starts inset by W/8 and H/8
  // and grows by W/8/10, H/8/10 on each side per frame.
  const auto frames = ShowAnimationFrames(120, 255, 1, {800, 400});
  ASSERT_EQ(frames.size(), 11u);
  EXPECT_EQ(frames[0].Rect, (TRect{100, 50, 700, 350}));
  EXPECT_EQ(frames[1].Rect, (TRect{90, 45, 710, 355}));
  EXPECT_EQ(frames[5].Rect, (TRect{50, 25, 750, 375}));
  EXPECT_EQ(frames[10].Rect, (TRect{0, 0, 800, 400}));
  // Opacity grows by 255/10 per frame and stops at the blend value.
  EXPECT_EQ(frames[0].Opacity, 26);
  EXPECT_EQ(frames[4].Opacity, 128);
  EXPECT_EQ(frames[9].Opacity, 255);
  EXPECT_EQ(frames[10].Opacity, 255);
}

TEST(ShowAnimationFrames, OtherModesShowTheWholeImageFading) {
  const auto frames = ShowAnimationFrames(48, 200, 0, {80, 40});
  ASSERT_EQ(frames.size(), 5u);
  for (const auto& f : frames)
    EXPECT_EQ(f.Rect, (TRect{0, 0, 80, 40}));
  EXPECT_EQ(frames[0].Opacity, 50);
  EXPECT_EQ(frames[3].Opacity, 200);
  EXPECT_EQ(frames[4].Opacity, 200);
}

TEST(HideAnimationFrames, FadeOutAndZoomShrinksToTheCentre) {
  EXPECT_TRUE(HideAnimationFrames(0, 0, {0, 0, 80, 40}).empty());
  const auto fade = HideAnimationFrames(48, 0, {10, 20, 90, 60});
  ASSERT_EQ(fade.size(), 4u);
  EXPECT_EQ(fade[0], (TqcAnimationFrame{{10, 20, 90, 60}, 191}));
  EXPECT_EQ(fade[3], (TqcAnimationFrame{{10, 20, 90, 60}, 0}));
  const auto zoom = HideAnimationFrames(24, 1, {0, 0, 80, 40});
  ASSERT_EQ(zoom.size(), 2u);
  EXPECT_EQ(zoom[0].Rect, (TRect{5, 3, 75, 38})); // 2.5 rounds to 3, 37.5 to 38
  EXPECT_EQ(zoom[1].Rect, (TRect{10, 5, 70, 35}));
}

TEST(MinimizeAnimationFrames, MovesFromTheWindowToTheTargetFading) {
  const TRect from{100, 100, 500, 400};
  const TRect to = MinimizedTarget({0, 0, 1280, 1000}, 160, 20);
  EXPECT_EQ(to, (TRect{0, 980, 160, 1000}));
  const auto frames = MinimizeAnimationFrames(120, from, to);
  ASSERT_EQ(frames.size(), 10u);
  EXPECT_EQ(frames[4].Rect, (TRect{50, 540, 330, 700}));
  EXPECT_EQ(frames[4].Opacity, 128);
  EXPECT_EQ(frames[9], (TqcAnimationFrame{to, 0}));
}

class CoverTest : public ::testing::Test {
protected:
  void SetUp() override { wintest::Reset(); }
  void TearDown() override { wintest::Reset(); }
  HeadlessHost fHost{{200, 150}};
};

Bitmap Solid(int aWidth, int aHeight, std::uint32_t aPixel) {
  return pixelcheck::Filled(aWidth, aHeight, aPixel);
}

TEST_F(CoverTest, ShowsItsImageInsideItsShapeWithoutActivation) {
  TqcLayeredCover cover;
  EXPECT_FALSE(cover.Visible());
  cover.SetImage(Solid(40, 30, Px(255, 0, 0)), Region(TRect{0, 0, 40, 10}));
  cover.Show({20, 10}, 255, HWND_TOPMOST);
  EXPECT_TRUE(cover.Visible());
  EXPECT_EQ(GetActiveWindow(), nullptr);
  fHost.PumpUntilIdle();
  const Bitmap screen = fHost.CaptureScreen();
  EXPECT_EQ(screen.Pixel(25, 15) & 0xFFFFFFu, Px(255, 0, 0) & 0xFFFFFFu);
  // Below the shape the desktop shows through.
  EXPECT_NE(screen.Pixel(25, 25) & 0xFFFFFFu, Px(255, 0, 0) & 0xFFFFFFu);
  // The mouse goes through the cover.
  EXPECT_NE(WindowFromPoint({25, 15}), cover.Handle());
}

TEST_F(CoverTest, GoesJustAboveTheWindowItCovers) {
  HWND below = wintest::Make("below", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
  HWND above = wintest::Make("above", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
  TqcLayeredCover cover;
  cover.SetImage(Solid(10, 10, Px(0, 0, 255)));
  cover.Show({0, 0}, 255, below);
  EXPECT_EQ(GetWindow(above, GW_HWNDNEXT), cover.Handle());
  EXPECT_EQ(GetWindow(cover.Handle(), GW_HWNDNEXT), below);
}

TEST_F(CoverTest, DestroyingTheCoverRemovesItsWindow) {
  HWND wnd;
  {
    TqcLayeredCover cover;
    wnd = cover.Handle();
    EXPECT_TRUE(IsWindow(wnd));
  }
  EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(CoverTest, StretchedFramesMoveAndSizeTheCover) {
  TqcLayeredCover cover;
  cover.SetImage(Solid(40, 20, Px(0, 255, 0)));
  cover.Show({0, 0}, 255, HWND_TOPMOST);
  cover.PresentStretched(Solid(40, 20, Px(0, 255, 0)), {10, 10, 30, 20}, 100);
  RECT r;
  GetWindowRect(cover.Handle(), &r);
  EXPECT_EQ(r, (TRect{10, 10, 30, 20}));
  EXPECT_EQ(GetLayerInfo(cover.Handle()).Alpha, 100);
}

class AnimationTest : public CoverTest {};

std::unique_ptr<TqcWindowAnimation> Animation(HWND aOwner, std::vector<TqcAnimationFrame> aFrames) {
  auto cover = std::make_unique<TqcLayeredCover>();
  cover->SetImage(Solid(40, 20, Px(0, 0, 255)));
  cover->Show({0, 0}, 255, HWND_TOPMOST);
  return std::make_unique<TqcWindowAnimation>(aOwner, std::move(cover),
                                              Solid(40, 20, Px(0, 0, 255)), std::move(aFrames));
}

TEST_F(AnimationTest, FramesTickOnTheUserInterfaceThreadsTimer) {
  HWND owner = wintest::Make("owner", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
  const auto frames = MinimizeAnimationFrames(120, {0, 0, 40, 20}, {0, 130, 20, 150});
  auto animation = Animation(owner, frames);
  std::vector<TqcAnimationFrame> shown;
  bool finished = false;
  HWND coverWnd = nullptr;
  const auto uiThread = std::this_thread::get_id();
  animation->OnFrame = [&](int aIndex, const TqcAnimationFrame& aFrame) {
    EXPECT_EQ(std::this_thread::get_id(), uiThread);
    EXPECT_EQ(aIndex, int(shown.size()));
    shown.push_back(aFrame);
    coverWnd = GetTopWindow(nullptr);
  };
  animation->OnFinished = [&] { finished = true; };
  StartAnimation(std::move(animation));
  // The first frame is shown at once, the others as the loop's timer fires.
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(RunningAnimation(owner) != nullptr, true);
  EXPECT_TRUE(PumpUntil([&] { return finished; }, 5000));
  EXPECT_EQ(shown, frames);
  EXPECT_EQ(RunningAnimation(owner), nullptr);
  EXPECT_EQ(RunningAnimationCount(), 0);
  // The cover went with the animation.
  EXPECT_FALSE(IsWindow(coverWnd));
}

TEST_F(AnimationTest, AnimationWithoutFramesFinishesAtOnce) {
  bool finished = false;
  auto animation = Animation(nullptr, {});
  animation->OnFinished = [&] { finished = true; };
  StartAnimation(std::move(animation));
  EXPECT_TRUE(finished);
  EXPECT_EQ(RunningAnimationCount(), 0);
  EXPECT_EQ(GetTopWindow(nullptr), nullptr);
}

TEST_F(AnimationTest, StoppingEndsTheRunAndSilentStopDropsTheCallback) {
  HWND a = wintest::Make("a", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
  HWND b = wintest::Make("b", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
  int finished = 0;
  for (HWND owner : {a, b}) {
    auto animation = Animation(owner, HideAnimationFrames(240, 0, {0, 0, 40, 20}));
    animation->OnFinished = [&] { ++finished; };
    StartAnimation(std::move(animation));
  }
  EXPECT_EQ(RunningAnimationCount(), 2);
  StopAnimation(a);
  EXPECT_EQ(finished, 1);
  StopAnimation(b, true);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(RunningAnimationCount(), 0);
}

TEST_F(AnimationTest, RunningNowShowsEveryFrameBeforeReturning) {
  int count = 0;
  bool finished = false;
  auto animation = Animation(nullptr, ShowAnimationFrames(36, 255, 1, {40, 20}));
  animation->OnFrame = [&](int, const TqcAnimationFrame&) { ++count; };
  animation->OnFinished = [&] { finished = true; };
  RunAnimationNow(*animation);
  EXPECT_EQ(count, 4);
  EXPECT_TRUE(finished);
}

} // namespace
