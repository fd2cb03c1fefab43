#include "skin/paint/sResample.h"

#include <algorithm>
#include <cmath>

namespace {

// The source taps of one destination position.
struct TTaps {
  int First = 0; // index into the shared offsets and weights
  int Count = 0;
};

struct TAxis {
  std::vector<TTaps> Taps;
  std::vector<int> Offsets;          // source index inside the piece, mirrored
  std::vector<std::int32_t> Weights; // 16.16, summing to 65536 per position
};

int Mirror(int aIndex, int aLength) {
  if (aLength == 1)
    return 0;
  const int period = 2 * (aLength - 1);
  aIndex %= period;
  if (aIndex < 0)
    aIndex += period;
  return aIndex < aLength ? aIndex : period - aIndex;
}

TAxis MakeAxis(int aSrcLength, int aDstLength) {
  TAxis axis;
  const double scale = double(aDstLength) / aSrcLength;
  const double stretch = scale < 1 ? scale : 1.0; // widen the filter when shrinking
  const double support = 2.0 / stretch;
  std::vector<double> weights;
  for (int i = 0; i < aDstLength; ++i) {
    const double centre = (i + 0.5) / scale - 0.5;
    const int from = int(std::floor(centre - support)) + 1;
    const int to = int(std::ceil(centre + support)) - 1;
    weights.clear();
    double sum = 0;
    for (int j = from; j <= to; ++j) {
      const double w = MitchellWeight((j - centre) * stretch);
      weights.push_back(w);
      sum += w;
    }
    TTaps taps{int(axis.Offsets.size()), 0};
    std::int32_t total = 0;
    int largest = -1;
    for (int j = from; j <= to; ++j) {
      const std::int32_t w =
          std::int32_t(std::lround(weights[std::size_t(j - from)] / sum * 65536));
      if (w == 0)
        continue;
      if (largest < 0 || w > axis.Weights[std::size_t(largest)])
        largest = int(axis.Weights.size());
      axis.Offsets.push_back(Mirror(j, aSrcLength));
      axis.Weights.push_back(w);
      total += w;
      ++taps.Count;
    }
    // Rounding leftovers go to the heaviest tap so a flat area stays flat.
    if (largest >= 0)
      axis.Weights[std::size_t(largest)] += 65536 - total;
    axis.Taps.push_back(taps);
  }
  return axis;
}

std::uint32_t Weighted(const std::uint32_t* aPixels, std::ptrdiff_t aStep, const TAxis& aAxis,
                       const TTaps& aTaps) {
  std::int64_t sum[4] = {0, 0, 0, 0};
  for (int k = 0; k < aTaps.Count; ++k) {
    const std::uint32_t p = aPixels[aAxis.Offsets[std::size_t(aTaps.First + k)] * aStep];
    const std::int64_t w = aAxis.Weights[std::size_t(aTaps.First + k)];
    for (int c = 0; c < 4; ++c)
      sum[c] += std::int64_t((p >> (8 * c)) & 0xFF) * w;
  }
  std::uint32_t result = 0;
  for (int c = 0; c < 4; ++c)
    result |= std::uint32_t(std::clamp<std::int64_t>((sum[c] + 32768) >> 16, 0, 255)) << (8 * c);
  return result;
}

} // namespace

double MitchellWeight(double aX) {
  const double x = std::fabs(aX);
  if (x < 1)
    return (7 * x * x * x - 12 * x * x + 16.0 / 3) / 6;
  if (x < 2)
    return (-7.0 / 3 * x * x * x + 12 * x * x - 20 * x + 32.0 / 3) / 6;
  return 0;
}

void ResampleMitchell(const platform::Bitmap& aSrc, const TRect& aSrcRect, int aWidth, int aHeight,
                      std::vector<std::uint32_t>& aOut) {
  const int sw = aSrcRect.Width(), sh = aSrcRect.Height();
  aOut.assign(std::size_t(std::max(aWidth, 0)) * std::size_t(std::max(aHeight, 0)), 0);
  if (sw <= 0 || sh <= 0 || aWidth <= 0 || aHeight <= 0)
    return;
  const TAxis columns = MakeAxis(sw, aWidth);
  const TAxis rows = MakeAxis(sh, aHeight);
  // Horizontal pass: every source row of the piece to aWidth pixels.
  std::vector<std::uint32_t> wide(std::size_t(aWidth) * std::size_t(sh));
  for (int y = 0; y < sh; ++y) {
    const std::uint32_t* row = aSrc.ScanLine(aSrcRect.Top + y) + aSrcRect.Left;
    for (int x = 0; x < aWidth; ++x)
      wide[std::size_t(y) * std::size_t(aWidth) + std::size_t(x)] =
          Weighted(row, 1, columns, columns.Taps[std::size_t(x)]);
  }
  // Vertical pass.
  for (int y = 0; y < aHeight; ++y)
    for (int x = 0; x < aWidth; ++x)
      aOut[std::size_t(y) * std::size_t(aWidth) + std::size_t(x)] =
          Weighted(wide.data() + x, aWidth, rows, rows.Taps[std::size_t(y)]);
}
