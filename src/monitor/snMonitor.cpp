// The program's main module: starts the MIDI service, creates the monitor
// window and runs the message loop until the window closes or SIGINT or
// SIGTERM comes; optional message log, and automation (script, screenshot,
// state dump) for tests and users.

#include "ProgramVersion.h"
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/CommandLine.h"
#include "monitor/MessageLog.h"
#include "monitor/MonitorAutomation.h"
#include "monitor/ScriptRunner.h"
#include "monitor/SkinOption.h"
#include "monitor/StopSignals.h"
#include "monitor/monitor.h"
#include "platform/host/Host.h"
#include "platform/mm/MidiService.h"
#include "platform/win/MessageLoop.h"
#include "skin/data/sSkinMessages.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace {

constexpr platform::UINT ScriptTickMs = 10;
constexpr int CommandsPerTick = 256;

// State the timer procedures reach (user-interface thread only).
struct TProgram {
  std::unique_ptr<TMonitorAutomation> Automation;
  std::unique_ptr<TScriptRunner> Runner;
  platform::UINT_PTR ScriptTimer = 0;
  platform::UINT_PTR ScreenshotTimer = 0;
  std::string ScreenshotPath;
  bool ScreenshotOfScreen = false;
  bool Headless = false;
  bool DumpDue = false; // --dump, not printed yet
  int ExitCode = 0;
};
TProgram gProgram;

// The monitor window; nullptr before it exists (a message box can show
// earlier, at start).
TfrmMonitor* MonitorWindow() {
  return Application ? dynamic_cast<TfrmMonitor*>(Application->MainForm()) : nullptr;
}

// Prints the state for --dump, once.
void DumpIfDue() {
  if (!gProgram.DumpDue)
    return;
  gProgram.DumpDue = false;
  DumpMonitorState(MonitorWindow(), std::cout);
}

// Ends the run. The dump comes first, while everything that shows now (a
// message box too) is still there.
void EndRun() {
  DumpIfDue();
  Application->Terminate();
}

void Fail(const std::string& aText) {
  std::cerr << "midimonitor: " << aText << '\n';
  gProgram.ExitCode = 1;
  EndRun();
}

// Without a display, once neither a script nor a screenshot will end the
// program, only a signal does: whoever started it learns that it is ready.
void AnnounceRunningUntilSignal() {
  const bool scriptRuns =
      gProgram.Runner && gProgram.Runner->State() == TScriptRunner::TState::Running;
  if (gProgram.Headless && !scriptRuns && !gProgram.ScreenshotTimer && !Application->Terminating())
    std::cerr << "midimonitor: running without a display until SIGINT or SIGTERM\n";
}

void ScriptTick(platform::HWND, platform::UINT, platform::UINT_PTR, platform::DWORD) {
  TScriptRunner* runner = gProgram.Runner.get();
  if (!runner || runner->State() != TScriptRunner::TState::Running)
    return;
  runner->Run(TScriptRunner::TClock::now(), CommandsPerTick);
  if (runner->State() == TScriptRunner::TState::Running)
    return;
  platform::KillTimer(nullptr, gProgram.ScriptTimer);
  if (runner->State() == TScriptRunner::TState::Failed)
    Fail(runner->Error());
  else
    AnnounceRunningUntilSignal();
}

void ScreenshotTick(platform::HWND, platform::UINT, platform::UINT_PTR, platform::DWORD) {
  platform::KillTimer(nullptr, std::exchange(gProgram.ScreenshotTimer, 0));
  try {
    WriteMonitorPng(MonitorWindow(), gProgram.ScreenshotPath, gProgram.ScreenshotOfScreen);
  } catch (const std::runtime_error& e) {
    Fail(e.what());
    return;
  }
  EndRun();
}

// SIGINT or SIGTERM: the program ends as when its window closes. A script
// or a screenshot it cut short is a failure.
void StopOnSignal(int aSignal) {
  const std::string name = aSignal == SIGINT ? "SIGINT" : "SIGTERM";
  if (gProgram.Runner && gProgram.Runner->State() == TScriptRunner::TState::Running)
    return Fail(name + " came before the script ended");
  if (gProgram.ScreenshotTimer)
    return Fail(name + " came before the screenshot was taken");
  std::cerr << "midimonitor: " << name << ": ending\n";
  EndRun();
}

