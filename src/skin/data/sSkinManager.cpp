#include "skin/data/sSkinManager.h"

#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "skin/data/sSkinBroadcast.h"
#include "skin/data/sSkinCommands.h"
#include "skin/data/sSkinFiles.h"
#include "skin/data/sSkinLoader.h"
#include "skin/data/sSkinMessages.h"
#include "skin/data/sSkinText.h"

#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <sstream>

bool SkinLoadingFlag = false;
TsSkinManager* DefaultManager = nullptr;
bool StdDialogsSkinned = false;

namespace {

std::string InternalFormatError(const std::string& aSkinName) {
  return "\"" + aSkinName +
         "\" skin have internal format error. Please update this skin to latest version.";
}

// Keeps SkinLoadingFlag set for the duration of a load path.
class TLoadingFlag {
public:
  TLoadingFlag() { SkinLoadingFlag = true; }
  ~TLoadingFlag() { SkinLoadingFlag = false; }
};

} // namespace

std::string ResolveSkinDirectory(const std::string& aDirectory, const std::string& aProgramDir) {
  std::string p = aProgramDir;
  std::string result = aDirectory;
  if (aDirectory.rfind("..", 0) == 0) {
    std::string trimmed = p.substr(0, p.size() - 1);
    std::size_t cut = trimmed.find_last_of("/\\");
    std::string parent = cut == std::string::npos ? "" : trimmed.substr(0, cut + 1);
    result = parent + (aDirectory.size() > 3 ? aDirectory.substr(3) : "");
  } else if (aDirectory.rfind(".\\", 0) == 0 || aDirectory.rfind("./", 0) == 0) {
    result = p + aDirectory.substr(2);
  } else if (aDirectory == ".") {
    result = p;
  } else if (aDirectory.find(':') == std::string::npos &&
             aDirectory.find("\\\\") == std::string::npos && aDirectory.rfind("/", 0) != 0) {
    // A path from the root of this platform's file system stays as it is.
    result = p + aDirectory;
  }
  return NormalizeDir(result);
}

TsSkinManager::TsSkinManager(TComponent* aOwner) : TComponent(aOwner) {
  InternalSkins.OnChange = [this] {
    if (OnSkinListChanged)
      OnSkinListChanged(this);
  };
  if (!DefaultManager)
    DefaultManager = this;
  // A manager built by a window definition gets its folder from there.
  if (!Loading())
    fSkinDirectory = "c:\\Skins";
  UpdateStdDialogsFlag();
}

TsSkinManager::~TsSkinManager() {
  InternalSkins.OnChange = nullptr;
  SetActive(false);
  SetExtendedBorders(false);
  if (DefaultManager == this) {
    if (SkinEngineHooks().RemoveHook)
      SkinEngineHooks().RemoveHook(this);
    DefaultManager = nullptr;
    StdDialogsSkinned = false;
  }
}

void TsSkinManager::SetSkinDirectory(const std::string& aValue) {
  if (aValue == fSkinDirectory)
    return;
  fSkinDirectory = aValue;
  CommonSkinData.SkinPath = GetFullSkinDirectory();
  if (OnSkinListChanged)
    OnSkinListChanged(this);
}

std::string TsSkinManager::GetFullSkinDirectory() const {
  return ResolveSkinDirectory(fSkinDirectory, ProgramDir());
}

void TsSkinManager::SetCommonSections(const std::vector<std::string>& aLines) {
  fCommonSections.clear();
  for (const auto& line : aLines) {
    if (!line.empty() && line[0] == ';') {
      fCommonSections.push_back(line);
      continue;
    }
    std::string compact;
    for (char c : line)
      if (c != ' ')
        compact += c;
    fCommonSections.push_back(compact);
  }
  if (fActive && !fSkinName.empty() && !Loading())
    SetSkinName(fSkinName);
}

