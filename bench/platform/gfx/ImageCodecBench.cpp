// Decoding a skin-sized picture (640 x 480) from memory in each format, and
// writing it as PNG; decoding the largest run-length BMP a few bytes name.

#include "ImageCodecTestData.h"
#include "platform/gfx/BmpCodec.h"
#include "platform/gfx/JpegCodec.h"
#include "platform/gfx/PngCodec.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Width = 640;
constexpr int Height = 480;

testdata::Bytes Bmp24() {
  const testdata::Bytes rgb = testdata::PatternRgb(Width, Height);
  testdata::BmpSpec spec;
  spec.Width = Width;
  spec.Height = Height;
  for (int y = Height - 1; y >= 0; --y) {
    testdata::Bytes row;
    for (int x = 0; x < Width; ++x) {
      const std::uint8_t* p = rgb.data() + (std::size_t(y) * Width + std::size_t(x)) * 3;
      row.insert(row.end(), {p[2], p[1], p[0]});
    }
    spec.Rows.push_back(row);
  }
  return testdata::MakeBmp(spec);
}

void Decode(benchmark::State& aState, const testdata::Bytes& aFile,
            platform::ImageResult (*aDecoder)(std::span<const std::uint8_t>)) {
  for (auto _ : aState) {
    platform::ImageResult result = aDecoder(aFile);
    if (!result.Ok())
      aState.SkipWithError(result.Error.c_str());
    benchmark::DoNotOptimize(result.Image.ScanLine(0));
  }
  aState.counters["file_KiB"] = double(aFile.size()) / 1024.0;
}

void DecodeBmp24(benchmark::State& aState) {
  Decode(aState, Bmp24(), platform::DecodeBmp);
}
BENCHMARK(DecodeBmp24)->Unit(benchmark::kMicrosecond);

// The largest picture the readers take, described by one end-of-bitmap mark:
// the cost is all in laying down the background.
void DecodeBmpRunLengthLargest(benchmark::State& aState) {
  testdata::BmpSpec spec;
  spec.Width = 8192;
  spec.Height = int(platform::MaxImagePixels / spec.Width);
  spec.BitCount = 8;
  spec.Compression = 1;
  spec.Palette = {0x404040};
  spec.Rows = {{0x00, 0x01}};
  Decode(aState, testdata::MakeBmp(spec), platform::DecodeBmp);
}
BENCHMARK(DecodeBmpRunLengthLargest)->Unit(benchmark::kMillisecond);

void DecodePngRgba(benchmark::State& aState) {
  Decode(aState, platform::EncodePng(testdata::TestPattern(Width, Height)).Data,
         platform::DecodePng);
}
BENCHMARK(DecodePngRgba)->Unit(benchmark::kMicrosecond);

void DecodeJpeg(benchmark::State& aState) {
  testdata::JpegSpec spec;
  spec.Width = Width;
  spec.Height = Height;
  spec.Pixels = testdata::PatternRgb(Width, Height);
  spec.Quality = 90;
  Decode(aState, testdata::MakeJpeg(spec), platform::DecodeJpeg);
}
BENCHMARK(DecodeJpeg)->Unit(benchmark::kMicrosecond);

void EncodePngRgba(benchmark::State& aState) {
  const platform::Bitmap image = testdata::TestPattern(Width, Height);
  for (auto _ : aState) {
    platform::PngEncodeResult result = platform::EncodePng(image);
    benchmark::DoNotOptimize(result.Data.data());
  }
}
BENCHMARK(EncodePngRgba)->Unit(benchmark::kMicrosecond);

} // namespace
