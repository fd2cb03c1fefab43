#pragma once
// Keeps the window's two check lists in step with the machine's ports. The
// MIDI service reports changes (platform/mm/MidiService.h) on its own
// threads; they are posted to the window, and on the user-interface thread
// each list is refreshed without a rescan:
// - a port that stayed keeps its line's check and stays open, also when its
//   index moved; the thru's targets move with it;
// - a port that went away loses its line and its handle is closed; when it
//   was checked, its name is remembered and the status line says so;
// - a port that appears is checked and opened when its name was remembered
//   (the status line says it is back) or matches a pattern chosen on the
//   command line, and stays unchecked otherwise.
// When the service itself goes away (the JACK server stopped), both lists
// empty, the service is stopped, the status line says so, and it is asked
// for again about
// once a second off the user-interface thread; once it answers, it is put in
// use and the lists come back with the remembered ports checked and open.
//
// Registry, names and thru targets change together under the window's lock,
// which the thru holds for each message, so a message is served by the lines
// either before or after a change, never by a mix.

#include "midi/MidiDevices.h"
#include "monitor/PortChoice.h"
#include "monitor/ServiceRecovery.h"
#include "platform/win/WinDefs.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class EMidiError;
class TCheckListBox;
class TMidiPath;
struct TMessage;

class TPortLists {
public:
  // The message and the timer this uses on the window aWindow, which passes
  // them to HandleMessage together with the service's notices of changed
  // ports and of its loss (TServiceNotices).
  static constexpr platform::UINT ServiceFoundMessage = platform::WM_APP + 0x42;
  static constexpr platform::UINT_PTR SettleTimerId = 2;
  // After a change, the lists are looked at once more this much later: a
  // service may report a change before its listing shows it.
  static constexpr platform::UINT SettleMs = 200;

  using TShowNote = std::function<void(const std::string& aText)>;

  // aLock is the lock the thru holds.
  TPortLists(TCheckListBox& aInputs, TCheckListBox& aOutputs, TMidiPath& aPath,
             std::recursive_mutex& aLock, platform::HWND aWindow, TShowNote aShowNote);
  // Stops asking for a lost service.
  ~TPortLists();
  TPortLists(const TPortLists&) = delete;
  TPortLists& operator=(const TPortLists&) = delete;

  // Checks and opens the lines whose names contain one of the patterns (letter
  // case aside), now and whenever such a port appears.
  void ChooseByName(const std::vector<std::string>& aInputs,
                    const std::vector<std::string>& aOutputs);
  // A rescan unchecked every line: the ports remembered for this direction
  // are forgotten (the patterns stay).
  void ForgetRemembered(bool aOutput);
  const TPortChoice& Choice(bool aOutput) const {
    return aOutput ? fOutputs.Choice : fInputs.Choice;
  }

  // The window's messages and timer for this; false for any other message.
  bool HandleMessage(TMessage& aMessage);
  // Brings both lists up to date now.
  void Update();
  // Refreshes that changed a list.
  std::uint64_t ChangeCount() const { return fChangeCount; }
  bool SearchingService() const { return fRecovery.Searching(); }

private:
  struct TSide {
    TCheckListBox& List;
    bool Output;
    TPortChoice Choice;
  };

  TMidiDevices& Registry(const TSide& aSide) const;
  // Refreshes one list; appends the status notes of what went and came back,
  // and of failures.
  void UpdateSide(TSide& aSide, std::vector<std::string>& aNotes);
  // Puts the refreshed list in use under the lock, with the names of the
  // inputs or the thru targets following their lines (aBefore: the line each
  // new line continues, or -1).
  void Publish(const TSide& aSide, TMidiDevices::TRefresh& aRefresh,
               const std::vector<int>& aBefore);
  // The status note of a failure of aSide's registry.
  static std::string FailureNote(const TSide& aSide, const EMidiError& aError);
  // Opens the port of a line that was checked by name; a failure is noted.
  void OpenChosen(TSide& aSide, int aIndex, std::vector<std::string>& aNotes);
  void UpdateAndNote(std::string aFirst);
  void ServiceLost();
  void ServiceFound();

  TSide fInputs;
  TSide fOutputs;
  TMidiPath& fPath;
  std::recursive_mutex& fLock;
  platform::HWND fWindow;
  TShowNote fShowNote;
  TServiceRecovery fRecovery;
  std::uint64_t fChangeCount = 0;
};
