// Popup menus driven by real input (queued before the menu opens, or given
// when its loop waits, WM_ENTERIDLE): choosing by keyboard and mouse,
// cancelling, the item rectangles and placement, the notifications, the
// system menu of the default procedure, and the plain look.

#include "platform/win/PopupMenu.h"

#include "platform/gfx/Raster.h"
#include "platform/gfx/Text.h"
#include "platform/win/WindowGeometry.h"
#include "platform/win/WindowHost.h"
#include "support/PixelCheck.h"
#include "support/WinTestSupport.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace wintest;

namespace {

// The popup's metrics: the raised edge with the gap inside it, the
// separator's height, the room before the text and after it.
constexpr int Frame = 3;
constexpr int SeparatorHeight = 8;
constexpr int TextIndent = 17;
constexpr int ShortcutGap = 16;
constexpr int RightIndent = 17;

// Open (1), a greyed Print (2), a separator, Save (3).
HMENU SampleMenu() {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, "&Open\tCtrl+O");
  AppendMenuW(menu, MF_STRING | MF_GRAYED, 2, "&Print");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, 3, "&Save");
  return menu;
}

HWND Owner() {
  HWND w = Make("Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  SetActiveWindow(w);
  PumpUntilIdle();
  Log::Get().Clear();
  return w;
}

void Key(int aVirtKey, char32_t aChar = 0) {
  InputKey(aVirtKey, true, aChar);
  InputKey(aVirtKey, false, 0);
}

void Click(POINT aAt, MouseButton aButton = MouseButton::Left) {
  InputMouseMove(aAt);
  InputMouseButton(aButton, true, aAt);
  InputMouseButton(aButton, false, aAt);
}

POINT Centre(const RECT& aRect) {
  return {aRect.Left + aRect.Width() / 2, aRect.Top + aRect.Height() / 2};
}

// Runs aStep(popup, n) the n-th time (from 0) the menu loop waits.
void OnIdle(std::function<void(HWND, int)> aStep) {
  auto count = std::make_shared<int>(0);
  Log::Get().Override = [aStep, count](HWND, UINT aMsg, WPARAM aWParam, LPARAM aLParam, LRESULT&) {
    if (aMsg == WM_ENTERIDLE && aWParam == MSGF_MENU)
      aStep(reinterpret_cast<HWND>(aLParam), (*count)++);
    return false;
  };
}

RECT ItemRect(HWND aOwner, HMENU aMenu, UINT aItem) {
  RECT r{};
  EXPECT_TRUE(GetMenuItemRect(aOwner, aMenu, aItem, &r));
  return r;
}

TEST(PopupMenuTest, ChoosingByKeyboard) {
  Reset();
  const struct {
    std::vector<std::pair<int, char32_t>> Keys;
    BOOL Chosen;
    const char* What;
  } cases[] = {
      {{{VK_DOWN, 0}, {VK_RETURN, 0}}, 1, "Down selects the first item"},
      {{{VK_DOWN, 0}, {VK_DOWN, 0}, {VK_DOWN, 0}, {VK_RETURN, 0}}, 3, "separator skipped"},
      {{{VK_UP, 0}, {VK_RETURN, 0}}, 3, "Up starts at the last item"},
      {{{VK_DOWN, 0}, {VK_UP, 0}, {VK_RETURN, 0}}, 3, "wraps round"},
      {{{VK_END, 0}, {VK_UP, 0}, {VK_UP, 0}, {VK_RETURN, 0}}, 1, "End, then up"},
      {{{VK_DOWN, 0}, {VK_DOWN, 0}, {VK_RETURN, 0}, {VK_ESCAPE, 0}}, 0, "greyed: Enter does not"},
      {{{'S', U's'}}, 3, "the item's character"},
      {{{'P', U'p'}, {VK_ESCAPE, 0}}, 0, "a greyed item's character does not choose"},
      {{{VK_ESCAPE, 0}}, 0, "Escape cancels"},
      {{{VK_MENU, 0}}, 0, "Alt cancels"},
  };
  HMENU menu = SampleMenu();
  for (const auto& c : cases) {
    HWND owner = Owner();
    for (auto [key, ch] : c.Keys)
      Key(key, ch);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr), c.Chosen) << c.What;
    PumpUntilIdle();
    EXPECT_TRUE(Log::Get().Only({WM_KEYDOWN, WM_CHAR}).empty()) << "the menu took the keys";
    Reset();
  }
  DestroyMenu(menu);
}