bool ReadScript(const std::string& aPath, std::string& aText) {
  if (aPath == "-") {
    aText.assign(std::istreambuf_iterator<char>(std::cin), {});
    return true;
  }
  std::ifstream in(aPath, std::ios::binary);
  if (!in)
    return false;
  std::ostringstream text;
  text << in.rdbuf();
  aText = text.str();
  return true;
}

void ListPorts() {
  const std::vector<std::string> inputs = MidiInput().Names();
  const std::vector<std::string> outputs = MidiOutput().Names();
  for (std::size_t i = 0; i < inputs.size(); ++i)
    std::cout << "in\t" << i << '\t' << inputs[i] << '\n';
  for (std::size_t i = 0; i < outputs.size(); ++i)
    std::cout << "out\t" << i << '\t' << outputs[i] << '\n';
}

void InitializeApplication(const TMonitorOptions& aOptions) {
  Application->Initialize();
  Application->SetMainFormOnTaskBar(true);
  Application->SetTitle("Sonaro MidiMonitor");
  // Without a display nobody sees a message box: its text goes to standard
  // error as well.
  if (aOptions.Headless)
    Application->OnMessageBox = [](const std::string& aText) {
      std::cerr << "midimonitor: " << aText << std::endl;
    };
}

// The automation is in place before anything can show a message box: a
// box's modal loop runs the timers, so a script, the screenshot and the
// dump see and reach every box, even one that shows before the window.
void StartAutomation(const TMonitorOptions& aOptions, std::vector<TScriptCommand> aScript) {
  gProgram.Headless = aOptions.Headless;
  gProgram.DumpDue = aOptions.Dump;
  gProgram.Automation = std::make_unique<TMonitorAutomation>(&MonitorWindow, std::cout);
  gProgram.Automation->OnQuit = &EndRun;
  if (!aOptions.Script.empty()) {
    gProgram.Runner = std::make_unique<TScriptRunner>(std::move(aScript), *gProgram.Automation);
    gProgram.ScriptTimer = platform::SetTimer(nullptr, 0, ScriptTickMs, &ScriptTick);
  }
  if (!aOptions.Screenshot.empty()) {
    gProgram.ScreenshotPath = aOptions.Screenshot;
    gProgram.ScreenshotOfScreen = aOptions.Screen;
    gProgram.ScreenshotTimer =
        platform::SetTimer(nullptr, 0, platform::UINT(aOptions.AfterMs), &ScreenshotTick);
  }
}

// Creates the window as the options ask and runs the loop until the run ends.
void ShowMonitorWindow(const TMonitorOptions& aOptions, const std::string& aServiceNote,
                       TMessageLog* aLog) {
  TfrmMonitor* form = Application->CreateForm<TfrmMonitor>();
  if (aLog)
    form->SetMessageLog(*aLog);
  if (!aServiceNote.empty())
    form->StatusBar1->Panels()[0].SetText(aServiceNote);
  if (TPortLists* ports = form->PortLists())
    ports->ChooseByName(aOptions.InPatterns, aOptions.OutPatterns);
  // The window has the built-in skin by now, which stays when the chosen
  // one fails to load.
  if (!aOptions.Skin.empty())
    UseSkinOption(*form->sSkinManager1, aOptions.Skin);
  AnnounceRunningUntilSignal();
  Application->Run();
}

int RunMonitor(const TMonitorOptions& aOptions, std::vector<TScriptCommand> aScript,
               const std::string& aServiceNote, TMessageLog* aLog) {
  TStopSignals stopSignals(&StopOnSignal);
  auto application = std::make_unique<TApplication>();
  InitializeApplication(aOptions);
  StartAutomation(aOptions, std::move(aScript));
  ShowSkinEngineVersionIfAsked();
  // The run may have ended in the box above (a script's quit, a screenshot).
  if (!Application->Terminating())
    ShowMonitorWindow(aOptions, aServiceNote, aLog);
  if (gProgram.ScriptTimer)
    platform::KillTimer(nullptr, gProgram.ScriptTimer);
  // The window was closed: its last state.
  DumpIfDue();
  // The window stops MIDI delivery when it is destroyed (with the
  // application), before the registries and the service go.
  gProgram.Runner.reset();
  gProgram.Automation.reset();
  application.reset();
  FreeMidiDevices();
  platform::StopMidiService();
  // No message comes any more: the log writes the rest. A failure was
  // reported when it happened.
  if (aLog && !aLog->Stop().empty())
    gProgram.ExitCode = 1;
  return gProgram.ExitCode;
}

