#include "skin/data/sSkinMessages.h"

#include "skin/data/sSkinText.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrlDefs.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>

namespace {

TsMessageHandler& Handler() {
  static TsMessageHandler handler;
  return handler;
}

std::optional<std::vector<std::string>>& CommandLine() {
  static std::optional<std::vector<std::string>> arguments;
  return arguments;
}

std::vector<std::string> ReadProcessArguments() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> arguments;
  std::size_t pos = 0;
  while (pos < all.size()) {
    std::size_t end = all.find('\0', pos);
    if (end == std::string::npos)
      end = all.size();
    arguments.push_back(all.substr(pos, end - pos));
    pos = end + 1;
  }
  if (!arguments.empty())
    arguments.erase(arguments.begin());
  return arguments;
}

} // namespace

void SetSkinMessageHandler(TsMessageHandler aHandler) {
  Handler() = std::move(aHandler);
}

void ShowSkinMessage(const std::string& aText, TsMessageKind aKind) {
  if (Handler()) {
    Handler()(aText, aKind);
    return;
  }
  if (Application) {
    platform::UINT icon = aKind == TsMessageKind::mkError     ? platform::MB_ICONERROR
                          : aKind == TsMessageKind::mkWarning ? platform::MB_ICONWARNING
                                                              : platform::MB_ICONINFORMATION;
    Application->MessageBox(aText, Application->Title(), platform::MB_OK | icon);
    return;
  }
  const char* prefix = aKind == TsMessageKind::mkError     ? "Error: "
                       : aKind == TsMessageKind::mkWarning ? "Warning: "
                                                           : "";
  std::cerr << prefix << aText << std::endl;
}

void SetSkinCommandLine(std::vector<std::string> aArguments) {
  CommandLine() = std::move(aArguments);
}

const std::vector<std::string>& SkinCommandLine() {
  if (!CommandLine())
    CommandLine() = ReadProcessArguments();
  return *CommandLine();
}

bool HasSkinSwitch(const std::string& aSwitch) {
  for (const auto& argument : SkinCommandLine())
    if (SameText(argument, aSwitch))
      return true;
  return false;
}

void ShowSkinEngineVersionIfAsked() {
  if (HasSkinSwitch("/qcver"))
    ShowSkinMessage(SkinEngineVersionText, TsMessageKind::mkInformation);
}
