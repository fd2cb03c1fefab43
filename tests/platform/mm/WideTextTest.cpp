#include "platform/mm/WideText.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TEST(WideText, RoundTripsEveryPlane) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"", u""},
      {"Loopback", u"Loopback"},
      {"Gerät steht nicht zur Verfügung", u"Gerät steht nicht zur Verfügung"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x8E\xB9 Keys", u"\U0001F3B9 Keys"},
  };
  for (const auto& [utf8, utf16] : cases) {
    EXPECT_EQ(mmtext::ToUtf16(utf8), utf16) << utf8;
    EXPECT_EQ(mmtext::ToUtf8(utf16), utf8) << utf8;
  }
}

TEST(WideText, MalformedInputBecomesReplacementCharacters) {
  const std::pair<std::string, std::u16string> utf8Cases[] = {
      {"\xFF", u"\uFFFD"},                     // never a lead byte
      {"A\xC3", u"A\uFFFD"},                   // cut short
      {"\xC0\xAF", u"\uFFFD\uFFFD"},           // overlong '/'
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"}, // encoded surrogate
  };
  for (const auto& [utf8, utf16] : utf8Cases)
    EXPECT_EQ(mmtext::ToUtf16(utf8), utf16);
  EXPECT_EQ(mmtext::ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(mmtext::ToUtf8(u"a\xDC00"), "a\xEF\xBF\xBD");
}

} // namespace
