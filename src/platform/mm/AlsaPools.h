#pragma once
// The sequencer client's event pools. The kernel takes any pool size from 1
// up to a limit of its own and keeps the old size, without an error, for
// anything larger; so the largest size is found by asking and reading back.

#include <alsa/asoundlib.h>
#include <functional>

namespace platform {

struct AlsaPoolSizes {
  unsigned Input = 0;  // events the kernel holds for the client to read
  unsigned Output = 0; // events the client may have on their way
};

// The largest n in [1, aCeiling] for which aAccepts(n) holds, for an aAccepts
// that holds up to some limit and not above it; 0 when it holds for none.
unsigned LargestAccepted(const std::function<bool(unsigned)>& aAccepts, unsigned aCeiling);

// Sets both pools of aSeq's client to the largest sizes the kernel accepts
// (asked up to 65536 events each) and returns the sizes in effect.
AlsaPoolSizes MaximisePools(snd_seq_t* aSeq);

} // namespace platform
