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

using Started = MidiServiceCandidate;

// aNote: what the status says about the ports.
Started StartVirtual(std::string_view aDescription, bool aHasDescription, std::string aNote) {
  VirtualMidiLayout layout = DemoMidiLayout();
  if (aHasDescription) {
    std::string error;
    if (!ParseVirtualMidiLayout(aDescription, layout, error))
      return {nullptr, Failure(MMSYSERR_INVALPARAM, "Invalid virtual port description: " + error)};
  }
  MidiServiceStatus status;
  status.Kind = MidiBackendKind::Virtual;
  status.Name = "virtual";
  status.Note = std::move(aNote);
  return {std::make_unique<VirtualMidiBackend>(layout, !aHasDescription), status};
}

Started StartJack(std::string& aError) {
  std::string serverName;
  std::unique_ptr<MidiBackend> backend = CreateJackMidiBackend(serverName, aError);
  if (!backend)
    return {nullptr, Failure(MMSYSERR_NODRIVER, "The JACK server cannot be reached: " + aError)};
  MidiServiceStatus status;
  status.Kind = MidiBackendKind::Jack;
  status.Name = "jack";
  status.Note = "Using the JACK server \"" + serverName + "\".";
  return {std::move(backend), status};
}

Started StartAlsa(std::string& aError) {
  std::unique_ptr<MidiBackend> backend = CreateAlsaMidiBackend(aError);
  if (!backend)
    return {nullptr, Failure(MMSYSERR_NODRIVER, "The ALSA sequencer cannot be reached: " + aError)};
  MidiServiceStatus status;
  status.Kind = MidiBackendKind::Alsa;
  status.Name = "alsa";
  status.Note = "Using the ALSA sequencer.";
  return {std::move(backend), status};
}

Started StartFromOption(std::string_view aOption) {
  const std::size_t colon = aOption.find(':');
  const std::string_view kind = aOption.substr(0, colon);
  const bool hasDescription = colon != std::string_view::npos;
  const std::string_view description =
      hasDescription ? aOption.substr(colon + 1) : std::string_view{};
  if (kind == "virtual")
    return StartVirtual(description, hasDescription,
                        hasDescription ? "Using virtual MIDI ports."
                                       : "Using the demo MIDI ports.");
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
  if (Started alsa = StartAlsa(alsaError); alsa.Status().Result == MMSYSERR_NOERROR)
    return alsa;
  if (Started jack = StartJack(jackError); jack.Status().Result == MMSYSERR_NOERROR)
    return jack;
  return StartVirtual({}, false,
                      "No MIDI service was reachable (ALSA: " + alsaError + "; JACK: " + jackError +
                          "), so the built-in demo ports are in use.");
}

} // namespace

MidiBackend* CurrentMidiBackend() {
  return gBackend.load(std::memory_order_acquire);
}

std::uintptr_t NewMidiHandleValue() {
  static std::atomic<std::uintptr_t> next{0x10000};
  return next.fetch_add(0x100, std::memory_order_relaxed);
}

MidiServiceCandidate::MidiServiceCandidate() = default;
MidiServiceCandidate::MidiServiceCandidate(std::unique_ptr<MidiBackend> aBackend,
                                           MidiServiceStatus aStatus)
    : fBackend(std::move(aBackend)), fStatus(std::move(aStatus)) {}
MidiServiceCandidate::MidiServiceCandidate(MidiServiceCandidate&&) noexcept = default;
MidiServiceCandidate& MidiServiceCandidate::operator=(MidiServiceCandidate&&) noexcept = default;
MidiServiceCandidate::~MidiServiceCandidate() = default;

MidiServiceCandidate ReachMidiService(std::string_view aOption) {
  return StartFromOption(aOption);
}

MidiServiceStatus UseMidiService(MidiServiceCandidate aCandidate) {
  if (!aCandidate.fBackend)
    return aCandidate.fStatus;
  ServiceState& state = State();
  std::lock_guard lock(state.Lock);
  gBackend.store(aCandidate.fBackend.get(), std::memory_order_release);
  std::swap(state.Owner, aCandidate.fBackend);
  state.Status = aCandidate.fStatus;
  aCandidate.fBackend.reset(); // the previous service
  return state.Status;
}

MidiServiceStatus StartMidiService(std::string_view aOption) {
  return UseMidiService(ReachMidiService(aOption));
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
