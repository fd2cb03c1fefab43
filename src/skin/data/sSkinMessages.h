#pragma once
// Messages of the skin engine to the user, and the command-line switches that
// ask for some of them ("/qctest", "/qcver"). Runs on the user-interface thread.

#include <functional>
#include <string>
#include <vector>

enum class TsMessageKind { mkError, mkWarning, mkInformation };

// Shows a message in a modal box with an OK button and the icon of its kind:
// through the handler when one is set, else in the application's message box,
// else (no application object) on the standard error stream.
using TsMessageHandler = std::function<void(const std::string& aText, TsMessageKind aKind)>;
void SetSkinMessageHandler(TsMessageHandler aHandler);
void ShowSkinMessage(const std::string& aText, TsMessageKind aKind);

// The program's arguments (without the program name); read from the process
// unless set.
void SetSkinCommandLine(std::vector<std::string> aArguments);
const std::vector<std::string>& SkinCommandLine();
// An argument equals aSwitch, compared case-insensitively.
bool HasSkinSwitch(const std::string& aSwitch);

// The skin engine's version text.
inline constexpr const char* SkinEngineVersionText = "QuillaControls v9.13";
// At program start: shows the version text when "/qcver" was given.
void ShowSkinEngineVersionIfAsked();