TEST(PopupMenuTest, ChoosingAndCancellingByMouse) {
  Reset();
  HMENU menu = SampleMenu();
  const struct {
    std::function<void(HWND, HMENU, HWND, int)> Step;
    UINT Flags;
    BOOL Chosen;
    const char* What;
  } cases[] = {
      {[](HWND aOwner, HMENU aMenu, HWND, int) { Click(Centre(ItemRect(aOwner, aMenu, 3))); }, 0, 3,
       "a click on an item chooses it"},
      {[](HWND aOwner, HMENU aMenu, HWND, int n) {
         if (n == 0)
           Click(Centre(ItemRect(aOwner, aMenu, 1)));
         else
           Click({20, 20});
       },
       0, 0, "a greyed item does not; a click outside cancels"},
      {[](HWND aOwner, HMENU aMenu, HWND, int) {
         Click(Centre(ItemRect(aOwner, aMenu, 0)), MouseButton::Right);
       },
       TPM_RIGHTBUTTON, 1, "the right button chooses with TPM_RIGHTBUTTON"},
      {[](HWND aOwner, HMENU aMenu, HWND, int n) {
         if (n == 0)
           Click(Centre(ItemRect(aOwner, aMenu, 0)), MouseButton::Right);
         else
           Key(VK_ESCAPE);
       },
       0, 0, "and only then"},
      {[](HWND aOwner, HMENU aMenu, HWND aPopup, int) {
         // Pressed on an item, released on the frame between items.
         RECT frame;
         GetWindowRect(aPopup, &frame);
         const POINT item = Centre(ItemRect(aOwner, aMenu, 0));
         InputMouseMove(item);
         InputMouseButton(MouseButton::Left, true, item);
         InputMouseButton(MouseButton::Left, false, {item.X, frame.Top + 1});
         Key(VK_ESCAPE);
       },
       0, 0, "a release off the items does nothing"},
  };
  for (const auto& c : cases) {
    HWND owner = Owner();
    OnIdle([&](HWND aPopup, int n) { c.Step(owner, menu, aPopup, n); });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD | c.Flags, 150, 150, 0, owner, nullptr), c.Chosen)
        << c.What;
    PumpUntilIdle();
    EXPECT_TRUE(Log::Get().Only({WM_LBUTTONDOWN, WM_LBUTTONUP}).empty()) << "the menu ate clicks";
    Reset();
  }
  DestroyMenu(menu);
}

TEST(PopupMenuTest, HoverHighlightsTheItem) {
  Reset();
  HMENU menu = SampleMenu();
  HWND owner = Owner();
  std::uint32_t hovered = 0, other = 0;
  OnIdle([&](HWND aPopup, int n) {
    const RECT save = ItemRect(owner, menu, 3);
    if (n == 0) {
      InputMouseMove(Centre(save));
      return;
    }
    RECT box;
    GetWindowRect(aPopup, &box);
    const Bitmap* frame = TopLevelFrame(aPopup);
    const RECT open = ItemRect(owner, menu, 0);
    hovered = frame->Pixel(save.Left - box.Left + 1, save.Top - box.Top + 1);
    other = frame->Pixel(open.Left - box.Left + 1, open.Top - box.Top + 1);
    Key(VK_ESCAPE);
  });
  TrackPopupMenu(menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr);
  EXPECT_EQ(hovered, raster::PixelOf(GetSysColor(COLOR_HIGHLIGHT)));
  EXPECT_EQ(other, raster::PixelOf(GetSysColor(COLOR_MENU)));
  DestroyMenu(menu);
  Reset();
}

TEST(PopupMenuTest, ItemRectanglesAndPlacement) {
  Reset();
  HMENU menu = SampleMenu();
  HWND owner = Owner();
  // The item height from the menu font.
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetNonClientFont(NonClientFont::Menu));
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  DeleteDC(dc);
  const int itemHeight = std::max(GetSystemMetrics(SM_CYMENU), int(tm.tmHeight) + 4);
  const int heights[] = {itemHeight, itemHeight, SeparatorHeight, itemHeight};
  const int menuHeight = 2 * Frame + 3 * itemHeight + SeparatorHeight;
  const TSize screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const struct {
    POINT At;
    UINT Flags;
    bool Right, Bottom; // the point is the popup's right or bottom edge
  } cases[] = {
      {{150, 150}, TPM_LEFTALIGN | TPM_TOPALIGN, false, false},
      {{150, 150}, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, true, true},
      {{screen.cx - 5, screen.cy - 5}, 0, true, true},
  };
  for (const auto& c : cases) {
    RECT box{}, items[4]{};
    OnIdle([&](HWND aPopup, int) {
      GetWindowRect(aPopup, &box);
      for (UINT i = 0; i < 4; ++i)
        items[i] = ItemRect(owner, menu, i);
      RECT none;
      EXPECT_FALSE(GetMenuItemRect(owner, menu, 4, &none));
      Key(VK_ESCAPE);
    });
    TrackPopupMenu(menu, c.Flags, c.At.X, c.At.Y, 0, owner, nullptr);
    EXPECT_EQ(c.Right ? box.Right : box.Left, c.At.X);
    EXPECT_EQ(c.Bottom ? box.Bottom : box.Top, c.At.Y);
    EXPECT_EQ(box.Height(), menuHeight);
    int top = box.Top + Frame;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(items[i], (RECT{box.Left + Frame, top, box.Right - Frame, top + heights[i]})) << i;
      top += heights[i];
    }
  }
  RECT after;
  EXPECT_FALSE(GetMenuItemRect(owner, menu, 0, &after)) << "not tracked any more";
  DestroyMenu(menu);
  Reset();
}

