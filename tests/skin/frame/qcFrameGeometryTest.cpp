// Frame geometry and hit codes for the built-in skin's numbers (BIRIGHT 6,
// BILEFT 4, BISPACE 2, BIVALIGN 0; large buttons 25 x 19, small 17 x 15, the
// grip 12 x 12) and the platform metrics (frame 4, dialog frame 3, caption
// 19, small caption 15), worked out by hand for each case.
#include "skin/frame/qcFrameGeometry.h"

#include "SkinTestUtil.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sVerdantSkin.h"

#include <gtest/gtest.h>
#include <memory>

using namespace platform;

namespace {

TRect R(int aLeft, int aTop, int aRight, int aBottom) {
  return {aLeft, aTop, aRight, aBottom};
}

TPoint P(int aX, int aY) {
  return {aX, aY};
}

constexpr DWORD kSizeable =
    WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

class FrameGeometry : public ::testing::Test {
protected:
  void SetUp() override {
    auto& skin = fManager.InternalSkins.Add();
    skin.SetName(VerdantSkinName);
    auto data = VerdantSkinData();
    skin.ReadData(data.data(), data.size());
    fManager.SetSkinDirectory("C:\\Skins");
    fManager.SetSkinName(VerdantSkinName);
  }

  // The monitor's window: a tool window with the system menu around a
  // 732 x 351 client area, so 738 x 372 with its 3-pixel frame and 15-pixel
  // caption.
  static TqcFrameForm MonitorForm() {
    TqcFrameForm form;
    form.BorderStyle = bsToolWindow;
    form.Style = WS_CAPTION | WS_SYSMENU;
    form.Size = {738, 372};
    form.SystemMenu.VisibleMax = false;
    form.SystemMenu.VisibleMin = false;
    return form;
  }
  static TqcFrameForm SizeableForm() {
    TqcFrameForm form;
    form.Style = kSizeable;
    form.Size = {300, 200};
    return form;
  }

  TqcFrameLayout Layout(const TqcFrameForm& aForm, const TsSkinTables& aSkin) {
    TqcCaptionButtons buttons;
    UpdateIconsIndexes(aSkin, aForm, buttons);
    return CalcItems(aSkin, aForm, buttons);
  }
  TqcFrameLayout Layout(const TqcFrameForm& aForm) { return Layout(aForm, fManager); }

  struct HitCase {
    TPoint At;
    int Hit;
  };
  void ExpectHits(const TqcFrameForm& aForm, const std::vector<HitCase>& aCases) {
    const TqcFrameLayout layout = Layout(aForm);
    for (const HitCase& c : aCases)
      EXPECT_EQ(HTProcess(fManager, aForm, layout, c.At), c.Hit)
          << "at " << c.At.X << "," << c.At.Y;
  }

