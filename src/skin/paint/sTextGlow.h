#pragma once
// The glow behind skinned text: the text is drawn dark on a white 8-bit work
// image, blurred with a separable kernel and laid over the target in the glow
// colour wherever the work image is not white.

#include "platform/Types.h"
#include "platform/gfx/Bitmap.h"
#include "platform/gfx/Font.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The blur kernel of a glow size: 2 * Radius + 1 integer weights, applied as
// sum(weight * value) / Sum. The weights are the Gaussian of the size rounded
// to whole numbers, cut where the tail left out stays below 1/510.
struct TGlowKernel {
  int Radius = 0;
  std::vector<int> Weights;
  int Sum = 0;
};

// The kernel for a glow of aSize pixels (at least 1).
TGlowKernel GlowKernel(int aSize);

// An 8-bit grey image, row by row.
struct TGreyImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;

  std::uint8_t& At(int aX, int aY) {
    return Pixels[std::size_t(aY) * std::size_t(Width) + std::size_t(aX)];
  }
  std::uint8_t At(int aX, int aY) const {
    return Pixels[std::size_t(aY) * std::size_t(Width) + std::size_t(aX)];
  }
};

// Convolves every row, then every column with the kernel; positions beyond
// an end take the end pixel, results are truncated.
void BlurGrey(TGreyImage& aImage, const TGlowKernel& aKernel);

// Lays the work image over the target with its pixel (0, 0) at aOrigin: for
// each work value v other than 255 whose target pixel exists, with g = 255 - v,
// alpha a becomes a + ((255 - a) * g >> 8) and each colour channel
// (g * glow channel + v * channel) >> 8. aGlow is an RGB colour.
void CompositeGlow(platform::Bitmap& aTarget, const TGreyImage& aWork, TPoint aOrigin,
                   TColor aGlow);

// A blurred work image and where its pixel (0, 0) lies on the target.
struct TTextGlow {
  TGreyImage Work;
  TPoint Origin;
};

// The glow of aText laid out in aR with the DrawTextW flags aFormat, in
// aFont, aSize pixels wide, one pixel right of and below the text, ready for
// CompositeGlow. An empty work image for a size below 1, empty text or a size
// no bitmap can have.
TTextGlow MakeTextGlow(platform::HFONT aFont, std::string_view aText, const TRect& aR, int aSize,
                       platform::UINT aFormat);

// Draws the glow of aText (laid out in aR with the DrawTextW flags aFormat,
// in aFont) into aTarget in the colour aGlow, aSize pixels wide. The glow
// lies one pixel right of and below the text. Nothing for a size below 1.
void DrawTextGlow(platform::Bitmap& aTarget, platform::HFONT aFont, std::string_view aText,
                  const TRect& aR, TColor aGlow, int aSize, platform::UINT aFormat);
