#pragma once
// Value types shared by every layer, and the integer types of the platform
// interfaces that the stand-ins in src/platform are shaped after.

#include <algorithm>
#include <cstdint>

// A colour 0x00BBGGRR (red in the lowest byte). Values with the top bit set name
// system colours; they are resolved through the system colour table.
using TColor = std::uint32_t;

inline constexpr TColor KeyColor = 0x00FF00FF;

constexpr bool IsSystemColor(TColor aColor) {
  return (aColor & 0x80000000u) != 0;
}
constexpr std::uint8_t GetRValue(TColor aColor) {
  return aColor & 0xFF;
}
constexpr std::uint8_t GetGValue(TColor aColor) {
  return (aColor >> 8) & 0xFF;
}
constexpr std::uint8_t GetBValue(TColor aColor) {
  return (aColor >> 16) & 0xFF;
}
constexpr TColor RGB(std::uint8_t aRed, std::uint8_t aGreen, std::uint8_t aBlue) {
  return TColor(aRed) | (TColor(aGreen) << 8) | (TColor(aBlue) << 16);
}

struct TPoint {
  int X = 0;
  int Y = 0;
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

// (Left, Top, Right, Bottom); Right and Bottom are exclusive.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(TPoint aPoint) const {
    return aPoint.X >= Left && aPoint.X < Right && aPoint.Y >= Top && aPoint.Y < Bottom;
  }
  constexpr TRect Offset(int aDx, int aDy) const {
    return {Left + aDx, Top + aDy, Right + aDx, Bottom + aDy};
  }
  // The common part; an empty rectangle (0, 0, 0, 0) when there is none.
  constexpr TRect Intersect(const TRect& aOther) const {
    TRect r{std::max(Left, aOther.Left), std::max(Top, aOther.Top), std::min(Right, aOther.Right),
            std::min(Bottom, aOther.Bottom)};
    return r.IsEmpty() ? TRect{} : r;
  }
  // The smallest rectangle holding both; empty rectangles add nothing.
  constexpr TRect Union(const TRect& aOther) const {
    if (IsEmpty())
      return aOther;
    if (aOther.IsEmpty())
      return *this;
    return {std::min(Left, aOther.Left), std::min(Top, aOther.Top), std::max(Right, aOther.Right),
            std::max(Bottom, aOther.Bottom)};
  }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect Rect(int aLeft, int aTop, int aRight, int aBottom) {
  return {aLeft, aTop, aRight, aBottom};
}
constexpr TRect Bounds(int aLeft, int aTop, int aWidth, int aHeight) {
  return {aLeft, aTop, aLeft + aWidth, aTop + aHeight};
}

namespace platform {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using DWORD_PTR = std::uintptr_t;
using COLORREF = TColor;
using MMRESULT = UINT;
using RECT = TRect;
using POINT = TPoint;
using SIZE = TSize;

constexpr WORD LOWORD(DWORD_PTR aValue) {
  return WORD(aValue & 0xFFFF);
}
constexpr WORD HIWORD(DWORD_PTR aValue) {
  return WORD((aValue >> 16) & 0xFFFF);
}
constexpr BYTE LOBYTE(DWORD_PTR aValue) {
  return BYTE(aValue & 0xFF);
}
constexpr DWORD MAKELONG(WORD aLow, WORD aHigh) {
  return DWORD(aLow) | (DWORD(aHigh) << 16);
}

} // namespace platform
