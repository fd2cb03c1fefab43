#include "monitor/monitor.h"

#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/MessageLog.h"
#include "monitor/MessageLogLine.h"
#include "monitor/ServiceNotices.h"
#include "platform/mm/MidiService.h"
#include "platform/win/MessageLoop.h"
#include "platform/win/Paint.h"
#include "skin/data/sVerdantSkin.h"
#include "skin/frame/qcDials.h"
#include "toolkit/Label.h"
#include "toolkit/StdCtrlDefs.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <utility>
#include <variant>
#include <vector>

namespace {

constexpr platform::UINT_PTR UpdateTimerId = 1;
constexpr TColor ListColor = RGB(87, 127, 87);
constexpr TColor ListFontColor = RGB(1, 153, 1);

void SetControlFont(TControl* aControl, int aPixels, bool aBold, TColor aColor = clWindowText) {
  TFont& font = aControl->Font();
  font.SetName("Tahoma");
  font.SetHeight(-aPixels);
  font.SetStyle(aBold ? TFontStyles{fsBold} : TFontStyles{});
  font.SetColor(aColor);
}

// Clears the flag on every way out, so a failing decode does not leave the
// decoder busy for good.
class TBusyScope {
public:
  explicit TBusyScope(bool& aFlag) : fFlag(aFlag) { fFlag = true; }
  ~TBusyScope() { fFlag = false; }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;

private:
  bool& fFlag;
};

// Where a control on the port panel is kept in the window, which also gives
// its kind.
using TPortPanelSlot = std::variant<TsButton * TfrmMonitor::*, TsCheckListBox * TfrmMonitor::*,
                                    TsListBox * TfrmMonitor::*, TsPanel * TfrmMonitor::*>;
using TFormHandler = void (TfrmMonitor::*)(TObject*);

struct TPortPanelControl {
  TPortPanelSlot Slot;
  const char* Name;
  int Left, Top, Width, Height;
  const char* Caption;  // buttons and panels
  TFormHandler Handler; // a button's or the log's click, a port list's check toggled
  bool Bold;            // the panels that are headings
};

// The controls on the port panel in the order of the window's members, which
// is the order of creation and their tab order.
constexpr TPortPanelControl PortPanelControls[] = {
    {&TfrmMonitor::btnResetIn, "btnResetIn", 10, 3, 113, 17, "Midi In (Reset)",
     &TfrmMonitor::btnResetInClick, false},
    {&TfrmMonitor::btnResetOut, "btnResetOut", 320, 3, 113, 17, "Midi Out (Reset)",
     &TfrmMonitor::btnResetOutClick, false},
    {&TfrmMonitor::clbInputDevices, "clbInputDevices", 10, 25, 302, 148, "",
     &TfrmMonitor::clbInputDevicesClickCheck, false},
    {&TfrmMonitor::clbOutputDevices, "clbOutputDevices", 320, 25, 303, 148, "",
     &TfrmMonitor::clbOutputDevicesClickCheck, false},
    {&TfrmMonitor::btnListeLeeren, "btnListeLeeren", 632, 3, 81, 18, "Liste Reset",
     &TfrmMonitor::btnListeLeerenClick, false},
    {&TfrmMonitor::lbListe, "lbListe", 632, 25, 81, 254, "", &TfrmMonitor::lbListeClick, false},
    {&TfrmMonitor::PanelCC, "PanelCC", 52, 226, 85, 20, "", nullptr, false},
    {&TfrmMonitor::panelDB1, "panelDB1", 243, 186, 160, 20, "Datenbyte 1", nullptr, true},
    {&TfrmMonitor::PanelDB1Text, "PanelDB1Text", 243, 266, 160, 20, "", nullptr, false},
    {&TfrmMonitor::PanelDB2, "PanelDB2", 409, 186, 160, 20, "Datenbyte 2", nullptr, true},
    {&TfrmMonitor::PanelDB2Text, "PanelDB2Text", 409, 266, 160, 20, "", nullptr, false},
    {&TfrmMonitor::PanelKanal, "PanelKanal", 152, 226, 85, 20, "", nullptr, false},
    {&TfrmMonitor::PanelP1, "PanelP1", 283, 226, 85, 20, "", nullptr, false},
    {&TfrmMonitor::PanelP2, "PanelP2", 448, 226, 85, 20, "", nullptr, false},
    {&TfrmMonitor::panelStatusByte, "panelStatusByte", 52, 186, 185, 20, "Statusbyte und Midikanal",
     nullptr, true},
    {&TfrmMonitor::PanelStatustext, "PanelStatustext", 52, 266, 185, 20, "", nullptr, false},
};

std::function<void(TObject*)> Bound(TfrmMonitor& aForm, TFormHandler aHandler) {
  return [&aForm, aHandler](TObject* aSender) { (aForm.*aHandler)(aSender); };
}

// The port lists and the log: green text on green.
template <class TList>
void StyleAsListing(TList* aList) {
  SetControlFont(aList, 11, false, ListFontColor);
  aList->SetColor(ListColor);
  aList->SetItemHeight(13);
  aList->SkinData.SetSkinSection("BUTTON_BIG");
}

void Configure(TfrmMonitor& aForm, TsButton* aButton, const TPortPanelControl& aControl) {
  aButton->SetCaption(aControl.Caption);
  aButton->OnClick = Bound(aForm, aControl.Handler);
}

void Configure(TfrmMonitor& aForm, TsCheckListBox* aList, const TPortPanelControl& aControl) {
  StyleAsListing(aList);
  // Typed letters neither move the current line nor pick a port.
  aList->SetAutoComplete(false);
  aList->OnClickCheck = Bound(aForm, aControl.Handler);
}

void Configure(TfrmMonitor& aForm, TsListBox* aList, const TPortPanelControl& aControl) {
  StyleAsListing(aList);
  aList->OnClick = Bound(aForm, aControl.Handler);
}

void Configure(TfrmMonitor&, TsPanel* aPanel, const TPortPanelControl& aControl) {
  aPanel->SetCaption(aControl.Caption);
  aPanel->SetAlignment(taCenter);
  aPanel->SetFullRepaint(false);
  SetControlFont(aPanel, 13, aControl.Bold);
}

TWinControl* CreatePortPanelControl(TfrmMonitor& aForm, const TPortPanelControl& aControl) {
  return std::visit(
      [&]<class T>(T* TfrmMonitor::*aSlot) -> TWinControl* {
        auto* control = new T(&aForm);
        control->SetName(aControl.Name);
        control->SetParent(aForm.PanelPort);
        control->SetBounds(aControl.Left, aControl.Top, aControl.Width, aControl.Height);
        Configure(aForm, control, aControl);
        return aForm.*aSlot = control;
      },
      aControl.Slot);
}

} // namespace

