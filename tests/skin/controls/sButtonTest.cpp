// The skinned push button: unskinned exactly the toolkit button; with a test
// skin each state through real input, pixel-exact from the skin's rules; the
// press held on screen; the disabled look; the window region; fades and glow.

#include "skin/controls/sButton.h"

#include "ControlCapture.h"
#include "FadeRule.h"
#include "PlainButtonSkin.h"
#include "SkinDataFixture.h"
#include "platform/gfx/Region.h"
#include "platform/gfx/Text.h"
#include "platform/host/HeadlessHost.h"
#include "platform/win/Input.h"
#include "platform/win/Layered.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowHost.h"
#include "skin/paint/qcGlow.h"
#include "support/PixelCheck.h"
#include "toolkit/Button.h"
#include "toolkit/ListBox.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace platform;
using pixelcheck::Opaque;
using pixelcheck::SameBitmap;
using pixelcheck::TPixelMatch;

namespace {

using namespace plainbutton;

class ButtonTest : public SkinDataTest {
protected:
  void SetUp() override {
    SkinDataTest::SetUp();
    auto& skin = fManager->InternalSkins.Add();
    skin.SetName("B");
    skin.ReadData(PackSkin(
        TestSkinOptions() + ButtonSection("BUTTON") + ButtonSection("BUTTON_HUGE") +
            ButtonSection("BUTTON_GLOW") +
            "GLOW=1\nGLOWMARGIN=1\nGLOW0=!G.PNG!1!0!3!0003!0003!0003!0003!1\n",
        {{"M.PNG", EncodePngBytes(MaskImage())},
         {"G.PNG", EncodePngBytes(MakeBitmap(9, 9, [](int, int) { return 0x80204060u; }))},
         {"B.PNG", EncodePngBytes(MakeBitmap(9, 9, [](int, int) { return 0xFF000000u; }))}}));
    fManager->SetSkinName("B");
    fForm->SetColor(kFormColor);
    fHolder = new TListBox(fForm);
    fHolder->SetParent(fForm);
    fHolder->SetBounds(200, 100, 60, 40);
    PumpUntilIdle();
    fHolder->SetFocus();
  }

  TsButton* Button(TWinControl* aParent, TRect aBounds, const std::string& aCaption = "",
                   const std::string& aSection = "") {
    TsButton* button = nullptr;
    {
      TLoadingBracket bracket;
      button = new TsButton(aParent);
      button->SetParent(aParent);
      button->SetBoundsRect(aBounds);
      button->SetCaption(aCaption);
      if (!aSection.empty())
        button->SkinData.SetSkinSection(aSection);
    }
    button->PressTiming.Sleep = [this](std::chrono::milliseconds aTime) {
      fSleeps.push_back(aTime);
    };
    PumpUntilIdle();
    return button;
  }

  static void MouseTo(TControl* aControl, int aX, int aY) {
    InputMouseMove(aControl->ClientToScreen({aX, aY}));
    PumpUntilIdle();
  }
  static void MouseButton(TControl* aControl, bool aDown) {
    POINT p;
    GetCursorPos(&p);
    InputMouseButton(MouseButton::Left, aDown, p);
    (void)aControl;
  }

