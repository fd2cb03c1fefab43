#pragma once
// The caption's mouse protocol of a skinned frame: non-client mouse messages
// become states of the caption items (hot, pressed, normal) and the window
// commands of minimize, maximize or restore, close and help; a right click on
// the caption (or a click on the icon) opens the frame's system menu. A
// release acts only when it comes on the item that was pressed, so sliding
// from one button onto another and releasing does nothing. A state change of
// a caption button cross-fades in the frame cache when the skin allows
// glowing effects and no window animation runs; otherwise the button repaints
// at once. User-interface thread only.

#include "platform/win/WinDefs.h"
#include "skin/paint/sFade.h"
#include "toolkit/Messages.h"

#include <map>
#include <memory>

class TsSkinProvider;
class TsSystemMenu;
struct TqcCaptionButton;

class TsCaptionMouse {
public:
  explicit TsCaptionMouse(TsSkinProvider& aProvider);
  ~TsCaptionMouse();
  TsCaptionMouse(const TsCaptionMouse&) = delete;
  TsCaptionMouse& operator=(const TsCaptionMouse&) = delete;

  // Handles a message of the protocol; false: not handled, pass it on.
  bool Handle(TMessage& aMessage);

  // Makes item aCode hot (0: none, -1: the mouse left), returning the former
  // one to normal; repaints both when aRepaint holds. While a caption item is
  // held down no other item becomes hot; the held one shows pressed again
  // when the mouse comes back onto it.
  void SetHotHT(int aCode, bool aRepaint);
  // Presses item aCode (a greyed maximize or close cannot be pressed).
  void SetPressedHT(int aCode);
  // The item the left button went down on, 0 when none is held.
  int PressedHT() const { return fPressedHT; }

  // The frame's system menu, made on first use.
  TsSystemMenu& SystemMenu();
  // Opens the system menu at a screen point.
  void DropSysMenu(int aX, int aY);
  // Stops the running fades of the caption buttons and hides their glows.
  void KillAnimations();
  // The same, showing each faded button in its state at once.
  void FinishAnimations();
  // The running fade of caption item aCode, or nullptr.
  TsFadeTimer* FadeOf(int aCode) const;
  // The identifier of caption item aCode's glow, -1 when none shows.
  int GlowOf(int aCode) const;
  // The mouse left the frame: the hot item is normal again, nothing is held.
  void MouseLeave();

private:
  bool NCMouseMove(TMessage& aMessage);
  bool NCLButtonDown(TMessage& aMessage);
  bool NCLButtonUp(TMessage& aMessage);
  bool NCRButtonUp(TMessage& aMessage);
  bool NCLButtonDblClk(TMessage& aMessage);
  // The release on the held item: its command.
  void Act(int aCode);
  void RepaintItem(int aCode);
  // A hot minimize, maximize or close button glows when the skin gives its
  // image a glow ("BICONCLOSE" + "GLOW" ...) and glowing is allowed; any
  // other state hides the glow.
  void UpdateGlow(int aCode, const TqcCaptionButton& aButton);
  bool GlowAllowed(int aCode) const;
  bool FadesAllowed() const;
  TqcCaptionButton* Button(int aCode);
  // Where Alt+Space drops the system menu: the window's left + the frame
  // width, its top + the border height + the icon's height.
  TPoint IconMenuPoint() const;

  TsSkinProvider& fProvider;
  int fPressedHT = 0;
  std::map<int, std::unique_ptr<TsFadeTimer>> fFades;
  // The glows' identifiers; the map keeps each one in its place.
  std::map<int, int> fGlows;
  std::unique_ptr<TsSystemMenu> fSystemMenu;
};
