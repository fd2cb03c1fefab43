// The pixel operations over a bitmap of the main window's size (732 x 351):
// fill, copy and blend, next to a plain memcpy of the same bytes, all in one
// program so that the ratios compare like with like.

#include "platform/gfx/Drawing.h"
#include "skin/paint/pixels/ColorFilters.h"
#include "skin/paint/pixels/PixelOps.h"

#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

namespace {

constexpr int Width = 732;
constexpr int Height = 351;
constexpr std::size_t Bytes = std::size_t(Width) * Height * 4;

void SetBytes(benchmark::State& aState) {
  aState.SetBytesProcessed(std::int64_t(aState.iterations()) * std::int64_t(Bytes));
}

void Memcpy(benchmark::State& aState) {
  std::vector<char> from(Bytes, 1), to(Bytes);
  for (auto _ : aState) {
    std::memcpy(to.data(), from.data(), Bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  SetBytes(aState);
}
BENCHMARK(Memcpy)->Unit(benchmark::kMicrosecond);

void FillRect32Whole(benchmark::State& aState) {
  platform::Bitmap bitmap = CreateBitmap32(Width, Height);
  for (auto _ : aState) {
    FillRect32(bitmap, bitmap.BoundsRect(), 0x00C8D0D4);
    benchmark::DoNotOptimize(bitmap.ScanLine(0));
    benchmark::ClobberMemory();
  }
  SetBytes(aState);
}
BENCHMARK(FillRect32Whole)->Unit(benchmark::kMicrosecond);

void BitBltCopy(benchmark::State& aState) {
  platform::Bitmap from = CreateBitmap32(Width, Height), to = CreateBitmap32(Width, Height);
  FillRect32(from, from.BoundsRect(), 0x00336699);
  platform::HDC fromDC = platform::CreateCompatibleDC(nullptr);
  platform::HDC toDC = platform::CreateCompatibleDC(nullptr);
  platform::SelectObject(fromDC, &from);
  platform::SelectObject(toDC, &to);
  for (auto _ : aState) {
    platform::BitBlt(toDC, 0, 0, Width, Height, fromDC, 0, 0, platform::SRCCOPY);
    benchmark::DoNotOptimize(to.ScanLine(0));
    benchmark::ClobberMemory();
  }
  platform::DeleteDC(fromDC);
  platform::DeleteDC(toDC);
  SetBytes(aState);
}
BENCHMARK(BitBltCopy)->Unit(benchmark::kMicrosecond);

void BlendBitmapIntoWhole(benchmark::State& aState) {
  platform::Bitmap from = CreateBitmap32(Width, Height), to = CreateBitmap32(Width, Height);
  FillRect32(from, from.BoundsRect(), 0x00336699);
  FillRect32(to, to.BoundsRect(), 0x00C8D0D4);
  for (auto _ : aState) {
    BlendBitmapInto(to, from, 128, {0, 0}, TInclusiveRect::Of(from.BoundsRect()));
    benchmark::DoNotOptimize(to.ScanLine(0));
    benchmark::ClobberMemory();
  }
  SetBytes(aState);
}
BENCHMARK(BlendBitmapIntoWhole)->Unit(benchmark::kMicrosecond);

void BlendColorIntoRectWhole(benchmark::State& aState) {
  platform::Bitmap bitmap = CreateBitmap32(Width, Height);
  FillRect32(bitmap, bitmap.BoundsRect(), 0x00C8D0D4);
  for (auto _ : aState) {
    BlendColorIntoRect(bitmap, TInclusiveRect::Of(bitmap.BoundsRect()), 50, 0x00336699);
    benchmark::DoNotOptimize(bitmap.ScanLine(0));
    benchmark::ClobberMemory();
  }
  SetBytes(aState);
}
BENCHMARK(BlendColorIntoRectWhole)->Unit(benchmark::kMicrosecond);

void HueShiftWhole(benchmark::State& aState) {
  platform::Bitmap bitmap = CreateBitmap32(Width, Height);
  FillRect32(bitmap, bitmap.BoundsRect(), 0x00336699);
  for (auto _ : aState) {
    ApplyPixelFilter(bitmap, HueShift, 7, KeyColor);
    benchmark::DoNotOptimize(bitmap.ScanLine(0));
    benchmark::ClobberMemory();
  }
  SetBytes(aState);
}
BENCHMARK(HueShiftWhole)->Unit(benchmark::kMicrosecond);

} // namespace