TfrmMonitor::TfrmMonitor(TComponent* aOwner) : TForm(aOwner) {
  BuildWindow();
}

TfrmMonitor::~TfrmMonitor() = default;

void TfrmMonitor::BuildWindow() {
  TLoadingBracket bracket;
  SetWindowProperties();
  CreateSkinManager();
  CreatePage();
  std::vector<TWinControl*> onPanel;
  for (const TPortPanelControl& control : PortPanelControls)
    onPanel.push_back(CreatePortPanelControl(*this, control));
  const auto labels = AttachListLabels();
  // Tab orders in ascending order, so each lands where it is set.
  for (int i = 0; i < int(onPanel.size()); ++i)
    onPanel[std::size_t(i)]->SetTabOrder(i);
  SetVisible(true);
  bracket.Close();
  for (auto [label, list] : labels)
    label->PlaceLeftOf(list, 0);
}

void TfrmMonitor::SetWindowProperties() {
  SetName("frmMonitor");
  SetBorderStyle(bsToolWindow);
  SetCaption(MonitorCaption);
  SetPosition(poDesigned);
  SetBounds(617, 450, Width(), Height());
  SetClientSize(732, 351);
  SetColor(clSilver);
  SetControlFont(this, 11, false);
  OnCreate = [this](TObject* aSender) { FormCreate(aSender); };
  OnDestroy = [this](TObject* aSender) { FormDestroy(aSender); };
}

