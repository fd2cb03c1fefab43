// The classic look: panel bevels and status bar panels pixel-exact from
// their rules; whole windows with every standard control, and the error
// message box, against reviewed reference images.

#include "ToolkitFixture.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/ImageCodec.h"
#include "platform/gfx/PngCodec.h"
#include "platform/gfx/SystemColors.h"
#include "platform/gfx/Text.h"
#include "platform/win/WindowGeometry.h"
#include "support/PixelCheck.h"
#include "toolkit/Button.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/Label.h"
#include "toolkit/ListBox.h"
#include "toolkit/MessageForm.h"
#include "toolkit/PageControl.h"
#include "toolkit/Panel.h"
#include "toolkit/StatusBar.h"

#include <cstdlib>
#include <filesystem>

using namespace platform;

namespace {

using pixelcheck::SameBitmap;
using pixelcheck::TPixelMatch;

// The face the reference images were drawn with; other machines skip them.
constexpr const char* kReferenceFamily = "Tahoma";

std::uint32_t Pixel(TColor aColor) {
  const COLORREF c = IsSystemColor(aColor) ? GetSysColor(int(aColor & 0xFF)) : aColor;
  return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) |
         GetBValue(c);
}

// One ring: left column and top row in the first colour, then right column
// and bottom row in the second, over them.
void Ring(Bitmap& aBitmap, const TRect& aRect, TColor aTopLeft, TColor aBottomRight) {
  for (int y = aRect.Top; y < aRect.Bottom; ++y)
    aBitmap.SetPixel(aRect.Left, y, Pixel(aTopLeft));
  for (int x = aRect.Left; x < aRect.Right; ++x)
    aBitmap.SetPixel(x, aRect.Top, Pixel(aTopLeft));
  for (int y = aRect.Top; y < aRect.Bottom; ++y)
    aBitmap.SetPixel(aRect.Right - 1, y, Pixel(aBottomRight));
  for (int x = aRect.Left; x < aRect.Right; ++x)
    aBitmap.SetPixel(x, aRect.Bottom - 1, Pixel(aBottomRight));
}

// The client area of a control painted into a bitmap.
Bitmap PaintClient(TControl* aControl) {
  Bitmap bitmap(aControl->Width(), aControl->Height());
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &bitmap);
  aControl->Perform(WM_ERASEBKGND, WPARAM(dc));
  aControl->Perform(WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
  DeleteDC(dc);
  return bitmap;
}

// A whole window (client area and child windows) as the screen shows it.
Bitmap PrintWindow(TWinControl* aControl) {
  const TRect client = aControl->ClientRect();
  Bitmap bitmap(client.Width(), client.Height());
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, &bitmap);
  SendMessageW(aControl->Handle(), WM_PRINT, WPARAM(dc),
               PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
  DeleteDC(dc);
  return bitmap;
}

std::string FaceFamily() {
  LOGFONTW lf;
  lf.lfHeight = -11;
  lf.lfFaceName = "Tahoma";
  HFONT font = CreateFontIndirectW(&lf);
  const std::string family = font != nullptr ? font->Family() : "";
  DeleteObject(font);
  return family;
}

::testing::AssertionResult MatchesReference(const Bitmap& aActual, const std::string& aName) {
  const std::string path =
      (std::filesystem::path(MM_SOURCE_DIR) / "tests/toolkit/reference" / (aName + ".png"))
          .string();
  // Set MM_UPDATE_REFERENCES=1 to store a new reference (then look at it).
  if (std::getenv("MM_UPDATE_REFERENCES"))
    SavePngFile(aActual, path);
  const ImageResult reference = LoadImageFile(path);
  if (!reference.Ok())
    return ::testing::AssertionFailure() << reference.Error;
  return SameBitmap(aActual, reference.Image, aName, TPixelMatch::ColorOnly);
}

} // namespace

