#pragma once
// The description of the virtual service's ports: "in=A,B;out=C,D".
// Either part may be missing or empty; names are trimmed of blanks; a name
// ending in '*' is held exclusively by another program (the '*' is not part of
// the name), so opening it fails with MMSYSERR_ALLOCATED.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct VirtualMidiPortSpec {
  std::string Name;
  bool Exclusive = false;
  friend bool operator==(const VirtualMidiPortSpec&, const VirtualMidiPortSpec&) = default;
};

struct VirtualMidiLayout {
  std::vector<VirtualMidiPortSpec> Inputs;
  std::vector<VirtualMidiPortSpec> Outputs;
  friend bool operator==(const VirtualMidiLayout&, const VirtualMidiLayout&) = default;
};

// Fills aLayout and returns true, or returns false with a message for people
// in aError (aLayout is then left as it was).
bool ParseVirtualMidiLayout(std::string_view aText, VirtualMidiLayout& aLayout,
                            std::string& aError);

// The built-in demo ports: "Demo Keyboard" in (plays a short pattern while
// open and started), "Loopback" out (records what it receives).
VirtualMidiLayout DemoMidiLayout();

} // namespace platform
