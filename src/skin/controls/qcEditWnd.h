#pragma once
// TqcEditWnd: the adapter of edit and list controls (each skinned list box
// owns one as its ListSW). It renders the control's section over the
// parent's background into the skin data's cache for the whole window,
// frame included, copies the frame ring from there on WM_NCPAINT and paints
// the skinned scroll bars. The control draws its client area over the same
// cache: client pixel (x, y) lies at ClientOffset() + (x, y) in it.
// User-interface thread only.

#include "skin/controls/qcBaseWnd.h"

// The kind code of a skin data the edit adapter makes for itself.
inline constexpr int cocEditAdapter = 231;

class TqcEditWnd : public TqcBaseWnd {
public:
  TqcEditWnd(platform::HWND aHandle, TsCommonData* aSkinData, TsSkinManager* aManager,
             const TqcSkinParams& aParams, bool aRepaint = true);

  void qcWndProc(TMessage& aMessage) override;
  // Renders the frame image when BGChanged is set (see the class comment).
  void RenderFrameImage() override;
  // The client area's top-left corner in window coordinates.
  TPoint ClientOffset() const;

protected:
  void SetSkinParams() override;

private:
  void NcPaint();
  // Copies the frame ring (everything outside the client area and the bars)
  // from the cache.
  void CopyFrameRing(platform::HDC aDC);
  void FocusChanged(TMessage& aMessage, bool aGained);
  void Paint(TMessage& aMessage);
  // Text, enabled state or colour changed: the frame repaints.
  void LookChanged(TMessage& aMessage);
  void Print(TMessage& aMessage);
  // What follows a message the previous procedure handled.
  void AfterMessage(const TMessage& aMessage);
  // The section is hot-capable: more than one state or border image.
  bool SectionHasHotLook() const;
};
