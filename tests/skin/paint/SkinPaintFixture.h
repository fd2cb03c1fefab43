#pragma once
// A skin built in memory for painting tests: a manager whose tables the test
// fills, a master bitmap whose pixels name their own position, and helpers
// for expected bitmaps.

#include "platform/gfx/Bitmap.h"
#include "skin/data/sSkinManager.h"
#include "skin/paint/sMaskPieces.h"
#include "support/PixelCheck.h"

#include <cstdint>

namespace paintfixture {

using pixelcheck::Px;

// The pixel at (x, y) of a position-coded image: red x, green y, blue 7.
constexpr std::uint32_t At(int aX, int aY) {
  return Px(std::uint32_t(aX), std::uint32_t(aY), 7);
}

inline platform::Bitmap PositionCoded(int aWidth, int aHeight) {
  platform::Bitmap b(aWidth, aHeight);
  for (int y = 0; y < aHeight; ++y)
    for (int x = 0; x < aWidth; ++x)
      b.SetPixel(x, y, At(x, y));
  return b;
}

struct TTestSkin {
  TsSkinManager Manager;
  TTestSkin() { *Manager.MasterBitmap = PositionCoded(64, 64); }
  platform::Bitmap& Master() { return *Manager.MasterBitmap; }
  int AddMask(TsMaskData aMask) {
    aMask.Manager = &Manager;
    Manager.ma.push_back(aMask);
    return int(Manager.ma.size()) - 1;
  }
  int AddSection(TsGeneralData aSection) {
    Manager.gd.push_back(aSection);
    return int(Manager.gd.size()) - 1;
  }
};

// A mask entry on the master bitmap.
inline TsMaskData Entry(TRect aR, int aImageCount, int aMaskType, int aDrawMode, int aBorder = 0,
                        int aCornerType = 0) {
  TsMaskData m;
  m.R = aR;
  m.ImageCount = std::int16_t(aImageCount);
  m.MaskType = std::int16_t(aMaskType);
  m.DrawMode = std::int16_t(aDrawMode);
  m.WL = m.WT = m.WR = m.WB = std::int16_t(aBorder);
  m.CornerType = aCornerType;
  return m;
}

// A section with one plain state and no images.
inline TsGeneralData PlainSection(const char* aName, TColor aColor, int aStates = 1) {
  TsGeneralData g;
  g.ClassName = aName;
  g.States = aStates;
  g.BorderIndex = g.ImgTL = g.ImgTR = g.ImgBL = g.ImgBR = -1;
  for (TsGenState& s : g.Props) {
    s.Color = int(aColor);
    s.TextureIndex = -1;
  }
  return g;
}

// Per channel (d * c + s * (256 - c)) >> 8, alpha 255.
inline std::uint32_t Mixed(std::uint32_t aDst, std::uint32_t aSrc, std::uint32_t aC) {
  std::uint32_t r = 0xFF000000u;
  for (int shift : {0, 8, 16})
    r |= ((((aDst >> shift) & 0xFF) * aC + ((aSrc >> shift) & 0xFF) * (256 - aC)) >> 8) << shift;
  return r;
}

} // namespace paintfixture
