#include "skin/data/sSkinManager.h"

#include "skin/data/sSkinFiles.h"
#include "skin/data/sSkinLoader.h"
#include "skin/data/sSkinMessages.h"
#include "skin/data/sSkinText.h"

#include <algorithm>
#include <random>
#include <sstream>

bool SkinLoadingFlag = false;

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

TsSkinManager::TsSkinManager() {
  InternalSkins.OnChange = [this] {
    if (OnSkinListChanged)
      OnSkinListChanged(this);
  };
}

TsSkinManager::~TsSkinManager() {
  InternalSkins.OnChange = nullptr;
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
  if (fActive && !fSkinName.empty() && !fLoading)
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
  SkinIsPacked = FileExists(NormalizeDir(fSkinDirectory) + fSkinName + ".qsz");
  try {
    if (SkinIsPacked)
      ReloadPackedSkin();
    else
      ReloadSkin();
  } catch (const std::exception& e) {
    fSkinName = oldName;
    ShowSkinMessage(e.what(), TsMessageKind::mkError);
  }
  if (fActive) {
    if (!fLoading) {
      ApplySkin(true);
      if (OnActivate)
        OnActivate(this);
    }
  } else {
    RemoveSkin();
    if (OnDeactivate)
      OnDeactivate(this);
  }
  SkinLoadingFlag = false;
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
    ShowSkinMessage("This version of the skin have not complete support by used QuillaControls "
                    "package release.\r\nComponents must be updated up to latest version for "
                    "using this skin.",
                    TsMessageKind::mkWarning);
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
  static_cast<TsSkinTables&>(*this) = std::move(tables);
  if (OnSkinLoading)
    OnSkinLoading(this);
}

void TsSkinManager::ReloadSkin() {
  if (!fActive)
    return;
  TLoadingFlag flag;
  std::string skinPath = GetFullSkinDirectory() + fSkinName + "\\";
  if (auto bytes = ReadWholeFile(skinPath + "Options.dat")) {
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
    return;
  }
  if (!fSkinName.empty() && !SkinLoadingFlag) {
    RemoveSkin();
    InitConstantIndexes();
    UpdateShadowTemplates();
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

void TsSkinManager::ReloadCurrent() {
  if (!fActive || fLoading || fSkinName.empty())
    return;
  try {
    if (FileExists(NormalizeDir(fSkinDirectory) + fSkinName + ".qsz"))
      ReloadPackedSkin();
    else
      ReloadSkin();
  } catch (const std::exception& e) {
    ShowSkinMessage(e.what(), TsMessageKind::mkError);
  }
  if (OnAfterChange)
    OnAfterChange(this);
  ApplySkin(true);
}

void TsSkinManager::Loaded() {
  fLoading = false;
  if (fSkinDirectory.empty())
    fSkinDirectory = "c:\\Skins";
  if (fActive && !fSkinName.empty())
    ApplySkin(false);
  if (fActive && OnActivate)
    OnActivate(this);
}

void TsSkinManager::ApplySkin(bool) {
  CommonSkinData.Active = false;
  InitConstantIndexes();
  UpdateShadowTemplates();
  CommonSkinData.Active = fActive && !gd.empty();
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

void TsSkinManager::RemoveSkin() {
  CommonSkinData.Active = false;
  ma.clear();
  pa.clear();
  gd.clear();
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

std::string TsSkinManager::GetExternalSkinNames(std::vector<std::string>& aList,
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

std::string TsSkinManager::GetSkinNames(std::vector<std::string>& aList,
                                        TqcSkinTypes aSkinType) const {
  aList.clear();
  for (int i = 0; i < InternalSkins.Count(); ++i)
    aList.push_back(InternalSkins.Items(i).Name());
  return GetExternalSkinNames(aList, aSkinType);
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
  text << CommonSkinData.Version;
  return text.str();
}
