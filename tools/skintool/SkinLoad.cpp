#include "SkinLoad.h"

#include "skin/data/sSkinFiles.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessages.h"
#include "skin/data/sSkinText.h"

#include <filesystem>

namespace fs = std::filesystem;

std::optional<std::string> FirstLoadError(const std::function<void()>& aLoad) {
  std::optional<std::string> error;
  SetSkinMessageHandler([&](const std::string& aText, TsMessageKind aKind) {
    if (aKind == TsMessageKind::mkError && !error)
      error = aText;
  });
  aLoad();
  SetSkinMessageHandler(nullptr);
  return error;
}

std::optional<std::string> LoadSkinPath(TsSkinManager& aManager, const std::string& aPath) {
  const fs::path path = fs::absolute(aPath);
  const std::string name = path.filename().string();
  std::error_code ec;
  const bool isFolder = fs::is_directory(path, ec);
  const bool isPacked = !isFolder && fs::is_regular_file(path, ec) && name.size() > 4 &&
                        UpperCase(name.substr(name.size() - 4)) == ".QSZ";
  if (!isFolder && !isPacked)
    return "\"" + aPath + "\" is neither a skin folder nor a .qsz file";
  // A folder is loaded even when a ".qsz" file of its name lies beside it.
  aManager.FoldersOnly = isFolder;
  aManager.SetSkinDirectory(path.parent_path().string());
  if (isFolder && !PathExists((path / "Options.dat").string()))
    return "\"" + aPath + "\" holds no Options.dat";
  // The manager finds a packed skin by its name with the extension ".qsz";
  // a file of that name in another letter case must be the one given.
  if (isPacked) {
    const std::string byName =
        FindNativePath((path.parent_path() / (name.substr(0, name.size() - 4) + ".qsz")).string());
    if (!fs::equivalent(byName, path, ec))
      return "\"" + aPath + "\" cannot be loaded by its name: \"" + byName + "\" is found first";
  }
  return FirstLoadError([&] { aManager.SetSkinName(name); });
}
