#include "skin/paint/sTextGlow.h"

#include "platform/gfx/DeviceContext.h"
#include "platform/gfx/Raster.h"
#include "platform/gfx/Text.h"
#include "skin/paint/pixels/PixelOps.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <climits>
#include <cmath>
#include <memory>

namespace {

constexpr int MaxKernelRadius = 16;

// Convolves aCount values spaced aStep apart, starting at aFirst, in place;
// aLine is scratch room for aCount values.
void BlurLine(std::uint8_t* aFirst, std::ptrdiff_t aStep, int aCount, const TGlowKernel& aKernel,
              std::vector<std::uint8_t>& aLine) {
  aLine.resize(std::size_t(aCount));
  for (int i = 0; i < aCount; ++i)
    aLine[std::size_t(i)] = aFirst[i * aStep];
  const int r = aKernel.Radius;
  for (int i = 0; i < aCount; ++i) {
    int sum = 0;
    for (int k = -r; k <= r; ++k)
      sum += aKernel.Weights[std::size_t(k + r)] *
             aLine[std::size_t(std::clamp(i + k, 0, aCount - 1))];
    aFirst[i * aStep] = std::uint8_t(std::min(sum / aKernel.Sum, 255));
  }
}

struct DCDeleter {
  void operator()(platform::HDC aDC) const { platform::DeleteDC(aDC); }
};

} // namespace

TGlowKernel GlowKernel(int aSize) {
  assert(aSize >= 1 && "a glow kernel needs a size of at least one pixel");
  // w(k) for k = -16..16, rounded half to even (the default rounding mode).
  std::array<int, 2 * MaxKernelRadius + 1> w{};
  int total = 0;
  for (int k = -MaxKernelRadius; k <= MaxKernelRadius; ++k) {
    const double x = double(k) / aSize;
    w[std::size_t(k + MaxKernelRadius)] = int(std::nearbyint(std::exp(-x * x / 2)));
    total += w[std::size_t(k + MaxKernelRadius)];
  }
  // The tail is sum(2 * w(r)) / total; "tail < 1/510" is 510 * sum < total in
  // whole numbers, so no rounding of fractions decides the radius.
  int radius = MaxKernelRadius;
  int tail = 0;
  while (510 * tail < total && radius > 1) {
    tail += 2 * w[std::size_t(radius + MaxKernelRadius)];
    --radius;
  }
  TGlowKernel kernel;
  kernel.Radius = radius;
  kernel.Weights.assign(w.begin() + (MaxKernelRadius - radius),
                        w.begin() + (MaxKernelRadius + radius + 1));
  for (int weight : kernel.Weights)
    kernel.Sum += weight;
  return kernel;
}

void BlurGrey(TGreyImage& aImage, const TGlowKernel& aKernel) {
  std::vector<std::uint8_t> line;
  for (int y = 0; y < aImage.Height; ++y)
    BlurLine(&aImage.At(0, y), 1, aImage.Width, aKernel, line);
  for (int x = 0; x < aImage.Width; ++x)
    BlurLine(&aImage.At(x, 0), aImage.Width, aImage.Height, aKernel, line);
}

void CompositeGlow(platform::Bitmap& aTarget, const TGreyImage& aWork, TPoint aOrigin,
                   TColor aGlow) {
  const TRect area =
      Bounds(aOrigin.X, aOrigin.Y, aWork.Width, aWork.Height).Intersect(aTarget.BoundsRect());
  const TPixel glow = platform::raster::PixelOf(aGlow);
  for (int y = area.Top; y < area.Bottom; ++y) {
    TPixel* row = aTarget.ScanLine(y);
    for (int x = area.Left; x < area.Right; ++x) {
      const TPixel v = aWork.At(x - aOrigin.X, y - aOrigin.Y);
      if (v == 255)
        continue;
      const TPixel g = 255 - v;
      const TPixel old = row[x];
      const TPixel alpha = old >> 24;
      TPixel result = (alpha + (((255 - alpha) * g) >> 8)) << 24;
      for (int shift : {0, 8, 16})
        result |= ((g * ((glow >> shift) & 0xFF) + v * ((old >> shift) & 0xFF)) >> 8) << shift;
      row[x] = result;
    }
  }
}

TTextGlow MakeTextGlow(platform::HFONT aFont, std::string_view aText, const TRect& aR, int aSize,
                       platform::UINT aFormat) {
  if (aSize < 1 || aText.empty())
    return {};
  // Sizes that do not fit an int cannot be a bitmap either.
  const long long margin64 = aSize + 4LL;
  const long long width = aR.Width() + 2 * margin64, height = aR.Height() + 2 * margin64;
  if (width > INT_MAX || height > INT_MAX)
    return {};
  const int margin = int(margin64);
  platform::Bitmap canvas{static_cast<int>(width), static_cast<int>(height)};
  if (canvas.Empty())
    return {};
  FillRect32(canvas, canvas.BoundsRect(), 0xFFFFFF);
  {
    const std::unique_ptr<platform::DeviceContext, DCDeleter> dc(
        platform::CreateCompatibleDC(nullptr));
    platform::SelectObject(dc.get(), &canvas);
    platform::SelectObject(dc.get(), aFont);
    platform::SetTextColor(dc.get(), 0);
    platform::SetBkMode(dc.get(), platform::TRANSPARENT);
    const TRect place = Bounds(margin, margin, aR.Width(), aR.Height());
    for (TPoint shift : {TPoint{-1, 0}, TPoint{0, -1}, TPoint{1, 0}, TPoint{0, 1}, TPoint{0, 0}}) {
      TRect r = place.Offset(shift.X, shift.Y);
      platform::DrawTextW(dc.get(), aText, &r, aFormat);
    }
  }
  // Black text on white: every channel holds the same grey.
  TTextGlow glow{{canvas.Width(), canvas.Height(), {}},
                 {aR.Left + 1 - margin, aR.Top + 1 - margin}};
  TGreyImage& work = glow.Work;
  work.Pixels.reserve(std::size_t(work.Width) * std::size_t(work.Height));
  for (int y = 0; y < work.Height; ++y)
    for (int x = 0; x < work.Width; ++x)
      work.Pixels.push_back(std::uint8_t(canvas.Pixel(x, y) & 0xFF));
  BlurGrey(work, GlowKernel(aSize));
  return glow;
}

void DrawTextGlow(platform::Bitmap& aTarget, platform::HFONT aFont, std::string_view aText,
                  const TRect& aR, TColor aGlow, int aSize, platform::UINT aFormat) {
  const TTextGlow glow = MakeTextGlow(aFont, aText, aR, aSize, aFormat);
  if (!glow.Work.Pixels.empty())
    CompositeGlow(aTarget, glow.Work, glow.Origin, ColorToRGB(aGlow));
}
