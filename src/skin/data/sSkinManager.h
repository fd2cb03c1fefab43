#pragma once
// TsSkinManager: owns the active skin. Decides where a skin comes from (a
// folder, a ".qsz" file or a stored skin), loads it as a transaction into its
// tables (a failed load keeps the previous skin and name and shows the error),
// answers the lookups by name, and tells every window when the skin changes.
// Runs on the user-interface thread.

#include "platform/win/WinDefs.h"
#include "skin/data/qcSkinPack.h"
#include "skin/data/sShadowTemplates.h"
#include "skin/data/sSkinOptions.h"
#include "skin/data/sSkinTables.h"
#include "skin/data/sStoredSkins.h"
#include "toolkit/Component.h"
#include "toolkit/Control.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// True while a skin is being loaded; controls skip painting meanwhile.
extern bool SkinLoadingFlag;

class TsSkinManager;
// The process-wide default manager (the first one created), or nullptr.
extern TsSkinManager* DefaultManager;
// Standard dialogs are skinned (srStdDialogs and an active default manager).
extern bool StdDialogsSkinned;

enum class TqcSkinTypes { stUnpacked, stPacked, stAllSkins };

enum class TqcSkinningRule { srStdForms, srStdDialogs, srThirdParty };
using TqcSkinningRules = TSet<TqcSkinningRule>;

struct TqcSkinEffects {
  bool AllowAeroBluring = true;
  bool AllowGlowing = true;
  bool AllowOuterEffects = false;
  bool DiscoloredGlyphs = false;
};

struct TqcAnimEffect {
  bool Active = true;
  int Time = 0;
  int Mode = 0;
};

enum class TqcButtonEvent { beMouseEnter, beMouseLeave, beMouseDown, beMouseUp };
using TqcButtonEvents = TSet<TqcButtonEvent>;

struct TqcAnimEffects {
  TqcAnimEffect DialogShow;
  TqcAnimEffect FormShow;
  TqcAnimEffect FormHide;
  TqcAnimEffect DialogHide;
  TqcAnimEffect PageChange;
  TqcAnimEffect Minimizing{true, 120, 0};
  TqcAnimEffect SkinChanging{true, 100, 0};
  struct {
    bool Active = false;
    int BlendValue = 170;
    int Time = 1000;
  } BlendOnMoving;
  struct {
    TqcButtonEvents Events{TqcButtonEvent::beMouseEnter, TqcButtonEvent::beMouseLeave,
                           TqcButtonEvent::beMouseDown, TqcButtonEvent::beMouseUp};
  } Buttons;
};

struct TqcButtonsSupport {
  bool ShowFocusRect = true;
  bool ShiftContentOnClick = true;
};
struct TqcLabelsSupport {
  bool TransparentAlways = true;
};
struct TqcScrollBarsSupport {
  int ScrollSize = -1;
  int ButtonsSize = -1;
};
struct TqcMenuSupport {
  std::string IcoLineSkin; // "ICOLINE" when empty after loading
};

enum class TqcOptimizingPriority { opSpeed, opMemory };

// Manager options; each also sets a process-wide flag of the same meaning,
// and reads true when either is set.
class TqcOptions {
public:
  bool CheckEmptyAlpha() const;
  void SetCheckEmptyAlpha(bool aValue);
  bool NoMouseHover() const;
  void SetNoMouseHover(bool aValue);
  bool NativeBordersMaximized() const;
  void SetNativeBordersMaximized(bool aValue);
  bool StdGlyphsOrder() const;
  void SetStdGlyphsOrder(bool aValue);
  TqcOptimizingPriority OptimizingPriority() const;
  void SetOptimizingPriority(TqcOptimizingPriority aValue);

private:
  bool fCheckEmptyAlpha = false;
  bool fNoMouseHover = false;
  bool fNativeBordersMaximized = false;
  bool fStdGlyphsOrder = false;
  TqcOptimizingPriority fOptimizingPriority = TqcOptimizingPriority::opSpeed;
};

