#pragma once
// A toolkit list box of 100 lines of 20 pixels (10 visible) on a plain form,
// with an edit adapter attached over a small skin of plain-coloured scroll
// sections; a spy in front of the adapter records the scroll steps.

#include "SkinDataFixture.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "platform/win/ScrollBar.h"
#include "platform/win/WindowGeometry.h"
#include "skin/controls/qcEditWnd.h"
#include "skin/controls/qcScrollTracking.h"
#include "support/PixelCheck.h"
#include "support/ScreenShot.h"
#include "toolkit/ListBox.h"

#include <memory>
#include <optional>
#include <vector>

inline constexpr TColor kFormColor = 0x00405060;
inline constexpr TColor kTrackBefore = 0x00102030;
inline constexpr TColor kTrackAfter = 0x00203040;
inline constexpr TColor kArrow = 0x00A0A0A0;
inline constexpr TColor kArrowInk = 0x00000080;
inline constexpr TColor kArrowHot = 0x00C0C0C0;
inline constexpr TColor kArrowHotInk = 0x00008000;
inline constexpr TColor kThumb = 0x00607080;
inline constexpr TColor kThumbHot = 0x00708090;
inline constexpr int kBar = 17;

inline std::string ScrollSkinOptions() {
  const auto n = [](TColor aColor) { return std::to_string(aColor); };
  std::string s =
      "[GLOBALINFO]\nCOLOR=" + n(kMainColor) + "\n[EDIT]\nSTATES=1\nCOLOR=" + n(kEditColor) + "\n";
  for (const char* track : {"SCROLLBAR1H", "SCROLLBAR1V"})
    s += std::string("[") + track + "]\nSTATES=1\nCOLOR=" + n(kTrackBefore) + "\n";
  for (const char* track : {"SCROLLBAR2H", "SCROLLBAR2V"})
    s += std::string("[") + track + "]\nSTATES=1\nCOLOR=" + n(kTrackAfter) + "\n";
  for (const char* button : {"SCROLLBTNLEFT", "SCROLLBTNTOP", "SCROLLBTNRIGHT", "SCROLLBTNBOTTOM"})
    s += std::string("[") + button + "]\nSTATES=3\nCOLOR=" + n(kArrow) +
         "\nFONTCOLOR=" + n(kArrowInk) + "\nHOTCOLOR=" + n(kArrowHot) +
         "\nHOTFONTCOLOR=" + n(kArrowHotInk) + "\n";
  for (const char* slider : {"SCROLLSLIDERH", "SCROLLSLIDERV"})
    s += std::string("[") + slider + "]\nSTATES=3\nCOLOR=" + n(kThumb) +
         "\nHOTCOLOR=" + n(kThumbHot) + "\n";
  return s;
}

// An arrow triangle of a 17 x 17 button, from its rule: four rows, the tip
// two rows from the centre (8, 8), each row one pixel wider on both sides.
inline void PaintTriangle(platform::Bitmap& aBmp, int aTop, bool aDown, TColor aInk) {
  for (int i = 0; i < 4; ++i) {
    const int row = aDown ? aTop + 8 + (2 - i) : aTop + 8 - (2 - i);
    pixelcheck::Paint(aBmp, {8 - i, row, 8 + i + 1, row + 1}, pixelcheck::Opaque(aInk));
  }
}

struct TBarLook {
  int ThumbTop = 0; // thumb rows in bar coordinates; both 0: no thumb
  int ThumbBottom = 0;
  bool UpHot = false;
  bool DownHot = false;
  bool ThumbPressed = false;
  int Split = -1; // where the track's two pieces meet; -1: the thumb's centre
};

// A vertical bar 17 wide and aLength long from the rules: arrows of 17,
// the track before the thumb and after it, the thumb.
inline platform::Bitmap ExpectedBar(int aLength, const TBarLook& aLook) {
  platform::Bitmap bar = pixelcheck::Filled(kBar, aLength, pixelcheck::Opaque(kTrackAfter));
  const int centre = aLook.Split >= 0 ? aLook.Split : (aLook.ThumbTop + aLook.ThumbBottom) / 2;
  pixelcheck::Paint(bar, {0, 0, kBar, centre}, pixelcheck::Opaque(kTrackBefore));
  if (aLook.ThumbBottom > 0)
    pixelcheck::Paint(bar, {0, aLook.ThumbTop, kBar, aLook.ThumbBottom},
                      pixelcheck::Opaque(aLook.ThumbPressed ? kThumbHot : kThumb));
  pixelcheck::Paint(bar, {0, 0, kBar, kBar}, pixelcheck::Opaque(aLook.UpHot ? kArrowHot : kArrow));
  PaintTriangle(bar, 0, false, aLook.UpHot ? kArrowHotInk : kArrowInk);
  pixelcheck::Paint(bar, {0, aLength - kBar, kBar, aLength},
                    pixelcheck::Opaque(aLook.DownHot ? kArrowHot : kArrow));
  PaintTriangle(bar, aLength - kBar, true, aLook.DownHot ? kArrowHotInk : kArrowInk);
  return bar;
}

