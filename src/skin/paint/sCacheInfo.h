#pragma once
// What lies behind a painted rectangle. A child asks its parent for its
// background (ParentBgInfo, through the skin command scGetParentBg) and hands
// the answer to the section painter as a TCacheInfo.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/SystemColors.h"

#include <cstdint>

// The parent's background for the painter.
struct TCacheInfo {
  platform::Bitmap* Bmp = nullptr; // the parent's cache, not owned
  int X = -99;                     // origin of the painted bitmap inside Bmp
  int Y = -99;
  TColor FillColor = KeyColor; // the parent's plain colour; KeyColor: none
  TRect FillRect{};            // widths of the parent's non-plain border strips
  bool Ready = false;          // true: Bmp holds the finished background to copy
};

// No parent information.
inline TCacheInfo EmptyCacheInfo() {
  return TCacheInfo{};
}

// A finished background to copy from aBmp at (aX, aY).
inline TCacheInfo CacheInfoFromBitmap(platform::Bitmap* aBmp, int aX, int aY) {
  return TCacheInfo{aBmp, aX, aY, KeyColor, TRect{}, true};
}

// The kinds of answer to scGetParentBg.
enum TqcBgType : std::uint8_t {
  btNone = 0,     // nobody answered
  btFill = 1,     // a plain colour; Bmp may be set for the border strips
  btCache = 2,    // copy from Bmp
  btNotReady = 3, // the parent's cache is being rebuilt
};

// The record exchanged with scGetParentBg; it lives for one request.
struct ParentBgInfo {
  platform::Bitmap* Bmp = nullptr;
  TColor Color = 0;
  int X = 0; // offset of the asking child's origin inside Bmp
  int Y = 0;
  TRect R{};        // with PleaseDraw: the rectangle of DC to paint
  TRect FillRect{}; // border strip widths of a plain parent
  TqcBgType BgType = btNone;
  bool PleaseDraw = false;
  platform::HDC DC = nullptr;

  // The answer "behind you is this cache", the asking child's origin at
  // (aX, aY) inside it.
  void AnswerCache(platform::Bitmap* aCache, int aX = 0, int aY = 0) {
    BgType = btCache;
    Bmp = aCache;
    X = aX;
    Y = aY;
  }
};

// The answer of scGetParentBg as painter input; system colours are resolved.
inline TCacheInfo ParentBgToCacheInfo(const ParentBgInfo& aInfo) {
  if (aInfo.BgType == btCache)
    return CacheInfoFromBitmap(aInfo.Bmp, aInfo.X, aInfo.Y);
  return TCacheInfo{aInfo.Bmp,      aInfo.X, aInfo.Y, TColor(platform::ResolveColor(aInfo.Color)),
                    aInfo.FillRect, false};
}
