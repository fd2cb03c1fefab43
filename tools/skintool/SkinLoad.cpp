#include "SkinLoad.h"

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
  aManager.SetSkinDirectory(path.parent_path().string());
  if (isFolder && !fs::is_regular_file(path / "Options.dat", ec))
    return "\"" + aPath + "\" holds no Options.dat";
  return FirstLoadError([&] { aManager.SetSkinName(name); });
}