  TListBox* fHolder = nullptr;
  std::vector<std::chrono::milliseconds> fSleeps;
};

TEST_F(ButtonTest, MaskCornersAreCutOutOnlyForTheHugeSection) {
  TsButton* plain = Button(fForm, Bounds(10, 10, 40, 20));
  TsButton* huge = Button(fForm, Bounds(10, 40, 40, 20), "", "BUTTON_HUGE");
  ASSERT_EQ(plain->SkinData.BorderMask()->CornerType, 1);
  ASSERT_EQ(huge->SkinData.BorderMask()->CornerType, 2);

  Region shape;
  EXPECT_EQ(GetWindowRgn(plain->Handle(), &shape), ERROR);
  ASSERT_NE(GetWindowRgn(huge->Handle(), &shape), ERROR);
  const std::vector<TRect> corners{{0, 0, 1, 1}, {39, 0, 40, 1}, {0, 19, 1, 20}, {39, 19, 40, 20}};
  EXPECT_EQ(shape, Region(TRect{0, 0, 40, 20}).Subtract(Region::FromRects(corners)));

  fManager->SetActive(false);
  PumpUntilIdle();
  EXPECT_EQ(GetWindowRgn(huge->Handle(), &shape), ERROR);
}

TEST_F(ButtonTest, StatesComeThroughRealInput) {
  TsButton* button = Button(fForm, Bounds(10, 10, 40, 20));
  // Without fades every state shows at once (the fades have their own tests).
  button->AnimatEvents = 0;
  int clicks = 0, enters = 0, leaves = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  button->OnMouseEnter = [&](TObject*) { ++enters; };
  button->OnMouseLeave = [&](TObject*) { ++leaves; };
  const std::uint32_t form = Opaque(kFormColor);
  struct Step {
    const char* Name;
    std::function<void()> Act;
    int State;
  };
  const Step steps[] = {
      {"normal", [] {}, 0},
      {"hot", [&] { MouseTo(button, 20, 10); }, 1},
      {"pressed",
       [&] {
         MouseButton(button, true);
         PumpUntilIdle();
       },
       2},
      {"released",
       [&] {
         MouseButton(button, false);
         PumpUntilIdle();
       },
       1},
      {"left but focused", [&] { MouseTo(fForm, 150, 150); }, 1},
      {"focus elsewhere",
       [&] {
         fHolder->SetFocus();
         PumpUntilIdle();
       },
       0},
  };
  for (const Step& step : steps) {
    step.Act();
    EXPECT_EQ(button->PaintedState(), step.State) << step.Name;
    EXPECT_TRUE(SameBitmap(OnScreen(button), Look(40, 20, step.State, form),
                           std::string("button-") + step.Name, TPixelMatch::ColorOnly))
        << step.Name;
  }
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 1);
}

TEST_F(ButtonTest, DefaultButtonOnThreeStateSectionLooksHot) {
  TsButton* button = Button(fForm, Bounds(10, 10, 40, 20));
  button->SetDefault(true);
  PumpUntilIdle();
  EXPECT_EQ(button->CurrentState(), 3);
  EXPECT_EQ(button->PaintedState(), 1);
  EXPECT_TRUE(SameBitmap(OnScreen(button), Look(40, 20, 1, Opaque(kFormColor)), "button-default",
                         TPixelMatch::ColorOnly));
}

// The press stays on screen for 30 ms from the moment it was shown, however
// quickly the button is released.
TEST_F(ButtonTest, PressIsShownAtLeastThirtyMilliseconds) {
  struct Case {
    int HeldMs; // clock time between the press and the release
    std::optional<int> SleepMs;
  };
  for (const Case c : {Case{0, 30}, Case{12, 18}, Case{30, std::nullopt}, Case{50, std::nullopt}}) {
    TsButton* button = Button(fForm, Bounds(10, 10, 40, 20));
    TsPressTiming::Clock::time_point now{};
    button->PressTiming.Now = [&now] { return now; };
    std::vector<Bitmap> shownWhileSleeping;
    fSleeps.clear();
    button->PressTiming.Sleep = [&](std::chrono::milliseconds aTime) {
      fSleeps.push_back(aTime);
      shownWhileSleeping.push_back(OnScreen(button));
    };
    MouseTo(button, 20, 10);
    MouseButton(button, true);
    if (c.HeldMs > 0) {
      PumpUntilIdle();
      now += std::chrono::milliseconds(c.HeldMs);
    }
    MouseButton(button, false);
    PumpUntilIdle();
    if (c.SleepMs) {
      ASSERT_EQ(fSleeps.size(), 1u) << c.HeldMs;
      EXPECT_EQ(fSleeps[0].count(), *c.SleepMs);
      EXPECT_TRUE(SameBitmap(shownWhileSleeping[0], Look(40, 20, 2, Opaque(kFormColor)),
                             "button-held", TPixelMatch::ColorOnly));
    } else {
      EXPECT_TRUE(fSleeps.empty()) << c.HeldMs;
    }
    EXPECT_EQ(button->PaintedState(), 1);
    TComponent::Free(button);
    fHolder->SetFocus();
    PumpUntilIdle();
  }
}

