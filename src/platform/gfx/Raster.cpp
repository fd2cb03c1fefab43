#include "platform/gfx/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace platform::raster {

namespace {

TRect Limit(const Bitmap& aBitmap, const TRect& aClip) {
  return aClip.Intersect(aBitmap.BoundsRect());
}

// v / 255 rounded to nearest (v / 255 is never halfway, 255 being odd).
constexpr std::uint32_t Div255(std::uint32_t aValue) {
  return (aValue + 127) / 255;
}

constexpr std::uint32_t Channel(std::uint32_t aPixel, int aShift) {
  return (aPixel >> aShift) & 0xFF;
}

std::uint32_t BlendPixel(std::uint32_t aDest, std::uint32_t aSource, BlendMode aMode) {
  const std::uint32_t k = aMode.Constant;
  // Div255(c * 255) is c, so a constant alpha of 255 needs no scaling.
  auto scaled = [k](std::uint32_t aChannel) { return k == 255 ? aChannel : Div255(aChannel * k); };
  std::uint32_t keep = 255 - k;
  if (aMode.SourceAlpha) {
    // Fully opaque and fully transparent premultiplied pixels need no sums.
    if (k == 255 && (aSource >> 24) == 255)
      return aSource;
    if (k == 255 && aSource == 0)
      return aDest;
    keep = 255 - scaled(aSource >> 24);
  }
  std::uint32_t result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const std::uint32_t c = scaled(Channel(aSource, shift)) + Div255(Channel(aDest, shift) * keep);
    result |= std::min<std::uint32_t>(c, 255) << shift;
  }
  return result;
}

// Twice the signed area of the triangle (a, b, p); its sign tells on which
// side of the line a -> b the point p lies.
std::int64_t Edge(const GradientVertex& aA, const GradientVertex& aB, std::int64_t aX,
                  std::int64_t aY) {
  return (std::int64_t(aB.X) - aA.X) * (aY - aA.Y) - (std::int64_t(aB.Y) - aA.Y) * (aX - aA.X);
}

} // namespace

void Fill(Bitmap& aBitmap, const TRect& aClip, std::uint32_t aPixel) {
  const TRect r = Limit(aBitmap, aClip);
  for (int y = r.Top; y < r.Bottom; ++y)
    std::fill_n(aBitmap.ScanLine(y) + r.Left, r.Width(), aPixel);
}

void InvertCheckered(Bitmap& aBitmap, const TRect& aClip, int aParity) {
  const TRect r = Limit(aBitmap, aClip);
  for (int y = r.Top; y < r.Bottom; ++y) {
    std::uint32_t* row = aBitmap.ScanLine(y);
    for (int x = r.Left + ((r.Left + y + aParity) & 1); x < r.Right; x += 2)
      row[x] ^= 0x00FFFFFFu;
  }
}

void Copy(Bitmap& aDest, const TRect& aDestRect, const Bitmap& aSource, TPoint aSourceTopLeft) {
  const int dx = aSourceTopLeft.X - aDestRect.Left;
  const int dy = aSourceTopLeft.Y - aDestRect.Top;
  const TRect r = Limit(aDest, aDestRect).Intersect(aSource.BoundsRect().Offset(-dx, -dy));
  if (r.IsEmpty())
    return;
  const std::size_t bytes = std::size_t(r.Width()) * 4;
  // Rows go bottom-up when copying downwards within one bitmap, so no source
  // row is overwritten before it is read; memmove covers overlap within a row.
  if (&aDest == &aSource && dy < 0) {
    for (int y = r.Bottom - 1; y >= r.Top; --y)
      std::memmove(aDest.ScanLine(y) + r.Left, aSource.ScanLine(y + dy) + r.Left + dx, bytes);
  } else {
    for (int y = r.Top; y < r.Bottom; ++y)
      std::memmove(aDest.ScanLine(y) + r.Left, aSource.ScanLine(y + dy) + r.Left + dx, bytes);
  }
}

