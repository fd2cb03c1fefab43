// Damaged skins on the whole monitor window: the input is the options text of
// a skin folder that holds the built-in skin's images. The window loads it as
// --skin does, paints every control and its frame, answers hit tests and
// shows hover states; whatever the text says, nothing may go wrong in memory
// or arithmetic (the sanitizers watch), and the window stays usable.
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/SkinOption.h"
#include "monitor/monitor.h"
#include "platform/host/ScreenComposer.h"
#include "platform/mm/MidiService.h"
#include "platform/win/Input.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Window.h"
#include "platform/win/WindowGeometry.h"
#include "skin/data/qcSkinPack.h"
#include "skin/data/sSkinMessages.h"
#include "skin/data/sVerdantSkin.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The folder of the skin under test and the window, made once.
struct TFuzzWindow {
  fs::path Folder;
  TApplication* App = nullptr;
  TfrmMonitor* Form = nullptr;
};

void WriteFile(const fs::path& aPath, const std::uint8_t* aData, std::size_t aSize) {
  std::ofstream out(aPath, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(aData), std::streamsize(aSize));
  if (!out) {
    std::cerr << "cannot write " << aPath << '\n';
    std::abort();
  }
}

// The built-in skin's files, Options.dat left out, in a fresh folder.
fs::path MakeSkinFolder() {
  const fs::path folder =
      fs::temp_directory_path() / ("mm-skin-fuzz-" + std::to_string(::getpid())) / "Fuzzed";
  fs::create_directories(folder);
  TqcSkinConvertor skin;
  const auto data = VerdantSkinData();
  UnpackSkinData(data.data(), data.size(), skin);
  for (const TqcImageItem& file : skin.Files)
    WriteFile(folder / file.FileName, file.FileStream.data(), file.FileStream.size());
  return folder;
}

TFuzzWindow& Window() {
  // Never destroyed: the window lives until the process ends, and the folder
  // goes at exit.
  static TFuzzWindow* window = [] {
    auto* w = new TFuzzWindow;
    w->Folder = MakeSkinFolder();
    std::atexit([] { fs::remove_all(Window().Folder.parent_path()); });
    SetSkinCommandLine({});
    // Skin errors and warnings would open modal boxes; they are only counted.
    SetSkinMessageHandler([](const std::string&, TsMessageKind) {});
    if (platform::StartMidiService("virtual:in=Keyboard,Drums;out=Synth").Result != 0)
      std::abort();
    w->App = new TApplication();
    Application->Initialize();
    w->Form = Application->CreateForm<TfrmMonitor>();
    w->Form->Show();
    w->Form->clbInputDevices->SetChecked(0, true);
    w->Form->lbListe->Items().Add("90, 3C, 64");
    platform::PumpUntilIdle();
    return w;
  }();
  return *window;
}

platform::POINT WindowPoint(TfrmMonitor& aForm, int aX, int aY) {
  platform::RECT r{};
  platform::GetWindowRect(aForm.Handle(), &r);
  return {r.Left + aX, r.Top + aY};
}

platform::POINT ControlCentre(TControl* aControl) {
  const TPoint p = aControl->ClientToScreen({aControl->Width() / 2, aControl->Height() / 2});
  return {p.X, p.Y};
}

// Hit tests over the frame: corners, borders, caption and its buttons.
void HitTestFrame(TfrmMonitor& aForm) {
  platform::RECT r{};
  platform::GetWindowRect(aForm.Handle(), &r);
  const int w = r.Right - r.Left;
  const int h = r.Bottom - r.Top;
  for (int x : {0, 2, 8, w / 2, w - 60, w - 40, w - 20, w - 8, w - 1})
    for (int y : {0, 2, 10, 20, h / 2, h - 2})
      platform::SendMessageW(aForm.Handle(), platform::WM_NCHITTEST, 0,
                             platform::MAKELPARAM(r.Left + x, r.Top + y));
}

// The pointer over a caption button, a push button and a port line, a few fade
// steps each, then off the window.
void Hover(TfrmMonitor& aForm) {
  platform::RECT r{};
  platform::GetWindowRect(aForm.Handle(), &r);
  const int w = r.Right - r.Left;
  for (platform::POINT at : {WindowPoint(aForm, w - 20, 10), WindowPoint(aForm, w - 45, 10),
                             ControlCentre(aForm.btnResetIn), ControlCentre(aForm.clbInputDevices),
                             ControlCentre(aForm.StatusBar1)}) {
    platform::InputMouseMove(at);
    platform::PumpUntilIdle();
  }
  platform::PumpUntil([] { return false; }, 30);
  platform::InputMouseMove({r.Right + 50, r.Bottom + 50});
  platform::PumpUntilIdle();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  TFuzzWindow& window = Window();
  WriteFile(window.Folder / "Options.dat", aData, aSize);
  UseSkinOption(*window.Form->sSkinManager1, window.Folder.string());
  platform::PumpUntilIdle();
  window.Form->Update();
  const platform::Bitmap image = platform::CaptureWindow(window.Form->Handle());
  if (image.Width() != window.Form->Width())
    std::abort();
  HitTestFrame(*window.Form);
  Hover(*window.Form);
  return 0;
}
