// The caption's mouse protocol through real input of the window layer
// (press, slide, release on the caption buttons; right click on the caption),
// the system menu's items and states, and the caption buttons' fades stepped
// on a manual clock.

#include "FrameFixture.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/ScreenComposer.h"
#include "platform/win/Input.h"
#include "platform/win/Menu.h"
#include "platform/win/PopupMenu.h"
#include "skin/frame/sSystemMenu.h"
#include "skin/paint/qcGlow.h"
#include "support/PixelCheck.h"
#include "support/ScreenShot.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace platform;
using pixelcheck::SameBitmap;

namespace {

enum class Spot { Close, Min, Caption, Client, Outside };

class CaptionMouseTest : public FrameTest {
protected:
  void SetUp() override {
    FrameTest::SetUp();
    CaptionBtnPressed = false;                     // a test may end with a button held
    fApp->CreateForm<TForm>()->SetCaption("Main"); // the application's main form stays hidden
  }
  void TearDown() override {
    fClock.reset();
    TsFadeTimer::StopFading = false;
    FrameTest::TearDown();
  }

  // A form with a minimize and a close button, shown and active.
  TForm* ShowSingleForm() {
    TForm* form = fApp->CreateForm<TForm>();
    form->SetBorderStyle(bsSingle);
    form->SetBorderIcons({biSystemMenu, biMinimize});
    form->SetBoundsRect({40, 30, 340, 230});
    form->SetCaption("Single");
    form->Show();
    PumpUntilIdle();
    return form;
  }
  static TsSkinProvider& Provider(TForm* aForm) { return *TsSkinProvider::Of(aForm); }

  static POINT At(TForm* aForm, Spot aSpot) {
    RECT w{};
    GetWindowRect(aForm->Handle(), &w);
    const TqcFrameLayout& layout = Provider(aForm).Layout();
    const auto centre = [&](const TRect& aRect) {
      return POINT{w.Left + (aRect.Left + aRect.Right) / 2, w.Top + (aRect.Top + aRect.Bottom) / 2};
    };
    switch (aSpot) {
    case Spot::Close:
      return centre(layout.Buttons.Close.Rect);
    case Spot::Min:
      return centre(layout.Buttons.Min.Rect);
    case Spot::Caption:
      return {w.Left + 60, w.Top + layout.VCenter};
    case Spot::Client:
      return {w.Left + 100, w.Top + 100};
    case Spot::Outside:
      return {w.Right + 40, w.Bottom + 40};
    }
    return {};
  }
  static void Move(TForm* aForm, Spot aSpot) {
    InputMouseMove(At(aForm, aSpot));
    PumpUntilIdle();
  }
  static void Button(TForm* aForm, Spot aSpot, bool aDown, MouseButton aWhich = MouseButton::Left) {
    InputMouseButton(aWhich, aDown, At(aForm, aSpot));
    PumpUntilIdle();
  }
  static void Key(int aVirtKey) {
    InputKey(aVirtKey, true, 0);
    InputKey(aVirtKey, false, 0);
  }
  static Bitmap ButtonOnScreen(TForm* aForm, const TRect& aRect) {
    return pixelcheck::WindowShot(aForm->Handle(), aRect);
  }
  void Step() {
    fClock->Advance(TsFadeTimer::IntervalMs);
    PumpUntilIdle();
  }

