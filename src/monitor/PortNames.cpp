#include "monitor/PortNames.h"

void TPortNames::Publish(std::uint32_t aNumber, std::vector<std::string> aNames) {
  if (fListings.back().Number == aNumber)
    fListings.back().Names = std::move(aNames);
  else
    fListings.push_back({aNumber, std::move(aNames)});
  // The listener has the listing before a message can carry its number.
  if (fListener)
    fListener(aNumber, fListings.back().Names);
}

void TPortNames::SetListener(TListener aListener) {
  fListener = std::move(aListener);
  if (fListener)
    fListener(fListings.back().Number, fListings.back().Names);
}

std::string TPortNames::Name(std::uint32_t aListing, int aIndex) {
  while (fListings.size() > 1 && std::int32_t(fListings.front().Number - aListing) < 0)
    fListings.pop_front();
  const TListing& listing = fListings.front();
  if (listing.Number != aListing || aIndex < 0 || std::size_t(aIndex) >= listing.Names.size())
    return {};
  return listing.Names[std::size_t(aIndex)];
}
