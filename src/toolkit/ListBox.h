#pragma once
// The list box, built on the platform's "LISTBOX" class: lines of text with
// one selected line, a native vertical scroll bar, and optional owner
// drawing of fixed-height lines. While the control has no window its lines
// are kept here and handed to the window when it is made.

#include "toolkit/Canvas.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrlDefs.h"
#include "toolkit/WinControl.h"

#include <string>
#include <vector>

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed };
using enum TListBoxStyle;

enum class TOwnerDrawStateFlag { odSelected, odFocused, odDisabled };
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
using enum TOwnerDrawStateFlag;

class TCustomListBox;
using TDrawItemEvent =
    std::function<void(TObject* aSender, int aIndex, const TRect& aRect, TOwnerDrawState aState)>;

// The lines of a list box.
class TListBoxStrings {
public:
  explicit TListBoxStrings(TCustomListBox& aOwner) : fOwner(aOwner) {}
  int Count() const;
  std::string Strings(int aIndex) const;
  std::string operator[](int aIndex) const { return Strings(aIndex); }
  // Returns the new line's index.
  int Add(const std::string& aText);
  void Insert(int aIndex, const std::string& aText);
  void Delete(int aIndex);
  void Clear();
  int IndexOf(const std::string& aText) const;
  void Assign(const std::vector<std::string>& aLines);

private:
  TCustomListBox& fOwner;
};

class TCustomListBox : public TWinControl {
public:
  explicit TCustomListBox(TComponent* aOwner);
  std::string ClassName() const override { return "TListBox"; }

  TListBoxStrings& Items() { return fItems; }
  int Count() const { return fItems.Count(); }
  // The selected line, -1 for none. Setting it scrolls it into view and
  // does not fire OnClick.
  int ItemIndex() const;
  void SetItemIndex(int aIndex);
  // Height of every line. Once set it holds in both styles and through font
  // changes; until then a standard list takes its font's line height.
  int ItemHeight() const;
  void SetItemHeight(int aValue);
  int TopIndex() const;
  void SetTopIndex(int aIndex);
  TListBoxStyle Style() const { return fStyle; }
  void SetStyle(TListBoxStyle aValue);
  // bsSingle: a sunken edge around the list; bsNone: none.
  TFormBorderStyle BorderStyle() const { return fBorderStyle; }
  void SetBorderStyle(TFormBorderStyle aValue);
  // Typing a character selects the next line starting with it.
  bool AutoComplete() const { return fAutoComplete; }
  void SetAutoComplete(bool aValue) { fAutoComplete = aValue; }
  // The line's rectangle in client coordinates.
  TRect ItemRect(int aIndex) const;
  // The line at a client point, -1 when there is none there.
  int ItemAtPos(TPoint aPoint) const;

  TCanvas& Canvas() { return fCanvas; }
  TDrawItemEvent OnDrawItem;

protected:
  friend class TListBoxStrings;

  void CreateParams(TCreateParams& aParams) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& aMessage) override;
  bool WantsKey(platform::WORD aKey) const override;

  // Paints one owner-drawn line on Canvas.
  virtual void DrawItem(int aIndex, const TRect& aRect, TOwnerDrawState aState);
  // Line bookkeeping for subclasses that keep data per line.
  virtual void ItemInserted(int aIndex) { (void)aIndex; }
  virtual void ItemDeleted(int aIndex) { (void)aIndex; }
  virtual void ItemsCleared() {}

  platform::LRESULT SendList(platform::UINT aMsg, platform::WPARAM aWParam,
                             platform::LPARAM aLParam) const;
  void CheckIndex(int aIndex) const;
  // The text of line aIndex as the window holds it.
  std::string LineText(int aIndex) const;
  // Whether the lines keep ItemHeight whatever the font.
  bool KeepsItemHeight() const;

private:
  void CNCommand(TMessage& aMessage);
  void CNCtlColorListBox(TMessage& aMessage);
  void CNDrawItem(TMessage& aMessage);
  void WMSetFont(TMessage& aMessage);
  // A typed character while incremental search is off: a key press only.
  void CharWithoutSearch(TMessage& aMessage);
  // Canvas on aDC with the colours of a line drawn in aState.
  void PrepareCanvas(platform::HDC aDC, TOwnerDrawState aState);

  TListBoxStrings fItems;
  TCanvas fCanvas;
  TListBoxStyle fStyle = lbStandard;
  TFormBorderStyle fBorderStyle = bsSingle;
  bool fAutoComplete = true;
  int fItemHeight = 13;
  bool fItemHeightSet = false;
  // Lines and state while there is no window.
  std::vector<std::string> fSaved;
  int fSavedIndex = -1;
  int fSavedTop = 0;
};

class TListBox : public TCustomListBox {
public:
  using TCustomListBox::TCustomListBox;
};
