#include "monitor/PortLists.h"

#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/MidiPath.h"
#include "monitor/ServiceNotices.h"
#include "monitor/monitor.h"
#include "platform/mm/MidiService.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "toolkit/CheckListBox.h"
#include "toolkit/Messages.h"

namespace {

std::string ServiceTitle(platform::MidiBackendKind aKind) {
  switch (aKind) {
  case platform::MidiBackendKind::Jack:
    return "JACK-Server";
  case platform::MidiBackendKind::Alsa:
    return "ALSA-Sequencer";
  default:
    return "MIDI-Dienst";
  }
}

std::string Joined(const std::vector<std::string>& aNotes) {
  std::string text;
  for (const std::string& note : aNotes)
    text += (text.empty() ? "" : " \xE2\x80\x93 ") + note;
  return text;
}

} // namespace

TPortLists::TPortLists(TCheckListBox& aInputs, TCheckListBox& aOutputs, TMidiPath& aPath,
                       std::recursive_mutex& aLock, platform::HWND aWindow, TShowNote aShowNote)
    : fInputs{aInputs, false, {}}, fOutputs{aOutputs, true, {}}, fPath(aPath), fLock(aLock),
      fWindow(aWindow), fShowNote(std::move(aShowNote)),
      fRecovery([aWindow] { platform::PostMessageW(aWindow, ServiceFoundMessage, 0, 0); }) {}

TPortLists::~TPortLists() {
  platform::KillTimer(fWindow, SettleTimerId);
}

TMidiDevices& TPortLists::Registry(const TSide& aSide) const {
  if (aSide.Output)
    return MidiOutput();
  return MidiInput();
}

void TPortLists::ChooseByName(const std::vector<std::string>& aInputs,
                              const std::vector<std::string>& aOutputs) {
  std::vector<std::string> notes;
  for (TSide* side : {&fInputs, &fOutputs}) {
    for (const std::string& pattern : side->Output ? aOutputs : aInputs)
      side->Choice.AddPattern(pattern);
    for (int i = 0; i < side->List.Count(); ++i) {
      if (side->List.Checked(i) || !side->Choice.MatchesPattern(side->List.Items()[i]))
        continue;
      side->List.SetChecked(i, true);
      OpenChosen(*side, i, notes);
    }
  }
  if (!notes.empty())
    fShowNote(Joined(notes));
}

void TPortLists::ForgetRemembered(bool aOutput) {
  (aOutput ? fOutputs : fInputs).Choice.ForgetRemembered();
}

bool TPortLists::HandleMessage(TMessage& aMessage) {
  switch (aMessage.Msg) {
  case TServiceNotices::PortsChangedMessage:
    TServiceNotices::Taken(aMessage.Msg);
    UpdateAndNote({});
    platform::SetTimer(fWindow, SettleTimerId, SettleMs, nullptr);
    break;
  case platform::WM_TIMER:
    if (aMessage.WParam != SettleTimerId)
      return false;
    platform::KillTimer(fWindow, SettleTimerId);
    UpdateAndNote({});
    break;
  case TServiceNotices::ServiceLostMessage:
    ServiceLost();
    break;
  case ServiceFoundMessage:
    ServiceFound();
    break;
  default:
    return false;
  }
  aMessage.Result = 0;
  return true;
}

void TPortLists::Update() {
  std::vector<std::string> notes;
  UpdateSide(fInputs, notes);
  UpdateSide(fOutputs, notes);
}

void TPortLists::UpdateAndNote(std::string aFirst) {
  std::vector<std::string> notes;
  if (!aFirst.empty())
    notes.push_back(std::move(aFirst));
  UpdateSide(fInputs, notes);
  UpdateSide(fOutputs, notes);
  if (!notes.empty())
    fShowNote(Joined(notes));
}