  // How far aFrame has gone from aFrom to aTo, channel by channel over the
  // whole picture: 0 is aFrom, 1 is aTo; -1 when a channel lies outside the
  // two looks, which no blend of them can give.
  static double ShareOf(const Bitmap& aFrame, const Bitmap& aFrom, const Bitmap& aTo) {
    long gone = 0, whole = 0;
    for (int y = 0; y < aFrame.Height(); ++y)
      for (int x = 0; x < aFrame.Width(); ++x)
        for (int shift : {0, 8, 16}) {
          const int f = int(aFrame.Pixel(x, y) >> shift & 0xFF);
          const int a = int(aFrom.Pixel(x, y) >> shift & 0xFF);
          const int b = int(aTo.Pixel(x, y) >> shift & 0xFF);
          if (f < std::min(a, b) || f > std::max(a, b))
            return -1;
          gone += std::abs(f - a);
          whole += std::abs(b - a);
        }
    return whole == 0 ? 1 : double(gone) / double(whole);
  }
  // Steps the clock until the fade of the close button is over: the screen
  // goes from aFrom to aTo, a little at first, about halfway in the middle of
  // the fade, never back, and ends in aTo itself.
  void ExpectFade(TForm* aForm, const TRect& aRect, const Bitmap& aFrom, const Bitmap& aTo,
                  const char* aWhat) {
    SCOPED_TRACE(aWhat);
    std::vector<double> shares;
    for (int i = 0; i < 20 && Provider(aForm).CaptionMouse().FadeOf(HTCLOSE) != nullptr; ++i) {
      Step();
      shares.push_back(ShareOf(ButtonOnScreen(aForm, aRect), aFrom, aTo));
    }
    EXPECT_EQ(Provider(aForm).CaptionMouse().FadeOf(HTCLOSE), nullptr);
    ASSERT_GE(shares.size(), 5u) << "a fade of some steps";
    EXPECT_GT(shares.front(), 0.0);
    EXPECT_LT(shares.front(), 0.25);
    const double middle = shares[(shares.size() - 1) / 2];
    EXPECT_GT(middle, 0.25);
    EXPECT_LT(middle, 0.75);
    for (std::size_t i = 1; i < shares.size(); ++i)
      EXPECT_GE(shares[i], shares[i - 1]) << "step " << i;
    EXPECT_TRUE(SameBitmap(ButtonOnScreen(aForm, aRect), aTo, aWhat));
  }

