#pragma once
// TsCommonData: the skin data every skinned control and window frame owns. It
// ties its owner to a section of the skin manager, keeps the indexes resolved
// from it, the cache bitmap with the flag that says it is stale, and the
// visual state (focused, mouse above). The skin commands and the parent
// background exchange that act on it are in sSkinCommandHandler, sControlMessages
// and sParentBg. User-interface thread only.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/win/WinDefs.h"
#include "skin/data/sSkinTypes.h"
#include "skin/paint/sSkinOwner.h"

#include <memory>
#include <string>
#include <vector>

class TControl;
class TWinControl;
class TForm;
class TsSkinManager;
class TsCommonData;

// CtrlSkinState bits.
inline constexpr platform::WORD cssPlain = 0x0001;       // one colour: children fill with it
inline constexpr platform::WORD cssNotComputed = 0x0002; // the plain state is not known yet
inline constexpr platform::WORD cssPrinting = 0x0200;    // PrintDC is set
inline constexpr platform::WORD cssInUpdate = 0x0800;    // inside BeginUpdate

// Border mask DrawMode bits.
inline constexpr int dmNoBorderInNormal = 2; // the border is not drawn in the normal state
inline constexpr int dmPaintCentre = 4;      // the centre is painted too

// BGType bits; the low two bits give the kind of the first gradient piece.
inline constexpr platform::WORD bgtImage = 0x0004;

// The plain-background classification of PlainBackgroundKind.
enum class TqcPlainKind { NotPlain = 0, Plain = 1, Unknown = 2 };

enum TqcOuterVisibility { ovNone = 0, ovAlways = 1 };

// The outer effect (shadow) settings of a control.
class TqcOuterEffects {
public:
  explicit TqcOuterEffects(TsCommonData* aOwner) : FOwner(aOwner) {}
  TqcOuterVisibility Visibility() const { return FVisibility; }
  // A new value invalidates the parent, unless the owner is loading.
  void SetVisibility(TqcOuterVisibility aValue);
  // Tells the owner control's parent to repaint (scInvalidate).
  void Invalidate();

private:
  TsCommonData* FOwner;
  TqcOuterVisibility FVisibility = ovNone;
};

inline constexpr TColor clNoColorTone = 0x1FFFFFFF;

class TsCommonData {
public:
  // The owner is a control (windowed or not) or a window-frame component.
  TsCommonData(TControl* aOwner, bool aCreateCacheBmp);
  TsCommonData(TsFrameOwner* aOwner, bool aCreateCacheBmp);
  virtual ~TsCommonData();
  TsCommonData(const TsCommonData&) = delete;
  TsCommonData& operator=(const TsCommonData&) = delete;

  // The owner finished loading: resolves the section (the kind's default when
  // empty) and applies the skin colours.
  void Loaded();