namespace {

// What the lines of a refreshed list get.
struct TLinePlan {
  std::vector<int> Before;   // the line each new line continues, -1 for a port that came
  std::vector<bool> Checked; // the checks of the lines that continue
  std::vector<int> Chosen;   // the lines of ports that came and are to be checked and opened
};

// The ports that went away while checked are remembered and noted; a port
// that came is chosen when it was remembered (noted as back) or matches a
// pattern.
TLinePlan PlanLines(TCheckListBox& aList, TPortChoice& aChoice, const std::vector<int>& aNewIndexes,
                    const std::vector<std::string>& aNames, std::vector<std::string>& aNotes) {
  TLinePlan plan{std::vector<int>(aNames.size(), -1), std::vector<bool>(aNames.size(), false), {}};
  for (std::size_t i = 0; i < aNewIndexes.size(); ++i) {
    if (aNewIndexes[i] >= 0)
      plan.Before[std::size_t(aNewIndexes[i])] = int(i);
    else if (int(i) < aList.Count() && aList.Checked(int(i))) {
      aChoice.Remember(aList.Items()[int(i)]);
      aNotes.push_back(aList.Items()[int(i)] + ": Ger\xC3\xA4t weg");
    }
  }
  for (std::size_t j = 0; j < aNames.size(); ++j) {
    const int i = plan.Before[j];
    if (i >= 0) {
      plan.Checked[j] = i < aList.Count() && aList.Checked(i);
    } else if (aChoice.TakeRemembered(aNames[j])) {
      aNotes.push_back(aNames[j] + ": Ger\xC3\xA4t wieder da");
      plan.Chosen.push_back(int(j));
    } else if (aChoice.MatchesPattern(aNames[j])) {
      plan.Chosen.push_back(int(j));
    }
  }
  return plan;
}

// Puts the new lines with their checks into the list, drawn once with its new
// lines, not once per line; the current line follows its port.
void ShowLines(TCheckListBox& aList, const std::vector<std::string>& aNames,
               const std::vector<bool>& aChecked, const std::vector<int>& aNewIndexes) {
  const int current = aList.ItemIndex();
  platform::SendMessageW(aList.Handle(), platform::WM_SETREDRAW, platform::FALSE, 0);
  aList.Items().Assign(aNames);
  for (std::size_t j = 0; j < aNames.size(); ++j)
    aList.SetChecked(int(j), aChecked[j]);
  if (current >= 0 && std::size_t(current) < aNewIndexes.size())
    aList.SetItemIndex(aNewIndexes[std::size_t(current)]);
  platform::SendMessageW(aList.Handle(), platform::WM_SETREDRAW, platform::TRUE, 0);
  platform::RedrawWindow(aList.Handle(), nullptr, nullptr,
                         platform::RDW_INVALIDATE | platform::RDW_ERASE | platform::RDW_FRAME);
}

} // namespace

void TPortLists::UpdateSide(TSide& aSide, std::vector<std::string>& aNotes) {
  try {
    TMidiDevices::TRefresh refresh = Registry(aSide).BeginRefresh();
    if (!refresh.Changed())
      return;
    ++fChangeCount;
    const std::vector<int>& newIndexes = refresh.NewIndexes();
    const std::vector<std::string> names = refresh.Names();
    const TLinePlan plan = PlanLines(aSide.List, aSide.Choice, newIndexes, names, aNotes);
    Publish(aSide, refresh, plan.Before);
    ShowLines(aSide.List, names, plan.Checked, newIndexes);
    // Closes the handles of the ports that went away; a failure there keeps
    // no port that came from being opened.
    try {
      refresh.Finish();
    } catch (const EMidiError& error) {
      aNotes.push_back(FailureNote(aSide, error));
    }
    for (const int j : plan.Chosen) {
      aSide.List.SetChecked(j, true);
      OpenChosen(aSide, j, aNotes);
    }
  } catch (const EMidiError& error) {
    aNotes.push_back(FailureNote(aSide, error));
  }
}

void TPortLists::Publish(const TSide& aSide, TMidiDevices::TRefresh& aRefresh,
                         const std::vector<int>& aBefore) {
  std::lock_guard lock(fLock);
  if (!aSide.Output) {
    aRefresh.Publish();
    fPath.InputNames().Publish(aRefresh.ListNumber(), aRefresh.Names());
    return;
  }
  // The targets follow their ports' lines.
  TThruTargets& targets = fPath.Targets();
  std::vector<bool> served(aBefore.size(), false);
  for (std::size_t j = 0; j < aBefore.size(); ++j)
    served[j] = aBefore[j] >= 0 && targets.IsSet(aBefore[j]);
  aRefresh.Publish();
  targets.Clear();
  for (std::size_t j = 0; j < aBefore.size(); ++j)
    if (served[j])
      targets.Set(int(j), true);
}

std::string TPortLists::FailureNote(const TSide& aSide, const EMidiError& aError) {
  return std::string(aSide.Output ? "Ausg\xC3\xA4nge" : "Eing\xC3\xA4nge") + ": " + aError.what();
}

void TPortLists::OpenChosen(TSide& aSide, int aIndex, std::vector<std::string>& aNotes) {
  try {
    Registry(aSide).Open(aIndex);
  } catch (const EMidiError&) {
    aNotes.push_back(aSide.List.Items()[aIndex] + ": " + DeviceUnavailableText);
  }
  // Like a checked line whose open failed: the thru still serves it, and
  // sending tries to open it again.
  if (aSide.Output)
    fPath.Targets().Set(aIndex, true);
}

void TPortLists::ServiceLost() {
  const platform::MidiServiceStatus service = platform::CurrentMidiService();
  // The service lists no ports any more: both lists empty and every handle
  // of the service is closed; the checked ports are remembered. Then the
  // service is stopped before another is asked for: a JACK client of a server
  // that went away must be closed before the next one opens.
  Update();
  platform::StopMidiService();
  fShowNote(ServiceTitle(service.Kind) + " weg \xE2\x80\x93 neuer Versuch jede Sekunde");
  if (!service.Name.empty())
    fRecovery.Start(service.Name);
}

void TPortLists::ServiceFound() {
  std::optional<platform::MidiServiceCandidate> candidate = fRecovery.Take();
  if (!candidate)
    return;
  // The service may change only while no handle is open: the lists emptied
  // when the service went away.
  const platform::MidiServiceStatus status = platform::UseMidiService(std::move(*candidate));
  UpdateAndNote(ServiceTitle(status.Kind) + " wieder da");
}
