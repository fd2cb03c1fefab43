#include "skin/paint/sCommonData.h"

#include "platform/gfx/Raster.h"
#include "platform/gfx/SystemColors.h"
#include "platform/win/Input.h"
#include "platform/win/Paint.h"
#include "platform/win/Window.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinText.h"
#include "skin/paint/pixels/ColorFilters.h"
#include "skin/paint/pixels/PixelOps.h"
#include "skin/paint/qcGlow.h"
#include "skin/paint/sControlCodes.h"
#include "skin/paint/sParentBg.h"
#include "toolkit/Forms.h"
#include "toolkit/PageControl.h"
#include "toolkit/Panel.h"

#include <algorithm>

using platform::LPARAM;

namespace {

// A texture entry drawn over everything (draw kind 10) never leaves a plain
// background.
constexpr int OverlayDrawMode = 10;

// Windows of kinds whose plain state children ask for.
bool KeepsPlainState(TControl* aControl) {
  return dynamic_cast<TPanel*>(aControl) != nullptr ||
         dynamic_cast<TPageControl*>(aControl) != nullptr ||
         dynamic_cast<TForm*>(aControl) != nullptr;
}

// Sends scBgChanged (argument 1) to every child, and on through children that
// are not skinned themselves.
void NotifyChildrenBgChanged(TWinControl* aParent) {
  for (int i = 0; i < aParent->ControlCount(); ++i) {
    TControl* child = aParent->Controls(i);
    SendSkinCommand(child, scBgChanged, 0, 1);
    if (TWinControl* w = AsWindowed(child); w && SendSkinCommand(w, scIsSkinned) != 1)
      NotifyChildrenBgChanged(w);
  }
}

constexpr platform::UINT InvalidateAllFlags = platform::RDW_INVALIDATE | platform::RDW_FRAME |
                                              platform::RDW_ALLCHILDREN | platform::RDW_ERASE;

} // namespace

TWinControl* AsWindowed(TControl* aControl) {
  return aControl != nullptr ? aControl->AsWindowed() : nullptr;
}

// ---- TqcOuterEffects ----

void TqcOuterEffects::SetVisibility(TqcOuterVisibility aValue) {
  if (aValue == FVisibility)
    return;
  FVisibility = aValue;
  if (!FOwner->OwnerLoading())
    Invalidate();
}

void TqcOuterEffects::Invalidate() {
  TControl* owner = FOwner->OwnerControl();
  if (owner == nullptr || owner->Parent() == nullptr)
    return;
  TWinControl* parent = owner->Parent();
  const auto& state = parent->ComponentState();
  if (parent->HandleAllocated() && !state.Contains(csLoading) && !state.Contains(csDestroying))
    SendSkinCommand(parent, scInvalidate);
}

// ---- TqcScrollData ----

void TqcScrollData::SetScrollWidth(int aValue) {
  if (aValue != FScrollWidth) {
    FScrollWidth = aValue;
    Changed();
  }
}

void TqcScrollData::SetButtonsSize(int aValue) {
  if (aValue != FButtonsSize) {
    FButtonsSize = aValue;
    Changed();
  }
}

void TqcScrollData::Changed() {
  if (platform::HWND window = FOwner->OwnerWindow())
    platform::RedrawWindow(window, nullptr, nullptr,
                           platform::RDW_FRAME | platform::RDW_INVALIDATE);
}

// ---- construction ----

TsCommonData::TsCommonData(TControl* aOwner, bool aCreateCacheBmp) : FOwnerControl(aOwner) {
  if (aCreateCacheBmp)
    FCacheBmp = std::make_unique<platform::Bitmap>();
}

TsCommonData::TsCommonData(TsFrameOwner* aOwner, bool aCreateCacheBmp) : FFrameOwner(aOwner) {
  if (aCreateCacheBmp)
    FCacheBmp = std::make_unique<platform::Bitmap>();
}

TsCommonData::~TsCommonData() {
  HideGlow();
}

