#include "platform/mm/AlsaMidiBackend.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

struct AlsaIn {
  std::unique_ptr<RtMidiIn> Midi;
  MIDIINPROC Proc = nullptr;
  DWORD_PTR Instance = 0;
  HMIDIIN Handle = nullptr;
  std::atomic<bool> Started{false};
  std::atomic<int> InCallback{0};
  std::atomic<std::int64_t> StartTime{0}; // milliseconds, steady clock
};

struct AlsaOut {
  std::unique_ptr<RtMidiOut> Midi;
  std::mutex SendLock;
};

// The input whose RtMidi callback runs on this thread.
thread_local const AlsaIn* tCallbackInput = nullptr;

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void InputCallback(double, std::vector<unsigned char>* aMessage, void* aUser) {
  auto* input = static_cast<AlsaIn*>(aUser);
  input->InCallback.fetch_add(1);
  tCallbackInput = input;
  const std::size_t size = aMessage->size();
  if (input->Started.load() && input->Proc != nullptr && size >= 1 && size <= 3 &&
      ShortMessageLength((*aMessage)[0]) == size) {
    DWORD message = 0;
    for (std::size_t i = 0; i < size; ++i)
      message |= DWORD((*aMessage)[i]) << (8 * i);
    try {
      input->Proc(input->Handle, MIM_DATA, input->Instance, message,
                  DWORD_PTR(NowMs() - input->StartTime.load()));
    } catch (...) {
      // Nothing may leave into RtMidi's thread; the registry reports its own.
    }
  }
  tCallbackInput = nullptr;
  input->InCallback.fetch_sub(1);
}

class AlsaMidiBackend final : public MidiBackend {
public:
  AlsaMidiBackend()
      : fProbeIn(RtMidi::LINUX_ALSA, "midimonitor"), fProbeOut(RtMidi::LINUX_ALSA, "midimonitor") {}

  UINT NumDevs(MidiDirection aDirection) override {
    std::lock_guard lock(fLock);
    std::vector<std::string> names;
    try {
      RtMidi& probe = aDirection == MidiDirection::In ? static_cast<RtMidi&>(fProbeIn)
                                                      : static_cast<RtMidi&>(fProbeOut);
      const unsigned count = probe.getPortCount();
      for (unsigned i = 0; i < count; ++i)
        names.push_back(probe.getPortName(i));
    } catch (const RtMidiError&) {
      names.clear();
    }
    Names(aDirection) = names;
    return UINT(names.size());
  }

  MMRESULT PortName(MidiDirection aDirection, UINT aId, std::string& aName) override {
    std::lock_guard lock(fLock);
    if (aId >= Names(aDirection).size())
      return MMSYSERR_BADDEVICEID;
    aName = Names(aDirection)[aId];
    return MMSYSERR_NOERROR;
  }

  MMRESULT OpenIn(UINT aId, MIDIINPROC aProc, DWORD_PTR aInstance, HMIDIIN& aHandle) override {
    std::lock_guard lock(fLock);
    const UINT port = RtMidiPort(MidiDirection::In, aId);
    if (port == NoPort)
      return MMSYSERR_BADDEVICEID;
    auto input = std::make_shared<AlsaIn>();
    input->Proc = aProc;
    input->Instance = aInstance;
    const std::uintptr_t key = NewMidiHandleValue();
    input->Handle = reinterpret_cast<HMIDIIN>(key);
    try {
      input->Midi = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, "midimonitor");
      // Timing clock and active sensing pass; system exclusive does not.
      input->Midi->ignoreTypes(true, false, false);
      input->Midi->setCallback(&InputCallback, input.get());
      input->Midi->openPort(port, "in");
    } catch (const RtMidiError& error) {
      return AlsaResultFromRtMidi(error.getType(), error.getMessage());
    }
    fIns[key] = input;
    aHandle = input->Handle;
    if (aProc != nullptr)
      aProc(aHandle, MIM_OPEN, aInstance, 0, 0);
    return MMSYSERR_NOERROR;
  }

  MMRESULT StartIn(HMIDIIN aHandle) override {
    auto input = FindIn(aHandle);
    if (!input)
      return MMSYSERR_INVALHANDLE;
    input->StartTime.store(NowMs());
    input->Started.store(true);
    return MMSYSERR_NOERROR;
  }

  MMRESULT StopIn(HMIDIIN aHandle) override {
    auto input = FindIn(aHandle);
    if (!input)
      return MMSYSERR_INVALHANDLE;
    input->Started.store(false);
    WaitForCallback(*input);
    return MMSYSERR_NOERROR;
  }

  MMRESULT ResetIn(HMIDIIN aHandle) override { return StopIn(aHandle); }

  MMRESULT CloseIn(HMIDIIN aHandle) override {
    const std::shared_ptr<AlsaIn> input = FindIn(aHandle);
    if (!input)
      return MMSYSERR_INVALHANDLE;
    input->Started.store(false);
    WaitForCallback(*input);
    try {
      input->Midi->closePort();
    } catch (const RtMidiError& error) {
      return AlsaResultFromRtMidi(error.getType(), error.getMessage()); // the handle stays
    }
    {
      std::lock_guard lock(fLock);
      fIns.erase(reinterpret_cast<std::uintptr_t>(aHandle));
    }
    if (input->Proc != nullptr)
      input->Proc(aHandle, MIM_CLOSE, input->Instance, 0, 0);
    return MMSYSERR_NOERROR;
  }

  MMRESULT OpenOut(UINT aId, HMIDIOUT& aHandle) override {
    std::lock_guard lock(fLock);
    const UINT port = RtMidiPort(MidiDirection::Out, aId);
    if (port == NoPort)
      return MMSYSERR_BADDEVICEID;
    auto output = std::make_shared<AlsaOut>();
    try {
      output->Midi = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, "midimonitor");
      output->Midi->openPort(port, "out");
    } catch (const RtMidiError& error) {
      return AlsaResultFromRtMidi(error.getType(), error.getMessage());
    }
    const std::uintptr_t key = NewMidiHandleValue();
    fOuts[key] = output;
    aHandle = reinterpret_cast<HMIDIOUT>(key);
    return MMSYSERR_NOERROR;
  }

  MMRESULT CloseOut(HMIDIOUT aHandle) override {
    std::lock_guard lock(fLock);
    const auto found = fOuts.find(reinterpret_cast<std::uintptr_t>(aHandle));
    if (found == fOuts.end())
      return MMSYSERR_INVALHANDLE;
    const std::shared_ptr<AlsaOut> output = found->second;
    std::lock_guard sending(output->SendLock);
    try {
      output->Midi->closePort();
    } catch (const RtMidiError& error) {
      return AlsaResultFromRtMidi(error.getType(), error.getMessage()); // the handle stays
    }
    fOuts.erase(found);
    return MMSYSERR_NOERROR;
  }

  MMRESULT ShortMsg(HMIDIOUT aHandle, DWORD aMessage) override {
    std::shared_ptr<AlsaOut> output;
    {
      std::lock_guard lock(fLock);
      const auto found = fOuts.find(reinterpret_cast<std::uintptr_t>(aHandle));
      if (found == fOuts.end())
        return MMSYSERR_INVALHANDLE;
      output = found->second;
    }
    const unsigned char bytes[3] = {static_cast<unsigned char>(aMessage & 0xFF),
                                    static_cast<unsigned char>((aMessage >> 8) & 0xFF),
                                    static_cast<unsigned char>((aMessage >> 16) & 0xFF)};
    const std::size_t length = ShortMessageLength(bytes[0]);
    if (length == 0)
      return MMSYSERR_INVALPARAM;
    std::lock_guard sending(output->SendLock);
    try {
      output->Midi->sendMessage(bytes, length);
    } catch (const RtMidiError& error) {
      return AlsaResultFromRtMidi(error.getType(), error.getMessage());
    }
    return MMSYSERR_NOERROR;
  }

