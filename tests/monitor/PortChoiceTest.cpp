#include "monitor/PortChoice.h"

#include <gtest/gtest.h>

namespace {

TEST(PortChoice, APatternMatchesAnyPartOfTheNameLetterCaseAside) {
  const struct {
    const char* Name;
    const char* Pattern;
    bool Matches;
  } rows[] = {
      {"Keystation 49 MK3", "KEY", true},
      {"Keystation 49 MK3", "49 mk", true},
      {"Keystation 49 MK3", "Keyboard", false},
      {"MIDI \xC3\x9C"
       "ber Port",
       "\xC3\xBC"
       "ber",
       true},                                                         // Ü, ü
      {"\xD0\x9A\xD0\x9B\xD0\x90\xD0\x92", "\xD0\xBA\xD0\xbb", true}, // КЛАВ, кл
      {"\xC5\x81\xC3\xB3"
       "d\xC5\xBA",
       "\xC5\x82\xC3\x93"
       "D\xC5\xB9",
       true}, // Łódź, łÓDŹ
      {"\xC5\xB8"
       "amaha",
       "\xC3\xBF"
       "AMAHA",
       true}, // Ÿ, ÿ
      {"Synth", "", true},
      {"Synth", "Synthesizer", false},
  };
  for (const auto& r : rows)
    EXPECT_EQ(ContainsIgnoringCase(r.Name, r.Pattern), r.Matches) << r.Name << " / " << r.Pattern;
}

// Remembered names are exact, and each of two ports of one name comes back.
TEST(PortChoice, EveryRememberedPortComesBackOnce) {
  TPortChoice choice;
  choice.Remember("Twin");
  choice.Remember("Twin");
  EXPECT_FALSE(choice.TakeRemembered("twin"));
  EXPECT_TRUE(choice.TakeRemembered("Twin"));
  EXPECT_TRUE(choice.TakeRemembered("Twin"));
  EXPECT_FALSE(choice.TakeRemembered("Twin"));
  choice.Remember("Pads");
  choice.ForgetRemembered();
  EXPECT_FALSE(choice.TakeRemembered("Pads"));
}

} // namespace
