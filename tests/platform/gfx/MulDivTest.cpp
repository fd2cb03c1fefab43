#include "platform/gfx/MulDiv.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(MulDiv, RoundsHalvesAwayFromZeroAndFailsWithMinusOne) {
  struct Case {
    int Number, Numerator, Denominator, Result;
  };
  const Case cases[] = {
      {10, 3, 4, 8},                        // 7.5 up
      {-10, 3, 4, -8},                      // -7.5 away from zero
      {10, -3, 4, -8},                      // sign of the product
      {10, 3, -4, -8},                      // sign of the divisor
      {-10, -3, -4, -8},                    // three negatives
      {7, 1, 3, 2},                         // 2.33 down
      {8, 1, 3, 3},                         // 2.67 up
      {5, 1, 2, 3},                         // 2.5 up
      {75, 96, 72, 100},                    // a size scaled between resolutions
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, // the product needs 64 bits
      {INT_MAX, 2, 1, -1},                  // result too large
      {INT_MIN, 1, 1, -1},                  // -2147483648 is beyond the range too
      {INT_MIN, 1, -1, -1},                 // its negation as well
      {12, 5, 0, -1},                       // zero divisor
      {0, 0, 0, -1},
  };
  for (const Case& k : cases)
    EXPECT_EQ(platform::MulDiv(k.Number, k.Numerator, k.Denominator), k.Result)
        << k.Number << " * " << k.Numerator << " / " << k.Denominator;
  static_assert(platform::MulDiv(3, 3, 2) == 5);
}

} // namespace
