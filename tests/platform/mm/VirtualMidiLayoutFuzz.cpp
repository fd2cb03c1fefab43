// The port description parser must never fail other than by returning false,
// and a successful parse gives only non-empty names.
#include "platform/mm/VirtualMidiLayout.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  platform::VirtualMidiLayout layout;
  std::string error;
  const std::string_view text(reinterpret_cast<const char*>(aData), aSize);
  if (platform::ParseVirtualMidiLayout(text, layout, error)) {
    for (const auto* ports : {&layout.Inputs, &layout.Outputs})
      for (const auto& port : *ports)
        if (port.Name.empty())
          std::abort();
  } else if (error.empty()) {
    std::abort();
  }
  return 0;
}
