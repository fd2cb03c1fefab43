#pragma once
// What the skinned list box and check list box share: their skin data's part
// in the list's messages, the edit-kind adapter (ListSW) that renders the
// list's frame image into the cache and paints its border and scroll bars,
// and the drawing of the visible lines over that cache. Without an active
// skin none of it acts and the toolkit list paints and behaves as always.

#include "platform/gfx/Bitmap.h"
#include "platform/win/WinDefs.h"
#include "skin/controls/qcEditWnd.h"
#include "skin/paint/sCommonData.h"
#include "toolkit/ListBox.h"

#include <memory>

// How the owning control draws one line when skinned (the check list adds
// its check box before the text).
class TsLinePainter {
public:
  virtual void PaintSkinnedLine(platform::HDC aDC, int aIndex, const TRect& aRect,
                                TOwnerDrawState aState) = 0;

protected:
  ~TsLinePainter() = default;
};

// The notifications of both skinned lists.
struct TsListEvents {
  // The mouse entered or left the enabled list.
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  // After each vertical scroll step of the skinned list.
  TNotifyEvent OnVScroll;
};

class TsListBoxSkin {
public:
  TsListBoxSkin(TCustomListBox& aList, TsScrollWndData& aSkinData, TsLinePainter& aPainter,
                TsListEvents& aEvents);
  ~TsListBoxSkin();
  TsListBoxSkin(const TsListBoxSkin&) = delete;
  TsListBoxSkin& operator=(const TsListBoxSkin&) = delete;

  // Skinned by an active skin.
  bool Skinned() const;
  // The adapter, while the window exists and the list is skinned.
  TqcEditWnd* ListSW() const { return fListSW.get(); }
  // Makes the adapter when the window exists and the list is skinned (again
  // after the window was made anew), and frees it when it is not skinned.
  void UpdateAdapter();

  // Runs first for every message of the list; true when the message is done.
  bool Before(TMessage& aMessage);
  // Runs after the toolkit handled the message.
  void After(TMessage& aMessage);

  // The client area's origin inside the cache: the list's border width.
  TPoint CacheOffset() const;
  // Copies the cache behind aRect (client coordinates) into aBmp at its
  // origin; what lies outside the cache stays as it is.
  void CopyBackground(platform::Bitmap& aBmp, const TRect& aRect) const;
  // Draws line aIndex (its rectangle aRect, client coordinates) to aDC as the
  // skin shows it: its background from the cache, the SELECTION look when
  // selected, then its text.
  void DrawLine(platform::HDC aDC, int aIndex, const TRect& aRect, TOwnerDrawState aState);

private:
  // Asks the adapter for the frame image when it is stale.
  void PrepareCache();
  void Paint(platform::HDC aDC, const TRect& aUpdate);
  void DrawLineContent(platform::Bitmap& aBmp, int aIndex, const TRect& aRect,
                       TOwnerDrawState aState);
  // The plain text colour of a line that does not show the SELECTION section.
  TColor TextColor(bool aSelected, bool aFocused) const;
  bool SkinCommand(TMessage& aMessage);
  void EndScrollStep(const TMessage& aMessage);

  TCustomListBox& fList;
  TsScrollWndData& fSkinData;
  TsLinePainter& fPainter;
  TsListEvents& fEvents;
  std::unique_ptr<TqcEditWnd> fListSW;
  bool fInScrollStep = false;
};
