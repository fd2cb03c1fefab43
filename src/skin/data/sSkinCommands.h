#pragma once
// The skin command message and the command numbers the skin manager sends.
// The command is in the high word of WPARAM, a small argument in the low word;
// LPARAM carries a value or a reference (here: the manager).

#include "platform/Types.h"

inline constexpr platform::UINT SkinCommandMessage = 0xA100;

inline constexpr platform::WORD scPrepareSkin = 1;
inline constexpr platform::WORD scRemoveSkin = 2;
inline constexpr platform::WORD scApplySkin = 3;
inline constexpr platform::WORD scSectionChanged = 13;
inline constexpr platform::WORD scStopFading = 16;
inline constexpr platform::WORD scHoverGained = 29;
inline constexpr platform::WORD scHoverLost = 30;
inline constexpr platform::WORD scGetCommonData = 37;

constexpr platform::WPARAM SkinCommandParam(platform::WORD aCommand, platform::WORD aArgument = 0) {
  return platform::MAKELONG(aArgument, aCommand);
}
