// The frame cache rebuilt over skin "F" (FrameCacheFixture.h), pixel for
// pixel against frames painted from the rules, and the caption glow of skin
// "G".

#include "FrameCacheFixture.h"
#include "platform/gfx/Raster.h"

namespace {

using pixelcheck::SameBitmap;

TEST_F(FrameCacheTest, ActiveAndInactiveFramesWithTheirButtons) {
  for (const bool active : {true, false}) {
    const platform::Bitmap cache = Paint(SingleView(200, 120, active));
    EXPECT_TRUE(SameBitmap(cache, ExpectedSingleFrame(200, 120, active),
                           active ? "frame-active" : "frame-inactive"));
    EXPECT_FALSE(fData->BGChanged);
  }
}

TEST_F(FrameCacheTest, HotAndPressedButtonsAreDrawnAtFullStrength) {
  struct Case {
    bool Active;
    TButtonStates States;
  };
  for (const Case& c :
       {Case{true, {cbsHot, cbsNormal, cbsNormal}}, Case{true, {cbsNormal, cbsPressed, cbsNormal}},
        Case{false, {cbsNormal, cbsNormal, cbsHot}},
        Case{false, {cbsPressed, cbsNormal, cbsNormal}}}) {
    fLayout.Buttons.Close.State = c.States.Close;
    fLayout.Buttons.Max.State = c.States.Max;
    fLayout.Buttons.Min.State = c.States.Min;
    EXPECT_TRUE(SameBitmap(Paint(SingleView(200, 120, c.Active)),
                           ExpectedSingleFrame(200, 120, c.Active, c.States), "frame-states"));
  }
}

// A faded button of the active frame, over the active title colour.
void FadeButton(platform::Bitmap& aBmp, TPoint aAt, TFrameImage aImage) {
  pixelcheck::Paint(aBmp, Bounds(aAt.X, aAt.Y, kButtonW, kButtonH),
                    pixelcheck::Opaque(kTitleHotColor));
  PaintButtonFrame(aBmp, aAt, aImage, 0, true);
}

TEST_F(FrameCacheTest, DisabledButtonsAndDisabledFormsAreFaded) {
  TsFrameView view = SingleView(200, 120);
  view.Form.SystemMenu.EnabledClose = false;
  platform::Bitmap expected = ExpectedSingleFrame(200, 120, true);
  FadeButton(expected, CloseAt(200), fiClose);
  EXPECT_TRUE(SameBitmap(Paint(view), expected, "frame-close-disabled"));

  view = SingleView(200, 120);
  view.Enabled = false;
  expected = ExpectedSingleFrame(200, 120, true);
  FadeButton(expected, CloseAt(200), fiClose);
  FadeButton(expected, MaxAt(200), fiMax);
  FadeButton(expected, MinAt(200), fiMin);
  EXPECT_TRUE(SameBitmap(Paint(view), expected, "frame-form-disabled"));
}

// The icon of a 19-pixel caption is 16 x 16 at b 3 + BILEFT 3, centred on
// line 10. An extra button without skin image is 21 wide (its glyph + 2 is
// less), placed 6 left of the minimize button and its 1-pixel spacing; its glyph is centred in it
// (rows 5 to 15 of the buttons' height 10), one pixel right and down while
// pressed.
TEST_F(FrameCacheTest, TheIconAndAnExtraButtonsGlyph) {
  const platform::Bitmap icon = pixelcheck::Filled(16, 16, pixelcheck::Px(10, 20, 30));
  const platform::Bitmap glyph = pixelcheck::Filled(6, 4, pixelcheck::Px(200, 0, 0));
  TsFrameView view = SingleView(200, 120);
  view.Form.ShowAppIcon = true;
  view.Icon = &icon;
  view.Form.TitleButtons = {TqcTitleButtonSpec{.GlyphWidth = 6}};
  view.TitleButtonGlyphs = {&glyph};
  const int buttonLeft = MinAt(200).X - 1 - 6 - 21;
  for (const TqcCaptionButtonState state : {cbsNormal, cbsPressed}) {
    if (!fLayout.TitleButtons.empty())
      fLayout.TitleButtons[0].State = state;
    platform::Bitmap expected = ExpectedSingleFrame(200, 120, true);
    pixelcheck::Paint(expected, {6, 2, 22, 18}, icon.Pixel(0, 0));
    const int shift = state == cbsPressed ? 1 : 0;
    pixelcheck::Paint(expected, Bounds(buttonLeft + 7 + shift, 5 + 3 + shift, 6, 4),
                      glyph.Pixel(0, 0));
    EXPECT_TRUE(SameBitmap(Paint(view), expected, "frame-icon-glyph"));
    ASSERT_EQ(fLayout.TitleButtons.size(), 1u);
    EXPECT_EQ(fLayout.TitleButtons[0].Rect, Bounds(buttonLeft, 5, 21, 10));
  }
}

TEST_F(FrameCacheTest, AFreshCacheIsNotRepaintedUntilItIsStale) {
  const TsFrameView view = SingleView(200, 120);
  Paint(view);
  fData->CacheBmp()->SetPixel(50, 10, 0);
  PaintAll(*fData, fTitle, view, fLayout);
  EXPECT_EQ(fData->CacheBmp()->Pixel(50, 10), 0u);
}

TEST_F(FrameCacheTest, TheButtonStripIsSavedWithoutButtons) {
  Paint(SingleView(200, 120));
  // b + TitleBtnsWidth (2 + 12 + 13 + 13) + 10 wide, ending one pixel left of
  // the right edge; b + caption + b high.
  EXPECT_EQ(fTitle.TempBmpOrigin, (TPoint{200 - 53 - 1, 0}));
  ASSERT_EQ(fTitle.TempBmp.Width(), 53);
  ASSERT_EQ(fTitle.TempBmp.Height(), 25);
  const platform::Bitmap plain = ExpectedSingleFrame(200, 120, true);
  platform::Bitmap strip(53, 25);
  platform::raster::Copy(strip, strip.BoundsRect(), plain, {146, 0});
  // What lies under the buttons is the title band.
  pixelcheck::Paint(strip, {0, 0, 53, 22}, pixelcheck::Opaque(kTitleHotColor));
  EXPECT_TRUE(SameBitmap(fTitle.TempBmp, strip, "frame-button-strip"));
}

TEST_F(FrameCacheTest, TheActiveCaptionGlowsAndTheGlowIsKept) {
  UseSkin("F");
  TsFrameView view = SingleView(200, 120);
  view.Caption = "Glow";
  const platform::Bitmap plain = Paint(view);
  UseSkin("G");
  const platform::Bitmap glowing = Paint(view);
  EXPECT_NE(glowing, plain);
  ASSERT_TRUE(fTitle.FGlow1.has_value());
  EXPECT_FALSE(fTitle.FGlow2.has_value());
  const std::uint8_t* kept = fTitle.FGlow1->Glow.Work.Pixels.data();
  EXPECT_TRUE(SameBitmap(Paint(view), glowing, "frame-glow-again"));
  EXPECT_EQ(fTitle.FGlow1->Glow.Work.Pixels.data(), kept) << "the glow is made once";

  view.Caption = "Other";
  Paint(view);
  EXPECT_EQ(fTitle.FGlow1->Text, "Other");

  // The inactive title has no glow size; a skin of version 7.5 draws none.
  view.Active = false;
  const platform::Bitmap inactive = Paint(view);
  UseSkin("F");
  EXPECT_TRUE(SameBitmap(inactive, Paint(view), "frame-glow-inactive"));
  view.Active = true;
  const platform::Bitmap noGlow = Paint(view);
  UseSkin("OLD");
  EXPECT_TRUE(SameBitmap(Paint(view), noGlow, "frame-glow-old-skin"));
  EXPECT_FALSE(fTitle.FGlow1.has_value());
}

TEST_F(FrameCacheTest, ASkinChangeForgetsTheStripAndTheGlows) {
  UseSkin("G");
  TsFrameView view = SingleView(200, 120);
  view.Caption = "Glow";
  Paint(view);
  fTitle.ResetForSkin();
  EXPECT_TRUE(fTitle.TempBmp.Empty());
  EXPECT_FALSE(fTitle.FGlow1.has_value());
  EXPECT_EQ(fTitle.TitleSkinIndex, -1);
}

} // namespace
