// Fill and copy over a bitmap of the main window's size (732 x 351), next to
// a plain memcpy of the same bytes for comparison.

#include "platform/gfx/Drawing.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

using namespace platform;

namespace {

constexpr int Width = 732;
constexpr int Height = 351;
constexpr std::size_t Bytes = std::size_t(Width) * Height * 4;

struct Surface {
  Bitmap Pixels{Width, Height};
  HDC DC = CreateCompatibleDC(nullptr);
  Surface() { SelectObject(DC, &Pixels); }
  ~Surface() { DeleteDC(DC); }
};

void Memcpy(benchmark::State& aState) {
  std::vector<char> from(Bytes, 1), to(Bytes);
  for (auto _ : aState) {
    std::memcpy(to.data(), from.data(), Bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  aState.SetBytesProcessed(std::int64_t(aState.iterations()) * std::int64_t(Bytes));
}
BENCHMARK(Memcpy)->Unit(benchmark::kMicrosecond);

void FillWholeBitmap(benchmark::State& aState) {
  Surface s;
  const RECT all{0, 0, Width, Height};
  HBRUSH brush = CreateSolidBrush(RGB(212, 208, 200));
  for (auto _ : aState) {
    FillRect(s.DC, &all, brush);
    benchmark::ClobberMemory();
  }
  DeleteObject(brush);
  aState.SetBytesProcessed(std::int64_t(aState.iterations()) * std::int64_t(Bytes));
}
BENCHMARK(FillWholeBitmap)->Unit(benchmark::kMicrosecond);

// A window DC whose visible part has twenty holes (covered child windows).
void FillWithTwentyHoles(benchmark::State& aState) {
  Surface s;
  Region visible(TRect{0, 0, Width, Height});
  for (int i = 0; i < 20; ++i)
    visible = visible.Subtract(Region(Bounds(10 + (i % 5) * 140, 20 + (i / 5) * 80, 100, 40)));
  s.DC->SetSystemClip(&visible);
  const RECT all{0, 0, Width, Height};
  for (auto _ : aState) {
    FillSolidRect(s.DC, &all, RGB(212, 208, 200));
    benchmark::ClobberMemory();
  }
  aState.SetBytesProcessed(std::int64_t(aState.iterations()) * std::int64_t(Bytes));
}
BENCHMARK(FillWithTwentyHoles)->Unit(benchmark::kMicrosecond);

void CopyBetweenBitmaps(benchmark::State& aState) {
  Surface from, to;
  const RECT all{0, 0, Width, Height};
  FillSolidRect(from.DC, &all, RGB(1, 2, 3));
  for (auto _ : aState) {
    BitBlt(to.DC, 0, 0, Width, Height, from.DC, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  aState.SetBytesProcessed(std::int64_t(aState.iterations()) * std::int64_t(Bytes));
}
BENCHMARK(CopyBetweenBitmaps)->Unit(benchmark::kMicrosecond);

// Scrolling a bitmap by one row within itself (overlapping copy).
void CopyWithinOneBitmap(benchmark::State& aState) {
  Surface s;
  for (auto _ : aState) {
    BitBlt(s.DC, 0, 1, Width, Height - 1, s.DC, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  aState.SetBytesProcessed(std::int64_t(aState.iterations()) * std::int64_t(Bytes));
}
BENCHMARK(CopyWithinOneBitmap)->Unit(benchmark::kMicrosecond);

void StretchTwice(benchmark::State& aState) {
  Surface to;
  Bitmap small(Width / 2, Height / 2 + 1);
  HDC from = CreateCompatibleDC(nullptr);
  SelectObject(from, &small);
  for (auto _ : aState) {
    StretchBlt(to.DC, 0, 0, Width, Height, from, 0, 0, Width / 2, Height / 2 + 1, SRCCOPY);
    benchmark::ClobberMemory();
  }
  DeleteDC(from);
  aState.SetBytesProcessed(std::int64_t(aState.iterations()) * std::int64_t(Bytes));
}
BENCHMARK(StretchTwice)->Unit(benchmark::kMicrosecond);

// A premultiplied layer with per-pixel alpha over the whole bitmap, as
// layered windows are composed.
void AlphaBlendPerPixel(benchmark::State& aState) {
  Surface from, to;
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) {
      const std::uint32_t a = std::uint32_t(x + y) & 0xFF;
      from.Pixels.SetPixel(x, y, a << 24 | (a / 2) << 16 | (a / 3) << 8 | (a / 4));
    }
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  for (auto _ : aState) {
    AlphaBlend(to.DC, 0, 0, Width, Height, from.DC, 0, 0, Width, Height, blend);
    benchmark::ClobberMemory();
  }
  aState.SetBytesProcessed(std::int64_t(aState.iterations()) * std::int64_t(Bytes));
}
BENCHMARK(AlphaBlendPerPixel)->Unit(benchmark::kMicrosecond);

// The four-triangle gradient of a skin section over the whole bitmap.
void GradientTriangles(benchmark::State& aState) {
  Surface s;
  auto vertex = [](int aX, int aY, COLOR16 aRed, COLOR16 aGreen, COLOR16 aBlue) {
    return TRIVERTEX{aX, aY, aRed, aGreen, aBlue, 0xFF00};
  };
  const TRIVERTEX v[5] = {vertex(0, 0, 0xFF00, 0, 0), vertex(Width / 2, Height / 2, 0, 0xFF00, 0),
                          vertex(Width, 0, 0, 0, 0xFF00), vertex(Width, Height, 0x8000, 0x8000, 0),
                          vertex(0, Height, 0, 0x4000, 0x8000)};
  const GRADIENT_TRIANGLE mesh[4] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
  for (auto _ : aState) {
    GradientFill(s.DC, v, 5, mesh, 4, GRADIENT_FILL_TRIANGLE);
    benchmark::ClobberMemory();
  }
  aState.SetBytesProcessed(std::int64_t(aState.iterations()) * std::int64_t(Bytes));
}
BENCHMARK(GradientTriangles)->Unit(benchmark::kMicrosecond);

} // namespace
