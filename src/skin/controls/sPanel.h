#pragma once
// TsPanel: a panel whose background, border and caption come from a skin
// section. It keeps an image of itself in its skin data's cache, copies that
// to the screen and answers its children's questions about what lies behind
// them from it. Without an active skin it paints as a plain TPanel.
// User-interface thread only.

#include "platform/gfx/DeviceContext.h"
#include "skin/paint/sCacheInfo.h"
#include "skin/paint/sCommonData.h"
#include "toolkit/Canvas.h"
#include "toolkit/Panel.h"

#include <functional>
#include <string>

// Called after the panel painted its caption, with the canvas it painted on.
using TPaintEvent = std::function<void(TObject* aSender, TCanvas& aCanvas)>;

// The section a panel takes when its outer bevel becomes aBevel.
const char* SectionOfBevel(TBevelCut aBevel);

class TsPanel : public TPanel {
public:
  explicit TsPanel(TComponent* aOwner);
  ~TsPanel() override;
  std::string ClassName() const override { return "TsPanel"; }

  TsCommonData& SkinData() { return FCommonData; }
  const TsCommonData& SkinData() const { return FCommonData; }

  TPaintEvent OnPaint;

  // Paints the panel onto aDC (its own window's DC when aDC is null); with
  // aSendUpdated its children then repaint over it.
  virtual void OurPaint(platform::HDC aDC, bool aSendUpdated);
  // Renders the whole panel into the cache; false when the parent's
  // background is not ready (the panel then waits for scRepaintChildren).
  virtual bool PrepareCache();
  // The caption in aR of aCanvas (or of aDC through a canvas of its own).
  void WriteText(const TRect& aR, TCanvas* aCanvas, platform::HDC aDC);

  void Invalidate() override;

protected:
  void AfterConstruction() override;
  void Loaded() override;
  void Paint() override;
  void PaintWindow(platform::HDC aDC) override;
  void WndProc(TMessage& aMessage) override;
  void WMPaint(TMessage& aMessage) override;
  void WMEraseBkgnd(TMessage& aMessage) override;

private:
  bool SkinCommand(TMessage& aMessage);
  // The answer to a child's scGetParentBg.
  void AnswerParentBg(ParentBgInfo& aInfo);
  void AnswerWithPaintedCache(ParentBgInfo& aInfo);
  void ShowingChanged(bool aShown);
  // The cache path of OurPaint: rebuild the cache when stale, copy it.
  void PaintFromCache(platform::HDC aDC, bool aCopying);
  // The path without the cache, for a plain-coloured section: the panel
  // around its windowless children, then the children.
  void PaintPlain(platform::HDC aDC);
  // The panel's own layers (fill, border, caption, OnPaint) on aDC; false
  // (and updating) when the parent's background is not ready.
  bool PaintPlainLayers(platform::HDC aDC);
  // The cache has the panel's size.
  bool CacheFits() const;
  // The section over the parent's background into the cache; false (and
  // updating) when the parent's background is not ready.
  bool PaintSectionIntoCache();
  // The caption and OnPaint over what aDC shows.
  void PaintTextAndEvent(platform::HDC aDC);
  void CallOnPaint(TCanvas& aCanvas);
  // Switches the section when the outer bevel changed (see SectionOfBevel).
  void FollowBevel();
  // A panel with an OnPaint handler never counts as a plain background.
  void ForgetPlainWhenPaintedByUser();

  TsCommonData FCommonData;
  TBevelCut FOldBevel = bvRaised;
};
