#pragma once
// Test support: a private JACK server with the dummy driver, child processes
// (jackd, jack_midiseq, jack_midi_dump) stopped by their own process id, and
// a JACK client of the test's own that sends scheduled events and records
// what arrives, with frame times.

#include "support/WaitUntil.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <jack/jack.h>
#include <memory>
#include <string>
#include <vector>

// A program started with fork and exec; output goes to a file.
class TChild {
public:
  TChild(const std::vector<std::string>& aArgs, const std::string& aOutputFile);
  ~TChild(); // stops it if it still runs
  TChild(const TChild&) = delete;
  TChild& operator=(const TChild&) = delete;
  bool Running();
  // SIGTERM, then SIGKILL after aGraceMs; reaps it.
  void Stop(int aGraceMs = 2000);

private:
  int fPid = -1;
  bool fReaped = false;
};

// jackd -n <pool name> [-R | --no-realtime] [-S] --port-max 64 -d dummy -r <rate> -p <period>;
// JACK_DEFAULT_SERVER names it for this process and its children while it
// lives. Real-time scheduling is tried first.
//
// JACK keeps a machine-wide table of eight servers, and a server that was
// killed keeps its entry until a server of the same name starts. And all
// servers of a user share one metadata database (/dev/shm/jack_db-<uid>),
// which the first of them to stop removes under the clients of the others
// (their client opens then fail, and libdb leaks or dies of SIGBUS). So the
// tests run one private server at a time on the machine: the names come from
// a pool of PoolSize ("mmjack0"), each held through a lock file in /tmp for
// as long as this object lives (the lock goes with the process however it
// ends), and the constructor waits up to PoolWaitSeconds for a name to come
// free. Before a start and after the stop, what a killed server or its
// clients left in /dev/shm under that name is removed.
class TJackServer {
public:
  static constexpr int PoolSize = 1;
  static constexpr int PoolWaitSeconds = 50;

  // aSynchronous: the server waits for every client in each cycle (-S).
  explicit TJackServer(int aPeriod = 256, int aRate = 48000, bool aSynchronous = true);
  ~TJackServer();
  bool Running() const { return fChild != nullptr; }
  // Why it is not running.
  const std::string& Reason() const { return fReason; }
  const std::string& Name() const { return fName; }
  bool Realtime() const { return fRealtime; }
  int Period() const { return fPeriod; }
  // Stops the server (a service that goes away).
  void Kill();
  // Starts the stopped server again under its name (a service that comes
  // back); false, with the reason, when it does not start.
  bool Restart();

private:
  bool StartWith(const std::vector<std::string>& aArgs);
  // Takes a free pool name: its lock, and no server of that name answers.
  bool TakeName(int aIndex);
  void ReleaseName();
  std::string fName;
  std::string fReason;
  std::string fLog;
  int fLockFd = -1;
  int fPeriod;
  bool fRealtime = false;
  std::vector<std::string> fArgs; // of the running server
  std::unique_ptr<TChild> fChild;
};

// Whether a JACK test must fail rather than skip when no private server
// starts: on CI (the CI variable is set), where jackd is installed.
bool JackServerRequired();

// A unique name for this run: aPrefix, the process id and a counter.
std::string UniqueJackName(const std::string& aPrefix);

// A JACK client of the test's own with MIDI output ports "out0".. and input
// ports "in0"..; its process thread writes scheduled bursts and records
// everything that arrives. The test thread and the process thread meet only
// through atomics.
class TJackProbe {
public:
  struct Event {
    std::uint32_t Frame = 0; // within the cycle, or absolute when received
    std::uint8_t Size = 0;
    std::array<std::uint8_t, 3> Bytes{};
  };
  static constexpr std::size_t MaxInputs = 5;
  static constexpr std::size_t MaxOutputs = 2;

  TJackProbe(const std::string& aName, int aOutputs, int aInputs);
  ~TJackProbe();
  bool Ok() const { return fClient != nullptr; }
  std::string OutputPort(int aIndex) const;
  std::string InputPort(int aIndex) const;
  jack_client_t* Client() const { return fClient; }

  // Writes aEvents (frames within one cycle, ascending) on output aOutput in
  // one coming cycle; returns that cycle's first absolute frame. Throws
  // std::runtime_error when no cycle takes them within five seconds.
  std::uint32_t SendBurst(int aOutput, const std::vector<Event>& aEvents);
  // Waits until input aInput has recorded at least aCount events in all, or
  // aTimeoutMs passed; returns everything recorded so far.
  std::vector<Event> WaitReceived(int aInput, std::size_t aCount, int aTimeoutMs = 3000);

private:
  static int Process(jack_nframes_t aFrames, void* aSelf);
  static constexpr std::size_t Capacity = 1 << 18;

  jack_client_t* fClient = nullptr;
  std::vector<jack_port_t*> fOutputs;
  std::vector<jack_port_t*> fInputs;
  // A burst is taken by exchanging its pointer out, and counted as written.
  std::array<std::atomic<const std::vector<Event>*>, MaxOutputs> fPending{};
  std::array<std::atomic<std::uint32_t>, MaxOutputs> fWrittenAt{};
  std::array<std::atomic<std::uint64_t>, MaxOutputs> fWritten{};
  std::array<std::unique_ptr<Event[]>, MaxInputs> fReceived;
  std::array<std::atomic<std::size_t>, MaxInputs> fReceivedCount{};
};

// A short message as a probe event.
TJackProbe::Event ProbeEvent(std::uint32_t aFrame, std::uint8_t aStatus, std::uint8_t aData1 = 0,
                             std::uint8_t aData2 = 0);