void TfrmMonitor::CreateSkinManager() {
  // The skin manager comes first; its window hook gives the window and the
  // message boxes their skinned frame when they are first activated. Its properties go in their
  // stored order: the stored skin, then the folder, then the name, whose setting loads the stored
  // skin at once; applying it waits until the bracket closes.
  RegisterWindowHook();
  sSkinManager1 = new TsSkinManager(this);
  sSkinManager1->SetName("sSkinManager1");
  TsStoredSkin& verdant = sSkinManager1->InternalSkins.Add();
  verdant.SetName(VerdantSkinName);
  verdant.Shadow1Color = clBlack;
  verdant.Shadow1Offset = 0;
  verdant.Shadow1Transparency = 0;
  const auto data = VerdantSkinData();
  verdant.ReadData(data.data(), data.size());
  sSkinManager1->Options.SetOptimizingPriority(TqcOptimizingPriority::opMemory);
  sSkinManager1->SetSkinDirectory("C:\\Skins");
  sSkinManager1->SetSkinName(VerdantSkinName);
}

void TfrmMonitor::CreatePage() {
  PageControl1 = new TsPageControl(this);
  PageControl1->SetName("PageControl1");
  PageControl1->SetParent(this);
  PageControl1->SetBounds(0, 0, 732, 351);
  PageControl1->SetAlign(alClient);
  PageControl1->SetStyle(tsButtons);
  PageControl1->SetHotTrack(true);
  PageControl1->SetTabOrder(0);

  tsInOut = new TsTabSheet(this);
  tsInOut->SetName("tsInOut");
  tsInOut->SetPageControl(PageControl1);
  tsInOut->SetCaption("In/Out");
  PageControl1->SetActivePage(tsInOut);

  StatusBar1 = new TsStatusBar(this);
  StatusBar1->SetName("StatusBar1");
  StatusBar1->SetParent(tsInOut);
  StatusBar1->SetBounds(0, 301, 724, 19);
  StatusBar1->SetAlign(alBottom);
  StatusBar1->SetColor(RGB(160, 160, 164));
  StatusBar1->SetTabOrder(0);
  StatusBar1->Panels().Add().SetWidth(50);

  PanelPort = new TsPanel(this);
  PanelPort->SetName("PanelPort");
  PanelPort->SetParent(tsInOut);
  PanelPort->SetBounds(0, 0, 724, 301);
  PanelPort->SetAlign(alClient);
  PanelPort->SetCaption("");
  PanelPort->SetBevelInner(bvSpace);
  PanelPort->SetFullRepaint(false);
  PanelPort->SetTabOrder(1);
}

std::vector<std::pair<TLabel*, TWinControl*>> TfrmMonitor::AttachListLabels() {
  // The lists carry an attached label without text, owned by the list; it is
  // placed left of it once loading has given it its size.
  std::vector<std::pair<TLabel*, TWinControl*>> labels;
  for (TWinControl* list :
       {static_cast<TWinControl*>(clbInputDevices), static_cast<TWinControl*>(clbOutputDevices),
        static_cast<TWinControl*>(lbListe)}) {
    auto* label = new TLabel(list);
    label->SetCaption("");
    SetControlFont(label, 11, false);
    label->SetFocusControl(list);
    labels.emplace_back(label, list);
  }
  return labels;
}