void Stretch(Bitmap& aDest, const TRect& aClip, const TRect& aDestRect, const Bitmap& aSource,
             const TRect& aSourceRect, BlendMode aMode) {
  const TRect r = Limit(aDest, aClip).Intersect(aDestRect);
  if (r.IsEmpty() || aSourceRect.IsEmpty())
    return;
  const std::int64_t dw = aDestRect.Width();
  const std::int64_t dh = aDestRect.Height();
  const std::int64_t sw = aSourceRect.Width();
  const std::int64_t sh = aSourceRect.Height();
  // The mapping is monotonic, so the columns whose source lies inside the
  // source bitmap form one run [left, right).
  auto sourceColumn = [&](int aX) {
    return int(aSourceRect.Left + ((2 * std::int64_t(aX - aDestRect.Left) + 1) * sw) / (2 * dw));
  };
  int left = r.Left;
  while (left < r.Right && sourceColumn(left) < 0)
    ++left;
  int right = r.Right;
  while (right > left && sourceColumn(right - 1) >= aSource.Width())
    --right;
  if (left >= right)
    return;
  std::vector<int> columns(std::size_t(right - left));
  for (int x = left; x < right; ++x)
    columns[std::size_t(x - left)] = sourceColumn(x);
  for (int y = r.Top; y < r.Bottom; ++y) {
    const int sy =
        int(aSourceRect.Top + ((2 * std::int64_t(y - aDestRect.Top) + 1) * sh) / (2 * dh));
    if (sy < 0 || sy >= aSource.Height())
      continue;
    const std::uint32_t* from = aSource.ScanLine(sy);
    std::uint32_t* to = aDest.ScanLine(y) + left;
    const int count = right - left;
    if (aMode.Blend) {
      for (int i = 0; i < count; ++i)
        to[i] = BlendPixel(to[i], from[columns[std::size_t(i)]], aMode);
    } else {
      for (int i = 0; i < count; ++i)
        to[i] = from[columns[std::size_t(i)]];
    }
  }
}

void BlendMask(Bitmap& aBitmap, const TRect& aClip, TPoint aAt, const std::uint8_t* aMask,
               int aWidth, int aHeight, std::ptrdiff_t aMaskStride, TColor aColor) {
  if (!aMask || aWidth <= 0 || aHeight <= 0)
    return;
  const TRect r = Limit(aBitmap, aClip).Intersect(Bounds(aAt.X, aAt.Y, aWidth, aHeight));
  const std::uint32_t colour = PixelOf(aColor);
  for (int y = r.Top; y < r.Bottom; ++y) {
    const std::uint8_t* mask = aMask + (y - aAt.Y) * aMaskStride + (r.Left - aAt.X);
    std::uint32_t* row = aBitmap.ScanLine(y);
    for (int x = r.Left; x < r.Right; ++x) {
      const std::uint32_t m = mask[x - r.Left];
      if (m == 0)
        continue;
      const std::uint32_t old = row[x];
      std::uint32_t result = (m + Div255(Channel(old, 24) * (255 - m))) << 24;
      for (int shift = 0; shift < 24; shift += 8)
        result |= Div255(Channel(colour, shift) * m + Channel(old, shift) * (255 - m)) << shift;
      row[x] = result;
    }
  }
}

namespace {

// The columns from aLeft on where all three edge functions (start values at
// aLeft, steps per column) are >= 0, clipped to aRight; aTo < aFrom when
// there are none.
void InsideSpan(const std::int64_t (&aStart)[3], const std::int64_t (&aSteps)[3], int aLeft,
                int aRight, std::int64_t& aFrom, std::int64_t& aTo) {
  aFrom = aLeft;
  aTo = aRight - 1;
  for (int k = 0; k < 3; ++k) {
    if (aSteps[k] == 0) {
      if (aStart[k] < 0)
        aTo = aFrom - 1;
    } else if (aSteps[k] > 0) {
      // start + step * i >= 0  <=>  i >= ceil(-start / step)
      const std::int64_t need = -aStart[k];
      const std::int64_t i = need <= 0 ? 0 : (need + aSteps[k] - 1) / aSteps[k];
      aFrom = std::max(aFrom, aLeft + i);
    } else {
      // start + step * i >= 0  <=>  i <= floor(start / -step)
      if (aStart[k] < 0)
        aTo = aFrom - 1;
      else
        aTo = std::min(aTo, aLeft + aStart[k] / -aSteps[k]);
    }
  }
}

// The channels in pixel order (blue, green, red, alpha) of a triangle's
// first corner and the steps towards the other two, 16 bits each.
struct GradientChannels {
  double Base[4];
  double Towards1[4];
  double Towards2[4];

