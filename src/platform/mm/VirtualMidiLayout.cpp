#include "platform/mm/VirtualMidiLayout.h"

namespace platform {

namespace {

std::string_view Trim(std::string_view aText) {
  const auto first = aText.find_first_not_of(" \t");
  if (first == std::string_view::npos)
    return {};
  const auto last = aText.find_last_not_of(" \t");
  return aText.substr(first, last - first + 1);
}

bool ParseNames(std::string_view aKey, std::string_view aList,
                std::vector<VirtualMidiPortSpec>& aPorts, std::string& aError) {
  if (Trim(aList).empty())
    return true;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = aList.find(',', start);
    std::string_view name = Trim(aList.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
    VirtualMidiPortSpec port;
    if (!name.empty() && name.back() == '*') {
      port.Exclusive = true;
      name = Trim(name.substr(0, name.size() - 1));
    }
    if (name.empty()) {
      aError = "empty port name in '" + std::string(aKey) + "=" + std::string(aList) + "'";
      return false;
    }
    port.Name = std::string(name);
    aPorts.push_back(std::move(port));
    if (comma == std::string_view::npos)
      return true;
    start = comma + 1;
  }
}

} // namespace

bool ParseVirtualMidiLayout(std::string_view aText, VirtualMidiLayout& aLayout,
                            std::string& aError) {
  VirtualMidiLayout layout;
  bool seenIn = false;
  bool seenOut = false;
  std::size_t start = 0;
  while (start <= aText.size()) {
    const std::size_t semicolon = aText.find(';', start);
    const std::string_view part = Trim(aText.substr(
        start, semicolon == std::string_view::npos ? std::string_view::npos : semicolon - start));
    start = semicolon == std::string_view::npos ? aText.size() + 1 : semicolon + 1;
    if (part.empty())
      continue;
    const std::size_t equals = part.find('=');
    if (equals == std::string_view::npos) {
      aError = "expected 'in=...' or 'out=...', found '" + std::string(part) + "'";
      return false;
    }
    const std::string_view key = Trim(part.substr(0, equals));
    const std::string_view list = part.substr(equals + 1);
    bool* seen = key == "in" ? &seenIn : key == "out" ? &seenOut : nullptr;
    if (seen == nullptr) {
      aError = "unknown port list '" + std::string(key) + "' (expected 'in' or 'out')";
      return false;
    }
    if (*seen) {
      aError = "the '" + std::string(key) + "' port list is given twice";
      return false;
    }
    *seen = true;
    if (!ParseNames(key, list, key == "in" ? layout.Inputs : layout.Outputs, aError))
      return false;
  }
  aLayout = std::move(layout);
  return true;
}

VirtualMidiLayout DemoMidiLayout() {
  return {{{"Demo Keyboard", false}}, {{"Loopback", false}}};
}

} // namespace platform