void TsCommonData::Loaded() {
  Loading = false;
  ChooseDefaultSection();
  if (!Skinned() || FOwnerControl == nullptr || FOwnerControl->Parent() == nullptr ||
      OwnerLoading())
    return;
  if (TWinControl* w = WindowedOwner())
    if (TForm* form = GetParentForm(w); form != nullptr && form != w)
      SendSkinCommand(form, scControlLoaded, LPARAM(w));
  ApplySkinColors(false);
}

// ---- owners ----

TWinControl* TsCommonData::WindowedOwner() const {
  return FOwnerControl ? AsWindowed(FOwnerControl) : nullptr;
}

platform::HWND TsCommonData::OwnerWindow() const {
  TWinControl* w = WindowedOwner();
  if (w == nullptr && FFrameOwner != nullptr)
    w = FFrameOwner->FramedForm();
  return w != nullptr && w->HandleAllocated() ? w->Handle() : nullptr;
}

bool TsCommonData::OwnerLoading() const {
  return FOwnerControl && FOwnerControl->ComponentState().Contains(csLoading);
}

bool TsCommonData::OwnerDestroying() const {
  return FOwnerControl && FOwnerControl->ComponentState().Contains(csDestroying);
}

bool TsCommonData::OwnerDesigning() const {
  return FOwnerControl && FOwnerControl->ComponentState().Contains(csDesigning);
}

// ---- properties ----

TsSkinManager* TsCommonData::SkinManager() const {
  return FSkinManager ? FSkinManager : DefaultManager;
}

void TsCommonData::ForgetManager(const TsSkinManager* aManager) {
  if (FSkinManager == aManager)
    FSkinManager = nullptr;
}

void TsCommonData::SetSkinSection(const std::string& aValue) {
  std::string value = UpperCase(aValue);
  if (value == FSkinSection)
    return;
  FSkinSection = std::move(value);
  TsSkinManager* manager = SkinManager();
  if (manager != nullptr && !manager->gd.empty())
    UpdateIndexes(true);
  else
    SkinIndex = -1;
  if (FFrameOwner != nullptr) {
    BGChanged = true;
    return;
  }
  if (FOwnerControl == nullptr || FOwnerControl->Parent() == nullptr)
    return;
  const auto& state = FOwnerControl->ComponentState();
  if (state.Contains(csLoading) || state.Contains(csReading) || state.Contains(csDestroying))
    return;
  if (TWinControl* w = WindowedOwner()) {
    EmptyCache();
    NotifyChildrenBgChanged(w);
  }
  if (!FUpdating && !Loading)
    AnnounceSkin();
}

void TsCommonData::SetSkinManager(TsSkinManager* aValue) {
  FSkinManager = aValue == DefaultManager ? nullptr : aValue;
  if (OwnerLoading())
    return;
  TsSkinManager* manager = SkinManager();
  if (manager != nullptr && !manager->gd.empty())
    UpdateIndexes(true);
  else
    SkinIndex = -1;
  if (FOwnerControl != nullptr && FOwnerControl->Parent() != nullptr && !OwnerDestroying())
    AnnounceSkin();
}

void TsCommonData::AnnounceSkin() {
  SendToOwner(Skinned() ? scApplySkin : scRemoveSkin, LPARAM(SkinManager()));
}

void TsCommonData::SetCustomFlag(bool& aField, bool aValue) {
  if (aValue == aField)
    return;
  aField = aValue;
  if (!OwnerLoading() && !Loading)
    ApplySkinColors(true);
}

void TsCommonData::SetCustomColor(bool aValue) {
  SetCustomFlag(FCustomColor, aValue);
}

void TsCommonData::SetCustomFont(bool aValue) {
  SetCustomFlag(FCustomFont, aValue);
}

template <class T>
void TsCommonData::SetFilter(T& aField, T aValue) {
  if (aValue == aField)
    return;
  aField = aValue;
  Loaded();
  Invalidate(false);
}

void TsCommonData::SetColorTone(TColor aValue) {
  SetFilter(FColorTone, aValue);
}

void TsCommonData::SetHUEOffset(int aValue) {
  SetFilter(FHUEOffset, aValue);
}

void TsCommonData::SetSaturation(int aValue) {
  SetFilter(FSaturation, aValue);
}

// ---- section resolution ----

