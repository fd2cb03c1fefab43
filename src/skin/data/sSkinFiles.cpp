#include "skin/data/sSkinFiles.h"

#include "skin/data/sSkinText.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

std::string ToNativePath(const std::string& aPath) {
  std::string native = aPath;
  for (char& c : native)
    if (c == '\\')
      c = '/';
  return native;
}

namespace {

// The entry of aPath, matched in letter case only where the exact name is
// missing.
fs::path FindEntry(const fs::path& aPath) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(aPath, ec)) || !aPath.has_filename() ||
      aPath.parent_path() == aPath)
    return aPath;
  fs::path parent = aPath.parent_path();
  fs::path folder = parent.empty() ? parent : FindEntry(parent);
  std::string wanted = aPath.filename().string();
  std::optional<std::string> found;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
       !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (SameText(name, wanted) && (!found || name < *found))
      found = name;
  }
  return found ? folder / *found : aPath;
}

} // namespace

std::string FindNativePath(const std::string& aPath) {
  return aPath.empty() ? aPath : FindEntry(ToNativePath(aPath)).string();
}

bool FileExists(const std::string& aPath) {
  std::error_code ec;
  return !aPath.empty() && fs::is_regular_file(FindNativePath(aPath), ec);
}

bool PathExists(const std::string& aPath) {
  std::error_code ec;
  return !aPath.empty() && fs::exists(FindNativePath(aPath), ec);
}

bool DirectoryExists(const std::string& aPath) {
  std::error_code ec;
  return !aPath.empty() && fs::is_directory(ToNativePath(aPath), ec);
}

bool ForceDirectories(const std::string& aPath) {
  std::error_code ec;
  fs::create_directories(ToNativePath(aPath), ec);
  return DirectoryExists(aPath);
}

std::optional<TBytes> ReadWholeFile(const std::string& aPath) {
  std::string path = FindNativePath(aPath);
  std::error_code ec;
  if (aPath.empty() || !fs::is_regular_file(path, ec))
    return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  TBytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad())
    return std::nullopt;
  return data;
}

bool WriteWholeFile(const std::string& aPath, const TBytes& aData) {
  std::ofstream out(ToNativePath(aPath), std::ios::binary | std::ios::trunc);
  if (!out)
    return false;
  out.write(reinterpret_cast<const char*>(aData.data()), std::streamsize(aData.size()));
  out.close();
  return !out.fail();
}

namespace {

std::vector<std::string> ListEntries(const std::string& aDir, bool aFolders) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(ToNativePath(aDir), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    bool isFolder = it->is_directory(typeError);
    bool isFile = it->is_regular_file(typeError);
    if ((aFolders && isFolder) || (!aFolders && isFile))
      names.push_back(it->path().filename().string());
  }
  return names;
}

} // namespace

std::vector<std::string> ListSubFolders(const std::string& aDir) {
  return ListEntries(aDir, true);
}

std::vector<std::string> ListFiles(const std::string& aDir) {
  return ListEntries(aDir, false);
}

std::string ProgramDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec)
    return "./";
  std::string dir = exe.parent_path().string();
  return dir.empty() || dir.back() != '/' ? dir + "/" : dir;
}
