// The skinned list box and check list box: without a skin exactly the
// toolkit lists; with a test skin the lines pixel-exact over the cache, the
// SELECTION look and the check glyphs; toggling by click on the box and by
// the space key through real input.

#include "skin/controls/sListBox.h"

#include "ControlCapture.h"
#include "SkinDataFixture.h"
#include "platform/gfx/FrameControls.h"
#include "platform/gfx/Text.h"
#include "platform/win/Input.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowHost.h"
#include "skin/controls/sCheckListBox.h"
#include "skin/paint/sCheckGlyph.h"
#include "support/PixelCheck.h"
#include "toolkit/CheckListBox.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace platform;
using pixelcheck::Opaque;
using pixelcheck::SameBitmap;

namespace {

constexpr TColor kListFont = 0x00102030;
constexpr TColor kSelColor = 0x00A00000;
constexpr TColor kSelFont = 0x0000FFFF;
constexpr TColor kSelHotColor = 0x00006000;
constexpr TColor kSelHotFont = 0x00FFFFFF;
constexpr std::uint32_t kChecked = 0xFFFF0000u;   // blue glyph
constexpr std::uint32_t kUnchecked = 0xFF00FF00u; // green glyph
constexpr int kGlyphW = 5;
constexpr int kGlyphH = 4;
constexpr int kLine = 13;

// The master image: a 5 x 4 checked glyph, then an unchecked one.
Bitmap Master() {
  return MakeBitmap(2 * kGlyphW, kGlyphH,
                    [](int aX, int) { return aX < kGlyphW ? kChecked : kUnchecked; });
}

std::string ListSkinOptions(bool aWithSelection) {
  std::string s = "[GLOBALINFO]\nMASTERBITMAP=M.BMP\nCOLOR=" + std::to_string(kMainColor) +
                  "\nSMALLCHECKED=@0000@0000@0005@0004@1@0\n"
                  "SMALLUNCHECKED=@0005@0000@0010@0004@1@0\n"
                  "[LIST]\nSTATES=1\nCOLOR=" +
                  std::to_string(kPanelColor) + "\nFONTCOLOR=" + std::to_string(kListFont) + "\n";
  if (aWithSelection)
    s += "[SELECTION]\nSTATES=2\nCOLOR=" + std::to_string(kSelColor) +
         "\nFONTCOLOR=" + std::to_string(kSelFont) + "\nHOTCOLOR=" + std::to_string(kSelHotColor) +
         "\nHOTFONTCOLOR=" + std::to_string(kSelHotFont) + "\n";
  return s;
}

// A cache whose every pixel says where it is, so a wrong offset shows.
std::uint32_t CachePixel(int aX, int aY) {
  return 0xFF000000u | std::uint32_t(aX * 3) << 16 | std::uint32_t(aY * 3) << 8 | 0x40u;
}

// aText in aColor as a line's text goes: one pixel in on both sides,
// vertically centred.
void Text(Bitmap& aBmp, const TRect& aLine, const std::string& aText, TColor aColor, HFONT aFont) {
  pixelcheck::DCHolder dc(CreateCompatibleDC(nullptr));
  SelectObject(dc.get(), &aBmp);
  SelectObject(dc.get(), aFont);
  SetBkMode(dc.get(), TRANSPARENT);
  SetTextColor(dc.get(), aColor);
  RECT r{aLine.Left + 1, aLine.Top, aLine.Right - 1, aLine.Bottom};
  DrawTextW(dc.get(), aText, &r,
            DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | DT_NOPREFIX | DT_NOCLIP);
}

// The client area as the list paints it.
Bitmap Lines(TWinControl* aList) {
  const Bitmap whole = PaintClient(aList);
  Bitmap b(aList->ClientWidth(), aList->ClientHeight());
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      b.SetPixel(x, y, whole.Pixel(x, y));
  return b;
}

class ListBoxTest : public SkinDataTest {
protected:
  // Loads the list test skin (with or without a SELECTION section).
  void UseListSkin(bool aWithSelection) {
    auto& skin = fManager->InternalSkins.Add();
    skin.SetName(aWithSelection ? "L" : "N");
    skin.ReadData(PackSkin(ListSkinOptions(aWithSelection), {{"M.BMP", EncodeBmp(Master(), 24)}}));
    fManager->SetSkinName(aWithSelection ? "L" : "N");
    PumpUntilIdle();
  }

