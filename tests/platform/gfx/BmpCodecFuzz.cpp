// Fuzz target of the BMP reader: any input either decodes or gives an error.

#include "ImageCodecFuzzCorpus.h"
#include "platform/gfx/BmpCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* aArgc, char*** aArgv) {
  using testdata::Bytes;
  std::vector<Bytes> seeds = {
      testdata::MakeBmp(
          {.Width = 3, .Height = 2, .BitCount = 24, .Rows = {Bytes(9, 0x40), Bytes(9, 0x80)}}),
      testdata::MakeBmp({.Width = 5,
                         .Height = -2,
                         .BitCount = 8,
                         .ColorsUsed = 3,
                         .Palette = {0xFF0000, 0x00FF00, 0x0000FF},
                         .Rows = {{0, 1, 2, 3, 4}, {4, 3, 2, 1, 0}}}),
      testdata::MakeBmp({.Width = 9,
                         .Height = 1,
                         .BitCount = 1,
                         .Palette = {0x000000, 0xFFFFFF},
                         .Rows = {{0xA5, 0x80}}}),
      testdata::MakeBmp({.Width = 3,
                         .Height = 1,
                         .BitCount = 4,
                         .Palette = {0x101010, 0x202020},
                         .Rows = {{0x10, 0x10}}}),
      testdata::MakeBmp({.HeaderSize = 12,
                         .Width = 2,
                         .Height = 1,
                         .BitCount = 8,
                         .Palette = {0x010203, 0x040506},
                         .Rows = {{1, 0}}}),
      testdata::MakeBmp({.Width = 2,
                         .Height = 1,
                         .BitCount = 16,
                         .Compression = 3,
                         .Masks = {0xF800, 0x07E0, 0x001F},
                         .Rows = {{1, 2, 3, 4}}}),
      testdata::MakeBmp({.HeaderSize = 124,
                         .Width = 2,
                         .Height = 1,
                         .BitCount = 32,
                         .Compression = 3,
                         .Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
                         .Rows = {{1, 2, 3, 4, 5, 6, 7, 8}}}),
      testdata::MakeBmp({.Width = 4,
                         .Height = 3,
                         .BitCount = 8,
                         .Compression = 1,
                         .Palette = {0x404040, 0xFF0000},
                         .Rows = {{0x02, 0x01, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00, 0x01, 0x00, 0x00,
                                   0x02, 0x01, 0x01, 0x03, 0x01, 0x00, 0x01}}}),
      testdata::MakeBmp({.Width = 5,
                         .Height = 2,
                         .BitCount = 4,
                         .Compression = 2,
                         .Palette = {0x404040, 0xFF0000},
                         .Rows = {{0x05, 0x10, 0x00, 0x00, 0x00, 0x03, 0x01, 0x10, 0x00, 0x01}}}),
  };
  testdata::UseSeedCorpus(aArgc, aArgv, "bmp", seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* aData, std::size_t aSize) {
  platform::ImageResult result = platform::DecodeBmp({aData, aSize});
  // A failure leaves no pixels; a success has a whole picture.
  if (result.Ok() == result.Image.Empty())
    std::abort();
  return 0;
}