  TMessageRecorder fMessages;
  TsSkinManager fManager;
};

TEST_F(FrameGeometry, MonitorWindowMetricsAndCloseButton) {
  const TqcFrameForm form = MonitorForm();
  EXPECT_EQ(SysBorderWidth(form), 3);
  EXPECT_EQ(SysCaptionHeight(form), 15);
  EXPECT_EQ(CaptionHeight(form), 15);
  EXPECT_EQ(FrameBorderWidth(form), 3);
  const TqcFrameLayout layout = Layout(form);
  const TqcCaptionButtons& b = layout.Buttons;
  EXPECT_FALSE(b.BigButtons);
  EXPECT_EQ(b.Close.ImageIndex, fManager.ConstData.MaskCloseSmall);
  EXPECT_EQ(fManager.ma[b.Close.ImageIndex].PropertyName, "SICONCLOSE");
  EXPECT_FALSE(b.Close.HaveAlignment);
  // VCenter 15 div 2 + 3 div 2 = 8; the 15-pixel button starts 7 above it.
  EXPECT_EQ(layout.VCenter, 8);
  EXPECT_EQ(layout.HeaderHeight, 18);
  EXPECT_EQ(b.Close.Rect, R(712, 1, 729, 16)); // right edge 738 - 6 - 3
  EXPECT_TRUE(b.Max.Rect.IsEmpty());
  EXPECT_TRUE(b.Min.Rect.IsEmpty());
  EXPECT_TRUE(b.Help.Rect.IsEmpty());
  EXPECT_EQ(layout.IconRect, R(7, 0, 7, 0));
  EXPECT_EQ(layout.FreeRight, 712);
  EXPECT_EQ(TitleBtnsWidth(fManager, form, b), 6 + 17);
  EXPECT_EQ(b.UserBtnIndex, -1);
}

TEST_F(FrameGeometry, MonitorWindowHitCodes) {
  ExpectHits(MonitorForm(), {
                                {{712, 1}, HTCLOSE},
                                {{728, 15}, HTCLOSE},
                                {{711, 8}, HTCAPTION},
                                {{729, 8}, HTCAPTION},
                                {{712, 16}, HTCAPTION},
                                {{0, 0}, HTCAPTION}, // no sizing edges
                                {{7, 8}, HTCAPTION}, // no icon, no system menu hit
                                {{737, 17}, HTCAPTION},
                                {{300, 18}, HTCLIENT}, // first client row
                                {{0, 371}, HTCLIENT},
                                {{737, 371}, HTCLIENT},
                            });
  TqcFrameForm disabled = MonitorForm();
  disabled.SystemMenu.EnabledClose = false;
  ExpectHits(disabled, {{{720, 8}, HTCAPTION}});
}

// Only the title's mask has key pixels in its corners: its top corners are
// rounded, three pixels cut in the first row and one in each of the next two,
// at each end. The form's border has square corners.
TEST_F(FrameGeometry, MonitorWindowCornersAreCutOut) {
  const TqcFrameForm form = MonitorForm();
  const int border = fManager.GetMaskIndex(fManager.GetSkinIndex("FORM"), "FORM", "BORDERSMASK");
  ASSERT_TRUE(fManager.IsValidImgIndex(border));
  const auto cutouts = BuildCornerCutouts(fManager, border, "", 738, 372);
  EXPECT_EQ(cutouts, (std::vector<TRect>{{0, 0, 3, 1},
                                         {735, 0, 738, 1},
                                         {0, 1, 1, 2},
                                         {737, 1, 738, 2},
                                         {0, 2, 1, 3},
                                         {737, 2, 738, 3}}));
  const Region region = WindowRegion(form, cutouts);
  EXPECT_EQ(region.Bounds(), R(0, 0, 738, 372));
  for (TPoint out : {TPoint{0, 0}, TPoint{2, 0}, TPoint{0, 2}, TPoint{735, 0}, TPoint{737, 2}})
    EXPECT_FALSE(region.Contains(out)) << out.X << "," << out.Y;
  for (TPoint in : {TPoint{3, 0}, TPoint{1, 1}, TPoint{0, 3}, TPoint{734, 0}, TPoint{736, 1},
                    TPoint{737, 3}, TPoint{0, 371}, TPoint{737, 371}})
    EXPECT_TRUE(region.Contains(in)) << in.X << "," << in.Y;
}

TEST_F(FrameGeometry, SizeableFormLayout) {
  const TqcFrameForm form = SizeableForm();
  const TqcFrameLayout layout = Layout(form);
  const TqcCaptionButtons& b = layout.Buttons;
  EXPECT_TRUE(b.BigButtons);
  EXPECT_EQ(b.Close.ImageIndex, fManager.ConstData.MaskCloseBtn);
  EXPECT_TRUE(b.Close.HaveAlignment);
  // VCenter 19 div 2 + 4 div 2 = 11; buttons 19 high from 11 - 9; from
  // x = 300 - 6 - 4 leftwards, 2 pixels apart.
  EXPECT_EQ(layout.VCenter, 11);
  EXPECT_EQ(layout.HeaderHeight, 23);
  EXPECT_EQ(b.Close.Rect, R(265, 2, 290, 21));
  EXPECT_EQ(b.Max.Rect, R(238, 2, 263, 21));
  EXPECT_EQ(b.Min.Rect, R(211, 2, 236, 21));
  EXPECT_TRUE(b.Help.Rect.IsEmpty());
  // A 19-pixel caption gives a 16 x 16 icon at 4 + 4.
  EXPECT_EQ(layout.IconRect, R(8, 3, 24, 19));
  EXPECT_EQ(TitleBtnsWidth(fManager, form, b), 6 + 25 + 27 + 27);

  TqcFrameForm maximized = form;
  maximized.Style |= WS_MAXIMIZE;
  const TqcFrameLayout big = Layout(maximized);
  EXPECT_EQ(big.VCenter, 13);
  EXPECT_EQ(big.Buttons.Max.ImageIndex, fManager.ConstData.MaskNormBtn);
  EXPECT_EQ(WindowRegion(maximized, {{0, 0, 5, 1}}).Rects(),
            (std::vector<TRect>{{4, 4, 296, 196}}));
}

TEST_F(FrameGeometry, SizeableFormHitCodes) {
  // Frame 4: the left and top bands are 4 pixels wide, the right and bottom
  // ones 3 (x = 296 and y = 196 are inside).
  ExpectHits(SizeableForm(), {
                                 {{0, 0}, HTTOPLEFT},
                                 {{3, 3}, HTTOPLEFT},
                                 {{150, 3}, HTTOP},
                                 {{297, 0}, HTTOPRIGHT},
                                 {{296, 0}, HTTOP},
                                 {{3, 100}, HTLEFT},
                                 {{297, 100}, HTRIGHT},
                                 {{296, 100}, HTCLIENT},
                                 {{4, 100}, HTCLIENT},
                                 {{150, 196}, HTCLIENT},
                                 {{150, 197}, HTBOTTOM},
                                 {{0, 199}, HTBOTTOMLEFT},
                                 {{299, 199}, HTBOTTOMRIGHT},
                                 {{270, 2}, HTCLOSE}, // buttons come before the edges
                                 {{270, 1}, HTTOP},
                                 {{289, 20}, HTCLOSE},
                                 {{250, 10}, HTMAXBUTTON},
                                 {{220, 10}, HTMINBUTTON},
                                 {{237, 10}, HTCAPTION}, // the gap between buttons
                                 {{8, 3}, HTTOP},        // the edge band comes before the icon
                                 {{8, 4}, HTSYSMENU},
                                 {{23, 18}, HTSYSMENU},
                                 {{24, 10}, HTCAPTION},
                                 {{150, 22}, HTCAPTION},
                                 {{150, 23}, HTCLIENT},
                             });
}

TEST_F(FrameGeometry, DisabledButtonsAnswerCaption) {
  const struct {
    const char* Name;
    TqcSystemMenuState Menu;
    DWORD ExtraStyle;
    TPoint At;
    int Hit;
  } cases[] = {
      {"close disabled", {.EnabledClose = false}, 0, {270, 10}, HTCAPTION},
      {"maximize disabled",
       {.EnabledMax = false, .EnabledRestore = false},
       0,
       {250, 10},
       HTCAPTION},
      {"maximize disabled, restore enabled", {.EnabledMax = false}, 0, {250, 10}, HTMAXBUTTON},
      {"minimize disabled", {.EnabledMin = false}, 0, {220, 10}, HTCAPTION},
      {"no system menu", {.Exists = false}, 0, {270, 10}, HTCAPTION},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TqcFrameForm form = SizeableForm();
    form.SystemMenu = c.Menu;
    form.Style |= c.ExtraStyle;
    ExpectHits(form, {{c.At, c.Hit}});
  }
}

// bsSingle with close, minimize and help: dialog frame 3, VCenter 9 + 1.
TEST_F(FrameGeometry, HelpAndMinimizeWithoutMaximize) {
  TqcFrameForm form;
  form.BorderStyle = bsSingle;
  form.BorderIcons = {biSystemMenu, biMinimize, biHelp};
  form.Style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  form.Size = {300, 200};
  form.SystemMenu.VisibleMax = false;
  const TqcFrameLayout layout = Layout(form);
  EXPECT_EQ(layout.Buttons.Close.Rect, R(266, 1, 291, 20));
  EXPECT_TRUE(layout.Buttons.Max.Rect.IsEmpty());
  EXPECT_EQ(layout.Buttons.Min.Rect, R(239, 1, 264, 20));
  EXPECT_EQ(layout.Buttons.Help.Rect, R(206, 1, 231, 20)); // 2 + 6 left of minimize
  ExpectHits(form, {{{210, 5}, HTHELP}, {{240, 5}, HTMINBUTTON}, {{233, 5}, HTCAPTION}});
}

TEST_F(FrameGeometry, CloseAloneWithoutMinimizeAndMaximize) {
  TqcFrameForm form;
  form.BorderStyle = bsSingle;
  form.BorderIcons = {biSystemMenu};
  form.Style = WS_CAPTION | WS_SYSMENU;
  form.Size = {300, 200};
  form.SystemMenu.VisibleMax = false;
  form.SystemMenu.VisibleMin = false;
  const TqcFrameLayout layout = Layout(form);
  EXPECT_EQ(layout.Buttons.Close.ImageIndex, fManager.ConstData.MaskCloseAloneBtn);
  EXPECT_EQ(fManager.ma[layout.Buttons.Close.ImageIndex].PropertyName, "BICLOSEALONE");
}

// Without the small set a tool window takes the large images, which
// BIVALIGN 1 puts at the top.
TEST_F(FrameGeometry, ToolWindowFallsBackToLargeImages) {
  TsSkinTables skin = fManager;
  skin.ConstData.MaskCloseSmall = -1;
  skin.CommonSkinData.BIVAlign = 1;
  const TqcFrameLayout layout = Layout(MonitorForm(), skin);
  EXPECT_EQ(layout.Buttons.Close.ImageIndex, skin.ConstData.MaskCloseBtn);
  EXPECT_TRUE(layout.Buttons.Close.HaveAlignment);
  EXPECT_EQ(layout.Buttons.Close.Rect, R(704, 0, 729, 19));
}

// Extra buttons 21 wide without skin image, or glyph + 2: after minimize,
// 6 + 2 further left.
TEST_F(FrameGeometry, ExtraTitleButtons) {
  TqcFrameForm form = SizeableForm();
  form.TitleButtons = {{}, {.Enabled = false, .GlyphWidth = 30}, {.Visible = false}};
  const TqcFrameLayout layout = Layout(form);
  ASSERT_EQ(layout.TitleButtons.size(), 3u);
  EXPECT_EQ(layout.TitleButtons[0].Rect, R(182, 2, 203, 21));
  EXPECT_EQ(layout.TitleButtons[0].HitCode, 1000);
  EXPECT_EQ(layout.TitleButtons[1].Rect, R(148, 2, 180, 21));
  EXPECT_EQ(layout.TitleButtons[1].HitCode, 1001);
  EXPECT_TRUE(layout.TitleButtons[2].Rect.IsEmpty());
  EXPECT_EQ(layout.FreeRight, 146);
  // The hidden button keeps its room.
  EXPECT_EQ(TitleBtnsWidth(fManager, form, layout.Buttons), 85 + 6 + 23 + 34 + 23);
  ExpectHits(form, {{{190, 10}, 1000}, {{160, 10}, HTCAPTION}});
}

// The grip 12 x 12 starts at (300 - 12 - 4 - 1, 200 - 12 - 4 - 1).
TEST_F(FrameGeometry, SizeGripAnswersBottomRight) {
  TqcFrameForm form = SizeableForm();
  form.GripRightBottom = true;
  EXPECT_EQ(GripOrigin(fManager, form), P(283, 183));
  ExpectHits(form, {{{284, 184}, HTBOTTOMRIGHT},
                    {{283, 184}, HTCLIENT},
                    {{284, 183}, HTCLIENT},
                    {{290, 190}, HTBOTTOMRIGHT}});
  form.Style |= WS_MAXIMIZE;
  EXPECT_FALSE(GripInUse(form));
}

TEST(FrameGeometrySizes, InvalidImagesGiveTheDefaultSize) {
  TsSkinTables skin;
  TsMaskData own;
  own.Bmp = std::make_shared<Bitmap>(60, 20);
  own.ImageCount = 0;
  skin.ma.push_back(own);
  own.ImageCount = 3;
  skin.ma.push_back(own);
  EXPECT_EQ(SysButtonWidth(skin, {.ImageIndex = -1}), 21);
  EXPECT_EQ(SysButtonWidth(skin, {.ImageIndex = 2}), 21);
  EXPECT_EQ(SysButtonWidth(skin, {.ImageIndex = 0}), 21); // no frames: no division by 0
  EXPECT_EQ(SysButtonWidth(skin, {.ImageIndex = 1}), 20);
  EXPECT_EQ(ButtonHeight(skin, TqcCaptionButtons{}), 21);
}

// A mask of two 8 x 6 frames with its mask below, borders 3/2/2/2. Key runs in
// frame 0: row 0 columns 0-2 and 7 (and 4, outside the corners), row 1
// columns 0, 2, 6-7, row 5 columns 0-1 and 6-7. Frame 1 is all key.
TEST(FrameGeometryCutouts, KeyRunsOfTheCornersAtBothEdges) {
  Bitmap image(16, 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      image.SetPixel(x, y, x >= 8 ? 0x00FF00FFu : 0xFF102030u);
  const auto key = [&](int aRow, std::initializer_list<int> aColumns) {
    for (int x : aColumns)
      image.SetPixel(x, aRow, 0x00FF00FFu);
  };
  key(0, {0, 1, 2, 4, 7});
  key(1, {0, 2, 6, 7});
  key(5, {0, 1, 6, 7});
  TsSkinTables skin;
  TsMaskData mask;
  mask.Bmp = std::make_shared<Bitmap>(image);
  mask.R = {0, 0, 16, 12};
  mask.ImageCount = 2;
  mask.MaskType = 1;
  mask.WL = 3;
  mask.WT = 2;
  mask.WR = 2;
  mask.WB = 2;
  skin.ma.push_back(mask);
  EXPECT_EQ(BuildCornerCutouts(skin, 0, "", 100, 50), (std::vector<TRect>{{0, 0, 3, 1},
                                                                          {99, 0, 100, 1},
                                                                          {0, 1, 1, 2},
                                                                          {2, 1, 3, 2},
                                                                          {98, 1, 100, 2},
                                                                          {0, 49, 2, 50},
                                                                          {98, 49, 100, 50}}));
  // A piece reaching below its image gives none.
  skin.ma[0].R = {0, 11, 16, 23};
  EXPECT_TRUE(BuildCornerCutouts(skin, 0, "", 100, 50).empty());
}

} // namespace
