#include "skin/paint/sGradient.h"

#include "platform/gfx/Raster.h"

#include <algorithm>
#include <vector>

namespace {

// Walks the pieces along one axis, from aStart over aExtent pixels to aLast
// (inclusive), and calls aLine(position, pixel) for every line each piece
// paints, in painting order.
template <class TLine>
void ForEachGradientLine(const TsGradArray& aGradient, int aStart, int aExtent, int aLast,
                         bool aHorizontal, TLine&& aLine) {
  int from = aStart;
  for (std::size_t i = 0; i < aGradient.size(); ++i) {
    const TsGradPie& piece = aGradient[i];
    int to = aHorizontal ? int(float(from) + float(piece.Percent) * (float(aExtent) / 100.0f))
                         : from + aExtent * piece.Percent / 100;
    to = i + 1 == aGradient.size() ? aLast : std::min(to, aLast);
    if (to <= from)
      continue;
    const std::uint32_t first = platform::raster::PixelOf(piece.Color1);
    if (piece.Color1 == piece.Color2) {
      for (int p = from; p <= to; ++p)
        aLine(p, first);
    } else {
      float value[3], step[3];
      for (int c = 0; c < 3; ++c) {
        const int shift = 8 * c;
        value[c] = float((piece.Color1 >> shift) & 0xFF);
        step[c] = (float((piece.Color2 >> shift) & 0xFF) - value[c]) / float(to - from);
      }
      for (int p = from; p <= to; ++p) {
        aLine(p, 0xFF000000u | (std::uint32_t(value[0]) << 16) | (std::uint32_t(value[1]) << 8) |
                     std::uint32_t(value[2]));
        for (int c = 0; c < 3; ++c)
          value[c] += step[c];
      }
    }
    from = to;
  }
}

platform::raster::GradientVertex Vertex(int aX, int aY, TColor aColor) {
  return {aX,
          aY,
          std::uint16_t(GetRValue(aColor) << 8),
          std::uint16_t(GetGValue(aColor) << 8),
          std::uint16_t(GetBValue(aColor) << 8),
          0xFF00};
}

void FillTriangles(platform::Bitmap& aBmp, const TRect& aR, const TsGradArray& aGradient) {
  TColor colors[5];
  for (std::size_t i = 0; i < 5; ++i)
    colors[i] = i < aGradient.size() ? aGradient[i].Color1 : colors[i - 1];
  const int w = aR.Width(), h = aR.Height();
  const auto a = Vertex(aR.Left, aR.Top, colors[0]);
  const auto m = Vertex(aR.Left + w / 2, aR.Top + h / 2, colors[1]);
  const auto b = Vertex(aR.Right, aR.Top, colors[2]);
  const auto c = Vertex(aR.Right, aR.Bottom, colors[3]);
  const auto d = Vertex(aR.Left, aR.Bottom, colors[4]);
  const platform::raster::GradientVertex triangles[4][3] = {
      {a, m, b}, {m, b, c}, {a, m, d}, {d, m, c}};
  for (const auto& t : triangles)
    platform::raster::GradientTriangle(aBmp, aR, t);
}

std::uint32_t Blend(std::uint32_t aTexture, std::uint32_t aGradient, std::uint32_t aWeight,
                    std::uint32_t aAlpha) {
  std::uint32_t result = aAlpha << 24;
  for (int shift : {0, 8, 16})
    result |= ((((aTexture >> shift) & 0xFF) * aWeight +
                ((aGradient >> shift) & 0xFF) * (256 - aWeight)) >>
               8)
              << shift;
  return result;
}

} // namespace

