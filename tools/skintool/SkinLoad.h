#pragma once
// Loading a skin for the tool's commands the way the program loads it, with
// the loader's first error as the outcome.

#include <functional>
#include <optional>
#include <string>

class TsSkinManager;

// Runs aLoad and returns the first error message the skin loader showed
// while it ran, or nothing when it showed none.
std::optional<std::string> FirstLoadError(const std::function<void()>& aLoad);

// Loads the skin folder or ".qsz" file at aPath into aManager; the error is
// the loader's first one, or says why aPath cannot be a skin.
std::optional<std::string> LoadSkinPath(TsSkinManager& aManager, const std::string& aPath);
