#include "platform/host/DisplayScale.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayScale, AutoComesFromGdkScaleThenXftDpi) {
  const struct {
    const char* GdkScale;
    const char* XftDpi;
    int Expected;
  } rows[] = {
      {nullptr, nullptr, 1}, {"2", nullptr, 2},     {"3", "96", 3},      {"1", "240", 1},
      {"7", nullptr, 3},     {"0", "144", 2},       {"-2", "144", 2},    {"1.5", "240", 3},
      {"", "96", 1},         {nullptr, "143.9", 1}, {nullptr, "144", 2}, {nullptr, "192", 2},
      {nullptr, "239", 2},   {nullptr, "240", 3},   {nullptr, "480", 3}, {nullptr, "high", 1},
  };
  for (const auto& r : rows)
    EXPECT_EQ(platform::ChooseDisplayScale(r.GdkScale, r.XftDpi), r.Expected)
        << (r.GdkScale ? r.GdkScale : "(unset)") << " / " << (r.XftDpi ? r.XftDpi : "(unset)");
}

} // namespace
