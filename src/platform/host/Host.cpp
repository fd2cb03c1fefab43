#include "platform/host/Host.h"

#include "platform/gfx/Enlarge.h"
#include "platform/gfx/PngCodec.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/ScreenComposer.h"
#include "platform/host/X11Host.h"

namespace platform {

std::unique_ptr<WindowHost> CreateHost(const HostOptions& aOptions, std::string& aError) {
  aError.clear();
  if (aOptions.Kind == HostKind::Headless)
    return std::make_unique<HeadlessHost>(aOptions.HeadlessScreen,
                                          aOptions.Scale == AutoDisplayScale ? 1 : aOptions.Scale);
  return X11Host::Open(aOptions.Display.c_str(), aError, aOptions.Scale);
}

bool SaveScreenshot(const std::string& aPath, std::string& aError) {
  WindowHost* host = GetWindowHost();
  const Bitmap screen =
      Enlarged(ComposeScreen(host->ScreenSize(), host->LayeredSupported()), host->Scale());
  const FileResult r = SavePngFile(screen, aPath, PngAlpha::Opaque);
  aError = r.Error;
  return r.Ok();
}

} // namespace platform
