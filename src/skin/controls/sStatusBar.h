#pragma once
// The skinned status bar: the whole bar (section, panels with their texts,
// size grip) is rendered into the cache of its skin data and copied to the
// screen. Without an active skin it is the toolkit's status bar.

#include "skin/paint/sCommonData.h"
#include "toolkit/StatusBar.h"

class TsStatusBar : public TStatusBar {
public:
  explicit TsStatusBar(TComponent* aOwner);
  std::string ClassName() const override { return "TsStatusBar"; }

  TsCommonData SkinData;

  void PanelsChanged() override;

protected:
  void Loaded() override;
  void WndProc(TMessage& aMessage) override;
  void WMPaint(TMessage& aMessage) override;
  void WMEraseBkgnd(TMessage& aMessage) override;

private:
  bool SkinPaints() const;
  // Renders the cache when it is stale (or the bar is partly hidden).
  void PrepareCache();
  void RenderCache();
  // One panel (nullptr: the simple text) over aR of the cache.
  void PaintPanel(platform::HDC aDC, TStatusPanel* aPanel, const TRect& aR, bool aLast);
  void PaintDivider(const TRect& aR);
  void PaintSizeGrip();
  void CopyCache(platform::HDC aDC);
  // The skin commands the bar answers beyond the common ones; true when done.
  bool HandleOwnSkinCommand(TMessage& aMessage);
};
