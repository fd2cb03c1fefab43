#include "platform/mm/WideText.h"

namespace platform::mmtext {

namespace {

constexpr char32_t Replacement = 0xFFFD;

// Decodes one code point at aText[aPos], advancing aPos; U+FFFD for a
// malformed, overlong or surrogate sequence (consuming one byte).
char32_t DecodeUtf8(std::string_view aText, std::size_t& aPos) {
  const auto lead = static_cast<unsigned char>(aText[aPos]);
  if (lead < 0x80) {
    ++aPos;
    return lead;
  }
  int length = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    ++aPos;
    return Replacement;
  }
  if (aPos + length > aText.size()) {
    ++aPos;
    return Replacement;
  }
  for (int i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(aText[aPos + i]);
    if ((next & 0xC0) != 0x80) {
      ++aPos;
      return Replacement;
    }
    code = (code << 6) | (next & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++aPos;
    return Replacement;
  }
  aPos += length;
  return code;
}

void AppendUtf8(std::string& aOut, char32_t aCode) {
  if (aCode < 0x80) {
    aOut += static_cast<char>(aCode);
  } else if (aCode < 0x800) {
    aOut += static_cast<char>(0xC0 | (aCode >> 6));
    aOut += static_cast<char>(0x80 | (aCode & 0x3F));
  } else if (aCode < 0x10000) {
    aOut += static_cast<char>(0xE0 | (aCode >> 12));
    aOut += static_cast<char>(0x80 | ((aCode >> 6) & 0x3F));
    aOut += static_cast<char>(0x80 | (aCode & 0x3F));
  } else {
    aOut += static_cast<char>(0xF0 | (aCode >> 18));
    aOut += static_cast<char>(0x80 | ((aCode >> 12) & 0x3F));
    aOut += static_cast<char>(0x80 | ((aCode >> 6) & 0x3F));
    aOut += static_cast<char>(0x80 | (aCode & 0x3F));
  }
}

} // namespace

std::u16string ToUtf16(std::string_view aText) {
  std::u16string out;
  out.reserve(aText.size());
  for (std::size_t pos = 0; pos < aText.size();) {
    const char32_t code = DecodeUtf8(aText, pos);
    if (code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
  }
  return out;
}

std::string ToUtf8(std::u16string_view aText) {
  std::string out;
  out.reserve(aText.size());
  for (std::size_t i = 0; i < aText.size(); ++i) {
    char32_t code = aText[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < aText.size() && aText[i + 1] >= 0xDC00 &&
        aText[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (aText[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      code = Replacement;
    }
    AppendUtf8(out, code);
  }
  return out;
}

} // namespace platform::mmtext