// The class-name lists of standard controls that get skinned, by list name
// ("ThirdEdits", "ThirdButtons" ...), in their published order.
struct ThirdPartyList {
  static const std::vector<std::string>& ListNames();
  std::vector<std::vector<std::string>> Lists = std::vector<std::vector<std::string>>(23);
  std::vector<std::string>& List(const std::string& aName);
  // Empty lists take their default: "TButton" for ThirdButtons, one blank
  // for the others.
  void FillDefaults();
};

using TsManagerEvent = std::function<void(TsSkinManager* aSender)>;

class TsSkinManager : public TComponent, public TsSkinTables {
public:
  explicit TsSkinManager(TComponent* aOwner = nullptr);
  ~TsSkinManager() override;
  std::string ClassName() const override { return "TsSkinManager"; }

  // Setting the name loads the skin (when active).
  const std::string& SkinName() const { return fSkinName; }
  void SetSkinName(const std::string& aValue);
  const std::string& SkinDirectory() const { return fSkinDirectory; }
  void SetSkinDirectory(const std::string& aValue);
  TsStoredSkins InternalSkins;
  bool Active() const { return fActive; }
  void SetActive(bool aValue);
  // Options lines of the application, read after the skin's own.
  const std::vector<std::string>& CommonSections() const { return fCommonSections; }
  void SetCommonSections(const std::vector<std::string>& aLines);
  int HueOffset() const { return fHueOffset; }
  int Saturation() const { return fSaturation; }
  int Brightness() const { return fBrightness; }
  // Each change reloads the current skin with the new colour adjustment.
  void SetHueOffset(int aValue);
  void SetSaturation(int aValue);
  // Brightness is limited to -100..100.
  void SetBrightness(int aValue);
  bool IsDefault() const { return DefaultManager == this; }
  void SetIsDefault(bool aValue);
  const TqcSkinningRules& SkinningRules() const { return fSkinningRules; }
  void SetSkinningRules(const TqcSkinningRules& aValue);

  bool SkinIsPacked = false;
  // Skins are looked for in folders only: a ".qsz" file of the same name is
  // passed over (for tools that check a folder).
  bool FoldersOnly = false;
  TqcSkinEffects Effects;
  TqcAnimEffects AnimEffects;
  TqcButtonsSupport ButtonsOptions;
  TqcLabelsSupport LabelsOptions;
  TqcScrollBarsSupport ScrollsOptions;
  TqcMenuSupport MenuSupport;
  TqcOptions Options;
  ThirdPartyList ThirdParty;

  // Window frames drawn outside the window (shadows); refreshes the shadow
  // templates.
  bool ExtendedBorders() const { return fExtendedBorders; }
  void SetExtendedBorders(bool aValue);
  platform::Bitmap ShdaTemplate;
  platform::Bitmap ShdiTemplate;
  TRect FormShadowSize;
  // Part of the constant indexes: the templates for the current skin.
  void UpdateShadowTemplates();

  TsManagerEvent OnSkinLoading;
  TsManagerEvent OnBeforeChange;
  TsManagerEvent OnAfterChange;
  TsManagerEvent OnActivate;
  TsManagerEvent OnDeactivate;
  TsManagerEvent OnSkinListChanged;

  // The two load paths behind SetSkinName; they raise on failure.
  void ReloadSkin();
  void ReloadPackedSkin();
  bool Loading() const { return ComponentState().Contains(csLoading); }

  // Applies the skin to all windows (when active and not loading).
  void UpdateSkin(bool aRepaint = true);
  // Broadcasts the upper-cased section name with scSectionChanged.
  void UpdateSkinSection(const std::string& aSectionName);
  // Broadcasts scStopFading, then scApplySkin (freezing the forms around it
  // when aDoLockForms), then redraws the adopted windows.
  void RepaintForms(bool aDoLockForms = true);
  // While updating, property changes do not apply or repaint.
  void BeginUpdate() { fNoAutoUpdate = true; }
  void EndUpdate(bool aRepaint = false, bool aAllowAnimation = true);
  bool NoAutoUpdate() const { return fNoAutoUpdate; }
  bool SkinRemoving() const { return fSkinRemoving; }

