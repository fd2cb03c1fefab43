// Fuzz target of the PNG reader: any input either decodes or gives an error.

#include "ImageCodecFuzzCorpus.h"
#include "platform/gfx/PngCodec.h"

#include <cstdlib>
#include <png.h>

extern "C" int LLVMFuzzerInitialize(int* aArgc, char*** aArgv) {
  using testdata::Bytes;
  const platform::Bitmap pattern = testdata::TestPattern(7, 5);
  std::vector<Bytes> seeds = {
      platform::EncodePng(pattern).Data,
      platform::EncodePng(pattern, platform::PngAlpha::Opaque).Data,
      testdata::MakePng({.Width = 5,
                         .Height = 3,
                         .ColorType = PNG_COLOR_TYPE_RGB,
                         .Interlaced = true,
                         .Rows = {Bytes(15, 1), Bytes(15, 2), Bytes(15, 3)}}),
      testdata::MakePng({.Width = 3,
                         .Height = 1,
                         .ColorType = PNG_COLOR_TYPE_PALETTE,
                         .BitDepth = 4,
                         .Rows = {{0x01, 0x20}},
                         .Palette = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}},
                         .PaletteAlpha = {0, 9}}),
      testdata::MakePng({.Width = 2,
                         .Height = 2,
                         .ColorType = PNG_COLOR_TYPE_GRAY,
                         .BitDepth = 16,
                         .Rows = {Bytes(4, 9), Bytes(4, 200)},
                         .TransparentGray = 0x0909}),
      testdata::MakePng({.Width = 2,
                         .Height = 1,
                         .ColorType = PNG_COLOR_TYPE_GRAY_ALPHA,
                         .Rows = {{1, 2, 3, 4}}}),
  };
  testdata::UseSeedCorpus(aArgc, aArgv, "png", seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  platform::ImageResult result = platform::DecodePng({aData, aSize});
  if (result.Ok() == result.Image.Empty())
    std::abort();
  return 0;
}
