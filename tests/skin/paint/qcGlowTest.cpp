// Glow windows: where they lie and how large they are around a rectangle
// (also cut to its visible part), that they stay directly above their
// window, never take a click, and go when hidden or when the skin changes.

#include "skin/paint/qcGlow.h"

#include "SkinDataFixture.h"
#include "platform/host/HeadlessHost.h"
#include "platform/win/Input.h"
#include "platform/win/Layered.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A glow image with 3-pixel borders: its window reaches 3 - margin pixels
// beyond the rectangle on every side.
constexpr int kBorder = 3;

class GlowTest : public SkinDataTest {
protected:
  void SetUp() override {
    SkinDataTest::SetUp();
    auto& skin = fManager->InternalSkins.Add();
    skin.SetName("G");
    skin.ReadData(PackSkin(
        TestSkinOptions() + "[GLOWING]\nSTATES=1\nGLOW=1\nGLOWMARGIN=1\n"
                            "GLOW0=!G.PNG!1!0!3!0003!0003!0003!0003!1\n",
        {{"G.PNG", EncodePngBytes(MakeBitmap(9, 9, [](int, int) { return 0x80402010u; }))},
         {"B.PNG", EncodePngBytes(MakeBitmap(9, 9, [](int, int) { return 0xFF000000u; }))}}));
    fManager->SetSkinName("G");
    PumpUntilIdle();
  }
  void TearDown() override {
    HideAllGlows();
    SkinDataTest::TearDown();
  }

  // Layered windows need a host that shows them.
  HeadlessHost fHost;

  int Show(int& aIdentifier, TRect aR, TRect aVisible, int aMargin = 1,
           const std::string& aSection = "GLOWING") {
    return ShowGlow(aIdentifier, aR, aVisible, aSection, nullptr, fManager.get(), fForm->Handle(),
                    255, aMargin, "GLOW");
  }
};

TEST_F(GlowTest, TheWindowSurroundsTheRectangleCutToItsVisiblePart) {
  const TRect r{100, 100, 140, 120};
  const int out = kBorder - 1; // beyond the rectangle with margin 1
  const struct {
    const char* Name;
    TRect Visible; // relative to r
    TRect Window;
  } rows[] = {
      {"whole", {0, 0, 40, 20}, {100 - out, 100 - out, 140 + out, 120 + out}},
      {"left cut", {5, 0, 40, 20}, {105, 100 - out, 140 + out, 120 + out}},
      {"top cut", {0, 4, 40, 20}, {100 - out, 104, 140 + out, 120 + out}},
      {"right cut", {0, 0, 30, 20}, {100 - out, 100 - out, 130, 120 + out}},
      {"bottom cut", {0, 0, 40, 12}, {100 - out, 100 - out, 140 + out, 112}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    int id = -1;
    ASSERT_GE(Show(id, r, row.Visible), 0);
    const HWND glow = GlowWindow(id);
    RECT shown;
    GetWindowRect(glow, &shown);
    EXPECT_EQ(TRect(shown), row.Window);
    EXPECT_TRUE(IsWindowVisible(glow));
    const LayerInfo layer = GetLayerInfo(glow);
    EXPECT_TRUE(layer.Layered && layer.PerPixelAlpha);
    EXPECT_EQ(layer.Alpha, 255);
    EXPECT_EQ(GetWindow(glow, GW_HWNDNEXT), fForm->Handle()) << "directly above its window";
    HideGlow(id);
    EXPECT_EQ(id, -1);
    EXPECT_FALSE(IsWindow(glow));
  }
  EXPECT_EQ(ShownGlowCount(), 0);
}

TEST_F(GlowTest, NoGlowWithoutTheGlowImageOrWithNothingVisible) {
  int id = -1;
  EXPECT_EQ(Show(id, {10, 10, 30, 20}, {0, 0, 20, 10}, 1, "PANEL"), -1);
  EXPECT_EQ(Show(id, {10, 10, 30, 20}, {0, 0, 0, 0}), -1);
  EXPECT_EQ(id, -1);
  int none = -1;
  HideGlow(none);
  int beyond = 7;
  HideGlow(beyond);
  EXPECT_EQ(beyond, 7) << "an identifier that names no glow is left alone";
  EXPECT_EQ(ShownGlowCount(), 0);
}

// A click on the glow reaches the window below it.
TEST_F(GlowTest, AGlowNeverTakesAClick) {
  const TPoint client = fForm->ClientToScreen({0, 0});
  const TRect r{client.X + 20, client.Y + 20, client.X + 60, client.Y + 40};
  int id = -1;
  ASSERT_GE(Show(id, r, {0, 0, 40, 20}), 0);
  const POINT onGlowOnly{r.Left - 1, r.Top - 1};
  EXPECT_EQ(WindowFromPoint(onGlowOnly), fForm->Handle());
  int clicks = 0;
  fForm->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; };
  InputMouseMove(onGlowOnly);
  InputMouseButton(MouseButton::Left, true, onGlowOnly);
  InputMouseButton(MouseButton::Left, false, onGlowOnly);
  PumpUntilIdle();
  EXPECT_EQ(clicks, 1);
  EXPECT_NE(GetActiveWindow(), GlowWindow(id));
  HideGlow(id);
}

// A skin change takes every glow away and every identifier with it: the
// owners can show their glows again, and a stale identifier never hides the
// glow that took its slot.
TEST_F(GlowTest, ASkinChangeTakesEveryGlowAwayWithItsIdentifier) {
  int first = -1, second = -1;
  Show(first, {10, 10, 30, 20}, {0, 0, 20, 10});
  Show(second, {50, 10, 70, 20}, {0, 0, 20, 10});
  ASSERT_EQ(second, first + 1);
  const HWND windows[] = {GlowWindow(first), GlowWindow(second)};
  fManager->SetSkinName("S");
  fManager->SetSkinName("G");
  PumpUntilIdle();
  EXPECT_EQ(ShownGlowCount(), 0);
  for (HWND w : windows)
    EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(first, -1);
  EXPECT_EQ(second, -1);

  ASSERT_EQ(Show(second, {50, 10, 70, 20}, {0, 0, 20, 10}), 0) << "the first slot again";
  HideGlow(first);
  EXPECT_TRUE(IsWindowVisible(GlowWindow(second)));
  int copy = second;
  HideGlow(copy);
  EXPECT_EQ(copy, 0) << "a copy of an identifier hides nothing";
  EXPECT_EQ(ShownGlowCount(), 1);
  HideGlow(second);
  EXPECT_EQ(ShownGlowCount(), 0);
}

} // namespace
