#pragma once
// Choosing the host at start: the program's --headless option selects the
// headless host, otherwise the X11 host on $DISPLAY (or the given display).

#include "platform/host/DisplayScale.h"
#include "platform/win/WindowHost.h"

#include <memory>
#include <string>

namespace platform {

enum class HostKind { Headless, X11 };

struct HostOptions {
  HostKind Kind = HostKind::X11;
  std::string Display; // X11: empty for $DISPLAY
  TSize HeadlessScreen{1280, 1024};
  // 1 to 3, or AutoDisplayScale: from the desktop's settings on X11, 1 when
  // headless.
  int Scale = AutoDisplayScale;
};

// Creates the host and installs it as the window host. Returns nullptr with
// aError set when it cannot be created (no X display, say).
std::unique_ptr<WindowHost> CreateHost(const HostOptions& aOptions, std::string& aError);

// Writes the screen as the current host shows it (composed from the windows'
// frames, enlarged by the host's scale) as PNG; false with aError set on
// failure.
bool SaveScreenshot(const std::string& aPath, std::string& aError);

} // namespace platform