void TsSkinManager::SetSkinName(const std::string& aValue) {
  if (!fActive) {
    fSkinName = aValue;
    return;
  }
  std::string oldName = fSkinName;
  fSkinName = aValue;
  if (OnBeforeChange)
    OnBeforeChange(this);
  SkinLoadingFlag = true;
  CommonSkinData.Active = false;
  if (fSkinName.size() > 4 && UpperCase(fSkinName.substr(fSkinName.size() - 4)) == ".QSZ")
    fSkinName.resize(fSkinName.size() - 4);
  SkinIsPacked = PackedFileExists();
  // A failed load leaves the previous skin's tables; its error shows once
  // they are applied again, so the windows behind the message box look
  // finished rather than half-way through the change.
  std::optional<std::string> loadError;
  try {
    if (SkinIsPacked)
      ReloadPackedSkin();
    else
      ReloadSkin();
  } catch (const std::exception& e) {
    fSkinName = oldName;
    loadError = e.what();
  }
  if (fActive) {
    if (!fNoAutoUpdate)
      UpdateSkin(true);
    if (!Loading() && OnActivate)
      OnActivate(this);
  } else {
    RemoveSkin();
    if (OnDeactivate)
      OnDeactivate(this);
  }
  SkinLoadingFlag = false;
  if (loadError)
    ShowSkinMessage(*loadError, TsMessageKind::mkError);
  if (OnAfterChange)
    OnAfterChange(this);
}

void TsSkinManager::ApplyVersionRule(double aVersion) const {
  if (aVersion < 7.45) {
    if (HasSkinSwitch("/qctest"))
      ShowSkinMessage("You are using an old version of the \"" + fSkinName + "\" skin. " +
                          "Please, update skins to latest or contact the QuillaControls support "
                          "for upgrading of existing skin.\r\n\r\n"
                          "This notification occurs in design-time only for your information "
                          "and will not occur in real-time.",
                      TsMessageKind::mkInformation);
  } else if (aVersion >= 9.99) {
    // The warning itself is a standard dialog; it is shown unskinned.
    bool dialogsSkinned = StdDialogsSkinned;
    StdDialogsSkinned = false;
    ShowSkinMessage("This version of the skin have not complete support by used QuillaControls "
                    "package release.\r\nComponents must be updated up to latest version for "
                    "using this skin.",
                    TsMessageKind::mkWarning);
    StdDialogsSkinned = dialogsSkinned;
  }
}

void TsSkinManager::LoadFromOptions(const TsSkinOptions& aOptions, const TqcSkinConvertor* aPacked,
                                    const std::string& aSkinPath) {
  ApplyVersionRule(ParseSkinVersion(aOptions.ReadString("GLOBALINFO", "VERSION", "")));
  std::optional<TsSkinOptions> common;
  if (!fCommonSections.empty()) {
    std::string text;
    for (const auto& line : fCommonSections)
      text += line + "\n";
    common = TsSkinOptions::FromText(text);
  }
  TsSkinSource source;
  source.Options = &aOptions;
  source.Packed = aPacked;
  source.SkinPath = aSkinPath;
  source.CommonSections = common ? &*common : nullptr;
  source.HueOffset = fHueOffset;
  source.Saturation = fSaturation;
  source.Brightness = fBrightness;
  source.Manager = this;
  // The new skin is built aside and swapped in only when complete.
  TsSkinTables tables;
  tables.CommonSkinData.SkinPath = aSkinPath;
  LoadSkinTables(source, tables);
  tables.CommonSkinData.Active = CommonSkinData.Active;
  static_cast<TsSkinTables&>(*this) = std::move(tables);
  UpdateShadowTemplates();
  if (OnSkinLoading)
    OnSkinLoading(this);
}

