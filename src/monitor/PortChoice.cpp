#include "monitor/PortChoice.h"

#include "platform/mm/WideText.h"

#include <algorithm>

namespace {

// Upper-case letters to lower case, for the scripts port names use most.
char16_t FoldCase(char16_t aChar) {
  const auto c = unsigned(aChar);
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
      (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
    return char16_t(c + 0x20);
  if (c >= 0x400 && c <= 0x40F)
    return char16_t(c + 0x50);
  if (c == 0x178) // Y with diaeresis, whose small letter is in Latin-1
    return char16_t(0xFF);
  // Latin Extended-A pairs its letters, upper case first: even code points
  // from U+0100, odd ones between U+0139 and U+0148 and from U+0179.
  if (c >= 0x100 && c <= 0x17E && c != 0x138 && c != 0x149) {
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    if ((c % 2 == 1) == oddUpper)
      return char16_t(c + 1);
  }
  return aChar;
}

std::u16string Folded(std::string_view aText) {
  std::u16string text = platform::mmtext::ToUtf16(aText);
  std::transform(text.begin(), text.end(), text.begin(), FoldCase);
  return text;
}

} // namespace

bool ContainsIgnoringCase(std::string_view aText, std::string_view aPattern) {
  return Folded(aText).find(Folded(aPattern)) != std::u16string::npos;
}

bool TPortChoice::MatchesPattern(std::string_view aName) const {
  return std::any_of(fPatterns.begin(), fPatterns.end(), [&](const std::string& aPattern) {
    return ContainsIgnoringCase(aName, aPattern);
  });
}

bool TPortChoice::TakeRemembered(std::string_view aName) {
  const auto found = std::find(fRemembered.begin(), fRemembered.end(), aName);
  if (found == fRemembered.end())
    return false;
  fRemembered.erase(found);
  return true;
}
