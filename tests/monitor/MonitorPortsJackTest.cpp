// The monitor's port lists on a private JACK server: a client that comes and
// goes, and the server stopped and started again.
#include "MonitorFormFixture.h"
#include "support/JackServer.h"

namespace {

class MonitorPortsOnJack : public MonitorFormTest {
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
    ShowMonitor();
  }
  void TearDown() override {
    MonitorFormTest::TearDown();
    fProbe.reset();
    fServer.reset();
  }

  // The line of the port named aName, -1 when the list has none.
  int Line(bool aOutput, const std::string& aName) const {
    for (int i = 0; i < List(aOutput)->Count(); ++i)
      if (List(aOutput)->Items()[i] == aName)
        return i;
    return -1;
  }
  bool Checked(bool aOutput, const std::string& aName) const {
    const int line = Line(aOutput, aName);
    return line >= 0 && List(aOutput)->Checked(line);
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
  // The probe plugged in, its ports listed and checked: its output port
  // among the inputs and its input port among the outputs.
  void PlugInAndCheckProbe() {
    ASSERT_NO_FATAL_FAILURE(PlugInProbe());
    fOut = fProbe->OutputPort(0);
    fIn = fProbe->InputPort(0);
    ASSERT_TRUE(WaitFor([&] { return Line(false, fOut) >= 0 && Line(true, fIn) >= 0; }));
    fAutomation->SetLineChecked(false, Line(false, fOut), true);
    fAutomation->SetLineChecked(true, Line(true, fIn), true);
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

  std::unique_ptr<TJackServer> fServer;
  std::string fProbeName = UniqueJackName("keys");
  std::unique_ptr<TJackProbe> fProbe;
  std::string fOut, fIn;
};

TEST_F(MonitorPortsOnJack, AClientThatComesAndGoesIsFollowedAndCheckedAgain) {
  PlugInAndCheckProbe();
  ExpectThru(0x3C);
  fProbe.reset();
  ASSERT_TRUE(WaitFor([&] { return Line(false, fOut) < 0 && Line(true, fIn) < 0; }));
  EXPECT_NE(Status().find("Ger\xC3\xA4t weg"), std::string::npos) << Status();
  PlugInProbe();
  ASSERT_TRUE(WaitFor([&] { return Checked(false, fOut) && Checked(true, fIn); }));
  EXPECT_TRUE(MidiInput().IsOpen(Line(false, fOut)));
  EXPECT_TRUE(MidiOutput().IsOpen(Line(true, fIn)));
  EXPECT_NE(Status().find("Ger\xC3\xA4t wieder da"), std::string::npos) << Status();
  ExpectThru(0x3E);
}

TEST_F(MonitorPortsOnJack, TheServerThatComesBackIsFoundAndItsPortsCheckedAgain) {
  PlugInAndCheckProbe();
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
  ASSERT_TRUE(WaitFor([&] { return Checked(true, fIn) && Line(false, fOut) >= 0; })) << Status();
  EXPECT_FALSE(Checked(false, fOut)) << "the rescan of the inputs forgot it";
  EXPECT_TRUE(MidiOutput().IsOpen(Line(true, fIn)));
  EXPECT_FALSE(fForm->PortLists()->SearchingService());
  EXPECT_EQ(platform::CurrentMidiService().Kind, platform::MidiBackendKind::Jack);
  fAutomation->SetLineChecked(false, Line(false, fOut), true);
  ExpectThru(0x40);
}

} // namespace
