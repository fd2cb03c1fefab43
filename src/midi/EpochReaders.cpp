#include "midi/EpochReaders.h"

#include <thread>

int TEpochReaders::Enter() noexcept {
  for (;;) {
    const std::uint64_t epoch = fEpoch.load();
    const int ticket = int(epoch & 1);
    fInside[ticket].fetch_add(1);
    // Counted in the epoch that is still the current one: the writer that
    // ends it waits for this reader.
    if (fEpoch.load() == epoch)
      return ticket;
    fInside[ticket].fetch_sub(1);
  }
}

void TEpochReaders::Leave(int aTicket) noexcept {
  fInside[aTicket].fetch_sub(1);
}

void TEpochReaders::WaitForEarlierReaders() noexcept {
  const std::uint64_t ended = fEpoch.fetch_add(1);
  // Readers of the epoch before the ended one left during the last wait; the
  // count of this parity only falls now, apart from readers that entered too
  // late and leave again at once.
  while (fInside[ended & 1].load() != 0)
    std::this_thread::yield();
}