  GradientChannels(const GradientVertex& aV0, const GradientVertex& aV1, const GradientVertex& aV2)
      : Base{double(aV0.Blue), double(aV0.Green), double(aV0.Red), double(aV0.Alpha)},
        Towards1{aV1.Blue - Base[0], aV1.Green - Base[1], aV1.Red - Base[2], aV1.Alpha - Base[3]},
        Towards2{aV2.Blue - Base[0], aV2.Green - Base[1], aV2.Red - Base[2], aV2.Alpha - Base[3]} {}

  // The pixel at the weights (fractions of the area) of the other corners.
  std::uint32_t At(double aF1, double aF2) const {
    std::uint32_t pixel = 0;
    for (int c = 0; c < 4; ++c) {
      const double value = Base[c] + Towards1[c] * aF1 + Towards2[c] * aF2;
      pixel |= (std::uint32_t(std::clamp(value, 0.0, 65535.0)) >> 8) << (8 * c);
    }
    return pixel;
  }
};

} // namespace

void GradientTriangle(Bitmap& aBitmap, const TRect& aClip, const GradientVertex (&aCorners)[3]) {
  GradientVertex v0 = aCorners[0];
  GradientVertex v1 = aCorners[1];
  GradientVertex v2 = aCorners[2];
  std::int64_t area = Edge(v0, v1, v2.X, v2.Y);
  if (area == 0)
    return;
  if (area < 0) {
    std::swap(v1, v2);
    area = -area;
  }
  const TRect box{std::min({v0.X, v1.X, v2.X}), std::min({v0.Y, v1.Y, v2.Y}),
                  std::max({v0.X, v1.X, v2.X}) + 1, std::max({v0.Y, v1.Y, v2.Y}) + 1};
  const TRect r = Limit(aBitmap, aClip).Intersect(box);
  if (r.IsEmpty())
    return;
  // With this orientation the inside lies to the right of each edge a -> b
  // (y down): a top edge runs to the right, a left edge runs up. Points on
  // other edges need a weight of at least 1.
  auto bias = [](const GradientVertex& aA, const GradientVertex& aB) -> std::int64_t {
    const bool top = aA.Y == aB.Y && aB.X > aA.X;
    const bool left = aB.Y < aA.Y;
    return top || left ? 0 : 1;
  };
  const std::int64_t biases[3] = {bias(v1, v2), bias(v2, v0), bias(v0, v1)};
  const double inverse = 1.0 / double(area);
  const GradientChannels channels(v0, v1, v2);
  // The edge functions grow by a fixed step per column.
  const std::int64_t steps[3] = {-(std::int64_t(v2.Y) - v1.Y), -(std::int64_t(v0.Y) - v2.Y),
                                 -(std::int64_t(v1.Y) - v0.Y)};
  for (int y = r.Top; y < r.Bottom; ++y) {
    const std::int64_t start[3] = {Edge(v1, v2, r.Left, y) - biases[0],
                                   Edge(v2, v0, r.Left, y) - biases[1],
                                   Edge(v0, v1, r.Left, y) - biases[2]};
    std::int64_t from = 0, to = 0;
    InsideSpan(start, steps, r.Left, r.Right, from, to);
    std::uint32_t* row = aBitmap.ScanLine(y);
    std::int64_t w1 = start[1] + biases[1] + steps[1] * (from - r.Left);
    std::int64_t w2 = start[2] + biases[2] + steps[2] * (from - r.Left);
    for (std::int64_t x = from; x <= to; ++x, w1 += steps[1], w2 += steps[2]) {
      // At a corner one weight is the whole area and the others are 0, so the
      // corner's colour comes out exactly.
      const double f1 = w1 == area ? 1.0 : double(w1) * inverse;
      const double f2 = w2 == area ? 1.0 : double(w2) * inverse;
      row[x] = channels.At(f1, f2);
    }
  }
}

void GradientRect(Bitmap& aBitmap, const TRect& aClip, const TRect& aRect,
                  const GradientVertex& aFrom, const GradientVertex& aTo, bool aHorizontal) {
  const TRect r = Limit(aBitmap, aClip).Intersect(aRect);
  const std::int64_t n = aHorizontal ? aRect.Width() : aRect.Height();
  auto at = [&](std::int64_t aIndex) {
    auto channel = [&](std::uint16_t GradientVertex::*aChannel) {
      const std::int64_t from = aFrom.*aChannel;
      return std::uint32_t(from + (std::int64_t(aTo.*aChannel) - from) * aIndex / n) >> 8;
    };
    return (channel(&GradientVertex::Alpha) << 24) | (channel(&GradientVertex::Red) << 16) |
           (channel(&GradientVertex::Green) << 8) | channel(&GradientVertex::Blue);
  };
  for (int y = r.Top; y < r.Bottom; ++y) {
    std::uint32_t* row = aBitmap.ScanLine(y);
    if (aHorizontal) {
      for (int x = r.Left; x < r.Right; ++x)
        row[x] = at(x - aRect.Left);
    } else {
      std::fill_n(row + r.Left, r.Width(), at(y - aRect.Top));
    }
  }
}

