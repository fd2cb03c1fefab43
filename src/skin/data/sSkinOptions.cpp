#include "skin/data/sSkinOptions.h"

#include "platform/gfx/SystemColors.h"
#include "skin/data/sSkinText.h"
#include "skin/data/sSkinTypes.h"

#include <charconv>
#include <climits>
#include <set>

std::string TsSkinOptions::DecodeText(const std::uint8_t* aData, std::size_t aSize) {
  if (aSize >= 3 && aData[0] == 0xEF && aData[1] == 0xBB && aData[2] == 0xBF)
    return std::string(reinterpret_cast<const char*>(aData) + 3, aSize - 3);
  if (aSize >= 2 && aData[0] == 0xFF && aData[1] == 0xFE)
    return Utf16ToUtf8(aData + 2, aSize - 2, false);
  if (aSize >= 2 && aData[0] == 0xFE && aData[1] == 0xFF)
    return Utf16ToUtf8(aData + 2, aSize - 2, true);
  return AnsiToUtf8(std::string(reinterpret_cast<const char*>(aData), aSize));
}

TsSkinOptions TsSkinOptions::FromBytes(const std::uint8_t* aData, std::size_t aSize) {
  return FromText(DecodeText(aData, aSize));
}

TsSkinOptions TsSkinOptions::FromBytes(const TBytes& aBytes) {
  return FromBytes(aBytes.data(), aBytes.size());
}

TsSkinOptions TsSkinOptions::FromText(const std::string& aText) {
  TsSkinOptions options;
  TsIniSection* current = nullptr;
  std::size_t pos = 0;
  while (pos <= aText.size()) {
    std::size_t end = aText.find_first_of("\r\n", pos);
    if (end == std::string::npos)
      end = aText.size();
    std::string line = Trim(aText.substr(pos, end - pos));
    // CR LF is one line end; a lone CR or LF is one too.
    pos = end + 1;
    if (end < aText.size() && aText[end] == '\r' && pos < aText.size() && aText[pos] == '\n')
      ++pos;
    if (line.empty() || line[0] == ';')
      continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      options.fSections.push_back({Trim(line.substr(1, line.size() - 2)), {}});
      current = &options.fSections.back();
      continue;
    }
    if (!current)
      continue;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos)
      current->Entries.push_back({line, "", false});
    else
      current->Entries.push_back({Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)), true});
  }
  return options;
}

const TsIniSection* TsSkinOptions::FindSection(const std::string& aSection) const {
  for (const auto& section : fSections)
    if (section.Name == aSection)
      return &section;
  return nullptr;
}

std::optional<std::string> TsSkinOptions::Read(const std::string& aSection,
                                               const std::string& aKey) const {
  const TsIniSection* section = FindSection(aSection);
  if (!section)
    return std::nullopt;
  for (const auto& entry : section->Entries)
    if (entry.HasValue && entry.Key == aKey)
      return entry.Value;
  return std::nullopt;
}

std::string TsSkinOptions::ReadString(const std::string& aSection, const std::string& aKey,
                                      const std::string& aDefault) const {
  return Read(aSection, aKey).value_or(aDefault);
}

int TsSkinOptions::ReadInteger(const std::string& aSection, const std::string& aKey,
                               int aDefault) const {
  auto value = Read(aSection, aKey);
  return value ? StrToIntDef(*value, aDefault) : aDefault;
}

std::optional<std::string> TsSkinOptions::ReadInheritedText(const std::string& aSection,
                                                            const std::string& aKey) const {
  // Each section of the chain is visited once, so a PARENTCLASS loop ends.
  std::set<std::string> visited;
  std::string section = aSection;
  while (visited.insert(section).second) {
    if (auto value = Read(section, aKey))
      return value;
    std::string parent = ReadString(section, "PARENTCLASS", "");
    if (parent.empty() || parent == section)
      break;
    section = parent;
  }
  return std::nullopt;
}

std::string TsSkinOptions::ReadInheritedString(const std::string& aSection, const std::string& aKey,
                                               const std::string& aDefault) const {
  return ReadInheritedText(aSection, aKey).value_or(aDefault);
}

bool TsSkinOptions::ReadInheritedBool(const std::string& aSection, const std::string& aKey,
                                      bool aDefault) const {
  auto value = ReadInheritedText(aSection, aKey);
  if (!value)
    return aDefault;
  return *value == "TRUE" || *value == "1";
}

int TsSkinOptions::ReadInheritedInteger(const std::string& aSection, const std::string& aKey,
                                        int aDefault, int aLimit) const {
  std::set<std::string> visited;
  std::string section = aSection;
  int result = -1;
  bool fromParent = false;
  while (visited.insert(section).second) {
    result = ReadInteger(section, aKey, -1);
    if (result != -1)
      break;
    std::string parent = ReadString(section, "PARENTCLASS", "");
    if (parent.empty() || parent == section)
      break;
    section = parent;
    fromParent = true;
  }
  if (result != -1 && fromParent)
    result = ResolveSkinColor(result);
  if (result == -1)
    result = aDefault;
  return std::min(result, aLimit);
}

double ParseSkinVersion(const std::string& aText) {
  std::string text = Trim(aText);
  double value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+')
    ++first;
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
  if (ec != std::errc() || ptr != last)
    return 0;
  return value;
}

std::optional<int> ParseSkinInteger(const std::string& aText) {
  std::size_t pos = 0;
  bool negative = false;
  if (pos < aText.size() && (aText[pos] == '-' || aText[pos] == '+'))
    negative = aText[pos++] == '-';
  int base = 10;
  if (pos < aText.size() && aText[pos] == '$') {
    base = 16;
    ++pos;
  } else if (pos + 1 < aText.size() && aText[pos] == '0' &&
             (aText[pos + 1] == 'x' || aText[pos + 1] == 'X')) {
    base = 16;
    pos += 2;
  }
  if (pos >= aText.size())
    return std::nullopt;
  unsigned long long magnitude = 0;
  const char* first = aText.data() + pos;
  const char* last = aText.data() + aText.size();
  auto [ptr, ec] = std::from_chars(first, last, magnitude, base);
  if (ec != std::errc() || ptr != last)
    return std::nullopt;
  if (base == 16) {
    // Hexadecimal covers the full 32 bits ($FFFFFFFF is -1).
    if (magnitude > 0xFFFFFFFFull)
      return std::nullopt;
    std::uint32_t bits = std::uint32_t(magnitude);
    if (negative)
      bits = 0u - bits;
    return int(std::int32_t(bits));
  }
  // The range is checked before the sign is applied, so nothing overflows.
  if (magnitude > 0x80000000ull)
    return std::nullopt;
  long long value =
      negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  if (value < INT_MIN || value > INT_MAX)
    return std::nullopt;
  return int(value);
}

int StrToIntDef(const std::string& aText, int aDefault) {
  auto value = ParseSkinInteger(aText);
  return value ? *value : aDefault;
}

int StrToInt(const std::string& aText) {
  auto value = ParseSkinInteger(aText);
  if (!value)
    throw EConvertError("'" + aText + "' is not a valid integer value");
  return *value;
}

int ResolveSkinColor(int aColor) {
  if (aColor == -1)
    return -1;
  return int(platform::ResolveColor(TColor(aColor)));
}
