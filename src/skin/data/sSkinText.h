#pragma once
// Text helpers of the skin data: code-page conversion, trimming and ASCII case.

#include <cstddef>
#include <cstdint>
#include <string>

// Converts 8-bit text in the Windows-1252 code page to UTF-8 (the five unused
// code points become U+FFFD).
std::string AnsiToUtf8(const std::string& aText);
// Converts UTF-16 text (little- or big-endian bytes) to UTF-8; unpaired
// surrogates become U+FFFD. An odd last byte is dropped.
std::string Utf16ToUtf8(const std::uint8_t* aData, std::size_t aSize, bool aBigEndian);
// Converts UTF-8 text to Windows-1252; characters it cannot hold become '?'.
std::string Utf8ToAnsi(const std::string& aText);

// Removes leading and trailing characters up to and including the blank.
std::string Trim(const std::string& aText);
// Upper-cases ASCII letters only.
std::string UpperCase(std::string aText);
bool SameText(const std::string& aLeft, const std::string& aRight);
