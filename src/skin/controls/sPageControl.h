#pragma once
// The skinned page control and its pages. The control renders its body (its
// section) and its tab row (a tab section per tab, in the states normal, hot
// and active) into the cache of its skin data; a page has no image of its
// own and shows the control's cache through itself, also to its children.
// Without an active skin both are the toolkit's controls.

#include "platform/gfx/Bitmap.h"
#include "skin/paint/sCommonData.h"
#include "skin/paint/sFade.h"
#include "toolkit/PageControl.h"

#include <functional>
#include <memory>
#include <string>

class TsPageControl;
struct ParentBgInfo;

// The skin settings of a page: a non-empty section paints the page area.
class TsTabSkinData {
public:
  const std::string& SkinSection() const { return FSkinSection; }
  // Stored upper-cased.
  void SetSkinSection(const std::string& aValue);
  bool CustomColor = false;
  bool CustomFont = false;

private:
  std::string FSkinSection;
};

class TsTabSheet : public TTabSheet {
public:
  explicit TsTabSheet(TComponent* aOwner);
  std::string ClassName() const override { return "TsTabSheet"; }

  // The section of this page's tab instead of the control's default one.
  const std::string& TabSkin() const { return FTabSkin; }
  void SetTabSkin(const std::string& aValue);
  TsTabSkinData SkinData;

protected:
  void WndProc(TMessage& aMessage) override;
  void WMPaint(TMessage& aMessage) override;
  void WMEraseBkgnd(TMessage& aMessage) override;

private:
  // The skinned page control the page is on, or nullptr.
  TsPageControl* SkinnedControl() const;
  // The page's area of the control's cache on aDC, children left out.
  void PaintFromControl(platform::HDC aDC);
  // The skin commands a page answers; true when answered.
  bool HandleSkinCommand(TMessage& aMessage);
  // The skin index of the page's own section, else the control's.
  int SkinIndexOn(const TsPageControl& aControl) const;
  // The control's cache behind the page, drawn or handed over.
  void AnswerParentBg(TsPageControl& aControl, ParentBgInfo& aInfo);

  std::string FTabSkin;
};

enum class TqcTabAlignment { taLeft, taRight, taCenter };

using TTabMouseEvent = std::function<void(TsPageControl* aSender, int aTabIndex)>;

class TsPageControl : public TPageControl {
public:
  explicit TsPageControl(TComponent* aOwner);
  std::string ClassName() const override { return "TsPageControl"; }

  TsCommonData SkinData;
  // Number of visible tabs at the last paint.
  int StoredVisiblePageCount = 0;
  // The section the body was painted with.
  std::string ChangedSkinSection;

  bool ShowFocus = true;
  int TabPadding = 0;
  int TabMargin = 3;
  TqcTabAlignment TabAlignment = TqcTabAlignment::taCenter;
  TTabMouseEvent OnTabMouseEnter;
  TTabMouseEvent OnTabMouseLeave;
  // The tab changes that fade (by default those the skin manager names for
  // buttons).
  TsAnimEvents AnimatEvents = AnimBit(TsAnimEvent::aeGlobalDef);

  // The hot tab (-1: none).
  int CurItem() const { return FCurItem; }
  // A change of the hot tab is fading on screen.
  bool TabFadeRunning() const { return fFadeTimer && fFadeTimer->Enabled(); }
  // The cache is painted and the control shows it.
  bool SkinPaints() const;
  // Renders the body and the tab row into the cache; false when the
  // background behind the control is not ready yet.
  bool PrepareCache();

  // Skin geometry: a tab's rectangle (the active one grown in the tabs
  // style, moved and widened by the skin's tab covering), the body and the
  // row of tabs above it.
  TRect SkinTabRect(int aTabIndex);
  TRect BodyRect();
  TRect TabRowRect();
  // The section a tab is drawn with, and its state: 2 for the active page's
  // tab, 1 for the hot one, 0 otherwise, limited to the section's states.
  int TabSection(int aTabIndex);
  int SkinTabState(int aTabIndex);

  void Invalidate() override;

protected:
  void Loaded() override;
  void WndProc(TMessage& aMessage) override;
  void WMPaint(TMessage& aMessage) override;
  void WMEraseBkgnd(TMessage& aMessage) override;
  void MouseMove(TShiftState aShift, int aX, int aY) override;

private:
  // Draws one tab in state aState at its skin rectangle into aTarget.
  void DrawSkinTab(platform::Bitmap& aTarget, int aTabIndex, int aState);
  // The caption and focus frame of a tab into its bitmap.
  void DrawTabContent(platform::Bitmap& aTab, int aTabIndex, int aState, int aSection);
  // The hot tab changed: the row of tabs fades into its new look (aKind
  // says whether the mouse came onto a tab or left them), or repaints.
  void StartTabFade(TsAnimEvent aKind);
  void SetCurItem(int aTabIndex);
  bool HandleOwnSkinCommand(TMessage& aMessage);

  int FCurItem = -1;
  // Declared last: it goes before everything its fade works on.
  std::unique_ptr<TsFadeTimer> fFadeTimer;
};
