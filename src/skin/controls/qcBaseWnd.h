#pragma once
// TqcBaseWnd: a scroll-window adapter of a scrolling control whose frame is
// skinned too: size changes mark the frame image stale, scrolling and sizing
// refresh the bars, enabling repaints the frame. User-interface thread only.

#include "skin/controls/qcScrollWnd.h"

class TqcBaseWnd : public TqcScrollWnd {
public:
  using TqcScrollWnd::TqcScrollWnd;

  void qcWndProc(TMessage& aMessage) override;

protected:
  // What the layer does before the common handling; true when handled.
  bool HandleBaseMessage(TMessage& aMessage);
  // What it does after the common handling.
  void AfterBaseMessage(const TMessage& aMessage);
  // Repaints the non-client area.
  void RepaintFrame();
};
