#pragma once
// The monitor's window shown over a MIDI service the test has started, with
// its automation at hand; torn down with the service.

#include "midi/sysMidiIn.h"
#include "midi/sysMidiOut.h"
#include "monitor/MonitorAutomation.h"
#include "monitor/monitor.h"
#include "platform/mm/MidiService.h"
#include "platform/win/MessageLoop.h"

#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>

class MonitorFormTest : public ::testing::Test {
protected:
  void ShowMonitor() {
    fApplication = new TApplication();
    Application->Initialize();
    Application->SetTitle("Sonaro MidiMonitor");
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
  }

  TCheckListBox* List(bool aOutput) const {
    return aOutput ? fForm->clbOutputDevices : fForm->clbInputDevices;
  }
  std::string Status() const { return fForm->StatusBar1->Panels()[0].Text(); }

  TApplication* fApplication = nullptr;
  TfrmMonitor* fForm = nullptr;
  std::ostringstream fDump;
  std::unique_ptr<TMonitorAutomation> fAutomation;
};
