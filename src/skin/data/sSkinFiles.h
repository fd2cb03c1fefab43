#pragma once
// File-system access of the skin data. Skin paths are written with "\" as the
// separator (as stored skin folders and options files write them); here each
// "\" becomes "/" before the file system is asked. Skins are also written for
// file systems that ignore letter case, so the lookups below (FileExists,
// PathExists and ReadWholeFile) fall back to a name in another letter case when
// the exact one is missing. Folder tests and writes use names as given.

#include "skin/data/qcSkinPack.h"

#include <optional>
#include <string>
#include <vector>

std::string ToNativePath(const std::string& aPath);
// The native path of aPath when it names an existing entry; else, folder by
// folder from the first missing one, the entry whose name equals the wanted
// one when ASCII letter case is ignored (the first in byte order when several
// do). A path that cannot be matched comes back as ToNativePath gives it.
std::string FindNativePath(const std::string& aPath);
bool FileExists(const std::string& aPath);
// True when anything (a file, a folder or another entry) is at the path.
bool PathExists(const std::string& aPath);
bool DirectoryExists(const std::string& aPath);
// Creates the folder and its missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& aPath);
// The whole file, or nothing when it cannot be read.
std::optional<TBytes> ReadWholeFile(const std::string& aPath);
// Writes (replacing) the file; false when that fails.
bool WriteWholeFile(const std::string& aPath, const TBytes& aData);
// Names of the folder's sub-folders or regular files (not sorted).
std::vector<std::string> ListSubFolders(const std::string& aDir);
std::vector<std::string> ListFiles(const std::string& aDir);
// The folder of the running program, with a trailing "/".
std::string ProgramDir();