private:
  static constexpr UINT NoPort = ~UINT(0);

  std::vector<std::string>& Names(MidiDirection aDirection) {
    return fNames[aDirection == MidiDirection::In ? 0 : 1];
  }

  // RtMidi's number for our device number: the port lists may have changed
  // since the last NumDevs, so the port is found again by its name.
  UINT RtMidiPort(MidiDirection aDirection, UINT aId) {
    if (aId >= Names(aDirection).size())
      return NoPort;
    try {
      RtMidi& probe = aDirection == MidiDirection::In ? static_cast<RtMidi&>(fProbeIn)
                                                      : static_cast<RtMidi&>(fProbeOut);
      const unsigned count = probe.getPortCount();
      for (unsigned i = 0; i < count; ++i) {
        if (probe.getPortName(i) == Names(aDirection)[aId])
          return i;
      }
    } catch (const RtMidiError&) {
    }
    return NoPort;
  }

  std::shared_ptr<AlsaIn> FindIn(HMIDIIN aHandle) {
    std::lock_guard lock(fLock);
    const auto found = fIns.find(reinterpret_cast<std::uintptr_t>(aHandle));
    return found == fIns.end() ? nullptr : found->second;
  }

  static void WaitForCallback(const AlsaIn& aInput) {
    if (tCallbackInput == &aInput)
      return;
    while (aInput.InCallback.load() != 0)
      std::this_thread::yield();
  }

  std::mutex fLock;
  RtMidiIn fProbeIn;
  RtMidiOut fProbeOut;
  std::vector<std::string> fNames[2];
  std::map<std::uintptr_t, std::shared_ptr<AlsaIn>> fIns;
  std::map<std::uintptr_t, std::shared_ptr<AlsaOut>> fOuts;
};

} // namespace

MMRESULT AlsaResultFromRtMidi(RtMidiError::Type aType, std::string_view aText) {
  switch (aType) {
  case RtMidiError::WARNING:
  case RtMidiError::DEBUG_WARNING:
    return MMSYSERR_NOERROR;
  case RtMidiError::NO_DEVICES_FOUND:
  case RtMidiError::INVALID_DEVICE:
    return MMSYSERR_BADDEVICEID;
  case RtMidiError::MEMORY_ERROR:
    return MMSYSERR_NOMEM;
  case RtMidiError::INVALID_PARAMETER:
  case RtMidiError::INVALID_USE:
    return MMSYSERR_INVALPARAM;
  case RtMidiError::DRIVER_ERROR:
    return aText.find("port connection") != std::string_view::npos ? MMSYSERR_ALLOCATED
                                                                   : MMSYSERR_ERROR;
  case RtMidiError::UNSPECIFIED:
  case RtMidiError::SYSTEM_ERROR:
  case RtMidiError::THREAD_ERROR:
    return MMSYSERR_ERROR;
  }
  return MMSYSERR_ERROR;
}

std::unique_ptr<MidiBackend> CreateAlsaMidiBackend(std::string& aError) {
  const int fd = ::open("/dev/snd/seq", O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    aError = std::string("/dev/snd/seq cannot be opened (") + std::strerror(errno) + ")";
    return nullptr;
  }
  ::close(fd);
  try {
    return std::make_unique<AlsaMidiBackend>();
  } catch (const RtMidiError& error) {
    aError = error.getMessage();
    return nullptr;
  }
}

} // namespace platform
