#pragma once
// The label: windowless text painted by its parent. With AutoSize it takes
// the size of its text; with a FocusControl its accelerator ('&' before a
// letter) focuses that control, and PlaceLeftOf puts it beside one.

#include "toolkit/CustomControl.h"
#include "toolkit/Panel.h"

enum class TTextLayout { tlTop, tlCenter, tlBottom };
using enum TTextLayout;

class TLabel : public TGraphicControl {
public:
  explicit TLabel(TComponent* aOwner);
  ~TLabel() override;
  std::string ClassName() const override { return "TLabel"; }

  TAlignment Alignment() const { return fAlignment; }
  void SetAlignment(TAlignment aValue);
  TTextLayout Layout() const { return fLayout; }
  void SetLayout(TTextLayout aValue);
  bool AutoSize() const { return fAutoSize; }
  void SetAutoSize(bool aValue);
  bool WordWrap() const { return fWordWrap; }
  void SetWordWrap(bool aValue);
  bool Transparent() const { return fTransparent; }
  void SetTransparent(bool aValue);
  bool ShowAccelChar() const { return fShowAccelChar; }
  void SetShowAccelChar(bool aValue);

  TWinControl* FocusControl() const { return fFocusControl; }
  void SetFocusControl(TWinControl* aControl);
  // Places the label left of aControl, aSpacing pixels away, centred on it
  // vertically, on the same parent; it follows the control's moves when
  // called again (the bound label's owner calls it on changes).
  void PlaceLeftOf(TControl* aControl, int aSpacing);

  // The text size for the current font and caption.
  TSize TextSize();

protected:
  void Paint() override;
  void WndProc(TMessage& aMessage) override;
  void Notification(TComponent* aComponent, TOperation aOperation) override;
  void Loaded() override;
  platform::UINT TextFormat() const;
  void AdjustBounds();

private:
  TAlignment fAlignment = taLeftJustify;
  TTextLayout fLayout = tlTop;
  bool fAutoSize = true;
  bool fWordWrap = false;
  bool fTransparent = false;
  bool fShowAccelChar = true;
  TWinControl* fFocusControl = nullptr;
};
