#pragma once
// The skin options file ("Options.dat"): an INI text of sections and entries,
// read in file order, with the inherited reads through PARENTCLASS.

#include "skin/data/qcSkinPack.h"

#include <optional>
#include <string>
#include <vector>

struct TsIniEntry {
  std::string Key;
  std::string Value;
  bool HasValue = false; // the line had an "="
};

struct TsIniSection {
  std::string Name;
  std::vector<TsIniEntry> Entries;
};

class TsSkinOptions {
public:
  TsSkinOptions() = default;
  // Decodes the bytes (ANSI code page, or UTF-8 / UTF-16 after a byte-order
  // mark) and parses the text.
  static TsSkinOptions FromBytes(const TBytes& aBytes);
  static TsSkinOptions FromBytes(const std::uint8_t* aData, std::size_t aSize);
  // Parses UTF-8 text.
  static TsSkinOptions FromText(const std::string& aText);
  // The text of the bytes as UTF-8 (byte-order marks removed).
  static std::string DecodeText(const std::uint8_t* aData, std::size_t aSize);

  // Every section in file order; a repeated name occurs twice.
  const std::vector<TsIniSection>& Sections() const { return fSections; }
  // The first section of that name (case-sensitive), or nullptr.
  const TsIniSection* FindSection(const std::string& aSection) const;
  // The value of the first entry of that key in the first section of that
  // name; nothing when either is absent.
  std::optional<std::string> Read(const std::string& aSection, const std::string& aKey) const;

  std::string ReadString(const std::string& aSection, const std::string& aKey,
                         const std::string& aDefault) const;
  int ReadInteger(const std::string& aSection, const std::string& aKey, int aDefault) const;

  // The key's text, else the parent chain's (PARENTCLASS, each section visited
  // once), else aDefault.
  std::string ReadInheritedString(const std::string& aSection, const std::string& aKey,
                                  const std::string& aDefault) const;
  bool ReadInheritedBool(const std::string& aSection, const std::string& aKey, bool aDefault) const;
  // The key as an integer with -1 as "not set"; values from parents are
  // resolved as colours; the result is at most aLimit.
  int ReadInheritedInteger(const std::string& aSection, const std::string& aKey, int aDefault,
                           int aLimit) const;

private:
  std::optional<std::string> ReadInheritedText(const std::string& aSection,
                                               const std::string& aKey) const;

  std::vector<TsIniSection> fSections;
};

// The version value of a text: a decimal fraction with "."; 0 when unparsable.
double ParseSkinVersion(const std::string& aText);
// Integer encoding: decimal with optional sign, or hexadecimal after "$" or
// "0x"; nothing for anything else.
std::optional<int> ParseSkinInteger(const std::string& aText);
// ParseSkinInteger or aDefault.
int StrToIntDef(const std::string& aText, int aDefault);
// ParseSkinInteger or EConvertError ("'x' is not a valid integer value").
int StrToInt(const std::string& aText);
// A colour as RGB (system colours resolved); -1 stays -1.
int ResolveSkinColor(int aColor);