TEST(PopupMenuTest, LongItemTextIsMeasuredWhole) {
  Reset();
  const std::string text(600, 'x'), shortcut = "Ctrl+L";
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, (text + "\t" + shortcut).c_str());
  HWND owner = Owner();
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetNonClientFont(NonClientFont::Menu));
  const auto width = [dc](const std::string& aText) {
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, aText, &r, DT_SINGLELINE | DT_CALCRECT);
    return r.Width();
  };
  const int expected =
      2 * Frame + TextIndent + width(text) + ShortcutGap + width(shortcut) + RightIndent;
  DeleteDC(dc);
  RECT box{};
  OnIdle([&](HWND aPopup, int) {
    GetWindowRect(aPopup, &box);
    Key(VK_ESCAPE);
  });
  TrackPopupMenu(menu, 0, 10, 10, 0, owner, nullptr);
  EXPECT_EQ(box.Width(), expected) << "the text and its shortcut, neither cut";
  DestroyMenu(menu);
  Reset();
}

std::vector<std::string> MenuNotifications() {
  std::vector<std::string> out;
  for (const Record& r : Log::Get().Records())
    switch (r.Msg) {
    case WM_ENTERMENULOOP:
      out.push_back("enter");
      break;
    case WM_INITMENUPOPUP:
      out.push_back(HIWORD(r.LParam) ? "init system" : "init");
      break;
    case WM_UNINITMENUPOPUP:
      out.push_back("uninit");
      break;
    case WM_EXITMENULOOP:
      out.push_back("exit");
      break;
    }
  return out;
}

TEST(PopupMenuTest, NotificationsAndPostedCommands) {
  Reset();
  HMENU menu = SampleMenu();
  HWND owner = Owner();
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(TrackPopupMenu(menu, 0, 150, 150, 0, owner, nullptr), TRUE);
  PumpUntilIdle();
  EXPECT_EQ(MenuNotifications(), (std::vector<std::string>{"enter", "init", "uninit", "exit"}));
  EXPECT_EQ(Log::Get().Last(WM_COMMAND).WParam, 1u) << "posted without TPM_RETURNCMD";

  Log::Get().Clear();
  Key(VK_ESCAPE);
  EXPECT_EQ(TrackPopupMenu(menu, TPM_NONOTIFY, 150, 150, 0, owner, nullptr), TRUE);
  PumpUntilIdle();
  EXPECT_TRUE(MenuNotifications().empty());
  EXPECT_EQ(Log::Get().Last(WM_COMMAND).Msg, 0u) << "cancelled: nothing posted";

  // The system menu's choice comes as WM_SYSCOMMAND: Close is its last item.
  Log::Get().Clear();
  Key(VK_UP);
  Key(VK_RETURN);
  EXPECT_EQ(TrackPopupMenu(GetSystemMenu(owner, FALSE), 0, 150, 150, 0, owner, nullptr), TRUE);
  EXPECT_EQ(MenuNotifications(),
            (std::vector<std::string>{"enter", "init system", "uninit", "exit"}));
  PumpUntilIdle();
  EXPECT_FALSE(IsWindow(owner));

  HWND other = Owner();
  EXPECT_FALSE(TrackPopupMenu(nullptr, 0, 150, 150, 0, other, nullptr));
  EXPECT_FALSE(TrackPopupMenu(menu, 0, 150, 150, 0, nullptr, nullptr));
  HMENU empty = CreatePopupMenu();
  EXPECT_FALSE(TrackPopupMenu(empty, 0, 150, 150, 0, other, nullptr));
  DestroyMenu(empty);
  DestroyMenu(menu);
  Reset();
}

