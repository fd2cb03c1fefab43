#pragma once
// The page control: a row of tabs (or buttons) above a page area in which
// the active tab sheet is shown. Clicking a tab, or the left and right
// arrow keys while the control has the focus, changes the page.

#include "toolkit/CustomControl.h"

#include <vector>

class TPageControl;

class TTabSheet : public TWinControl {
public:
  explicit TTabSheet(TComponent* aOwner);
  ~TTabSheet() override;
  std::string ClassName() const override { return "TTabSheet"; }

  TPageControl* PageControl() const { return fPageControl; }
  // Puts the sheet on a page control (nullptr takes it off).
  void SetPageControl(TPageControl* aPageControl);
  int PageIndex() const;
  int TabIndex() const;
  bool TabVisible() const { return fTabVisible; }
  void SetTabVisible(bool aValue);

protected:
  void WndProc(TMessage& aMessage) override;

private:
  friend class TPageControl;
  TPageControl* fPageControl = nullptr;
  bool fTabVisible = true;
};

enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };
using enum TTabStyle;

// How a tab is drawn: the selected tab (of the active page), a tab of a
// disabled page, the hot-tracked tab, or any other.
enum class TTabState { tabNormal, tabHot, tabSelected, tabDisabled };
using enum TTabState;

using TTabChangingEvent = std::function<void(TObject* aSender, bool& aAllowChange)>;

class TPageControl : public TCustomControl {
public:
  explicit TPageControl(TComponent* aOwner);
  ~TPageControl() override;
  std::string ClassName() const override { return "TPageControl"; }

  int PageCount() const { return int(fPages.size()); }
  TTabSheet* Pages(int aIndex) const;
  TTabSheet* ActivePage() const { return fActivePage; }
  void SetActivePage(TTabSheet* aPage);
  int ActivePageIndex() const;
  void SetActivePageIndex(int aIndex);
  // Moves to the next (or previous) page whose tab is visible; returns
  // whether the page changed.
  bool SelectNextPage(bool aGoForward);

  TTabStyle Style() const { return fStyle; }
  void SetStyle(TTabStyle aValue);
  bool HotTrack() const { return fHotTrack; }
  void SetHotTrack(bool aValue) { fHotTrack = aValue; }
  // The tab under the mouse (-1: none), with HotTrack on.
  int HotTab() const { return fHotTab; }

  // Geometry: the height of the tab row, each visible tab's rectangle (in
  // tab order, -1 when the index has no visible tab) and the page area.
  int TabHeight();
  TRect TabRect(int aTabIndex);
  int TabCount() const;
  int IndexOfTabAt(TPoint aPoint);
  TRect DisplayRect();

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

protected:
  friend class TTabSheet;
  void InsertPage(TTabSheet* aPage);
  void RemovePage(TTabSheet* aPage);
  TTabSheet* TabSheet(int aTabIndex) const;

  void Paint() override;
  void AdjustClientRect(TRect& aRect) const override;
  void AlignControls(TControl* aControl, TRect& aRect) override;
  void WndProc(TMessage& aMessage) override;
  bool WantsKey(platform::WORD aKey) const override;
  void KeyDown(platform::WORD& aKey, TShiftState aShift) override;
  void MouseDown(TMouseButton aButton, TShiftState aShift, int aX, int aY) override;
  void MouseMove(TShiftState aShift, int aX, int aY) override;
  virtual bool CanChange();
  virtual void Change();
  // The state DrawTab gets for a tab: selected first, then disabled, then hot.
  TTabState TabState(int aTabIndex) const;
  // Draws one tab into aRect on Canvas.
  virtual void DrawTab(int aTabIndex, const TRect& aRect, TTabState aState);

private:
  void SetHotTab(int aTabIndex);
  int TabWidth(int aTabIndex);

  std::vector<TTabSheet*> fPages;
  TTabSheet* fActivePage = nullptr;
  TTabStyle fStyle = tsTabs;
  bool fHotTrack = false;
  int fHotTab = -1;
};
