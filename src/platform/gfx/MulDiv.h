#pragma once
// MulDiv: a * b / c through a 64-bit product, as the platform computes
// scaled sizes and positions.

#include <cstdint>

namespace platform {

// aNumber * aNumerator / aDenominator rounded to nearest, halves away from
// zero; -1 for a zero denominator or a result beyond +-2147483647.
constexpr int MulDiv(int aNumber, int aNumerator, int aDenominator) {
  if (aDenominator == 0)
    return -1;
  std::int64_t product = std::int64_t(aNumber) * aNumerator;
  std::int64_t divisor = aDenominator;
  if (divisor < 0) {
    product = -product;
    divisor = -divisor;
  }
  const std::int64_t half = divisor / 2;
  const std::int64_t result =
      product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  if (result > 2147483647 || result < -2147483647)
    return -1;
  return int(result);
}

} // namespace platform