void TfrmMonitor::FormCreate(TObject*) {
  fCriticalSection = std::make_unique<std::recursive_mutex>();
  fWakeup = std::make_unique<platform::UiWakeup>([this] { MidiQueueSignalled(); });
  fPath = std::make_unique<TMidiPath>(
      [](int aIndex, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
        MidiOutput().Send(aIndex, aStatus, aData1, aData2);
      },
      [] { return MidiOutput().Count(); }, [w = fWakeup.get()] { w->Signal(); });
  FillInputList();
  FillDeviceList(clbOutputDevices, MidiOutput().Names());
  MidiInput().SetOnMidiData(
      [this](int aDeviceIndex, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2) {
        DoMidiInData(aDeviceIndex, aStatus, aData1, aData2);
      });
  warte = false;
  fPorts = std::make_unique<TPortLists>(
      *clbInputDevices, *clbOutputDevices, *fPath, *fCriticalSection, Handle(),
      [this](const std::string& aText) { StatusBar1->Panels()[0].SetText(aText); });
  fServiceNotices = std::make_unique<TServiceNotices>(Handle());
}

void TfrmMonitor::FormDestroy(TObject*) {
  // No list changes from here on, and no search for a lost service.
  fServiceNotices.reset();
  fPorts.reset();
  StopMidiDelivery();
  if (fUpdateTimerArmed && HandleAllocated())
    platform::KillTimer(Handle(), UpdateTimerId);
  fUpdateTimerArmed = false;
  fPath.reset();
  fWakeup.reset();
  fCriticalSection.reset();
}

void TfrmMonitor::StopMidiDelivery() {
  if (MidiInputExists()) {
    TMidiInput& input = MidiInput();
    input.SetOnMidiData({});
    // Closing waits for a message being handled on the port; a port whose
    // close fails is skipped so the others still close.
    for (int i = input.Count() - 1; i >= 0; --i) {
      try {
        input.Close(i);
      } catch (const std::exception&) {
      }
    }
  }
  if (fPath)
    fPath->Targets().Clear();
  if (MidiOutputExists()) {
    TMidiOutput& output = MidiOutput();
    for (int i = output.Count() - 1; i >= 0; --i) {
      try {
        output.Close(i);
      } catch (const std::exception&) {
      }
    }
  }
}

void TfrmMonitor::FillDeviceList(TCheckListBox* aList, const std::vector<std::string>& aNames) {
  aList->Items().Assign(aNames);
  for (int i = 0; i < aList->Count(); ++i)
    aList->SetChecked(i, false);
}

void TfrmMonitor::FillInputList() {
  TMidiInput& input = MidiInput();
  const std::vector<std::string> names = input.Names();
  FillDeviceList(clbInputDevices, names);
  if (fPath)
    fPath->InputNames().Publish(input.ListNumber(), names);
}

namespace {

// A rescan's first part: closes the ports of the checked lines, from the last
// down, then enumerates the ports again.
void CloseCheckedAndReenumerate(TMidiDevices& aRegistry, TCheckListBox* aList) {
  for (int i = aRegistry.Count() - 1; i >= 0; --i)
    if (i < aList->Count() && aList->Checked(i))
      aRegistry.Close(i);
  aRegistry.Reenumerate();
}

std::vector<std::string> LinesOf(TCheckListBox* aList) {
  std::vector<std::string> lines;
  for (int i = 0; i < aList->Count(); ++i)
    lines.push_back(aList->Items()[i]);
  return lines;
}

} // namespace

void TfrmMonitor::RefillInputListIfChanged() {
  TMidiInput& input = MidiInput();
  if (input.Names() != LinesOf(clbInputDevices))
    FillInputList();
  else if (fPath)
    fPath->InputNames().Publish(input.ListNumber(), input.Names());
}

void TfrmMonitor::KeepCheckedOutputsServed() {
  const std::vector<std::string> names = MidiOutput().Names();
  if (names != LinesOf(clbOutputDevices)) {
    FillDeviceList(clbOutputDevices, names);
    return;
  }
  // The lines name the same ports as before: a checked one is served again,
  // opening its port on the next message if it was closed.
  if (fPath)
    for (int i = 0; i < clbOutputDevices->Count(); ++i)
      if (clbOutputDevices->Checked(i))
        fPath->Targets().Set(i, true);
}

void TfrmMonitor::clbInputDevicesClickCheck(TObject*) {
  const int i = clbInputDevices->ItemIndex();
  try {
    if (clbInputDevices->Checked(i))
      MidiInput().Open(i);
    else
      MidiInput().Close(i);
  } catch (const std::exception&) {
    Application->MessageBox(DeviceUnavailableText, Application->Title(),
                            platform::MB_OK | platform::MB_ICONERROR);
    btnResetIn->SetFocus();
  }
}