void TsSkinManager::ReloadSkin() {
  if (!fActive)
    return;
  TLoadingFlag flag;
  std::string skinPath = GetFullSkinDirectory() + fSkinName + "\\";
  // An options file that is there but cannot be read fails the load; only a
  // missing one leads on to the stored skins.
  std::string optionsFile = skinPath + "Options.dat";
  if (PathExists(optionsFile)) {
    auto bytes = ReadWholeFile(optionsFile);
    if (!bytes)
      throw ESkinError("Cannot open file \"" + optionsFile + "\"");
    SkinIsPacked = false;
    LoadFromOptions(TsSkinOptions::FromBytes(*bytes), nullptr, skinPath);
    return;
  }
  int index = InternalSkins.IndexOf(fSkinName);
  if (index < 0) {
    if (InternalSkins.Count() == 0) {
      SetActive(false);
      return;
    }
    index = 0;
    fSkinName = InternalSkins.Items(0).Name();
  }
  const TBytes& data = InternalSkins.Items(index).PackedData();
  if (data.empty())
    throw ESkinError("Skin \"" + fSkinName + "\" has no data");
  TqcSkinConvertor convertor;
  SkinIsPacked = true;
  UnpackSkinData(data.data(), data.size(), convertor);
  if (!convertor.Options)
    throw ESkinError(InternalFormatError(fSkinName));
  LoadFromOptions(TsSkinOptions::FromBytes(*convertor.Options), &convertor, "");
}

void TsSkinManager::ReloadPackedSkin() {
  if (!fActive)
    return;
  TLoadingFlag flag;
  std::string file = NormalizeDir(fSkinDirectory) + fSkinName + ".qsz";
  std::unique_ptr<TqcSkinConvertor> convertor;
  UnpackSkinFile(file, convertor, true);
  if (!convertor)
    throw ESkinError("Cannot open file \"" + file + "\"");
  if (!convertor->Options)
    throw ESkinError(InternalFormatError(fSkinName));
  LoadFromOptions(TsSkinOptions::FromBytes(*convertor->Options), convertor.get(),
                  GetFullSkinDirectory());
}

void TsSkinManager::SetActive(bool aValue) {
  if (aValue == fActive)
    return;
  fActive = aValue;
  if (fActive) {
    if (!fSkinName.empty())
      SetSkinName(fSkinName);
    UpdateStdDialogsFlag();
    return;
  }
  if (!fSkinName.empty()) {
    if (!SkinLoadingFlag && !Loading())
      RemoveSkin();
    InitConstantIndexes();
    UpdateShadowTemplates();
    UpdateStdDialogsFlag();
    if (OnDeactivate)
      OnDeactivate(this);
  }
}

void TsSkinManager::SetHueOffset(int aValue) {
  if (aValue == fHueOffset)
    return;
  fHueOffset = aValue;
  ReloadCurrent();
}

void TsSkinManager::SetSaturation(int aValue) {
  if (aValue == fSaturation)
    return;
  fSaturation = aValue;
  ReloadCurrent();
}

void TsSkinManager::SetBrightness(int aValue) {
  aValue = std::clamp(aValue, -100, 100);
  if (aValue == fBrightness)
    return;
  fBrightness = aValue;
  ReloadCurrent();
}

bool TsSkinManager::PackedFileExists() const {
  return !FoldersOnly && FileExists(NormalizeDir(fSkinDirectory) + fSkinName + ".qsz");
}

void TsSkinManager::ReloadCurrent() {
  if (!fActive || Loading() || fSkinName.empty())
    return;
  try {
    if (PackedFileExists())
      ReloadPackedSkin();
    else
      ReloadSkin();
  } catch (const std::exception& e) {
    ShowSkinMessage(e.what(), TsMessageKind::mkError);
  }
  if (OnAfterChange)
    OnAfterChange(this);
  if (!fNoAutoUpdate)
    RepaintForms(true);
}

void TsSkinManager::Loaded() {
  TComponent::Loaded();
  if (fSkinDirectory.empty())
    fSkinDirectory = "c:\\Skins";
  if (MenuSupport.IcoLineSkin.empty())
    MenuSupport.IcoLineSkin = "ICOLINE";
  ThirdParty.FillDefaults();
  if (fActive && !fSkinName.empty())
    UpdateSkin(false);
  if (fActive && OnActivate)
    OnActivate(this);
}

