#pragma once
// TsSkinManager: owns the active skin. Decides where a skin comes from (a
// folder, a ".qsz" file or a stored skin), loads it as a transaction into its
// tables (a failed load keeps the previous skin and name and shows the error),
// and answers the lookups by name. Runs on the user-interface thread.

#include "skin/data/qcSkinPack.h"
#include "skin/data/sShadowTemplates.h"
#include "skin/data/sSkinOptions.h"
#include "skin/data/sSkinTables.h"
#include "skin/data/sStoredSkins.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// True while a skin is being loaded; controls skip painting meanwhile.
extern bool SkinLoadingFlag;

enum class TqcSkinTypes { stUnpacked, stPacked, stAllSkins };

class TsSkinManager;
using TsManagerEvent = std::function<void(TsSkinManager* aSender)>;

class TsSkinManager : public TsSkinTables {
public:
  TsSkinManager();
  virtual ~TsSkinManager();
  TsSkinManager(const TsSkinManager&) = delete;
  TsSkinManager& operator=(const TsSkinManager&) = delete;

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

  bool SkinIsPacked = false;

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

  // Loading bracket of the window definition: while it is open, setting the
  // name loads at once but applying waits for Loaded.
  void BeginLoading() { fLoading = true; }
  void Loaded();
  bool Loading() const { return fLoading; }

  // Writes the stored skin's container to "<DestDir>\<Name> extracted.qsz".
  void ExtractInternalSkin(const std::string& aNameOfSkin, const std::string& aDestDir);
  void ExtractByIndex(int aIndex, const std::string& aDestDir);

  std::string GetFullSkinDirectory() const;
  // Fills aList with the skin names; returns the first one ("" when none).
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
  // Applies the loaded skin to the windows (and marks it active).
  virtual void ApplySkin(bool aRepaint);
  // Removes the skin from the windows and frees the tables.
  virtual void RemoveSkin();

private:
  void LoadFromOptions(const TsSkinOptions& aOptions, const TqcSkinConvertor* aPacked,
                       const std::string& aSkinPath);
  void ApplyVersionRule(double aVersion) const;
  void ReloadCurrent();

  std::string fSkinName;
  std::string fSkinDirectory;
  std::vector<std::string> fCommonSections;
  bool fActive = true;
  bool fLoading = false;
  bool fExtendedBorders = false;
  int fHueOffset = 0;
  int fSaturation = 0;
  int fBrightness = 0;
};

// The skin folder of aDirectory resolved against aProgramDir (with a
// trailing separator) and normalised.
std::string ResolveSkinDirectory(const std::string& aDirectory, const std::string& aProgramDir);
