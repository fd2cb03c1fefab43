#include "monitor/PortNames.h"

void TPortNames::Publish(std::vector<std::string> aNames) {
  const std::uint32_t number = fListings.back().Number + 1;
  fListings.push_back({number, std::move(aNames)});
  fCurrent.store(number, std::memory_order_release);
}

std::string TPortNames::Name(std::uint32_t aListing, int aIndex) {
  while (fListings.size() > 1 && std::int32_t(fListings.front().Number - aListing) < 0)
    fListings.pop_front();
  const TListing& listing = fListings.front();
  if (listing.Number != aListing || aIndex < 0 || std::size_t(aIndex) >= listing.Names.size())
    return {};
  return listing.Names[std::size_t(aIndex)];
}
