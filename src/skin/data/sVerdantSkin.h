#pragma once
// The built-in skin "Verdant (internal)": its packed container, made from
// skins/verdant at build time and linked from the library skin_verdant.

#include <cstdint>
#include <span>

inline constexpr const char* VerdantSkinName = "Verdant (internal)";

std::span<const std::uint8_t> VerdantSkinData();
