#include "platform/host/DisplayScale.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace platform {

namespace {

constexpr double DoubleDensityDpi = 144;
constexpr double TripleDensityDpi = 240;

// The whole text as a number, or false.
template <class T>
bool Parse(const char* aText, T& aValue) {
  if (!aText || !*aText)
    return false;
  const char* end = aText + std::strlen(aText);
  const auto [ptr, ec] = std::from_chars(aText, end, aValue);
  return ec == std::errc() && ptr == end;
}

} // namespace

int ChooseDisplayScale(const char* aGdkScale, const char* aXftDpi) {
  int scale = 0;
  if (Parse(aGdkScale, scale) && scale >= 1)
    return std::min(scale, MaxDisplayScale);
  double dpi = 0;
  if (!Parse(aXftDpi, dpi))
    return 1;
  if (dpi >= TripleDensityDpi)
    return 3;
  if (dpi >= DoubleDensityDpi)
    return 2;
  return 1;
}

} // namespace platform
