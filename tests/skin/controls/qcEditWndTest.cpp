// The edit adapter on a toolkit list box: the room it makes for the skinned
// bar, the bar pixel-exact over a plain-coloured skin (thumb, hover, left
// side, disabled blend), the arrow's press-and-repeat on the platform's
// timers, the thumb drag to the end, and the lost-capture mend.

#include "ScrollAdapterFixture.h"
#include "support/PixelCheck.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using pixelcheck::Opaque;
using pixelcheck::SameBitmap;

// round(a * 60 % + b * 40 %) per channel.
TColor Mix60(TColor aOwn, TColor aBack) {
  TColor out = 0;
  for (int shift = 0; shift <= 16; shift += 8)
    out |= TColor((((aOwn >> shift) & 0xFF) * 60 + ((aBack >> shift) & 0xFF) * 40 + 50) / 100)
           << shift;
  return out;
}

TEST_F(ScrollAdapterTest, AttachingMakesRoomAndPaintsTheBarFromTheSkin) {
  MakeList(100);
  Attach();
  EXPECT_EQ(TqcMainWnd::Of(fList->Handle()), fAdapter.get());
  // The skinned bar (17 wide) takes its room inside the 2-pixel edge.
  EXPECT_EQ(fList->ClientWidth(), 150 - 4 - kBar);
  EXPECT_EQ(fList->ClientHeight(), 200);
  EXPECT_EQ(fAdapter->ClientOffset(), (TPoint{2, 2}));
  ASSERT_TRUE(fAdapter->sBarVert.fScrollVisible);
  EXPECT_EQ(fAdapter->sBarVert.Rect(), (TRect{BarLeft(), 2, BarLeft() + kBar, 202}));

  // 100 lines, 10 shown, bar 200 with arrows of 17: track 166, thumb
  // 166 * 10 / 100 = 17 (16.6 rounded); at line 45 it starts
  // 45 * (166 - 17) / 90 = 74.5, rounded to 75, after the track's start.
  const struct {
    int Top;
    TBarLook Look;
  } cases[] = {{0, {17, 34}}, {45, {92, 109}}, {90, {166, 183}}};
  for (const auto& c : cases) {
    fList->SetTopIndex(c.Top);
    RedrawWindow(fList->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(SameBitmap(Shot({BarLeft(), 2, BarLeft() + kBar, 202}), ExpectedBar(200, c.Look),
                           "edit-bar-top-" + std::to_string(c.Top)));
  }
  // The 2-pixel frame ring comes from the cache, the EDIT section's colour.
  const Bitmap shot = Shot();
  for (TPoint p : {TPoint{0, 0}, TPoint{1, 100}, TPoint{149, 203}, TPoint{60, 202}})
    EXPECT_EQ(shot.Pixel(p.X, p.Y), Opaque(kEditColor)) << p.X << "," << p.Y;
  fAdapter.reset();
  EXPECT_EQ(TqcMainWnd::Of(fList->Handle()), nullptr);
}

TEST_F(ScrollAdapterTest, LeftScrollBarReservesAndPaintsOnTheLeft) {
  MakeList(100);
  Attach();
  SetWindowLongW(fList->Handle(), GWL_EXSTYLE,
                 GetWindowLongW(fList->Handle(), GWL_EXSTYLE) | LONG(WS_EX_LEFTSCROLLBAR));
  SetWindowPos(fList->Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  PumpUntilIdle();
  EXPECT_TRUE(fAdapter->fLeftScrollbar);
  EXPECT_EQ(fAdapter->ClientOffset(), (TPoint{2 + kBar, 2}));
  EXPECT_EQ(fAdapter->sBarVert.Rect(), (TRect{2, 2, 2 + kBar, 202}));
  EXPECT_TRUE(SameBitmap(Shot({2, 2, 2 + kBar, 202}), ExpectedBar(200, {17, 34}), "edit-bar-left"));
  // A click there scrolls.
  Press(OnScreen(2 + 8, 202 - 8));
  Release(OnScreen(2 + 8, 202 - 8));
  EXPECT_EQ(fList->TopIndex(), 1);
}

TEST_F(ScrollAdapterTest, HoverLightsThePartUnderThePointerUntilItLeaves) {
  MakeList(100);
  Attach();
  UseManualClock();
  const TRect barRect{BarLeft(), 2, BarLeft() + kBar, 202};
  MoveTo(OnScreen(BarLeft() + 8, 202 - 8));
  EXPECT_EQ(ScrollTracking().HoverBar, 1);
  EXPECT_EQ(ScrollTracking().HotPart, spSecondArrow);
  EXPECT_TRUE(
      SameBitmap(Shot(barRect), ExpectedBar(200, {17, 34, false, true}), "edit-bar-hot-down"));
  // Along the bar: the hover timer follows the pointer.
  InputMouseMove(OnScreen(BarLeft() + 8, 8));
  Advance(kHoverPeriod);
  EXPECT_EQ(ScrollTracking().HotPart, spFirstArrow);
  EXPECT_TRUE(
      SameBitmap(Shot(barRect), ExpectedBar(200, {17, 34, true, false}), "edit-bar-hot-up"));
  // Out of the window: the non-client leave ends the hover at once.
  MoveTo(OnScreen(-10, -10));
  EXPECT_EQ(ScrollTracking().HoverBar, -1);
  EXPECT_TRUE(SameBitmap(Shot(barRect), ExpectedBar(200, {17, 34}), "edit-bar-cold"));
}

TEST_F(ScrollAdapterTest, DisabledBarIsBlendedWithTheBackground) {
  MakeList(100);
  Attach();
  fList->SetEnabled(false);
  RedrawWindow(fList->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  // No thumb on a disabled bar (its track still splits where the thumb's
  // centre would be); every pixel 60 % bar and 40 % form colour.
  TBarLook look;
  look.Split = (17 + 34) / 2;
  Bitmap expected = ExpectedBar(200, look);
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x) {
      const std::uint32_t p = expected.Pixel(x, y);
      const TColor own = TColor(((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16));
      expected.SetPixel(x, y, Opaque(Mix60(own, kFormColor)));
    }
  EXPECT_TRUE(
      SameBitmap(Shot({BarLeft(), 2, BarLeft() + kBar, 202}), expected, "edit-bar-disabled"));
  // A disabled bar is no part to press.
  Press(OnScreen(BarLeft() + 8, 202 - 8));
  Release(OnScreen(BarLeft() + 8, 202 - 8));
  EXPECT_EQ(fList->TopIndex(), 0);
  EXPECT_TRUE(fSteps.empty());
}

TEST_F(ScrollAdapterTest, HeldArrowScrollsAtOnceThenAfter300AndEvery55Milliseconds) {
  MakeList(100);
  Attach();
  UseManualClock();
  const TPoint arrow = OnScreen(BarLeft() + 8, 202 - 8);
  Press(arrow);
  // One line at once, inside the redraw suspension.
  ASSERT_EQ(fSteps.size(), 3u);
  EXPECT_EQ(fSteps[0].Msg, SkinCommandMessage);
  EXPECT_EQ(fSteps[0].Code, scSuspendRedraw);
  EXPECT_EQ(fSteps[0].Pos, int((WM_VSCROLL << 16) | SB_LINEDOWN));
  EXPECT_EQ(fSteps[1].Code, SB_LINEDOWN);
  EXPECT_EQ(fSteps[2].Code, scResumeRedraw);
  EXPECT_EQ(fList->TopIndex(), 1);
  const struct {
    int Advance;
    int Top;
  } timeline[] = {
      {299, 1}, // the repeat delay has not passed
      {1, 1},   // 300: the repeat timer starts, no line yet
      {54, 1},  //
      {1, 2},   // 355: the first repeated line
      {54, 2},  //
      {1, 3},   // every 55 ms from then on
      {55, 4},
  };
  for (const auto& step : timeline) {
    Advance(step.Advance);
    EXPECT_EQ(fList->TopIndex(), step.Top);
  }
  // Moving off the arrow pauses, coming back goes on.
  MoveTo(OnScreen(BarLeft() + 8, 100));
  Advance(55);
  Advance(55);
  EXPECT_EQ(fList->TopIndex(), 4);
  MoveTo(arrow);
  Advance(55);
  EXPECT_EQ(fList->TopIndex(), 5);
  Release(arrow);
  EXPECT_EQ(Codes().back(), SB_ENDSCROLL);
  EXPECT_EQ(GetCapture(), nullptr);
  Advance(500);
  EXPECT_EQ(fList->TopIndex(), 5);
  EXPECT_EQ(ScrollTracking().PressedBar, -1);
}

TEST_F(ScrollAdapterTest, ClickOnTheTrackPagesAndTheThumbFollows) {
  MakeList(100);
  Attach();
  fSuspendDuringSteps = true;
  UseManualClock();
  Press(OnScreen(BarLeft() + 8, 2 + 150));
  EXPECT_EQ(fList->TopIndex(), 10);
  // Line 10: the thumb starts 10 * 149 / 90 = 16.6, rounded to 17, after
  // the track's start, though the list painted nothing during the step.
  EXPECT_TRUE(SameBitmap(Shot({BarLeft(), 2, BarLeft() + kBar, 202}), ExpectedBar(200, {34, 51}),
                         "edit-bar-paged"));
  Release(OnScreen(BarLeft() + 8, 2 + 150));
  EXPECT_EQ(Codes(), (std::vector<int>{SB_PAGEDOWN, SB_ENDSCROLL}));
}

TEST_F(ScrollAdapterTest, ThumbDraggedToTheEndShowsTheLastLine) {
  MakeList(100);
  Attach();
  // The thumb lies at rows 17..34 of the bar (window rows 19..36).
  const int x = BarLeft() + 8;
  Press(OnScreen(x, 2 + 20));
  EXPECT_TRUE(fAdapter->fThumbTracking);
  MoveTo(OnScreen(x, 2 + 100));
  EXPECT_GT(fList->TopIndex(), 0);
  MoveTo(OnScreen(x, 2 + 400));
  EXPECT_EQ(fList->TopIndex(), 90);
  EXPECT_EQ(fList->TopIndex() + 9, 99);
  // The drag paints the thumb pressed at the track's end.
  TBarLook dragged{166, 183};
  dragged.ThumbPressed = true;
  EXPECT_TRUE(SameBitmap(Shot({BarLeft(), 2, BarLeft() + kBar, 202}), ExpectedBar(200, dragged),
                         "edit-bar-dragged"));
  Release(OnScreen(x, 2 + 400));
  EXPECT_FALSE(fAdapter->fThumbTracking);
  ASSERT_FALSE(fSteps.empty());
  // Every track step carried its position; the release ends with the last.
  for (const TStep& s : fSteps)
    if (s.Msg == WM_VSCROLL && s.Code == SB_THUMBTRACK)
      EXPECT_GE(s.Pos, 0);
  EXPECT_EQ(Codes().back(), SB_ENDSCROLL);
  EXPECT_EQ(fSteps[fSteps.size() - 2].Pos, 90);
  EXPECT_EQ(fList->TopIndex(), 90);
}

TEST_F(ScrollAdapterTest, LostCaptureStopsTheRepeatAndEndsTheScroll) {
  MakeList(100);
  Attach();
  UseManualClock();
  const TPoint arrow = OnScreen(BarLeft() + 8, 202 - 8);
  // Another window takes the capture while the arrow is held.
  Press(arrow);
  EXPECT_EQ(fList->TopIndex(), 1);
  SetCapture(fForm->Handle());
  PumpUntilIdle();
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(ScrollTracking().Wnd, nullptr);
  Advance(1000);
  EXPECT_EQ(fList->TopIndex(), 1);
  ReleaseCapture();
  Release(arrow);

  // The release never reaches the window: the next tick finds the button up.
  fSteps.clear();
  Press(arrow);
  EXPECT_EQ(fList->TopIndex(), 2);
  InputMouseButton(MouseButton::Left, false, arrow);
  MSG dropped;
  EXPECT_TRUE(PeekMessageW(&dropped, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
  Advance(300);
  EXPECT_EQ(Codes(), (std::vector<int>{SB_LINEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(ScrollTracking().PressedBar, -1);
  Advance(1000);
  EXPECT_EQ(fList->TopIndex(), 2);
}

} // namespace
