#pragma once
// The --skin option: the skin the monitor window shows instead of the built-in
// one, or none at all.

#include <string>

class TsSkinManager;

// The --skin value that runs the window without a skin.
inline constexpr const char* NoSkinOption = "none";

// Makes aManager use the skin at aPath: a skin folder holding Options.dat or a
// packed ".qsz" file (any letter case); NoSkinOption switches the skin off. It
// goes through the manager's properties, so a skin that fails to load gets the
// manager's own handling: the error shows and the skin loaded before stays. A
// path that is neither a skin folder nor a packed skin shows its error the
// same way and changes nothing.
void UseSkinOption(TsSkinManager& aManager, const std::string& aPath);