void TsSkinManager::UpdateSkin(bool aRepaint) {
  if (!fActive || Loading())
    return;
  auto& hooks = SkinEngineHooks();
  if (hooks.DiscardGlows)
    hooks.DiscardGlows();
  bool minimized = Application && Application->MainForm() &&
                   Application->MainForm()->WindowState() == TWindowState::wsMinimized;
  if (aRepaint && !minimized && hooks.FreezeForms) {
    if (IsDefault() && AnimEffects.SkinChanging.Active)
      WindowAnimationRunning = true;
    hooks.FreezeForms();
  }
  CommonSkinData.Active = false;
  SkinUpdating = true;
  InitConstantIndexes();
  UpdateShadowTemplates();
  BroadcastSkinCommand(scPrepareSkin, platform::LPARAM(this));
  SkinUpdating = false;
  CommonSkinData.Active = !gd.empty();
  if (IsDefault() && hooks.InstallHook)
    hooks.InstallHook(this);
  if (aRepaint)
    RepaintForms(false);
  UpdateStdDialogsFlag();
}

void TsSkinManager::UpdateSkinSection(const std::string& aSectionName) {
  std::string name = UpperCase(aSectionName);
  BroadcastSkinCommand(scSectionChanged, platform::LPARAM(&name));
}

void TsSkinManager::RepaintForms(bool aDoLockForms) {
  auto& hooks = SkinEngineHooks();
  BroadcastSkinCommand(scStopFading, 0);
  if (Loading()) {
    BroadcastSkinCommand(scApplySkin, platform::LPARAM(this));
  } else {
    if (aDoLockForms && hooks.FreezeForms)
      hooks.FreezeForms();
    BroadcastSkinCommand(scApplySkin, platform::LPARAM(this));
    if (hooks.UnfreezeForms)
      hooks.UnfreezeForms(!fNoAutoUpdate, AnimEffects.SkinChanging.Active);
    WindowAnimationRunning = false;
  }
  if (hooks.AdoptedWindows)
    for (platform::HWND window : hooks.AdoptedWindows())
      if (platform::IsWindowVisible(window))
        platform::RedrawWindow(window, nullptr, nullptr,
                               platform::RDW_FRAME | platform::RDW_INVALIDATE |
                                   platform::RDW_ALLCHILDREN | platform::RDW_ERASE |
                                   platform::RDW_UPDATENOW);
}

void TsSkinManager::EndUpdate(bool aRepaint, bool aAllowAnimation) {
  fNoAutoUpdate = false;
  bool animation = AnimEffects.SkinChanging.Active;
  if (!aAllowAnimation)
    AnimEffects.SkinChanging.Active = false;
  UpdateSkin(aRepaint);
  AnimEffects.SkinChanging.Active = animation;
}

void TsSkinManager::RemoveSkin() {
  fSkinRemoving = true;
  auto& hooks = SkinEngineHooks();
  if (hooks.DiscardGlows)
    hooks.DiscardGlows();
  if (hooks.RemoveHook)
    hooks.RemoveHook(this);
  CommonSkinData.Active = false;
  BroadcastSkinCommand(scRemoveSkin, platform::LPARAM(this));
  ma.clear();
  pa.clear();
  gd.clear();
  fSkinRemoving = false;
}

void TsSkinManager::SetIsDefault(bool aValue) {
  if (!aValue && DefaultManager)
    return;
  DefaultManager = this;
  if (fActive)
    UpdateSkin(true);
  else
    RemoveSkin();
  UpdateStdDialogsFlag();
}

void TsSkinManager::SetSkinningRules(const TqcSkinningRules& aValue) {
  fSkinningRules = aValue;
  UpdateStdDialogsFlag();
}

void TsSkinManager::UpdateStdDialogsFlag() {
  if (IsDefault())
    StdDialogsSkinned = fActive && fSkinningRules.Contains(TqcSkinningRule::srStdDialogs);
}

bool TsSkinManager::StillHot(TControl* aControl) const {
  return SkinEngineHooks().ControlStillHot && SkinEngineHooks().ControlStillHot(aControl);
}

