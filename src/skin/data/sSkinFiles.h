#pragma once
// File-system access of the skin data. Skin paths are written with "\" as the
// separator (as stored skin folders and options files write them); here each
// "\" becomes "/" before the file system is asked.

#include "skin/data/qcSkinPack.h"

#include <optional>
#include <string>
#include <vector>

std::string ToNativePath(const std::string& aPath);
bool FileExists(const std::string& aPath);
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
