#pragma once
// The status bar: a row of panels with widths and texts along the bottom of
// its parent, or one simple text across the whole bar.

#include "toolkit/CustomControl.h"
#include "toolkit/Panel.h"

#include <memory>
#include <vector>

enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };
using enum TStatusPanelBevel;

// psText: the bar writes the panel's text; psOwnerDraw: OnDrawPanel paints it.
enum class TStatusPanelStyle { psText, psOwnerDraw };
using enum TStatusPanelStyle;

class TStatusBar;
class TStatusPanel;

// Paints an owner-drawn panel on the bar's Canvas inside aRect (within the
// panel's bevel ring).
using TDrawPanelEvent =
    std::function<void(TStatusBar* aStatusBar, TStatusPanel& aPanel, const TRect& aRect)>;

class TStatusPanel {
public:
  explicit TStatusPanel(TStatusBar& aBar) : fBar(aBar) {}
  const std::string& Text() const { return fText; }
  void SetText(const std::string& aText);
  int Width() const { return fWidth; }
  void SetWidth(int aValue);
  TAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TAlignment aValue);
  TStatusPanelBevel Bevel() const { return fBevel; }
  void SetBevel(TStatusPanelBevel aValue);
  TStatusPanelStyle Style() const { return fStyle; }
  void SetStyle(TStatusPanelStyle aValue);
  // The panel's position in the bar.
  int Index() const;

private:
  TStatusBar& fBar;
  std::string fText;
  int fWidth = 50;
  TAlignment fAlignment = taLeftJustify;
  TStatusPanelBevel fBevel = pbLowered;
  TStatusPanelStyle fStyle = psText;
};

class TStatusPanels {
public:
  explicit TStatusPanels(TStatusBar& aBar) : fBar(aBar) {}
  int Count() const { return int(fPanels.size()); }
  TStatusPanel& Items(int aIndex);
  TStatusPanel& operator[](int aIndex) { return Items(aIndex); }
  TStatusPanel& Add();
  int IndexOf(const TStatusPanel* aPanel) const;
  void Delete(int aIndex);
  void Clear();

private:
  TStatusBar& fBar;
  std::vector<std::unique_ptr<TStatusPanel>> fPanels;
};

class TStatusBar : public TCustomControl {
public:
  explicit TStatusBar(TComponent* aOwner);
  std::string ClassName() const override { return "TStatusBar"; }

  TStatusPanels& Panels() { return fPanels; }
  bool SimplePanel() const { return fSimplePanel; }
  void SetSimplePanel(bool aValue);
  const std::string& SimpleText() const { return fSimpleText; }
  void SetSimpleText(const std::string& aText);
  bool SizeGrip() const { return fSizeGrip; }
  void SetSizeGrip(bool aValue);

  // Panel i starts where panel i - 1 ends and is its Width wide; the last
  // one reaches the bar's right edge (less the size grip's 18 pixels).
  TRect PanelRect(int aIndex) const;
  // The size grip's square at the bottom-right corner (empty without it).
  TRect SizeGripRect() const;
  static constexpr int SizeGripWidth = 18;

  // A panel, the simple mode or the size grip changed: the bar repaints.
  virtual void PanelsChanged();

  TDrawPanelEvent OnDrawPanel;

protected:
  void Paint() override;
  // Paints an owner-drawn panel inside its ring: OnDrawPanel when set.
  virtual void DrawPanel(TStatusPanel& aPanel, const TRect& aRect);

private:
  // One panel's ring and content in aRect; aPanel is nullptr for the simple
  // text.
  void PaintPanel(const TRect& aRect, TStatusPanel* aPanel);
  void PaintSizeGrip();

  TStatusPanels fPanels;
  bool fSimplePanel = false;
  std::string fSimpleText;
  bool fSizeGrip = true;
};