void TsSkinManager::SetActiveControl(platform::HWND aWindow) {
  if (aWindow == fActiveControl)
    return;
  platform::HWND previous = fActiveControl;
  if (fActiveControl && fActiveGraphControl) {
    if (StillHot(fActiveGraphControl))
      return;
    SetActiveGraphControl(nullptr);
  }
  fActiveControl = aWindow;
  if (previous)
    platform::SendMessageW(previous, SkinCommandMessage, SkinCommandParam(scHoverLost),
                           platform::LPARAM(this));
  if (aWindow)
    platform::SendMessageW(aWindow, SkinCommandMessage, SkinCommandParam(scHoverGained),
                           platform::LPARAM(this));
}

void TsSkinManager::SetActiveGraphControl(TControl* aControl) {
  if (aControl == fActiveGraphControl)
    return;
  if (!aControl && fActiveGraphControl && StillHot(fActiveGraphControl))
    return;
  TControl* previous = fActiveGraphControl;
  fActiveControl = nullptr;
  fActiveGraphControl = aControl;
  if (previous)
    previous->Perform(SkinCommandMessage, SkinCommandParam(scHoverLost), platform::LPARAM(this));
}

void TsSkinManager::SetExtendedBorders(bool aValue) {
  fExtendedBorders = aValue;
  UpdateShadowTemplates();
}

void TsSkinManager::UpdateShadowTemplates() {
  if (!fActive || !fExtendedBorders) {
    FormShadowSize = {};
    return;
  }
  TsShadowTemplates templates = MakeShadowTemplates(*this);
  ShdaTemplate = std::move(templates.Active);
  ShdiTemplate = std::move(templates.Inactive);
  FormShadowSize = templates.FormShadowSize;
}

void TsSkinManager::ExtractInternalSkin(const std::string& aNameOfSkin,
                                        const std::string& aDestDir) {
  bool found = false;
  for (int i = 0; i < InternalSkins.Count(); ++i) {
    if (InternalSkins.Items(i).Name() != aNameOfSkin)
      continue;
    found = true;
    if (DirectoryExists(aDestDir))
      ExtractByIndex(i, aDestDir);
    else
      ShowSkinMessage("Directory does not exists.", TsMessageKind::mkError);
  }
  if (!found)
    ShowSkinMessage("Skin does not exists.", TsMessageKind::mkError);
}

void TsSkinManager::ExtractByIndex(int aIndex, const std::string& aDestDir) {
  std::string dir = NormalizeDir(aDestDir);
  if (!DirectoryExists(dir) && !ForceDirectories(dir)) {
    ShowSkinMessage("Directory " + dir + " creation error.", TsMessageKind::mkError);
    return;
  }
  const TsStoredSkin& skin = InternalSkins.Items(aIndex);
  std::string file = dir + skin.Name() + " extracted.qsz";
  if (!WriteWholeFile(file, skin.PackedData()))
    ShowSkinMessage("Cannot create file \"" + file + "\"", TsMessageKind::mkError);
}

std::string TsSkinManager::AppendExternalSkinNames(std::vector<std::string>& aList,
                                                   TqcSkinTypes aSkinType) const {
  std::string dir = GetFullSkinDirectory();
  if (aSkinType != TqcSkinTypes::stPacked)
    for (const auto& folder : ListSubFolders(dir))
      if (FileExists(dir + folder + "\\Options.dat"))
        aList.push_back(folder);
  if (aSkinType != TqcSkinTypes::stUnpacked)
    for (const auto& file : ListFiles(dir))
      if (file.size() > 4 && file.substr(file.size() - 4) == ".qsz")
        aList.push_back(file.substr(0, file.find('.')));
  std::sort(aList.begin(), aList.end());
  return aList.empty() ? "" : aList.front();
}

std::string TsSkinManager::GetExternalSkinNames(std::vector<std::string>& aList,
                                                TqcSkinTypes aSkinType) const {
  aList.clear();
  return AppendExternalSkinNames(aList, aSkinType);
}

std::string TsSkinManager::GetSkinNames(std::vector<std::string>& aList,
                                        TqcSkinTypes aSkinType) const {
  aList.clear();
  for (int i = 0; i < InternalSkins.Count(); ++i)
    aList.push_back(InternalSkins.Items(i).Name());
  return AppendExternalSkinNames(aList, aSkinType);
}