TEST(PanelLook, BevelsAndBorderFollowTheRingRule) {
  struct Case {
    TBevelCut Outer;
    TBevelCut Inner;
    int BevelWidth;
    int BorderWidth;
  };
  const std::vector<Case> cases = {
      {bvRaised, bvNone, 1, 0},  {bvLowered, bvNone, 1, 0},   {bvNone, bvNone, 1, 0},
      {bvRaised, bvSpace, 1, 0}, {bvRaised, bvLowered, 2, 1}, {bvSpace, bvRaised, 1, 2},
  };
  for (const Case& c : cases) {
    TPanel panel(nullptr);
    panel.SetBounds(0, 0, 30, 20);
    panel.SetColor(RGB(192, 192, 192));
    panel.SetBevelOuter(c.Outer);
    panel.SetBevelInner(c.Inner);
    panel.SetBevelWidth(c.BevelWidth);
    panel.SetBorderWidth(c.BorderWidth);
    Bitmap expected(30, 20);
    pixelcheck::Paint(expected, {0, 0, 30, 20}, Pixel(RGB(192, 192, 192)));
    TRect r{0, 0, 30, 20};
    auto bevel = [&](TBevelCut aCut) {
      for (int i = 0; i < c.BevelWidth && aCut != bvNone; ++i) {
        if (aCut == bvRaised)
          Ring(expected, r, clBtnHighlight, clBtnShadow);
        else if (aCut == bvLowered)
          Ring(expected, r, clBtnShadow, clBtnHighlight);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
      }
    };
    bevel(c.Outer);
    r = {r.Left + c.BorderWidth, r.Top + c.BorderWidth, r.Right - c.BorderWidth,
         r.Bottom - c.BorderWidth};
    bevel(c.Inner);
    EXPECT_TRUE(SameBitmap(PaintClient(&panel), expected,
                           "panel-" + std::to_string(int(c.Outer)) + std::to_string(int(c.Inner)),
                           TPixelMatch::ColorOnly));
    // Children are laid out inside the bevels and the border.
    TRect inner = panel.ClientRect();
    int inset = c.BorderWidth + (c.Outer != bvNone ? c.BevelWidth : 0) +
                (c.Inner != bvNone ? c.BevelWidth : 0);
    auto* child = new TControl(&panel);
    child->SetAlign(alClient);
    child->SetParent(&panel);
    EXPECT_EQ(child->BoundsRect(), Rect(inner.Left + inset, inner.Top + inset, inner.Right - inset,
                                        inner.Bottom - inset));
  }
}

TEST(StatusBarLook, PanelRingsStandBelowTheTopAndApart) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 100, 19);
  auto* bar = new TStatusBar(&parent);
  bar->SetParent(&parent);
  bar->SetSizeGrip(false);
  bar->Panels().Add().SetWidth(40);
  bar->Panels().Add();
  Bitmap expected(100, 19);
  pixelcheck::Paint(expected, {0, 0, 100, 19}, Pixel(clBtnFace));
  Ring(expected, {0, 2, 38, 19}, clBtnShadow, clBtnHighlight);
  Ring(expected, {40, 2, 100, 19}, clBtnShadow, clBtnHighlight);
  EXPECT_TRUE(SameBitmap(PaintClient(bar), expected, "statusbar-rings", TPixelMatch::ColorOnly));
}

TEST(StatusBarLook, AnOwnerDrawnPanelIsPaintedByTheEventInsideItsRing) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 100, 19);
  auto* bar = new TStatusBar(&parent);
  bar->SetParent(&parent);
  bar->SetSizeGrip(false);
  bar->Panels().Add().SetWidth(40);
  TStatusPanel& drawn = bar->Panels().Add();
  drawn.SetStyle(psOwnerDraw);
  drawn.SetText("not written");
  std::vector<std::pair<int, TRect>> calls;
  bar->OnDrawPanel = [&](TStatusBar* aBar, TStatusPanel& aPanel, const TRect& aRect) {
    calls.emplace_back(aPanel.Index(), aRect);
    // Painting past the rectangle is clipped to it.
    aBar->Canvas().SetBrushColor(RGB(255, 0, 0));
    aBar->Canvas().FillRect({0, 0, 100, 19});
  };
  Bitmap expected(100, 19);
  pixelcheck::Paint(expected, {0, 0, 100, 19}, Pixel(clBtnFace));
  Ring(expected, {0, 2, 38, 19}, clBtnShadow, clBtnHighlight);
  Ring(expected, {40, 2, 100, 19}, clBtnShadow, clBtnHighlight);
  pixelcheck::Paint(expected, {41, 3, 99, 18}, Pixel(RGB(255, 0, 0)));
  EXPECT_TRUE(
      SameBitmap(PaintClient(bar), expected, "statusbar-ownerdraw", TPixelMatch::ColorOnly));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, 1);
  EXPECT_EQ(calls[0].second, Rect(41, 3, 99, 18));
}

