#pragma once
// Finds a MIDI service again after it went away (the JACK server stopped):
// a thread of its own asks for the service about once a second, so the
// user-interface thread never waits for an answer, and hands the service
// that answered to the user-interface thread, which puts it in use.

#include "platform/mm/MidiService.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class TServiceRecovery {
public:
  static constexpr std::chrono::milliseconds RetryInterval{1000};

  // aFound runs on the recovery thread once a service answered; it must only
  // hand the news on (post to the user-interface thread).
  explicit TServiceRecovery(std::function<void()> aFound);
  ~TServiceRecovery(); // stops asking
  TServiceRecovery(const TServiceRecovery&) = delete;
  TServiceRecovery& operator=(const TServiceRecovery&) = delete;

  // User-interface thread: asks for the service aOption names (the option
  // text of StartMidiService) until it answers; a search or an answer not yet
  // taken before is dropped.
  void Start(std::string aOption);
  // User-interface thread: stops asking, and drops an answer not yet taken.
  void Stop();
  bool Searching() const;
  // User-interface thread: the service that answered, once.
  std::optional<platform::MidiServiceCandidate> Take();

private:
  void Run(std::string aOption);

  std::function<void()> fFound;
  mutable std::mutex fLock;
  std::condition_variable fWake;
  bool fStop = false;
  bool fSearching = false;
  std::optional<platform::MidiServiceCandidate> fAnswer;
  std::thread fThread;
};
