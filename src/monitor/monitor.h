#pragma once
// The monitor window: lists the MIDI ports with check boxes, forwards every
// incoming message to the checked outputs (thru), logs it, and shows its
// breakdown and a status line.
//
// Threads: DoMidiInData runs on the MIDI service's thread and does only the
// thru and the hand-over (TMidiPath). Everything else runs on the
// user-interface thread: the queued messages are drained there in arrival
// order, continuously while any are queued, and put on screen at most about
// 60 times a second, so a flood costs a bounded number of repaints.

#include "monitor/MessageDecoder.h"
#include "monitor/MidiPath.h"
#include "monitor/PortLists.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sCheckListBox.h"
#include "skin/controls/sListBox.h"
#include "skin/controls/sPageControl.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sStatusBar.h"
#include "skin/data/sSkinManager.h"
#include "toolkit/Forms.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace platform {
class UiWakeup;
}
class TLabel;
class TMessageLog;
class TServiceNotices;

// "Sonaro MidiMonitor", a blank and the maker's web address.
inline constexpr const char* MonitorCaption = "Sonaro MidiMonitor www.sonaro.example";
inline constexpr const char* DeviceUnavailableText =
    "Das Ger\xC3\xA4t steht nicht zur Verf\xC3\xBCgung! Bitte pr\xC3\xBC"
    "fen";

class TfrmMonitor : public TForm {
public:
  // Builds the window inside a loading bracket; OnCreate runs FormCreate.
  explicit TfrmMonitor(TComponent* aOwner);
  ~TfrmMonitor() override;
  std::string ClassName() const override { return "TfrmMonitor"; }

  // Loads the built-in skin while the window is built.
  TsSkinManager* sSkinManager1 = nullptr;
  TsPageControl* PageControl1 = nullptr;
  TsTabSheet* tsInOut = nullptr;
  TsStatusBar* StatusBar1 = nullptr;
  TsPanel* PanelPort = nullptr;
  TsButton* btnResetIn = nullptr;
  TsButton* btnResetOut = nullptr;
  TsCheckListBox* clbInputDevices = nullptr;
  TsCheckListBox* clbOutputDevices = nullptr;
  TsButton* btnListeLeeren = nullptr;
  TsListBox* lbListe = nullptr;
  TsPanel* PanelCC = nullptr;
  TsPanel* panelDB1 = nullptr;
  TsPanel* PanelDB1Text = nullptr;
  TsPanel* PanelDB2 = nullptr;
  TsPanel* PanelDB2Text = nullptr;
  TsPanel* PanelKanal = nullptr;
  TsPanel* PanelP1 = nullptr;
  TsPanel* PanelP2 = nullptr;
  TsPanel* panelStatusByte = nullptr;
  TsPanel* PanelStatustext = nullptr;

  // Handlers (user-interface thread).
  void FormCreate(TObject* aSender);
  void FormDestroy(TObject* aSender);
  void clbInputDevicesClickCheck(TObject* aSender);
  void clbOutputDevicesClickCheck(TObject* aSender);
  void btnResetInClick(TObject* aSender);
  void btnResetOutClick(TObject* aSender);
  void btnListeLeerenClick(TObject* aSender);
  void lbListeClick(TObject* aSender);

  // The input registry's event: runs on the MIDI service's thread.
  void DoMidiInData(int aDeviceIndex, std::uint8_t aStatus, std::uint8_t aData1,
                    std::uint8_t aData2);

  // Stops MIDI delivery to this window (user-interface thread): empties the
  // input event and closes every input port, so that no message reaches the
  // window once it is gone; then closes the output ports. Runs from
  // FormDestroy; the program may call it earlier.
  void StopMidiDelivery();

  // Hands every message from now on to aLog too, after the thru, with the
  // input ports' names (user-interface thread). The log outlives the window.
  void SetMessageLog(TMessageLog& aLog);

  // The lists following the machine's ports (user-interface thread); null
  // before FormCreate and after FormDestroy.
  TPortLists* PortLists() const { return fPorts.get(); }

  // Handles what the MIDI thread queued so far, ignoring the repaint pacing
  // (user-interface thread; tests and the script runner use it).
  void DrainNow();