const TsGeneralData* TsCommonData::Section() const {
  const TsSkinManager* manager = SkinManager();
  if (manager == nullptr || !manager->TsSkinTables::IsValidSkinIndex(SkinIndex))
    return nullptr;
  return &manager->gd[std::size_t(SkinIndex)];
}

const TsMaskData* TsCommonData::BorderMask() const {
  const TsSkinManager* manager = SkinManager();
  if (manager == nullptr || !manager->IsValidImgIndex(BorderIndex))
    return nullptr;
  return &manager->ma[std::size_t(BorderIndex)];
}

bool TsCommonData::HasCornerImages() const {
  const TsSkinManager* manager = SkinManager();
  const TsGeneralData* section = Section();
  return section != nullptr &&
         (manager->IsValidImgIndex(section->ImgTL) || manager->IsValidImgIndex(section->ImgTR) ||
          manager->IsValidImgIndex(section->ImgBL) || manager->IsValidImgIndex(section->ImgBR));
}

const TsGenState& TsCommonData::StateProps(int aState) const {
  const TsGeneralData& section = *Section();
  return section.Props[aState > 0 && section.States > 1 ? 1 : 0];
}

void TsCommonData::UpdateIndexes(bool aUpdateMain) {
  BGChanged = true;
  const TsSkinManager* manager = SkinManager();
  if (aUpdateMain)
    SkinIndex = manager != nullptr && manager->Active() ? manager->GetSkinIndex(FSkinSection) : -1;
  ComputeBGType();
  CtrlSkinState = cssNotComputed;
  if (Section() != nullptr) {
    BorderIndex = Section()->BorderIndex;
    Texture = manager->GetTextureIndex(SkinIndex, FSkinSection, "PATTERN");
    HotTexture = manager->GetTextureIndex(SkinIndex, FSkinSection, "HOTPATTERN");
    RefreshPlainState(false);
  } else {
    BorderIndex = Texture = HotTexture = -1;
  }
}

void TsCommonData::ComputeBGType() {
  BGType = 0;
  const TsGeneralData* section = Section();
  if (section == nullptr)
    return;
  const TsGenState& normal = section->Props[0];
  if (normal.ImagePercent != 0)
    BGType |= bgtImage;
  if (normal.GradientPercent != 0 && !normal.GradientArray.empty())
    switch (normal.GradientArray.front().Mode1) {
    case 0:
      BGType |= 2;
      break;
    case 1:
      BGType |= 1;
      break;
    case 2:
      BGType |= 3;
      break;
    default:
      break;
    }
}

std::string TsCommonData::DefaultSectionName() const {
  const TqcDefaultSectionRule rule = DefaultSectionOf(COC);
  if (rule.Kind == TqcDefaultSection::Named)
    return rule.Name;
  if (FOwnerControl != nullptr)
    return FOwnerControl->ClassName();
  return FFrameOwner != nullptr ? FFrameOwner->OwnerClassName() : std::string();
}

void TsCommonData::ChooseDefaultSection() {
  if (!FSkinSection.empty())
    UpdateIndexes(true);
  else if (DefaultSectionOf(COC).Kind == TqcDefaultSection::SliderOrLow)
    FirstKnownSection({"SLIDER_OFF", "PANEL_LOW"});
  else
    SetSkinSection(DefaultSectionName());
}

void TsCommonData::FirstKnownSection(const std::vector<std::string>& aSections) {
  const TsSkinManager* manager = SkinManager();
  if (manager == nullptr) {
    SkinIndex = -1;
    return;
  }
  for (const std::string& name : aSections) {
    const int index = manager->GetSkinIndex(name);
    if (index >= 0) {
      FSkinSection = name;
      SkinIndex = index;
      UpdateIndexes(false);
      return;
    }
  }
}

// ---- plain state ----

