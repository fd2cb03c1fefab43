// Where the caption goes in the title band: the placement rule as a table,
// then the painted caption of skin "F" pixel for pixel, its place worked out
// from the text extents the platform measures for the test font.

#include "skin/frame/sCaptionText.h"

#include "FrameCacheFixture.h"
#include "platform/gfx/Text.h"

namespace {

using pixelcheck::SameBitmap;
using platform::DT_END_ELLIPSIS;
using platform::DT_NOPREFIX;
using platform::DT_RTLREADING;
using platform::DT_SINGLELINE;
using platform::DT_VCENTER;
using platform::SIZE;

TEST(CaptionPlacement, AlignmentInTheRoomBetweenIconAndButtons) {
  const TqcCaptionRoom room{10, 148};
  struct Case {
    TAlignment Alignment;
    bool RightToLeft;
    TqcCaptionExtents Extents;
    TRect Expected;
  };
  // Text 14 high on line 10: rows 3 to 17. Right and centre keep 4 pixels
  // room after the texts.
  const Case cases[] = {
      {taLeftJustify, false, {50, 0, 14}, {10, 3, 148, 17}},
      {taRightJustify, false, {50, 0, 14}, {94, 3, 148, 17}},
      {taCenter, false, {50, 0, 14}, {52, 3, 102, 17}},
      {taLeftJustify, true, {50, 0, 14}, {94, 3, 148, 17}},
      {taRightJustify, true, {50, 0, 14}, {10, 3, 148, 17}},
      {taCenter, true, {50, 0, 14}, {52, 3, 102, 17}},
      {taRightJustify, false, {50, 30, 14}, {64, 3, 148, 17}},
      {taCenter, false, {50, 30, 14}, {37, 3, 87, 17}},
      // Wider than the room: it starts at the left and is cut at the right.
      {taRightJustify, false, {200, 0, 14}, {10, 3, 148, 17}},
      {taCenter, false, {200, 0, 14}, {10, 3, 148, 17}},
      {taLeftJustify, false, {50, 0, 15}, {10, 3, 148, 18}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PlaceCaption(room, c.Extents, 10, c.Alignment, c.RightToLeft), c.Expected)
        << int(c.Alignment) << " rtl " << c.RightToLeft << " width " << c.Extents.CaptionWidth;
}

TEST(CaptionPlacement, FormatIsOneLineWithEllipsis) {
  EXPECT_EQ(CaptionFormat(false), DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  EXPECT_EQ(CaptionFormat(true),
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | DT_RTLREADING);
}

class CaptionTextTest : public FrameCacheTest {
protected:
  SIZE Measure(const std::string& aText) {
    pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
    platform::SelectObject(dc.get(), fFont);
    SIZE size{};
    platform::GetTextExtentPoint32W(dc.get(), aText, &size);
    return size;
  }
  // aText drawn into aR of aBmp in aColor, one line with an ellipsis as the
  // caption's format lays it out.
  void Write(platform::Bitmap& aBmp, const std::string& aText, TRect aR, TColor aColor) {
    pixelcheck::DCHolder dc(platform::CreateCompatibleDC(nullptr));
    platform::SelectObject(dc.get(), &aBmp);
    platform::SelectObject(dc.get(), fFont);
    platform::SetBkMode(dc.get(), platform::TRANSPARENT);
    platform::SetTextColor(dc.get(), aColor);
    platform::DrawTextW(dc.get(), aText, &aR,
                        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  // The frame of skin "F" with aText in aR in the title's font colour.
  platform::Bitmap Expected(const std::string& aText, TRect aR, bool aActive = true) {
    platform::Bitmap bmp = ExpectedSingleFrame(200, 120, aActive);
    Write(bmp, aText, aR, aActive ? kTitleHotFont : kTitleFont);
    return bmp;
  }
};

// Without icon the room starts at b 3 + BILEFT 3 + 4 = 10 and ends 12 left
// of the buttons' room (BIRIGHT 2 + 12 + 13 + 13): 200 - 40 - 12 = 148.
TEST_F(CaptionTextTest, LeftRightAndCentredCaptions) {
  const std::string text = "MIDI-Monitor";
  const SIZE size = Measure(text);
  ASSERT_LT(size.cx + 4, 138) << "the caption fits the room";
  const int top = 10 - size.cy / 2;
  const int left[] = {10, 148 - (size.cx + 4), 10 + (138 - (size.cx + 4)) / 2};
  const int right[] = {148, 148, left[2] + size.cx};
  const TAlignment alignments[] = {taLeftJustify, taRightJustify, taCenter};
  for (int i = 0; i < 3; ++i) {
    fTitle.CaptionAlignment = alignments[i];
    TsFrameView view = SingleView(200, 120);
    view.Caption = text;
    EXPECT_TRUE(SameBitmap(Paint(view), Expected(text, {left[i], top, right[i], top + size.cy}),
                           "caption-" + std::to_string(i)));
  }
}

TEST_F(CaptionTextTest, ALongCaptionEndsWithAnEllipsisBeforeTheButtons) {
  const std::string text = "MIDI-Monitor - Ein- und Ausgänge mit Thru";
  const SIZE size = Measure(text);
  ASSERT_GT(size.cx, 138) << "the caption is wider than the room";
  const int top = 10 - size.cy / 2;
  TsFrameView view = SingleView(200, 120);
  view.Caption = text;
  const platform::Bitmap cache = Paint(view);
  EXPECT_TRUE(SameBitmap(cache, Expected(text, {10, top, 148, top + size.cy}), "caption-ellipsis"));
  // Nothing of the text lies right of the room.
  const platform::Bitmap plain = ExpectedSingleFrame(200, 120, true);
  for (int y = 0; y < 22; ++y)
    for (int x = 148; x < 200; ++x)
      ASSERT_EQ(cache.Pixel(x, y), plain.Pixel(x, y)) << x << "," << y;
}

TEST_F(CaptionTextTest, TheIconPushesTheCaptionRight) {
  TsFrameView view = SingleView(200, 120);
  view.Form.ShowAppIcon = true;
  TqcFrameLayout layout;
  UpdateIconsIndexes(*fManager, view.Form, layout.Buttons);
  layout = CalcItems(*fManager, view.Form, layout.Buttons);
  // A 19-pixel caption shows a 16-pixel icon.
  EXPECT_EQ(CaptionRoom(*fManager, view, layout, false).Left, 10 + 16);
  EXPECT_EQ(CaptionRoom(*fManager, view, layout, true).Left, 10 + 16 + 2);
}

// With a CAPTION section the room starts 2 further right, the section is
// painted 2 pixels left and right and 1 above and below the measured text,
// and the text takes its colours.
TEST_F(CaptionTextTest, TheCaptionPlateLiesUnderTheTextAndGivesItsColours) {
  UseSkin("PLATE");
  const std::string text = "MIDI";
  const SIZE size = Measure(text);
  TsFrameView view = SingleView(200, 120);
  view.Caption = text;
  const int top = 10 - size.cy / 2;
  platform::Bitmap expected = ExpectedSingleFrame(200, 120, true);
  pixelcheck::Paint(expected, {10, top - 1, 12 + size.cx + 2, top + size.cy + 1},
                    pixelcheck::Opaque(kPlateHotColor));
  Write(expected, text, {12, top, 148, top + size.cy}, kPlateHotFont);
  EXPECT_TRUE(SameBitmap(Paint(view), expected, "caption-plate"));
}

TEST_F(CaptionTextTest, AnInactiveCaptionTakesTheNormalFontColour) {
  const std::string text = "Inaktiv";
  const SIZE size = Measure(text);
  TsFrameView view = SingleView(200, 120, false);
  view.Caption = text;
  const platform::Bitmap expected =
      Expected(text, {10, 10 - size.cy / 2, 148, 10 - size.cy / 2 + size.cy}, false);
  EXPECT_TRUE(SameBitmap(Paint(view), expected, "caption-inactive"));
}

TEST_F(CaptionTextTest, TheAddedTitleFollowsTheCaption) {
  const std::string text = "MIDI";
  const std::string added = "Thru";
  const SIZE size = Measure(text);
  const SIZE addedSize = Measure(added);
  fTitle.AddedTitle.Text = added;
  fTitle.AddedTitle.Font = fFont;
  fTitle.AddedTitle.FontColor = 0x000000FF;
  TsFrameView view = SingleView(200, 120);
  view.Caption = text;
  const int top = 10 - size.cy / 2;
  platform::Bitmap expected = Expected(text, {10, top, 148, top + size.cy});
  // It starts 4 pixels after the measured caption.
  const int left = 10 + size.cx + 4;
  Write(expected, added, {left, top, left + addedSize.cx + 4, top + size.cy}, 0x000000FF);
  EXPECT_TRUE(SameBitmap(Paint(view), expected, "caption-added"));
}

} // namespace