  std::unique_ptr<ManualTimerClock> fClock;
};

// Press, slide and release sequences on the caption buttons: a release acts
// only on the button that was pressed.
TEST_F(CaptionMouseTest, AReleaseActsOnlyOnTheButtonThatWasPressed) {
  struct Case {
    const char* Name;
    Spot Press, Release;
    bool Closes, Minimizes;
  };
  const Case cases[] = {
      {"close, release on close", Spot::Close, Spot::Close, true, false},
      {"minimize, release on minimize", Spot::Min, Spot::Min, false, true},
      {"close, slide to minimize", Spot::Close, Spot::Min, false, false},
      {"minimize, slide to close", Spot::Min, Spot::Close, false, false},
      {"close, move off the window", Spot::Close, Spot::Outside, false, false},
      {"close, move into the client area", Spot::Close, Spot::Client, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TForm* form = ShowSingleForm();
    int closes = 0;
    form->OnClose = [&](TObject*, TCloseAction& aAction) {
      ++closes;
      aAction = caNone;
    };
    Move(form, c.Press);
    Button(form, c.Press, true);
    EXPECT_TRUE(CaptionBtnPressed);
    Move(form, c.Release);
    Button(form, c.Release, false);
    EXPECT_EQ(closes, c.Closes ? 1 : 0);
    EXPECT_EQ(bool(IsIconic(form->Handle())), c.Minimizes);
    EXPECT_EQ(Provider(form).CaptionMouse().PressedHT(), 0);
    // Whatever happened, a later release on a button does nothing.
    ShowWindow(form->Handle(), SW_RESTORE);
    PumpUntilIdle();
    Move(form, Spot::Close);
    Button(form, Spot::Close, false);
    EXPECT_EQ(closes, c.Closes ? 1 : 0);
    form->OnClose = nullptr;
    delete form;
  }
}

// Pressing shows the button pressed; leaving it shows it normal, and coming
// back while the button is held shows it pressed again.
TEST_F(CaptionMouseTest, TheHeldButtonShowsPressedOnlyWhileThePointerIsOnIt) {
  TForm* form = ShowSingleForm();
  const TqcCaptionButtons& buttons = Provider(form).Layout().Buttons;
  Move(form, Spot::Close);
  EXPECT_EQ(buttons.Close.State, 1);
  Button(form, Spot::Close, true);
  EXPECT_EQ(buttons.Close.State, 2);
  Move(form, Spot::Min);
  EXPECT_EQ(buttons.Close.State, 0);
  EXPECT_EQ(buttons.Min.State, 0);
  Move(form, Spot::Close);
  EXPECT_EQ(buttons.Close.State, 2);
  Move(form, Spot::Caption);
  EXPECT_EQ(buttons.Close.State, 0);
}

// A right click on the caption opens the system menu; the tool window's menu
// shows Move and Close; choosing Close closes the form.
TEST_F(CaptionMouseTest, ARightClickOnTheCaptionOpensTheSystemMenuWhoseCloseCloses) {
  TForm* form = ShowForm();
  TsSystemMenu& menu = Provider(form).CaptionMouse().SystemMenu();
  std::vector<std::string> shown;
  menu.OnPopup = [&](TObject*) {
    for (int i = 0; i < menu.Count(); ++i)
      if (menu.Items(i)->Visible() && !menu.Items(i)->IsSeparator())
        shown.push_back(menu.Items(i)->Caption() + (menu.Items(i)->Enabled() ? "" : " (greyed)"));
  };
  int closes = 0;
  form->OnClose = [&](TObject*, TCloseAction& aAction) {
    ++closes;
    aAction = caNone;
  };
  Move(form, Spot::Caption);
  InputMouseButton(MouseButton::Right, true, At(form, Spot::Caption));
  InputMouseButton(MouseButton::Right, false, At(form, Spot::Caption));
  Key(VK_ESCAPE);
  PumpUntilIdle();
  EXPECT_EQ(shown, (std::vector<std::string>{"&Move", "&Close"}));
  EXPECT_EQ(closes, 0);
  EXPECT_FALSE(menu.Showing());

  InputMouseButton(MouseButton::Right, true, At(form, Spot::Caption));
  InputMouseButton(MouseButton::Right, false, At(form, Spot::Caption));
  Key(VK_UP);
  Key(VK_RETURN);
  PumpUntilIdle();
  EXPECT_EQ(closes, 1);
  form->OnClose = nullptr;
}

// Alt+Space opens the frame's own system menu, not the platform's, at the
// window's left + the frame width and its top + the border height + the
// icon's height (the tool window shows no icon).
TEST_F(CaptionMouseTest, AltSpaceOpensTheSystemMenuBelowTheIcon) {
  for (const bool tool : {true, false}) {
    SCOPED_TRACE(tool ? "tool window" : "single");
    TForm* form = tool ? ShowForm() : ShowSingleForm();
    TsSystemMenu& menu = Provider(form).CaptionMouse().SystemMenu();
    int popups = 0;
    menu.OnPopup = [&](TObject*) { ++popups; };
    // The menu's window, seen when its loop waits; then Escape closes it.
    RECT dropped{};
    TWndMethod provider = form->WindowProc;
    form->WindowProc = [&](TMessage& aMessage) {
      if (aMessage.Msg == WM_ENTERIDLE && aMessage.WParam == MSGF_MENU && dropped.Right == 0) {
        GetWindowRect(HWND(aMessage.LParam), &dropped);
        Key(VK_ESCAPE);
      }
      provider(aMessage);
    };
    InputKey(VK_MENU, true, 0);
    InputKey(VK_SPACE, true, U' ');
    InputKey(VK_SPACE, false, 0);
    InputKey(VK_MENU, false, 0);
    PumpUntilIdle();
    EXPECT_EQ(popups, 1);
    EXPECT_FALSE(menu.Showing());

    const TqcFrameForm frame = Provider(form).FrameForm();
    const TRect& icon = Provider(form).Layout().IconRect;
    EXPECT_EQ(icon.IsEmpty(), tool);
    RECT w{};
    GetWindowRect(form->Handle(), &w);
    EXPECT_EQ(dropped.Left, w.Left + SysBorderWidth(frame));
    EXPECT_EQ(dropped.Top, w.Top + FrameBorderWidth(frame) + icon.Height());
    form->WindowProc = provider;
    delete form;
  }
}

// The items and their states by border style and icons: which are visible
// and which of those are enabled.
TEST_F(CaptionMouseTest, SystemMenuItemsFollowTheBorderStyleAndIcons) {
  struct Case {
    TFormBorderStyle Style;
    TBorderIcons Icons;
    std::vector<std::string> Visible; // a '-' prefix marks a greyed item
  };
  const Case cases[] = {
      {bsToolWindow, {biSystemMenu}, {"&Move", "&Close"}},
      {bsSizeToolWin, {biSystemMenu}, {"&Move", "&Size", "&Close"}},
      {bsDialog, {biSystemMenu}, {"&Move", "&Close"}},
      {bsSingle,
       {biSystemMenu, biMinimize},
       {"-&Restore", "&Move", "-&Size", "Mi&nimize", "&Close"}},
      {bsSizeable,
       {biSystemMenu, biMinimize, biMaximize},
       {"-&Restore", "&Move", "&Size", "Mi&nimize", "Ma&ximize", "&Close"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Style));
    TForm* form = fApp->CreateForm<TForm>();
    form->SetBorderStyle(c.Style);
    form->SetBorderIcons(c.Icons);
    form->Show();
    PumpUntilIdle();
    TsSystemMenu& menu = Provider(form).CaptionMouse().SystemMenu();
    menu.UpdateItems(true);
    std::vector<std::string> visible;
    for (int i = 0; i < menu.Count(); ++i)
      if (menu.Items(i)->Visible() && !menu.Items(i)->IsSeparator())
        visible.push_back((menu.Items(i)->Enabled() ? "" : "-") + menu.Items(i)->Caption());
    EXPECT_EQ(visible, c.Visible);
    delete form;
  }
}

// Hovering the close button fades its hot look in over a few timer steps;
// leaving fades it out again.
TEST_F(CaptionMouseTest, HoveringFadesTheCloseButtonInAndLeavingFadesItOut) {
  TForm* form = ShowForm();
  fClock = std::make_unique<ManualTimerClock>();
  const TRect r = Provider(form).Layout().Buttons.Close.Rect;
  const Bitmap normal = ButtonOnScreen(form, r);
  Move(form, Spot::Close);
  // The hot look is in the cache at once; the screen shows it step by step.
  Bitmap hot(r.Width(), r.Height());
  const Bitmap& cache = *Provider(form).SkinData().CacheBmp();
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x)
      hot.SetPixel(x, y, cache.Pixel(r.Left + x, r.Top + y) | 0xFF000000u);
  ASSERT_FALSE(SameBitmap(hot, normal, "hot differs"));
  EXPECT_TRUE(SameBitmap(ButtonOnScreen(form, r), normal, "before the first step"));
  ExpectFade(form, r, normal, hot, "fade in");

  Move(form, Spot::Client);
  ExpectFade(form, r, hot, normal, "fade out");
}

// A fade cut short by the next state goes on from the frame on screen and
// ends in the newest state; a press cuts a fade short at once.
TEST_F(CaptionMouseTest, AFadeCutShortEndsInTheNewState) {
  TForm* form = ShowForm();
  fClock = std::make_unique<ManualTimerClock>();
  const TRect r = Provider(form).Layout().Buttons.Close.Rect;
  const Bitmap normal = ButtonOnScreen(form, r);
  Move(form, Spot::Close);
  Step();
  Step();
  Step();
  const Bitmap midway = ButtonOnScreen(form, r);
  Move(form, Spot::Client);
  Step();
  const double back = ShareOf(ButtonOnScreen(form, r), midway, normal);
  EXPECT_GT(back, 0.0) << "on from the frame on screen";
  EXPECT_LT(back, 0.5) << "on from the frame on screen";
  for (int i = 0; i < 20 && Provider(form).CaptionMouse().FadeOf(HTCLOSE) != nullptr; ++i)
    Step();
  EXPECT_EQ(Provider(form).CaptionMouse().FadeOf(HTCLOSE), nullptr);
  EXPECT_TRUE(SameBitmap(ButtonOnScreen(form, r), normal, "ends normal"));

  Move(form, Spot::Close);
  Step();
  form->OnClose = [](TObject*, TCloseAction& aAction) { aAction = caNone; };
  Button(form, Spot::Close, true);
  EXPECT_EQ(Provider(form).CaptionMouse().FadeOf(HTCLOSE), nullptr);
  const Bitmap pressed = ButtonOnScreen(form, r);
  EXPECT_FALSE(SameBitmap(pressed, normal, "pressed differs"));
  Step();
  EXPECT_TRUE(SameBitmap(ButtonOnScreen(form, r), pressed, "stays pressed"));
  form->OnClose = nullptr;
}

// The end of the session stops every fade for good: the answer waits until
// the running fade has ended, and later state changes show at once.
TEST_F(CaptionMouseTest, TheEndOfTheSessionEndsTheFadesBeforeItIsAnswered) {
  TForm* form = ShowForm();
  TsCaptionMouse& mouse = Provider(form).CaptionMouse();
  fClock = std::make_unique<ManualTimerClock>();
  Move(form, Spot::Close);
  ASSERT_NE(mouse.FadeOf(HTCLOSE), nullptr);
  fClock.reset(); // the fade's next tick falls due on the real clock
  EXPECT_EQ(SendMessageW(form->Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(TsFadeTimer::LiveCount(), 0);
  EXPECT_EQ(mouse.FadeOf(HTCLOSE), nullptr);
  Move(form, Spot::Client);
  EXPECT_EQ(mouse.FadeOf(HTCLOSE), nullptr);
  const TRect r = Provider(form).Layout().Buttons.Close.Rect;
  EXPECT_TRUE(SameBitmap(ButtonOnScreen(form, r),
                         pixelcheck::Cropped(*Provider(form).SkinData().CacheBmp(), r),
                         "normal at once"));
}

// A hot minimize, maximize or close button with a large image glows: the
// skin's glow image named by the image's key + "GLOW" lies around the
// button, its border widths outside it less the glow margin. Only the hot
// button glows; pressed, normal or left it does not, nor a small image
// without a glow image.
TEST_F(CaptionMouseTest, AHotLargeButtonGlowsAroundItself) {
  HeadlessHost host;
  TForm* form = ShowSingleForm();
  Move(form, Spot::Outside);
  TsCaptionMouse& mouse = Provider(form).CaptionMouse();
  const TsSkinData& common = fManager->CommonSkinData;
  ASSERT_GT(common.BICloseGlow, 0);
  const auto glowWindow = [&](int aCode, const TqcCaptionButton& aButton, int aMargin) {
    const TsMaskData& glow = fManager->ma[std::size_t(fManager->GetMaskIndex(
        "GLOBALINFO", fManager->ma[std::size_t(aButton.ImageIndex)].PropertyName + "GLOW0"))];
    RECT w{};
    GetWindowRect(form->Handle(), &w);
    const TRect r = aButton.Rect.Offset(w.Left, w.Top);
    RECT shown{};
    GetWindowRect(GlowWindow(mouse.GlowOf(aCode)), &shown);
    EXPECT_EQ(TRect(shown),
              (TRect{r.Left + aMargin - MaskWidthLeft(glow), r.Top + aMargin - MaskWidthTop(glow),
                     r.Right - aMargin + MaskWidthRight(glow),
                     r.Bottom - aMargin + MaskWidthBottom(glow)}));
    EXPECT_EQ(GetWindow(GlowWindow(mouse.GlowOf(aCode)), GW_HWNDNEXT), form->Handle());
  };
  const TqcCaptionButtons& buttons = Provider(form).Layout().Buttons;
  ASSERT_TRUE(buttons.BigButtons);

  Move(form, Spot::Close);
  ASSERT_GE(mouse.GlowOf(HTCLOSE), 0);
  glowWindow(HTCLOSE, buttons.Close, common.BICloseGlowMargin);
  Move(form, Spot::Min);
  EXPECT_EQ(mouse.GlowOf(HTCLOSE), -1);
  ASSERT_GE(mouse.GlowOf(HTMINBUTTON), 0);
  glowWindow(HTMINBUTTON, buttons.Min, common.BIMinGlowMargin);
  EXPECT_EQ(ShownGlowCount(), 1);
  Button(form, Spot::Min, true);
  EXPECT_EQ(mouse.GlowOf(HTMINBUTTON), -1) << "pressed";
  Move(form, Spot::Caption);
  Button(form, Spot::Caption, false);
  EXPECT_EQ(ShownGlowCount(), 0);

  // The tool window's small close image has no glow image.
  TForm* tool = ShowForm({400, 30, 700, 230});
  Move(tool, Spot::Close);
  EXPECT_EQ(Provider(tool).Layout().Buttons.Close.State, 1);
  EXPECT_EQ(Provider(tool).CaptionMouse().GlowOf(HTCLOSE), -1);
  Move(tool, Spot::Outside);

  fManager->Effects.AllowGlowing = false;
  Move(form, Spot::Close);
  EXPECT_EQ(mouse.GlowOf(HTCLOSE), -1) << "glowing not allowed";
  fManager->Effects.AllowGlowing = true;
  Move(form, Spot::Outside);
}

// Moving the window stops the caption's fades (the button shows its new
// look at once) and hides every glow, the caption's and any other.
TEST_F(CaptionMouseTest, MovingTheWindowEndsTheFadesAndHidesEveryGlow) {
  HeadlessHost host;
  TForm* form = ShowSingleForm();
  Move(form, Spot::Outside);
  fClock = std::make_unique<ManualTimerClock>();
  TsCaptionMouse& mouse = Provider(form).CaptionMouse();
  const TRect r = Provider(form).Layout().Buttons.Close.Rect;
  Move(form, Spot::Close);
  Step();
  ASSERT_NE(mouse.FadeOf(HTCLOSE), nullptr);
  ASSERT_GE(mouse.GlowOf(HTCLOSE), 0);
  int other = -1;
  ShowGlow(other, {500, 500, 540, 520}, {0, 0, 40, 20}, "BUTTON", nullptr, fManager.get(),
           form->Handle(), 255, 0, "GLOW");
  ASSERT_GE(other, 0);
  const Bitmap hot = ButtonOnScreen(form, r);
  const Bitmap cached = pixelcheck::Cropped(*Provider(form).SkinData().CacheBmp(), r);

  SetWindowPos(form->Handle(), nullptr, 60, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(mouse.FadeOf(HTCLOSE), nullptr);
  EXPECT_EQ(ShownGlowCount(), 0);
  EXPECT_EQ(mouse.GlowOf(HTCLOSE), -1);
  EXPECT_EQ(other, -1);
  PumpUntilIdle();
  EXPECT_FALSE(SameBitmap(hot, cached, "midway differs from the end"));
  EXPECT_TRUE(SameBitmap(ButtonOnScreen(form, r), cached, "the fade's end at once"));
}

// The skin manager's hover tracking moving on from the frame returns the hot
// caption button to normal; a later leave finds nothing hot.
TEST_F(CaptionMouseTest, LosingTheHoverReturnsTheHotButtonToNormal) {
  TForm* form = ShowSingleForm();
  Move(form, Spot::Outside);
  fManager->Effects.AllowGlowing = false; // no fades: each state shows at once
  const TqcCaptionButtons& buttons = Provider(form).Layout().Buttons;
  const TRect r = buttons.Close.Rect;
  const Bitmap normal = ButtonOnScreen(form, r);
  Move(form, Spot::Close);
  ASSERT_EQ(buttons.Close.State, 1);
  ASSERT_FALSE(SameBitmap(ButtonOnScreen(form, r), normal, "hot differs"));
  fManager->SetActiveControl(nullptr);
  EXPECT_EQ(buttons.Close.State, 0);
  EXPECT_FALSE(CaptionBtnPressed);
  EXPECT_TRUE(SameBitmap(ButtonOnScreen(form, r), normal, "normal again"));
  SendMessageW(form->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(buttons.Close.State, 0);
  EXPECT_TRUE(SameBitmap(ButtonOnScreen(form, r), normal, "still normal"));
  fManager->Effects.AllowGlowing = true;
}

} // namespace
