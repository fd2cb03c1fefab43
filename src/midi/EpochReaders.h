#pragma once
// Readers counted per epoch. A writer that has replaced (or retired) what the
// readers read waits only for the readers that entered before it did so;
// readers entering afterwards count towards the next epoch and do not delay
// it, so a steady stream of overlapping readers cannot keep the writer
// waiting. Readers neither lock nor allocate.

#include <atomic>
#include <cstdint>

class TEpochReaders {
public:
  // Any thread. Returns the ticket to leave with.
  int Enter() noexcept;
  void Leave(int aTicket) noexcept;

  // One writer at a time: starts a new epoch and waits until every reader of
  // the epochs before it has left. Call it after publishing the replacement,
  // so that readers of the new epoch see only the replacement.
  void WaitForEarlierReaders() noexcept;

private:
  std::atomic<std::uint64_t> fEpoch{0};
  // Readers inside, by the parity of the epoch they entered in.
  std::atomic<int> fInside[2]{};
};

// Holds a ticket for as long as it lives.
class TEpochReader {
public:
  explicit TEpochReader(TEpochReaders& aReaders) noexcept
      : fReaders(aReaders), fTicket(aReaders.Enter()) {}
  ~TEpochReader() { fReaders.Leave(fTicket); }
  TEpochReader(const TEpochReader&) = delete;
  TEpochReader& operator=(const TEpochReader&) = delete;

private:
  TEpochReaders& fReaders;
  int fTicket;
};
