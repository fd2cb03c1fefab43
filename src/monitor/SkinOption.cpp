#include "monitor/SkinOption.h"

#include "skin/data/sSkinFiles.h"
#include "skin/data/sSkinManager.h"
#include "skin/data/sSkinMessages.h"
#include "skin/data/sSkinText.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

void UseSkinOption(TsSkinManager& aManager, const std::string& aPath) {
  if (aPath == NoSkinOption) {
    aManager.SetActive(false);
    return;
  }
  // The manager resolves a relative skin folder against the program's folder,
  // so the path is made absolute against the working folder first.
  std::error_code ec;
  fs::path path = fs::absolute(aPath, ec).lexically_normal();
  if (!path.has_filename())
    path = path.parent_path();
  const bool folder = fs::is_directory(path, ec);
  if (folder && !FileExists((path / "Options.dat").string())) {
    ShowSkinMessage("The skin folder \"" + path.string() + "\" holds no Options.dat",
                    TsMessageKind::mkError);
    return;
  }
  if (!folder && !(fs::is_regular_file(path, ec) && SameText(path.extension().string(), ".qsz"))) {
    ShowSkinMessage("\"" + path.string() + "\" is neither a skin folder nor a .qsz file",
                    TsMessageKind::mkError);
    return;
  }
  // A folder is loaded even when a packed skin of the same name lies beside it.
  aManager.FoldersOnly = folder;
  aManager.SetSkinDirectory(path.parent_path().string());
  aManager.SetSkinName(path.filename().string());
}