  // Figures of the incoming path (user-interface thread).
  std::uint64_t DrainCount() const { return fDrainCount; }
  // Times the drained messages were put into the controls (each repaints).
  std::uint64_t UpdateCount() const { return fUpdateCount; }
  std::uint64_t MessagesShown() const { return fMessagesShown; }
  std::uint64_t DroppedMessages() const;
  std::uint64_t ThruFailures() const { return fThruFailures; }
  bool Busy() const { return warte; }
  // Messages have been put into the log but the controls wait for the next
  // paced update.
  bool UpdatePending() const { return fShownSinceFinish; }

  // Shortest time between two updates of the controls, so repaints stay at
  // about 60 a second during a flood, and the longest a drain may take before
  // the loop handles other messages.
  static constexpr std::chrono::milliseconds MinUpdateInterval{16};
  static constexpr std::chrono::milliseconds DrainBudget{4};
  static constexpr std::chrono::milliseconds BacklogGap{1};

protected:
  void WndProc(TMessage& aMessage) override;

private:
  void BuildWindow();
  void SetWindowProperties();
  void CreateSkinManager();
  // The page control with its page, the page's status bar and port panel.
  void CreatePage();
  // The lists' labels, each with the list it is to be placed beside.
  std::vector<std::pair<TLabel*, TWinControl*>> AttachListLabels();
  void FillDeviceList(TCheckListBox* aList, const std::vector<std::string>& aNames);
  // Fills the input list with the registry's ports, all unchecked, and
  // publishes their names for the status line.
  void FillInputList();
  // After a failed rescan: the list shows the ports the registry lists now
  // (refilled, all unchecked, when they changed); input names are published.
  void RefillInputListIfChanged();
  // After a failed rescan of the outputs: refilled like the inputs, or else
  // every checked line is served by the thru again.
  void KeepCheckedOutputsServed();

  void ShowSelectedLine();
  void ApplyBreakdown();

  // User-interface thread: the wake-up's handler and the update timer.
  void MidiQueueSignalled();
  // Puts the drained messages on screen now, or arms the update timer when
  // the last update was less than MinUpdateInterval ago.
  // aBacklog: messages are still queued, so the window paints at once.
  void UpdatePaced(bool aBacklog);
  // Steps 4 to 8 for one message, without painting.
  void ShowIncoming(const TMidiEvent& aEvent);
  // Ends a drain: the log's redrawing, off while lines are added, is on again.
  void EndDrain();
  // Puts the state the drained messages left into the controls.
  void FinishDrain();
  // The note on a thru failure for the status line of message aShown.
  std::string ThruFailureText(const TMidiEvent& aShown);
  // The note on messages lost on their way in (the queue to this thread was
  // full, or the MIDI service's input overran); empty when none were.
  std::string LossNote() const;

  std::unique_ptr<std::recursive_mutex> fCriticalSection;
  bool warte = false;

  std::unique_ptr<platform::UiWakeup> fWakeup;
  std::unique_ptr<TMidiPath> fPath;
  std::unique_ptr<TPortLists> fPorts;
  std::unique_ptr<TServiceNotices> fServiceNotices;
  TBreakdown fBreakdown;
  TMidiEvent fLastShown; // the last message of the drain in progress
  // The drain's latest message whose thru failed, and the failure's details
  // when they were kept for it.
  std::optional<TMidiEvent> fFailed;
  std::optional<TThruFailure> fFailure;
  // The status line of the last update, without the note on lost messages.
  std::string fStatusLine;
  // The drain moved the selection to its last line; a line the user selects
  // before the update keeps the selection.
  bool fSelectLast = false;
  bool fUpdateTimerArmed = false;
  bool fBacklog = false; // the last drain left messages queued
  std::chrono::steady_clock::time_point fBacklogDrainEnd{};
  // On the timers' clock, as the update timer runs on it; empty before the
  // first update.
  std::optional<std::chrono::milliseconds> fLastUpdate;
  std::uint64_t fDrainCount = 0;
  std::uint64_t fUpdateCount = 0;
  std::uint64_t fMessagesShown = 0;
  std::uint64_t fThruFailures = 0;
  bool fShownSinceFinish = false;
  bool fLogRedrawOff = false;
};