TEST_F(ToolkitTest, ADisabledListWritesItsLinesInTheDisabledTextColour) {
  TProbeForm* form = ShownForm();
  for (bool ownerDrawn : {false, true}) {
    TCustomListBox* list =
        ownerDrawn ? static_cast<TCustomListBox*>(new TCheckListBox(form)) : new TListBox(form);
    list->SetParent(form);
    list->SetBounds(10, 10, 150, 69);
    list->Font().SetColor(RGB(1, 153, 1));
    list->Items().Assign({"Midi Through", "USB Keyboard"});
    auto count = [](const Bitmap& aBitmap, std::uint32_t aPixel) {
      int n = 0;
      for (int y = 0; y < aBitmap.Height(); ++y)
        for (int x = 0; x < aBitmap.Width(); ++x)
          n += (aBitmap.Pixel(x, y) | 0xFF000000u) == aPixel ? 1 : 0;
      return n;
    };
    const Bitmap enabled = PaintClient(list);
    EXPECT_GT(count(enabled, Pixel(RGB(1, 153, 1))), 0) << ownerDrawn;
    list->SetEnabled(false);
    PumpUntilIdle();
    const Bitmap disabled = PaintClient(list);
    EXPECT_EQ(count(disabled, Pixel(RGB(1, 153, 1))), 0) << ownerDrawn;
    // The same letters in grey (an inactive check box adds grey of its own).
    EXPECT_GE(count(disabled, Pixel(clGrayText)),
              count(enabled, Pixel(RGB(1, 153, 1))) + count(enabled, Pixel(clGrayText)))
        << ownerDrawn;
    TComponent::Free(list);
  }
}

// The check box is w x w with w a quarter of the platform's check-box strip;
// in a w + 2 wide area at the line's start, the frame control shows 2 pixels
// inside a centred w-square, ringed by a 1-pixel button-shadow line.
TEST_F(ToolkitTest, CheckBoxesOfTheCheckListAreClippedFrameControlsInAShadowRing) {
  SIZE strip{0, 0};
  ASSERT_TRUE(GetStandardBitmapSize(OBM_CHECKBOXES, &strip));
  const int w = strip.cx / 4;
  ASSERT_EQ(TCheckListBox::CheckBoxSize(), (TSize{w, strip.cy / 3}));
  TProbeForm* form = ShownForm();
  auto* list = new TCheckListBox(form);
  list->SetParent(form);
  list->SetBounds(10, 10, 150, 69);
  list->SetItemHeight(17);
  list->SetColor(RGB(200, 220, 240));
  list->Items().Assign({"a", "b", "c"});
  list->SetChecked(1, true);
  list->SetAllowGrayed(true);
  list->SetState(2, cbGrayed);
  list->SetItemEnabled(2, false);
  PumpUntilIdle();
  const Bitmap actual = PaintClient(list);
  const UINT flags[] = {DFCS_BUTTONCHECK, DFCS_BUTTONCHECK | DFCS_CHECKED,
                        DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_INACTIVE};
  for (int line = 0; line < 3; ++line) {
    SCOPED_TRACE(line);
    // The line's check area alone, drawn as the rule says.
    Bitmap expected(w + 2, 17);
    pixelcheck::Paint(expected, expected.BoundsRect(), Pixel(RGB(200, 220, 240)));
    const TRect square = Bounds(1, (17 - w) / 2, w, w);
    Bitmap control(w, w);
    pixelcheck::DCHolder dc(CreateCompatibleDC(nullptr));
    SelectObject(dc.get(), &control);
    RECT box{0, 0, w, w};
    DrawFrameControl(dc.get(), &box, DFC_BUTTON, flags[line]);
    for (int y = 2; y < w - 2; ++y)
      for (int x = 2; x < w - 2; ++x)
        expected.SetPixel(square.Left + x, square.Top + y, control.Pixel(x, y));
    const TRect ring{square.Left + 1, square.Top + 1, square.Right - 1, square.Bottom - 1};
    Ring(expected, ring, clBtnShadow, clBtnShadow);
    Bitmap area(w + 2, 17);
    for (int y = 0; y < 17; ++y)
      for (int x = 0; x < w + 2; ++x)
        area.SetPixel(x, y, actual.Pixel(x, line * 17 + y));
    EXPECT_TRUE(SameBitmap(area, expected, "checklist-box", TPixelMatch::ColorOnly));
  }
}