// The caption in the rule's rectangle, centred from the measured extents,
// and the dotted focus frame around it in the hot font colour.
TEST_F(ButtonTest, FocusedCaptionIsCentredInsideADottedFrame) {
  const std::string caption = "Midi In (Reset)";
  TsButton* button = Button(fForm, Bounds(10, 10, 113, 17), caption);
  button->SetFocus();
  PumpUntilIdle();

  Bitmap expected = Look(113, 17, 1, Opaque(kFormColor));
  pixelcheck::DCHolder dc(CreateCompatibleDC(nullptr));
  SelectObject(dc.get(), &expected);
  SelectObject(dc.get(), button->Font().Handle());
  RECT measured{6, 0, 107, 0};
  DrawTextW(dc.get(), caption, &measured, DT_CALCRECT | DT_CENTER | DT_EXPANDTABS | DT_WORDBREAK);
  const int left = (113 - measured.Width()) / 2 - 1;
  const int top = (17 - measured.Height()) / 2;
  RECT text{left, top, left + measured.Width() + 2, 17 - top};
  EXPECT_EQ(button->CaptionRect(), TRect(text));
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), kHotFont);
  DrawTextW(dc.get(), caption, &text, DT_CENTER | DT_VCENTER | DT_EXPANDTABS | DT_WORDBREAK);
  // Grown by the margin + 1 across and the margin down, kept 3 pixels inside.
  const TRect frame{text.Left - 2, std::max(text.Top - 1, 3), text.Right + 2,
                    std::min(text.Bottom + 1, 14)};
  for (int y = frame.Top; y < frame.Bottom; ++y)
    for (int x = frame.Left; x < frame.Right; ++x) {
      const bool edge =
          x == frame.Left || x == frame.Right - 1 || y == frame.Top || y == frame.Bottom - 1;
      if (edge && (x - frame.Left + y - frame.Top) % 2 == 0)
        expected.SetPixel(x, y, Opaque(kHotFont));
    }
  EXPECT_TRUE(SameBitmap(OnScreen(button), expected, "button-focus", TPixelMatch::ColorOnly));
}

// Disabled: 40 % of the normal look over 60 % of the parent behind it,
// truncated, except where the parent holds the key colour.
TEST_F(ButtonTest, DisabledButtonIsBlendedIntoItsParent) {
  TsTestPanel* panel = Panel(fForm, "GRAD", {0, 0, 100, 60});
  TsButton* button = Button(panel, Bounds(10, 10, 40, 20));
  Bitmap& back = *panel->SkinData.CacheBmp();
  for (int y = 0; y < back.Height(); ++y)
    for (int x = 0; x < back.Width(); ++x)
      back.SetPixel(
          x, y, x >= 25 && x < 28 ? 0xFFFF00FFu : 0xFF000000u | std::uint32_t(x * 5 + y * 0x0300));
  button->SetEnabled(false);
  PumpUntilIdle();

  Bitmap expected = Look(40, 20, 0, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      const std::uint32_t parent = back.Pixel(10 + x, 10 + y);
      const bool corner = (x == 0 || x == 39) && (y == 0 || y == 19);
      const std::uint32_t own = corner ? parent : expected.Pixel(x, y);
      if ((parent & 0xFFFFFF) == 0xFF00FF) {
        expected.SetPixel(x, y, own);
        continue;
      }
      std::uint32_t mixed = 0xFF000000u;
      for (int shift : {0, 8, 16})
        mixed |= (((own >> shift) & 0xFF) * 40 + ((parent >> shift) & 0xFF) * 60) / 100 << shift;
      expected.SetPixel(x, y, mixed);
    }
  EXPECT_TRUE(SameBitmap(OnScreen(button), expected, "button-disabled", TPixelMatch::ColorOnly));
}