  template <class T>
  T* Make(const std::string& aSection, TRect aBounds = Bounds(10, 10, 90, 60)) {
    T* list = nullptr;
    {
      TLoadingBracket bracket;
      list = new T(fForm);
      list->SetParent(fForm);
      list->SetBoundsRect(aBounds);
      list->SetItemHeight(kLine);
      if constexpr (requires { list->SkinData; })
        if (!aSection.empty())
          list->SkinData.SetSkinSection(aSection);
    }
    list->Items().Assign({"Alpha", "Beta", "Gamma"});
    PumpUntilIdle();
    return list;
  }

  // Fills the skinned list's cache with position-coded pixels.
  template <class T>
  void FillCache(T* aList) {
    aList->SkinData.InitCacheBmp();
    Bitmap& cache = *aList->SkinData.CacheBmp();
    for (int y = 0; y < cache.Height(); ++y)
      for (int x = 0; x < cache.Width(); ++x)
        cache.SetPixel(x, y, CachePixel(x, y));
    aList->SkinData.BGChanged = false;
  }

  // The client area as the cache shows it (the border is 2 wide).
  static Bitmap CacheBehind(TWinControl* aList) {
    Bitmap b(aList->ClientWidth(), aList->ClientHeight());
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        b.SetPixel(x, y, CachePixel(x + 2, y + 2));
    return b;
  }