// One scroll step as the window received it.
struct TStep {
  platform::UINT Msg; // WM_VSCROLL, or SkinCommandMessage for 51 and 52
  platform::WORD Code;
  int Pos;
};

class ScrollAdapterTest : public SkinDataTest {
protected:
  void SetUp() override {
    SkinDataTest::SetUp();
    AddSkin("SB", ScrollSkinOptions());
    fManager->SetSkinName("SB");
    fManager->ScrollsOptions.ScrollSize = kBar;
    fManager->ScrollsOptions.ButtonsSize = kBar;
    fForm->SetColor(kFormColor);
    fForm->SetBounds(50, 50, 400, 300);
    platform::PumpUntilIdle();
  }
  void TearDown() override {
    fClock.reset();
    fAdapter.reset();
    SkinDataTest::TearDown();
  }

  // The list with aLines lines; its window is 204 high, so its client area
  // holds 10 lines of 20 pixels.
  TListBox* MakeList(int aLines, TRect aBounds = Bounds(20, 20, 150, 204)) {
    fList = new TListBox(fForm);
    fList->SetParent(fForm);
    fList->SetBoundsRect(aBounds);
    fList->SetItemHeight(20);
    for (int i = 0; i < aLines; ++i)
      fList->Items().Add("line " + std::to_string(i));
    platform::PumpUntilIdle();
    return fList;
  }

  // Attaches the edit adapter with skin data of its own, then puts the spy
  // in front of it.
  void Attach() {
    TqcSkinParams params;
    params.Control = fList;
    fAdapter = std::make_unique<TqcEditWnd>(fList->Handle(), nullptr, fManager.get(), params);
    TWndMethod adapter = fList->WindowProc;
    fList->WindowProc = [this, adapter](TMessage& aMessage) {
      if (aMessage.Msg == platform::WM_VSCROLL) {
        platform::SCROLLINFO si;
        si.fMask = platform::SIF_TRACKPOS;
        platform::GetScrollInfo(fList->Handle(), platform::SB_VERT, &si);
        fSteps.push_back({aMessage.Msg, platform::LOWORD(aMessage.WParam),
                          platform::LOWORD(aMessage.WParam) == platform::SB_THUMBTRACK
                              ? si.nTrackPos
                              : int(platform::HIWORD(aMessage.WParam))});
      }
      if (aMessage.Msg == SkinCommandMessage) {
        const TSkinCommand command(aMessage);
        if (command.Command == scSuspendRedraw || command.Command == scResumeRedraw) {
          fSteps.push_back({aMessage.Msg, command.Command, int(command.Value)});
          // Like the skinned lists: nothing repaints while the list scrolls.
          if (fSuspendDuringSteps)
            fAdapter->SkinData().SetUpdating(command.Command == scSuspendRedraw);
        }
      }
      adapter(aMessage);
    };
    platform::PumpUntilIdle();
  }

  // The scroll codes of the WM_VSCROLL steps so far.
  std::vector<int> Codes() const {
    std::vector<int> codes;
    for (const TStep& s : fSteps)
      if (s.Msg == platform::WM_VSCROLL)
        codes.push_back(s.Code);
    return codes;
  }
  int Lines(int aCode) const {
    int n = 0;
    for (int c : Codes())
      n += c == aCode ? 1 : 0;
    return n;
  }

  // A point of the list's window (window coordinates) on the screen.
  TPoint OnScreen(int aX, int aY) const {
    platform::RECT r;
    platform::GetWindowRect(fList->Handle(), &r);
    return {r.Left + aX, r.Top + aY};
  }
  // The vertical bar's column in window coordinates (right side).
  int BarLeft() const { return fList->Width() - 2 - kBar; }

  void MoveTo(TPoint aScreen) {
    platform::InputMouseMove(aScreen);
    platform::PumpUntilIdle();
  }
  void Press(TPoint aScreen) {
    platform::InputMouseMove(aScreen);
    platform::InputMouseButton(platform::MouseButton::Left, true, aScreen);
    platform::PumpUntilIdle();
  }
  void Release(TPoint aScreen) {
    platform::InputMouseButton(platform::MouseButton::Left, false, aScreen);
    platform::PumpUntilIdle();
  }
  // From now on timers fall due only as the test moves the clock on.
  void UseManualClock() { fClock.emplace(); }
  void Advance(int aMs) {
    fClock->Advance(platform::DWORD(aMs));
    platform::PumpUntilIdle();
  }

  // What the screen shows of the list's window.
  // The list's window, or its part aPart, as the screen shows it.
  platform::Bitmap Shot() const {
    platform::PumpUntilIdle();
    return pixelcheck::WindowShot(fList->Handle());
  }
  platform::Bitmap Shot(const TRect& aPart) const {
    platform::PumpUntilIdle();
    return pixelcheck::WindowShot(fList->Handle(), aPart);
  }

  TListBox* fList = nullptr;
  std::unique_ptr<TqcEditWnd> fAdapter;
  std::optional<platform::ManualTimerClock> fClock;
  std::vector<TStep> fSteps;
  bool fSuspendDuringSteps = false;
};
