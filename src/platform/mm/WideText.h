#pragma once
// UTF-8 <-> UTF-16 for the service's wide-character records. Malformed input
// becomes U+FFFD rather than failing.

#include <string>
#include <string_view>

namespace platform::mmtext {

std::u16string ToUtf16(std::string_view aText);
std::string ToUtf8(std::u16string_view aText);

} // namespace platform::mmtext
