#pragma once
// The input ports' names as the window listed them, one listing per port
// list of the input registry (its ListNumber). A message carries the number
// of the list its index belongs to, so the status line names the port the
// message came from even when the list changed before the message was shown.
//
// Listings are published on the user-interface thread before any message of
// theirs is shown. The service delivers on one thread at a time in arrival
// order, so the listing numbers in the queue never decrease: once a message of
// a listing has been shown, the listings before it are no longer needed.
//
// Another reader of the messages (the message log) keeps a copy of its own:
// the listener hears of every listing before a message can carry its number.

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

  // User-interface thread: aNames are listing aNumber's (which replaces an
  // earlier publication of the same number).
  void Publish(std::uint32_t aNumber, std::vector<std::string> aNames);
  // User-interface thread: aListener hears of the current listing at once and
  // of every listing published after it.
  void SetListener(TListener aListener);
  // User-interface thread: the name of port aIndex in listing aListing, empty
  // when it has none. Forgets the listings before aListing.
  std::string Name(std::uint32_t aListing, int aIndex);

private:
  struct TListing {
    std::uint32_t Number;
    std::vector<std::string> Names;
  };
  std::deque<TListing> fListings{TListing{0, {}}}; // oldest first
  TListener fListener;
};