  // Stored upper-cased; a change re-resolves and tells the owner.
  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& aValue);
  // The explicit manager, else the default one (may be nullptr).
  TsSkinManager* SkinManager() const;
  void SetSkinManager(TsSkinManager* aValue);
  bool ManagerStored() const { return FSkinManager != nullptr; }
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool aValue);
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool aValue);
  TqcOuterEffects& OuterEffects() { return FOuterEffects; }
  TColor ColorTone() const { return FColorTone; }
  void SetColorTone(TColor aValue);
  int HUEOffset() const { return FHUEOffset; }
  void SetHUEOffset(int aValue);
  int Saturation() const { return FSaturation; }
  void SetSaturation(int aValue);

  // Owners.
  TControl* OwnerControl() const { return FOwnerControl; }
  // The owner control when it has a window of its own, else nullptr.
  TWinControl* WindowedOwner() const;
  TsFrameOwner* FrameOwner() const { return FFrameOwner; }
  // The window of the owner: the owner control's (when made) or the framed form's.
  platform::HWND OwnerWindow() const;
  bool OwnerLoading() const;
  bool OwnerDestroying() const;
  bool OwnerDesigning() const;

  // The section record, or nullptr when not resolved.
  const TsGeneralData* Section() const;
  // The section's border mask entry, or nullptr.
  const TsMaskData* BorderMask() const;
  // The section has any of the four corner images.
  bool HasCornerImages() const;
  // The state record of a state (0 normal, 1 hot) within the section's states.
  const TsGenState& StateProps(int aState) const;

  // Section resolution.
  void UpdateIndexes(bool aUpdateMain = true);
  void ChooseDefaultSection();
  // Takes the first name the skin defines.
  void FirstKnownSection(const std::vector<std::string>& aSections);

  // Plain state.
  TqcPlainKind PlainBackgroundKind() const;
  void RefreshPlainState(bool aRecurse);

  // Colours.
  TColor StateBackgroundColor(int aState) const;
  // The owner's colour as RGB (a frame: its form's; none: button face).
  TColor OwnerColor() const;
  // Sets the owner's colours from the skin's state record.
  void ApplySkinColors(bool aRepaint);
  // Switches the owner's colours to those of a state (0 normal, 1 hot);
  // returns whether either changed.
  bool SwitchStateColors(int aState);

  // Queries.
  bool Skinned(bool aCheckSkinActive = false) const;
  bool IsUpdating() const;
  bool CheckUpdating(bool aClearFirst);
  bool HasOwnBackground() const;
  bool ShowsHotState() const;
  bool RepaintIfMoved() const;
  bool OuterEffectsAllowed() const;
  int WidestBorder() const;
  // Both states are 100 % transparent.
  bool FullyTransparent() const;

  // Updating and painting.
  void BeginUpdate();
  void EndUpdate(bool aRepaint);
  void Invalidate(bool aUpdateNow);
  void InitCacheBmp();
  platform::Bitmap* CacheBmp() const { return FCacheBmp.get(); }
  // Makes the cache 0 x 0 (when there is one).
  void EmptyCache();
  // The cache exists and is not 0 x 0.
  bool CacheFilled() const { return FCacheBmp && !FCacheBmp->Empty(); }

  bool Focused() const { return FFocused; }
  void SetFocused(bool aValue) { FFocused = aValue; }
  bool MouseAbove() const { return FMouseAbove; }
  void SetMouseAbove(bool aValue) { FMouseAbove = aValue; }
  bool Updating() const { return FUpdating; }
  void SetUpdating(bool aValue) { FUpdating = aValue; }
  int UpdateCount() const { return FUpdateCount; }
  // The manager went away: forget it.
  void ForgetManager(const TsSkinManager* aManager);

  // The glow around the owner follows its hot state: shown while the mouse
  // is above the enabled owner (when the skin, the manager and the section
  // have glows), hidden otherwise. With aRefresh an existing glow is hidden.
  void ShowGlowIfHot(bool aRefresh);
  void HideGlow();

  int GlowID = -1; // the glow shown around the owner, -1: none
  bool Loading = true;
  int BorderIndex = -1;
  int SkinIndex = -1;
  int Texture = -1;
  int HotTexture = -1;
  bool HalfVisible = true;
  int COC = 0;
  platform::WORD CtrlSkinState = cssNotComputed;
  platform::WORD BGType = 0;
  platform::HDC PrintDC = nullptr;
  TRect InvalidRectH{0, 0, 0, 0};
  TRect InvalidRectV{0, 0, 0, 0};
  bool BGChanged = true;

private:
  // Setters of the colour filters and of the custom-colour flags.
  template <class T>
  void SetFilter(T& aField, T aValue);
  void SetCustomFlag(bool& aField, bool aValue);
  void ComputeBGType();
  void SendToOwner(platform::WORD aCommand, platform::LPARAM aValue = 0);
  // Tells the owner control that its skin came or went.
  void AnnounceSkin();
  // The kind's default section name.
  std::string DefaultSectionName() const;

  std::string FSkinSection;
  bool FCustomFont = false;
  bool FCustomColor = false;
  int FUpdateCount = 0;
  TqcOuterEffects FOuterEffects{this};
  TColor FColorTone = clNoColorTone;
  int FHUEOffset = 0;
  int FSaturation = 0;
  bool FUpdating = false;
  TsSkinManager* FSkinManager = nullptr;
  TControl* FOwnerControl = nullptr;
  TsFrameOwner* FFrameOwner = nullptr;
  std::unique_ptr<platform::Bitmap> FCacheBmp;
  bool FFocused = false;
  bool FMouseAbove = false;
};

// The skin data with the colour filters published.
class TsCtrlSkinData : public TsCommonData {
public:
  using TsCommonData::TsCommonData;
};

// Scroll-bar sizes of a scrolling control; -1 takes the skin's.
class TqcScrollData {
public:
  explicit TqcScrollData(TsCommonData* aOwner) : FOwner(aOwner) {}
  int ScrollWidth() const { return FScrollWidth; }
  void SetScrollWidth(int aValue);
  int ButtonsSize() const { return FButtonsSize; }
  void SetButtonsSize(int aValue);

private:
  void Changed();
  TsCommonData* FOwner;
  int FScrollWidth = -1;
  int FButtonsSize = -1;
};

// The skin data of a control with skinned scroll bars.
class TsScrollWndData : public TsCommonData {
public:
  using TsCommonData::TsCommonData;
  TqcScrollData& HorzScrollData() { return FHorzScrollData; }
  TqcScrollData& VertScrollData() { return FVertScrollData; }

private:
  TqcScrollData FHorzScrollData{this};
  TqcScrollData FVertScrollData{this};
};

// The windowed control of aControl, or nullptr for a windowless one.
TWinControl* AsWindowed(TControl* aControl);
