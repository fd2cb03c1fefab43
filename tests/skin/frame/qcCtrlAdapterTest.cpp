// The control adapter of an adopted message box: its plain buttons painted
// as skinned buttons, pixel-exact over a small plain test skin in each state
// through real input, fading as a skinned button does, and given back to the
// platform when the skin goes.

#include "skin/controls/qcCtrlAdapter.h"

#include "FadeRule.h"
#include "FrameFixture.h"
#include "PlainButtonSkin.h"
#include "platform/gfx/Text.h"
#include "platform/win/Input.h"
#include "skin/data/sSkinCommands.h"
#include "support/PixelCheck.h"
#include "support/ScreenShot.h"
#include "toolkit/MessageForm.h"

#include <string>

using namespace platform;
using pixelcheck::Opaque;
using pixelcheck::SameBitmap;
using pixelcheck::TPixelMatch;

namespace {

using namespace plainbutton;

// The plain button skin with a plain FORM.
std::string PlainSkin() {
  return "[GLOBALINFO]\nCOLOR=" + std::to_string(kFormColor) +
         "\n[FORM]\nSTATES=1\nCOLOR=" + std::to_string(kFormColor) + "\n" + ButtonSection("BUTTON");
}

// Round half to even of aValue / 100.
std::uint32_t RoundPercent(std::uint32_t aValue) {
  const std::uint32_t q = aValue / 100, r = aValue % 100;
  return q + (r > 50 || (r == 50 && q % 2 == 1) ? 1 : 0);
}

class CtrlAdapterTest : public FrameTest {
protected:
  void SetUp() override {
    FrameTest::SetUp();
    auto& skin = fManager->InternalSkins.Add();
    skin.SetName("Plain");
    skin.ReadData(PackSkin(PlainSkin(), {{"M.PNG", EncodePngBytes(MaskImage())}}));
    fManager->SetSkinName("Plain");
    // Each state shows at once; the fade has its own test.
    fManager->AnimEffects.Buttons.Events = {};
    fBox = TComponent::Create<TMessageForm>(fApp.get(), "Das Gerät steht nicht zur Verfügung!",
                                            "Monitor", MB_OKCANCEL | MB_ICONHAND);
    fBox->Show();
    PumpUntilIdle();
    ASSERT_NE(TsSkinProvider::Of(fBox), nullptr);
  }

  TqcCtrlAdapter* Adapter() const { return TsSkinProvider::Of(fBox)->Adapter(); }

  // The button's look in a painted state, its caption and focus frame
  // drawn as the skinned button's rules say.
  static Bitmap Look(TButton* aButton, int aState, bool aFocused) {
    const int w = aButton->Width(), h = aButton->Height();
    Bitmap b = plainbutton::Look(w, h, aState, Opaque(kFormColor));
    pixelcheck::DCHolder dc(CreateCompatibleDC(nullptr));
    SelectObject(dc.get(), &b);
    SelectObject(dc.get(), aButton->Font().Handle());
    const std::string& caption = aButton->Caption();
    RECT measured{6, 0, w - 6, 0};
    DrawTextW(dc.get(), caption, &measured,
              DT_CALCRECT | DT_CENTER | DT_EXPANDTABS | DT_SINGLELINE);
    const int left = (w - measured.Width()) / 2 - 1;
    const int top = (h - measured.Height()) / 2;
    RECT text{left, top, left + measured.Width() + 2, h - top};
    if (aState == 2) // the content moves on a click
      text = TRect(text).Offset(1, 1);
    SetBkMode(dc.get(), TRANSPARENT);
    SetTextColor(dc.get(), aState > 0 ? kHotFont : kFont);
    DrawTextW(dc.get(), caption, &text, DT_CENTER | DT_VCENTER | DT_EXPANDTABS | DT_SINGLELINE);
    if (aFocused) {
      // Grown by the margin + 1 across and the margin down, 3 pixels inside.
      const TRect f{text.Left - 2, std::max(text.Top - 1, 3), text.Right + 2,
                    std::min(text.Bottom + 1, h - 3)};
      for (int y = f.Top; y < f.Bottom; ++y)
        for (int x = f.Left; x < f.Right; ++x) {
          const bool edge = x == f.Left || x == f.Right - 1 || y == f.Top || y == f.Bottom - 1;
          if (edge && (x - f.Left + y - f.Top) % 2 == 0)
            b.SetPixel(x, y, Opaque(kHotFont));
        }
    }
    return b;
  }
  // What the screen shows of a button.
  static Bitmap OnScreen(TButton* aButton) { return pixelcheck::WindowShot(aButton->Handle()); }
  static void MouseTo(TControl* aControl, TPoint aAt) {
    InputMouseMove(aControl->ClientToScreen(aAt));
    PumpUntilIdle();
  }

