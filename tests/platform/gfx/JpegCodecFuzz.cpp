// Fuzz target of the JPEG reader: any input either decodes or gives an error.

#include "ImageCodecFuzzCorpus.h"
#include "platform/gfx/JpegCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* aArgc, char*** aArgv) {
  using testdata::Bytes;
  std::vector<Bytes> seeds = {
      testdata::MakeJpeg({.Width = 16,
                          .Height = 8,
                          .Components = 3,
                          .Pixels = testdata::PatternRgb(16, 8),
                          .Quality = 75}),
      testdata::MakeJpeg({.Width = 9,
                          .Height = 9,
                          .Components = 3,
                          .Pixels = testdata::PatternRgb(9, 9),
                          .Quality = 75,
                          .Progressive = true}),
      testdata::MakeJpeg({.Width = 8, .Height = 8, .Components = 1, .Pixels = Bytes(64, 77)}),
      testdata::MakeJpeg({.Width = 8, .Height = 8, .Components = 4, .Pixels = Bytes(256, 99)}),
  };
  testdata::UseSeedCorpus(aArgc, aArgv, "jpeg", seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  platform::ImageResult result = platform::DecodeJpeg({aData, aSize});
  if (result.Ok() == result.Image.Empty())
    std::abort();
  return 0;
}