// Reads the command line and the script it names; the exit code when the
// program ends here (help, version, a bad command line).
std::optional<int> ReadCommandLine(const std::vector<std::string>& aArgs, TMonitorOptions& aOptions,
                                   std::vector<TScriptCommand>& aScript) {
  try {
    aOptions = ParseCommandLine(aArgs);
    if (aOptions.Help) {
      std::cout << UsageText();
      return 0;
    }
    if (aOptions.Version) {
      std::cout << "midimonitor " << ProgramVersion << '\n';
      return 0;
    }
    if (!aOptions.Script.empty()) {
      std::string text;
      if (!ReadScript(aOptions.Script, text))
        throw std::invalid_argument("cannot read the script " + aOptions.Script);
      aScript = ParseScript(text);
    }
  } catch (const std::invalid_argument& e) {
    std::cerr << "midimonitor: " << e.what() << '\n' << UsageText();
    return 2;
  }
  return std::nullopt;
}

// The message log of --log=, its times counting from aStart; null, with the
// reason told, when it cannot be written.
std::unique_ptr<TMessageLog> OpenLog(const std::string& aPath,
                                     std::chrono::steady_clock::time_point aStart) {
  // A log reader that goes away makes the log fail, not the program.
  std::signal(SIGPIPE, SIG_IGN);
  try {
    return TMessageLog::Open(aPath, aStart);
  } catch (const std::runtime_error& e) {
    std::cerr << "midimonitor: " << e.what() << '\n';
    return nullptr;
  }
}

// Lists the ports, or runs the window on a host; the service has started.
int RunOnService(const TMonitorOptions& aOptions, std::vector<TScriptCommand> aScript,
                 const std::string& aServiceNote, TMessageLog* aLog) {
  try {
    if (aOptions.ListPorts) {
      ListPorts();
      FreeMidiDevices();
      platform::StopMidiService();
      return 0;
    }
    platform::HostOptions hostOptions;
    hostOptions.Kind = aOptions.Headless ? platform::HostKind::Headless : platform::HostKind::X11;
    hostOptions.Scale = aOptions.Scale;
    std::string hostError;
    // The host outlives every window.
    std::unique_ptr<platform::WindowHost> host = platform::CreateHost(hostOptions, hostError);
    if (!host) {
      std::cerr << "midimonitor: " << hostError << " (--headless runs without a display)\n";
      platform::StopMidiService();
      return 1;
    }
    return RunMonitor(aOptions, std::move(aScript), aServiceNote, aLog);
  } catch (const std::exception& e) {
    std::cerr << "midimonitor: " << e.what() << '\n';
    return 1;
  }
}

} // namespace

int main(int argc, char** argv) {
  // The message log's times count from here.
  const auto start = std::chrono::steady_clock::now();
  const std::vector<std::string> args(argv + 1, argv + argc);
  SetSkinCommandLine(args);
  TMonitorOptions options;
  std::vector<TScriptCommand> script;
  if (const std::optional<int> exitCode = ReadCommandLine(args, options, script))
    return *exitCode;
  // The log opens first, so a log that cannot be written stops the program
  // before anything runs.
  std::unique_ptr<TMessageLog> log;
  if (!options.Log.empty() && !options.ListPorts && !(log = OpenLog(options.Log, start)))
    return 1;
  const platform::MidiServiceStatus service = platform::StartMidiService(options.Midi);
  std::cerr << "midimonitor: " << service.Note << '\n';
  if (service.Result != 0)
    return 1;
  return RunOnService(options, std::move(script), service.Note, log.get());
}