// Without a skin the button is the toolkit's, pixel for pixel, in each state.
TEST_F(ButtonTest, UnskinnedLooksExactlyLikeTheToolkitButton) {
  fManager->SetActive(false);
  TsButton* skinned = Button(fForm, Bounds(10, 10, 113, 25), "Midi In (Reset)");
  auto* plain = new TButton(fForm);
  plain->SetParent(fForm);
  plain->SetWordWrap(true);
  plain->SetBounds(10, 50, 113, 25);
  plain->SetCaption("Midi In (Reset)");
  PumpUntilIdle();
  ASSERT_FALSE(skinned->SkinData.Skinned());
  struct Case {
    const char* Name;
    std::function<void(TButton*)> Set;
  };
  const Case cases[] = {
      {"normal", [](TButton*) {}},
      {"default", [](TButton* b) { b->SetDefault(true); }},
      {"pushed", [](TButton* b) { SendMessageW(b->Handle(), BM_SETSTATE, 1, 0); }},
      {"disabled", [](TButton* b) { b->SetEnabled(false); }},
  };
  for (const Case& c : cases) {
    c.Set(skinned);
    c.Set(plain);
    PumpUntilIdle();
    EXPECT_TRUE(SameBitmap(OnScreen(skinned), OnScreen(plain), std::string("unskinned-") + c.Name,
                           TPixelMatch::ColorOnly))
        << c.Name;
  }
  skinned->SetEnabled(true);
  skinned->SetFocus();
  PumpUntilIdle();
  const Bitmap focused = OnScreen(skinned);
  plain->SetEnabled(true);
  plain->SetFocus();
  PumpUntilIdle();
  EXPECT_TRUE(SameBitmap(focused, OnScreen(plain), "unskinned-focused", TPixelMatch::ColorOnly));
}

// Fades of the button, stepped one timer period at a time on a manual clock.
class ButtonFadeTest : public ButtonTest {
protected:
  void Step(int aCount = 1) {
    for (int i = 0; i < aCount; ++i) {
      fClock.Advance(TsFadeTimer::IntervalMs);
      PumpUntilIdle();
    }
  }
  // One step per frame of the fade; the first, a middle and the last frame
  // on screen against the rule between two looks (the fade's own tests check
  // every frame).
  void ExpectFrames(TsButton* aButton, const Bitmap& aFrom, const Bitmap& aTo,
                    const std::vector<int>& aAlphas, const std::string& aName) {
    const std::size_t last = aAlphas.size() - 1;
    for (std::size_t i = 0; i <= last; ++i) {
      Step();
      if (i == 0 || i == last / 2 || i == last)
        EXPECT_TRUE(SameBitmap(OnScreen(aButton), FadeRuleFrame(aFrom, aTo, {0, 0}, aAlphas[i]),
                               aName, TPixelMatch::ColorOnly))
            << aName << " frame " << i;
    }
  }

  // Glow windows are layered: the host shows them.
  HeadlessHost fHost;
  ManualTimerClock fClock;
};

// The mouse entering fades the hot look in over 11 frames; leaving during
// the fade goes on from the frame on screen back to the normal look.
TEST_F(ButtonFadeTest, HoverFadesInAndLeavingCutsItShort) {
  TsButton* button = Button(fForm, Bounds(10, 10, 40, 20));
  const std::uint32_t form = Opaque(kFormColor);
  const Bitmap normal = Look(40, 20, 0, form), hot = Look(40, 20, 1, form);
  MouseTo(button, 20, 10);
  EXPECT_TRUE(button->FadeRunning());
  EXPECT_TRUE(SameBitmap(OnScreen(button), normal, "fade-before", TPixelMatch::ColorOnly));
  const std::vector<int> firstFour(kFullFadeAlphas.begin(), kFullFadeAlphas.begin() + 4);
  ExpectFrames(button, normal, hot, firstFour, "fade-in");
  const Bitmap cutAt = OnScreen(button);
  MouseTo(fForm, 150, 150);
  ExpectFrames(button, cutAt, normal, kFullFadeAlphas, "fade-out");
  Step();
  EXPECT_FALSE(button->FadeRunning());
  EXPECT_EQ(TsFadeTimer::LiveCount(), 0);
  // After the fade the button paints as ever.
  button->Invalidate();
  PumpUntilIdle();
  EXPECT_TRUE(SameBitmap(OnScreen(button), normal, "fade-after", TPixelMatch::ColorOnly));
}

