#pragma once
// TqcCtrlAdapter: skins the standard controls of a form whose frame provider
// came from the window hook (a message box), so that the form looks like a
// part of the skinned program. A plain push button gets skin data of the
// BUTTON section in front of its WindowProc and then paints, fades and glows
// as a skinned button does (TsButtonSkin): normal, hot, pressed, default,
// focused and disabled, its caption over the skinned client. Controls whose
// Tag has bit $100 and controls that are skinned already (they answer
// scIsSkinned with 1) are left alone; such forms hold no other standard
// control. Owned by the provider; freed with it or when the skin goes, which
// gives every button its own procedure back. User-interface thread only.

#include "toolkit/Component.h"

#include <memory>
#include <vector>

class TControl;
class TWinControl;
class TsCommonData;

class TqcCtrlAdapter : public TComponent {
public:
  explicit TqcCtrlAdapter(TComponent* aOwner);
  ~TqcCtrlAdapter() override;
  std::string ClassName() const override { return "TqcCtrlAdapter"; }

  // Adapts aParent when it is of a kind the adapter skins, and every control
  // inside it.
  void AddAllItems(TWinControl* aParent);
  // Adapts one control when it is of a kind the adapter skins and not
  // skinned yet.
  void AddNewItem(TControl* aControl);
  // The skin data the adapter gave aControl, or nullptr.
  TsCommonData* SkinDataOf(const TControl* aControl) const;
  int Count() const { return int(fItems.size()); }

protected:
  void Notification(TComponent* aComponent, TOperation aOperation) override;

private:
  class TqcButtonWnd;
  std::vector<std::unique_ptr<TqcButtonWnd>> fItems;
};