TEST_F(ToolkitTest, StandardControlsMatchTheReviewedImage) {
  if (FaceFamily() != kReferenceFamily)
    GTEST_SKIP() << "the reference was drawn with " << kReferenceFamily;
  auto* form = fApp->CreateForm<TProbeForm>();
  form->SetClientSize(420, 300);
  auto* pages = new TPageControl(form);
  pages->SetParent(form);
  pages->SetBounds(230, 8, 180, 90);
  for (const char* caption : {"In/Out", "Zweite"}) {
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(pages);
    sheet->SetCaption(caption);
  }
  auto* buttons = new TPageControl(form);
  buttons->SetParent(form);
  buttons->SetBounds(230, 104, 180, 60);
  buttons->SetStyle(tsButtons);
  for (const char* caption : {"In/Out", "Mehr"}) {
    auto* sheet = new TTabSheet(form);
    sheet->SetPageControl(buttons);
    sheet->SetCaption(caption);
  }
  auto place = [&](TControl* aControl, TRect aBounds) {
    aControl->SetParent(form);
    aControl->SetBoundsRect(aBounds);
  };
  auto* normal = new TButton(form);
  place(normal, Bounds(8, 8, 113, 17));
  normal->SetCaption("Midi In (Reset)");
  auto* def = new TButton(form);
  place(def, Bounds(8, 30, 81, 25));
  def->SetCaption("OK");
  def->SetDefault(true);
  auto* disabled = new TButton(form);
  place(disabled, Bounds(100, 30, 81, 25));
  disabled->SetCaption("Liste Reset");
  disabled->SetEnabled(false);
  auto* raised = new TPanel(form);
  place(raised, Bounds(8, 64, 185, 20));
  raised->SetCaption("Statusbyte und Midikanal");
  raised->Font().SetHeight(-13);
  raised->Font().SetStyle({fsBold});
  auto* lowered = new TPanel(form);
  place(lowered, Bounds(8, 90, 85, 20));
  lowered->SetBevelOuter(bvLowered);
  lowered->SetCaption("3C");
  lowered->SetAlignment(taLeftJustify);
  auto* label = new TLabel(form);
  place(label, Bounds(100, 92, 60, 16));
  label->SetCaption("Eingänge");
  auto* list = new TListBox(form);
  place(list, Bounds(8, 120, 81, 120));
  list->SetColor(RGB(87, 127, 87));
  list->Font().SetColor(RGB(1, 153, 1));
  for (int i = 0; i < 20; ++i)
    list->Items().Add(i % 2 ? "90, 3C, 64" : "80, 3C, 00");
  list->SetItemIndex(2);
  auto* checks = new TCheckListBox(form);
  place(checks, Bounds(100, 120, 150, 60));
  checks->Items().Assign({"Port 0", "Port 1", "Port 2"});
  checks->SetChecked(1, true);
  checks->SetAllowGrayed(true);
  checks->SetState(2, cbGrayed);
  auto* bar = new TStatusBar(form);
  bar->SetParent(form);
  bar->Panels().Add().SetWidth(150);
  bar->Panels()[0].SetText("90, 3C, 64 (Port 1)");
  bar->Panels().Add().SetText("bereit");
  form->Show();
  PumpUntilIdle();
  EXPECT_TRUE(MatchesReference(PrintWindow(form), "StandardControls"));
}