void TfrmMonitor::clbOutputDevicesClickCheck(TObject*) {
  const int i = clbOutputDevices->ItemIndex();
  const bool checked = clbOutputDevices->Checked(i);
  // The thru stops serving a line before its port closes, and starts once the
  // port is open (a checked line whose open failed is still served: sending
  // tries to open it again).
  if (!checked && fPath)
    fPath->Targets().Set(i, false);
  try {
    if (checked)
      MidiOutput().Open(i);
    else
      MidiOutput().Close(i);
  } catch (const std::exception&) {
    if (checked && fPath)
      fPath->Targets().Set(i, true);
    Application->MessageBox(DeviceUnavailableText, Application->Title(),
                            platform::MB_OK | platform::MB_ICONERROR);
    btnResetOut->SetFocus();
    return;
  }
  if (checked && fPath)
    fPath->Targets().Set(i, true);
}

void TfrmMonitor::btnResetInClick(TObject*) {
  // A failure goes on to the application's handler; the list then still
  // shows the registry's ports.
  if (fPorts)
    fPorts->ForgetRemembered(false);
  try {
    CloseCheckedAndReenumerate(MidiInput(), clbInputDevices);
  } catch (...) {
    RefillInputListIfChanged();
    throw;
  }
  FillInputList();
}

void TfrmMonitor::btnResetOutClick(TObject*) {
  // The thru must not send under indexes that are about to change. A
  // failure goes on to the application's handler, but no line stays checked
  // without being served.
  if (fPath)
    fPath->Targets().Clear();
  if (fPorts)
    fPorts->ForgetRemembered(true);
  try {
    CloseCheckedAndReenumerate(MidiOutput(), clbOutputDevices);
  } catch (...) {
    KeepCheckedOutputsServed();
    throw;
  }
  FillDeviceList(clbOutputDevices, MidiOutput().Names());
}

void TfrmMonitor::btnListeLeerenClick(TObject*) {
  if (warte)
    return;
  lbListe->Items().Clear();
  TsPanel* emptied[] = {PanelCC,         PanelP1,      PanelP2,     PanelKanal,
                        PanelStatustext, PanelDB1Text, PanelDB2Text};
  for (TsPanel* p : emptied)
    p->SetCaption("");
  const int p1 = fBreakdown.P1Tag;
  const int p2 = fBreakdown.P2Tag;
  fBreakdown = TBreakdown{};
  fBreakdown.P1Tag = p1;
  fBreakdown.P2Tag = p2;
}

void TfrmMonitor::lbListeClick(TObject*) {
  // The line the user selected (by mouse or keys) stays selected when an
  // update of messages drained before is still pending.
  fSelectLast = false;
  ShowSelectedLine();
}

void TfrmMonitor::ShowSelectedLine() {
  if (warte)
    return;
  const int i = lbListe->ItemIndex();
  if (i < 0)
    return;
  TBusyScope busy(warte);
  DecodeLogLine(lbListe->Items()[i], fBreakdown);
  ApplyBreakdown();
}

void TfrmMonitor::ApplyBreakdown() {
  PanelCC->SetCaption(fBreakdown.PanelCC);
  PanelP1->SetCaption(fBreakdown.PanelP1);
  PanelP2->SetCaption(fBreakdown.PanelP2);
  PanelP1->SetTag(fBreakdown.P1Tag);
  PanelP2->SetTag(fBreakdown.P2Tag);
  PanelKanal->SetCaption(fBreakdown.PanelKanal);
  PanelStatustext->SetCaption(fBreakdown.PanelStatustext);
  PanelDB1Text->SetCaption(fBreakdown.PanelDB1Text);
  PanelDB2Text->SetCaption(fBreakdown.PanelDB2Text);
}