void FillPolygon(Bitmap& aBitmap, const TRect& aClip, std::span<const TPoint> aPoints,
                 std::uint32_t aPixel) {
  if (aPoints.size() < 3)
    return;
  TRect box{aPoints[0].X, aPoints[0].Y, aPoints[0].X, aPoints[0].Y};
  for (const TPoint& p : aPoints)
    box = {std::min(box.Left, p.X), std::min(box.Top, p.Y), std::max(box.Right, p.X),
           std::max(box.Bottom, p.Y)};
  const TRect r = Limit(aBitmap, aClip).Intersect(box);
  std::vector<double> crossings;
  for (int y = r.Top; y < r.Bottom; ++y) {
    const double yc = y + 0.5;
    crossings.clear();
    for (std::size_t i = 0; i < aPoints.size(); ++i) {
      const TPoint& a = aPoints[i];
      const TPoint& b = aPoints[(i + 1) % aPoints.size()];
      if ((a.Y <= yc) == (b.Y <= yc))
        continue;
      crossings.push_back(a.X + (yc - a.Y) * double(b.X - a.X) / double(b.Y - a.Y));
    }
    std::sort(crossings.begin(), crossings.end());
    std::uint32_t* row = aBitmap.ScanLine(y);
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
      // Pixels whose centre x + 0.5 lies in [from, to).
      const int from = std::max(r.Left, int(std::ceil(crossings[i] - 0.5)));
      const int to = std::min(r.Right, int(std::ceil(crossings[i + 1] - 0.5)));
      if (from < to)
        std::fill_n(row + from, to - from, aPixel);
    }
  }
}

void Line(Bitmap& aBitmap, const TRect& aClip, TPoint aFrom, TPoint aTo, std::uint32_t aPixel,
          int aWidth, bool aDotted) {
  const TRect clip = Limit(aBitmap, aClip);
  if (clip.IsEmpty())
    return;
  const int width = std::max(aWidth, 1);
  const int back = (width - 1) / 2;
  const std::int64_t dx = std::abs(std::int64_t(aTo.X) - aFrom.X);
  const std::int64_t dy = std::abs(std::int64_t(aTo.Y) - aFrom.Y);
  const int sx = aFrom.X < aTo.X ? 1 : -1;
  const int sy = aFrom.Y < aTo.Y ? 1 : -1;
  const std::int64_t steps = std::max(dx, dy);
  const std::int64_t minor = std::min(dx, dy);
  // Along the major axis only the steps whose square can meet the clip are
  // visited, so a long line that is mostly clipped away costs little.
  const bool xMajor = dx >= dy;
  const int majorFrom = xMajor ? aFrom.X : aFrom.Y;
  const int majorSign = xMajor ? sx : sy;
  const int clipLow = (xMajor ? clip.Left : clip.Top) - width;
  const int clipHigh = (xMajor ? clip.Right : clip.Bottom) + width;
  std::int64_t first =
      majorSign > 0 ? clipLow - std::int64_t(majorFrom) : majorFrom - std::int64_t(clipHigh);
  std::int64_t last =
      majorSign > 0 ? clipHigh - std::int64_t(majorFrom) : majorFrom - std::int64_t(clipLow);
  first = std::max<std::int64_t>(first, 0);
  if (aDotted)
    first += first & 1;
  last = std::min(last + 1, steps);
  for (std::int64_t i = first; i < last; i += aDotted ? 2 : 1) {
    // i * minor / steps rounded to nearest, halves towards the start.
    const int offset = int((2 * i * minor + steps - 1) / (2 * steps));
    const int x = aFrom.X + sx * int(xMajor ? i : offset);
    const int y = aFrom.Y + sy * int(xMajor ? offset : i);
    const TRect dot = clip.Intersect(Bounds(x - back, y - back, width, width));
    for (int row = dot.Top; row < dot.Bottom; ++row)
      std::fill_n(aBitmap.ScanLine(row) + dot.Left, dot.Width(), aPixel);
  }
}

} // namespace platform::raster
