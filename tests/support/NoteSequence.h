#pragma once
// A numbered sequence of Note On messages for the delivery tests: message i
// carries its number in its note (i mod 128), velocity (1 + i / 128 mod 127,
// never 0, which would read as a Note Off) and channel, so every message of
// a run up to SequenceLength is distinct and its place can be read back.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

using TShortBytes = std::array<std::uint8_t, 3>;

inline constexpr std::uint32_t SequenceLength = 128u * 127u * 16u;

inline TShortBytes SequenceMessage(std::uint32_t aIndex) {
  const std::uint32_t i = aIndex % SequenceLength;
  return {std::uint8_t(0x90 | (i / (128 * 127))), std::uint8_t(i % 128),
          std::uint8_t(1 + i / 128 % 127)};
}

// The number of a message of the sequence; none for any other message.
inline std::optional<std::uint32_t> SequenceIndex(const std::uint8_t* aBytes, std::size_t aSize) {
  if (aSize != 3 || (aBytes[0] & 0xF0) != 0x90 || aBytes[1] > 0x7F || aBytes[2] == 0 ||
      aBytes[2] > 0x7F)
    return std::nullopt;
  return std::uint32_t(aBytes[0] & 0x0F) * 128 * 127 + std::uint32_t(aBytes[2] - 1) * 128 +
         aBytes[1];
}

// The bytes of messages aFirst .. aFirst + aCount - 1, back to back.
inline std::vector<std::uint8_t> SequenceBytes(std::uint32_t aFirst, std::uint32_t aCount) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(std::size_t(aCount) * 3);
  for (std::uint32_t i = 0; i < aCount; ++i) {
    const TShortBytes m = SequenceMessage(aFirst + i);
    bytes.insert(bytes.end(), m.begin(), m.end());
  }
  return bytes;
}