TEST_F(ToolkitTest, ErrorMessageBoxMatchesTheReviewedImage) {
  if (FaceFamily() != kReferenceFamily)
    GTEST_SKIP() << "the reference was drawn with " << kReferenceFamily;
  auto* box = TComponent::Create<TMessageForm>(fApp.get(),
                                               "Das Gerät steht nicht zur Verfügung! Bitte prüfen",
                                               "Probe", MB_OK | MB_ICONERROR);
  box->Show();
  PumpUntilIdle();
  EXPECT_EQ(box->ButtonCount(), 1);
  EXPECT_EQ(box->Buttons(0)->Caption(), "OK");
  EXPECT_TRUE(box->Buttons(0)->Focused());
  EXPECT_EQ(box->BorderStyle(), bsDialog);
  EXPECT_TRUE(MatchesReference(PrintWindow(box), "ErrorMessageBox"));
}

// A short message under a long caption: the box is wide enough for the
// caption in the title bar's font beside the close button.
TEST_F(ToolkitTest, AMessageBoxIsWideEnoughForItsCaption) {
  const std::string caption = "Sonaro MidiMonitor, a caption longer than the text";
  auto* box = TComponent::Create<TMessageForm>(fApp.get(), "OK?", caption, MB_OK);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetNonClientFont(NonClientFont::Caption));
  SIZE extent{};
  GetTextExtentPoint32W(dc, caption, &extent);
  DeleteDC(dc);
  EXPECT_GT(box->Width(), extent.cx + GetSystemMetrics(SM_CXSIZE));
  TComponent::Free(box);
}

TEST_F(ToolkitTest, TheFocusFrameIsADottedRingOnTheFocusedControlOnly) {
  TProbeForm* form = ShownForm();
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 113, 25);
  button->SetCaption("Midi In (Reset)");
  auto* list = new TListBox(form);
  list->SetParent(form);
  list->SetBounds(10, 50, 100, 69);
  list->Items().Assign({"eins", "zwei", "drei"});
  list->SetItemIndex(1);
  auto* unselected = new TCheckListBox(form);
  unselected->SetParent(form);
  unselected->SetBounds(150, 50, 100, 69);
  unselected->Items().Assign({"eins", "zwei"});
  // A focused button is drawn as the default button; this one is the form's
  // default anyway, so only the focus ring tells the two looks apart.
  button->SetDefault(true);
  // Where the ring runs: 3 pixels inside the button's face (inside its
  // default ring), around the selected line of a list.
  struct Case {
    TWinControl* Control;
    TWinControl* Elsewhere;
    TRect Ring;
  };
  const std::vector<Case> cases = {
      {button, list, {1 + 3, 1 + 3, 113 - 1 - 3, 25 - 1 - 3}},
      {list, button, Bounds(0, 13, list->ClientWidth(), 13)},
      // Without a selected line the first one shows where the keys act.
      {unselected, button, Bounds(0, 0, unselected->ClientWidth(), 13)},
  };
  for (const Case& c : cases) {
    c.Elsewhere->SetFocus();
    PumpUntilIdle();
    const Bitmap before = PaintClient(c.Control);
    c.Control->SetFocus();
    PumpUntilIdle();
    ASSERT_TRUE(c.Control->Focused());
    const Bitmap after = PaintClient(c.Control);
    const TRect& ring = c.Ring;
    const TRect inside{ring.Left + 1, ring.Top + 1, ring.Right - 1, ring.Bottom - 1};
    int changed = 0;
    for (int y = 0; y < after.Height(); ++y)
      for (int x = 0; x < after.Width(); ++x) {
        const std::uint32_t a = after.Pixel(x, y) & 0xFFFFFF;
        const std::uint32_t b = before.Pixel(x, y) & 0xFFFFFF;
        const bool onRing = ring.Contains({x, y}) && !inside.Contains({x, y});
        if (!onRing) {
          EXPECT_EQ(a, b) << c.Control->ClassName() << " at " << x << ", " << y;
          continue;
        }
        // Every other pixel of the ring is inverted, the rest kept.
        if (a != b) {
          EXPECT_EQ(a, b ^ 0xFFFFFFu) << c.Control->ClassName() << " at " << x << ", " << y;
          ++changed;
        }
      }
    const int perimeter = 2 * (ring.Width() + ring.Height()) - 4;
    EXPECT_NEAR(changed, perimeter / 2, 2) << c.Control->ClassName();
  }
}