  TMessageForm* fBox = nullptr;
};

// OK is the focused default button; Cancel goes through normal, hot,
// pressed and disabled by real input.
TEST_F(CtrlAdapterTest, TheBoxsButtonsLookLikeSkinnedButtonsInEveryState) {
  TButton* ok = fBox->Buttons(0);
  TButton* cancel = fBox->Buttons(1);
  ASSERT_NE(Adapter(), nullptr);
  EXPECT_EQ(Adapter()->Count(), 2);
  MouseTo(fBox, {fBox->ClientWidth() - 2, 2});
  int clicks = 0;
  cancel->OnClick = [&](TObject*) { ++clicks; };
  struct Step {
    const char* Name;
    std::function<void()> Act;
    TButton* Button;
    int State;
    bool Focused;
  };
  const Step steps[] = {
      {"focused default", [] {}, ok, 1, true},
      {"normal", [] {}, cancel, 0, false},
      {"hot",
       [&] {
         MouseTo(cancel, {20, 10});
       },
       cancel, 1, false},
      {"pressed",
       [&] {
         InputMouseButton(MouseButton::Left, true, cancel->ClientToScreen({20, 10}));
         PumpUntilIdle();
       },
       cancel, 2, true},
      {"default, focus on another button", [] {}, ok, 0, false},
      {"released",
       [&] {
         InputMouseButton(MouseButton::Left, false, cancel->ClientToScreen({20, 10}));
         PumpUntilIdle();
       },
       cancel, 1, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.Name);
    step.Act();
    EXPECT_TRUE(SameBitmap(OnScreen(step.Button), Look(step.Button, step.State, step.Focused),
                           std::string("box-button-") + step.Name, TPixelMatch::ColorOnly));
  }
  EXPECT_EQ(clicks, 1);

  // Disabled: 40 % of the normal look over 60 % of the plain form colour,
  // rounded half to even.
  MouseTo(fBox, {fBox->ClientWidth() - 2, 2});
  cancel->SetEnabled(false);
  PumpUntilIdle();
  Bitmap expected = Look(cancel, 0, false);
  for (int y = 0; y < expected.Height(); ++y)
    for (int x = 0; x < expected.Width(); ++x) {
      const std::uint32_t own = expected.Pixel(x, y);
      const std::uint32_t back = Opaque(kFormColor);
      std::uint32_t mixed = 0xFF000000u;
      for (int shift : {0, 8, 16})
        mixed |= RoundPercent(((own >> shift) & 0xFF) * 40 + ((back >> shift) & 0xFF) * 60)
                 << shift;
      expected.SetPixel(x, y, mixed);
    }
  EXPECT_TRUE(
      SameBitmap(OnScreen(cancel), expected, "box-button-disabled", TPixelMatch::ColorOnly));
}

// The mouse entering fades the hot look in as a skinned button's does: the
// first, a middle and the last frame (the fade's own tests walk every frame).
TEST_F(CtrlAdapterTest, AHoverFadesTheButtonIn) {
  ManualTimerClock clock;
  fManager->AnimEffects.Buttons.Events = {TqcButtonEvent::beMouseEnter};
  TButton* cancel = fBox->Buttons(1);
  MouseTo(fBox, {fBox->ClientWidth() - 2, 2});
  const Bitmap normal = Look(cancel, 0, false), hot = Look(cancel, 1, false);
  ASSERT_TRUE(SameBitmap(OnScreen(cancel), normal, "fade-before", TPixelMatch::ColorOnly));
  MouseTo(cancel, {20, 10});
  const std::size_t frames = kFullFadeAlphas.size();
  for (std::size_t i = 0; i <= frames; ++i) {
    clock.Advance(TsFadeTimer::IntervalMs);
    PumpUntilIdle();
    if (i == 0 || i == frames / 2 || i == frames - 1)
      EXPECT_TRUE(SameBitmap(OnScreen(cancel),
                             FadeRuleFrame(normal, hot, {0, 0}, kFullFadeAlphas[i]),
                             "box-fade-" + std::to_string(i), TPixelMatch::ColorOnly));
  }
}

// Without a skin the buttons are the platform's again, and a button added
// later to a skinned form is adapted as it arrives.
TEST_F(CtrlAdapterTest, TheButtonsFollowTheSkinAndNewButtons) {
  TButton* ok = fBox->Buttons(0);
  fManager->SetActive(false);
  PumpUntilIdle();
  EXPECT_EQ(Adapter(), nullptr);
  EXPECT_EQ(SendSkinCommand(ok, scIsSkinned), 0);
  // The platform's button class paints it again.
  Bitmap plain = pixelcheck::Filled(ok->Width(), ok->Height(), 0);
  {
    pixelcheck::DCHolder dc(CreateCompatibleDC(nullptr));
    SelectObject(dc.get(), &plain);
    SendMessageW(ok->Handle(), WM_PRINTCLIENT, WPARAM(dc.get()), PRF_CLIENT);
  }
  EXPECT_TRUE(SameBitmap(OnScreen(ok), plain, "box-button-plain", TPixelMatch::ColorOnly));
  EXPECT_FALSE(SameBitmap(plain, Look(ok, 1, true), "plain differs", TPixelMatch::ColorOnly));

  fManager->SetActive(true);
  PumpUntilIdle();
  ASSERT_NE(Adapter(), nullptr);
  EXPECT_EQ(SendSkinCommand(ok, scIsSkinned), 1);
  EXPECT_TRUE(
      SameBitmap(OnScreen(ok), Look(ok, 1, true), "box-button-again", TPixelMatch::ColorOnly));

  auto* later = new TButton(fBox);
  later->SetBounds(4, 4, 40, 20);
  later->SetCaption("X");
  later->SetParent(fBox);
  PumpUntilIdle();
  EXPECT_NE(Adapter()->SkinDataOf(later), nullptr);
  EXPECT_TRUE(SameBitmap(OnScreen(later), Look(later, 0, false), "box-button-later",
                         TPixelMatch::ColorOnly));
  TComponent::Free(later);
  EXPECT_EQ(Adapter()->Count(), 2);
}

} // namespace