// Press and release fade in half the steps; without animation for an event
// the change shows at once.
TEST_F(ButtonFadeTest, PressAndReleaseAreHalfFades) {
  TsButton* button = Button(fForm, Bounds(10, 10, 40, 20));
  const std::uint32_t form = Opaque(kFormColor);
  const Bitmap hot = Look(40, 20, 1, form), pressed = Look(40, 20, 2, form);
  button->SetFocus();
  MouseTo(button, 20, 10);
  Step(TsFadeTimer::FullIterations + 1);
  ASSERT_FALSE(button->FadeRunning());
  ASSERT_TRUE(SameBitmap(OnScreen(button), hot, "press-before", TPixelMatch::ColorOnly));
  MouseButton(button, true);
  PumpUntilIdle();
  ExpectFrames(button, hot, pressed, kHalfFadeAlphas, "press");
  Step();
  MouseButton(button, false);
  PumpUntilIdle();
  ExpectFrames(button, pressed, hot, kHalfFadeAlphas, "release");

  button->AnimatEvents = AnimBit(TsAnimEvent::aeMouseEnter);
  Step();
  MouseButton(button, true);
  PumpUntilIdle();
  EXPECT_FALSE(button->FadeRunning());
  EXPECT_TRUE(SameBitmap(OnScreen(button), pressed, "press-at-once", TPixelMatch::ColorOnly));
  MouseButton(button, false);
  PumpUntilIdle();
}

// A release while the press still fades in shows the pressed look at once
// (and holds it), then fades to the released look.
TEST_F(ButtonFadeTest, AReleaseDuringThePressFadeShowsThePressFirst) {
  TsButton* button = Button(fForm, Bounds(10, 10, 40, 20));
  const std::uint32_t form = Opaque(kFormColor);
  std::vector<Bitmap> whileHeld;
  button->PressTiming.Sleep = [&](std::chrono::milliseconds) {
    whileHeld.push_back(OnScreen(button));
  };
  button->SetFocus();
  MouseTo(button, 20, 10);
  Step(TsFadeTimer::FullIterations + 1);
  MouseButton(button, true);
  PumpUntilIdle();
  Step(2);
  MouseButton(button, false);
  PumpUntilIdle();
  ASSERT_EQ(whileHeld.size(), 1u);
  EXPECT_TRUE(SameBitmap(whileHeld[0], Look(40, 20, 2, form), "held", TPixelMatch::ColorOnly));
  ExpectFrames(button, Look(40, 20, 2, form), Look(40, 20, 1, form), kHalfFadeAlphas, "after-held");
}

// The glow shows while the mouse is above the button and goes with it; it
// never takes a click, neither on the button nor beside it.
TEST_F(ButtonFadeTest, TheGlowFollowsTheHotStateAndLetsClicksThrough) {
  TsButton* button = Button(fForm, Bounds(20, 20, 40, 20), "", "BUTTON_GLOW");
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_EQ(button->SkinData.GlowID, -1);
  MouseTo(button, 20, 10);
  ASSERT_GE(button->SkinData.GlowID, 0);
  const HWND glow = GlowWindow(button->SkinData.GlowID);
  ASSERT_TRUE(IsWindowVisible(glow));
  RECT shown;
  GetWindowRect(glow, &shown);
  const TPoint origin = button->ClientToScreen({0, 0});
  EXPECT_EQ(TRect(shown), (TRect{origin.X - 2, origin.Y - 2, origin.X + 42, origin.Y + 22}));
  EXPECT_EQ(WindowFromPoint(button->ClientToScreen({20, 10})), button->Handle());
  EXPECT_EQ(WindowFromPoint(button->ClientToScreen({-1, -1})), fForm->Handle());
  MouseButton(button, true);
  MouseButton(button, false);
  PumpUntilIdle();
  EXPECT_EQ(clicks, 1);
  EXPECT_NE(GetActiveWindow(), glow);
  MouseTo(fForm, 150, 150);
  EXPECT_EQ(button->SkinData.GlowID, -1);
  EXPECT_FALSE(IsWindow(glow));
  Step(TsFadeTimer::FullIterations + 1);

  // A skin load takes the glow away; the next hover shows it again.
  MouseTo(button, 20, 10);
  ASSERT_GE(button->SkinData.GlowID, 0);
  fManager->SetSkinName("B");
  PumpUntilIdle();
  EXPECT_EQ(button->SkinData.GlowID, -1);
  MouseTo(fForm, 150, 150);
  MouseTo(button, 20, 10);
  EXPECT_GE(button->SkinData.GlowID, 0) << "shown again after the skin load";
  MouseTo(fForm, 150, 150);
  Step(TsFadeTimer::FullIterations + 1);
}

} // namespace