TqcPlainKind TsCommonData::PlainBackgroundKind() const {
  const TsSkinManager* manager = SkinManager();
  const TsGeneralData* section = Section();
  if (manager == nullptr || section == nullptr)
    return TqcPlainKind::Plain;
  if (OuterEffectsAllowed())
    return TqcPlainKind::NotPlain;
  if (BorderMask() != nullptr && (BorderMask()->DrawMode & dmPaintCentre) != 0)
    return TqcPlainKind::NotPlain;
  const TsGenState& normal = section->Props[0];
  if (normal.Transparency == 100) {
    if (manager->IsValidImgIndex(Texture) &&
        manager->ma[std::size_t(Texture)].DrawMode == OverlayDrawMode)
      return TqcPlainKind::NotPlain;
    if (FOwnerControl == nullptr || FOwnerControl->Parent() == nullptr)
      return TqcPlainKind::NotPlain;
    TWinControl* parent = FOwnerControl->Parent();
    if (!parent->HandleAllocated())
      return TqcPlainKind::Unknown;
    if (SendSkinCommand(parent, scIsSkinned) == 1)
      return (SendSkinCommand(parent, scQuerySkinState) & cssPlain) != 0 ? TqcPlainKind::Plain
                                                                         : TqcPlainKind::NotPlain;
    return TqcPlainKind::Plain;
  }
  if (normal.Transparency > 0 || normal.ImagePercent != 0 || normal.GradientPercent != 0)
    return TqcPlainKind::NotPlain;
  if (FFrameOwner != nullptr && FFrameOwner->PaintsCustomFrame())
    return TqcPlainKind::NotPlain;
  return HasCornerImages() ? TqcPlainKind::NotPlain : TqcPlainKind::Plain;
}

void TsCommonData::RefreshPlainState(bool aRecurse) {
  CtrlSkinState &= platform::WORD(~cssPlain);
  if (FOwnerControl != nullptr) {
    if (KeepsPlainState(FOwnerControl)) {
      const TqcPlainKind kind = PlainBackgroundKind();
      if (kind == TqcPlainKind::Unknown)
        return;
      if (kind == TqcPlainKind::Plain)
        CtrlSkinState |= cssPlain;
      CtrlSkinState &= platform::WORD(~cssNotComputed);
    }
    if (TWinControl* w = WindowedOwner(); w != nullptr && aRecurse)
      SendSkinCommandToChildren(w, scQuerySkinState, 0, 1);
  } else if (FFrameOwner != nullptr) {
    switch (PlainBackgroundKind()) {
    case TqcPlainKind::Plain:
      CtrlSkinState = platform::WORD((CtrlSkinState | cssPlain) & ~cssNotComputed);
      break;
    case TqcPlainKind::NotPlain:
      CtrlSkinState = 0;
      break;
    case TqcPlainKind::Unknown:
      break;
    }
  }
}

// ---- colours ----

TColor TsCommonData::OwnerColor() const {
  if (FOwnerControl != nullptr)
    return ColorToRGB(FOwnerControl->Color());
  if (FFrameOwner != nullptr && FFrameOwner->FramedForm() != nullptr)
    return ColorToRGB(FFrameOwner->FramedForm()->Color());
  return ColorToRGB(clBtnFace);
}

TColor TsCommonData::StateBackgroundColor(int aState) const {
  if (!Skinned() || FCustomColor)
    return OwnerColor();
  const TsGenState& props = StateProps(aState);
  const TColor color = ColorToRGB(TColor(props.Color));
  if (props.Transparency >= 100)
    return ParentPlainColor(*this, ColorToRGB(clBtnFace));
  if (props.Transparency > 0)
    return ColorMix(ParentPlainColor(*this, ColorToRGB(clBtnFace)), color,
                    props.Transparency / 100.0);
  return color;
}

bool TsCommonData::SwitchStateColors(int aState) {
  BGChanged = true;
  if (FOwnerControl == nullptr || Section() == nullptr)
    return false;
  const TsGenState& props = StateProps(aState);
  const auto skinColor = [this](int aColor) {
    TColor c = ColorToRGB(TColor(aColor));
    if (FHUEOffset != 0)
      c = HueShiftColor(c, FHUEOffset);
    if (FSaturation != 0)
      c = platform::raster::ColorOf(SaturationShift(platform::raster::PixelOf(c), FSaturation));
    return c;
  };
  bool changed = false;
  if (!FCustomColor) {
    const TColor c = skinColor(props.Color);
    changed = FOwnerControl->Color() != c;
    if (changed)
      FOwnerControl->SetColor(c);
  }
  if (!FCustomFont && COC != 10) {
    const TColor c = skinColor(props.FontColor.Color);
    if (FOwnerControl->Font().Color() != c) {
      FOwnerControl->Font().SetColor(c);
      changed = true;
    }
  }
  return changed;
}

