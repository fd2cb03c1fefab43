#include "platform/mm/MMSystem.h"

#include "platform/mm/MidiBackend.h"
#include "platform/mm/WideText.h"

#include <algorithm>

namespace platform {

namespace {

const char* ErrorText(MMRESULT aCode) {
  switch (aCode) {
  case MMSYSERR_NOERROR:
    return "The MIDI operation succeeded.";
  case MMSYSERR_ERROR:
    return "The MIDI service reported an unspecified error.";
  case MMSYSERR_BADDEVICEID:
    return "The MIDI port number is out of range.";
  case MMSYSERR_NOTENABLED:
    return "The MIDI service is not enabled.";
  case MMSYSERR_ALLOCATED:
    return "The MIDI port is already in use by another program.";
  case MMSYSERR_INVALHANDLE:
    return "The MIDI port handle is invalid (the port is not open).";
  case MMSYSERR_NODRIVER:
    return "No MIDI service is running.";
  case MMSYSERR_NOMEM:
    return "There is not enough memory for the MIDI port.";
  case MMSYSERR_NOTSUPPORTED:
    return "The MIDI service does not support this function.";
  case MMSYSERR_BADERRNUM:
    return "The error number is unknown.";
  case MMSYSERR_INVALFLAG:
    return "An invalid flag was passed to the MIDI service.";
  case MMSYSERR_INVALPARAM:
    return "An invalid parameter was passed to the MIDI service.";
  case MIDIERR_UNPREPARED:
    return "The MIDI data block is not prepared.";
  case MIDIERR_STILLPLAYING:
    return "The MIDI port is still playing.";
  case MIDIERR_NOMAP:
    return "There is no MIDI map.";
  case MIDIERR_NOTREADY:
    return "The MIDI port is not ready: its buffer is full, or it cannot be opened from the "
           "service's real-time thread.";
  case MIDIERR_NODEVICE:
    return "The MIDI port is no longer present.";
  case MIDIERR_INVALIDSETUP:
    return "The MIDI setup is invalid.";
  case MIDIERR_BADOPENMODE:
    return "The operation is not possible in this open mode.";
  case MIDIERR_DONT_CONTINUE:
    return "The MIDI thru was told not to continue.";
  default:
    return nullptr;
  }
}

MMRESULT GetErrorText(MMRESULT aCode, char16_t* aText, UINT aLength) {
  if (aText == nullptr || aLength == 0)
    return MMSYSERR_INVALPARAM;
  const char* text = ErrorText(aCode);
  if (text == nullptr) {
    aText[0] = 0;
    return MMSYSERR_BADERRNUM;
  }
  const std::u16string wide = mmtext::ToUtf16(text);
  const std::size_t count = std::min<std::size_t>(wide.size(), aLength - 1);
  std::copy_n(wide.begin(), count, aText);
  aText[count] = 0;
  return MMSYSERR_NOERROR;
}

MMRESULT FillName(MidiDirection aDirection, UINT_PTR aId, std::u16string& aName) {
  MidiBackend* backend = CurrentMidiBackend();
  if (backend == nullptr)
    return MMSYSERR_NODRIVER;
  if (aId > 0xFFFFFFFFu)
    return MMSYSERR_BADDEVICEID;
  std::string name;
  const MMRESULT result = backend->PortName(aDirection, UINT(aId), name);
  if (result == MMSYSERR_NOERROR)
    aName = mmtext::ToUtf16(name);
  return result;
}

// Handle calls: without a running service every handle is invalid.
template <typename Call>
MMRESULT Dispatch(Call aCall) {
  MidiBackend* backend = CurrentMidiBackend();
  return backend ? aCall(*backend) : MMSYSERR_INVALHANDLE;
}

} // namespace

std::size_t ShortMessageLength(BYTE aStatus) {
  if (aStatus < 0x80)
    return 0;
  if (aStatus < 0xF0)
    return (aStatus & 0xE0) == 0xC0 ? 2 : 3;
  switch (aStatus) {
  case 0xF0: // system exclusive start and end: not short messages
  case 0xF7:
    return 0;
  case 0xF1:
  case 0xF3:
    return 2;
  case 0xF2:
    return 3;
  default:
    return 1;
  }
}

UINT midiInGetNumDevs() {
  MidiBackend* backend = CurrentMidiBackend();
  return backend ? backend->NumDevs(MidiDirection::In) : 0;
}

MMRESULT midiInGetDevCapsW(UINT_PTR uDeviceID, MIDIINCAPSW* pmic, UINT cbmic) {
  if (pmic == nullptr || cbmic != sizeof(MIDIINCAPSW))
    return MMSYSERR_INVALPARAM;
  std::u16string name;
  const MMRESULT result = FillName(MidiDirection::In, uDeviceID, name);
  if (result != MMSYSERR_NOERROR)
    return result;
  *pmic = MIDIINCAPSW{};
  pmic->vDriverVersion = 0x0100;
  pmic->szPname = std::move(name);
  return MMSYSERR_NOERROR;
}

MMRESULT midiInOpen(HMIDIIN* phmi, UINT uDeviceID, DWORD_PTR dwCallback, DWORD_PTR dwInstance,
                    DWORD fdwOpen) {
  if (phmi == nullptr)
    return MMSYSERR_INVALPARAM;
  *phmi = nullptr;
  MIDIINPROC proc = nullptr;
  if (fdwOpen == CALLBACK_FUNCTION) {
    if (dwCallback == 0)
      return MMSYSERR_INVALPARAM;
    proc = reinterpret_cast<MIDIINPROC>(dwCallback);
  } else if (fdwOpen != CALLBACK_NULL) {
    return MMSYSERR_INVALFLAG;
  }
  MidiBackend* backend = CurrentMidiBackend();
  if (backend == nullptr)
    return MMSYSERR_NODRIVER;
  HMIDIIN handle = nullptr;
  const MMRESULT result = backend->OpenIn(uDeviceID, proc, dwInstance, handle);
  if (result == MMSYSERR_NOERROR)
    *phmi = handle;
  return result;
}

MMRESULT midiInStart(HMIDIIN hmi) {
  return Dispatch([&](MidiBackend& aBackend) { return aBackend.StartIn(hmi); });
}
MMRESULT midiInStop(HMIDIIN hmi) {
  return Dispatch([&](MidiBackend& aBackend) { return aBackend.StopIn(hmi); });
}
MMRESULT midiInReset(HMIDIIN hmi) {
  return Dispatch([&](MidiBackend& aBackend) { return aBackend.ResetIn(hmi); });
}
MMRESULT midiInClose(HMIDIIN hmi) {
  return Dispatch([&](MidiBackend& aBackend) { return aBackend.CloseIn(hmi); });
}

MMRESULT midiInGetErrorTextW(MMRESULT mmrError, char16_t* pszText, UINT cchText) {
  return GetErrorText(mmrError, pszText, cchText);
}

MMRESULT midiInGetID(HMIDIIN hmi, UINT* puDeviceID) {
  if (puDeviceID == nullptr)
    return MMSYSERR_INVALPARAM;
  return Dispatch([&](MidiBackend& aBackend) { return aBackend.InId(hmi, *puDeviceID); });
}

UINT midiOutGetNumDevs() {
  MidiBackend* backend = CurrentMidiBackend();
  return backend ? backend->NumDevs(MidiDirection::Out) : 0;
}

MMRESULT midiOutGetDevCapsW(UINT_PTR uDeviceID, MIDIOUTCAPSW* pmoc, UINT cbmoc) {
  if (pmoc == nullptr || cbmoc != sizeof(MIDIOUTCAPSW))
    return MMSYSERR_INVALPARAM;
  std::u16string name;
  const MMRESULT result = FillName(MidiDirection::Out, uDeviceID, name);
  if (result != MMSYSERR_NOERROR)
    return result;
  *pmoc = MIDIOUTCAPSW{};
  pmoc->vDriverVersion = 0x0100;
  pmoc->szPname = std::move(name);
  pmoc->wTechnology = MOD_MIDIPORT;
  pmoc->wChannelMask = 0xFFFF;
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutOpen(HMIDIOUT* phmo, UINT uDeviceID, DWORD_PTR dwCallback, DWORD_PTR dwInstance,
                     DWORD fdwOpen) {
  if (phmo == nullptr)
    return MMSYSERR_INVALPARAM;
  *phmo = nullptr;
  if (fdwOpen != CALLBACK_NULL)
    return MMSYSERR_INVALFLAG;
  if (dwCallback != 0 || dwInstance != 0)
    return MMSYSERR_INVALPARAM;
  MidiBackend* backend = CurrentMidiBackend();
  if (backend == nullptr)
    return MMSYSERR_NODRIVER;
  HMIDIOUT handle = nullptr;
  const MMRESULT result = backend->OpenOut(uDeviceID, handle);
  if (result == MMSYSERR_NOERROR)
    *phmo = handle;
  return result;
}

MMRESULT midiOutClose(HMIDIOUT hmo) {
  return Dispatch([&](MidiBackend& aBackend) { return aBackend.CloseOut(hmo); });
}
MMRESULT midiOutShortMsg(HMIDIOUT hmo, DWORD dwMsg) {
  return Dispatch([&](MidiBackend& aBackend) { return aBackend.ShortMsg(hmo, dwMsg); });
}

MMRESULT midiOutGetErrorTextW(MMRESULT mmrError, char16_t* pszText, UINT cchText) {
  return GetErrorText(mmrError, pszText, cchText);
}

MMRESULT midiOutGetID(HMIDIOUT hmo, UINT* puDeviceID) {
  if (puDeviceID == nullptr)
    return MMSYSERR_INVALPARAM;
  return Dispatch([&](MidiBackend& aBackend) { return aBackend.OutId(hmo, *puDeviceID); });
}

} // namespace platform