std::string TsSkinManager::GetRandomSkin() const {
  std::vector<std::string> names;
  GetSkinNames(names, TqcSkinTypes::stAllSkins);
  if (names.empty())
    return "";
  static std::mt19937 generator{std::random_device{}()};
  return names[std::uniform_int_distribution<std::size_t>(0, names.size() - 1)(generator)];
}

void TsSkinManager::GetSkinSections(std::vector<std::string>& aList) const {
  aList.clear();
  if (!CommonSkinData.Active)
    return;
  for (const auto& section : gd)
    aList.push_back(section.ClassName);
}

std::string TsSkinManager::SkinInfo() const {
  if (!CommonSkinData.Active)
    return "N/A";
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text.precision(15);
  text << CommonSkinData.Version;
  return text.str();
}

namespace {

// Process-wide flags behind TqcOptions.
struct TOptionFlags {
  bool CheckEmptyAlpha = false;
  bool NoMouseHover = false;
  bool NativeBordersMaximized = false;
  bool StdGlyphsOrder = false;
  bool OptimizeMemory = false;
};

TOptionFlags& OptionFlags() {
  static TOptionFlags flags;
  return flags;
}

} // namespace

bool TqcOptions::CheckEmptyAlpha() const {
  return fCheckEmptyAlpha || OptionFlags().CheckEmptyAlpha;
}
void TqcOptions::SetCheckEmptyAlpha(bool aValue) {
  fCheckEmptyAlpha = OptionFlags().CheckEmptyAlpha = aValue;
}
bool TqcOptions::NoMouseHover() const {
  return fNoMouseHover || OptionFlags().NoMouseHover;
}
void TqcOptions::SetNoMouseHover(bool aValue) {
  fNoMouseHover = OptionFlags().NoMouseHover = aValue;
}
bool TqcOptions::NativeBordersMaximized() const {
  return fNativeBordersMaximized || OptionFlags().NativeBordersMaximized;
}
void TqcOptions::SetNativeBordersMaximized(bool aValue) {
  fNativeBordersMaximized = OptionFlags().NativeBordersMaximized = aValue;
}
bool TqcOptions::StdGlyphsOrder() const {
  return fStdGlyphsOrder || OptionFlags().StdGlyphsOrder;
}
void TqcOptions::SetStdGlyphsOrder(bool aValue) {
  fStdGlyphsOrder = OptionFlags().StdGlyphsOrder = aValue;
}
TqcOptimizingPriority TqcOptions::OptimizingPriority() const {
  return OptionFlags().OptimizeMemory ? TqcOptimizingPriority::opMemory : fOptimizingPriority;
}
void TqcOptions::SetOptimizingPriority(TqcOptimizingPriority aValue) {
  fOptimizingPriority = aValue;
  OptionFlags().OptimizeMemory = aValue == TqcOptimizingPriority::opMemory;
}

const std::vector<std::string>& ThirdPartyList::ListNames() {
  static const std::vector<std::string> names = {
      "ThirdEdits",      "ThirdButtons",     "ThirdBitBtns",       "ThirdCheckBoxes",
      "ThirdGroupBoxes", "ThirdListViews",   "ThirdPanels",        "ThirdGrids",
      "ThirdTreeViews",  "ThirdComboBoxes",  "ThirdWWEdits",       "ThirdVirtualTrees",
      "ThirdGridEh",     "ThirdPageControl", "ThirdTabControl",    "ThirdToolBar",
      "ThirdStatusBar",  "ThirdSpeedButton", "ThirdScrollControl", "ThirdUpDown",
      "ThirdScrollBar",  "ThirdStaticText",  "ThirdNativePaint"};
  return names;
}

std::vector<std::string>& ThirdPartyList::List(const std::string& aName) {
  const auto& names = ListNames();
  auto it = std::find(names.begin(), names.end(), aName);
  if (it == names.end())
    throw std::out_of_range("no third-party list named " + aName);
  return Lists[std::size_t(it - names.begin())];
}

void ThirdPartyList::FillDefaults() {
  const auto& names = ListNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (Lists[i].empty())
      Lists[i] = {names[i] == "ThirdButtons" ? "TButton" : " "};
}