void TsCommonData::ApplySkinColors(bool aRepaint) {
  TWinControl* w = WindowedOwner();
  if (Skinned() && IsSkinColorCode(COC) && !FullyTransparent() &&
      (w == nullptr || w->HandleAllocated()))
    SwitchStateColors(0);
  if (aRepaint)
    Invalidate(false);
}

// ---- queries ----

bool TsCommonData::Skinned(bool aCheckSkinActive) const {
  const TsSkinManager* manager = SkinManager();
  if (manager == nullptr || manager->ComponentState().Contains(csDestroying) || OwnerDestroying() ||
      !manager->TsSkinTables::IsValidSkinIndex(SkinIndex))
    return false;
  return !aCheckSkinActive || (manager->Active() && manager->CommonSkinData.Active);
}

bool TsCommonData::FullyTransparent() const {
  const TsGeneralData* section = Section();
  return section != nullptr && section->Props[0].Transparency == 100 &&
         section->Props[1].Transparency == 100;
}

bool TsCommonData::IsUpdating() const {
  const TsSkinManager* manager = SkinManager();
  if (manager == nullptr || manager->ComponentState().Contains(csDesigning))
    return false;
  if (FUpdating)
    return true;
  if (OwnerDestroying())
    return false;
  TWinControl* parent = nullptr;
  if (FOwnerControl != nullptr)
    parent = FOwnerControl->Parent();
  else if (FFrameOwner != nullptr && FFrameOwner->FramedForm() != nullptr)
    parent = FFrameOwner->FramedForm()->Parent();
  return parent != nullptr && SendSkinCommand(parent, scQueryUpdating) != 0;
}

bool TsCommonData::CheckUpdating(bool aClearFirst) {
  if (aClearFirst)
    FUpdating = false;
  if (!IsUpdating())
    return false;
  FUpdating = true;
  return true;
}

bool TsCommonData::OuterEffectsAllowed() const {
  const TsSkinManager* manager = SkinManager();
  return (WindowedOwner() != nullptr || FFrameOwner != nullptr) && manager != nullptr &&
         manager->Effects.AllowOuterEffects;
}

bool TsCommonData::HasOwnBackground() const {
  if ((CtrlSkinState & cssPlain) == 0 || OuterEffectsAllowed())
    return true;
  return !IsContainerCode(COC) && ShowsHotState();
}

bool TsCommonData::ShowsHotState() const {
  if (FOwnerControl == nullptr || OwnerDestroying() || OwnerDesigning() ||
      !FOwnerControl->Enabled())
    return false;
  if (FFocused)
    return true;
  if (TWinControl* w = WindowedOwner();
      w != nullptr && w->HandleAllocated() && platform::GetFocus() == w->Handle())
    return COC != cocPanel;
  const TsSkinManager* manager = SkinManager();
  return FMouseAbove && manager != nullptr && !manager->Options.NoMouseHover() &&
         !IsNeverHotCode(COC);
}

bool TsCommonData::RepaintIfMoved() const {
  if (!Skinned() || FOwnerControl == nullptr || dynamic_cast<TTabSheet*>(FOwnerControl) ||
      !FOwnerControl->Enabled())
    return true;
  TWinControl* parent = FOwnerControl->Parent();
  if (Section()->Props[0].Transparency > 0 && parent != nullptr && parent->HandleAllocated())
    return SendSkinCommand(parent, scQueryRepaintOnMove) != 0;
  return false;
}

int TsCommonData::WidestBorder() const {
  const TsMaskData* mask = BorderMask();
  if (mask == nullptr || (mask->DrawMode & dmNoBorderInNormal) != 0)
    return 0;
  return std::max({int(mask->WL), int(mask->WT), int(mask->WR), int(mask->WB)});
}

