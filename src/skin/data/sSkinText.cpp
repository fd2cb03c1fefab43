#include "skin/data/sSkinText.h"

#include <array>

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252; 0 marks unused bytes.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& aOut, char32_t aCode) {
  if (aCode < 0x80) {
    aOut += char(aCode);
  } else if (aCode < 0x800) {
    aOut += char(0xC0 | (aCode >> 6));
    aOut += char(0x80 | (aCode & 0x3F));
  } else if (aCode < 0x10000) {
    aOut += char(0xE0 | (aCode >> 12));
    aOut += char(0x80 | ((aCode >> 6) & 0x3F));
    aOut += char(0x80 | (aCode & 0x3F));
  } else {
    aOut += char(0xF0 | (aCode >> 18));
    aOut += char(0x80 | ((aCode >> 12) & 0x3F));
    aOut += char(0x80 | ((aCode >> 6) & 0x3F));
    aOut += char(0x80 | (aCode & 0x3F));
  }
}

} // namespace

std::string AnsiToUtf8(const std::string& aText) {
  std::string out;
  out.reserve(aText.size());
  for (unsigned char c : aText) {
    if (c < 0x80)
      out += char(c);
    else if (c < 0xA0)
      AppendUtf8(out, kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : 0xFFFD);
    else
      AppendUtf8(out, c);
  }
  return out;
}

std::string Utf16ToUtf8(const std::uint8_t* aData, std::size_t aSize, bool aBigEndian) {
  std::string out;
  out.reserve(aSize / 2);
  auto unit = [&](std::size_t i) -> char32_t {
    return aBigEndian ? char32_t(aData[i] << 8 | aData[i + 1])
                      : char32_t(aData[i] | aData[i + 1] << 8);
  };
  for (std::size_t i = 0; i + 1 < aSize; i += 2) {
    char32_t u = unit(i);
    if (u >= 0xD800 && u < 0xDC00 && i + 3 < aSize) {
      char32_t low = unit(i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u < 0xE000) ? 0xFFFD : u);
  }
  return out;
}

std::string Utf8ToAnsi(const std::string& aText) {
  std::string out;
  for (std::size_t i = 0; i < aText.size();) {
    unsigned char c = aText[i];
    char32_t code;
    std::size_t len;
    if (c < 0x80) {
      code = c;
      len = 1;
    } else if ((c & 0xE0) == 0xC0) {
      code = c & 0x1F;
      len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      code = c & 0x0F;
      len = 3;
    } else {
      code = c & 0x07;
      len = 4;
    }
    if (i + len > aText.size()) {
      out += '?';
      break;
    }
    for (std::size_t k = 1; k < len; ++k)
      code = (code << 6) | (static_cast<unsigned char>(aText[i + k]) & 0x3F);
    i += len;
    if (code < 0x80 || (code >= 0xA0 && code < 0x100)) {
      out += char(code);
      continue;
    }
    char mapped = '?';
    for (std::size_t k = 0; k < kCp1252High.size(); ++k)
      if (kCp1252High[k] == code && code != 0)
        mapped = char(0x80 + k);
    out += mapped;
  }
  return out;
}

std::string Trim(const std::string& aText) {
  std::size_t first = 0;
  std::size_t last = aText.size();
  while (first < last && static_cast<unsigned char>(aText[first]) <= ' ')
    ++first;
  while (last > first && static_cast<unsigned char>(aText[last - 1]) <= ' ')
    --last;
  return aText.substr(first, last - first);
}

std::string UpperCase(std::string aText) {
  for (char& c : aText)
    if (c >= 'a' && c <= 'z')
      c = char(c - 'a' + 'A');
  return aText;
}

bool SameText(const std::string& aLeft, const std::string& aRight) {
  return UpperCase(aLeft) == UpperCase(aRight);
}
