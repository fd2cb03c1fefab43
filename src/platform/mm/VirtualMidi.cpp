#include "platform/mm/VirtualMidi.h"

#include "platform/mm/VirtualMidiBackend.h"

namespace platform {

namespace {

template <typename Call>
MMRESULT WithVirtual(Call aCall) {
  auto* backend = dynamic_cast<VirtualMidiBackend*>(CurrentMidiBackend());
  return backend ? aCall(*backend) : MMSYSERR_NOTENABLED;
}

} // namespace

MMRESULT VirtualMidiInject(UINT aIndex, DWORD aParam1, UINT aCallbackMessage) {
  return WithVirtual([&](VirtualMidiBackend& aBackend) {
    return aBackend.Inject(aIndex, aParam1, aCallbackMessage);
  });
}

MMRESULT VirtualMidiFlush() {
  return WithVirtual([](VirtualMidiBackend& aBackend) { return aBackend.Flush(); });
}

MMRESULT VirtualMidiReceived(UINT aIndex, std::vector<DWORD>& aMessages) {
  return WithVirtual(
      [&](VirtualMidiBackend& aBackend) { return aBackend.Received(aIndex, aMessages); });
}

MMRESULT VirtualMidiClearReceived(UINT aIndex) {
  return WithVirtual([&](VirtualMidiBackend& aBackend) { return aBackend.ClearReceived(aIndex); });
}

MMRESULT VirtualMidiAddPort(MidiDirection aDirection, const std::string& aName, bool aExclusive) {
  return WithVirtual([&](VirtualMidiBackend& aBackend) {
    return aBackend.AddPort(aDirection, aName, aExclusive);
  });
}

MMRESULT VirtualMidiRemovePort(MidiDirection aDirection, UINT aIndex) {
  return WithVirtual(
      [&](VirtualMidiBackend& aBackend) { return aBackend.RemovePort(aDirection, aIndex); });
}

MMRESULT VirtualMidiRenamePort(MidiDirection aDirection, UINT aIndex, const std::string& aName) {
  return WithVirtual(
      [&](VirtualMidiBackend& aBackend) { return aBackend.RenamePort(aDirection, aIndex, aName); });
}

MMRESULT VirtualMidiSetFault(MidiDirection aDirection, UINT aIndex, MidiFaultPoint aPoint,
                             MMRESULT aCode) {
  return WithVirtual([&](VirtualMidiBackend& aBackend) {
    return aBackend.SetFault(aDirection, aIndex, aPoint, aCode);
  });
}

MMRESULT VirtualMidiReportOverrun() {
  return WithVirtual([](VirtualMidiBackend& aBackend) { return aBackend.ReportOverrun(); });
}

MMRESULT VirtualMidiGetCounters(VirtualMidiCounters& aCounters) {
  return WithVirtual([&](VirtualMidiBackend& aBackend) { return aBackend.GetCounters(aCounters); });
}

} // namespace platform