// ---- updating and painting ----

void TsCommonData::SendToOwner(platform::WORD aCommand, LPARAM aValue) {
  if (FOwnerControl != nullptr)
    SendSkinCommand(FOwnerControl, aCommand, aValue);
  else if (FFrameOwner != nullptr && FFrameOwner->FramedForm() != nullptr)
    SendSkinCommand(FFrameOwner->FramedForm(), aCommand, aValue);
}

void TsCommonData::BeginUpdate() {
  ++FUpdateCount;
  FUpdating = true;
  CtrlSkinState |= cssInUpdate;
  SendToOwner(scBeginUpdate);
}

void TsCommonData::EndUpdate(bool aRepaint) {
  --FUpdateCount;
  FUpdating = false;
  CtrlSkinState &= platform::WORD(~cssInUpdate);
  SendToOwner(scEndUpdate);
  if (aRepaint)
    Invalidate(true);
}

void TsCommonData::Invalidate(bool aUpdateNow) {
  if (Loading || OwnerLoading() || OwnerDestroying())
    return;
  BGChanged = true;
  const platform::UINT flags = InvalidateAllFlags | (aUpdateNow ? platform::RDW_UPDATENOW : 0);
  if (FOwnerControl == nullptr) {
    if (platform::HWND window = OwnerWindow())
      platform::RedrawWindow(window, nullptr, nullptr, flags);
    return;
  }
  TWinControl* w = WindowedOwner();
  const bool canPaint = (w == nullptr || w->HandleAllocated()) &&
                        !FOwnerControl->ControlState().Contains(csCreating) &&
                        !FOwnerControl->ComponentState().Contains(csReading) &&
                        FOwnerControl->Parent() != nullptr;
  if (!canPaint)
    return;
  if (w == nullptr)
    FOwnerControl->Repaint();
  else
    platform::RedrawWindow(w->Handle(), nullptr, nullptr, flags);
}

void TsCommonData::InitCacheBmp() {
  if (!FCacheBmp)
    FCacheBmp = std::make_unique<platform::Bitmap>();
  if (FOwnerControl == nullptr)
    return;
  const int w = std::max(FOwnerControl->Width(), 0);
  const int h = std::max(FOwnerControl->Height(), 0);
  if (FCacheBmp->Width() != w || FCacheBmp->Height() != h)
    FCacheBmp->SetSize(w, h);
}

void TsCommonData::EmptyCache() {
  if (FCacheBmp)
    *FCacheBmp = platform::Bitmap();
}

// ---- glow ----

void TsCommonData::HideGlow() {
  ::HideGlow(GlowID);
}

void TsCommonData::ShowGlowIfHot(bool aRefresh) {
  TsSkinManager* manager = SkinManager();
  const TsGeneralData* section = Section();
  if (manager == nullptr || !manager->Effects.AllowGlowing || section == nullptr ||
      manager->Options.NoMouseHover() || section->GlowCount < 1)
    return;
  if (!FMouseAbove || FOwnerControl == nullptr || !FOwnerControl->Enabled() ||
      (aRefresh && GlowID >= 0)) {
    HideGlow();
    return;
  }
  const platform::HWND window = OwnerWindow();
  if (GlowID >= 0 || window == nullptr)
    return;
  // The owner's screen rectangle and the part of it its parents show.
  const TPoint origin = FOwnerControl->ClientToScreen({0, 0});
  const TRect bounds{origin.X, origin.Y, origin.X + FOwnerControl->Width(),
                     origin.Y + FOwnerControl->Height()};
  TRect visible = bounds;
  for (TWinControl* parent = FOwnerControl->Parent(); parent != nullptr;
       parent = parent->Parent()) {
    const TPoint at = parent->ClientToScreen({0, 0});
    visible = visible.Intersect(
        {at.X, at.Y, at.X + parent->ClientWidth(), at.Y + parent->ClientHeight()});
  }
  ShowGlow(GlowID, bounds, visible.Offset(-bounds.Left, -bounds.Top), FSkinSection, this, manager,
           platform::GetAncestor(window, platform::GA_ROOT), 255, section->GlowMargin, "GLOW");
}
