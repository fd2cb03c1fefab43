// The midiIn*/midiOut* surface: error texts, records, argument checks, and
// choosing the service from the option text.
#include "platform/mm/MMSystem.h"

#include "platform/mm/MidiBackend.h"
#include "platform/mm/MidiService.h"
#include "platform/mm/VirtualMidi.h"
#include "platform/mm/WideText.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using namespace platform;

namespace {

std::string ErrorText(MMRESULT aCode, UINT aLength = MAXERRORLENGTH) {
  char16_t text[MAXERRORLENGTH + 1];
  std::fill(std::begin(text), std::end(text), u'#');
  const MMRESULT result = midiInGetErrorTextW(aCode, text, aLength);
  return result == MMSYSERR_NOERROR ? mmtext::ToUtf8(text) : "<" + std::to_string(result) + ">";
}

TEST(MMSystem, ErrorTextsExistForEveryResultCodeAndFitTheLimit) {
  for (MMRESULT code = 0; code <= MMSYSERR_INVALPARAM; ++code) {
    const std::string text = ErrorText(code);
    EXPECT_NE(text.front(), '<') << code;
    EXPECT_LT(mmtext::ToUtf16(text).size(), MAXERRORLENGTH) << code;
  }
  for (MMRESULT code = MIDIERR_UNPREPARED; code <= MIDIERR_DONT_CONTINUE; ++code)
    EXPECT_NE(ErrorText(code).front(), '<') << code;
  EXPECT_EQ(ErrorText(MMSYSERR_ALLOCATED), "The MIDI port is already in use by another program.");
}

TEST(MMSystem, UnknownCodesHaveNoText) {
  for (MMRESULT code : {12u, 63u, 72u, 999u, 0xFFFFFFFFu})
    EXPECT_EQ(ErrorText(code), "<" + std::to_string(MMSYSERR_BADERRNUM) + ">") << code;
}

TEST(MMSystem, ErrorTextIsCutToTheBufferAndNullTerminated) {
  char16_t text[8];
  std::fill(std::begin(text), std::end(text), u'#');
  ASSERT_EQ(midiInGetErrorTextW(MMSYSERR_ALLOCATED, text, 5), MMSYSERR_NOERROR);
  EXPECT_EQ(std::u16string(text), u"The ");
  EXPECT_EQ(text[5], u'#'); // nothing written past the given length
  EXPECT_EQ(midiInGetErrorTextW(MMSYSERR_ALLOCATED, nullptr, 10), MMSYSERR_INVALPARAM);
  EXPECT_EQ(midiInGetErrorTextW(MMSYSERR_ALLOCATED, text, 0), MMSYSERR_INVALPARAM);
  EXPECT_EQ(midiOutGetErrorTextW(MIDIERR_NODEVICE, text, 8), MMSYSERR_NOERROR);
  EXPECT_EQ(std::u16string(text), u"The MID");
}

TEST(MMSystem, WithoutAServiceNothingIsThere) {
  StopMidiService();
  EXPECT_EQ(midiInGetNumDevs(), 0u);
  EXPECT_EQ(midiOutGetNumDevs(), 0u);
  HMIDIIN in = reinterpret_cast<HMIDIIN>(1);
  EXPECT_EQ(midiInOpen(&in, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
  EXPECT_EQ(in, nullptr);
  EXPECT_EQ(midiInClose(reinterpret_cast<HMIDIIN>(0x10000)), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(midiOutShortMsg(reinterpret_cast<HMIDIOUT>(0x10000), 0x90), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(VirtualMidiInject(0, 0x90), MMSYSERR_NOTENABLED);
  EXPECT_EQ(CurrentMidiService().Kind, MidiBackendKind::None);
}

class ServiceTest : public testing::Test {
protected:
  void TearDown() override { StopMidiService(); }
};

TEST_F(ServiceTest, CapabilitiesKeepTheWholeName) {
  const std::string a = "Midi Through:Midi Through Port-0";
  const std::string b = "Midi Through:Midi Through Port-1";
  ASSERT_EQ(StartMidiService("virtual:in=" + a + "," + b + ";out=Gerät Ä").Result,
            MMSYSERR_NOERROR);
  ASSERT_EQ(midiInGetNumDevs(), 2u);
  MIDIINCAPSW caps;
  ASSERT_EQ(midiInGetDevCapsW(0, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_EQ(mmtext::ToUtf8(caps.szPname), a);
  ASSERT_EQ(midiInGetDevCapsW(1, &caps, sizeof caps), MMSYSERR_NOERROR);
  EXPECT_EQ(mmtext::ToUtf8(caps.szPname), b);
  MIDIOUTCAPSW outCaps;
  ASSERT_EQ(midiOutGetDevCapsW(0, &outCaps, sizeof outCaps), MMSYSERR_NOERROR);
  EXPECT_EQ(mmtext::ToUtf8(outCaps.szPname), "Gerät Ä");
  EXPECT_EQ(outCaps.wTechnology, MOD_MIDIPORT);
  EXPECT_EQ(midiInGetDevCapsW(2, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(midiInGetDevCapsW(0, &caps, 76), MMSYSERR_INVALPARAM);
  EXPECT_EQ(midiOutGetDevCapsW(0, nullptr, sizeof outCaps), MMSYSERR_INVALPARAM);
}

TEST_F(ServiceTest, OpenChecksItsArguments) {
  ASSERT_EQ(StartMidiService("virtual:in=A;out=B").Result, MMSYSERR_NOERROR);
  HMIDIIN in = nullptr;
  EXPECT_EQ(midiInOpen(nullptr, 0, 0, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
  EXPECT_EQ(midiInOpen(&in, 0, 0, 0, CALLBACK_FUNCTION), MMSYSERR_INVALPARAM);
  EXPECT_EQ(midiInOpen(&in, 0, 0, 0, 0x50000), MMSYSERR_INVALFLAG);
  EXPECT_EQ(midiInOpen(&in, 1, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  HMIDIOUT out = nullptr;
  EXPECT_EQ(midiOutOpen(&out, 0, 0, 0, CALLBACK_FUNCTION), MMSYSERR_INVALFLAG);
  EXPECT_EQ(midiOutOpen(&out, 0, 1, 0, CALLBACK_NULL), MMSYSERR_INVALPARAM);
  EXPECT_EQ(midiOutOpen(&out, 7, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(out, nullptr);
}

TEST_F(ServiceTest, HandlesOfClosedPortsAndStoppedServicesAreInvalid) {
  ASSERT_EQ(StartMidiService("virtual:in=A;out=B").Result, MMSYSERR_NOERROR);
  HMIDIOUT out = nullptr;
  ASSERT_EQ(midiOutOpen(&out, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  ASSERT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
  EXPECT_EQ(midiOutShortMsg(out, 0x90), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(midiOutClose(out), MMSYSERR_INVALHANDLE);
  HMIDIIN in = nullptr;
  ASSERT_EQ(midiInOpen(&in, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
  ASSERT_EQ(StartMidiService("virtual:in=A;out=B").Result, MMSYSERR_NOERROR);
  EXPECT_EQ(midiInStart(in), MMSYSERR_INVALHANDLE);
  EXPECT_EQ(midiInClose(in), MMSYSERR_INVALHANDLE);
}

struct OptionCase {
  const char* Option;
  MMRESULT Result;
  MidiBackendKind Kind;
  const char* NoteContains;
};

TEST_F(ServiceTest, ChoosesTheServiceFromTheOptionText) {
  // No JACK server answers under this name, and the ALSA sequencer is absent
  // on the machines these tests run on (checked below).
  const std::string server = "mm-none-" + std::to_string(getpid());
  setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
  if (std::filesystem::exists("/dev/snd/seq"))
    GTEST_SKIP() << "this machine has an ALSA sequencer; the fallback cases need none";
  const OptionCase cases[] = {
      {"virtual", MMSYSERR_NOERROR, MidiBackendKind::Virtual, "demo"},
      {"virtual:in=A", MMSYSERR_NOERROR, MidiBackendKind::Virtual, "virtual"},
      {"auto", MMSYSERR_NOERROR, MidiBackendKind::Virtual,
       "No MIDI service was reachable (ALSA: /dev/snd/seq cannot be opened"},
      {"alsa", MMSYSERR_NODRIVER, MidiBackendKind::None, "ALSA sequencer cannot be reached"},
      {"jack", MMSYSERR_NODRIVER, MidiBackendKind::None, server.c_str()},
      {"coreaudio", MMSYSERR_INVALPARAM, MidiBackendKind::None, "Unknown MIDI service"},
      {"", MMSYSERR_INVALPARAM, MidiBackendKind::None, "Unknown MIDI service"},
      {"jack:in=A", MMSYSERR_INVALPARAM, MidiBackendKind::None, "takes no description"},
      {"virtual:in=A,,B", MMSYSERR_INVALPARAM, MidiBackendKind::None, "empty port name"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(StartMidiService("virtual:in=Before").Result, MMSYSERR_NOERROR);
    const MidiServiceStatus status = StartMidiService(c.Option);
    EXPECT_EQ(status.Result, c.Result) << c.Option;
    EXPECT_EQ(status.Kind, c.Kind) << c.Option;
    EXPECT_NE(status.Note.find(c.NoteContains), std::string::npos)
        << c.Option << ": " << status.Note;
    if (c.Result != MMSYSERR_NOERROR) {
      // A failed start keeps the service that ran.
      MIDIINCAPSW caps;
      ASSERT_EQ(midiInGetDevCapsW(0, &caps, sizeof caps), MMSYSERR_NOERROR) << c.Option;
      EXPECT_EQ(mmtext::ToUtf8(caps.szPname), "Before") << c.Option;
    }
  }
  unsetenv("JACK_DEFAULT_SERVER");
}

TEST(ShortMessage, LengthFollowsTheStatusByte) {
  const std::pair<BYTE, std::size_t> cases[] = {
      {0x00, 0}, {0x7F, 0}, {0x80, 3}, {0x9F, 3}, {0xAF, 3}, {0xB0, 3},
      {0xC0, 2}, {0xDF, 2}, {0xE0, 3}, {0xF0, 0}, {0xF1, 2}, {0xF2, 3},
      {0xF3, 2}, {0xF6, 1}, {0xF7, 0}, {0xF8, 1}, {0xFE, 1}, {0xFF, 1}};
  for (const auto& [status, length] : cases)
    EXPECT_EQ(ShortMessageLength(status), length) << int(status);
}

} // namespace
