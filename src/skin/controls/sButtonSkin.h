#pragma once
// What a skinned push button adds to a toolkit button, for the skinned
// button class and for a plain button a skinned form adapts alike: each
// state (normal, hot, pressed, default, focused, disabled) rendered from the
// skin section into the skin data's cache and copied to the screen, state
// changes shown as fades, the press held on screen for a moment, the window
// region cut from the border mask. Clicks, keys and the default and cancel
// logic stay the toolkit button's. Without an active skin none of it acts.

#include "skin/controls/sDisabledLook.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sFade.h"
#include "toolkit/Button.h"

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

// The clock and the sleep behind the shortest time a press stays on screen.
struct TsPressTiming {
  using Clock = std::chrono::steady_clock;
  std::function<Clock::time_point()> Now = [] { return Clock::now(); };
  std::function<void(std::chrono::milliseconds)> Sleep = [](std::chrono::milliseconds aTime) {
    std::this_thread::sleep_for(aTime);
  };
};

// The notifications and timings of a skinned button.
struct TsButtonEvents {
  // The mouse entered or left the enabled skinned button.
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TsPressTiming PressTiming;
  // The state changes that fade (by default those the skin manager names).
  TsAnimEvents AnimatEvents = AnimBit(TsAnimEvent::aeGlobalDef);
};

// The states a button is drawn in; a section's states are indexed by them.
enum TsButtonState : int { bsNormal = 0, bsHot = 1, bsPressed = 2, bsDefault = 3 };

class TsButtonSkin {
public:
  // How long the pressed look shows at least, also on a quick click.
  static constexpr std::chrono::milliseconds MinPressedTime{30};

  TsButtonSkin(TButton& aButton, TsCommonData& aSkinData, TsButtonEvents& aEvents);
  TsButtonSkin(const TsButtonSkin&) = delete;
  TsButtonSkin& operator=(const TsButtonSkin&) = delete;

  // Drawn pressed whatever the mouse does.
  bool Down() const { return fDown; }
  void SetDown(bool aValue);
  // Distance of the focus frame from the caption.
  int FocusMargin() const { return fFocusMargin; }
  void SetFocusMargin(int aValue) { ChangeLook(fFocusMargin, aValue); }
  TsDisabledKinds DisabledKind() const { return fDisabledKind; }
  void SetDisabledKind(TsDisabledKinds aValue) { ChangeLook(fDisabledKind, aValue); }
  bool ShowFocus() const { return fShowFocus; }
  void SetShowFocus(bool aValue) { ChangeLook(fShowFocus, aValue); }
  // Inner margin of the caption.
  int ContentMargin() const { return fContentMargin; }
  void SetContentMargin(int aValue) { ChangeLook(fContentMargin, aValue); }

  // Pressed before hot, hot before default.
  TsButtonState CurrentState() const;
  // The state the section paints: the current one within the section's
  // states, where a default button on a section of fewer than four states
  // looks hot.
  TsButtonState PaintedState() const;
  // Where the caption goes, for the current state.
  TRect CaptionRect();
  // Renders the look of the current state into the cache; false when the
  // parent's background is not ready (the button repaints later).
  bool PrepareCache();
  // A state change is fading on screen.
  bool FadeRunning() const { return fFadeTimer && fFadeTimer->Enabled(); }
  // Stops a running fade.
  void StopFade();

  // Runs first for every message of the button; true when the message is
  // done and the toolkit button must not see it.
  bool Before(TMessage& aMessage);
  // Runs after the toolkit button handled the message (not while the button
  // is being destroyed).
  void After(TMessage& aMessage);

private:
  // What the cache shows; another look makes it stale.
  struct TLook {
    int State = -1; // a TsButtonState; -1 before the first paint
    bool Enabled = false;
    bool Focused = false;
    friend bool operator==(const TLook&, const TLook&) = default;
  };

  // Sets a property the look depends on and repaints.
  template <class T>
  void ChangeLook(T& aField, T aValue) {
    aField = aValue;
    fSkinData.Invalidate(false);
  }
  bool Skinned() const;
  // Skinned, enabled and not designed: the skin handles the mouse.
  bool TracksInput() const;
  bool Hovers() const;
  bool FocusFrameShown() const;
  TLook CurrentLook() const;
  // Paints the caption and the focus frame into the cache.
  void DrawCaption(TsButtonState aState);
  // The dotted frame around the caption of the focused button.
  void DrawFocusFrame(const TRect& aCaption);
  // The window region, rebuilt from the border mask when its corners cut
  // the shape; returns whether the region was rebuilt.
  bool RebuildRegion(TsButtonState aState);
  void DropRegion();
  // Shows the look of a state change: a fade when the event animates (full
  // length for the mouse entering and leaving, half for press and release),
  // else at once.
  void StartFade(TsAnimEvent aKind);
  void PaintFrame(platform::HDC aDC);
  void EraseBackground(TMessage& aMessage);
  // Keeps the pressed look on screen for MinPressedTime.
  void HoldPressedLook();
  // Skin commands that concern the button; true when the command is done.
  bool SkinCommand(TMessage& aMessage);

  TButton& fButton;
  TsCommonData& fSkinData;
  TsButtonEvents& fEvents;
  bool fDown = false;
  bool fMouseClicked = false;
  // A release the button handles now: the fade of the release follows.
  bool fReleasing = false;
  bool fForcingPressed = false;
  bool fRegionChanged = true;
  bool fHasRegion = false;
  int fFocusMargin = 1;
  int fContentMargin = 6;
  bool fShowFocus = true;
  TsDisabledKinds fDisabledKind{TsDisabledKind::dkBlended};
  TRect fLastRect{};
  TLook fCachedLook;
  // When the pressed look last reached the screen.
  TsPressTiming::Clock::time_point fPressedShownAt{};
  bool fPressedShown = false;
  // Declared last: it goes before everything its fade works on.
  std::unique_ptr<TsFadeTimer> fFadeTimer;
};
