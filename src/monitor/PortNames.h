#pragma once
// The input ports' names as the window listed them, one listing per fill of
// the input list. A message carries the number of the listing that was
// current when it arrived, so the status line names the port the message came
// from even when a rescan renamed or removed it before the message was shown.
//
// Listings are published on the user-interface thread; the MIDI thread only
// reads the current listing's number, without locking or allocating. Messages
// are numbered under the window's lock in arrival order, so the listing
// numbers in the queue never decrease: once a message of a listing has been
// shown, the listings before it are no longer needed.
//
// Another reader of the messages (the message log) keeps a copy of its own:
// the listener hears of every listing before a message can carry its number.

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class TPortNames {
public:
  // Called on the publishing thread with each listing's number and names.
  using TListener =
      std::function<void(std::uint32_t aNumber, const std::vector<std::string>& aNames)>;

  // User-interface thread: makes aNames the current listing.
  void Publish(std::vector<std::string> aNames);
  // The same under a given number, for a copy of another TPortNames' listing;
  // numbers go up.
  void Publish(std::uint32_t aNumber, std::vector<std::string> aNames);
  // User-interface thread: aListener hears of the current listing at once and
  // of every listing published after it.
  void SetListener(TListener aListener);
  // MIDI thread: the current listing's number.
  std::uint32_t Current() const noexcept { return fCurrent.load(std::memory_order_acquire); }
  // User-interface thread: the name of port aIndex in listing aListing, empty
  // when it has none. Forgets the listings before aListing.
  std::string Name(std::uint32_t aListing, int aIndex);

private:
  struct TListing {
    std::uint32_t Number;
    std::vector<std::string> Names;
  };
  std::atomic<std::uint32_t> fCurrent{0};
  std::deque<TListing> fListings{TListing{0, {}}}; // oldest first
  TListener fListener;
};
