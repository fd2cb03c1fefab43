#pragma once
// The MIDI-thread half of the incoming message path: drop active sensing, serve
// the checked outputs (thru), hand the message to the user-interface thread.
// Receive runs on the MIDI service's thread; the caller holds the window's
// fCriticalSection around it so one message at a time goes through. Nothing on
// this path allocates, waits for the user-interface thread or lets an
// exception out.

#include "monitor/MidiQueue.h"
#include "monitor/PortNames.h"
#include "monitor/ThruTargets.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

struct TThruFailure {
  std::uint32_t Sequence = 0; // the failing message's TMidiEvent::Sequence
  int OutputIndex = -1;
  std::string Text;
  std::uint64_t Missed = 0; // failures that came while this one was unread
};

// A thru failure, written on the MIDI thread and read on the user-interface
// thread; holds one failure at a time and counts the ones that found it
// occupied.
class TThruFailureSlot {
public:
  static constexpr std::size_t TextCapacity = 256;

  // MIDI thread: sending message aSequence to output aOutputIndex failed.
  // Copies at most TextCapacity - 1 bytes of aText (cut at a character
  // boundary); never allocates.
  void Put(std::uint32_t aSequence, int aOutputIndex, const char* aText) noexcept;
  // User-interface thread: the waiting failure if it is message aSequence's,
  // which frees the slot. A failure of a later message stays; one of an
  // earlier message (never shown: the queue was full) is dropped.
  std::optional<TThruFailure> Take(std::uint32_t aSequence);

private:
  enum : int { Free, Writing, Full };
  std::atomic<int> fState{Free};
  std::atomic<std::uint64_t> fMissed{0};
  std::uint32_t fSequence = 0;
  int fOutputIndex = -1;
  char fText[TextCapacity] = {};
};

class TMidiPath {
public:
  // Sends one message to output aIndex; may throw. Called on the MIDI thread.
  using TSend = std::function<void(int aIndex, std::uint8_t aStatus, std::uint8_t aData1,
                                   std::uint8_t aData2)>;
  // The number of output ports now; called on the MIDI thread.
  using TOutputCount = std::function<int()>;

  TMidiPath(TSend aSend, TOutputCount aOutputCount, std::function<void()> aWakeUp,
            std::size_t aQueueCapacity = TMidiQueue::DefaultCapacity);

  // MIDI thread, under the caller's lock. Active sensing (0xFE) returns at once
  // and is never forwarded or queued. Every checked output is served from the
  // highest index down; a failing output is recorded and the others are still
  // served. Then the message goes to the log's queue, when one is set, and to
  // the window's. aListing: the input port list aDeviceIndex belongs to
  // (TPortNames). Returns false when the message is dropped or could not be
  // queued for the window.
  bool Receive(int aDeviceIndex, std::uint8_t aStatus, std::uint8_t aData1, std::uint8_t aData2,
               std::uint32_t aListing) noexcept;

  // The message log's queue, which gets every message after the thru; null
  // for none. Set under the caller's lock.
  void SetLogQueue(TMidiQueue* aQueue) { fLogQueue = aQueue; }

  TThruTargets& Targets() { return fTargets; }
  TMidiQueue& Queue() { return fQueue; }
  TThruFailureSlot& Failures() { return fFailures; }
  // The input ports' names, by listing.
  TPortNames& InputNames() { return fInputNames; }

private:
  TSend fSend;
  TOutputCount fOutputCount;
  TThruTargets fTargets;
  TMidiQueue fQueue;
  TThruFailureSlot fFailures;
  TPortNames fInputNames;
  TMidiQueue* fLogQueue = nullptr; // under the caller's lock
  std::uint32_t fNextSequence = 0; // under the caller's lock
};