void TfrmMonitor::DoMidiInData(int aDeviceIndex, std::uint8_t aStatus, std::uint8_t aData1,
                               std::uint8_t aData2) {
  if (aStatus == 0xFE)
    return;
  std::lock_guard lock(*fCriticalSection);
  fPath->Receive(aDeviceIndex, aStatus, aData1, aData2, TMidiInput::DeliveryListNumber());
}

void TfrmMonitor::SetMessageLog(TMessageLog& aLog) {
  fPath->InputNames().SetListener(
      [&aLog](std::uint32_t aListing, const std::vector<std::string>& aNames) {
        aLog.PublishNames(aListing, aNames);
      });
  std::lock_guard lock(*fCriticalSection);
  fPath->SetLogQueue(&aLog.Queue());
}

std::uint64_t TfrmMonitor::DroppedMessages() const {
  return fPath ? fPath->Queue().Drops() : 0;
}

void TfrmMonitor::MidiQueueSignalled() {
  if (!fPath)
    return;
  // After a drain that left a backlog, the messages waiting in the loop get
  // a short turn before the next drain.
  if (fBacklog && std::chrono::steady_clock::now() - fBacklogDrainEnd < BacklogGap) {
    fWakeup->Signal();
    return;
  }
  ++fDrainCount;
  bool more = false;
  try {
    more = fPath->Queue().Drain([this](const TMidiEvent& aEvent) { ShowIncoming(aEvent); },
                                DrainBudget);
  } catch (...) {
    EndDrain();
    // The messages after the failing one are drained by the next run.
    if (!fPath->Queue().Empty())
      fWakeup->Signal();
    UpdatePaced(false);
    throw;
  }
  // A backlog is drained on: the wake-up runs again when the loop next looks
  // for a message, after the gap.
  EndDrain();
  fBacklog = more;
  fBacklogDrainEnd = std::chrono::steady_clock::now();
  if (more)
    fWakeup->Signal();
  UpdatePaced(more);
}

void TfrmMonitor::UpdatePaced(bool aBacklog) {
  if (!fShownSinceFinish)
    return;
  const auto since = fLastUpdate ? platform::TimerClockNow() - *fLastUpdate : MinUpdateInterval;
  if (since >= MinUpdateInterval) {
    if (fUpdateTimerArmed)
      platform::KillTimer(Handle(), UpdateTimerId);
    fUpdateTimerArmed = false;
    FinishDrain();
    // Painting waits until no posted message is ready, which a backlog may
    // keep from happening: the window paints here instead.
    if (aBacklog)
      Update();
    return;
  }
  if (fUpdateTimerArmed)
    return;
  fUpdateTimerArmed = true;
  const auto wait = MinUpdateInterval - since;
  platform::SetTimer(Handle(), UpdateTimerId, platform::UINT(std::max<long long>(1, wait.count())),
                     nullptr);
}

void TfrmMonitor::WndProc(TMessage& aMessage) {
  if (fPorts && fPorts->HandleMessage(aMessage))
    return;
  if (aMessage.Msg == TServiceNotices::InputOverrunMessage) {
    TServiceNotices::Taken(aMessage.Msg);
    StatusBar1->Panels()[0].SetText(fStatusLine + LossNote());
    aMessage.Result = 0;
    return;
  }
  if (aMessage.Msg == platform::WM_TIMER && aMessage.WParam == UpdateTimerId) {
    platform::KillTimer(Handle(), UpdateTimerId);
    fUpdateTimerArmed = false;
    FinishDrain();
    aMessage.Result = 0;
    return;
  }
  TForm::WndProc(aMessage);
}

void TfrmMonitor::DrainNow() {
  if (!fPath)
    return;
  while (fPath->Queue().Drain([this](const TMidiEvent& aEvent) { ShowIncoming(aEvent); },
                              std::chrono::hours(1))) {
  }
  EndDrain();
  FinishDrain();
}

