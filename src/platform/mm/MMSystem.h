#pragma once
// The multimedia MIDI function family (midiIn*, midiOut*) over the MIDI
// service started by StartMidiService (platform/mm/MidiService.h): names,
// numbers, result codes and records as on Windows.
//
// Differences that callers may rely on:
// - The capabilities records keep the port's full name: Linux port names are
//   often longer than 31 characters and two ports may share their first 31.
// - Handles are checked: a handle that was closed, or that belongs to a service
//   that has since been stopped, gives MMSYSERR_INVALHANDLE instead of harm.
// - midiInClose and midiInStop return only when no callback for that handle is
//   running any more and none will follow (MIM_CLOSE is the last).
// - Input callbacks run on a thread of the service, never on the caller's.

#include "platform/Types.h"

#include <string>

namespace platform {

struct HMIDIIN__;
struct HMIDIOUT__;
using HMIDIIN = HMIDIIN__*;
using HMIDIOUT = HMIDIOUT__*;

// Result codes.
inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
inline constexpr MMRESULT MMSYSERR_BADERRNUM = 9;
inline constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT MIDIERR_BASE = 64;
inline constexpr MMRESULT MIDIERR_UNPREPARED = MIDIERR_BASE + 0;
inline constexpr MMRESULT MIDIERR_STILLPLAYING = MIDIERR_BASE + 1;
inline constexpr MMRESULT MIDIERR_NOMAP = MIDIERR_BASE + 2;
inline constexpr MMRESULT MIDIERR_NOTREADY = MIDIERR_BASE + 3;
inline constexpr MMRESULT MIDIERR_NODEVICE = MIDIERR_BASE + 4;
inline constexpr MMRESULT MIDIERR_INVALIDSETUP = MIDIERR_BASE + 5;
inline constexpr MMRESULT MIDIERR_BADOPENMODE = MIDIERR_BASE + 6;
inline constexpr MMRESULT MIDIERR_DONT_CONTINUE = MIDIERR_BASE + 7;

// Longest error text in wide characters, the terminating null included.
inline constexpr UINT MAXERRORLENGTH = 256;

// midiInOpen flags.
inline constexpr DWORD CALLBACK_NULL = 0x00000000;
inline constexpr DWORD CALLBACK_FUNCTION = 0x00030000;

// Input callback messages.
inline constexpr UINT MIM_OPEN = 0x3C1;
inline constexpr UINT MIM_CLOSE = 0x3C2;
inline constexpr UINT MIM_DATA = 0x3C3;
inline constexpr UINT MIM_LONGDATA = 0x3C4;
inline constexpr UINT MIM_ERROR = 0x3C5;
inline constexpr UINT MIM_LONGERROR = 0x3C6;
inline constexpr UINT MIM_MOREDATA = 0x3CC;

// Input callback; passed to midiInOpen as a DWORD_PTR with CALLBACK_FUNCTION.
// For MIM_DATA, dwParam1 is the packed short message (status in bits 0-7,
// data 1 in bits 8-15, data 2 in bits 16-23) and dwParam2 the time in
// milliseconds since midiInStart.
using MIDIINPROC = void (*)(HMIDIIN hMidiIn, UINT wMsg, DWORD_PTR dwInstance, DWORD_PTR dwParam1,
                            DWORD_PTR dwParam2);

// Capabilities records. szPname holds the port's whole name as UTF-16.
struct MIDIINCAPSW {
  WORD wMid = 0;
  WORD wPid = 0;
  DWORD vDriverVersion = 0;
  std::u16string szPname;
  DWORD dwSupport = 0;
};

inline constexpr WORD MOD_MIDIPORT = 1;

struct MIDIOUTCAPSW {
  WORD wMid = 0;
  WORD wPid = 0;
  DWORD vDriverVersion = 0;
  std::u16string szPname;
  WORD wTechnology = 0;
  WORD wVoices = 0;
  WORD wNotes = 0;
  WORD wChannelMask = 0;
  DWORD dwSupport = 0;
};

UINT midiInGetNumDevs();
// cbmic must be sizeof(MIDIINCAPSW).
MMRESULT midiInGetDevCapsW(UINT_PTR uDeviceID, MIDIINCAPSW* pmic, UINT cbmic);
MMRESULT midiInOpen(HMIDIIN* phmi, UINT uDeviceID, DWORD_PTR dwCallback, DWORD_PTR dwInstance,
                    DWORD fdwOpen);
MMRESULT midiInStart(HMIDIIN hmi);
MMRESULT midiInStop(HMIDIIN hmi);
MMRESULT midiInReset(HMIDIIN hmi);
MMRESULT midiInClose(HMIDIIN hmi);
// Copies the text of mmrError, cut to cchText - 1 characters and null
// terminated, into pszText. MMSYSERR_BADERRNUM for a code without a text.
MMRESULT midiInGetErrorTextW(MMRESULT mmrError, char16_t* pszText, UINT cchText);
// The device number of the open port, in the numbering of the last
// midiInGetNumDevs call: MIDIERR_NODEVICE when the port is no longer listed,
// MMSYSERR_NOTSUPPORTED when the service cannot tell.
MMRESULT midiInGetID(HMIDIIN hmi, UINT* puDeviceID);

UINT midiOutGetNumDevs();
// cbmoc must be sizeof(MIDIOUTCAPSW).
MMRESULT midiOutGetDevCapsW(UINT_PTR uDeviceID, MIDIOUTCAPSW* pmoc, UINT cbmoc);
// Only CALLBACK_NULL is supported (dwCallback and dwInstance 0).
MMRESULT midiOutOpen(HMIDIOUT* phmo, UINT uDeviceID, DWORD_PTR dwCallback, DWORD_PTR dwInstance,
                     DWORD fdwOpen);
MMRESULT midiOutClose(HMIDIOUT hmo);
MMRESULT midiOutShortMsg(HMIDIOUT hmo, DWORD dwMsg);
MMRESULT midiOutGetErrorTextW(MMRESULT mmrError, char16_t* pszText, UINT cchText);
// As midiInGetID, numbered by the last midiOutGetNumDevs call.
MMRESULT midiOutGetID(HMIDIOUT hmo, UINT* puDeviceID);

} // namespace platform