TEST(PopupMenuTest, RightClickOnTheCaptionOpensTheSystemMenu) {
  Reset();
  HWND owner = Owner();
  RECT box;
  GetWindowRect(owner, &box);
  const POINT caption{box.Left + 60, box.Top + GetSystemMetrics(SM_CYFRAME) + 5};
  std::string popupClass;
  HMENU shown = nullptr;
  OnIdle([&](HWND aPopup, int) {
    popupClass = GetClassNameW(aPopup);
    shown = reinterpret_cast<HMENU>(SendMessageW(aPopup, MN_GETHMENU, 0, 0));
    Key(VK_UP);
    Key(VK_RETURN);
  });
  Click(caption, MouseButton::Right);
  PumpUntilIdle();
  EXPECT_EQ(popupClass, PopupMenuClassName);
  EXPECT_FALSE(IsWindow(owner)) << "Close chosen";
  EXPECT_TRUE(shown && !IsMenu(shown)) << "the system menu, gone with its window";
  Reset();
}

// Top and left lines in one colour, bottom and right lines in another.
void Edge(Bitmap& aBitmap, TRect aRect, int aTopLeft, int aBottomRight) {
  auto fill = [&](TRect aLine, int aIndex) {
    raster::Fill(aBitmap, aLine, raster::PixelOf(GetSysColor(aIndex)));
  };
  fill({aRect.Left, aRect.Top, aRect.Right - 1, aRect.Top + 1}, aTopLeft);
  fill({aRect.Left, aRect.Top, aRect.Left + 1, aRect.Bottom - 1}, aTopLeft);
  fill({aRect.Left, aRect.Bottom - 1, aRect.Right, aRect.Bottom}, aBottomRight);
  fill({aRect.Right - 1, aRect.Top, aRect.Right, aRect.Bottom}, aBottomRight);
}

TEST(PopupMenuTest, PlainLook) {
  Reset();
  HMENU menu = SampleMenu();
  HWND owner = Owner();
  Bitmap actual(1, 1), expected(1, 1);
  std::vector<std::pair<TRect, int>> texts; // a text box and its ink
  OnIdle([&](HWND aPopup, int) {
    RECT box;
    GetWindowRect(aPopup, &box);
    actual = *TopLevelFrame(aPopup);
    expected = Bitmap(box.Width(), box.Height());
    const auto px = [](int aIndex) { return raster::PixelOf(GetSysColor(aIndex)); };
    raster::Fill(expected, {0, 0, box.Width(), box.Height()}, px(COLOR_MENU));
    Edge(expected, {0, 0, box.Width(), box.Height()}, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    Edge(expected, {1, 1, box.Width() - 1, box.Height() - 1}, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
    for (UINT i = 0; i < 4; ++i) {
      const TRect r = ItemRect(owner, menu, i).Offset(-box.Left, -box.Top);
      if (i == 2) {
        const int mid = r.Top + SeparatorHeight / 2 - 1;
        raster::Fill(expected, {r.Left, mid, r.Right, mid + 1}, px(COLOR_BTNSHADOW));
        raster::Fill(expected, {r.Left, mid + 1, r.Right, mid + 2}, px(COLOR_BTNHIGHLIGHT));
        continue;
      }
      if (i == 0)
        raster::Fill(expected, r, px(COLOR_HIGHLIGHT));
      const int ink = i == 0 ? COLOR_HIGHLIGHTTEXT : i == 1 ? COLOR_GRAYTEXT : COLOR_MENUTEXT;
      texts.push_back(
          {{r.Left + TextIndent - 1, r.Top + 1, r.Right - RightIndent + 1, r.Bottom - 1}, ink});
    }
    Key(VK_ESCAPE);
  });
  Key(VK_DOWN);
  TrackPopupMenu(menu, TPM_RETURNCMD, 150, 150, 0, owner, nullptr);
  ASSERT_EQ(texts.size(), 3u);
  // The text is there in its colour (fully covered pixels have it); the
  // glyphs are the text units' business, so the comparison leaves the text
  // boxes out.
  for (const auto& [t, inkIndex] : texts) {
    const std::uint32_t ink = raster::PixelOf(GetSysColor(inkIndex));
    int inked = 0;
    for (int y = t.Top; y < t.Bottom; ++y)
      for (int x = t.Left; x < t.Right; ++x) {
        inked += actual.Pixel(x, y) == ink;
        expected.SetPixel(x, y, actual.Pixel(x, y));
      }
    EXPECT_GT(inked, 5) << inkIndex;
  }
  EXPECT_TRUE(pixelcheck::SameBitmap(actual, expected, "popup-menu"));
  DestroyMenu(menu);
  Reset();
}

} // namespace
