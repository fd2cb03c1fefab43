#include "monitor/ServiceRecovery.h"

#include "platform/mm/MMSystem.h"

#include <utility>

TServiceRecovery::TServiceRecovery(std::function<void()> aFound) : fFound(std::move(aFound)) {}

TServiceRecovery::~TServiceRecovery() {
  Stop();
}

void TServiceRecovery::Start(std::string aOption) {
  Stop();
  {
    std::lock_guard lock(fLock);
    fStop = false;
    fSearching = true;
  }
  fThread = std::thread(&TServiceRecovery::Run, this, std::move(aOption));
}

void TServiceRecovery::Stop() {
  {
    std::lock_guard lock(fLock);
    fStop = true;
  }
  fWake.notify_all();
  if (fThread.joinable())
    fThread.join();
  std::lock_guard lock(fLock);
  fSearching = false;
  fAnswer.reset();
}

bool TServiceRecovery::Searching() const {
  std::lock_guard lock(fLock);
  return fSearching;
}

std::optional<platform::MidiServiceCandidate> TServiceRecovery::Take() {
  std::lock_guard lock(fLock);
  return std::exchange(fAnswer, std::nullopt);
}

void TServiceRecovery::Run(std::string aOption) {
  std::unique_lock lock(fLock);
  while (!fStop) {
    lock.unlock();
    platform::MidiServiceCandidate candidate = platform::ReachMidiService(aOption);
    lock.lock();
    if (fStop)
      return; // the candidate stops with this scope
    if (candidate.Status().Result == platform::MMSYSERR_NOERROR) {
      fAnswer = std::move(candidate);
      fSearching = false;
      lock.unlock();
      fFound();
      return;
    }
    fWake.wait_for(lock, RetryInterval, [this] { return fStop; });
  }
}
