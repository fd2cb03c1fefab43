#include "platform/mm/MidiService.h"

#include "platform/mm/AlsaMidiBackend.h"
#include "platform/mm/JackMidiBackend.h"
#include "platform/mm/VirtualMidiBackend.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace platform {

namespace {

std::atomic<MidiBackend*> gBackend{nullptr};
std::atomic<MidiServiceListener> gListener{nullptr};

struct ServiceState {
  std::mutex Lock;
  std::unique_ptr<MidiBackend> Owner;
  MidiServiceStatus Status;
  ~ServiceState() { gBackend.store(nullptr, std::memory_order_release); }
};

ServiceState& State() {
  static ServiceState state;
  return state;
}

MidiServiceStatus Failure(MMRESULT aResult, std::string aNote) {
  MidiServiceStatus status;
  status.Result = aResult;
  status.Note = std::move(aNote);
  return status;
}

struct Started {
  std::unique_ptr<MidiBackend> Backend;
  MidiServiceStatus Status;
};

Started StartVirtual(std::string_view aDescription, bool aHasDescription) {
  Started started;
  VirtualMidiLayout layout = DemoMidiLayout();
  if (aHasDescription) {
    std::string error;
    if (!ParseVirtualMidiLayout(aDescription, layout, error)) {
      started.Status = Failure(MMSYSERR_INVALPARAM, "Invalid virtual port description: " + error);
      return started;
    }
  }
  started.Backend = std::make_unique<VirtualMidiBackend>(layout, !aHasDescription);
  started.Status.Kind = MidiBackendKind::Virtual;
  started.Status.Name = "virtual";
  started.Status.Note =
      aHasDescription ? "Using virtual MIDI ports." : "Using the demo MIDI ports.";
  return started;
}

Started StartJack(std::string& aError) {
  Started started;
  std::string serverName;
  started.Backend = CreateJackMidiBackend(serverName, aError);
  if (started.Backend) {
    started.Status.Kind = MidiBackendKind::Jack;
    started.Status.Name = "jack";
    started.Status.Note = "Using the JACK server \"" + serverName + "\".";
  } else {
    started.Status = Failure(MMSYSERR_NODRIVER, "The JACK server cannot be reached: " + aError);
  }
  return started;
}

Started StartAlsa(std::string& aError) {
  Started started;
  started.Backend = CreateAlsaMidiBackend(aError);
  if (started.Backend) {
    started.Status.Kind = MidiBackendKind::Alsa;
    started.Status.Name = "alsa";
    started.Status.Note = "Using the ALSA sequencer.";
  } else {
    started.Status = Failure(MMSYSERR_NODRIVER, "The ALSA sequencer cannot be reached: " + aError);
  }
  return started;
}

Started StartFromOption(std::string_view aOption) {
  const std::size_t colon = aOption.find(':');
  const std::string_view kind = aOption.substr(0, colon);
  const bool hasDescription = colon != std::string_view::npos;
  const std::string_view description =
      hasDescription ? aOption.substr(colon + 1) : std::string_view{};
  if (kind == "virtual")
    return StartVirtual(description, hasDescription);
  if (kind != "auto" && kind != "alsa" && kind != "jack")
    return {nullptr, Failure(MMSYSERR_INVALPARAM,
                             "Unknown MIDI service \"" + std::string(aOption) +
                                 "\" (expected auto, alsa, jack or virtual[:in=...;out=...]).")};
  if (hasDescription)
    return {nullptr, Failure(MMSYSERR_INVALPARAM, "The MIDI service \"" + std::string(kind) +
                                                      "\" takes no description.")};
  std::string alsaError;
  std::string jackError;
  if (kind == "alsa")
    return StartAlsa(alsaError);
  if (kind == "jack")
    return StartJack(jackError);
  if (Started alsa = StartAlsa(alsaError); alsa.Backend)
    return alsa;
  if (Started jack = StartJack(jackError); jack.Backend)
    return jack;
  Started demo = StartVirtual({}, false);
  demo.Status.Note = "No MIDI service was reachable (ALSA: " + alsaError + "; JACK: " + jackError +
                     "), so the built-in demo ports are in use.";
  return demo;
}

} // namespace

MidiBackend* CurrentMidiBackend() {
  return gBackend.load(std::memory_order_acquire);
}

std::uintptr_t NewMidiHandleValue() {
  static std::atomic<std::uintptr_t> next{0x10000};
  return next.fetch_add(0x100, std::memory_order_relaxed);
}

MidiServiceStatus StartMidiService(std::string_view aOption) {
  Started started = StartFromOption(aOption);
  if (!started.Backend)
    return started.Status;
  ServiceState& state = State();
  std::lock_guard lock(state.Lock);
  gBackend.store(started.Backend.get(), std::memory_order_release);
  std::swap(state.Owner, started.Backend);
  state.Status = started.Status;
  started.Backend.reset(); // the previous service
  return state.Status;
}

void StopMidiService() {
  ServiceState& state = State();
  std::lock_guard lock(state.Lock);
  gBackend.store(nullptr, std::memory_order_release);
  state.Owner.reset();
  state.Status = MidiServiceStatus{};
}

void SetMidiServiceListener(MidiServiceListener aListener) {
  gListener.store(aListener, std::memory_order_release);
}

void NotifyMidiServiceChange(MidiServiceChange aChange) {
  if (MidiServiceListener listener = gListener.load(std::memory_order_acquire))
    listener(aChange);
}

std::uint64_t MidiServiceInputOverruns() {
  const MidiBackend* backend = CurrentMidiBackend();
  return backend ? backend->InputOverruns() : 0;
}

MidiServiceStatus CurrentMidiService() {
  ServiceState& state = State();
  std::lock_guard lock(state.Lock);
  return state.Status;
}

} // namespace platform
