#pragma once
// The fade frame by the rule, for tests: channel by channel
// (old * (255 - a) + new * (a + 1)) >> 8, alpha the old one's; aNew is read
// from aNewAt on.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"

#include <cstdint>
#include <vector>

inline platform::Bitmap FadeRuleFrame(const platform::Bitmap& aOld, const platform::Bitmap& aNew,
                                      TPoint aNewAt, int aAlpha) {
  platform::Bitmap out(aOld.Width(), aOld.Height());
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x) {
      const std::uint32_t o = aOld.Pixel(x, y), n = aNew.Pixel(aNewAt.X + x, aNewAt.Y + y);
      std::uint32_t p = o & 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t c = (((o >> shift) & 0xFF) * std::uint32_t(255 - aAlpha) +
                                 ((n >> shift) & 0xFF) * std::uint32_t(aAlpha + 1)) >>
                                8;
        p |= c << shift;
      }
      out.SetPixel(x, y, p);
    }
  return out;
}

// The alphas of the frames of a full fade (11 steps) and of a half one (5).
inline const std::vector<int> kFullFadeAlphas{23, 46, 69, 92, 115, 139, 162, 185, 208, 231, 255};
inline const std::vector<int> kHalfFadeAlphas{51, 102, 153, 204, 255};
