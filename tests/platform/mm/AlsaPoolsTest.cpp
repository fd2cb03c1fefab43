// Finding the largest pool size a kernel accepts, against kernels with
// different limits.
#include "platform/mm/AlsaPools.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(AlsaPools, TheLargestAcceptedSizeIsFoundWithoutAskingBeyondTheCeiling) {
  constexpr unsigned Ceiling = 65536;
  // A kernel that accepts nothing, only 1, its usual 2000, exactly the
  // ceiling, and more than the ceiling.
  for (const unsigned limit : {0u, 1u, 2000u, Ceiling, Ceiling * 4}) {
    unsigned largestAsked = 0;
    const unsigned found = LargestAccepted(
        [&](unsigned aSize) {
          largestAsked = std::max(largestAsked, aSize);
          return aSize >= 1 && aSize <= limit;
        },
        Ceiling);
    EXPECT_EQ(found, std::min(limit, Ceiling)) << limit;
    EXPECT_LE(largestAsked, Ceiling) << limit;
  }
}

} // namespace
