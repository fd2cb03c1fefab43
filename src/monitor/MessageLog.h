#pragma once
// The message log (--log): one line per incoming message (MessageLogLine),
// written to a file or standard output by a thread of its own.
//
// The window's path pushes every message into the log's queue on the MIDI
// thread, after the thru, without waiting: when the queue is full the
// message is counted as dropped. The writer thread drains the queue, turns the
// messages into lines and writes them, so neither the thru nor the
// user-interface thread ever waits for the disk. It wakes on the first
// message after a drain (the queue's wake-up, one write to an eventfd), then
// gathers messages for at most BatchInterval before the next write: lines
// reach the file within a few milliseconds, and a flood costs one write per
// batch.
//
// Nothing goes missing silently. Every message the path hands on is
// numbered (TMidiEvent::Sequence), so a gap in the numbers is the count of
// messages dropped at that place, written as a line of its own; drops after
// the last message are counted at the end. Lines a failing or stalled file
// could not take are counted the same way once it takes lines again, and the
// failure is reported on standard error and by Stop.

#include "monitor/MidiQueue.h"
#include "monitor/PortNames.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class TMessageLog {
public:
  using TClock = std::chrono::steady_clock;
  // About 0.35 s of a flood of 375,000 messages a second.
  static constexpr std::size_t DefaultCapacity = std::size_t(1) << 17;
  static constexpr std::chrono::milliseconds BatchInterval{10};
  // How long the end waits for a file that takes no more lines (a pipe
  // nobody reads).
  static constexpr std::chrono::milliseconds StopGrace{1000};

  // Writes to the open descriptor aFd, closing it at the end when aOwnsFd;
  // aName names it in errors. Times count from aStart. Starts the writer.
  TMessageLog(int aFd, bool aOwnsFd, std::string aName, TClock::time_point aStart,
              std::size_t aCapacity = DefaultCapacity);
  // Creates or empties the file aPath, or uses standard output for "-".
  // Throws std::runtime_error("cannot write the log PATH: REASON").
  static std::unique_ptr<TMessageLog> Open(const std::string& aPath, TClock::time_point aStart);
  ~TMessageLog();
  TMessageLog(const TMessageLog&) = delete;
  TMessageLog& operator=(const TMessageLog&) = delete;

  // Where the MIDI thread puts the messages (TMidiPath::SetLogQueue).
  TMidiQueue& Queue() { return fQueue; }

  // User-interface thread: the input ports' names of listing aListing
  // (TPortNames' listener), before any message carries that number.
  void PublishNames(std::uint32_t aListing, const std::vector<std::string>& aNames);

  // Once no more messages come: writes what is queued and the count of
  // messages still missing, closes the file and ends the writer. Returns the
  // first write failure ("the log NAME: REASON"), empty when every line was
  // written. Later calls return the same.
  std::string Stop();

private:
  void Run() noexcept;
  // Waits until the queue signals or Stop asks; false on Stop.
  bool WaitForWork();
  void WriteQueued();
  void Append(const TMidiEvent& aEvent);
  // Writes the gathered lines. What a failing file did not take is counted:
  // the buffer keeps the rest of the line it stopped in and one line with
  // the count of the messages whose lines were lost.
  void Flush();
  // Writes aText; returns how much went out before a failure or the end's
  // grace ran out.
  std::size_t WriteOut(std::string_view aText);
  // Waits until the file takes more (it is not a file on disk); false once
  // it took nothing for the end's grace.
  bool WaitWritable();
  void Fail(const std::string& aReason);

  const int fFd;
  const bool fOwnsFd;
  const bool fRegularFile; // a file on disk never makes a write wait
  const std::string fName;
  const TClock::time_point fStart;
  const int fWake;   // eventfd: messages queued
  const int fStopFd; // eventfd: Stop asks
  TMidiQueue fQueue;
  std::atomic<bool> fStopping{false};
  std::mutex fNamesLock;
  TPortNames fNames; // under fNamesLock
  std::thread fWriter;
  bool fStopped = false; // user-interface thread

  // The writer thread's own (the error is read by Stop after it ended).
  std::string fBuffer;
  std::optional<std::uint32_t> fExpected; // the next message's number
  std::uint64_t fGapDrops = 0;            // drops found as gaps in the numbers
  std::chrono::nanoseconds fLastArrival{};
  bool fStopSeen = false; // a waiting write saw Stop's request
  bool fGaveUp = false;   // the file took nothing for StopGrace after it
  std::string fError;
};
