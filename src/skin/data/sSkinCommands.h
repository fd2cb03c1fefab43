#pragma once
// The skin command message: its command numbers, the typed record a command
// is decoded into, and sending a command to a control or a bare window.
// The command is in the high word of WPARAM, a small argument in the low word;
// LPARAM carries a value or a reference to a record. A command nobody handles
// answers 0.

#include "platform/Types.h"
#include "platform/win/MessageLoop.h"
#include "toolkit/Control.h"
#include "toolkit/Messages.h"

#include <optional>

inline constexpr platform::UINT SkinCommandMessage = 0xA100;

// Skin change: LPARAM is the manager; data of another manager ignores them.
inline constexpr platform::WORD scPrepareSkin = 1; // re-resolve the section, empty the cache
inline constexpr platform::WORD scRemoveSkin = 2;  // become unskinned, standard colours
inline constexpr platform::WORD scApplySkin = 3;   // take the skin's colours, repaint
// Answered by a form's frame provider with itself.
inline constexpr platform::WORD scGetProvider = 4;
// Redraw a control whose painting was suspended, then its children.
inline constexpr platform::WORD scRepaintChildren = 6;
// Answer 1: the receiver is skinned.
inline constexpr platform::WORD scIsSkinned = 7;
// Low word 1 suspends painting, anything else resumes it.
inline constexpr platform::WORD scSetUpdating = 8;
// Answer 1 when the receiver's painting is suspended or its cache not ready.
inline constexpr platform::WORD scQueryUpdating = 10;
inline constexpr platform::WORD scQueryHalfVisible = 11;
// LPARAM: the upper-case name (const std::string*) of a section that changed.
inline constexpr platform::WORD scSectionChanged = 13;
// LPARAM: a TsSetSectionInfo; answer 1 when a record was given.
inline constexpr platform::WORD scSetSection = 15;
// Sent by the skin manager to stop every running fade.
inline constexpr platform::WORD scStopFading = 16;
// The cache is stale.
inline constexpr platform::WORD scBgChanged = 17;
inline constexpr platform::WORD scInvalidate = 18;
// Answer 1: children of the receiver repaint when they move.
inline constexpr platform::WORD scQueryRepaintOnMove = 19;
// The receiver moved; low word 1: redraw now.
inline constexpr platform::WORD scMoved = 20;
// Answer: the plain colour children see (EncodeBgColor).
inline constexpr platform::WORD scGetBgColor = 21;
inline constexpr platform::WORD scSetHalfVisible = 22;
// Rebuild the cache now (the control paints before the common handling).
inline constexpr platform::WORD scPrepareCache = 23;
// LPARAM: a fade frame (const platform::Bitmap*) to show; answer 0 to have it
// copied to the receiver's window at (0, 0).
inline constexpr platform::WORD scFadeFrame = 24;
// Sent to the parent form by a loaded windowed control; LPARAM: the control.
inline constexpr platform::WORD scControlLoaded = 25;
// LPARAM: an int* that receives the skin index.
inline constexpr platform::WORD scGetSkinIndex = 26;
// The hover tracking's active control changed (LPARAM: the manager).
inline constexpr platform::WORD scHoverGained = 29;
inline constexpr platform::WORD scHoverLost = 30;
// Sent to the owner around BeginUpdate / EndUpdate.
inline constexpr platform::WORD scBeginUpdate = 31;
inline constexpr platform::WORD scEndUpdate = 32;
// Empty the caches of the receiver and its windowed children.
inline constexpr platform::WORD scClearCache = 33;
// LPARAM: a ParentBgInfo to fill with what lies behind the asker.
inline constexpr platform::WORD scGetParentBg = 34;
// Answer: the receiver's skin state bits; low word 1 recomputes them first.
inline constexpr platform::WORD scQuerySkinState = 36;
// Answer: the receiver's TsCommonData.
inline constexpr platform::WORD scGetCommonData = 37;
// LPARAM: the printing device context, or 0 when printing ends.
inline constexpr platform::WORD scSetPrintDC = 38;
// LPARAM: the parent's cache and offset to draw an outer effect into.
inline constexpr platform::WORD scPaintOuter = 40;
// Sent by scroll-bar adapters around every scroll step; LPARAM: (scroll
// message shl 16) or scroll code. Answer 1: the receiver scrolls itself.
inline constexpr platform::WORD scSuspendRedraw = 51;
inline constexpr platform::WORD scResumeRedraw = 52;
// The frame of the receiver and its children is recalculated.
inline constexpr platform::WORD scFrameChanged = 53;
// Answer: the application object.
inline constexpr platform::WORD scGetApplication = 60;
// Answered by a frame provider: (OffsetY shl 16) or (OffsetX and 0xFFFF).
inline constexpr platform::WORD scGetClientOffset = 61;
// A frame provider copies its frame to the window; low word 1 rebuilds first.
inline constexpr platform::WORD scRefreshFrame = 62;
// LPARAM: a TRect* that receives the receiver's bounds.
inline constexpr platform::WORD scGetBounds = 70;

constexpr platform::WPARAM SkinCommandParam(platform::WORD aCommand, platform::WORD aArgument = 0) {
  return platform::MAKELONG(aArgument, aCommand);
}

// One skin command, decoded from its message.
struct TSkinCommand {
  explicit TSkinCommand(const TMessage& aMessage)
      : Command(platform::HIWORD(platform::DWORD(aMessage.WParam))),
        Argument(platform::LOWORD(platform::DWORD(aMessage.WParam))), Value(aMessage.LParam) {}
  platform::WORD Command;
  platform::WORD Argument;
  platform::LPARAM Value;

  // The record or object LPARAM refers to (nullptr for 0).
  template <class T>
  T* Ref() const {
    return reinterpret_cast<T*>(Value);
  }
};

// scSetSection's record; the section name is its second field.
struct TsSetSectionInfo {
  int Reserved = 0;
  std::string SectionName;
};

// scGetBgColor answers the RGB colour with AnsweredBgColor set, so that a
// receiver that does not handle the command (answer 0) is told apart from a
// black answer.
inline constexpr platform::LRESULT AnsweredBgColor = 0x01000000;
constexpr platform::LRESULT EncodeBgColor(TColor aRGB) {
  return AnsweredBgColor | platform::LRESULT(aRGB & 0xFFFFFF);
}
constexpr std::optional<TColor> DecodeBgColor(platform::LRESULT aAnswer) {
  if ((aAnswer & AnsweredBgColor) == 0)
    return std::nullopt;
  return TColor(aAnswer & 0xFFFFFF);
}

// Sends a command through the control's WindowProc; reaches controls with
// and without a window.
inline platform::LRESULT SendSkinCommand(TControl* aControl, platform::WORD aCommand,
                                         platform::LPARAM aValue = 0,
                                         platform::WORD aArgument = 0) {
  return aControl->Perform(SkinCommandMessage, SkinCommandParam(aCommand, aArgument), aValue);
}

// Sends a command to a window that may belong to no control.
inline platform::LRESULT SendSkinCommand(platform::HWND aWnd, platform::WORD aCommand,
                                         platform::LPARAM aValue = 0,
                                         platform::WORD aArgument = 0) {
  return platform::SendMessageW(aWnd, SkinCommandMessage, SkinCommandParam(aCommand, aArgument),
                                aValue);
}