  static void ClickAt(TWinControl* aList, int aX, int aY) {
    const POINT p = aList->ClientToScreen({aX, aY});
    InputMouseMove(p);
    InputMouseButton(MouseButton::Left, true, p);
    InputMouseButton(MouseButton::Left, false, p);
    PumpUntilIdle();
  }
};

TEST_F(ListBoxTest, WithoutSkinEachListPaintsAsItsToolkitParent) {
  fManager->SetActive(false);
  PumpUntilIdle();
  struct Case {
    const char* Name;
    TCustomListBox* Toolkit;
    TCustomListBox* Skinned;
  };
  const Case cases[] = {
      {"list", Make<TListBox>(""), Make<TsListBox>("", Bounds(110, 10, 90, 60))},
      {"checks", Make<TCheckListBox>("", Bounds(10, 80, 90, 60)),
       Make<TsCheckListBox>("", Bounds(110, 80, 90, 60))},
  };
  for (const Case& c : cases) {
    for (TCustomListBox* list : {c.Toolkit, c.Skinned}) {
      list->SetColor(0x00336699);
      list->Font().SetColor(0x00FFEEDD);
      list->SetItemIndex(1);
      if (auto* checks = dynamic_cast<TCheckListBox*>(list)) {
        checks->SetChecked(0, true);
        checks->SetState(2, cbGrayed);
      }
    }
    EXPECT_TRUE(SameBitmap(PaintClient(c.Skinned), PaintClient(c.Toolkit),
                           std::string("unskinned-") + c.Name));
    c.Skinned->SetFocus();
    PumpUntilIdle();
    Bitmap skinned = PaintClient(c.Skinned);
    c.Toolkit->SetFocus();
    PumpUntilIdle();
    EXPECT_TRUE(
        SameBitmap(skinned, PaintClient(c.Toolkit), std::string("unskinned-focus-") + c.Name));
  }
}

TEST_F(ListBoxTest, WithoutSkinAStandardListsLinesFollowItsFont) {
  fManager->SetActive(false);
  PumpUntilIdle();
  TListBox* toolkit = nullptr;
  TsListBox* skinned = nullptr;
  {
    TLoadingBracket bracket;
    toolkit = new TListBox(fForm);
    skinned = new TsListBox(fForm);
    for (TListBox* list : {toolkit, static_cast<TListBox*>(skinned)}) {
      list->SetParent(fForm);
      list->SetBounds(10, 10, 90, 60);
    }
  }
  for (TListBox* list : {toolkit, static_cast<TListBox*>(skinned)})
    list->Font().SetHeight(-20);
  PumpUntilIdle();
  EXPECT_EQ(skinned->ItemHeight(), toolkit->ItemHeight());
  EXPECT_GT(skinned->ItemHeight(), kLine);
}

TEST_F(ListBoxTest, SkinnedLinesShowTheCacheTheSelectionAndTheirText) {
  struct Case {
    const char* Name;
    bool WithSelection;
    bool Focused;
  };
  const Case cases[] = {
      {"selection-section", true, false},
      {"selection-section-focused", true, true},
      {"selection-colour", false, false},
  };
  for (const Case& c : cases) {
    UseListSkin(c.WithSelection);
    TsListBox* list = Make<TsListBox>("LIST");
    list->SetItemIndex(1);
    if (c.Focused)
      list->SetFocus();
    PumpUntilIdle();
    FillCache(list);
    const HFONT font = list->Font().Handle();
    Bitmap expected = CacheBehind(list);
    const int w = list->ClientWidth();
    const char* lines[] = {"Alpha", "Beta", "Gamma"};
    for (int i = 0; i < 3; ++i) {
      const TRect r{0, i * kLine, w, (i + 1) * kLine};
      if (i != 1) {
        Text(expected, r, lines[i], kListFont, font);
        continue;
      }
      const TColor back = c.WithSelection ? (c.Focused ? kSelHotColor : kSelColor)
                                          : fManager->GetHighLightColor(true);
      pixelcheck::Paint(expected, r, Opaque(ColorToRGB(back)));
      const TColor text = c.WithSelection ? (c.Focused ? kSelHotFont : kSelFont)
                                          : ColorToRGB(fManager->GetHighLightFontColor(false));
      Text(expected, r, lines[i], text, font);
    }
    EXPECT_TRUE(SameBitmap(Lines(list), expected, std::string("lines-") + c.Name)) << c.Name;
    delete list;
  }
}

TEST_F(ListBoxTest, TheUsersDrawingGetsTheLinesRectangleOverTheCache) {
  UseListSkin(true);
  TsListBox* list = Make<TsListBox>("LIST");
  list->SetItemIndex(2);
  list->OnDrawItem = [&](TObject*, int aIndex, const TRect& aRect, TOwnerDrawState aState) {
    // The selected line's brush is the selection colour.
    TCanvas& canvas = list->Canvas();
    EXPECT_EQ(canvas.BrushColor() == fManager->GetHighLightColor(false),
              aState.Contains(odSelected));
    canvas.SetBrushColor(0x00000080 + TColor(aIndex));
    canvas.FillRect({aRect.Left + 10, aRect.Top + 2, aRect.Left + 20, aRect.Top + 5});
  };
  FillCache(list);
  Bitmap expected = CacheBehind(list);
  for (int i = 0; i < 3; ++i)
    pixelcheck::Paint(expected, Bounds(10, i * kLine + 2, 10, 3), Opaque(0x00000080 + TColor(i)));
  EXPECT_TRUE(SameBitmap(Lines(list), expected, "lines-user-drawn"));
}

TEST_F(ListBoxTest, TheScreenFollowsTheSelectionAndTheScrollingOfTheUser) {
  UseListSkin(true);
  TsListBox* list = Make<TsListBox>("LIST", Bounds(10, 10, 90, 4 * kLine + 4));
  list->Items().Assign({"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta"});
  PumpUntilIdle();
  const HFONT font = list->Font().Handle();
  // The frame image of the plain LIST section behind the lines; the focused
  // selection in SELECTION's hot colours.
  auto look = [&](int aTop, int aSelected) {
    Bitmap b = pixelcheck::Filled(list->ClientWidth(), list->ClientHeight(), Opaque(kPanelColor));
    for (int i = aTop; i < list->Count() && (i - aTop) * kLine < b.Height(); ++i) {
      const TRect r{0, (i - aTop) * kLine, b.Width(), (i - aTop + 1) * kLine};
      if (i == aSelected)
        pixelcheck::Paint(b, r, Opaque(kSelHotColor));
      Text(b, r, list->Items()[i], i == aSelected ? kSelHotFont : kListFont, font);
    }
    return b;
  };
  const struct {
    const char* Name;
    std::function<void()> Act;
    int Top, Selected;
  } steps[] = {
      {"click", [&] { ClickAt(list, 30, kLine + 3); }, 0, 1},
      {"down",
       [&] {
         InputKey(VK_DOWN, true, 0);
         InputKey(VK_DOWN, false, 0);
       },
       0, 2},
      {"end",
       [&] {
         InputKey(VK_END, true, 0);
         InputKey(VK_END, false, 0);
       },
       3, 6},
      {"home",
       [&] {
         InputKey(VK_HOME, true, 0);
         InputKey(VK_HOME, false, 0);
       },
       0, 0},
  };
  for (const auto& step : steps) {
    step.Act();
    PumpUntilIdle();
    ASSERT_EQ(list->TopIndex(), step.Top) << step.Name;
    EXPECT_TRUE(SameBitmap(ClientOnScreen(list), look(step.Top, step.Selected),
                           std::string("screen-") + step.Name))
        << step.Name;
  }
}

TEST_F(ListBoxTest, AnEmptySkinnedListShowsOnlyTheCache) {
  UseListSkin(true);
  TsListBox* list = Make<TsListBox>("LIST");
  list->Items().Clear();
  FillCache(list);
  EXPECT_TRUE(SameBitmap(Lines(list), CacheBehind(list), "lines-empty"));
}

TEST_F(ListBoxTest, SkinnedCheckBoxesAreTheSkinsGlyphsInAnAreaOfGlyphWidthPlusFour) {
  UseListSkin(true);
  TsCheckListBox* list = Make<TsCheckListBox>("LIST");
  list->SetChecked(1, true);
  FillCache(list);
  // w = glyph width + 2; the area is w + 2 wide; the glyph goes at
  // ((w + 2) - w) / 2 across and (line height - glyph height) / 2 down.
  const int w = kGlyphW + 2;
  ASSERT_EQ(list->CheckHitWidth(), w);
  Bitmap expected = CacheBehind(list);
  const char* lines[] = {"Alpha", "Beta", "Gamma"};
  for (int i = 0; i < 3; ++i) {
    const int x0 = (w + 2 - w) / 2;
    const int y0 = i * kLine + (kLine - kGlyphH) / 2;
    pixelcheck::Paint(expected, Bounds(x0, y0, kGlyphW, kGlyphH), i == 1 ? kChecked : kUnchecked);
    Text(expected, {w + 2, i * kLine, list->ClientWidth(), (i + 1) * kLine}, lines[i], kListFont,
         list->Font().Handle());
  }
  EXPECT_TRUE(SameBitmap(Lines(list), expected, "checks-skinned"));
}

TEST_F(ListBoxTest, AClickOnTheBoxTogglesAndBesideItOnlySelects) {
  for (bool skinned : {true, false}) {
    if (skinned)
      UseListSkin(true);
    else
      fManager->SetActive(false);
    PumpUntilIdle();
    TsCheckListBox* list = Make<TsCheckListBox>("LIST");
    // w: the skin's glyph width + 2, or a quarter of the platform's strip.
    platform::SIZE strip{0, 0};
    platform::GetStandardBitmapSize(platform::OBM_CHECKBOXES, &strip);
    const int w = skinned ? kGlyphW + 2 : strip.cx / 4;
    int toggles = 0;
    int currentAtToggle = -1;
    list->OnClickCheck = [&](TObject*) {
      ++toggles;
      currentAtToggle = list->ItemIndex();
    };
    struct Step {
      const char* Name;
      int X;
      int Line;
      bool Toggles;
    };
    const Step steps[] = {
        {"on the text", 40, 2, false},
        {"first pixel of the box", 0, 1, true},
        {"last pixel of the box", w - 1, 1, true},
        {"just beside the box", w, 0, false},
    };
    for (const Step& step : steps) {
      const bool before = list->Checked(step.Line);
      const int togglesBefore = toggles;
      ClickAt(list, step.X, step.Line * kLine + kLine / 2);
      EXPECT_EQ(list->ItemIndex(), step.Line) << step.Name << skinned;
      EXPECT_EQ(list->Checked(step.Line), before != step.Toggles) << step.Name << skinned;
      EXPECT_EQ(toggles - togglesBefore, step.Toggles ? 1 : 0) << step.Name << skinned;
      if (step.Toggles)
        EXPECT_EQ(currentAtToggle, step.Line) << step.Name << skinned;
    }
    // The space key toggles the current line; SetChecked never reports.
    InputKey(VK_SPACE, true, U' ');
    InputKey(VK_SPACE, false, 0);
    PumpUntilIdle();
    EXPECT_TRUE(list->Checked(0)) << skinned;
    EXPECT_EQ(toggles, 3) << skinned;
    list->SetChecked(0, false);
    EXPECT_EQ(toggles, 3) << skinned;
    delete list;
  }
}

} // namespace
