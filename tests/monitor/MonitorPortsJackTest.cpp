// The monitor's port lists on a private JACK server: a client that comes and
// goes, and the server stopped and started again.
#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/MonitorAutomation.h"
#include "monitor/monitor.h"
#include "platform/mm/MidiService.h"
#include "platform/win/MessageLoop.h"
#include "support/JackServer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

namespace {

class MonitorPortsOnJack : public ::testing::Test {
protected:
  void SetUp() override {
    fServer = std::make_unique<TJackServer>();
    if (!fServer->Running()) {
      ASSERT_FALSE(JackServerRequired())
          << "no JACK server could be started: " << fServer->Reason();
      GTEST_SKIP() << "no JACK server could be started here: " << fServer->Reason();
    }
    const platform::MidiServiceStatus status = platform::StartMidiService("jack");
    ASSERT_EQ(status.Result, 0u) << status.Note;
    fApplication = new TApplication();
    Application->Initialize();
    fForm = Application->CreateForm<TfrmMonitor>();
    fForm->Show();
    platform::PumpUntilIdle();
    fAutomation = std::make_unique<TMonitorAutomation>(*fForm, fDump);
  }
  void TearDown() override {
    fAutomation.reset();
    delete fApplication;
    FreeMidiDevices();
    platform::StopMidiService();
    fProbe.reset();
    fServer.reset();
  }

  // The line of the port named aName, -1 when the list has none.
  int Line(bool aOutput, const std::string& aName) const {
    TCheckListBox* list = aOutput ? fForm->clbOutputDevices : fForm->clbInputDevices;
    for (int i = 0; i < list->Count(); ++i)
      if (list->Items()[i] == aName)
        return i;
    return -1;
  }
  bool Checked(bool aOutput, const std::string& aName) const {
    TCheckListBox* list = aOutput ? fForm->clbOutputDevices : fForm->clbInputDevices;
    const int line = Line(aOutput, aName);
    return line >= 0 && list->Checked(line);
  }
  // Runs the loop until aDone holds, within a generous limit.
  static bool WaitFor(const std::function<bool()>& aDone) {
    return platform::PumpUntil(aDone, 15000);
  }
  // A client "keys" with one output and one input port.
  void PlugInProbe() {
    fProbe = std::make_unique<TJackProbe>(fProbeName, 1, 1);
    ASSERT_TRUE(fProbe->Ok());
  }
  // The probe's note goes through the monitor (logged) and its thru back to
  // the probe's input.
  void ExpectThru(std::uint8_t aNote) {
    const std::size_t before = fProbe->WaitReceived(0, 0, 0).size();
    const int logged = fForm->lbListe->Count();
    fProbe->SendBurst(0, {ProbeEvent(0, 0x90, aNote, 0x64)});
    const auto received = fProbe->WaitReceived(0, before + 1, 10000);
    ASSERT_EQ(received.size(), before + 1);
    EXPECT_EQ(received.back().Bytes[1], aNote);
    EXPECT_TRUE(WaitFor([&] { return fForm->lbListe->Count() > logged; }));
  }
  std::string Status() const { return fForm->StatusBar1->Panels()[0].Text(); }

  std::unique_ptr<TJackServer> fServer;
  std::string fProbeName = UniqueJackName("keys");
  std::unique_ptr<TJackProbe> fProbe;
  TApplication* fApplication = nullptr;
  TfrmMonitor* fForm = nullptr;
  std::ostringstream fDump;
  std::unique_ptr<TMonitorAutomation> fAutomation;
};

TEST_F(MonitorPortsOnJack, AClientThatComesAndGoesIsFollowedAndCheckedAgain) {
  PlugInProbe();
  const std::string out = fProbe->OutputPort(0), in = fProbe->InputPort(0);
  ASSERT_TRUE(WaitFor([&] { return Line(false, out) >= 0 && Line(true, in) >= 0; }));
  fAutomation->SetLineChecked(false, Line(false, out), true);
  fAutomation->SetLineChecked(true, Line(true, in), true);
  ExpectThru(0x3C);
  fProbe.reset();
  ASSERT_TRUE(WaitFor([&] { return Line(false, out) < 0 && Line(true, in) < 0; }));
  EXPECT_NE(Status().find("Ger\xC3\xA4t weg"), std::string::npos) << Status();
  PlugInProbe();
  ASSERT_TRUE(WaitFor([&] { return Checked(false, out) && Checked(true, in); }));
  EXPECT_TRUE(MidiInput().IsOpen(Line(false, out)));
  EXPECT_TRUE(MidiOutput().IsOpen(Line(true, in)));
  EXPECT_NE(Status().find("Ger\xC3\xA4t wieder da"), std::string::npos) << Status();
  ExpectThru(0x3E);
}

TEST_F(MonitorPortsOnJack, TheServerThatComesBackIsFoundAndItsPortsCheckedAgain) {
  PlugInProbe();
  const std::string out = fProbe->OutputPort(0), in = fProbe->InputPort(0);
  ASSERT_TRUE(WaitFor([&] { return Line(false, out) >= 0 && Line(true, in) >= 0; }));
  fAutomation->SetLineChecked(false, Line(false, out), true);
  fAutomation->SetLineChecked(true, Line(true, in), true);
  fProbe.reset();
  fServer->Kill();
  ASSERT_TRUE(WaitFor([&] { return Status().starts_with("JACK-Server weg"); })) << Status();
  EXPECT_EQ(fForm->clbInputDevices->Count(), 0);
  EXPECT_EQ(fForm->clbOutputDevices->Count(), 0);
  EXPECT_TRUE(fForm->PortLists()->SearchingService());
  // "Midi In (Reset)" meanwhile finds nothing, and the lists still come back.
  fAutomation->ClickButton("btnResetIn");
  ASSERT_TRUE(fServer->Restart()) << fServer->Reason();
  PlugInProbe();
  ASSERT_TRUE(WaitFor([&] { return Checked(true, in) && Line(false, out) >= 0; })) << Status();
  EXPECT_FALSE(Checked(false, out)) << "the rescan of the inputs forgot it";
  EXPECT_TRUE(MidiOutput().IsOpen(Line(true, in)));
  EXPECT_FALSE(fForm->PortLists()->SearchingService());
  EXPECT_EQ(platform::CurrentMidiService().Kind, platform::MidiBackendKind::Jack);
  fAutomation->SetLineChecked(false, Line(false, out), true);
  ExpectThru(0x40);
}

} // namespace