void TfrmMonitor::ShowIncoming(const TMidiEvent& aEvent) {
  if (!fLogRedrawOff) {
    // The log is redrawn once when the drained messages are in, not per line.
    platform::SendMessageW(lbListe->Handle(), platform::WM_SETREDRAW, platform::FALSE, 0);
    fLogRedrawOff = true;
  }
  fShownSinceFinish = true;
  const std::string line = FormatLogLine(aEvent.Status, aEvent.Data1, aEvent.Data2);
  lbListe->Items().Add(line);
  fBreakdown.P1Tag = aEvent.Data1;
  fBreakdown.P2Tag = aEvent.Data2;
  if (!warte) {
    TBusyScope busy(warte);
    DecodeLogLine(line, fBreakdown);
  }
  fSelectLast = true;
  // Only the last message's status line stays visible, so it is written
  // once per drain; a thru failure in between is kept for it.
  fLastShown = aEvent;
  if (aEvent.ThruFailed) {
    ++fThruFailures;
    fFailed = aEvent;
    fFailure = fPath->Failures().Take(aEvent.Sequence);
  }
  ++fMessagesShown;
}

std::string TfrmMonitor::ThruFailureText(const TMidiEvent& aShown) {
  const std::optional<TMidiEvent> failed = std::exchange(fFailed, std::nullopt);
  const std::optional<TThruFailure> failure = std::exchange(fFailure, std::nullopt);
  if (!failed)
    return {};
  std::string text = " \xE2\x80\x93 Thru";
  // The failing message is named when the status line shows another one.
  if (failed->Sequence != aShown.Sequence)
    text += " von " + FormatLogLine(failed->Status, failed->Data1, failed->Data2);
  if (!failure)
    return text + " fehlgeschlagen";
  if (failure->OutputIndex >= 0) {
    text += " an Ausgang " + std::to_string(failure->OutputIndex);
    TMidiOutput& output = MidiOutput();
    if (failure->OutputIndex < output.Count())
      text += " (" + output.Name(failure->OutputIndex) + ")";
  }
  text += " fehlgeschlagen";
  if (!failure->Text.empty())
    text += ": " + failure->Text;
  if (failure->Missed > 0)
    text += " (+" + std::to_string(failure->Missed) + ")";
  return text;
}

void TfrmMonitor::EndDrain() {
  // A list with redrawing off is hidden from the mouse as well, so it is
  // switched on again after every drain: a click while the update waits must
  // reach the log. The lines added are painted by the update.
  if (std::exchange(fLogRedrawOff, false))
    platform::SendMessageW(lbListe->Handle(), platform::WM_SETREDRAW, platform::TRUE, 0);
}

void TfrmMonitor::FinishDrain() {
  if (!fShownSinceFinish || !fPath)
    return;
  fShownSinceFinish = false;
  fLastUpdate = platform::TimerClockNow();
  ++fUpdateCount;
  EndDrain();
  // The lines and the scroll bar changed while redrawing was off.
  platform::RedrawWindow(lbListe->Handle(), nullptr, nullptr,
                         platform::RDW_INVALIDATE | platform::RDW_ERASE | platform::RDW_FRAME);
  if (std::exchange(fSelectLast, false)) {
    lbListe->SetItemIndex(lbListe->Count() - 1);
    ApplyBreakdown();
  }
  // The port's name as it was when the message arrived.
  const std::string port = fPath->InputNames().Name(fLastShown.Listing, fLastShown.DeviceIndex);
  fStatusLine = FormatStatusLine(port, fLastShown.Status, fLastShown.Data1, fLastShown.Data2) +
                ThruFailureText(fLastShown);
  StatusBar1->Panels()[0].SetText(fStatusLine + LossNote());
}

std::string TfrmMonitor::LossNote() const {
  std::string note;
  if (const std::uint64_t drops = DroppedMessages(); drops > 0)
    note += " \xE2\x80\x93 " + DroppedMessagesText(drops);
  if (const std::uint64_t overruns = platform::MidiServiceInputOverruns(); overruns > 0)
    note += " \xE2\x80\x93 MIDI-Eingang \xC3\xBC"
            "bergelaufen (" +
            std::to_string(overruns) + "\xC3\x97), Meldungen verloren";
  return note;
}