void FillGradient(platform::Bitmap& aBmp, TRect aR, const TsGradArray& aGradient) {
  aR = aR.Intersect(aBmp.BoundsRect());
  if (aR.IsEmpty() || aGradient.empty())
    return;
  switch (aGradient.front().Mode1) {
  case 0:
    ForEachGradientLine(aGradient, aR.Top, aR.Height(), aR.Bottom - 1, false,
                        [&](int aY, std::uint32_t aPixel) {
                          std::fill_n(aBmp.ScanLine(aY) + aR.Left, aR.Width(), aPixel);
                        });
    break;
  case 1: {
    std::uint32_t* first = aBmp.ScanLine(aR.Top);
    ForEachGradientLine(aGradient, aR.Left, aR.Width(), aR.Right - 1, true,
                        [&](int aX, std::uint32_t aPixel) { first[aX] = aPixel; });
    for (int y = aR.Top + 1; y < aR.Bottom; ++y)
      std::copy_n(first + aR.Left, aR.Width(), aBmp.ScanLine(y) + aR.Left);
    break;
  }
  case 2:
    FillTriangles(aBmp, aR, aGradient);
    break;
  default:
    break;
  }
}

void FillGradientTextured(platform::Bitmap& aBmp, TRect aR, const TsGradArray& aGradient,
                          std::uint8_t aAlpha, std::uint8_t aTextureWeight, TRect aTexRect,
                          const platform::Bitmap& aTexBmp) {
  if (aTexRect.IsEmpty())
    aTexRect = aTexBmp.BoundsRect();
  const int tw = std::min(aTexRect.Width(), aTexBmp.Width() - 1 - aTexRect.Left);
  const int th = std::min(aTexRect.Height(), aTexBmp.Height() - 1 - aTexRect.Top);
  // A tile cut down to nothing (or lying outside its bitmap) leaves the
  // gradient alone rather than dividing by a zero tile size.
  if (tw <= 0 || th <= 0 || aTexRect.Left < 0 || aTexRect.Top < 0) {
    FillGradient(aBmp, aR, aGradient);
    return;
  }
  aR = aR.Intersect(aBmp.BoundsRect());
  if (aR.IsEmpty() || aGradient.empty())
    return;
  const std::uint32_t weight = aTextureWeight, alpha = aAlpha;
  auto textureRow = [&](int aY) {
    return aTexBmp.ScanLine(aTexRect.Top + aY % th) + aTexRect.Left;
  };
  const int mode = aGradient.front().Mode1;
  if (mode == 0) {
    ForEachGradientLine(aGradient, aR.Top, aR.Height(), aR.Bottom - 1, false,
                        [&](int aY, std::uint32_t aPixel) {
                          const std::uint32_t* texture = textureRow(aY);
                          std::uint32_t* row = aBmp.ScanLine(aY);
                          for (int x = aR.Left, tx = aR.Left % tw; x < aR.Right; ++x) {
                            row[x] = Blend(texture[tx], aPixel, weight, alpha);
                            if (++tx == tw)
                              tx = 0;
                          }
                        });
  } else if (mode == 1) {
    std::vector<std::uint32_t> gradient(std::size_t(aR.Right), 0);
    ForEachGradientLine(aGradient, aR.Left, aR.Width(), aR.Right - 1, true,
                        [&](int aX, std::uint32_t aPixel) { gradient[std::size_t(aX)] = aPixel; });
    const int band = std::min(aR.Height(), th);
    for (int y = aR.Top; y < aR.Top + band; ++y) {
      const std::uint32_t* texture = textureRow(y);
      std::uint32_t* row = aBmp.ScanLine(y);
      for (int x = aR.Left, tx = aR.Left % tw; x < aR.Right; ++x) {
        row[x] = Blend(texture[tx], gradient[std::size_t(x)], weight, alpha);
        if (++tx == tw)
          tx = 0;
      }
    }
    // Further rows repeat the band; the tile's period equals the band's.
    for (int y = aR.Top + band; y < aR.Bottom; ++y)
      std::copy_n(aBmp.ScanLine(aR.Top + (y - aR.Top) % band) + aR.Left, aR.Width(),
                  aBmp.ScanLine(y) + aR.Left);
  }
}
