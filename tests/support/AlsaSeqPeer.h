#pragma once
// Test support: a sequencer client of the test's own. It creates ports that
// others may read from and write to, subscribes its ports directly to other
// clients' ports (a kernel subscription, the reference for what a device
// delivers), and records on its own thread every short message reaching each
// port, with the order checks of the note sequence (support/NoteSequence.h).
// Ports and the whole client can go away on demand, as a device's do.
// The reading thread runs at real-time priority where the system allows it,
// so that the reference keeps up with the device.

#include "support/NoteSequence.h"

#include <alsa/asoundlib.h>
#include <condition_variable>
#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TAlsaSeqPeer {
public:
  struct TMessage {
    std::uint8_t Size = 0;
    TShortBytes Bytes{};
    bool operator==(const TMessage&) const = default;
  };
  // What reached one port.
  struct TPortRecord {
    std::vector<TMessage> Messages;
    // Sequence messages whose number was not above the one before (a
    // message repeated, or one overtaking another).
    std::size_t OutOfOrder = 0;
    // Messages that are not of the note sequence.
    std::size_t Foreign = 0;
  };

  // Opens the client named aName. Throws std::runtime_error when the
  // sequencer cannot be opened.
  explicit TAlsaSeqPeer(const std::string& aName);
  ~TAlsaSeqPeer();
  TAlsaSeqPeer(const TAlsaSeqPeer&) = delete;
  TAlsaSeqPeer& operator=(const TAlsaSeqPeer&) = delete;

  int Client() const { return fClient; }
  // A port others can write to and read from; returns its number.
  int CreatePort(const std::string& aName);
  void DeletePort(int aPort);
  // Subscribes port aPort to what aSender sends.
  void Subscribe(const snd_seq_addr_t& aSender, int aPort);
  // The subscriptions of aPort: those reading from it and those writing to it.
  std::size_t SubscriberCount(int aPort) const;
  // Sends aBytes (whole messages) from aPort to its subscribers, as a
  // device's port does, each message at once.
  void Send(int aPort, const std::vector<std::uint8_t>& aBytes);
  // Closes the client: its ports and subscriptions vanish, as when a
  // program exits. What was recorded stays readable.
  void Exit();

  // The names of the machine's clients, and the address of port aPort of
  // client aClient (by name). FindPort throws std::runtime_error when there
  // is none.
  std::vector<std::string> ClientNames() const;
  snd_seq_addr_t FindPort(const std::string& aClient, const std::string& aPort) const;

  // Messages that reached aPort: all, and those of the note sequence.
  std::size_t Count(int aPort) const;
  std::size_t NumberedCount(int aPort) const;
  // Waits until aPort has received aCount messages, or none arrived for
  // aQuietMs (what was lost is not coming), or aTimeoutMs passed; returns
  // the count then.
  std::size_t WaitCount(int aPort, std::size_t aCount, int aQuietMs = 3000,
                        int aTimeoutMs = 60000) const;
  TPortRecord Received(int aPort) const;
  // Events the kernel dropped because this client's input was full.
  std::size_t Overruns() const;

private:
  void Read();
  void Record(const snd_seq_event_t& aEvent);
  // The open client; throws std::logic_error after Exit.
  snd_seq_t* Seq() const;

  std::unique_ptr<snd_seq_t, int (*)(snd_seq_t*)> fSeq{nullptr, snd_seq_close};
  std::unique_ptr<snd_midi_event_t, void (*)(snd_midi_event_t*)> fDecoder{nullptr,
                                                                          snd_midi_event_free};
  int fClient = -1;
  int fStopPipe[2] = {-1, -1};
  std::thread fReader;

  mutable std::mutex fLock;
  mutable std::condition_variable fArrived;
  struct TPortState {
    TPortRecord Record;
    std::int64_t LastIndex = -1;
  };
  std::map<int, TPortState> fPorts;
  std::size_t fOverruns = 0;
};
