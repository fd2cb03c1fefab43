#pragma once
// The script runner's hands on the monitor window (user-interface thread), and
// the window's state as plain lines for scripts and tests:
//   caption NAME TEXT   every named control with a caption
//   tag NAME N          PanelP1 and PanelP2
//   item NAME I TEXT    every list line; "[x] " or "[ ] " before check-list lines
//   selected NAME I     -1 when none
//   top NAME N          the list's first visible line
//   scroll NAME MIN MAX PAGE POS
//                       the list's vertical scroll bar, while it has one
//   status TEXT         panel 0 of the status bar
//   focus NAME          the control with the keyboard focus (empty: none)
//   messagebox TEXT     while a message box shows
//   menu ITEM ENABLED   each item of an open popup menu (caption without '&'
//                       and shortcut; 1 enabled, 0 greyed)
// Fields are separated by tabs. A message box can show before the window
// exists (at start): then the dump holds only the lines of what shows, and
// the commands that need the window fail.

#include "monitor/ScriptRunner.h"
#include "platform/win/WinDefs.h"

#include <functional>
#include <ostream>
#include <string>

class TfrmMonitor;
class TMessageForm;

class TMonitorAutomation : public TScriptTarget {
public:
  // The monitor window now; nullptr while it does not exist yet.
  using TFormSource = std::function<TfrmMonitor*()>;

  // aOut receives the dumps.
  TMonitorAutomation(TFormSource aForm, std::ostream& aOut) : fForm(std::move(aForm)), fOut(aOut) {}
  TMonitorAutomation(TfrmMonitor& aForm, std::ostream& aOut)
      : TMonitorAutomation([&aForm] { return &aForm; }, aOut) {}

  // Runs for the quit command; Application->Terminate() when unset.
  std::function<void()> OnQuit;

  void SetLineChecked(bool aOutput, int aIndex, bool aChecked) override;
  void ClickButton(const std::string& aName) override;
  void SelectLogLine(int aIndex) override;
  void MovePointer(TScriptCommand::TPointer aAction, int aX, int aY) override;
  void TurnWheel(int aX, int aY, int aNotches) override;
  void PressKey(int aVirtKey, char32_t aChar) override;
  void Screenshot(const std::string& aPath) override;
  void HitTest(int aX, int aY) override;
  void InjectMessage(int aPort, std::uint8_t aStatus, std::uint8_t aData1,
                     std::uint8_t aData2) override;
  int LogLineCount() const override;
  void ChooseMenuItem(const std::string& aCaption) override;
  bool CloseMessageBox() override;
  void Dump() override;
  void Quit() override;

private:
  // The window; throws std::runtime_error while it does not exist yet.
  TfrmMonitor& Form() const;
  // Window point (aX, aY) on the screen.
  platform::POINT ScreenPoint(int aX, int aY) const;

  TFormSource fForm;
  std::ostream& fOut;
};

// Puts what the MIDI thread queued on screen, paints what is due and writes
// the window (frame included, what lies outside its region transparent) as
// PNG; with aScreen the whole screen instead: every top-level window over the
// desktop colour. Before the window exists (aForm nullptr) the message box
// that shows stands for it. The image is enlarged as the host shows it
// (--scale). Throws std::runtime_error with the reason when it cannot.
void WriteMonitorPng(TfrmMonitor* aForm, const std::string& aPath, bool aScreen = false);

// Writes the state in the form above: the window's (when aForm is not
// nullptr), then the message box and the popup menu showing.
void DumpMonitorState(TfrmMonitor* aForm, std::ostream& aOut);

// The message box showing now, or nullptr.
TMessageForm* ShowingMessageBox();