  // Hover tracking: the window under the mouse and the hot graphic control.
  platform::HWND ActiveControl() const { return fActiveControl; }
  void SetActiveControl(platform::HWND aWindow);
  TControl* ActiveGraphControl() const { return fActiveGraphControl; }
  void SetActiveGraphControl(TControl* aControl);

  // Writes the stored skin's container to "<DestDir>\<Name> extracted.qsz".
  void ExtractInternalSkin(const std::string& aNameOfSkin, const std::string& aDestDir);
  void ExtractByIndex(int aIndex, const std::string& aDestDir);

  std::string GetFullSkinDirectory() const;
  // Fills aList (emptied first) with the skin names; returns the first one
  // ("" when none).
  std::string GetSkinNames(std::vector<std::string>& aList,
                           TqcSkinTypes aSkinType = TqcSkinTypes::stAllSkins) const;
  std::string GetExternalSkinNames(std::vector<std::string>& aList,
                                   TqcSkinTypes aSkinType = TqcSkinTypes::stAllSkins) const;
  std::string GetRandomSkin() const;
  void GetSkinSections(std::vector<std::string>& aList) const;

  // The loaded skin's version ("8.00" as "8"), or "N/A" when none is active.
  std::string SkinInfo() const;
  static std::string Version() { return "9.13"; }

  TColor GetGlobalColor() const { return Palette[pcMainColor]; }
  TColor GetGlobalFontColor() const { return Palette[pcLabelText]; }
  TColor GetActiveEditColor() const { return Palette[pcEditBG]; }
  TColor GetActiveEditFontColor() const { return Palette[pcEditText]; }
  TColor GetHighLightColor(bool aFocused) const {
    return Palette[aFocused ? pcSelectionBG_Focused : pcSelectionBG];
  }
  TColor GetHighLightFontColor(bool aFocused) const {
    return Palette[aFocused ? pcSelectionText_Focused : pcSelectionText];
  }
  bool IsValidSkinIndex(int aSkinIndex) const {
    return fActive && TsSkinTables::IsValidSkinIndex(aSkinIndex);
  }

protected:
  void Loaded() override;

private:
  void LoadFromOptions(const TsSkinOptions& aOptions, const TqcSkinConvertor* aPacked,
                       const std::string& aSkinPath);
  void ApplyVersionRule(double aVersion) const;
  // A ".qsz" file of the skin's name is there to load.
  bool PackedFileExists() const;
  // Adds the folder and ".qsz" skin names to aList and sorts it; returns the
  // first name ("" when none).
  std::string AppendExternalSkinNames(std::vector<std::string>& aList,
                                      TqcSkinTypes aSkinType) const;
  void ReloadCurrent();
  void RemoveSkin();
  void UpdateStdDialogsFlag();
  bool StillHot(TControl* aControl) const;

  std::string fSkinName;
  std::string fSkinDirectory;
  std::vector<std::string> fCommonSections;
  TqcSkinningRules fSkinningRules{TqcSkinningRule::srStdForms, TqcSkinningRule::srStdDialogs,
                                  TqcSkinningRule::srThirdParty};
  bool fActive = true;
  bool fExtendedBorders = false;
  bool fNoAutoUpdate = false;
  bool fSkinRemoving = false;
  int fHueOffset = 0;
  int fSaturation = 0;
  int fBrightness = 0;
  platform::HWND fActiveControl = nullptr;
  TControl* fActiveGraphControl = nullptr;
};

// The skin folder of aDirectory resolved against aProgramDir (with a
// trailing separator) and normalised.
std::string ResolveSkinDirectory(const std::string& aDirectory, const std::string& aProgramDir);
