#pragma once
// TqcScrollWnd: the adapter of a window with skinned scroll bars. It makes
// room for the bars in WM_NCCALCSIZE (the platform reserves none for its
// own), paints them from the skin on WM_NCPAINT, answers the non-client hit
// test over them and operates them with the mouse: hover, press and repeat,
// thumb drag, each step sent as the window's own scroll message between the
// skin commands scSuspendRedraw and scResumeRedraw. User-interface thread
// only.

#include "skin/controls/qcMainWnd.h"
#include "skin/controls/qcScrollBar.h"

class TqcScrollWnd : public TqcMainWnd {
public:
  // Attaches to aHandle; with aRepaint the platform recomputes the frame at
  // once, which makes room for the bars.
  TqcScrollWnd(platform::HWND aHandle, TsCommonData* aSkinData, TsSkinManager* aManager,
               const TqcSkinParams& aParams, bool aRepaint = true);
  ~TqcScrollWnd() override;

  void qcWndProc(TMessage& aMessage) override;

  // Paints the visible bars and the corner between them into the window's
  // DC (a DC of its own when aDC is null).
  void PaintScrollBars(platform::HDC aDC = nullptr);
  // Reads both bars' scroll information again and repaints them, unless
  // the skin data is updating or DontRepaint is set.
  void RefreshScrolls();
  // Performs one scroll step on the window (see the class comment).
  void ScrollStep(platform::UINT aScrollMsg, platform::WORD aCode, int aPos);
  // The square where both visible bars meet (window coordinates), else empty.
  TRect CornerRect() const;
  // The corner sits at the bottom-right of a top-level parent's client area:
  // it shows the size grip and sizes that parent.
  bool CornerIsGrip() const;
  // Renders the window's frame image into the skin data's cache when stale;
  // the kinds with a skinned frame do it.
  virtual void RenderFrameImage() {}

  bool ScrollsInitialized = false;
  TqcScrollBar sBarHorz{this, 0};
  TqcScrollBar sBarVert{this, 1};
  bool fThumbTracking = false;
  bool fLeftScrollbar = false;
  int cxLeftEdge = 0;
  int cxRightEdge = 0;
  int cyTopEdge = 0;
  int cyBottomEdge = 0;
  bool bPreventStyleChange = false;

protected:
  TqcScrollWnd(platform::HWND aHandle, TsCommonData* aSkinData, TsSkinManager* aManager,
               const TqcSkinParams& aParams, bool aRepaint, std::unique_ptr<TsCommonData> aOwnData);

  // The scroll-bar messages and the skin commands of the scroll-window
  // kinds; true when aMessage was handled.
  bool HandleScrollMessage(TMessage& aMessage);
  // Asks the platform to recompute the frame (WM_NCCALCSIZE follows).
  void RecalcFrame();

private:
  void Init(bool aRepaint);
  bool StyleChange(TMessage& aMessage);
  bool WMNCHitTest(TMessage& aMessage);
  void NcMouseLeave();
  // A move while a bar is held; false when none is.
  bool ClientMouseMove(platform::LPARAM aPoint);
  bool TimerTick(platform::WPARAM aTimer);
  void NcCalcSize(TMessage& aMessage);
  void NcPaint(TMessage& aMessage);
  platform::LRESULT NcHitTest(TPoint aScreen);
  void NcMouseMove(platform::WPARAM aHit);
  void HoverTick();
  void EndHover();
  bool NcButtonDown(platform::WPARAM aHit, TPoint aScreen);
  void PressedMove(TPoint aWindowPoint);
  void RepeatTick(platform::UINT_PTR aTimer);
  // Ends a press: timers stop, the capture goes, the final SB_ENDSCROLL step
  // and the tracking state is cleared. aLost: the capture was taken away.
  void EndPress();
  bool SkinCommand(TMessage& aMessage);
  void PaintCorner(platform::HDC aDC);
  TqcScrollBar& BarOf(int aBar) { return aBar == 1 ? sBarVert : sBarHorz; }
  // A screen point in window coordinates.
  TPoint ToWindow(TPoint aScreen) const;
  TPoint CursorInWindow() const;
};

// The scroll-window skin data for an adapter that makes its own.
std::unique_ptr<TsCommonData> NewScrollWndData(const TqcSkinParams& aParams);
